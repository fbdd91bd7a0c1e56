#include "common/Utf8.h"

#include "framework/Win.h"

int utf16UnitToUtf8(char16_t unit, char* destination, int size)
{
    const wchar_t wide = static_cast<wchar_t>(unit);
    return WideCharToMultiByte(CP_UTF8, 0, &wide, 1, destination, size, nullptr, nullptr);
}
