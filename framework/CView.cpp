#include "framework/CView.h"

#include <memory>

namespace {

const char viewClassName[] = "QvView";

bool registerViewClass()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA existing{};
    if (GetClassInfoA(instance, viewClassName, &existing))
        return true;
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = CWnd::WindowProcThunk;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc.lpszClassName = viewClassName;
    return RegisterClassA(&wc) != 0;
}

} // namespace

CView::~CView()
{
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

void CView::OnInitialUpdate() {}

BOOL CView::PreCreateWindow(CREATESTRUCTA& cs)
{
    if (!cs.lpszClass) {
        if (!registerViewClass())
            return FALSE;
        cs.lpszClass = viewClassName;
    }
    return TRUE;
}

LRESULT CView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        auto* context = static_cast<CCreateContext*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (context && context->m_pCurrentDoc)
            context->m_pCurrentDoc->AddView(this);
        break;
    }
    case WM_INITIALUPDATE:
        OnInitialUpdate();
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

CView* CreateView(CWnd* parent, CCreateContext* context, UINT id)
{
    if (!context || !context->m_pNewViewClass)
        return nullptr;
    std::unique_ptr<CCmdTarget> object(context->m_pNewViewClass->CreateObject());
    auto* view = dynamic_cast<CView*>(object.get());
    if (!view)
        return nullptr;
    if (!view->Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW, RECT{}, parent, id, context))
        return nullptr;
    object.release();
    return view;
}
