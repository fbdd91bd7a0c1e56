#pragma once
// The one way the windows-free code reaches the platform's text conversion.
#include "CString.h"

#include <string>

// UTF-16 to the calling thread's ANSI code page; characters it lacks become its default
// character.
CString Utf16ToAnsi(const std::u16string& text);
