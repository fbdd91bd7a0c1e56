#pragma once
#include "framework/CString.h"
#include "framework/CWnd.h"
#include "framework/Win.h"

#include <vector>

class CQuorvelVw;

// populateIEViews' failures: no address although connected, no address and not connected.
constexpr int POPULATE_NO_ADDRESS = 4;
constexpr int POPULATE_NOT_CONNECTED = 6;
// The page of a presentation or media-file folder.
constexpr const char* IE_FOLDER_PAGE = "index.html";

// The browser views of the show, one per view rectangle: WebView2 views in the global
// webViewWrappers, Internet Explorer views in ieViews. The dialog decides when each
// operation runs. Each engine's half lives in a source of its own (CQuorvelViewEdge.cpp,
// CQuorvelViewIE.cpp).
class CQuorvelView {
public:
    CQuorvelView() = default;
    ~CQuorvelView();
    CQuorvelView(const CQuorvelView&) = delete;
    CQuorvelView& operator=(const CQuorvelView&) = delete;

    // 0 on success; 5 when an Internet Explorer view could not be created.
    int createViews(CWnd* parent);
    // 0 on success; 4 no address although connected, 6 no address and not connected.
    int populateIEViews(bool engineReport);
    // Moves every view to the address; WebView2 views only once the content is shown.
    void Navigate2(const CString& address, bool contentShown);
    void initializeEdgeViews(HWND host, const CString& content, bool isUrl, unsigned viewIndex);
    void destroyEdgeViews();

    // Not owned: the dialog deletes the views.
    std::vector<CQuorvelVw*> ieViews;
    bool edgeMode = true;
    // Client coordinates of the dialog, in view order.
    std::vector<RECT> viewRects;
    CString engineReportHtml;

private:
    int createEdgeViews(CWnd* parent);
    int createIEViews(CWnd* parent);
    void navigateEdgeViews(const CString& address, bool contentShown);
    void navigateIEViews(const CString& address);
};
