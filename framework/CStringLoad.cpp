// The string table lives in the Win32 half of the string class.
#include "framework/CString.h"
#include "framework/Win.h"

bool CString::LoadString(unsigned id)
{
    const wchar_t* wide = nullptr;
    // With a buffer size of 0 the call hands out a read-only pointer to the resource
    // text (not NUL-terminated) and returns its length.
    int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&wide), 0);
    if (length <= 0)
        return false;
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, length, &out[0], bytes, nullptr, nullptr);
    s.swap(out);
    return true;
}
