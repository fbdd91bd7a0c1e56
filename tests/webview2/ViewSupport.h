#pragma once
// The steps of bringing a view up through the loader that the tests of both runtime
// providers take the same way: a workspace folder of this process holding a copy of the
// provider, message pumping with a limit, the environment and controller after their
// completions, and reading a window's pixels.
#include "framework/ComPtr.h"
#include "webview2/include/WebView2.h"

#include <functional>
#include <string>

namespace viewsupport {

// The browser arguments every test view asks for.
constexpr const wchar_t* BROWSER_ARGUMENTS = L"--autoplay-policy=no-user-gesture-required";

// A folder named `prefix` and this process's id in the temp folder, made; with a trailing
// backslash.
std::string processFolder(const std::string& prefix);
// Copies the provider into the folder under the name the loader looks for; the copy's path.
std::string copyProvider(const std::string& provider, const std::string& folder);

// Handles messages until `done` holds or `ms` pass; false when it never held.
bool pumpUntil(const std::function<bool()>& done, unsigned ms);

// The environment with BROWSER_ARGUMENTS for the user-data folder, pumping up to `ms` for
// its completion. Null with the failure in `result` (when given).
ComPtr<ICoreWebView2Environment> createEnvironment(const std::wstring& userData, unsigned ms, HRESULT* result);
// The environment and a controller on the host, each after its completion; asserts (gtest)
// that every step succeeds.
void createController(HWND host, const std::wstring& userData, unsigned ms,
                      ComPtr<ICoreWebView2Environment>& environment, ComPtr<ICoreWebView2Controller>& controller);

// The colour at a point of the window, read from its own surface.
COLORREF pixelOf(HWND window, int x, int y);

} // namespace viewsupport
