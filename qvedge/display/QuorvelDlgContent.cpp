#include "qvedge/display/QuorvelDlg.h"

#include "common/Logger.h"
#include "qvedge/app/QuorvelEdge.h"
#include "qvedge/display/HtmlResource.h"
#include "qvedge/views/ie/QuorvelVw.h"

BOOL CQuorvelDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    comInitialization.Enter(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon));
    SetWindowTextA(m_hWnd, theApp.m_pszAppName);

    if (engineMode) {
        monitorMode = MONITOR_MAIN_ONLY;
        loadHtmlResource(IDR_ENGINE_REPORT_HTML, engineReportHtml);
        engineReportHtml.Replace(ENGINE_VERSION_TOKEN, ENGINE_VERSION);
    } else if (!theApp.internetConnected) {
        errorFlag = TRUE;
        errorCode = ERROR_NO_INTERNET;
        QVLOG("OnInitDialog - Internet not available");
        InvalidateRect(m_hWnd, nullptr, TRUE);
        contentShown = true;
    }

    QVLOG("Call SetFullScreen()");
    SetFullScreen();
    if (errorFlag) {
        QVLOG("onInitDialog - ERROR " << errorFlag);
        return TRUE;
    }

    startLoadingAnimation();
    if (ieEngine)
        views.edgeMode = false;
    QVLOG("Call views.createViews()");
    if (views.createViews(this) != 0)
        return FALSE;
    if (ieEngine && !afterInitPosted) {
        QVLOG("doCreateHtmlView - PostMessage(WM_AFTERINIT) ");
        PostMessageA(m_hWnd, WM_AFTERINIT, 0, 0);
        afterInitPosted = true;
    }
    UpdateWindow(m_hWnd);

    createTouchWindow();
    ShowWindow(m_hWnd, SW_HIDE);
    UpdateWindow(m_hWnd);

    // The views ask for their address only after this returns, so they see the first entry.
    theApp.config.AdvanceUrl();
    if (testRun) {
        QVLOG("Set timerTestTimeOut");
        timerTestTimeOut = dialogSetTimer(m_hWnd, TESTTIMEOUT_TIMER, TESTTIMEOUT_PERIOD_MS, nullptr);
    }

    SetConditions();
    hookInstance = GetModuleHandleA(nullptr);
    hookTargetWindow = m_hWnd;
    hookExitConditions = &theApp.config.exitConditions;
    return TRUE;
}

void CQuorvelDlg::startLoadingAnimation()
{
    LoadingAnimation.Create(LOADING_ANIMATION_STYLE, htmlRect, this, LOADING_ANIMATION_ID);
    LoadingAnimation.Open(IDR_LOADING_AVI);
    LoadingAnimation.Play(0, LOADING_LAST_FRAME, LOADING_REPEAT_FOREVER);
}

void CQuorvelDlg::createTouchWindow()
{
    touchWindow.Create(CTouchWnd::IDD, this);
    ShowWindow(touchWindow.m_hWnd, SW_HIDE);
    InvalidateRect(touchWindow.m_hWnd, nullptr, TRUE);
    const RECT& all = monitorLayout.bounds;
    MoveWindow(touchWindow.m_hWnd, all.left, all.top, all.right - all.left, all.bottom - all.top, TRUE);
}

LRESULT CQuorvelDlg::OnWebPageExecuteScript(WPARAM, LPARAM)
{
    QVLOG("OnWebPageExecuteScript - call Invalidate");
    InvalidateRect(m_hWnd, nullptr, TRUE);
    return 0;
}
