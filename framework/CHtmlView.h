#pragma once
// The WebBrowser view: a view that hosts the Internet Explorer WebBrowser control in its
// client area and reflects the control's events into virtual operations.
#include "framework/CView.h"
#include "framework/ComPtr.h"
#include "framework/Win.h"
#include <exdisp.h>
#include <mshtmhst.h>
#include <oleidl.h>

class HtmlViewEvents;
class HtmlViewSite;

// Containment needs no set-up of its own here; kept for the views that ask for it.
inline void AfxEnableControlContainer() {}

// Like every view it never deletes itself: its owner deletes it.
class CHtmlView : public CFormView {
public:
    ~CHtmlView() override;

    // The control's document, with a reference; null while it has none.
    ComPtr<IDispatch> GetHtmlDocument() const;
    // Navigates with no flags, target frame, headers or post data.
    void Navigate2(const char* url);
    // TRUE when the control translated a key or mouse message as its accelerator.
    BOOL PreTranslateMessage(MSG* msg) override;

    // The control's events and host requests. The defaults do nothing, cancel nothing,
    // leave the host info as it is and let the control show its own context menu.
    virtual void DocumentComplete(LPDISPATCH document, VARIANT* url);
    virtual void OnNavigateError(const char* url, const char* frame, DWORD statusCode, BOOL* cancel);
    virtual void OnNewWindow2(LPDISPATCH* newWindow, BOOL* cancel);
    virtual HRESULT OnGetHostInfo(DOCHOSTUIINFO* info);
    virtual HRESULT OnShowContextMenu(DWORD id, LPPOINT point, LPUNKNOWN commandTarget, LPDISPATCH object);

    // The sink connected to the control's DWebBrowserEvents2 (null without a control):
    // what the control calls for each event.
    IDispatch* GetEventSink() const;

    // The control's IWebBrowser2 once a view has made it.
    ComPtr<IWebBrowser2> m_pBrowserApp;
    // The class of the control; another class makes the control's creation fail.
    CLSID browserClsid = CLSID_WebBrowser;

protected:
    CHtmlView();

    // Makes the control in place over rect of the view's window, with its events
    // connected; FALSE leaves no control behind.
    BOOL CreateControl(const char* windowName, DWORD style, const RECT& rect, UINT id);
    // Disconnects, closes and releases the control; its window goes with it.
    void DestroyControl();
    IUnknown* GetControlUnknown() const { return browserObject.Get(); }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The context of the creation under way, handed to WM_CREATE.
    CCreateContext* m_pCreateContext = nullptr;

private:
    void resizeControl();

    ComPtr<IOleObject> browserObject;
    HWND browserWindow = nullptr;
    ComPtr<HtmlViewSite> site;
    ComPtr<HtmlViewEvents> events;
    ComPtr<IConnectionPoint> eventsPoint;
    DWORD eventsCookie = 0;
};
