#pragma once
// Where the full-screen dialog sits and which rectangles its parts use, worked out from
// the monitor layout; CQuorvelDlg's SetFullScreen and OnSize apply it to the window.
#include "framework/Win.h"
#include "qvedge/display/MonitorLayout.h"

#include <vector>

// The footer strip at the bottom of the primary monitor's content area.
constexpr int FOOTER_HEIGHT = 40;

enum class ViewPlan { SameOnEveryMonitor, AcrossAllMonitors, MainMonitorOnly };

struct FullScreenLayout {
    RECT screenRect = {};       // the window's placement, virtual-screen coordinates
    RECT screensaverRect = {};  // the whole window at the origin: the window region
    RECT htmlRect = {};         // the content area on the primary monitor
    RECT footerRect = {};       // all zero without a footer
    ViewPlan viewPlan = ViewPlan::MainMonitorOnly;
    std::vector<RECT> viewRects;  // one browser view each, in the window's coordinates
};

// The record at a 1-based enumeration position: record p below the record count, else
// record 0; all zero when the layout has no record at all.
RECT recordAt(const MonitorLayout& layout, int position);

// Counts the monitors afresh (more than one spreads the views as monitorMode says) and
// logs the rectangles as it goes.
FullScreenLayout computeFullScreen(const MonitorLayout& layout, int monitorMode, bool engineMode,
                                   bool showFooter);

// Moves the window onto screenRect, then sets fullScreenSet and invalidates the whole
// window. The move sends WM_SIZE while fullScreenSet is still false, so the caller's
// rectangles must already hold the layout's.
void applyFullScreen(HWND window, const FullScreenLayout& layout, bool& fullScreenSet);

// OnSize after the base class: before the placement has finished and once the content
// is shown, the window region becomes screensaverRect; the window owns it from then on.
void applySizeRegion(HWND window, bool fullScreenSet, bool contentShown, const RECT& screensaverRect);
