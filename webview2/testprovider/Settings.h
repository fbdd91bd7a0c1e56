#pragma once
// A view's settings. The knobs no_settings2 and no_settings5 make it refuse those queries
// (without Settings2 there is no Settings5 either).
#include "webview2/include/WebView2.h"
#include "webview2/common/KeptSettings.h"

#include <string>

class Settings final : public KeptSettings {
public:
    Settings(std::string who, std::wstring userAgent, bool answersSettings2, bool answersSettings5);

    HRESULT STDMETHODCALLTYPE get_UserAgent(LPWSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_UserAgent(LPCWSTR value) override;

private:
    HRESULT answer(REFIID riid) override;
    // Journaled as the method with its value.
    void putting(const char* method, BOOL value) override;

    std::string who;
    std::wstring userAgent;
    bool answersSettings2;
    bool answersSettings5;
};

// The user agent a view starts with unless the knob user_agent names another.
constexpr const wchar_t* DEFAULT_USER_AGENT =
    L"Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    L"Chrome/140.0.0.0 Safari/537.36 Edg/140.0.0.0";
