// A WebView2 runtime backed by a real headless Chromium over the DevTools protocol: the
// browser named by QV_BROWSER, one per process, its pages shown in content windows.
#include "webview2/chromium/Browser.h"
#include "webview2/chromium/BrowserProcess.h"
#include "webview2/chromium/Environment.h"
#include "webview2/common/Dispatcher.h"
#include "webview2/common/ProviderText.h"
#include "webview2/include/WebView2.h"

namespace {

// The user-data folder when the caller names none.
constexpr const wchar_t* DEFAULT_USER_DATA_FOLDER = L"QuorvelRuntime";

std::wstring userDataFolderOr(PCWSTR userDataFolder)
{
    if (userDataFolder && *userDataFolder)
        return userDataFolder;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + DEFAULT_USER_DATA_FOLDER;
}

std::wstring additionalArguments(ICoreWebView2EnvironmentOptions* options)
{
    LPWSTR value = nullptr;
    if (!options || FAILED(options->get_AdditionalBrowserArguments(&value)) || !value)
        return L"";
    std::wstring arguments = value;
    CoTaskMemFree(value);
    return arguments;
}

} // namespace

extern "C" HRESULT STDMETHODCALLTYPE QuorvelCreateEnvironment(
    PCWSTR, PCWSTR userDataFolder, ICoreWebView2EnvironmentOptions* environmentOptions,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler)
{
    const auto executable = browserExecutable();
    if (!executable)
        return HRESULT_FROM_WIN32(ERROR_ENVVAR_NOT_FOUND);
    if (!handler)
        return E_INVALIDARG;
    const HWND ui = dispatcher::current();
    if (!ui)
        return E_FAIL;
    std::shared_ptr<Browser> browser =
        Browser::acquire(*executable, userDataFolderOr(userDataFolder), additionalArguments(environmentOptions));
    handler->AddRef();
    browser->whenStarted([browser, ui, handler](HRESULT result) {
        dispatcher::post(ui, 0, [browser, handler, result] {
            Environment* environment = SUCCEEDED(result) ? new Environment(browser) : nullptr;
            handler->Invoke(result, environment);
            handler->Release();
            if (environment)
                environment->Release();
        });
    });
    return S_OK;
}
