#pragma once
// The program's picture inside the screen-saver settings dialog's preview window: its
// base name in white bold Arial on black, in the largest size at which it fits.
#include "framework/CString.h"
#include "framework/CWnd.h"
#include "framework/Win.h"

class CQuorvelSmallPreview : public CWnd {
public:
    virtual BOOL CreateEx(DWORD exStyle, const char* windowName, DWORD style, const RECT& rect,
                          CWnd* parent, UINT id);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnPaint();
};

// Font heights tried, largest first, in steps of PREVIEW_FONT_STEP; a height at or below
// PREVIEW_FONT_GIVE_UP means none fitted.
constexpr int PREVIEW_FONT_LARGEST = 24;
constexpr int PREVIEW_FONT_STEP = 4;
constexpr int PREVIEW_FONT_GIVE_UP = 6;

// Draws name centred in client, wrapped at word breaks. Returns the font height used,
// or 0 when the name did not fit even at the smallest height and was drawn in the
// context's own font. The context's font is the same afterwards.
int paintPreviewName(HDC dc, RECT client, const CString& name);
