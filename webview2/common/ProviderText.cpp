#include "webview2/common/ProviderText.h"

#include <cwchar>
#include <cwctype>

std::string utf8(LPCWSTR text)
{
    if (!text || !*text)
        return "";
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(bytes > 0 ? bytes - 1 : 0, '\0');
    if (bytes > 1)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], bytes, nullptr, nullptr);
    return out;
}

std::wstring wide(const std::string& text)
{
    if (text.empty())
        return L"";
    const int characters = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring out(characters > 0 ? characters - 1 : 0, L'\0');
    if (characters > 1)
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &out[0], characters);
    return out;
}

HRESULT coTaskMemCopy(const std::wstring& text, LPWSTR* out)
{
    if (!out)
        return E_POINTER;
    *out = static_cast<LPWSTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t)));
    if (!*out)
        return E_OUTOFMEMORY;
    std::wmemcpy(*out, text.c_str(), text.size() + 1);
    return S_OK;
}

bool hasScheme(const std::wstring& address)
{
    const size_t colon = address.find(L':');
    if (colon == std::wstring::npos || colon == 0 || !std::iswalpha(address[0]))
        return false;
    for (size_t i = 1; i < colon; ++i)
        if (!std::iswalnum(address[i]) && address[i] != L'+' && address[i] != L'-' && address[i] != L'.')
            return false;
    return true;
}
