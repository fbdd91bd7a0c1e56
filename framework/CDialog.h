#pragma once
#include "framework/CWnd.h"
#include "framework/Win.h"

// The class library's own message: sent to a dialog while its modal loop is idle.
constexpr UINT WM_KICKIDLE = 0x036A;

// A dialog window over a template resource of the program. The template's window is
// bound to the object at WM_INITDIALOG and its procedure replaced by CWnd's thunk, so
// each class's WindowProc switch sees the messages first and CDialog's passes the rest
// on to the dialog manager.
class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Runs the dialog modally (the system's dialog loop) until EndDialog; its result,
    // or -1 when the dialog could not be created.
    INT_PTR DoModal();
    // Creates the dialog modeless; TRUE when its window exists. OnInitDialog runs inside.
    BOOL Create(UINT templateId, CWnd* parent = nullptr);

    // TRUE lets the dialog manager give the focus to the first control.
    virtual BOOL OnInitDialog();
    // Ends a modal dialog, or the modal loop of a modeless one, with the given result.
    void EndDialog(int result);
    void SetDlgItemText(int id, const char* text);

    // Dialog navigation keys and mouse input through the dialog manager.
    BOOL PreTranslateMessage(MSG* msg) override;

    // Window-state flags of a modal loop run over a modeless dialog.
    static constexpr DWORD WF_MODALLOOP = 0x0008;
    static constexpr DWORD WF_CONTINUEMODAL = 0x0010;
    BOOL ContinueModal() const { return (m_nFlags & WF_CONTINUEMODAL) != 0; }

    DWORD m_nFlags = 0;
    int m_nModalResult = -1;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The dialog manager's handling of a message.
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

    virtual void OnOK();
    virtual void OnCancel();

    // Registers the window for WM_TOUCH; FALSE where the system has no touch support.
    BOOL RegisterTouchWindow(BOOL registerWindow = TRUE, ULONG flags = 0);
    // Called once per input of a WM_TOUCH message, with the point in client coordinates.
    virtual BOOL OnTouchInput(POINT point, int index, int count, const TOUCHINPUT* input);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Attach(HWND hwnd);
    LRESULT OnTouch(WPARAM wParam, LPARAM lParam);

    UINT templateId;
    CWnd* parent;
    WNDPROC dialogManagerProc = nullptr;
};

// The thread's current message, which the pump fills.
MSG* AfxGetCurrentMessage();
// Retrieves one message (blocking while the queue is empty), offers it to the
// PreTranslateMessage of its window and of every window above it up to the main window,
// and dispatches it unless one of them consumed it. FALSE after WM_QUIT.
BOOL AfxPumpMessage();
// The walk of AfxPumpMessage alone; TRUE when a window consumed the message.
BOOL AfxPreTranslateMessage(MSG* msg);
// FALSE for messages that must not restart idle processing: paint, the caret's system
// timer and a mouse move that repeats the last one.
BOOL AfxIsIdleMessage(const MSG* msg);
void AfxPostQuitMessage(int exitCode);
