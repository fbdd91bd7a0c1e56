#include "qvedge/views/CQuorvelView.h"

int CQuorvelView::createEdgeViews(CWnd*)
{
    return 0;
}

void CQuorvelView::navigateEdgeViews(const CString&, bool)
{
}

void CQuorvelView::initializeEdgeViews(HWND, const CString&, bool, unsigned)
{
}

void CQuorvelView::destroyEdgeViews()
{
}
