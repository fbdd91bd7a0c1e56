// Native stand-in for the Win32 conversion: code page 1252 and Latin-1 agree on the
// letters the windows-free tests use; other characters become "?" as under Windows.
// Code page 1252 has no double-byte characters.
#include "framework/TextConversion.h"

CString Utf16ToAnsi(const std::u16string& text)
{
    std::string narrow;
    for (char16_t unit : text)
        narrow += unit < 0x80 || (unit >= 0xA0 && unit < 0x100) ? static_cast<char>(unit) : '?';
    return CString(narrow);
}

bool isLeadByte(char)
{
    return false;
}
