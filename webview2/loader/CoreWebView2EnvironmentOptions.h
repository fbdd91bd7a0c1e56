#pragma once
#include "webview2/include/WebView2.h"

#include <string>

// The environment options the program hands to the runtime: the default target browser
// version and the additional browser arguments. Made with one reference.
class CoreWebView2EnvironmentOptions final : public ICoreWebView2EnvironmentOptions {
public:
    // Null when memory runs out.
    static CoreWebView2EnvironmentOptions* Create();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE put_AdditionalBrowserArguments(LPCWSTR value) override;
    HRESULT STDMETHODCALLTYPE get_AdditionalBrowserArguments(LPWSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_TargetCompatibleBrowserVersion(LPWSTR* value) override;

private:
    CoreWebView2EnvironmentOptions() = default;
    ~CoreWebView2EnvironmentOptions() = default;

    LONG count = 1;
    std::wstring additionalBrowserArguments;
};

// A CoTaskMem copy of the text for an out-parameter; E_OUTOFMEMORY leaves it null.
HRESULT copyToCoTaskMem(const std::wstring& text, LPWSTR* out);
