#include "qvedge/display/FullScreenGeometry.h"

#include "common/Logger.h"
#include "framework/GdiObjects.h"
#include "qvedge/config/QuorvelConf.h"

namespace {

struct LoggedRect {
    const RECT& rect;
};

// A rectangle as the log shows it, after a leading "x=": x, y, width, height.
logging::Console_Logger& operator<<(logging::Console_Logger& logger, LoggedRect logged)
{
    const RECT& r = logged.rect;
    return logger << r.left << " y=" << r.top << " w=" << (r.right - r.left) << " h=" << (r.bottom - r.top);
}

RECT movedToOrigin(const RECT& r)
{
    RECT moved = r;
    OffsetRect(&moved, -r.left, -r.top);
    return moved;
}

// Any other mode shows one view on the primary monitor.
ViewPlan viewPlanFor(int monitorsCounted, int monitorMode)
{
    if (monitorsCounted > 1 && monitorMode == MONITOR_SAME_ON_EVERY)
        return ViewPlan::SameOnEveryMonitor;
    if (monitorsCounted > 1 && monitorMode == MONITOR_MULTI_SCREEN)
        return ViewPlan::AcrossAllMonitors;
    return ViewPlan::MainMonitorOnly;
}

std::vector<RECT> viewRectsFor(ViewPlan plan, const MonitorLayout& layout, const FullScreenLayout& screen,
                               bool showFooter)
{
    std::vector<RECT> views;
    switch (plan) {
    case ViewPlan::SameOnEveryMonitor:
        // Unshortened: the primary's view covers the footer strip.
        for (int i = 0; i < layout.monitorCount; ++i)
            views.push_back(recordAt(layout, i));
        break;
    case ViewPlan::AcrossAllMonitors: {
        const LONG width = layout.bounds.right - layout.bounds.left;
        const LONG height = layout.bounds.bottom - layout.bounds.top;
        views.push_back({0, 0, width, showFooter ? height - FOOTER_HEIGHT : height});
        break;
    }
    case ViewPlan::MainMonitorOnly:
        views.push_back(screen.htmlRect);
        break;
    }
    return views;
}

const char* viewPlanText(ViewPlan plan)
{
    switch (plan) {
    case ViewPlan::SameOnEveryMonitor:
        return "Set same on every monitor";
    case ViewPlan::AcrossAllMonitors:
        return "Set multi monitor";
    case ViewPlan::MainMonitorOnly:
        break;
    }
    return "Set main monitor only";
}

} // namespace

RECT recordAt(const MonitorLayout& layout, int position)
{
    if (layout.records.empty())
        return RECT{};
    const bool inRange = position >= 0 && static_cast<size_t>(position) < layout.records.size();
    return layout.records[inRange ? position : 0].rect;
}

FullScreenLayout computeFullScreen(const MonitorLayout& layout, int monitorMode, bool engineMode,
                                   bool showFooter)
{
    FullScreenLayout screen;
    int monitorsCounted = countMonitors();
    const RECT primary = recordAt(layout, layout.primaryPosition);
    if (engineMode) {
        monitorsCounted = 1;
        QVLOG_AS("SetFullScreen", "Engine mode screensaverRect (primary): x=" << LoggedRect{primary});
        screen.screensaverRect = movedToOrigin(primary);
        QVLOG_AS("SetFullScreen", "Engine mode screensaverRect (primary) moved: x=" << LoggedRect{screen.screensaverRect});
        // The primary monitor's top-left corner is the virtual screen's origin.
        screen.screenRect = screen.screensaverRect;
    } else {
        screen.screenRect = layout.bounds;
        QVLOG_AS("SetFullScreen", "SS mode Screenry Rect: x=" << LoggedRect{screen.screenRect});
        screen.screensaverRect = movedToOrigin(screen.screenRect);
        QVLOG_AS("SetFullScreen", "SS mode screensaverRect moved Rect: x=" << LoggedRect{screen.screensaverRect});
    }

    screen.htmlRect = primary;
    QVLOG_AS("SetFullScreen", "SS mode htmlRect: x=" << LoggedRect{screen.htmlRect});
    if (engineMode) {
        screen.htmlRect = movedToOrigin(primary);
        QVLOG_AS("SetFullScreen", "SS mode htmlRect moved: x=" << LoggedRect{screen.htmlRect});
    }
    if (showFooter) {
        const RECT& html = screen.htmlRect;
        screen.footerRect = {html.left, html.bottom - FOOTER_HEIGHT, html.right, html.bottom};
        screen.htmlRect.bottom -= FOOTER_HEIGHT;
    }

    screen.viewPlan = viewPlanFor(monitorsCounted, monitorMode);
    screen.viewRects = viewRectsFor(screen.viewPlan, layout, screen, showFooter);
    return screen;
}

void applyFullScreen(HWND window, const FullScreenLayout& layout, bool& fullScreenSet)
{
    const RECT& r = layout.screenRect;
    QVLOG_AS("SetFullScreen", "Main Dialog x=" << LoggedRect{r});
    MoveWindow(window, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);

    QVLOG_AS("SetFullScreen", viewPlanText(layout.viewPlan));
    for (const RECT& view : layout.viewRects)
        QVLOG_AS("SetFullScreen", "WebView pos " << view.left << " " << view.top << " size "
                                                 << (view.right - view.left) << " " << (view.bottom - view.top));
    fullScreenSet = true;
    InvalidateRect(window, nullptr, TRUE);
}

void applySizeRegion(HWND window, bool fullScreenSet, bool contentShown, const RECT& screensaverRect)
{
    if (fullScreenSet) {
        QVLOG_AS("OnSize", "OnSize() - skiped");
        return;
    }
    if (!contentShown) {
        QVLOG_AS("OnSize", "OnSize() - not visible");
        return;
    }
    QVLOG_AS("OnSize", "OnSize() - is visible");
    OwnedRgn region(CreateRectRgnIndirect(&screensaverRect));
    if (region && SetWindowRgn(window, region.Get(), TRUE))
        region.Release();
}
