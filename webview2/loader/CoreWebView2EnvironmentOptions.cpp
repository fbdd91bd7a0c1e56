#include "webview2/loader/CoreWebView2EnvironmentOptions.h"

#include <cwchar>
#include <new>

HRESULT copyToCoTaskMem(const std::wstring& text, LPWSTR* out)
{
    if (!out)
        return E_POINTER;
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    *out = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (!*out)
        return E_OUTOFMEMORY;
    std::wmemcpy(*out, text.c_str(), text.size() + 1);
    return S_OK;
}

CoreWebView2EnvironmentOptions* CoreWebView2EnvironmentOptions::Create()
{
    return new (std::nothrow) CoreWebView2EnvironmentOptions();
}

HRESULT CoreWebView2EnvironmentOptions::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(riid, __uuidof(IUnknown)) && !IsEqualIID(riid, __uuidof(ICoreWebView2EnvironmentOptions)))
        return E_NOINTERFACE;
    AddRef();
    *object = static_cast<ICoreWebView2EnvironmentOptions*>(this);
    return S_OK;
}

ULONG CoreWebView2EnvironmentOptions::AddRef()
{
    return InterlockedIncrement(&count);
}

ULONG CoreWebView2EnvironmentOptions::Release()
{
    const ULONG left = InterlockedDecrement(&count);
    if (left == 0)
        delete this;
    return left;
}

HRESULT CoreWebView2EnvironmentOptions::put_AdditionalBrowserArguments(LPCWSTR value)
{
    additionalBrowserArguments = value ? value : L"";
    return S_OK;
}

HRESULT CoreWebView2EnvironmentOptions::get_AdditionalBrowserArguments(LPWSTR* value)
{
    return copyToCoTaskMem(additionalBrowserArguments, value);
}

HRESULT CoreWebView2EnvironmentOptions::get_TargetCompatibleBrowserVersion(LPWSTR* value)
{
    return copyToCoTaskMem(WEBVIEW2_TARGET_BROWSER_VERSION, value);
}
