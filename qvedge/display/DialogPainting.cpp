#include "qvedge/display/DialogPainting.h"

#include "common/Logger.h"
#include "framework/CImage.h"
#include "framework/GdiObjects.h"
#include "qvedge/display/QuorvelDlg.h"
#include "qvedge/res/display_resource.h"

#include <algorithm>

namespace {

constexpr int FIRST_ERROR_TEXT_CODE = 1;
constexpr int LAST_ERROR_TEXT_CODE = 5;

void drawGreyText(HDC dc, const CString& text, RECT rect, HFONT font)
{
    ObjectSelection selection(dc, font);
    FillRect(dc, &rect, dialogBackgroundBrush());
    SetBkColor(dc, RGB(0, 0, 0));
    SetTextColor(dc, DIALOG_TEXT_COLOUR);
    DrawTextA(dc, text, text.GetLength(), &rect, DIALOG_TEXT_FORMAT);
}

// Centred where the picture is smaller, cut off at the area's edges where it is larger;
// the rest of the area keeps what it shows.
void drawNoConnectionPicture(HDC dc, const RECT& area)
{
    CImage picture;
    if (!picture.LoadFromResource(GetModuleHandleW(nullptr), IDB_NO_INTERNET))
        return;
    OwnedMemoryDc memoryDc(CreateCompatibleDC(dc));
    if (!memoryDc)
        return;
    ObjectSelection selection(memoryDc.Get(), picture.GetBitmap());
    BITMAP size = {};
    GetObjectA(picture.GetBitmap(), sizeof size, &size);
    const int areaWidth = area.right - area.left;
    const int areaHeight = area.bottom - area.top;
    const int dx = size.bmWidth < areaWidth ? (areaWidth - size.bmWidth) / 2 : 0;
    const int dy = size.bmHeight < areaHeight ? (areaHeight - size.bmHeight) / 2 : 0;
    BitBlt(dc, area.left + dx, area.top + dy, std::min<int>(size.bmWidth, areaWidth),
           std::min<int>(size.bmHeight, areaHeight), memoryDc.Get(), 0, 0, SRCCOPY);
}

} // namespace

CString errorText(int code)
{
    CString text;
    if (code >= FIRST_ERROR_TEXT_CODE && code <= LAST_ERROR_TEXT_CODE)
        text.LoadString(IDS_ERROR_REGISTRY_PATH + code - FIRST_ERROR_TEXT_CODE);
    return text;
}

void paintDialog(HDC dc, const DialogPaintState& state)
{
    if (state.showFooter)
        drawGreyText(dc, state.footerTitle, state.footerRect, state.footerFont);
    if (!state.errorFlag) {
        QVLOG_AS("OnPaint", "onPaint - normal");
        FillRect(dc, &state.htmlRect, dialogBackgroundBrush());
        return;
    }
    QVLOG_AS("OnPaint", "onPaint - error " << state.errorCode);
    if (state.errorCode == ERROR_NO_INTERNET)
        drawNoConnectionPicture(dc, state.htmlRect);
    else
        drawGreyText(dc, errorText(state.errorCode), state.htmlRect, state.errorFont);
}

HBRUSH dialogBackgroundBrush()
{
    static const OwnedBrush brush(CreateSolidBrush(RGB(0, 0, 0)));
    return brush.Get();
}
