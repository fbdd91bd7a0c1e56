#pragma once
#include "framework/CCmdTarget.h"
#include "framework/CString.h"
#include "framework/Win.h"

struct CCreateContext;

// A window handle with its object. Windows made by CreateEx are bound to their object
// through one shared window procedure and destroyed with it; FromHandle wraps a window
// of someone else without ever destroying it.
class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The class must come from AfxRegisterWndClass, so its messages reach WindowProc.
    BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                  const RECT& rect, CWnd* parent, UINT id, void* param = nullptr);
    // A child window; the context reaches WM_CREATE as the creation parameter. A null
    // class name is the window's own class's to choose (PreCreateWindow).
    virtual BOOL Create(const char* className, const char* windowName, DWORD style, const RECT& rect,
                        CWnd* parent, UINT id, CCreateContext* context = nullptr);
    BOOL DestroyWindow();
    // An all-zero rectangle when the handle names no window.
    void GetClientRect(LPRECT rect) const;

    // The wrapper of a window this program did not create (the preview parent, for
    // one); null for a null handle. Wrappers live until the process ends.
    static CWnd* FromHandle(HWND hwnd);
    // The object of a window made or bound by this library; null for any other window.
    static CWnd* FromHandlePermanent(HWND hwnd);

    // Called by the message pump for each message to this window or a window under it,
    // before it is dispatched; TRUE consumes the message.
    virtual BOOL PreTranslateMessage(MSG* msg);

    static LRESULT CALLBACK WindowProcThunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;

protected:
    // May change the window's creation data before the window is made; FALSE stops it.
    virtual BOOL PreCreateWindow(CREATESTRUCTA& cs);
    // Each class's message map: a switch over its messages that ends in its base's
    // WindowProc; CWnd's passes everything to DefWindowProcA.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after the window's last message; a heap object may delete itself here.
    virtual void PostNcDestroy() {}
    // Ties an existing window to this object; its messages then reach WindowProc as
    // soon as the window procedure is WindowProcThunk.
    void Bind(HWND hwnd);

private:
    void OnNcDestroy();

    bool ownsWindow = false;
};

// Called with a description when a message handler lets an exception escape; the window
// procedure then answers the message as DefWindowProcA would (a dialog's WM_INITDIALOG
// with FALSE). The default writes it to the debugger output; the program routes it into
// its log.
using WindowProcFailureReport = void (*)(UINT message, const char* description);
extern WindowProcFailureReport windowProcFailureReport;
// Reports the exception being handled; only inside a catch block of a window procedure.
void reportEscapedException(UINT message);

// Registers, once per combination, a window class whose windows are served by
// CWnd::WindowProcThunk; returns the class name (empty when registration failed).
CString AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                            HICON icon = nullptr);
