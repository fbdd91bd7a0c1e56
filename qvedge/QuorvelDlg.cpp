#include "QuorvelDlg.h"

#include "DialogPainting.h"
#include "FullScreenGeometry.h"
#include "HtmlResource.h"
#include "Logger.h"
#include "QuorvelEdge.h"
#include "QuorvelVw.h"
#include "resource.h"

#include <objbase.h>
#include <shellapi.h>

#include <cstdlib>

namespace {

// RunMyModalLoop's state, kept from one call to the next; one dialog per process.
struct ModalLoopState {
    bool started = false;
    BOOL idle = TRUE;
    LONG idleCount = 0;
    HWND parent = nullptr;
    MSG* current = nullptr;
};
ModalLoopState loopState;

// Mouse movement ends the show measured from here, once it has been taken.
BOOL awaitingMoveStart = TRUE;
bool firstDeactivationSeen = false;

bool queueHoldsMessages()
{
    return HIWORD(GetQueueStatus(QS_ALLEVENTS)) != 0;
}

HFONT createArial(int height)
{
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Arial");
}

} // namespace

CQuorvelDlg::CQuorvelDlg()
    : CDialog(IDD, nullptr)
{
    appIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    monitorLayout.Build();
    footerFont.Attach(createArial(FOOTER_FONT_HEIGHT));
    errorFont.Attach(createArial(ERROR_FONT_HEIGHT));
}

CQuorvelDlg::~CQuorvelDlg()
{
    errorFont.DeleteObject();
    footerFont.DeleteObject();
    KillTimer(m_hWnd, timerUrlChange);
    for (CQuorvelVw* view : views.ieViews)
        delete view;
    views.ieViews.clear();
    if (hooksInstalled)
        removeInputHooks();
    DestroyWindow();
}

LRESULT CQuorvelDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    // The class library's WM_CTLCOLOR stands for each of the system's control-colour requests.
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                                                    message - WM_CTLCOLORMSGBOX));
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        return 0;
    case WM_AFTERINIT:
        return OnAfterInit(wParam, lParam);
    case WM_OPENWEBURL:
        return OnOpenWebUrl(wParam, lParam);
    case WM_InitializeWindow:
        return OnInitializeWindowMessage(wParam, lParam);
    case WM_WebPageLoaded:
        return OnWebPageLoaded(wParam, lParam);
    case WM_WebPageExecuteScript:
        return OnWebPageExecuteScript(wParam, lParam);
    case WM_HTMLDOCCMPL:
        return OnDocumentComplete(wParam, lParam);
    case WM_APP_RESERVED_FIRST:
    case WM_APP_RESERVED_SECOND:
        return OnReservedAppMessage(wParam, lParam);
    case WM_KbdMouseQuit:
        return OnKbdMouseQuit(wParam, lParam);
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

void CQuorvelDlg::SetTestMode(BOOL on)
{
    testRun = on;
    testHold = on;
    QVLOG("Set test mode " << on);
}

void CQuorvelDlg::SetEngineMode(bool on)
{
    engineMode = on;
    QVLOG("Set engine report mode " << on);
}

void CQuorvelDlg::SetMonitorMode(int mode)
{
    monitorMode = mode;
    QVLOG("Set monitor mode " << mode);
}

void CQuorvelDlg::LogError(int code)
{
    errorCode = code;
    errorFlag = code != 0;
    QVLOG("CQuorvelDlg::ReportError " << code);
}

int CQuorvelDlg::RunMyModalLoop(DWORD)
{
    if (!loopState.started) {
        loopState.started = true;
        loopState.parent = GetParent(m_hWnd);
        loopState.current = AfxGetCurrentMessage();
        m_nFlags |= WF_MODALLOOP | WF_CONTINUEMODAL;
    }
    while (loopState.idle && !queueHoldsMessages()) {
        if (loopState.parent && loopState.idleCount == 0)
            SendMessageA(loopState.parent, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(m_hWnd));
        if (!SendMessageA(m_hWnd, WM_KICKIDLE, MSGF_DIALOGBOX, loopState.idleCount++))
            loopState.idle = FALSE;
    }
    // Retrieve first, test after: with an empty queue the retrieval waits in GetMessage,
    // so an idle show takes no processor time although the start-up calls again at once.
    do {
        if (!AfxPumpMessage()) {
            AfxPostQuitMessage(0);
            QVLOG("Called AfxPostQuitMessage(0)");
            loopDone = true;
            return -1;
        }
        if (!ContinueModal()) {
            QVLOG("!ContinueModal()");
            m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
            loopDone = true;
            return m_nModalResult;
        }
        if (AfxIsIdleMessage(loopState.current)) {
            loopState.idle = TRUE;
            loopState.idleCount = 0;
        }
    } while (queueHoldsMessages());
    return m_nModalResult;
}

LRESULT CQuorvelDlg::OnKbdMouseQuit(WPARAM, LPARAM)
{
    QVLOG("CQuorvelDlg::OnKbdMouseQuit( )");
    PostMessageA(m_hWnd, WM_QUIT, 0, 0);
    return 0;
}

void CQuorvelDlg::OnClose()
{
    QVLOG("CQuorvelDlg::OnClose( )");
    // Ends a loop that has not started yet too: the copy is handled once it runs.
    PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
    EndDialog(IDCANCEL);
}

BOOL CQuorvelDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon));
    SetWindowTextA(m_hWnd, theApp.m_pszAppName);

    if (engineMode) {
        monitorMode = MONITOR_MAIN_ONLY;
        loadHtmlResource(IDR_ENGINE_REPORT_HTML, engineReportHtml);
        engineReportHtml.Replace(ENGINE_VERSION_TOKEN, ENGINE_VERSION);
    } else if (!theApp.internetConnected) {
        errorFlag = TRUE;
        errorCode = ERROR_NO_INTERNET;
        QVLOG("OnInitDialog - Internet not available");
        InvalidateRect(m_hWnd, nullptr, TRUE);
        contentShown = true;
    }

    QVLOG("Call SetFullScreen()");
    SetFullScreen();
    if (errorFlag) {
        QVLOG("onInitDialog - ERROR " << errorFlag);
        return TRUE;
    }

    startLoadingAnimation();
    if (ieEngine)
        views.edgeMode = false;
    QVLOG("Call views.createViews()");
    if (views.createViews(this) != 0)
        return FALSE;
    if (ieEngine && !afterInitPosted) {
        QVLOG("doCreateHtmlView - PostMessage(WM_AFTERINIT) ");
        PostMessageA(m_hWnd, WM_AFTERINIT, 0, 0);
        afterInitPosted = true;
    }
    UpdateWindow(m_hWnd);

    createTouchWindow();
    ShowWindow(m_hWnd, SW_HIDE);
    UpdateWindow(m_hWnd);

    // The views ask for their address only after this returns, so they see the first entry.
    theApp.config.AdvanceUrl();
    if (testRun) {
        QVLOG("Set timerTestTimeOut");
        timerTestTimeOut = SetTimer(m_hWnd, TESTTIMEOUT_TIMER, TESTTIMEOUT_PERIOD_MS, nullptr);
    }

    SetConditions();
    hookInstance = GetModuleHandleA(nullptr);
    hookTargetWindow = m_hWnd;
    hookExitConditions = &theApp.config.exitConditions;
    return TRUE;
}

void CQuorvelDlg::startLoadingAnimation()
{
    LoadingAnimation.Create(LOADING_ANIMATION_STYLE, htmlRect, this, LOADING_ANIMATION_ID);
    LoadingAnimation.Open(IDR_LOADING_AVI);
    LoadingAnimation.Play(0, LOADING_LAST_FRAME, LOADING_REPEAT_FOREVER);
}

void CQuorvelDlg::createTouchWindow()
{
    touchWindow.Create(CTouchWnd::IDD, this);
    ShowWindow(touchWindow.m_hWnd, SW_HIDE);
    InvalidateRect(touchWindow.m_hWnd, nullptr, TRUE);
    const RECT& all = monitorLayout.bounds;
    MoveWindow(touchWindow.m_hWnd, all.left, all.top, all.right - all.left, all.bottom - all.top, TRUE);
}

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
    GetCursorPos(&cursor);
    ScreenToClient(m_hWnd, &cursor);
    return PtInRect(&footerRect, cursor) != 0;
}

BOOL CQuorvelDlg::PreTranslateMessage(MSG* msg)
{
    static POINT moveStartPoint{-1, -1};
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
            if (awaitingMoveStart && !testHold) {
                QVLOG("Get start mouse position");
                GetCursorPos(&moveStartPoint);
                awaitingMoveStart = FALSE;
            } else if (moveStartPoint.x != -1 || moveStartPoint.y != -1) {
                POINT now;
                GetCursorPos(&now);
                if (std::abs(now.x - moveStartPoint.x) > MOUSE_QUIT_DISTANCE ||
                    std::abs(now.y - moveStartPoint.y) > MOUSE_QUIT_DISTANCE) {
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
    if (!firstDeactivationSeen) {
        firstDeactivationSeen = true;
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

void CQuorvelDlg::OnTimer(UINT_PTR id)
{
    // An id of 0 names no timer: a member holds 0 until its timer has started.
    if (id == 0)
        return;
    if (id == timerUrlChange) {
        theApp.config.AdvanceUrl();
        const CString address = theApp.config.GetReachableUrl();
        if (address.IsEmpty())
            return;
        if (theApp.config.mode == presentation_mode || theApp.config.mode == media_files_mode) {
            QVLOG("OnTimer - Do noting");
            return;
        }
        views.Navigate2(CString(address), contentShown);
    } else if (id == timerDocComplete) {
        QVLOG("OnTimer() timerDocComplete");
        if (!documentCompleted)
            return;
        if (theApp.config.mode == url_list_mode && !contentShown) {
            contentShown = true;
            QVLOG("timerDocComplete");
            for (CQuorvelVw* view : views.ieViews)
                ShowWindow(view->m_hWnd, SW_SHOW);
        }
        KillTimer(m_hWnd, timerDocComplete);
    } else if (id == timerTestTimeOut) {
        QVLOG("Event timerTestTimeOut");
        testHold = FALSE;
        KillTimer(m_hWnd, timerTestTimeOut);
    }
}

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
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    const DialogPaintState state{htmlRect,         footerRect,         errorFlag,  errorCode,
                                 theApp.config.showFooter != 0, theApp.config.footerTitle, footerFont, errorFont};
    paintDialog(dc, state);
    EndPaint(m_hWnd, &paint);
}

HBRUSH CQuorvelDlg::OnCtlColor(HDC dc, HWND window, UINT controlType)
{
    CDialog::WindowProc(WM_CTLCOLORMSGBOX + controlType, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window));
    return dialogBackgroundBrush();
}

LRESULT CQuorvelDlg::OnAfterInit(WPARAM, LPARAM)
{
    return 0;
}

LRESULT CQuorvelDlg::OnInitializeWindowMessage(WPARAM, LPARAM)
{
    return 0;
}

LRESULT CQuorvelDlg::OnWebPageLoaded(WPARAM, LPARAM)
{
    return 0;
}

LRESULT CQuorvelDlg::OnDocumentComplete(WPARAM, LPARAM)
{
    return 0;
}

LRESULT CQuorvelDlg::OnWebPageExecuteScript(WPARAM, LPARAM)
{
    QVLOG("OnWebPageExecuteScript - call Invalidate");
    InvalidateRect(m_hWnd, nullptr, TRUE);
    return 0;
}

LRESULT CQuorvelDlg::OnReservedAppMessage(WPARAM, LPARAM)
{
    return 0;
}
