#include "qvedge/views/CQuorvelView.h"

#include "common/Logger.h"
#include "framework/TextConversion.h"
#include "qvedge/app/QuorvelEdge.h"
#include "qvedge/display/QuorvelDlg.h"
#include "qvedge/views/edge/WebView2Wrapper.h"

#include <memory>

int CQuorvelView::createEdgeViews(CWnd* parent)
{
    QVLOG_AS("createViews", "createViews Edge mode");
    webViewWrappers.reserve(webViewWrappers.size() + viewRects.size());
    for (size_t i = 0; i < viewRects.size(); ++i) {
        auto wrapper = std::make_unique<WebView2Wrapper>();
        wrapper->bounds = viewRects[i];
        wrapper->viewIndex = static_cast<int>(webViewWrappers.size());
        const WPARAM index = static_cast<WPARAM>(wrapper->viewIndex);
        webViewWrappers.push_back(wrapper.release());
        QVLOG_AS("createViews", "Adding WebView2Wrapper " << static_cast<unsigned>(i));
        // Each view starts when its message arrives, after the dialog's own initialisation.
        PostMessageA(parent->m_hWnd, WM_InitializeWindow, index, 0);
    }
    return 0;
}

void CQuorvelView::navigateEdgeViews(const CString& address, bool contentShown)
{
    if (!contentShown)
        return;
    for (size_t i = 0; i < webViewWrappers.size(); ++i) {
        QVLOG_AS("Navigate2", "Edge Navigate2 -> " << address);
        const std::wstring wide = wideFromAnsi(address, CP_THREAD_ACP);
        // A view that failed before its WebView2 object existed has nothing to navigate.
        if (webViewWrappers[i]->webView)
            webViewWrappers[i]->webView->Navigate(wide.c_str());
    }
}

void CQuorvelView::initializeEdgeViews(HWND host, const CString& content, bool isUrl, unsigned viewIndex)
{
    if (viewIndex >= webViewWrappers.size()) {
        QVLOG("Wrong viewIndex " << viewIndex);
        return;
    }
    webViewWrappers[viewIndex]->initializeWebView2(host, static_cast<int>(viewIndex), content, isUrl);
}

void CQuorvelView::destroyEdgeViews()
{
    for (WebView2Wrapper* wrapper : webViewWrappers) {
        if (wrapper->controller)
            wrapper->controller->Close();
        delete wrapper;
    }
    webViewWrappers.clear();
}
