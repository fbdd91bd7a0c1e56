#include "qvedge/views/CQuorvelView.h"

#include "common/Logger.h"
#include "qvedge/views/ie/QuorvelVw.h"

CQuorvelView::~CQuorvelView()
{
    destroyEdgeViews();
}

int CQuorvelView::createViews(CWnd*)
{
    return 0;
}

int CQuorvelView::populateIEViews(bool)
{
    return 0;
}

void CQuorvelView::Navigate2(const CString& address, bool)
{
    if (edgeMode)
        return;
    for (CQuorvelVw* view : ieViews) {
        QVLOG("IE Navigate2 -> " << address);
        view->Navigate2(address);
    }
}

void CQuorvelView::initializeEdgeViews(HWND, const CString&, bool, unsigned)
{
}

void CQuorvelView::destroyEdgeViews()
{
}
