#pragma once
// One environment per creation call; it makes the views' controllers. Views are numbered
// across the process, in the order their controllers are asked for, from 1.
#include "webview2/include/WebView2.h"
#include "webview2/common/ComObject.h"
#include "webview2/testprovider/Knobs.h"

#include <memory>
#include <string>

class Environment final : public ComObject<ICoreWebView2Environment> {
public:
    Environment(int ordinal, std::shared_ptr<const Knobs> knobs);

    HRESULT STDMETHODCALLTYPE CreateCoreWebView2Controller(
        HWND parentWindow, ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler) override;

private:
    HRESULT answer(REFIID riid) override;

    std::string who;
    std::shared_ptr<const Knobs> knobs;
};
