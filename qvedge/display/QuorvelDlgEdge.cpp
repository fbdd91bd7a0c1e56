#include "qvedge/display/QuorvelDlg.h"

#include "common/Logger.h"
#include "qvedge/app/QuorvelEdge.h"
#include "qvedge/views/edge/WebView2Wrapper.h"

// The WebView2 road of the content start-up.

bool webViewLoadFailed = false;
bool firstAllLoaded = true;

namespace {

CString folderPage(const CString& folder)
{
    CString page;
    page.Format("file:///%s/index.html", folder.GetString());
    return page;
}

bool everyViewLoaded()
{
    for (const WebView2Wrapper* wrapper : webViewWrappers) {
        if (!wrapper->loaded)
            return false;
    }
    return true;
}

void logViewTimes()
{
    for (size_t i = 0; i < webViewWrappers.size(); ++i) {
        const WebView2Wrapper& w = *webViewWrappers[i];
        QVLOG_AS("OnWebPageLoaded", "WebView #" << static_cast<unsigned>(i) << " Environment "
                                                << elapsedMs(w.startTime, w.environmentTime) << " Controller "
                                                << elapsedMs(w.environmentTime, w.controllerTime) << " Navigation "
                                                << elapsedMs(w.navigationTime, w.completedTime) << " Total time "
                                                << elapsedMs(w.startTime, w.completedTime) << " ms");
    }
}

} // namespace

LRESULT CQuorvelDlg::OnInitializeWindowMessage(WPARAM wParam, LPARAM)
{
    CQuorvelConf& config = theApp.config;
    CString content;
    bool isUrl = true;
    if (engineMode) {
        content = engineReportHtml;
        isUrl = false;
        QVLOG("call CQuorvelVw2::initializeWebView2 (ua_parser_string)");
    } else if (config.mode == media_files_mode) {
        content = folderPage(config.dataFolder);
        content.Replace("\\", "/");
        QVLOG("call CQuorvelVw2::initializeWebView2 (media_files_mode)");
    } else if (config.mode == presentation_mode && config.testMode) {
        content = folderPage(config.selectedFolder);
        QVLOG("Presentation test - use original path" << config.selectedFolder);
    } else if (config.mode == presentation_mode) {
        content = folderPage(config.dataFolder);
        QVLOG("call CQuorvelVw2::initializeWebView2 (presentation_mode)");
    } else {
        content = config.GetCurrentUrl();
        QVLOG("call CQuorvelVw2::initializeWebView2 (url): " << content);
    }
    QVLOG("call views.initializeEdgeViews()");
    views.initializeEdgeViews(m_hWnd, content, isUrl, static_cast<unsigned>(wParam));
    return 0;
}

LRESULT CQuorvelDlg::OnWebPageLoaded(WPARAM wParam, LPARAM lParam)
{
    const bool success = lParam != 0;
    QVLOG("OnWebPageLoaded index = " << static_cast<unsigned>(wParam) << " result = " << static_cast<long>(lParam));
    if (wParam >= webViewWrappers.size())
        return 0;
    WebView2Wrapper& view = *webViewWrappers[wParam];
    // Only the first view plays sound; after the fallback none does, also one whose
    // WebView2 object came up only after the fallback had muted the others.
    if (view.webView)
        view.webView->put_IsMuted(ieEngine || wParam != 0);

    if (!success) {
        webViewLoadFailed = true;
    } else {
        view.loaded = true;
        if (!webViewLoadFailed) {
            showWhenAllLoaded();
            return 0;
        }
    }
    fallBackToInternetExplorer();
    return 0;
}

void CQuorvelDlg::fallBackToInternetExplorer()
{
    if (ieEngine)
        return;
    QVLOG_AS("OnWebPageLoaded", "Fail-back to CHtmlView");
    ieEngine = true;
    // The WebView2 views stay, hidden, until the dialog goes; they must not be heard.
    for (WebView2Wrapper* wrapper : webViewWrappers) {
        if (wrapper->webView)
            wrapper->webView->put_IsMuted(TRUE);
    }
    views.edgeMode = false;
    views.createViews(this);
    if (!afterInitPosted) {
        QVLOG_AS("OnWebPageLoaded", "doCreateHtmlView - PostMessage(WM_AFTERINIT) ");
        PostMessageA(m_hWnd, WM_AFTERINIT, 0, 0);
        afterInitPosted = true;
    }
}

void CQuorvelDlg::showWhenAllLoaded()
{
    if (!everyViewLoaded()) {
        QVLOG_AS("OnWebPageLoaded", "Wait other WebViews");
        return;
    }
    logViewTimes();
    if (!firstAllLoaded)
        return;
    firstAllLoaded = false;
    contentShown = true;
    QVLOG_AS("OnWebPageLoaded", "OnWebPageLoaded - all webviews loaded");
    const CQuorvelConf& config = theApp.config;
    if (config.timeOut != 0) {
        QVLOG_AS("OnWebPageLoaded", "SetTimer(URL_CHANGE_TIMER)");
        timerUrlChange = dialogSetTimer(m_hWnd, URL_CHANGE_TIMER, static_cast<UINT>(config.timeOut), nullptr);
    }
    QVLOG_AS("OnWebPageLoaded", "Install Kbd and Mouse Hook");
    if (config.exitConditions & (EXIT_KEYBOARD | EXIT_ESC_KEY))
        installKbdHook(hookInstance);
    if (config.exitConditions & (EXIT_MOUSE_MOVE | EXIT_MOUSE_BUTTON))
        installMouseHook(hookInstance);
    hooksInstalled = true;
    for (WebView2Wrapper* wrapper : webViewWrappers) {
        if (wrapper->controller)
            wrapper->controller->put_IsVisible(TRUE);
    }
    LoadingAnimation.Stop();
    ShowWindow(LoadingAnimation.m_hWnd, SW_HIDE);
    LoadingAnimation.Close();
    QVLOG_AS("OnWebPageLoaded", "LoadingAnimation stopped");
    contentShown = true;
    ShowWindow(m_hWnd, SW_SHOW);
    UpdateWindow(m_hWnd);
    if (config.exitConditions & EXIT_TOUCH)
        ShowWindow(touchWindow.m_hWnd, SW_SHOW);
}
