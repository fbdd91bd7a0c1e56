#pragma once
// The view architecture: views over a document, made by name from a create context.
#include "framework/CCmdTarget.h"
#include "framework/CDocument.h"
#include "framework/CWnd.h"
#include "framework/Win.h"

// The class library's own message: sent to a new view once it is in place.
constexpr UINT WM_INITIALUPDATE = 0x0364;
constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;
constexpr DWORD AFX_WS_DEFAULT_VIEW = WS_CHILD | WS_VISIBLE | WS_BORDER;

class CDocTemplate;
class CView;

// What a new view is made of; the fields a caller does not fill stay null.
struct CCreateContext {
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CWnd* m_pCurrentFrame = nullptr;
};

// A window over a document. It joins the context's document on WM_CREATE and leaves it
// in its destructor.
//
// Unlike the class library's views, a view never deletes itself when its window goes:
// whoever made it deletes it (the screensaver dialog deletes its views).
class CView : public CWnd {
public:
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    // Runs on WM_INITIALUPDATE.
    virtual void OnInitialUpdate();

protected:
    CView() = default;
    // Views without a class name get a window class of their own, so a view may change
    // its class without touching any other window.
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    friend class CDocument;
    CDocument* m_pDocument = nullptr;
};

// The class library's chain between CView and the WebBrowser view; they add nothing here.
class CScrollView : public CView {
protected:
    CScrollView() = default;
};

class CFormView : public CScrollView {
protected:
    CFormView() = default;
};

// The frame window's view-creation step, for any parent window: makes an object of the
// context's view class and creates it as an empty default view with the child id. The
// new view, or null (nothing left behind) when the class cannot be made or created.
CView* CreateView(CWnd* parent, CCreateContext* context, UINT id = AFX_IDW_PANE_FIRST);
