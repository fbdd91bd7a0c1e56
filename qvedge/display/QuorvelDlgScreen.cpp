#include "qvedge/display/QuorvelDlg.h"

#include "framework/GdiObjects.h"
#include "qvedge/app/QuorvelEdge.h"
#include "qvedge/display/DialogPainting.h"
#include "qvedge/display/FullScreenGeometry.h"

void CQuorvelDlg::SetFullScreen()
{
    const FullScreenLayout layout = computeFullScreen(monitorLayout, monitorMode, engineMode != FALSE,
                                                      theApp.config.showFooter != 0);
    screenRect = layout.screenRect;
    screensaverRect = layout.screensaverRect;
    htmlRect = layout.htmlRect;
    footerRect = layout.footerRect;
    // The move's WM_SIZE reads the rectangles above.
    applyFullScreen(m_hWnd, layout, fullScreenSet);
    views.viewRects.insert(views.viewRects.end(), layout.viewRects.begin(), layout.viewRects.end());
}

void CQuorvelDlg::OnSize(UINT type, int width, int height)
{
    CDialog::WindowProc(WM_SIZE, type, MAKELPARAM(width, height));
    applySizeRegion(m_hWnd, fullScreenSet, contentShown, screensaverRect);
}

void CQuorvelDlg::OnPaint()
{
    const CPaintDC dc(this);
    const DialogPaintState state{htmlRect,         footerRect,         errorFlag,  errorCode,
                                 theApp.config.showFooter != 0, theApp.config.footerTitle, footerFont, errorFont};
    paintDialog(dc.GetSafeHdc(), state);
}

HBRUSH CQuorvelDlg::OnCtlColor(HDC dc, HWND window, UINT controlType)
{
    CDialog::WindowProc(WM_CTLCOLORMSGBOX + controlType, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window));
    return dialogBackgroundBrush();
}
