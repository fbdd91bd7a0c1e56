#include "webview2/chromium/Settings.h"

#include "webview2/common/ProviderText.h"

Settings::Settings(std::shared_ptr<Page> page, std::wstring userAgent)
    : page(std::move(page)), userAgent(std::move(userAgent))
{
}

HRESULT Settings::answer(REFIID riid)
{
    return answerOneOf<ICoreWebView2Settings, ICoreWebView2Settings2, ICoreWebView2Settings5>(riid);
}

HRESULT Settings::get_UserAgent(LPWSTR* value)
{
    return coTaskMemCopy(userAgent, value);
}

HRESULT Settings::put_UserAgent(LPCWSTR value)
{
    if (!value)
        return E_INVALIDARG;
    if (!page->alive())
        return BROWSER_GONE;
    userAgent = value;
    page->setUserAgent(utf8(value));
    return S_OK;
}
