#pragma once
// What the WebView2 tests share: the provider copied into this process's workspace (never
// beside the test executable), a session per test with its own knob and journal files,
// message pumping, and a view brought up through the loader.
#include "framework/ComPtr.h"
#include "webview2/include/WebView2.h"

#include <functional>
#include <string>
#include <vector>

namespace webview2test {

// The workspace folder of this process (made on first use), with a trailing backslash.
std::string workspaceFolder();
// The provider copied into the workspace.
std::string workspaceProvider();

// Writes `knobs` to a knob file, names a fresh journal, and points the loader at the
// workspace provider; undone on destruction.
class ProviderSession {
public:
    explicit ProviderSession(const std::string& knobs = "");
    ~ProviderSession();
    ProviderSession(const ProviderSession&) = delete;
    ProviderSession& operator=(const ProviderSession&) = delete;

    std::vector<std::string> journalLines() const;
    // The lines whose method field is `method`, split at tabs.
    std::vector<std::vector<std::string>> journalCalls(const std::string& method) const;

private:
    std::string knobPath;
    std::string journalPath;
};

// Handles this thread's messages for `ms` milliseconds.
void pumpFor(unsigned ms);
// Handles messages until `done` holds; false when it never does within a few seconds.
bool pumpUntil(const std::function<bool()>& done);

// A visible top-level window for hosting views, destroyed with the object.
class HostWindow {
public:
    HostWindow();
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    HWND get() const { return window; }
    void destroy();

private:
    HWND window = nullptr;
};

// The content windows the provider made on the host.
HWND contentWindowOf(HWND host);

// The environment through the loader, after pumping. Null with the failure in `result`.
ComPtr<ICoreWebView2Environment> createEnvironment(HRESULT* result = nullptr);

// A view: environment, controller and WebView2 object, each after its completion.
struct View {
    ComPtr<ICoreWebView2Environment> environment;
    ComPtr<ICoreWebView2Controller> controller;
    ComPtr<ICoreWebView2> webView;
};
// Asserts (gtest) that every step succeeds.
void createView(HWND host, View& view);

// Events a view raised, in order, recorded by handlers registered on it.
struct EventLog {
    std::vector<std::string> events;
    DWORD lastThread = 0;
};
// Registers NavigationStarting ("starting:<redirected>:<uri>"), NavigationCompleted
// ("completed:<success>:<status>"), WebResourceRequested ("requested:<uri>") and
// WindowCloseRequested ("close") handlers; the resource filter is added first.
void recordEvents(ICoreWebView2* webView, EventLog& log, LPCWSTR filter = L"*");

std::string narrow(LPCWSTR text);

} // namespace webview2test
