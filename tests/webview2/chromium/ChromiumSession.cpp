#include "tests/webview2/chromium/ChromiumSession.h"

#include "tests/webview2/ViewSupport.h"
#include "webview2/chromium/DevToolsActivePort.h"
#include "webview2/chromium/DevToolsSocket.h"
#include "webview2/chromium/FrameWindow.h"
#include "webview2/include/WebView2Callback.h"
#include "webview2/loader/WebView2Loader.h"

#include <gtest/gtest.h>

#include <winsock2.h>

#include <cstdlib>
#include <fstream>

namespace chromiumtest {

namespace {

std::string windowsPath(std::string path)
{
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string workspaceProvider()
{
    static const std::string path =
        viewsupport::copyProvider(providerFile(), viewsupport::processFolder("qv-chromium-"));
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
    return viewsupport::pumpUntil(done, ms);
}

ComPtr<ICoreWebView2Environment> createEnvironment(HRESULT* result)
{
    return viewsupport::createEnvironment(userDataFolder(), PUMP_LIMIT_MS, result);
}

void createView(HWND host, const RECT& bounds, View& view)
{
    ASSERT_NO_FATAL_FAILURE(
        viewsupport::createController(host, userDataFolder(), PUMP_LIMIT_MS, view.environment, view.controller));
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
    return FindWindowExW(host, nullptr, FRAME_WINDOW_CLASS, nullptr);
}

unsigned pixelAt(HWND window, int x, int y)
{
    const COLORREF colour = viewsupport::pixelOf(window, x, y);
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
