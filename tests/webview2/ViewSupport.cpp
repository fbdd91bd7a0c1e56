#include "tests/webview2/ViewSupport.h"

#include "webview2/include/WebView2Callback.h"
#include "webview2/loader/CoreWebView2EnvironmentOptions.h"
#include "webview2/loader/WebView2Loader.h"

#include <gtest/gtest.h>

namespace viewsupport {

std::string processFolder(const std::string& prefix)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + prefix + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

std::string copyProvider(const std::string& provider, const std::string& folder)
{
    const std::string copy = folder + WEBVIEW2_PROVIDER_FILE;
    CopyFileA(provider.c_str(), copy.c_str(), FALSE);
    return copy;
}

bool pumpUntil(const std::function<bool()>& done, unsigned ms)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms)
            return false;
        MSG message;
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
    }
    return true;
}

ComPtr<ICoreWebView2Environment> createEnvironment(const std::wstring& userData, unsigned ms, HRESULT* result)
{
    ComPtr<ICoreWebView2Environment> environment;
    bool completed = false;
    HRESULT outcome = E_PENDING;
    CoreWebView2EnvironmentOptions* options = CoreWebView2EnvironmentOptions::Create();
    options->put_AdditionalBrowserArguments(BROWSER_ARGUMENTS);
    auto* handler = Callback<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>(
        [&](HRESULT status, ICoreWebView2Environment* created) {
            completed = true;
            outcome = status;
            environment.Reset(created);
            return S_OK;
        });
    const HRESULT call = CreateCoreWebView2EnvironmentWithOptions(nullptr, userData.c_str(), options, handler);
    handler->Release();
    options->Release();
    if (SUCCEEDED(call) && !pumpUntil([&] { return completed; }, ms))
        outcome = E_ABORT;
    if (result)
        *result = FAILED(call) ? call : outcome;
    return environment;
}

void createController(HWND host, const std::wstring& userData, unsigned ms,
                      ComPtr<ICoreWebView2Environment>& environment, ComPtr<ICoreWebView2Controller>& controller)
{
    HRESULT result = E_FAIL;
    environment = createEnvironment(userData, ms, &result);
    ASSERT_EQ(S_OK, result);
    ASSERT_TRUE(environment);
    bool completed = false;
    auto* handler = Callback<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler>(
        [&](HRESULT status, ICoreWebView2Controller* created) {
            completed = true;
            result = status;
            controller.Reset(created);
            return S_OK;
        });
    ASSERT_EQ(S_OK, environment->CreateCoreWebView2Controller(host, handler));
    handler->Release();
    ASSERT_TRUE(pumpUntil([&] { return completed; }, ms));
    ASSERT_EQ(S_OK, result);
    ASSERT_TRUE(controller);
}

COLORREF pixelOf(HWND window, int x, int y)
{
    HDC windowDc = GetDC(window);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, 1, 1);
    HGDIOBJ old = SelectObject(memoryDc, bitmap);
    BitBlt(memoryDc, 0, 0, 1, 1, windowDc, x, y, SRCCOPY);
    const COLORREF colour = GetPixel(memoryDc, 0, 0);
    SelectObject(memoryDc, old);
    DeleteObject(bitmap);
    DeleteDC(memoryDc);
    ReleaseDC(window, windowDc);
    return colour;
}

} // namespace viewsupport
