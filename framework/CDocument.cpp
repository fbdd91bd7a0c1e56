#include "framework/CDocument.h"

#include "framework/CView.h"

#include <algorithm>

CDocument::~CDocument()
{
    // Views that outlive their document must not reach back into it.
    for (CView* view : viewList)
        view->m_pDocument = nullptr;
}

BOOL CDocument::OnNewDocument()
{
    return TRUE;
}

void CDocument::AddView(CView* view)
{
    viewList.push_back(view);
    view->m_pDocument = this;
}

void CDocument::RemoveView(CView* view)
{
    const auto found = std::find(viewList.begin(), viewList.end(), view);
    if (found == viewList.end())
        return;
    viewList.erase(found);
    view->m_pDocument = nullptr;
    if (viewList.empty() && m_bAutoDelete)
        delete this;
}
