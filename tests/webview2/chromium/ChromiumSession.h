#pragma once
// What the tests of the Chromium-backed runtime share: the provider copied into this
// process's workspace, the real browser named by QV_BROWSER with a user-data folder of this
// process (under the build tree, where CTest's cleanup finds a browser left behind), the
// page server's addresses, and a view brought up on a small host.
#include "framework/ComPtr.h"
#include "webview2/include/WebView2.h"

#include <functional>
#include <string>

namespace chromiumtest {

// The browser's Windows path (Z: maps the Unix root).
constexpr const char* BROWSER_PATH = "Z:\\usr\\lib\\chromium\\chromium-headless-shell";

// Sets QV_BROWSER and points the loader at the workspace's copy of the provider; undone on
// destruction.
class ChromiumSession {
public:
    explicit ChromiumSession(const char* browser = BROWSER_PATH);
    ~ChromiumSession();
    ChromiumSession(const ChromiumSession&) = delete;
    ChromiumSession& operator=(const ChromiumSession&) = delete;
};

// This process's user-data folder.
std::wstring userDataFolder();
// "http://127.0.0.1:<port>" + path on the page server; empty when it is not running.
std::wstring pageAddress(const std::string& path);
// The feed server's port; 0 when it is not running.
int feedServerPort();
// A loopback port nothing listens on.
unsigned short closedPort();

// The environment with the view's browser arguments, after pumping; null with the failure
// in `result`.
ComPtr<ICoreWebView2Environment> createEnvironment(HRESULT* result);

struct View {
    ComPtr<ICoreWebView2Environment> environment;
    ComPtr<ICoreWebView2Controller> controller;
    ComPtr<ICoreWebView2_8> webView;
};
// Environment, controller and WebView2 object, placed at `bounds` and shown; asserts (gtest).
void createView(HWND host, const RECT& bounds, View& view);

// ExecuteScript's completion, after pumping: the code and the JSON text.
struct ScriptResult {
    HRESULT result = E_PENDING;
    std::string json;
};
ScriptResult runScript(ICoreWebView2* webView, const std::wstring& script);
// Runs the script until it gives `expected` or the time runs out; the last result.
std::string scriptUntil(ICoreWebView2* webView, const std::wstring& script, const std::string& expected);

// How long a test waits for the browser by default.
constexpr unsigned PUMP_LIMIT_MS = 15000;
// Handles messages until `done` holds or `ms` pass; false when it never held.
bool pumpUntil(const std::function<bool()>& done, unsigned ms = PUMP_LIMIT_MS);

// The content windows the provider made on the host.
HWND contentWindowOf(HWND host);
// 0xRRGGBB at a point of the window, from its own surface.
unsigned pixelAt(HWND window, int x, int y);
// True when each channel lies within `tolerance` of the colour's (JPEG frames are near, not exact).
bool closeTo(unsigned colour, unsigned expected, int tolerance = 40);

// The built provider, to copy beside a program.
std::string providerFile();
// Ends the browser of the user-data folder through its endpoint (Browser.close), as a crash
// would end it for the provider.
bool endBrowser(const std::wstring& folder = userDataFolder());
// True while something answers at the endpoint of the folder's browser.
bool browserAnswers(const std::wstring& folder = userDataFolder());

} // namespace chromiumtest
