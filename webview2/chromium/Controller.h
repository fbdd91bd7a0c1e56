#pragma once
// A view's controller: its content window's place and visibility (the page's viewport
// follows the bounds), its background colour, and Close, after which none of the view's
// handlers is called and the page's browser context is disposed of.
#include "framework/ComPtr.h"
#include "webview2/chromium/FrameWindow.h"
#include "webview2/chromium/Page.h"
#include "webview2/chromium/WebView.h"
#include "webview2/common/ComObject.h"
#include "webview2/include/WebView2.h"

#include <memory>

class Controller final : public ComObject<ICoreWebView2Controller2> {
public:
    Controller(std::shared_ptr<Page> page, std::shared_ptr<FrameWindow> frames, HWND dispatcher,
               std::wstring userAgent);

    HRESULT STDMETHODCALLTYPE get_CoreWebView2(ICoreWebView2** coreWebView2) override;
    HRESULT STDMETHODCALLTYPE put_Bounds(RECT bounds) override;
    HRESULT STDMETHODCALLTYPE get_Bounds(RECT* bounds) override;
    HRESULT STDMETHODCALLTYPE put_IsVisible(BOOL isVisible) override;
    HRESULT STDMETHODCALLTYPE get_IsVisible(BOOL* isVisible) override;
    HRESULT STDMETHODCALLTYPE Close() override;
    HRESULT STDMETHODCALLTYPE get_DefaultBackgroundColor(COREWEBVIEW2_COLOR* color) override;
    HRESULT STDMETHODCALLTYPE put_DefaultBackgroundColor(COREWEBVIEW2_COLOR color) override;

private:
    ~Controller() override;
    HRESULT answer(REFIID riid) override;

    std::shared_ptr<Page> page;
    std::shared_ptr<FrameWindow> frames;
    ComPtr<WebView> webView;
    bool closed = false;
    RECT bounds = {};
    BOOL visible = FALSE;
    COREWEBVIEW2_COLOR backgroundColor = {255, 255, 255, 255};
};
