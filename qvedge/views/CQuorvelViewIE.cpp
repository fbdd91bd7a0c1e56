#include "qvedge/views/CQuorvelView.h"

#include "common/Logger.h"
#include "framework/CView.h"
#include "qvedge/app/QuorvelEdge.h"
#include "qvedge/display/HtmlResource.h"
#include "qvedge/display/QuorvelDlg.h"
#include "qvedge/res/display_resource.h"
#include "qvedge/views/WriteHtmlToView.h"
#include "qvedge/views/ie/QuorvelDoc.h"
#include "qvedge/views/ie/QuorvelVw.h"

int CQuorvelView::createIEViews(CWnd* parent)
{
    QVLOG_AS("createViews", "createViews Internet Explorer mode");
    auto* document = new CQuorvelDoc;
    // A view that fails while being made must not take the document with it; the
    // document's own setting holds again once the views are made.
    document->m_bAutoDelete = FALSE;
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CQuorvelVw);
    context.m_pCurrentDoc = document;
    int result = 0;
    for (size_t i = 0; i < viewRects.size(); ++i) {
        auto* view = static_cast<CQuorvelVw*>(CreateView(parent, &context, AFX_IDW_PANE_FIRST));
        if (!view) {
            QVLOG_AS("createViews", "Created CQuorvelVw " << static_cast<int>(i) << " error ");
            result = ERROR_BROWSER_INIT;
            break;
        }
        view->viewNumber = static_cast<int>(i);
        SendMessageA(view->m_hWnd, WM_INITIALUPDATE, 0, 0);
        view->m_pBrowserApp->put_Silent(VARIANT_TRUE);
        if (!theApp.internetConnected)
            view->m_pBrowserApp->put_Offline(VARIANT_TRUE);
        const RECT& rect = viewRects[i];
        const LONG width = rect.right - rect.left;
        const LONG height = rect.bottom - rect.top;
        QVLOG_AS("createViews", "CQuorvelVw " << static_cast<int>(i + 1) << " x=" << rect.left << " y=" << rect.top
                                              << " w=" << width << " h=" << height);
        MoveWindow(view->m_hWnd, rect.left, rect.top, width, height, TRUE);
        ieViews.push_back(view);
    }
    document->m_bAutoDelete = TRUE;
    if (document->GetViews().empty())
        delete document;
    return result;
}

namespace {

// The local page of a presentation or media-file show on the Internet Explorer road.
CString folderPageAddress(const CQuorvelConf& config)
{
    CString address;
    if (config.mode == media_files_mode)
        address.Format("file://%s\\%s", config.dataFolder.GetString(), IE_FOLDER_PAGE);
    else
        address.Format("file:///%s\\%s",
                       (config.testMode ? config.selectedFolder : config.dataFolder).GetString(), IE_FOLDER_PAGE);
    return address;
}

} // namespace

int CQuorvelView::populateIEViews(bool engineReport)
{
    CQuorvelConf& config = theApp.config;
    if (engineReport) {
        loadHtmlResource(IDR_ENGINE_REPORT_HTML, engineReportHtml);
        engineReportHtml.Replace(ENGINE_VERSION_TOKEN, ENGINE_VERSION);
    }
    const CString reachable = config.GetReachableUrl();
    const bool folderShow = config.mode == presentation_mode || config.mode == media_files_mode;
    for (CQuorvelVw* view : ieViews) {
        if (engineReport) {
            QVLOG("doCreateHtmlView - After LoadFromResource");
            writeHtmlToView(engineReportHtml, view);
            continue;
        }
        QVLOG("doCreateHtmlView - SetHTMLContent - After Navigate2");
        if (!folderShow && reachable.IsEmpty()) {
            if (theApp.internetConnected) {
                QVLOG("onAfterInit - BAD_URLS");
                return POPULATE_NO_ADDRESS;
            }
            QVLOG("onAfterInit - NOT_CONN");
            return POPULATE_NOT_CONNECTED;
        }
        QVLOG("doCreateHtmlView - After Navigate2");
        view->Navigate2(folderShow ? folderPageAddress(config) : reachable);
    }
    return 0;
}

void CQuorvelView::navigateIEViews(const CString& address)
{
    for (CQuorvelVw* view : ieViews) {
        QVLOG_AS("Navigate2", "IE Navigate2 -> " << address);
        view->Navigate2(address);
    }
}
