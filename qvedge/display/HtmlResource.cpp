#include "qvedge/display/HtmlResource.h"

#include "framework/Win.h"

bool loadHtmlResource(unsigned id, CString& html)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), RT_HTML);
    if (!info)
        return false;
    HGLOBAL loaded = LoadResource(module, info);
    if (!loaded)
        return false;
    const char* data = static_cast<const char*>(LockResource(loaded));
    if (!data)
        return false;
    DWORD size = SizeofResource(module, info);
    try {
        html = CString(data, size > 0 ? static_cast<int>(size - 1) : 0);
    } catch (...) {
        // Out of memory for the copy: the string stays as it was.
        SetLastError(ERROR_FUNCTION_FAILED);
        return false;
    }
    return true;
}
