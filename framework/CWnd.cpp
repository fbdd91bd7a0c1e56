#include "framework/CWnd.h"

#include "framework/CWinApp.h"

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

} // namespace

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
    windowBeingCreated = this;
    HWND hwnd = CreateWindowExA(exStyle, className, windowName, style, rect.left, rect.top,
                                rect.right - rect.left, rect.bottom - rect.top,
                                parent ? parent->m_hWnd : nullptr,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                GetModuleHandleA(nullptr), param);
    windowBeingCreated = nullptr;
    return hwnd != nullptr && m_hWnd == hwnd;
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
    const LRESULT result = wnd->WindowProc(message, wParam, lParam);
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
