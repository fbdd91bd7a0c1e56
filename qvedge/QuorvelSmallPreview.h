#pragma once
#include "CWnd.h"
#include "Win.h"

// The program's picture inside the screen-saver settings dialog's preview window.
class CQuorvelSmallPreview : public CWnd {
public:
    virtual BOOL CreateEx(DWORD exStyle, const char* windowName, DWORD style, const RECT& rect,
                          CWnd* parent, UINT id);
};
