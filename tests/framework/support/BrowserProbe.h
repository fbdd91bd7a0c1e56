#pragma once
// Reaches, through a real WebBrowser control, the client site's UI handler its host gave
// it, and builds the calls the control makes on the host's event sink. (Wine's enumerator
// of a connection point miscounts its references, so the sink is taken from the view.)
#include "framework/ComPtr.h"
#include "framework/Win.h"
#include <exdisp.h>
#include <mshtmhst.h>
#include <oleidl.h>

#include <string>
#include <vector>

inline ComPtr<IDocHostUIHandler> hostUiHandlerOf(IWebBrowser2* browser)
{
    ComPtr<IDocHostUIHandler> handler;
    ComPtr<IOleObject> object;
    ComPtr<IOleClientSite> site;
    if (SUCCEEDED(browser->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(object.ReleaseAndGetAddressOf()))) &&
        SUCCEEDED(object->GetClientSite(site.ReleaseAndGetAddressOf())) && site)
        site->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(handler.ReleaseAndGetAddressOf()));
    return handler;
}

// Calls the sink as the control raises an event: arguments given first to last, passed
// last first.
inline HRESULT raiseEvent(IDispatch* sink, DISPID id, std::vector<VARIANT> firstToLast)
{
    std::vector<VARIANT> lastFirst(firstToLast.rbegin(), firstToLast.rend());
    DISPPARAMS parameters{lastFirst.data(), nullptr, static_cast<UINT>(lastFirst.size()), 0};
    return sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr);
}

inline VARIANT dispatchArgument(IDispatch* value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_DISPATCH;
    v.pdispVal = value;
    return v;
}

inline VARIANT byRef(VARIANT* value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BYREF | VT_VARIANT;
    v.pvarVal = value;
    return v;
}

inline VARIANT boolByRef(VARIANT_BOOL* value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BYREF | VT_BOOL;
    v.pboolVal = value;
    return v;
}

inline VARIANT dispatchByRef(IDispatch** value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BYREF | VT_DISPATCH;
    v.ppdispVal = value;
    return v;
}

// A BSTR VARIANT that frees its string.
struct TextVariant {
    explicit TextVariant(const wchar_t* text)
    {
        VariantInit(&value);
        value.vt = VT_BSTR;
        value.bstrVal = text ? SysAllocString(text) : nullptr;
    }
    ~TextVariant() { VariantClear(&value); }
    TextVariant(const TextVariant&) = delete;
    TextVariant& operator=(const TextVariant&) = delete;
    VARIANT value;
};

inline VARIANT numberVariant(LONG number)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = number;
    return v;
}

inline std::wstring locationOf(IWebBrowser2* browser)
{
    BSTR location = nullptr;
    if (FAILED(browser->get_LocationURL(&location)) || !location)
        return std::wstring();
    std::wstring result(location);
    SysFreeString(location);
    return result;
}

// The window's own visibility; IsWindowVisible also asks every ancestor.
inline bool shown(HWND window)
{
    return (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

// Dispatches this thread's messages until the condition holds or about twenty seconds
// have passed: the control raises its later events from posted messages.
template <class Condition>
void pumpUntil(Condition done)
{
    for (int round = 0; round < 2000 && !done(); ++round) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (!done())
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

inline HWND controlWindowOf(HWND view)
{
    return FindWindowExA(view, nullptr, "Shell Embedding", nullptr);
}
