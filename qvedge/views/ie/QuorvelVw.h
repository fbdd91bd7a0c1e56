#pragma once
#include "framework/CHtmlView.h"
#include "framework/CString.h"
#include "framework/Win.h"

// One Internet Explorer view of the show, over one screen rectangle. Hidden until its page
// completes or fails; no border, scroll bars or context menu; hands keys and the mouse on
// to the dialog, scrolls on the arrows and the wheel, ends the show on a page's request
// for a new window and trims the working set on every tenth navigation.
//
// The dialog deletes its views; a view never deletes itself when its window goes.
class CQuorvelVw : public CHtmlView {
    DECLARE_DYNCREATE(CQuorvelVw)

public:
    static constexpr LONG SCROLL_STEP = 50;
    // Every this many calls of Navigate2 trims the process's working set.
    static constexpr int TRIM_EVERY = 10;

    CQuorvelVw() = default;
    ~CQuorvelVw() override = default;

    BOOL Create(const char* className, const char* windowName, DWORD style, const RECT& rect, CWnd* parent,
                UINT id, CCreateContext* context) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void OnInitialUpdate() override;
    HRESULT OnShowContextMenu(DWORD id, LPPOINT point, LPUNKNOWN commandTarget, LPDISPATCH object) override;
    HRESULT OnGetHostInfo(DOCHOSTUIINFO* info) override;
    void OnNewWindow2(LPDISPATCH* newWindow, BOOL* cancel) override;
    void OnNavigateError(const char* url, const char* frame, DWORD statusCode, BOOL* cancel) override;
    // Replaces the base's reflector: the top-level document's completion is reported to
    // the dialog; any completion shows the view.
    void DocumentComplete(LPDISPATCH document, VARIANT* url) override;

    // Hides the base's Navigate2: counts the call for the trim.
    void Navigate2(const CString& address);
    void ScrollUp();
    void ScrollDown();

    int viewNumber = 0;
    int navigateCount = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    BOOL OnEraseBkgnd();
    void scrollBy(LONG dy);
};
