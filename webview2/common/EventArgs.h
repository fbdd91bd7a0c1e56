#pragma once
// The argument objects of the events a view raises.
#include "webview2/include/WebView2.h"
#include "webview2/common/ComObject.h"

#include <string>

class NavigationStartingArgs final : public ComObject<ICoreWebView2NavigationStartingEventArgs> {
public:
    NavigationStartingArgs(std::wstring uri, BOOL redirected) : uri(std::move(uri)), redirected(redirected) {}
    HRESULT STDMETHODCALLTYPE get_IsRedirected(BOOL* isRedirected) override;
    HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* value) override;

private:
    HRESULT answer(REFIID riid) override;
    std::wstring uri;
    BOOL redirected;
};

class NavigationCompletedArgs final : public ComObject<ICoreWebView2NavigationCompletedEventArgs> {
public:
    NavigationCompletedArgs(BOOL success, COREWEBVIEW2_WEB_ERROR_STATUS status) : success(success), status(status) {}
    HRESULT STDMETHODCALLTYPE get_IsSuccess(BOOL* isSuccess) override;
    HRESULT STDMETHODCALLTYPE get_WebErrorStatus(COREWEBVIEW2_WEB_ERROR_STATUS* value) override;

private:
    HRESULT answer(REFIID riid) override;
    BOOL success;
    COREWEBVIEW2_WEB_ERROR_STATUS status;
};

class WebResourceRequest final : public ComObject<ICoreWebView2WebResourceRequest> {
public:
    explicit WebResourceRequest(std::wstring uri) : uri(std::move(uri)) {}
    HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* value) override;

private:
    HRESULT answer(REFIID riid) override;
    std::wstring uri;
};

class WebResourceRequestedArgs final : public ComObject<ICoreWebView2WebResourceRequestedEventArgs> {
public:
    explicit WebResourceRequestedArgs(WebResourceRequest* request) : request(request) {}
    HRESULT STDMETHODCALLTYPE get_Request(ICoreWebView2WebResourceRequest** value) override;

private:
    ~WebResourceRequestedArgs() override { request->Release(); }
    HRESULT answer(REFIID riid) override;
    // One reference owned.
    WebResourceRequest* request;
};
