#include "qvedge/display/FullScreenGeometry.h"

#include "framework/CWnd.h"
#include "tests/qvedge/support/FakeDesktop.h"
#include "tests/qvedge/support/RectTesting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const RECT primaryFullHd = {0, 0, 1920, 1080};
const std::vector<FakeMonitor> oneMonitor = {{primaryFullHd, true}};
// The primary enumerated first, a second monitor to its left.
const std::vector<FakeMonitor> twoMonitors = {{primaryFullHd, true}, {{-1280, 0, 0, 1024}, false}};
const std::vector<FakeMonitor> threeMonitorsPrimarySecond = {
    {{-1920, 0, 0, 1080}, false}, {primaryFullHd, true}, {{1920, 0, 3200, 1024}, false}};

struct GeometryCase {
    std::string name;
    std::vector<FakeMonitor> desktop;
    int monitorMode;
    bool engineMode;
    bool showFooter;
    RECT screenRect;
    RECT screensaverRect;
    RECT htmlRect;
    RECT footerRect;
    ViewPlan viewPlan;
    std::vector<RECT> viewRects;
};

void PrintTo(const GeometryCase& c, std::ostream* out)
{
    *out << c.name;
}

class FullScreenGeometryTest : public testing::TestWithParam<GeometryCase> {};

TEST_P(FullScreenGeometryTest, LaysOutTheWindowAndTheViews)
{
    const GeometryCase& c = GetParam();
    FakeDesktop desktop(c.desktop);
    MonitorLayout layout;
    layout.Build();

    const FullScreenLayout screen = computeFullScreen(layout, c.monitorMode, c.engineMode, c.showFooter);
    EXPECT_EQ(c.screenRect, screen.screenRect);
    EXPECT_EQ(c.screensaverRect, screen.screensaverRect);
    EXPECT_EQ(c.htmlRect, screen.htmlRect);
    EXPECT_EQ(c.footerRect, screen.footerRect);
    EXPECT_EQ(c.viewPlan, screen.viewPlan);
    EXPECT_EQ(c.viewRects, screen.viewRects);
}

const RECT none = {0, 0, 0, 0};

INSTANTIATE_TEST_SUITE_P(
    Desktops, FullScreenGeometryTest,
    testing::Values(
        GeometryCase{"OneMonitor", oneMonitor, 2, false, false, primaryFullHd, primaryFullHd, primaryFullHd, none,
                     ViewPlan::MainMonitorOnly, {primaryFullHd}},
        GeometryCase{"OneMonitorWithFooter", oneMonitor, 2, false, true, primaryFullHd, primaryFullHd,
                     {0, 0, 1920, 1040}, {0, 1040, 1920, 1080}, ViewPlan::MainMonitorOnly, {{0, 0, 1920, 1040}}},
        // View i lies on record i's monitor: view 0 on the monitor enumerated last.
        GeometryCase{"TwoMonitorsSameOnEvery", twoMonitors, 2, false, false, {-1280, 0, 1920, 1080},
                     {0, 0, 3200, 1080}, {1280, 0, 3200, 1080}, none, ViewPlan::SameOnEveryMonitor,
                     {{0, 0, 1280, 1024}, {1280, 0, 3200, 1080}}},
        // The primary's view is not shortened: it lies over the footer strip.
        GeometryCase{"TwoMonitorsSameOnEveryWithFooter", twoMonitors, 2, false, true, {-1280, 0, 1920, 1080},
                     {0, 0, 3200, 1080}, {1280, 0, 3200, 1040}, {1280, 1040, 3200, 1080},
                     ViewPlan::SameOnEveryMonitor, {{0, 0, 1280, 1024}, {1280, 0, 3200, 1080}}},
        GeometryCase{"TwoMonitorsAcrossAll", twoMonitors, 4, false, false, {-1280, 0, 1920, 1080},
                     {0, 0, 3200, 1080}, {1280, 0, 3200, 1080}, none, ViewPlan::AcrossAllMonitors,
                     {{0, 0, 3200, 1080}}},
        GeometryCase{"TwoMonitorsAcrossAllWithFooter", twoMonitors, 4, false, true, {-1280, 0, 1920, 1080},
                     {0, 0, 3200, 1080}, {1280, 0, 3200, 1040}, {1280, 1040, 3200, 1080},
                     ViewPlan::AcrossAllMonitors, {{0, 0, 3200, 1040}}},
        // The window still spans both monitors; the other one stays black.
        GeometryCase{"TwoMonitorsMainOnly", twoMonitors, 1, false, false, {-1280, 0, 1920, 1080},
                     {0, 0, 3200, 1080}, {1280, 0, 3200, 1080}, none, ViewPlan::MainMonitorOnly,
                     {{1280, 0, 3200, 1080}}},
        GeometryCase{"TwoMonitorsUnknownModeShowsTheMainOnly", twoMonitors, 3, false, false,
                     {-1280, 0, 1920, 1080}, {0, 0, 3200, 1080}, {1280, 0, 3200, 1080}, none,
                     ViewPlan::MainMonitorOnly, {{1280, 0, 3200, 1080}}},
        GeometryCase{"EngineModeCoversThePrimaryOnly", twoMonitors, 1, true, false, primaryFullHd, primaryFullHd,
                     primaryFullHd, none, ViewPlan::MainMonitorOnly, {primaryFullHd}},
        GeometryCase{"EngineModeIgnoresTheMonitorMode", twoMonitors, 2, true, true, primaryFullHd, primaryFullHd,
                     {0, 0, 1920, 1040}, {0, 1040, 1920, 1080}, ViewPlan::MainMonitorOnly,
                     {{0, 0, 1920, 1040}}},
        GeometryCase{"ThreeMonitorsPrimarySecond", threeMonitorsPrimarySecond, 2, false, false,
                     {-1920, 0, 3200, 1080}, {0, 0, 5120, 1080}, {1920, 0, 3840, 1080}, none,
                     ViewPlan::SameOnEveryMonitor, {{3840, 0, 5120, 1024}, {0, 0, 1920, 1080}, {1920, 0, 3840, 1080}}},
        GeometryCase{"MonitorAboveMovesTheContentDown", {{primaryFullHd, true}, {{0, -1080, 1920, 0}, false}}, 2,
                     false, true, {0, -1080, 1920, 1080}, {0, 0, 1920, 2160}, {0, 1080, 1920, 2120},
                     {0, 2120, 1920, 2160}, ViewPlan::SameOnEveryMonitor, {{0, 0, 1920, 1080}, {0, 1080, 1920, 2160}}}),
    [](const testing::TestParamInfo<GeometryCase>& info) { return info.param.name; });

TEST(FullScreenGeometryTest, RecordLookupFallsBackToRecordZero)
{
    MonitorLayout layout;
    layout.records = {{{0, 0, 10, 10}, 0}, {{10, 0, 20, 10}, 1}};
    EXPECT_EQ((RECT{10, 0, 20, 10}), recordAt(layout, 1));
    EXPECT_EQ((RECT{0, 0, 10, 10}), recordAt(layout, 2));
    EXPECT_EQ((RECT{0, 0, 10, 10}), recordAt(layout, -1));
}

// The layout is built once; the number of monitors that spreads the views is counted anew.
TEST(FullScreenGeometryTest, MonitorsAreCountedAfresh)
{
    MonitorLayout layout;
    {
        FakeDesktop built(twoMonitors);
        layout.Build();
    }
    FakeDesktop now(oneMonitor);
    const FullScreenLayout screen = computeFullScreen(layout, 2, false, false);
    EXPECT_EQ(ViewPlan::MainMonitorOnly, screen.viewPlan);
    EXPECT_EQ(std::vector<RECT>{screen.htmlRect}, screen.viewRects);
}

TEST(FullScreenGeometryTest, NoMonitorGivesEmptyRectanglesAndOneEmptyView)
{
    FakeDesktop desktop({});
    MonitorLayout layout;
    layout.Build();
    const FullScreenLayout screen = computeFullScreen(layout, 2, false, true);
    EXPECT_EQ(none, screen.screenRect);
    EXPECT_EQ((RECT{0, 0, 0, -40}), screen.htmlRect);
    EXPECT_EQ(std::vector<RECT>{screen.htmlRect}, screen.viewRects);
}

// A pop-up that runs the dialog's OnSize step and records what its WM_SIZE saw.
class SizedWindow : public CWnd {
public:
    SizedWindow()
    {
        CreateEx(0, AfxRegisterWndClass(0), "sized", WS_POPUP | WS_VISIBLE, RECT{0, 0, 320, 200}, nullptr, 0);
    }

    bool fullScreenSet = false;
    bool contentShown = false;
    RECT screensaverRect = {};
    int sizesBeforePlacement = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_SIZE) {
            if (!fullScreenSet)
                ++sizesBeforePlacement;
            applySizeRegion(m_hWnd, fullScreenSet, contentShown, screensaverRect);
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// The window region's box; all zero when the window has no region.
RECT regionBox(HWND window)
{
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    RECT box = {};
    if (GetWindowRgn(window, region) != ERROR)
        GetRgnBox(region, &box);
    DeleteObject(region);
    return box;
}

FullScreenLayout placedAt(const RECT& screen)
{
    FullScreenLayout layout;
    layout.screenRect = screen;
    layout.screensaverRect = {0, 0, screen.right - screen.left, screen.bottom - screen.top};
    return layout;
}

TEST(FullScreenPlacementTest, MovesTheWindowThenSetsTheFlagAndInvalidatesEverything)
{
    SizedWindow window;
    ASSERT_NE(nullptr, window.m_hWnd);
    ValidateRect(window.m_hWnd, nullptr);
    window.sizesBeforePlacement = 0;
    const FullScreenLayout layout = placedAt({100, 50, 900, 650});

    applyFullScreen(window.m_hWnd, layout, window.fullScreenSet);
    EXPECT_TRUE(window.fullScreenSet);
    EXPECT_EQ(1, window.sizesBeforePlacement);
    RECT placed;
    GetWindowRect(window.m_hWnd, &placed);
    EXPECT_EQ(layout.screenRect, placed);
    RECT update;
    ASSERT_TRUE(GetUpdateRect(window.m_hWnd, &update, FALSE));
    EXPECT_EQ(layout.screensaverRect, update);
}

// The no-connection start flags the content as shown before the placement.
TEST(FullScreenPlacementTest, ContentShownBeforeThePlacementGetsTheWindowRegion)
{
    SizedWindow window;
    const FullScreenLayout layout = placedAt({0, 0, 1920, 1080});
    window.screensaverRect = layout.screensaverRect;
    window.contentShown = true;
    applyFullScreen(window.m_hWnd, layout, window.fullScreenSet);
    EXPECT_EQ(layout.screensaverRect, regionBox(window.m_hWnd));
}

TEST(FullScreenPlacementTest, ContentNotShownLeavesTheWindowWithoutRegion)
{
    SizedWindow window;
    const FullScreenLayout layout = placedAt({0, 0, 1920, 1080});
    window.screensaverRect = layout.screensaverRect;
    applyFullScreen(window.m_hWnd, layout, window.fullScreenSet);
    EXPECT_EQ(none, regionBox(window.m_hWnd));
}

TEST(FullScreenPlacementTest, SizeChangesAfterThePlacementLeaveTheRegionAlone)
{
    SizedWindow window;
    window.screensaverRect = {0, 0, 320, 200};
    window.contentShown = true;
    applySizeRegion(window.m_hWnd, false, true, window.screensaverRect);
    ASSERT_EQ(window.screensaverRect, regionBox(window.m_hWnd));

    window.fullScreenSet = true;
    window.screensaverRect = {0, 0, 1920, 1080};
    MoveWindow(window.m_hWnd, 0, 0, 1920, 1080, TRUE);
    EXPECT_EQ((RECT{0, 0, 320, 200}), regionBox(window.m_hWnd));
}

} // namespace
