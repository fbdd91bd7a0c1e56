#include "webview2/chromium/WebView.h"

#include "webview2/chromium/Base64.h"
#include "webview2/common/Dispatcher.h"
#include "webview2/common/EventArgs.h"
#include "webview2/common/OutParameter.h"
#include "webview2/common/ProviderText.h"

#include <cstring>

namespace {

constexpr const char* PAGE_TEXT_PREFIX = "data:text/html;charset=utf-8;base64,";

struct ErrorStatus {
    const char* errorText;
    COREWEBVIEW2_WEB_ERROR_STATUS status;
};

constexpr ErrorStatus ERROR_STATUSES[] = {
    {"net::ERR_TIMED_OUT", COREWEBVIEW2_WEB_ERROR_STATUS_TIMEOUT},
    {"net::ERR_CONNECTION_TIMED_OUT", COREWEBVIEW2_WEB_ERROR_STATUS_TIMEOUT},
    {"net::ERR_CONNECTION_ABORTED", COREWEBVIEW2_WEB_ERROR_STATUS_CONNECTION_ABORTED},
    {"net::ERR_CONNECTION_RESET", COREWEBVIEW2_WEB_ERROR_STATUS_CONNECTION_ABORTED},
    {"net::ERR_CONNECTION_CLOSED", COREWEBVIEW2_WEB_ERROR_STATUS_CONNECTION_ABORTED},
    {"net::ERR_CONNECTION_REFUSED", COREWEBVIEW2_WEB_ERROR_STATUS_CANNOT_CONNECT},
    {"net::ERR_CONNECTION_FAILED", COREWEBVIEW2_WEB_ERROR_STATUS_CANNOT_CONNECT},
    {"net::ERR_ADDRESS_UNREACHABLE", COREWEBVIEW2_WEB_ERROR_STATUS_CANNOT_CONNECT},
    {"net::ERR_NAME_NOT_RESOLVED", COREWEBVIEW2_WEB_ERROR_STATUS_HOST_NAME_NOT_RESOLVED},
    {"net::ERR_ABORTED", COREWEBVIEW2_WEB_ERROR_STATUS_OPERATION_CANCELED},
};

// The protocol's resource type for a filter's context; empty for every type.
const char* resourceType(COREWEBVIEW2_WEB_RESOURCE_CONTEXT context)
{
    switch (context) {
    case COREWEBVIEW2_WEB_RESOURCE_CONTEXT_DOCUMENT: return "Document";
    case COREWEBVIEW2_WEB_RESOURCE_CONTEXT_SCRIPT: return "Script";
    default: return "";
    }
}

} // namespace

COREWEBVIEW2_WEB_ERROR_STATUS webErrorStatus(const std::string& errorText)
{
    for (const ErrorStatus& known : ERROR_STATUSES)
        if (errorText == known.errorText)
            return known.status;
    return COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN;
}

std::string pageTextAddress(const std::string& utf8Html)
{
    return PAGE_TEXT_PREFIX + base64Encode(utf8Html);
}

WebView::WebView(std::shared_ptr<Page> page, HWND dispatcher, std::wstring userAgent)
    : page(std::move(page)), dispatcher(dispatcher)
{
    auto* made = new Settings(this->page, std::move(userAgent));
    settings.Reset(made);
    made->Release();
    this->page->observe(this);
}

HRESULT WebView::answer(REFIID riid)
{
    return answerOneOf<ICoreWebView2, ICoreWebView2_8>(riid);
}

void WebView::close()
{
    events.close();
    page->observe(nullptr);
}

bool WebView::later(std::function<void()> task)
{
    AddRef();
    const bool posted = dispatcher::post(dispatcher, 0, [this, task = std::move(task)] {
        if (!events.closed())
            task();
        Release();
    });
    if (!posted)
        Release();
    return posted;
}

HRESULT WebView::usable() const
{
    if (events.closed())
        return HRESULT_FROM_WIN32(ERROR_INVALID_STATE);
    return page->alive() ? S_OK : BROWSER_GONE;
}

void WebView::navigationEvent(const NavigationEvent& event)
{
    later([this, event] {
        if (event.kind == NavigationEvent::STARTING) {
            source = wide(event.uri);
            auto* args = new NavigationStartingArgs(source, event.redirected ? TRUE : FALSE);
            events.raiseStarting(this, args);
            args->Release();
        } else {
            auto* args = new NavigationCompletedArgs(event.success ? TRUE : FALSE, webErrorStatus(event.errorText));
            events.raiseCompleted(this, args);
            args->Release();
        }
    });
}

void WebView::resourceRequested(const std::string& requestId, const std::string& uri)
{
    // The request goes on (or fails) after the handlers, and also when the view is closed.
    std::shared_ptr<Page> held = page;
    AddRef();
    const bool posted = dispatcher::post(dispatcher, 0, [this, held, requestId, uri] {
        if (!events.closed()) {
            auto* args = new WebResourceRequestedArgs(new WebResourceRequest(wide(uri)));
            events.raiseRequested(this, args);
            args->Release();
        }
        held->settleRequest(requestId, uri);
        Release();
    });
    if (!posted) {
        held->settleRequest(requestId, uri);
        Release();
    }
}

void WebView::closeRequested()
{
    later([this] { events.raiseCloseRequested(this); });
}

HRESULT WebView::add_NavigationStarting(ICoreWebView2NavigationStartingEventHandler* handler,
                                        EventRegistrationToken* token)
{
    return events.add(handler, token);
}

HRESULT WebView::add_NavigationCompleted(ICoreWebView2NavigationCompletedEventHandler* handler,
                                         EventRegistrationToken* token)
{
    return events.add(handler, token);
}

HRESULT WebView::AddWebResourceRequestedFilter(LPCWSTR uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT context)
{
    if (!uri)
        return E_INVALIDARG;
    const HRESULT state = usable();
    if (FAILED(state))
        return state;
    nlohmann::json pattern = {{"urlPattern", utf8(uri)}};
    if (*resourceType(context))
        pattern["resourceType"] = resourceType(context);
    interceptPatterns.push_back(pattern);
    page->interceptRequests(interceptPatterns);
    return S_OK;
}

HRESULT WebView::add_WebResourceRequested(ICoreWebView2WebResourceRequestedEventHandler* handler,
                                          EventRegistrationToken* token)
{
    return events.add(handler, token);
}

HRESULT WebView::add_WindowCloseRequested(ICoreWebView2WindowCloseRequestedEventHandler* handler,
                                          EventRegistrationToken* token)
{
    return events.add(handler, token);
}

HRESULT WebView::get_Settings(ICoreWebView2Settings** out)
{
    if (!out)
        return E_POINTER;
    settings->AddRef();
    *out = settings.Get();
    return S_OK;
}

HRESULT WebView::Navigate(LPCWSTR uri)
{
    if (!uri || !hasScheme(uri))
        return E_INVALIDARG;
    const HRESULT state = usable();
    if (FAILED(state))
        return state;
    page->navigate(utf8(uri));
    return S_OK;
}

HRESULT WebView::NavigateToString(LPCWSTR htmlContent)
{
    if (!htmlContent)
        return E_INVALIDARG;
    const HRESULT state = usable();
    if (FAILED(state))
        return state;
    page->navigate(pageTextAddress(utf8(htmlContent)));
    return S_OK;
}

HRESULT WebView::ExecuteScript(LPCWSTR javaScript, ICoreWebView2ExecuteScriptCompletedHandler* handler)
{
    if (!javaScript)
        return E_INVALIDARG;
    const HRESULT state = usable();
    if (FAILED(state))
        return state;
    // Released with the completion, also when the view closes before it runs.
    std::shared_ptr<ICoreWebView2ExecuteScriptCompletedHandler> held;
    if (handler) {
        handler->AddRef();
        held.reset(handler, [](ICoreWebView2ExecuteScriptCompletedHandler* h) { h->Release(); });
    }
    AddRef();
    page->evaluate(utf8(javaScript), [this, held](HRESULT result, const std::string& json) {
        later([held, result, json] {
            if (held)
                held->Invoke(result, wide(json).c_str());
        });
        Release();
    });
    return S_OK;
}

HRESULT WebView::get_Source(LPWSTR* uri)
{
    return coTaskMemCopy(source, uri);
}

HRESULT WebView::put_IsMuted(BOOL value)
{
    const HRESULT state = usable();
    if (FAILED(state))
        return state;
    muted = value ? TRUE : FALSE;
    page->setMuted(muted != FALSE);
    return S_OK;
}

HRESULT WebView::get_IsMuted(BOOL* value)
{
    return copyOut(muted, value);
}
