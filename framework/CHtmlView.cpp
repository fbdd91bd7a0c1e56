#include "framework/CHtmlView.h"

#include "framework/HtmlViewSite.h"
#include "framework/TextConversion.h"

#include <new>

CHtmlView::CHtmlView() = default;

CHtmlView::~CHtmlView()
{
    DestroyControl();
}

ComPtr<IDispatch> CHtmlView::GetHtmlDocument() const
{
    ComPtr<IDispatch> document;
    // S_FALSE, which the control answers while it has no document, counts as none.
    if (m_pBrowserApp && m_pBrowserApp->get_Document(document.ReleaseAndGetAddressOf()) != S_OK)
        document.Reset();
    return document;
}

void CHtmlView::Navigate2(const char* url)
{
    if (!m_pBrowserApp)
        return;
    VARIANT address;
    VariantInit(&address);
    address.vt = VT_BSTR;
    address.bstrVal = SysAllocString(wideFromAnsi(url, CP_THREAD_ACP).c_str());
    VARIANT flags;
    VariantInit(&flags);
    flags.vt = VT_I4;
    flags.lVal = 0;
    VARIANT none;
    VariantInit(&none);
    m_pBrowserApp->Navigate2(&address, &flags, &none, &none, &none);
    VariantClear(&address);
}

IDispatch* CHtmlView::GetEventSink() const
{
    return eventsPoint ? static_cast<IDispatch*>(events.Get()) : nullptr;
}

BOOL CHtmlView::PreTranslateMessage(MSG* msg)
{
    const bool keyOrMouse = (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) ||
                            (msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST);
    if (!keyOrMouse || !browserObject)
        return FALSE;
    ComPtr<IOleInPlaceActiveObject> active;
    if (FAILED(browserObject->QueryInterface(IID_IOleInPlaceActiveObject,
                                             reinterpret_cast<void**>(active.ReleaseAndGetAddressOf()))))
        return FALSE;
    return active->TranslateAccelerator(msg) == S_OK;
}

void CHtmlView::DocumentComplete(LPDISPATCH, VARIANT*) {}

void CHtmlView::OnNavigateError(const char*, const char*, DWORD, BOOL*) {}

void CHtmlView::OnNewWindow2(LPDISPATCH*, BOOL*) {}

HRESULT CHtmlView::OnGetHostInfo(DOCHOSTUIINFO*)
{
    return E_NOTIMPL;
}

HRESULT CHtmlView::OnShowContextMenu(DWORD, LPPOINT, LPUNKNOWN, LPDISPATCH)
{
    return S_FALSE;
}

BOOL CHtmlView::CreateControl(const char* windowName, DWORD style, const RECT& rect, UINT id)
{
    if (FAILED(CoCreateInstance(browserClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                reinterpret_cast<void**>(browserObject.ReleaseAndGetAddressOf()))))
        return FALSE;
    auto* newSite = new (std::nothrow) HtmlViewSite(this);
    auto* newEvents = new (std::nothrow) HtmlViewEvents(this);
    site.Reset(newSite);
    events.Reset(newEvents);
    if (!site || !events || FAILED(browserObject->SetClientSite(site.Get()))) {
        DestroyControl();
        return FALSE;
    }
    RECT position = rect;
    ComPtr<IOleWindow> window;
    if (FAILED(browserObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.Get(), 0, m_hWnd, &position)) ||
        FAILED(browserObject->QueryInterface(IID_IOleWindow,
                                             reinterpret_cast<void**>(window.ReleaseAndGetAddressOf()))) ||
        FAILED(window->GetWindow(&browserWindow)) || !browserWindow) {
        DestroyControl();
        return FALSE;
    }
    // The control makes its own window; it takes the view's id, name and visibility.
    SetWindowLongPtrA(browserWindow, GWLP_ID, static_cast<LONG_PTR>(id));
    if (windowName)
        SetWindowTextA(browserWindow, windowName);
    ShowWindow(browserWindow, (style & WS_VISIBLE) ? SW_SHOWNA : SW_HIDE);
    ComPtr<IConnectionPointContainer> points;
    if (FAILED(browserObject->QueryInterface(IID_IConnectionPointContainer,
                                             reinterpret_cast<void**>(points.ReleaseAndGetAddressOf()))) ||
        FAILED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, eventsPoint.ReleaseAndGetAddressOf())) ||
        FAILED(eventsPoint->Advise(static_cast<IDispatch*>(events.Get()), &eventsCookie))) {
        DestroyControl();
        return FALSE;
    }
    return TRUE;
}

void CHtmlView::DestroyControl()
{
    if (eventsPoint && eventsCookie)
        eventsPoint->Unadvise(eventsCookie);
    eventsPoint.Reset();
    eventsCookie = 0;
    if (browserObject) {
        browserObject->Close(OLECLOSE_NOSAVE);
        browserObject->SetClientSite(nullptr);
    }
    m_pBrowserApp.Reset();
    browserObject.Reset();
    if (browserWindow && IsWindow(browserWindow))
        ::DestroyWindow(browserWindow);
    browserWindow = nullptr;
    // The control may hold the host objects a little longer; they must not call back.
    if (site)
        site->detach();
    if (events)
        events->detach();
    site.Reset();
    events.Reset();
}

LRESULT CHtmlView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        if (m_pCreateContext)
            reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams = m_pCreateContext;
        break;
    case WM_SIZE:
        resizeControl();
        break;
    case WM_DESTROY:
        DestroyControl();
        break;
    }
    return CFormView::WindowProc(message, wParam, lParam);
}

void CHtmlView::resizeControl()
{
    if (!browserObject)
        return;
    ComPtr<IOleInPlaceObject> inPlace;
    if (FAILED(browserObject->QueryInterface(IID_IOleInPlaceObject,
                                             reinterpret_cast<void**>(inPlace.ReleaseAndGetAddressOf()))))
        return;
    RECT client;
    GetClientRect(&client);
    inPlace->SetObjectRects(&client, &client);
}
