#include "qvedge/views/ie/QuorvelVw.h"

#include "common/Logger.h"
#include "framework/TextConversion.h"
#include "qvedge/display/QuorvelDlg.h"

#include <mshtml.h>

IMPLEMENT_DYNCREATE(CQuorvelVw)

namespace {

VARIANT bstrVariant(const wchar_t* text)
{
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = text ? SysAllocString(text) : nullptr;
    return value;
}

} // namespace

BOOL CQuorvelVw::Create(const char* className, const char* windowName, DWORD style, const RECT& rect, CWnd* parent,
                        UINT id, CCreateContext* context)
{
    QVLOG("Creating CQuorvelVw");
    m_pCreateContext = context;
    const BOOL created = CWnd::Create(className, windowName, style & ~WS_BORDER, rect, parent, id, context);
    // The context lives only as long as the creation that handed it over.
    m_pCreateContext = nullptr;
    if (!created) {
        QVLOG("Error creating CView");
        return FALSE;
    }
    AfxEnableControlContainer();
    RECT client;
    GetClientRect(&client);
    if (!CreateControl(windowName, WS_CHILD | WS_VISIBLE, client, AFX_IDW_PANE_FIRST)) {
        DestroyWindow();
        return FALSE;
    }
    ShowWindow(m_hWnd, SW_HIDE);
    if (FAILED(GetControlUnknown()->QueryInterface(IID_IWebBrowser2,
                                                   reinterpret_cast<void**>(m_pBrowserApp.ReleaseAndGetAddressOf())))) {
        m_pBrowserApp.Reset();
        DestroyControl();
        DestroyWindow();
        QVLOG("Error creating QueryInterface");
        return FALSE;
    }
    // The views' window class is theirs alone, so this touches no other window.
    SetClassLongA(m_hWnd, GCL_STYLE, CS_DBLCLKS);
    SetWindowLongA(m_hWnd, GWL_STYLE, GetWindowLongA(m_hWnd, GWL_STYLE) & ~WS_BORDER);
    return TRUE;
}

void CQuorvelVw::OnInitialUpdate()
{
    CHtmlView::OnInitialUpdate();
    QVLOG("View #" << viewNumber << " CQuorvelVw::OnInitialUpdate()");
}

HRESULT CQuorvelVw::OnGetHostInfo(DOCHOSTUIINFO* info)
{
    info->dwFlags |= DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO;
    info->cbSize = sizeof(DOCHOSTUIINFO);
    return S_OK;
}

HRESULT CQuorvelVw::OnShowContextMenu(DWORD, LPPOINT, LPUNKNOWN, LPDISPATCH)
{
    // Handled: the control shows no menu of its own.
    return S_OK;
}

void CQuorvelVw::OnNewWindow2(LPDISPATCH* newWindow, BOOL* cancel)
{
    CHtmlView::OnNewWindow2(newWindow, cancel);
    QVLOG("View #" << viewNumber << " Error OnNewWindow2 port quit");
    PostQuitMessage(0);
}

void CQuorvelVw::OnNavigateError(const char*, const char*, DWORD statusCode, BOOL*)
{
    // The control's own error page is shown in the view.
    ShowWindow(m_hWnd, SW_SHOW);
    QVLOG("View #" << viewNumber << " CQuorvelVw::OnNavigateError = " << static_cast<unsigned>(statusCode));
}

void CQuorvelVw::DocumentComplete(LPDISPATCH document, VARIANT* url)
{
    ComPtr<IDispatch> topLevel;
    if (m_pBrowserApp)
        m_pBrowserApp->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(topLevel.ReleaseAndGetAddressOf()));
    // A frame's document completes with the frame's dispatch.
    if (topLevel && document == topLevel.Get() && url && url->vt == VT_BSTR && url->bstrVal) {
        PostMessageA(GetParent(m_hWnd), WM_HTMLDOCCMPL, 0, viewNumber);
        QVLOG("View #" << viewNumber
                       << " CQuorvelVw::DocumentComplete - GetParent()->PostMessage(WM_HTMLDOCCMPL, 0, 0)");
    }
    topLevel.Reset();
    ShowWindow(m_hWnd, SW_SHOW);
}

void CQuorvelVw::Navigate2(const CString& address)
{
    if (++navigateCount == TRIM_EVERY) {
        navigateCount = 0;
        SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
        QVLOG("View #" << viewNumber << " reset size");
    }
    QVLOG("View #" << viewNumber << " navigate to " << address);
    if (!m_pBrowserApp)
        return;
    VARIANT url = bstrVariant(wideFromAnsi(address, CP_THREAD_ACP).c_str());
    VARIANT flags;
    VariantInit(&flags);
    flags.vt = VT_I4;
    flags.lVal = 0;
    VARIANT target = bstrVariant(nullptr);
    VARIANT postData;
    VariantInit(&postData);
    VARIANT headers = bstrVariant(nullptr);
    m_pBrowserApp->Navigate2(&url, &flags, &target, &postData, &headers);
    VariantClear(&url);
    VariantClear(&flags);
    VariantClear(&target);
    VariantClear(&postData);
    VariantClear(&headers);
}

BOOL CQuorvelVw::PreTranslateMessage(MSG* msg)
{
    HWND parent = GetParent(m_hWnd);
    switch (msg->message) {
    case WM_KEYDOWN:
        if (msg->wParam == VK_DOWN)
            ScrollDown();
        else if (msg->wParam == VK_UP)
            ScrollUp();
        PostMessageA(parent, msg->message, msg->wParam, msg->lParam);
        break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        PostMessageA(parent, msg->message, msg->wParam, msg->lParam);
        break;
    case WM_MOUSEWHEEL:
        if (GET_WHEEL_DELTA_WPARAM(msg->wParam) < 0)
            ScrollDown();
        else
            ScrollUp();
        break;
    }
    // The control never sees a shift-click, so it cannot open the link in a new window.
    if (msg->message == WM_LBUTTONDOWN && (msg->wParam & MK_SHIFT))
        return TRUE;
    return CHtmlView::PreTranslateMessage(msg);
}

void CQuorvelVw::ScrollUp()
{
    scrollBy(-SCROLL_STEP);
}

void CQuorvelVw::ScrollDown()
{
    scrollBy(SCROLL_STEP);
}

void CQuorvelVw::scrollBy(LONG dy)
{
    ComPtr<IDispatch> document = GetHtmlDocument();
    if (!document)
        return;
    ComPtr<IHTMLDocument2> html;
    ComPtr<IHTMLWindow2> window;
    if (FAILED(document->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(html.ReleaseAndGetAddressOf()))) ||
        FAILED(html->get_parentWindow(window.ReleaseAndGetAddressOf())) || !window)
        return;
    window->scrollBy(0, dy);
}

BOOL CQuorvelVw::OnEraseBkgnd()
{
    return TRUE;
}

LRESULT CQuorvelVw::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        return OnEraseBkgnd();
    }
    return CHtmlView::WindowProc(message, wParam, lParam);
}
