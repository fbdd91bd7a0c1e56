#include "webview2/common/EventArgs.h"

#include "webview2/common/OutParameter.h"
#include "webview2/common/ProviderText.h"

HRESULT NavigationStartingArgs::answer(REFIID riid)
{
    return answerOneOf<ICoreWebView2NavigationStartingEventArgs>(riid);
}

HRESULT NavigationStartingArgs::get_IsRedirected(BOOL* isRedirected)
{
    return copyOut(redirected, isRedirected);
}

HRESULT NavigationStartingArgs::get_Uri(LPWSTR* value)
{
    return coTaskMemCopy(uri, value);
}

HRESULT NavigationCompletedArgs::answer(REFIID riid)
{
    return answerOneOf<ICoreWebView2NavigationCompletedEventArgs>(riid);
}

HRESULT NavigationCompletedArgs::get_IsSuccess(BOOL* isSuccess)
{
    return copyOut(success, isSuccess);
}

HRESULT NavigationCompletedArgs::get_WebErrorStatus(COREWEBVIEW2_WEB_ERROR_STATUS* value)
{
    return copyOut(status, value);
}

HRESULT WebResourceRequest::answer(REFIID riid)
{
    return answerOneOf<ICoreWebView2WebResourceRequest>(riid);
}

HRESULT WebResourceRequest::get_Uri(LPWSTR* value)
{
    return coTaskMemCopy(uri, value);
}

HRESULT WebResourceRequestedArgs::answer(REFIID riid)
{
    return answerOneOf<ICoreWebView2WebResourceRequestedEventArgs>(riid);
}

HRESULT WebResourceRequestedArgs::get_Request(ICoreWebView2WebResourceRequest** value)
{
    if (!value)
        return E_POINTER;
    request->AddRef();
    *value = request;
    return S_OK;
}
