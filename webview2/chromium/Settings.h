#pragma once
// A view's settings. The user agent is answered from what the view knows (the browser's
// own until one is set), never by asking the browser; a new one goes to the page before
// any navigation asked for after it. The rest are kept: no input reaches the page, so
// menus and zoom have nothing to act on.
#include "webview2/chromium/Page.h"
#include "webview2/common/KeptSettings.h"
#include "webview2/include/WebView2.h"

#include <memory>
#include <string>

class Settings final : public KeptSettings {
public:
    Settings(std::shared_ptr<Page> page, std::wstring userAgent);

    HRESULT STDMETHODCALLTYPE get_UserAgent(LPWSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_UserAgent(LPCWSTR value) override;

private:
    HRESULT answer(REFIID riid) override;

    std::shared_ptr<Page> page;
    std::wstring userAgent;
};
