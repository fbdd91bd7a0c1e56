#include "framework/CWnd.h"

#include "framework/CException.h"
#include "framework/CWinApp.h"

#include <exception>
#include <map>
#include <memory>

namespace {

// The object whose CreateEx is running; its window's first message binds them.
CWnd* windowBeingCreated = nullptr;

std::map<HWND, std::unique_ptr<CWnd>>& foreignWindows()
{
    static std::map<HWND, std::unique_ptr<CWnd>> wrappers;
    return wrappers;
}

void reportToDebugger(UINT message, const char* description)
{
    CString text;
    text.Format("Message 0x%04X: handler failed: %s\n", message, description);
    OutputDebugStringA(text);
}

} // namespace

WindowProcFailureReport windowProcFailureReport = reportToDebugger;

CWnd::~CWnd()
{
    if (ownsWindow && m_hWnd)
        ::DestroyWindow(m_hWnd);
    // A main window that never had a handle must not be left dangling either.
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this)
        app->m_pMainWnd = nullptr;
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    const RECT& rect, CWnd* parent, UINT id, void* param)
{
    CREATESTRUCTA cs{};
    cs.lpCreateParams = param;
    cs.hInstance = GetModuleHandleA(nullptr);
    cs.hMenu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id));
    cs.hwndParent = parent ? parent->m_hWnd : nullptr;
    cs.cy = rect.bottom - rect.top;
    cs.cx = rect.right - rect.left;
    cs.y = rect.top;
    cs.x = rect.left;
    cs.style = static_cast<LONG>(style);
    cs.lpszName = windowName;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;
    if (!PreCreateWindow(cs))
        return FALSE;
    windowBeingCreated = this;
    HWND hwnd = CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x,
                                cs.y, cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    windowBeingCreated = nullptr;
    return hwnd != nullptr && m_hWnd == hwnd;
}

BOOL CWnd::Create(const char* className, const char* windowName, DWORD style, const RECT& rect, CWnd* parent,
                  UINT id, CCreateContext* context)
{
    return CreateEx(0, className, windowName, style | WS_CHILD, rect, parent, id, context);
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTA&)
{
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd && ::DestroyWindow(m_hWnd);
}

void CWnd::GetClientRect(LPRECT rect) const
{
    *rect = RECT{};
    if (m_hWnd)
        ::GetClientRect(m_hWnd, rect);
}

CWnd* CWnd::FromHandle(HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    std::unique_ptr<CWnd>& wrapper = foreignWindows()[hwnd];
    if (!wrapper) {
        wrapper = std::make_unique<CWnd>();
        wrapper->m_hWnd = hwnd;
    }
    return wrapper.get();
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd)
{
    // Another window's user data is not ours to interpret: only windows served by the
    // thunk carry an object there.
    if (!hwnd || GetWindowLongPtrA(hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&CWnd::WindowProcThunk))
        return nullptr;
    return reinterpret_cast<CWnd*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

LRESULT CALLBACK CWnd::WindowProcThunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* wnd = reinterpret_cast<CWnd*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!wnd && windowBeingCreated) {
        wnd = windowBeingCreated;
        windowBeingCreated = nullptr;
        wnd->Bind(hwnd);
    }
    if (!wnd)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    LRESULT result = 0;
    // An exception must not unwind through the system's frames that called us.
    try {
        result = wnd->WindowProc(message, wParam, lParam);
    } catch (...) {
        reportEscapedException(message);
        result = DefWindowProcA(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY)
        wnd->OnNcDestroy();
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(m_hWnd, message, wParam, lParam);
}

void CWnd::Bind(HWND hwnd)
{
    m_hWnd = hwnd;
    ownsWindow = true;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void CWnd::OnNcDestroy()
{
    SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
    m_hWnd = nullptr;
    ownsWindow = false;
    // The end of the main window ends the application's message loop.
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        PostQuitMessage(0);
    }
    PostNcDestroy();
}

void reportEscapedException(UINT message)
{
    try {
        throw;
    } catch (const CException& failure) {
        char text[256];
        windowProcFailureReport(message, failure.GetErrorMessage(text, sizeof text) ? text : "class library exception");
    } catch (const std::exception& failure) {
        windowProcFailureReport(message, failure.what());
    } catch (...) {
        windowProcFailureReport(message, "unknown exception");
    }
}

CString AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon)
{
    CString name;
    name.Format("QvWnd:%x:%p:%p:%p", classStyle, static_cast<void*>(cursor),
                static_cast<void*>(background), static_cast<void*>(icon));
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA existing{};
    if (GetClassInfoA(instance, name, &existing))
        return name;
    WNDCLASSA wc{};
    wc.style = classStyle;
    wc.lpfnWndProc = CWnd::WindowProcThunk;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return RegisterClassA(&wc) ? name : CString();
}
