// The conversion as Windows does it for CP_UTF8 without WC_ERR_INVALID_CHARS: a lone
// surrogate becomes U+FFFD.
#include "common/Utf8.h"

int utf16UnitToUtf8(char16_t unit, char* destination, int size)
{
    unsigned value = unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit;
    const int length = value < 0x80 ? 1 : value < 0x800 ? 2 : 3;
    if (length > size)
        return 0;
    if (length == 1) {
        destination[0] = static_cast<char>(value);
    } else if (length == 2) {
        destination[0] = static_cast<char>(0xC0 | (value >> 6));
        destination[1] = static_cast<char>(0x80 | (value & 0x3F));
    } else {
        destination[0] = static_cast<char>(0xE0 | (value >> 12));
        destination[1] = static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        destination[2] = static_cast<char>(0x80 | (value & 0x3F));
    }
    return length;
}
