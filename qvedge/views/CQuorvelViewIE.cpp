#include "qvedge/views/CQuorvelView.h"

#include "common/Logger.h"
#include "qvedge/views/ie/QuorvelVw.h"

int CQuorvelView::createIEViews(CWnd*)
{
    return 0;
}

int CQuorvelView::populateIEViews(bool)
{
    return 0;
}

void CQuorvelView::navigateIEViews(const CString& address)
{
    for (CQuorvelVw* view : ieViews) {
        QVLOG_AS("Navigate2", "IE Navigate2 -> " << address);
        view->Navigate2(address);
    }
}
