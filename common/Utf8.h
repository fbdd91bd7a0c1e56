#pragma once
// One UTF-16 code unit as UTF-8: writes at most `size` bytes to `destination` and returns
// how many it wrote; 0 when the unit cannot be converted or does not fit. Kept apart so
// the parsers that need it build without windows.h.
int utf16UnitToUtf8(char16_t unit, char* destination, int size);
