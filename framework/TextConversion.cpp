#include "framework/TextConversion.h"

#include "framework/Win.h"

CString Utf16ToAnsi(const std::u16string& text)
{
    if (text.empty())
        return CString();
    const wchar_t* wide = reinterpret_cast<const wchar_t*>(text.data());
    int wideLength = static_cast<int>(text.size());
    int size = WideCharToMultiByte(CP_THREAD_ACP, 0, wide, wideLength, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return CString();
    std::string narrow(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_THREAD_ACP, 0, wide, wideLength, &narrow[0], size, nullptr, nullptr);
    return CString(narrow);
}

CString narrowFromWide(const wchar_t* text)
{
    if (!text)
        return CString();
    return Utf16ToAnsi(std::u16string(reinterpret_cast<const char16_t*>(text)));
}

bool isLeadByte(char byte)
{
    return IsDBCSLeadByte(static_cast<BYTE>(byte)) != 0;
}

std::wstring wideFromNarrow(const char* text)
{
    if (!text || !*text)
        return std::wstring();
    int size = MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, nullptr, 0);
    if (size <= 1)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, &wide[0], size);
    wide.resize(static_cast<size_t>(size - 1));
    return wide;
}
