#include "tests/webview2/chromium/ChromiumSession.h"

#include "webview2/chromium/DevToolsActivePort.h"
#include "webview2/chromium/DevToolsSocket.h"
#include "webview2/include/WebView2Callback.h"
#include "webview2/loader/CoreWebView2EnvironmentOptions.h"
#include "webview2/loader/WebView2Loader.h"

#include <gtest/gtest.h>

#include <winsock2.h>

#include <cstdlib>
#include <fstream>

namespace chromiumtest {

namespace {

constexpr const char* CONTENT_CLASS = "QuorvelChromiumContent";
constexpr const wchar_t* BROWSER_ARGUMENTS = L"--autoplay-policy=no-user-gesture-required";

std::string windowsPath(std::string path)
{
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string workspaceFolder()
{
    static const std::string folder = [] {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        const std::string path =
            std::string(temp) + "qv-chromium-" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(path.c_str(), nullptr);
        return path;
    }();
    return folder;
}

std::string workspaceProvider()
{
    static const std::string path = [] {
        const std::string copy = workspaceFolder() + WEBVIEW2_PROVIDER_FILE;
        CopyFileA(providerFile().c_str(), copy.c_str(), FALSE);
        return copy;
    }();
    return path;
}

int portIn(const char* file)
{
    std::ifstream in(file);
    int port = 0;
    return in >> port ? port : 0;
}

std::wstring wideOf(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

std::optional<DevToolsEndpoint> endpoint(const std::wstring& userData)
{
    std::string folder;
    for (wchar_t c : userData)
        folder += static_cast<char>(c);
    std::ifstream in(folder + "\\" + DEVTOOLS_ACTIVE_PORT_FILE, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return parseDevToolsActivePort(text);
}

} // namespace

ChromiumSession::ChromiumSession(const char* browser)
{
    SetEnvironmentVariableA("QV_BROWSER", browser);
    setWebView2ProviderPath(workspaceProvider());
}

ChromiumSession::~ChromiumSession()
{
    setWebView2ProviderPath("");
    SetEnvironmentVariableA("QV_BROWSER", nullptr);
}

std::wstring userDataFolder()
{
    static const std::wstring folder = [] {
        const std::string profiles = windowsPath(QV_CHROMIUM_PROFILES);
        CreateDirectoryA(profiles.c_str(), nullptr);
        return wideOf(profiles + "\\test-" + std::to_string(GetCurrentProcessId()));
    }();
    return folder;
}

std::wstring pageAddress(const std::string& path)
{
    const int port = portIn("page-server/port");
    return port ? wideOf("http://127.0.0.1:" + std::to_string(port) + path) : std::wstring();
}

int feedServerPort()
{
    return portIn("feed-server/port");
}

unsigned short closedPort()
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
    closesocket(probe);
    return ntohs(address.sin_port);
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

ComPtr<ICoreWebView2Environment> createEnvironment(HRESULT* result)
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
    const HRESULT call =
        CreateCoreWebView2EnvironmentWithOptions(nullptr, userDataFolder().c_str(), options, handler);
    handler->Release();
    options->Release();
    if (SUCCEEDED(call) && !pumpUntil([&] { return completed; }))
        outcome = E_ABORT;
    *result = FAILED(call) ? call : outcome;
    return environment;
}

void createView(HWND host, const RECT& bounds, View& view)
{
    HRESULT result = E_FAIL;
    view.environment = createEnvironment(&result);
    ASSERT_EQ(S_OK, result);
    ASSERT_TRUE(view.environment);
    bool completed = false;
    auto* handler = Callback<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler>(
        [&](HRESULT status, ICoreWebView2Controller* created) {
            completed = true;
            result = status;
            view.controller.Reset(created);
            return S_OK;
        });
    ASSERT_EQ(S_OK, view.environment->CreateCoreWebView2Controller(host, handler));
    handler->Release();
    ASSERT_TRUE(pumpUntil([&] { return completed; }));
    ASSERT_EQ(S_OK, result);
    ASSERT_TRUE(view.controller);
    ComPtr<ICoreWebView2> core;
    ASSERT_EQ(S_OK, view.controller->get_CoreWebView2(core.ReleaseAndGetAddressOf()));
    ASSERT_EQ(S_OK, core->QueryInterface(__uuidof(ICoreWebView2_8),
                                         reinterpret_cast<void**>(view.webView.ReleaseAndGetAddressOf())));
    view.controller->put_Bounds(bounds);
    view.controller->put_IsVisible(TRUE);
}

ScriptResult runScript(ICoreWebView2* webView, const std::wstring& script)
{
    ScriptResult outcome;
    bool completed = false;
    auto* handler = Callback<ICoreWebView2ExecuteScriptCompletedHandler>([&](HRESULT code, LPCWSTR json) {
        completed = true;
        outcome.result = code;
        for (; json && *json; ++json)
            outcome.json += static_cast<char>(*json);
        return S_OK;
    });
    const HRESULT call = webView->ExecuteScript(script.c_str(), handler);
    handler->Release();
    if (FAILED(call))
        outcome.result = call;
    else
        pumpUntil([&] { return completed; });
    return outcome;
}

std::string scriptUntil(ICoreWebView2* webView, const std::wstring& script, const std::string& expected)
{
    std::string last;
    pumpUntil([&] {
        last = runScript(webView, script).json;
        return last == expected;
    });
    return last;
}

HWND contentWindowOf(HWND host)
{
    return FindWindowExA(host, nullptr, CONTENT_CLASS, nullptr);
}

unsigned pixelAt(HWND window, int x, int y)
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
    return static_cast<unsigned>(GetRValue(colour)) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
}

bool closeTo(unsigned colour, unsigned expected, int tolerance)
{
    for (int shift = 0; shift <= 16; shift += 8)
        if (std::abs(static_cast<int>(colour >> shift & 255) - static_cast<int>(expected >> shift & 255)) > tolerance)
            return false;
    return true;
}

std::string providerFile()
{
    return windowsPath(QV_CHROMIUM_PROVIDER_DLL);
}

bool endBrowser(const std::wstring& folder)
{
    const auto found = endpoint(folder);
    DevToolsSocket socket;
    if (!found || !socket.open(found->port, found->path))
        return false;
    return socket.send(R"({"id":1,"method":"Browser.close"})");
}

bool browserAnswers(const std::wstring& folder)
{
    const auto found = endpoint(folder);
    DevToolsSocket socket;
    return found && socket.open(found->port, found->path);
}

} // namespace chromiumtest
