#include "webview2/common/ViewEvents.h"

template <class Handler>
HRESULT ViewEvents::add(Handler* handler, EventRegistrationToken* token, std::vector<ComPtr<Handler>>& handlers)
{
    if (!handler || !token)
        return E_INVALIDARG;
    if (isClosed)
        return HRESULT_FROM_WIN32(ERROR_INVALID_STATE);
    handlers.emplace_back();
    handlers.back().Reset(handler);
    token->value = ++nextToken;
    return S_OK;
}

template <class Handler, class Args>
void ViewEvents::raise(const std::vector<ComPtr<Handler>>& handlers, ICoreWebView2* sender, Args* args)
{
    // A handler may close the view or register another handler while the event runs.
    std::vector<Handler*> snapshot;
    for (const ComPtr<Handler>& handler : handlers) {
        handler->AddRef();
        snapshot.push_back(handler.Get());
    }
    for (Handler* handler : snapshot) {
        if (!isClosed)
            handler->Invoke(sender, args);
        handler->Release();
    }
}

HRESULT ViewEvents::add(ICoreWebView2NavigationStartingEventHandler* handler, EventRegistrationToken* token)
{
    return add(handler, token, startingHandlers);
}

HRESULT ViewEvents::add(ICoreWebView2NavigationCompletedEventHandler* handler, EventRegistrationToken* token)
{
    return add(handler, token, completedHandlers);
}

HRESULT ViewEvents::add(ICoreWebView2WebResourceRequestedEventHandler* handler, EventRegistrationToken* token)
{
    return add(handler, token, requestedHandlers);
}

HRESULT ViewEvents::add(ICoreWebView2WindowCloseRequestedEventHandler* handler, EventRegistrationToken* token)
{
    return add(handler, token, closeRequestedHandlers);
}

void ViewEvents::raiseStarting(ICoreWebView2* sender, ICoreWebView2NavigationStartingEventArgs* args)
{
    raise(startingHandlers, sender, args);
}

void ViewEvents::raiseCompleted(ICoreWebView2* sender, ICoreWebView2NavigationCompletedEventArgs* args)
{
    raise(completedHandlers, sender, args);
}

void ViewEvents::raiseRequested(ICoreWebView2* sender, ICoreWebView2WebResourceRequestedEventArgs* args)
{
    raise(requestedHandlers, sender, args);
}

void ViewEvents::raiseCloseRequested(ICoreWebView2* sender)
{
    raise(closeRequestedHandlers, sender, static_cast<IUnknown*>(nullptr));
}

void ViewEvents::close()
{
    isClosed = true;
    startingHandlers.clear();
    completedHandlers.clear();
    requestedHandlers.clear();
    closeRequestedHandlers.clear();
}
