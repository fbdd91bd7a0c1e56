// bench_frames: frames painted per second by the Chromium-backed WebView2 runtime on an
// animated page (one whose colour changes every frame): one view of the given size in a
// window of this program, its middle pixel read every millisecond, each change counted.
// Run under Wine by tools/bench.sh; not part of the screensaver.
//
//   bench_frames <width> <height> <seconds> <address> <provider> <user-data folder>
// prints "fps=N" on one line (QV_BROWSER names the browser).
#include "framework/ComPtr.h"
#include "framework/Win.h"
#include "webview2/include/WebView2Callback.h"
#include "webview2/loader/WebView2Loader.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

constexpr DWORD STEP_LIMIT_MS = 20000;
// The page gets this long to load and start animating before the count begins.
constexpr DWORD WARM_UP_MS = 1500;

std::wstring wide(const char* text)
{
    std::wstring out;
    for (; *text; ++text)
        out += static_cast<wchar_t>(static_cast<unsigned char>(*text));
    return out;
}

void pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool pumpUntil(const std::function<bool()>& done)
{
    for (DWORD start = GetTickCount(); !done(); Sleep(1)) {
        if (GetTickCount() - start > STEP_LIMIT_MS)
            return false;
        pump();
    }
    return true;
}

COLORREF middleOf(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    const COLORREF colour = GetPixel(dc, client.right / 2, client.bottom / 2);
    ReleaseDC(window, dc);
    return colour;
}

int fail(const char* step)
{
    std::fprintf(stderr, "bench_frames: %s failed\n", step);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 7) {
        std::fprintf(stderr, "usage: bench_frames <width> <height> <seconds> <address> <provider> <folder>\n");
        return 2;
    }
    const int width = std::atoi(argv[1]);
    const int height = std::atoi(argv[2]);
    const DWORD countMs = static_cast<DWORD>(std::atof(argv[3]) * 1000);
    setWebView2ProviderPath(argv[5]);
    HWND host = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width,
                                height, nullptr, nullptr, nullptr, nullptr);

    ComPtr<ICoreWebView2Environment> environment;
    bool done = false;
    auto* environmentDone = Callback<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>(
        [&](HRESULT, ICoreWebView2Environment* created) {
            environment.Reset(created);
            done = true;
            return S_OK;
        });
    const HRESULT started =
        CreateCoreWebView2EnvironmentWithOptions(nullptr, wide(argv[6]).c_str(), nullptr, environmentDone);
    environmentDone->Release();
    if (FAILED(started) || !pumpUntil([&] { return done; }) || !environment)
        return fail("environment");

    ComPtr<ICoreWebView2Controller> controller;
    done = false;
    auto* controllerDone = Callback<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler>(
        [&](HRESULT, ICoreWebView2Controller* created) {
            controller.Reset(created);
            done = true;
            return S_OK;
        });
    environment->CreateCoreWebView2Controller(host, controllerDone);
    controllerDone->Release();
    if (!pumpUntil([&] { return done; }) || !controller)
        return fail("controller");
    ComPtr<ICoreWebView2> webView;
    controller->get_CoreWebView2(webView.ReleaseAndGetAddressOf());
    controller->put_Bounds({0, 0, width, height});
    controller->put_IsVisible(TRUE);
    webView->Navigate(wide(argv[4]).c_str());
    HWND content = nullptr;
    if (!pumpUntil([&] { return (content = FindWindowExA(host, nullptr, "QuorvelChromiumContent", nullptr)); }))
        return fail("content window");
    for (DWORD start = GetTickCount(); GetTickCount() - start < WARM_UP_MS; Sleep(1))
        pump();

    int changes = 0;
    COLORREF last = middleOf(content);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < countMs) {
        pump();
        const COLORREF now = middleOf(content);
        changes += now != last;
        last = now;
        Sleep(1);
    }
    std::printf("fps=%.1f\n", changes * 1000.0 / countMs);
    std::fflush(stdout);
    controller->Close();
    controller.Reset();
    webView.Reset();
    environment.Reset();
    DestroyWindow(host);
    return 0;
}
