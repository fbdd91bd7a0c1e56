#include "qvedge/display/QuorvelDlg.h"

#include "common/Logger.h"
#include "qvedge/res/resource.h"
#include "qvedge/views/ie/QuorvelVw.h"

UINT_PTR(WINAPI* dialogSetTimer)(HWND, UINT_PTR, UINT, TIMERPROC) = SetTimer;
ModalLoopState loopState;

namespace {

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

LRESULT CQuorvelDlg::OnReservedAppMessage(WPARAM, LPARAM)
{
    return 0;
}
