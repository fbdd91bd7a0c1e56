#include "qvedge/display/QuorvelDlg.h"

#include "common/Logger.h"
#include "qvedge/app/QuorvelEdge.h"
#include "qvedge/views/ie/QuorvelVw.h"

// The Internet Explorer road of the content start-up.

LRESULT CQuorvelDlg::OnAfterInit(WPARAM, LPARAM)
{
    errorFlag = FALSE;
    CQuorvelConf& config = theApp.config;
    QVLOG("onAfterInit - Before Navigate to: " << config.GetReachableUrl());
    if (views.populateIEViews(engineMode != FALSE) == 0) {
        QVLOG("OnAfterInit - Before SetTimer DOCUMENTCOMPLETE_TIMER");
        const bool folderShow = config.mode == presentation_mode || config.mode == media_files_mode;
        if (!docCompleteTimerStarted && !engineMode && !folderShow) {
            timerDocComplete = dialogSetTimer(m_hWnd, DOCUMENTCOMPLETE_TIMER, DOCUMENTCOMPLETE_PERIOD_MS, nullptr);
            QVLOG("OnAfterInit - Started DOCUMENTCOMPLETE_TIMER");
            docCompleteTimerStarted = true;
        }
    }
    InvalidateRect(m_hWnd, nullptr, TRUE);
    return 0;
}

LRESULT CQuorvelDlg::OnDocumentComplete(WPARAM, LPARAM)
{
    const CQuorvelConf& config = theApp.config;
    if (!documentCompleted) {
        QVLOG("CQuorvelDlg::OnDocumentComplete - first time");
        documentCompleted = true;
        if (config.mode == url_list_mode && config.timeOut != 0) {
            QVLOG("SetTimer(URL_CHANGE_TIMER)");
            timerUrlChange = dialogSetTimer(m_hWnd, URL_CHANGE_TIMER, static_cast<UINT>(config.timeOut), nullptr);
        }
    } else {
        QVLOG("CQuorvelDlg::OnDocumentComplete - error " << errorFlag);
    }
    if (!contentShown) {
        LoadingAnimation.Stop();
        ShowWindow(LoadingAnimation.m_hWnd, SW_HIDE);
        LoadingAnimation.Close();
        QVLOG("LoadingAnimation stopped");
    }
    if (errorFlag || contentShown)
        return 0;
    contentShown = true;
    if (!views.ieViews.empty()) {
        // The region belongs to the system once set.
        HRGN region = CreateRectRgnIndirect(&screensaverRect);
        SetWindowRgn(m_hWnd, region, TRUE);
        ShowWindow(m_hWnd, SW_SHOW);
        for (CQuorvelVw* view : views.ieViews)
            ShowWindow(view->m_hWnd, SW_SHOW);
        QVLOG("pViews ShowWindow(SW_SHOW)");
    }
    return 0;
}
