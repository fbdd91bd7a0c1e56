#include "qvedge/display/QuorvelDlg.h"

#include "common/Logger.h"
#include "qvedge/app/QuorvelEdge.h"

#include <shellapi.h>

#include <cstdlib>

BOOL(WINAPI* cursorPosition)(LPPOINT point) = GetCursorPos;
ExitWatchState exitWatch;

void CQuorvelDlg::SetConditions()
{
    if (errorFlag) {
        QVLOG("CQuorvelDlg::SetConditions - error " << errorFlag);
        // Without a configuration every action ends the show.
        if (errorCode == ERROR_NO_REGISTRY_PATH || errorCode == CONFIG_NOT_READABLE ||
            errorCode == ERROR_BROWSER_INIT) {
            conditionsSet = TRUE;
            return;
        }
    }
    exitMouseMove = exitMouseButton = exitEscKey = exitKeys = exitTouch = FALSE;
    const int bits = theApp.config.exitConditions;
    if (bits & EXIT_KEYBOARD) {
        exitKeys = exitEscKey = TRUE;
        QVLOG("Exit condition keys = true");
    }
    if (bits & EXIT_MOUSE_MOVE) {
        exitMouseMove = TRUE;
        QVLOG("Exit condition mouse move = true");
    }
    if (bits & EXIT_MOUSE_BUTTON) {
        exitMouseButton = TRUE;
        QVLOG("Exit condition mouse button = true");
    }
    if (bits & EXIT_ESC_KEY) {
        exitEscKey = TRUE;
        QVLOG("Exit condition ESC key = true");
    }
    if (bits & EXIT_TOUCH) {
        exitTouch = TRUE;
        QVLOG("Exit condition TOUCH = true");
    }
    if (exitMouseMove)
        ShowCursor(FALSE);
    conditionsSet = TRUE;
}

bool CQuorvelDlg::cursorInFooter() const
{
    POINT cursor;
    if (!cursorPosition(&cursor))
        return false;
    ScreenToClient(m_hWnd, &cursor);
    return PtInRect(&footerRect, cursor) != 0;
}

BOOL CQuorvelDlg::PreTranslateMessage(MSG* msg)
{
    POINT& moveStartPoint = exitWatch.moveStartPoint;
    if (!conditionsSet)
        SetConditions();
    switch (msg->message) {
    case WM_KEYDOWN:
        if (exitKeys && msg->wParam != VK_ESCAPE) {
            PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
            QVLOG("Quit after key down");
        } else {
            QVLOG("Ignored key down");
        }
        if (exitEscKey && msg->wParam == VK_ESCAPE) {
            PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
            QVLOG("Quit after ESC");
        } else {
            QVLOG("Ignored ESC");
        }
        break;
    case WM_MOUSEMOVE:
        if (theApp.config.showFooter && cursorInFooter())
            SetClassLongPtrA(m_hWnd, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(LoadCursorA(nullptr, IDC_HAND)));
        if (exitMouseMove) {
            if (exitWatch.awaitingMoveStart && !testHold) {
                QVLOG("Get start mouse position");
                POINT start;
                if (cursorPosition(&start)) {
                    moveStartPoint = start;
                    exitWatch.awaitingMoveStart = FALSE;
                }
            } else if (moveStartPoint.x != -1 || moveStartPoint.y != -1) {
                POINT now;
                if (cursorPosition(&now) && (std::abs(now.x - moveStartPoint.x) > MOUSE_QUIT_DISTANCE ||
                                             std::abs(now.y - moveStartPoint.y) > MOUSE_QUIT_DISTANCE)) {
                    QVLOG("Quit after mouse move");
                    PostMessageA(m_hWnd, WM_KbdMouseQuit, 0, 0);
                }
            }
        }
        break;
    case WM_LBUTTONUP:
        if (theApp.config.showFooter && cursorInFooter()) {
            QVLOG("PostMessage(WM_OPENWEBURL)");
            PostMessageA(m_hWnd, WM_OPENWEBURL, 0, 0);
            return TRUE;
        }
        if (exitMouseButton) {
            QVLOG("Quit after mouse button up");
            PostMessageA(m_hWnd, WM_KbdMouseQuit, 0, 0);
            return TRUE;
        }
        QVLOG("Ignored mouse button up");
        break;
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        if (exitMouseButton) {
            QVLOG("Quit after mouse R or M button up");
            PostMessageA(m_hWnd, WM_KbdMouseQuit, 0, 0);
        } else {
            QVLOG("Ignored mouse R or M button up");
        }
        return TRUE;
    case WM_LBUTTONDOWN:
        if (msg->wParam & MK_SHIFT) {
            QVLOG("Ignore mouse shift click");
            return TRUE;
        }
        break;
    }
    return CDialog::PreTranslateMessage(msg);
}

void CQuorvelDlg::OnActivate(UINT state, HWND other, BOOL minimised)
{
    CDialog::WindowProc(WM_ACTIVATE, MAKEWPARAM(state, minimised), reinterpret_cast<LPARAM>(other));
    if (state != WA_INACTIVE)
        return;
    if (!exitWatch.firstDeactivationSeen) {
        exitWatch.firstDeactivationSeen = true;
        return;
    }
    QVLOG("OnActivate - state is WA_INACTIVE");
    if (!testHold) {
        QVLOG_AS("Quit", "CQuorvelDlg::Quit() post CLOSE");
        PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
    }
}

LRESULT CQuorvelDlg::OnOpenWebUrl(WPARAM, LPARAM)
{
    ShellExecuteA(nullptr, nullptr, theApp.config.footerHref, nullptr, nullptr, SW_SHOWNORMAL);
    QVLOG("WM_CLOSE after OnOpenWebUrl navigate2 up");
    PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
    return 0;
}
