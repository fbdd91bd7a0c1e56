#include "qvedge/views/edge/WebView2Wrapper.h"

#include "common/Logger.h"
#include "framework/TextConversion.h"
#include "qvedge/views/edge/WebView2Handler.h"

#include <cwchar>

// The view's event handlers. None lets an exception out to the runtime.

namespace {

// The handlers' records are written from their callbacks, which name themselves so.
constexpr const char* HANDLER_FUNCTION = "operator ()";
constexpr const char* NAVIGATION_STARTING_LABEL = "Callback<ICoreWebView2NavigationStartingEventHandler>";
constexpr const char* NAVIGATION_COMPLETED_LABEL = "Callback<ICoreWebView2NavigationCompletedEventHandler>";
constexpr const char* EXECUTE_SCRIPT_LABEL = "Callback<ICoreWebView2ExecuteScriptCompletedHandler>";

// The runtime goes on with every request as without the handler.
constexpr HRESULT RESOURCE_REQUEST_RESULT = E_INVALIDARG;

} // namespace

HRESULT WebView2Wrapper::OnNavigationStarting(ICoreWebView2*, ICoreWebView2NavigationStartingEventArgs* args)
{
    try {
        BOOL redirected = FALSE;
        if (!args || FAILED(args->get_IsRedirected(&redirected)))
            QVLOG_AS(HANDLER_FUNCTION, NAVIGATION_STARTING_LABEL << "Error get_isRedirected()");
        if (redirected)
            QVLOG_AS(HANDLER_FUNCTION, NAVIGATION_STARTING_LABEL << "Redirected");
        QVLOG_AS(HANDLER_FUNCTION, NAVIGATION_STARTING_LABEL << "NavigationStarting");
    } catch (...) {
    }
    return S_OK;
}

HRESULT WebView2Wrapper::OnNavigationCompleted(ICoreWebView2*, ICoreWebView2NavigationCompletedEventArgs* args)
{
    try {
        BOOL success = FALSE;
        HRESULT hr = args ? args->get_IsSuccess(&success) : E_POINTER;
        if (FAILED(hr))
            QVLOG_AS(HANDLER_FUNCTION, NAVIGATION_COMPLETED_LABEL << "get_IsSuccess() error " << static_cast<long>(hr));
        if (!success && args) {
            COREWEBVIEW2_WEB_ERROR_STATUS status = COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN;
            hr = args->get_WebErrorStatus(&status);
            if (FAILED(hr))
                QVLOG_AS(HANDLER_FUNCTION,
                         NAVIGATION_COMPLETED_LABEL << "get_WebErrorStatus() error " << static_cast<long>(hr));
        }
        QVLOG_AS(HANDLER_FUNCTION, NAVIGATION_COMPLETED_LABEL << "NavigationCompleted post WM_WebPageLoaded");
    } catch (...) {
    }
    completedTime = WebView2Clock::now();
    ComPtr<ICoreWebView2Controller2> colours;
    if (controller &&
        SUCCEEDED(controller->QueryInterface(__uuidof(ICoreWebView2Controller2),
                                             reinterpret_cast<void**>(colours.ReleaseAndGetAddressOf()))) &&
        colours)
        colours->put_DefaultBackgroundColor(savedBackgroundColor);
    // A page that failed to load counts as loaded too.
    reportLoaded(true);
    return S_OK;
}

HRESULT WebView2Wrapper::OnWebResourceRequested(ICoreWebView2* sender, ICoreWebView2WebResourceRequestedEventArgs* args)
{
    try {
        ComPtr<ICoreWebView2WebResourceRequest> request;
        if (!args || FAILED(args->get_Request(request.ReleaseAndGetAddressOf())) || !request)
            return RESOURCE_REQUEST_RESULT;
        CoTaskMemText uri;
        if (FAILED(request->get_Uri(uri.Out())) || !uri.Get())
            return RESOURCE_REQUEST_RESULT;
        if (std::wcsncmp(uri.Get(), MEM_SCHEME_PREFIX, std::wcslen(MEM_SCHEME_PREFIX)) != 0)
            return RESOURCE_REQUEST_RESULT;
        ICoreWebView2* target = sender ? sender : webView.Get();
        if (!target || !getMemPage(uri.Get()))
            return RESOURCE_REQUEST_RESULT;
        // The page gets its feed as a call of its own function, run in its top document.
        const std::wstring script = wideFromAnsi(CString(pageBuffer.get()), CP_ACP);
        ComPtr<ICoreWebView2ExecuteScriptCompletedHandler> handler =
            newHandler<ICoreWebView2ExecuteScriptCompletedHandler>(
                [this](HRESULT errorCode, LPCWSTR result) { return OnExecuteScriptCompleted(errorCode, result); });
        target->ExecuteScript(script.c_str(), handler.Get());
    } catch (...) {
    }
    return RESOURCE_REQUEST_RESULT;
}

HRESULT WebView2Wrapper::OnExecuteScriptCompleted(HRESULT errorCode, LPCWSTR)
{
    try {
        if (FAILED(errorCode))
            QVLOG_AS(HANDLER_FUNCTION, EXECUTE_SCRIPT_LABEL << "ExecuteScript Error  " << static_cast<long>(errorCode));
        else
            QVLOG_AS(HANDLER_FUNCTION, EXECUTE_SCRIPT_LABEL << "ExecuteScript Result OK");
    } catch (...) {
    }
    return S_OK;
}

HRESULT WebView2Wrapper::OnWindowCloseRequested(ICoreWebView2*, IUnknown*)
{
    PostMessageA(hostWindow, WM_CLOSE, 0, 0);
    return S_OK;
}
