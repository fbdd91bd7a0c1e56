#include "qvedge/views/CQuorvelView.h"

CQuorvelView::~CQuorvelView()
{
    destroyEdgeViews();
}

int CQuorvelView::createViews(CWnd* parent)
{
    return edgeMode ? createEdgeViews(parent) : createIEViews(parent);
}

void CQuorvelView::Navigate2(const CString& address, bool contentShown)
{
    if (edgeMode)
        navigateEdgeViews(address, contentShown);
    else
        navigateIEViews(address);
}
