#pragma once
// An environment over the process's browser; it makes the views' controllers, each with a
// page of its own. The browser is closed when the last environment is released.
#include "webview2/chromium/Browser.h"
#include "webview2/common/ComObject.h"
#include "webview2/include/WebView2.h"

#include <memory>

class Environment final : public ComObject<ICoreWebView2Environment> {
public:
    explicit Environment(std::shared_ptr<Browser> browser);

    HRESULT STDMETHODCALLTYPE CreateCoreWebView2Controller(
        HWND parentWindow, ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler) override;

private:
    ~Environment() override;
    HRESULT answer(REFIID riid) override;

    std::shared_ptr<Browser> browser;
};
