#pragma once
// The handlers of a view's events and its closed state: a handler is registered with a
// token counting up per view, an event calls the handlers registered when it starts, and
// once the view is closed no handler is called again.
#include "framework/ComPtr.h"
#include "webview2/include/WebView2.h"

#include <vector>

class ViewEvents {
public:
    // E_INVALIDARG without a handler or token, ERROR_INVALID_STATE once closed.
    HRESULT add(ICoreWebView2NavigationStartingEventHandler* handler, EventRegistrationToken* token);
    HRESULT add(ICoreWebView2NavigationCompletedEventHandler* handler, EventRegistrationToken* token);
    HRESULT add(ICoreWebView2WebResourceRequestedEventHandler* handler, EventRegistrationToken* token);
    HRESULT add(ICoreWebView2WindowCloseRequestedEventHandler* handler, EventRegistrationToken* token);

    void raiseStarting(ICoreWebView2* sender, ICoreWebView2NavigationStartingEventArgs* args);
    void raiseCompleted(ICoreWebView2* sender, ICoreWebView2NavigationCompletedEventArgs* args);
    void raiseRequested(ICoreWebView2* sender, ICoreWebView2WebResourceRequestedEventArgs* args);
    void raiseCloseRequested(ICoreWebView2* sender);

    // Drops every handler.
    void close();
    bool closed() const { return isClosed; }

private:
    template <class Handler>
    HRESULT add(Handler* handler, EventRegistrationToken* token, std::vector<ComPtr<Handler>>& handlers);
    template <class Handler, class Args>
    void raise(const std::vector<ComPtr<Handler>>& handlers, ICoreWebView2* sender, Args* args);

    bool isClosed = false;
    INT64 nextToken = 0;
    std::vector<ComPtr<ICoreWebView2NavigationStartingEventHandler>> startingHandlers;
    std::vector<ComPtr<ICoreWebView2NavigationCompletedEventHandler>> completedHandlers;
    std::vector<ComPtr<ICoreWebView2WebResourceRequestedEventHandler>> requestedHandlers;
    std::vector<ComPtr<ICoreWebView2WindowCloseRequestedEventHandler>> closeRequestedHandlers;
};
