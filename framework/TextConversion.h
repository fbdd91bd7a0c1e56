#pragma once
// The one way the windows-free code reaches the platform's text conversion and its
// code page.
#include "framework/CString.h"

#include <string>

// UTF-16 to the calling thread's ANSI code page; characters it lacks become its default
// character.
CString Utf16ToAnsi(const std::u16string& text);

// The same for a NUL-terminated UTF-16 text from a COM boundary; null gives an empty text.
CString narrowFromWide(const wchar_t* text);

// True when the byte begins a double-byte character of the ANSI code page, the code page
// of every path the system's A functions report.
bool isLeadByte(char byte);

// The other way, for a COM boundary: the thread's ANSI code page to UTF-16.
std::wstring wideFromNarrow(const char* text);
