#pragma once
// A view's WebView2 object: navigations, events, scripts, settings and mute state. Every
// handler is called later on the UI thread that made the view, and none after close().
#include "framework/ComPtr.h"
#include "webview2/include/WebView2.h"
#include "webview2/common/ComObject.h"
#include "webview2/common/ViewEvents.h"
#include "webview2/testprovider/ContentWindow.h"
#include "webview2/testprovider/Settings.h"
#include "webview2/testprovider/ViewContext.h"

#include <functional>
#include <memory>
#include <vector>

class WebView final : public ComObject<ICoreWebView2_8> {
public:
    WebView(ViewContext context, std::shared_ptr<ContentWindow> content);

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

    // Runs the task later on the UI thread unless the view is closed by then.
    void later(unsigned delayMs, std::function<void()> task);
    void startNavigation(const std::wstring& address);
    void completeNavigation(const std::wstring& address);
    void requestResource(const std::wstring& address);
    template <class Handler>
    HRESULT addHandler(const char* method, const char* knob, Handler* handler, EventRegistrationToken* token);

    ViewContext context;
    std::shared_ptr<ContentWindow> content;
    ComPtr<Settings> settings;
    ViewEvents events;
    bool firstCompleted = false;
    BOOL muted = FALSE;
    std::wstring source = L"about:blank";
    std::vector<std::wstring> resourceFilters;
};
