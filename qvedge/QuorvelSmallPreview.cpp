#include "QuorvelSmallPreview.h"

#include "resource.h"

BOOL CQuorvelSmallPreview::CreateEx(DWORD exStyle, const char* windowName, DWORD style,
                                    const RECT& rect, CWnd* parent, UINT id)
{
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    const CString windowClass = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, nullptr,
                                                    static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), icon);
    return CWnd::CreateEx(exStyle, windowClass, windowName, style, rect, parent, id);
}
