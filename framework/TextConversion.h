#pragma once
// UTF-16 to the class library's narrow string, in the thread's ANSI code page.
#include "CString.h"

CString narrowFromWide(const wchar_t* text);
