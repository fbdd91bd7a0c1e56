#pragma once
// Text conversions the runtime providers share.
#include "framework/Win.h"

#include <objbase.h>

#include <string>

// UTF-8 of a wide text; a null text gives "".
std::string utf8(LPCWSTR text);
std::wstring wide(const std::string& text);
// A CoTaskMem copy for an out-parameter.
HRESULT coTaskMemCopy(const std::wstring& text, LPWSTR* out);
// True for an address that begins with a scheme and a colon ("https:", "mem:").
bool hasScheme(const std::wstring& address);
