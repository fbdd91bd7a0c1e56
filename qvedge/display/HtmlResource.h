#pragma once
#include "framework/CString.h"

// Loads the RT_HTML resource `id` of the program's own module into `html`: its first
// size - 1 bytes (the last byte is the file's closing newline). False, with `html`
// untouched, when the resource cannot be found, loaded or locked; false with last error
// ERROR_FUNCTION_FAILED when the copy cannot be made.
bool loadHtmlResource(unsigned id, CString& html);
