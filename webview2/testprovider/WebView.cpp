#include "webview2/testprovider/WebView.h"

#include "webview2/common/Dispatcher.h"
#include "webview2/common/EventArgs.h"
#include "webview2/common/OutParameter.h"
#include "webview2/testprovider/Journal.h"

namespace {

// Scripts and page texts are journaled up to this many characters, with their length.
constexpr size_t JOURNAL_TEXT_LIMIT = 200;
constexpr COREWEBVIEW2_WEB_ERROR_STATUS DEFAULT_WEB_ERROR_STATUS = COREWEBVIEW2_WEB_ERROR_STATUS_CANNOT_CONNECT;

// '*' stands for any run of characters.
bool wildcardMatches(const wchar_t* text, const wchar_t* pattern)
{
    if (*pattern == L'\0')
        return *text == L'\0';
    if (*pattern == L'*')
        return wildcardMatches(text, pattern + 1) || (*text != L'\0' && wildcardMatches(text + 1, pattern));
    return *text == *pattern && wildcardMatches(text + 1, pattern + 1);
}

bool anyMatches(const std::string& address, const std::vector<std::string>& patterns)
{
    for (const std::string& pattern : patterns)
        if (addressMatches(address, pattern))
            return true;
    return false;
}

} // namespace

WebView::WebView(ViewContext context, std::shared_ptr<ContentWindow> content)
    : context(std::move(context)), content(std::move(content))
{
}

HRESULT WebView::answer(REFIID riid)
{
    if (IsEqualIID(riid, __uuidof(ICoreWebView2)))
        return S_OK;
    if (!IsEqualIID(riid, __uuidof(ICoreWebView2_8)))
        return E_NOINTERFACE;
    const HRESULT result = context.hresult("webview8_query_hr");
    journal(context.who, "QueryInterface", {{"iid", "ICoreWebView2_8"}, {"result", hresultText(result)}});
    return result;
}

void WebView::close()
{
    events.close();
}

void WebView::later(unsigned delayMs, std::function<void()> task)
{
    AddRef();
    dispatcher::post(context.dispatcher, delayMs, [this, task = std::move(task)] {
        if (!events.closed())
            task();
        Release();
    });
}

template <class Handler>
HRESULT WebView::addHandler(const char* method, const char* knob, Handler* handler, EventRegistrationToken* token)
{
    const HRESULT result = context.hresult(knob);
    journal(context.who, method, {{"result", hresultText(result)}});
    if (FAILED(result))
        return result;
    return events.add(handler, token);
}

HRESULT WebView::add_NavigationStarting(ICoreWebView2NavigationStartingEventHandler* handler,
                                        EventRegistrationToken* token)
{
    return addHandler("add_NavigationStarting", "add_navigation_starting_hr", handler, token);
}

HRESULT WebView::add_NavigationCompleted(ICoreWebView2NavigationCompletedEventHandler* handler,
                                         EventRegistrationToken* token)
{
    return addHandler("add_NavigationCompleted", "add_navigation_completed_hr", handler, token);
}

HRESULT WebView::AddWebResourceRequestedFilter(LPCWSTR uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT resourceContext)
{
    journal(context.who, "AddWebResourceRequestedFilter",
            {{"uri", utf8(uri)}, {"context", std::to_string(resourceContext)}});
    if (!uri)
        return E_INVALIDARG;
    resourceFilters.push_back(uri);
    return S_OK;
}

HRESULT WebView::add_WebResourceRequested(ICoreWebView2WebResourceRequestedEventHandler* handler,
                                          EventRegistrationToken* token)
{
    return addHandler("add_WebResourceRequested", "add_web_resource_requested_hr", handler, token);
}

HRESULT WebView::add_WindowCloseRequested(ICoreWebView2WindowCloseRequestedEventHandler* handler,
                                          EventRegistrationToken* token)
{
    return addHandler("add_WindowCloseRequested", "add_window_close_requested_hr", handler, token);
}

HRESULT WebView::get_Settings(ICoreWebView2Settings** out)
{
    const HRESULT result = context.hresult("get_settings_hr");
    journal(context.who, "get_Settings", {{"result", hresultText(result)}});
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (FAILED(result))
        return result;
    if (!settings) {
        Settings* made = new Settings(context.who, wide(context.knobs->text("user_agent", context.ordinal,
                                                                           utf8(DEFAULT_USER_AGENT))),
                                      context.knobs->number("no_settings2", context.ordinal) == 0,
                                      context.knobs->number("no_settings5", context.ordinal) == 0);
        settings.Reset(made);
        made->Release();
    }
    settings->AddRef();
    *out = settings.Get();
    return S_OK;
}

HRESULT WebView::Navigate(LPCWSTR uri)
{
    journal(context.who, "Navigate", {{"uri", utf8(uri)}});
    if (!uri || !hasScheme(uri))
        return E_INVALIDARG;
    startNavigation(uri);
    return S_OK;
}

HRESULT WebView::NavigateToString(LPCWSTR htmlContent)
{
    journal(context.who, "NavigateToString",
            {{"text", truncatedUtf8(htmlContent, JOURNAL_TEXT_LIMIT)},
             {"length", std::to_string(htmlContent ? wcslen(htmlContent) : 0)}});
    if (!htmlContent)
        return E_INVALIDARG;
    startNavigation(htmlContent);
    return S_OK;
}

void WebView::startNavigation(const std::wstring& address)
{
    source = address;
    content->setText(address);
    later(0, [this, address] {
        const std::string narrow = utf8(address.c_str());
        journal(context.who, "raise:NavigationStarting", {{"uri", narrow}, {"redirected", "0"}});
        auto* first = new NavigationStartingArgs(address, FALSE);
        events.raiseStarting(this, first);
        first->Release();
        if (anyMatches(narrow, context.knobs->list("redirect", context.ordinal))) {
            journal(context.who, "raise:NavigationStarting", {{"uri", narrow}, {"redirected", "1"}});
            auto* redirected = new NavigationStartingArgs(address, TRUE);
            events.raiseStarting(this, redirected);
            redirected->Release();
        }
        later(context.delay("navigation_delay_ms"), [this, address] { completeNavigation(address); });
    });
}

void WebView::completeNavigation(const std::wstring& address)
{
    const std::string narrow = utf8(address.c_str());
    const bool success = anyMatches(narrow, context.knobs->list("succeed_navigation", context.ordinal)) ||
                         (!anyMatches(narrow, context.knobs->list("fail_navigation", context.ordinal)) &&
                          context.knobs->number("navigation_success", context.ordinal, 1) != 0);
    const auto status = success ? COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN
                                : static_cast<COREWEBVIEW2_WEB_ERROR_STATUS>(context.knobs->number(
                                      "web_error_status", context.ordinal, DEFAULT_WEB_ERROR_STATUS));
    journal(context.who, "raise:NavigationCompleted",
            {{"uri", narrow}, {"success", success ? "1" : "0"}, {"status", std::to_string(status)}});
    auto* args = new NavigationCompletedArgs(success ? TRUE : FALSE, status);
    events.raiseCompleted(this, args);
    args->Release();
    if (success)
        for (const std::string& request : context.knobs->list("request", context.ordinal))
            later(0, [this, request] { requestResource(wide(request)); });
    if (!firstCompleted && context.knobs->has("close_request_after_ms", context.ordinal)) {
        later(context.delay("close_request_after_ms"), [this] {
            journal(context.who, "raise:WindowCloseRequested");
            events.raiseCloseRequested(this);
        });
    }
    firstCompleted = true;
}

void WebView::requestResource(const std::wstring& address)
{
    bool filtered = false;
    for (const std::wstring& filter : resourceFilters)
        filtered = filtered || wildcardMatches(address.c_str(), filter.c_str());
    if (!filtered)
        return;
    journal(context.who, "raise:WebResourceRequested", {{"uri", utf8(address.c_str())}});
    auto* request = new WebResourceRequest(address);
    auto* args = new WebResourceRequestedArgs(request);
    events.raiseRequested(this, args);
    args->Release();
}

HRESULT WebView::ExecuteScript(LPCWSTR javaScript, ICoreWebView2ExecuteScriptCompletedHandler* handler)
{
    journal(context.who, "ExecuteScript",
            {{"script", truncatedUtf8(javaScript, JOURNAL_TEXT_LIMIT)},
             {"length", std::to_string(javaScript ? wcslen(javaScript) : 0)}});
    if (!javaScript)
        return E_INVALIDARG;
    if (handler) {
        // Released with the task, also when the view closes before it runs.
        handler->AddRef();
        std::shared_ptr<ICoreWebView2ExecuteScriptCompletedHandler> held(
            handler, [](ICoreWebView2ExecuteScriptCompletedHandler* h) { h->Release(); });
        later(context.delay("script_delay_ms"), [this, held] {
            journal(context.who, "raise:ExecuteScriptCompleted", {{"result", "0x00000000"}, {"json", "null"}});
            held->Invoke(S_OK, L"null");
        });
    }
    return S_OK;
}

HRESULT WebView::get_Source(LPWSTR* uri)
{
    return coTaskMemCopy(source, uri);
}

HRESULT WebView::put_IsMuted(BOOL value)
{
    journal(context.who, "put_IsMuted", {{"value", value ? "1" : "0"}});
    muted = value ? TRUE : FALSE;
    return S_OK;
}

HRESULT WebView::get_IsMuted(BOOL* value)
{
    return copyOut(muted, value);
}
