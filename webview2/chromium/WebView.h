#pragma once
// A view's WebView2 object over its page: navigations, events, scripts, settings and the
// mute state. Every handler is called later, on the UI thread that made the view, through
// its task window, and none after close().
#include "framework/ComPtr.h"
#include "webview2/chromium/Page.h"
#include "webview2/chromium/Settings.h"
#include "webview2/common/ComObject.h"
#include "webview2/common/ViewEvents.h"
#include "webview2/include/WebView2.h"

#include <functional>
#include <memory>

class WebView final : public ComObject<ICoreWebView2_8>, private PageObserver {
public:
    WebView(std::shared_ptr<Page> page, HWND dispatcher, std::wstring userAgent);

    // Drops every handler and every pending call of one.
    void close();

    HRESULT STDMETHODCALLTYPE add_NavigationStarting(ICoreWebView2NavigationStartingEventHandler* handler,
                                                     EventRegistrationToken* token) override;
    HRESULT STDMETHODCALLTYPE add_NavigationCompleted(ICoreWebView2NavigationCompletedEventHandler* handler,
                                                      EventRegistrationToken* token) override;
    HRESULT STDMETHODCALLTYPE AddWebResourceRequestedFilter(LPCWSTR uri,
                                                            COREWEBVIEW2_WEB_RESOURCE_CONTEXT context) override;
    HRESULT STDMETHODCALLTYPE add_WebResourceRequested(ICoreWebView2WebResourceRequestedEventHandler* handler,
                                                       EventRegistrationToken* token) override;
    HRESULT STDMETHODCALLTYPE add_WindowCloseRequested(ICoreWebView2WindowCloseRequestedEventHandler* handler,
                                                       EventRegistrationToken* token) override;
    HRESULT STDMETHODCALLTYPE get_Settings(ICoreWebView2Settings** settings) override;
    HRESULT STDMETHODCALLTYPE Navigate(LPCWSTR uri) override;
    HRESULT STDMETHODCALLTYPE NavigateToString(LPCWSTR htmlContent) override;
    HRESULT STDMETHODCALLTYPE ExecuteScript(LPCWSTR javaScript,
                                            ICoreWebView2ExecuteScriptCompletedHandler* handler) override;
    HRESULT STDMETHODCALLTYPE get_Source(LPWSTR* uri) override;
    HRESULT STDMETHODCALLTYPE put_IsMuted(BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_IsMuted(BOOL* value) override;

private:
    HRESULT answer(REFIID riid) override;

    void navigationEvent(const NavigationEvent& event) override;
    void resourceRequested(const std::string& requestId, const std::string& uri) override;
    void closeRequested() override;

    // Runs the task on the UI thread unless the view is closed by then. Any thread.
    bool later(std::function<void()> task);
    HRESULT usable() const;

    std::shared_ptr<Page> page;
    HWND dispatcher;
    ComPtr<Settings> settings;
    ViewEvents events;
    BOOL muted = FALSE;
    std::wstring source = L"about:blank";
    nlohmann::json interceptPatterns = nlohmann::json::array();
};

// The view's error status for the browser's error name ("net::ERR_NAME_NOT_RESOLVED").
COREWEBVIEW2_WEB_ERROR_STATUS webErrorStatus(const std::string& errorText);
// The address NavigateToString shows: the text as a data: address.
std::string pageTextAddress(const std::string& utf8Html);
