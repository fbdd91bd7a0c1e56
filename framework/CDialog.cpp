#include "framework/CDialog.h"

#include "framework/CWinApp.h"

#include <vector>

namespace {

constexpr UINT WM_SYSTIMER = 0x0118;

} // namespace

CDialog::CDialog(UINT templateId, CWnd* parent)
    : templateId(templateId), parent(parent)
{
}

CDialog::~CDialog()
{
    // Destroyed here, while the messages of the end still reach the dialog manager.
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

INT_PTR CDialog::DoModal()
{
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), parent ? parent->m_hWnd : nullptr,
                           DialogProc, reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::Create(UINT id, CWnd* parentWindow)
{
    templateId = id;
    parent = parentWindow;
    CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), parent ? parent->m_hWnd : nullptr,
                       DialogProc, reinterpret_cast<LPARAM>(this));
    return m_hWnd != nullptr;
}

BOOL CDialog::OnInitDialog()
{
    return TRUE;
}

void CDialog::EndDialog(int result)
{
    if (m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL)) {
        m_nModalResult = result;
        if (m_nFlags & WF_CONTINUEMODAL) {
            m_nFlags &= ~WF_CONTINUEMODAL;
            // Wakes a loop that waits for the next message.
            PostMessageA(m_hWnd, WM_NULL, 0, 0);
        }
    }
    ::EndDialog(m_hWnd, result);
}

void CDialog::SetDlgItemText(int id, const char* text)
{
    ::SetDlgItemTextA(m_hWnd, id, text);
}

BOOL CDialog::PreTranslateMessage(MSG* msg)
{
    const bool key = msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST;
    const bool mouse = msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST;
    if (!m_hWnd || (!key && !mouse))
        return FALSE;
    return IsDialogMessageA(m_hWnd, msg);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDOK) {
            OnOK();
            return 0;
        }
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return 0;
        }
        break;
    case WM_TOUCH:
        return OnTouch(wParam, lParam);
    }
    return Default(message, wParam, lParam);
}

LRESULT CDialog::Default(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(dialogManagerProc, m_hWnd, message, wParam, lParam);
}

void CDialog::OnOK()
{
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::RegisterTouchWindow(BOOL registerWindow, ULONG flags)
{
    return registerWindow ? ::RegisterTouchWindow(m_hWnd, flags) : ::UnregisterTouchWindow(m_hWnd);
}

BOOL CDialog::OnTouchInput(POINT, int, int, const TOUCHINPUT*)
{
    return FALSE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam)
{
    // Every other message reaches the object through the thunk once it is attached.
    if (message != WM_INITDIALOG)
        return FALSE;
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    dialog->Attach(hwnd);
    try {
        return dialog->OnInitDialog();
    } catch (...) {
        reportEscapedException(message);
        return FALSE;
    }
}

void CDialog::Attach(HWND hwnd)
{
    Bind(hwnd);
    dialogManagerProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::WindowProcThunk)));
}

LRESULT CDialog::OnTouch(WPARAM wParam, LPARAM lParam)
{
    const int count = LOWORD(wParam);
    auto touch = reinterpret_cast<HTOUCHINPUT>(lParam);
    std::vector<TOUCHINPUT> inputs(count);
    if (count > 0 && GetTouchInputInfo(touch, count, inputs.data(), sizeof(TOUCHINPUT))) {
        for (int i = 0; i < count; ++i) {
            // Touch coordinates come in hundredths of a screen pixel.
            POINT point{inputs[i].x / 100, inputs[i].y / 100};
            ScreenToClient(m_hWnd, &point);
            OnTouchInput(point, i, count, &inputs[i]);
        }
    }
    CloseTouchInputHandle(touch);
    return 0;
}

MSG* AfxGetCurrentMessage()
{
    static MSG withoutApp{};
    CWinApp* app = AfxGetApp();
    return app ? &app->m_msgCur : &withoutApp;
}

BOOL AfxPumpMessage()
{
    MSG* msg = AfxGetCurrentMessage();
    const BOOL got = GetMessageA(msg, nullptr, 0, 0);
    if (got == 0)
        return FALSE;
    if (got > 0 && msg->message != WM_KICKIDLE && !AfxPreTranslateMessage(msg)) {
        TranslateMessage(msg);
        DispatchMessageA(msg);
    }
    return TRUE;
}

BOOL AfxPreTranslateMessage(MSG* msg)
{
    CWinApp* app = AfxGetApp();
    HWND stop = app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
    for (HWND hwnd = msg->hwnd; hwnd; hwnd = GetParent(hwnd)) {
        CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
        if (wnd && wnd->PreTranslateMessage(msg))
            return TRUE;
        if (hwnd == stop)
            break;
    }
    return FALSE;
}

BOOL AfxIsIdleMessage(const MSG* msg)
{
    static POINT lastPoint{-1, -1};
    static UINT lastMessage = 0;
    if (msg->message == WM_MOUSEMOVE || msg->message == WM_NCMOUSEMOVE) {
        if (msg->message == lastMessage && msg->pt.x == lastPoint.x && msg->pt.y == lastPoint.y)
            return FALSE;
        lastPoint = msg->pt;
        lastMessage = msg->message;
        return TRUE;
    }
    return msg->message != WM_PAINT && msg->message != WM_SYSTIMER;
}

void AfxPostQuitMessage(int exitCode)
{
    PostQuitMessage(exitCode);
}
