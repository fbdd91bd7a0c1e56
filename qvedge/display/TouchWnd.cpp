#include "qvedge/display/TouchWnd.h"

#include "common/Logger.h"

BOOL CTouchWnd::OnTouchInput(POINT, int, int, const TOUCHINPUT*)
{
    QVLOG("Quit after TOUCH event");
    PostMessageA(GetParent(m_hWnd), WM_CLOSE, 0, 0);
    return TRUE;
}

BOOL CTouchWnd::OnInitDialog()
{
    CDialog::OnInitDialog();
    // Palm contacts count as touches too. Fails where the system has no touch support.
    RegisterTouchWindow(TRUE, TWF_WANTPALM);
    return TRUE;
}

void CTouchWnd::OnClose()
{
    PostMessageA(GetParent(m_hWnd), WM_CLOSE, 0, 0);
}

LRESULT CTouchWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_ERASEBKGND:
        // The pages below must stay visible through it.
        return FALSE;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}
