#include "qvedge/display/QuorvelDlg.h"

#include "common/Logger.h"
#include "qvedge/app/QuorvelEdge.h"
#include "qvedge/views/ie/QuorvelVw.h"

void CQuorvelDlg::OnTimer(UINT_PTR id)
{
    // An id of 0 names no timer: a member holds 0 until its timer has started.
    if (id == 0)
        return;
    if (id == timerUrlChange) {
        theApp.config.AdvanceUrl();
        const CString address = theApp.config.GetReachableUrl();
        if (address.IsEmpty())
            return;
        if (theApp.config.mode == presentation_mode || theApp.config.mode == media_files_mode) {
            QVLOG("OnTimer - Do noting");
            return;
        }
        views.Navigate2(CString(address), contentShown);
    } else if (id == timerDocComplete) {
        QVLOG("OnTimer() timerDocComplete");
        if (!documentCompleted)
            return;
        if (theApp.config.mode == url_list_mode && !contentShown) {
            contentShown = true;
            QVLOG("timerDocComplete");
            for (CQuorvelVw* view : views.ieViews)
                ShowWindow(view->m_hWnd, SW_SHOW);
        }
        KillTimer(m_hWnd, timerDocComplete);
    } else if (id == timerTestTimeOut) {
        QVLOG("Event timerTestTimeOut");
        testHold = FALSE;
        KillTimer(m_hWnd, timerTestTimeOut);
    }
}
