#pragma once
// What the full-screen dialog paints of its own: the footer line, the black content area
// and, when the show cannot run, the no-connection picture or an error text.
#include "framework/CString.h"
#include "framework/Win.h"

constexpr COLORREF DIALOG_TEXT_COLOUR = RGB(160, 160, 160);
constexpr UINT DIALOG_TEXT_FORMAT = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

// The dialog's members and configuration fields that the painting reads.
struct DialogPaintState {
    RECT htmlRect;
    RECT footerRect;
    BOOL errorFlag;
    int errorCode;
    bool showFooter;
    CString footerTitle;
    HFONT footerFont;
    HFONT errorFont;
};

// OnPaint's drawing on the paint device context; leaves the context's font as it was.
void paintDialog(HDC dc, const DialogPaintState& state);

// The string-table text of an error code from 1 to 5; empty for every other code.
CString errorText(int code);

// The one black brush of the dialog: its background, its controls' backgrounds and its
// fills. Made on first use and kept until the process ends.
HBRUSH dialogBackgroundBrush();
