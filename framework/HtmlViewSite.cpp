#include "framework/HtmlViewSite.h"

#include "framework/CHtmlView.h"
#include "framework/TextConversion.h"

#include <exdisp.h>
#include <exdispid.h>
#include <new>

namespace {

template <class Interface>
HRESULT handOut(Interface* object, void** out)
{
    *out = object;
    object->AddRef();
    return S_OK;
}

// Event arguments come as VARIANTs, some by reference to another VARIANT.
const VARIANT* valueOf(const VARIANT& argument)
{
    return argument.vt == (VT_BYREF | VT_VARIANT) && argument.pvarVal ? argument.pvarVal : &argument;
}

CString textOf(const VARIANT& argument)
{
    const VARIANT* value = valueOf(argument);
    return value->vt == VT_BSTR ? narrowFromWide(value->bstrVal) : CString();
}

DWORD numberOf(const VARIANT& argument)
{
    const VARIANT* value = valueOf(argument);
    return value->vt == VT_I4 || value->vt == VT_UI4 ? static_cast<DWORD>(value->lVal) : 0;
}

VARIANT_BOOL* cancelFlagOf(const VARIANT& argument)
{
    return argument.vt == (VT_BYREF | VT_BOOL) ? argument.pboolVal : nullptr;
}

} // namespace

STDMETHODIMP HtmlViewSite::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
        return handOut(static_cast<IOleClientSite*>(this), out);
    if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite))
        return handOut(static_cast<IOleInPlaceSite*>(this), out);
    if (IsEqualIID(iid, IID_IDocHostUIHandler))
        return handOut(static_cast<IDocHostUIHandler*>(this), out);
    return E_NOINTERFACE;
}

STDMETHODIMP HtmlViewSite::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    if (moniker)
        *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP HtmlViewSite::GetContainer(IOleContainer** container)
{
    if (container)
        *container = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP HtmlViewSite::GetWindow(HWND* window)
{
    if (!window)
        return E_POINTER;
    *window = view ? view->m_hWnd : nullptr;
    return *window ? S_OK : E_FAIL;
}

STDMETHODIMP HtmlViewSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                            LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo)
{
    if (!frame || !document || !position || !clip || !frameInfo)
        return E_POINTER;
    *frame = nullptr;
    *document = nullptr;
    if (!view || !view->m_hWnd)
        return E_FAIL;
    HWND frameWindow = GetParent(view->m_hWnd);
    if (!frameWindow)
        frameWindow = view->m_hWnd;
    auto* inPlaceFrame = new (std::nothrow) HtmlViewFrame(frameWindow);
    if (!inPlaceFrame)
        return E_OUTOFMEMORY;
    handOut(static_cast<IOleInPlaceFrame*>(inPlaceFrame), reinterpret_cast<void**>(frame));
    view->GetClientRect(position);
    *clip = *position;
    frameInfo->cb = sizeof(OLEINPLACEFRAMEINFO);
    frameInfo->fMDIApp = FALSE;
    frameInfo->hwndFrame = frameWindow;
    frameInfo->haccel = nullptr;
    frameInfo->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP HtmlViewSite::ShowContextMenu(DWORD id, POINT* point, IUnknown* commandTarget, IDispatch* object)
{
    return view ? view->OnShowContextMenu(id, point, commandTarget, object) : S_FALSE;
}

STDMETHODIMP HtmlViewSite::GetHostInfo(DOCHOSTUIINFO* info)
{
    if (!info)
        return E_POINTER;
    return view ? view->OnGetHostInfo(info) : E_NOTIMPL;
}

STDMETHODIMP HtmlViewSite::GetOptionKeyPath(LPOLESTR* key, DWORD)
{
    if (key)
        *key = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP HtmlViewSite::GetDropTarget(IDropTarget*, IDropTarget** target)
{
    if (target)
        *target = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP HtmlViewSite::GetExternal(IDispatch** external)
{
    if (external)
        *external = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP HtmlViewSite::TranslateUrl(DWORD, LPWSTR, LPWSTR* translated)
{
    if (translated)
        *translated = nullptr;
    return S_FALSE;
}

STDMETHODIMP HtmlViewSite::FilterDataObject(IDataObject*, IDataObject** filtered)
{
    if (filtered)
        *filtered = nullptr;
    return S_FALSE;
}

STDMETHODIMP HtmlViewFrame::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceUIWindow) ||
        IsEqualIID(iid, IID_IOleInPlaceFrame))
        return handOut(static_cast<IOleInPlaceFrame*>(this), out);
    return E_NOINTERFACE;
}

STDMETHODIMP HtmlViewFrame::GetWindow(HWND* out)
{
    if (!out)
        return E_POINTER;
    *out = window;
    return S_OK;
}

STDMETHODIMP HtmlViewEvents::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, DIID_DWebBrowserEvents2))
        return handOut(static_cast<IDispatch*>(this), out);
    return E_NOINTERFACE;
}

STDMETHODIMP HtmlViewEvents::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP HtmlViewEvents::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP HtmlViewEvents::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*,
                                    UINT*)
{
    if (!view || !parameters || (parameters->cArgs && !parameters->rgvarg))
        return S_OK;
    // The arguments come last first: rgvarg[0] is the event's last parameter.
    switch (id) {
    case DISPID_NAVIGATEERROR:
        if (parameters->cArgs == 5)
            navigateError(*parameters);
        break;
    case DISPID_NEWWINDOW2:
        if (parameters->cArgs == 2)
            newWindow2(*parameters);
        break;
    case DISPID_DOCUMENTCOMPLETE:
        if (parameters->cArgs == 2)
            documentComplete(*parameters);
        break;
    }
    return S_OK;
}

void HtmlViewEvents::navigateError(DISPPARAMS& parameters)
{
    VARIANTARG* argument = parameters.rgvarg;
    BOOL cancel = FALSE;
    view->OnNavigateError(textOf(argument[3]), textOf(argument[2]), numberOf(argument[1]), &cancel);
    if (VARIANT_BOOL* flag = cancelFlagOf(argument[0]))
        *flag = cancel ? VARIANT_TRUE : VARIANT_FALSE;
}

void HtmlViewEvents::newWindow2(DISPPARAMS& parameters)
{
    VARIANTARG* argument = parameters.rgvarg;
    VARIANT_BOOL* flag = cancelFlagOf(argument[0]);
    BOOL cancel = flag && *flag != VARIANT_FALSE;
    IDispatch** newWindow = argument[1].vt == (VT_BYREF | VT_DISPATCH) ? argument[1].ppdispVal : nullptr;
    view->OnNewWindow2(newWindow, &cancel);
    if (flag)
        *flag = cancel ? VARIANT_TRUE : VARIANT_FALSE;
}

void HtmlViewEvents::documentComplete(DISPPARAMS& parameters)
{
    VARIANTARG* argument = parameters.rgvarg;
    IDispatch* document = argument[1].vt == VT_DISPATCH ? argument[1].pdispVal : nullptr;
    view->DocumentComplete(document, const_cast<VARIANT*>(valueOf(argument[0])));
}
