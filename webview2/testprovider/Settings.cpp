#include "webview2/testprovider/Settings.h"

#include "webview2/testprovider/Journal.h"

Settings::Settings(std::string who, std::wstring userAgent, bool answersSettings2, bool answersSettings5)
    : who(std::move(who)), userAgent(std::move(userAgent)), answersSettings2(answersSettings2),
      answersSettings5(answersSettings2 && answersSettings5)
{
}

HRESULT Settings::answer(REFIID riid)
{
    if (IsEqualIID(riid, __uuidof(ICoreWebView2Settings)))
        return S_OK;
    const bool settings2 = IsEqualIID(riid, __uuidof(ICoreWebView2Settings2));
    const bool settings5 = IsEqualIID(riid, __uuidof(ICoreWebView2Settings5));
    if (!settings2 && !settings5)
        return E_NOINTERFACE;
    const bool answered = settings2 ? answersSettings2 : answersSettings5;
    journal(who, "QueryInterface", {{"iid", settings2 ? "ICoreWebView2Settings2" : "ICoreWebView2Settings5"},
                                    {"result", hresultText(answered ? S_OK : E_NOINTERFACE)}});
    return answered ? S_OK : E_NOINTERFACE;
}

HRESULT Settings::get_UserAgent(LPWSTR* value)
{
    journal(who, "get_UserAgent");
    return coTaskMemCopy(userAgent, value);
}

HRESULT Settings::put_UserAgent(LPCWSTR value)
{
    journal(who, "put_UserAgent", {{"value", utf8(value)}});
    if (!value)
        return E_INVALIDARG;
    userAgent = value;
    return S_OK;
}

void Settings::putting(const char* method, BOOL value)
{
    journal(who, method, {{"value", value ? "1" : "0"}});
}
