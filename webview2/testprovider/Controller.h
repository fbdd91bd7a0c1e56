#pragma once
// A view's controller: its content window's place and visibility, its background colour,
// and Close, after which none of the view's handlers is called.
#include "framework/ComPtr.h"
#include "webview2/include/WebView2.h"
#include "webview2/common/ComObject.h"
#include "webview2/testprovider/ContentWindow.h"
#include "webview2/testprovider/ViewContext.h"
#include "webview2/testprovider/WebView.h"

#include <memory>

class Controller final : public ComObject<ICoreWebView2Controller2> {
public:
    // Null when the content window cannot be made on the host.
    static Controller* Create(const ViewContext& context, HWND host);

    HRESULT STDMETHODCALLTYPE get_CoreWebView2(ICoreWebView2** coreWebView2) override;
    HRESULT STDMETHODCALLTYPE put_Bounds(RECT bounds) override;
    HRESULT STDMETHODCALLTYPE get_Bounds(RECT* bounds) override;
    HRESULT STDMETHODCALLTYPE put_IsVisible(BOOL isVisible) override;
    HRESULT STDMETHODCALLTYPE get_IsVisible(BOOL* isVisible) override;
    HRESULT STDMETHODCALLTYPE Close() override;
    HRESULT STDMETHODCALLTYPE get_DefaultBackgroundColor(COREWEBVIEW2_COLOR* color) override;
    HRESULT STDMETHODCALLTYPE put_DefaultBackgroundColor(COREWEBVIEW2_COLOR color) override;

private:
    Controller(const ViewContext& context, std::shared_ptr<ContentWindow> content);
    ~Controller() override;
    HRESULT answer(REFIID riid) override;

    ViewContext context;
    std::shared_ptr<ContentWindow> content;
    ComPtr<WebView> webView;
    bool closed = false;
    RECT bounds = {};
    BOOL visible = FALSE;
    COREWEBVIEW2_COLOR backgroundColor = {255, 255, 255, 255};
};
