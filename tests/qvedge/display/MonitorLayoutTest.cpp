#include "qvedge/display/MonitorLayout.h"

#include "tests/qvedge/support/FakeDesktop.h"
#include "tests/qvedge/support/RectTesting.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

const RECT primaryFullHd = {0, 0, 1920, 1080};

struct LayoutCase {
    std::string name;
    std::vector<FakeMonitor> desktop;
    int primaryPosition;
    RECT primaryRect;
    RECT bounds;
    std::vector<RECT> records;  // after Normalise, in record order
    std::vector<RECT> rects;    // unshifted, in record order
};

void PrintTo(const LayoutCase& c, std::ostream* out)
{
    *out << c.name;
}

class MonitorLayoutBuildTest : public testing::TestWithParam<LayoutCase> {};

TEST_P(MonitorLayoutBuildTest, LaysOutTheDesktop)
{
    const LayoutCase& c = GetParam();
    FakeDesktop desktop(c.desktop);
    MonitorLayout layout;
    layout.Build();

    EXPECT_EQ(static_cast<int>(c.desktop.size()), layout.monitorCount);
    EXPECT_EQ(c.primaryPosition, layout.primaryPosition);
    EXPECT_EQ(c.primaryRect, layout.primaryRect);
    EXPECT_EQ(c.bounds, layout.bounds);
    ASSERT_EQ(c.records.size(), layout.records.size());
    for (size_t k = 0; k < c.records.size(); ++k) {
        EXPECT_EQ(c.records[k], layout.records[k].rect) << "record " << k;
        EXPECT_EQ(static_cast<int>(k), layout.records[k].index) << "record " << k;
    }
    EXPECT_EQ(c.rects, layout.rects);
    EXPECT_EQ(layout.monitorCount + 3, desktop.enumerations);
    EXPECT_FALSE(desktop.unexpectedArguments);
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, MonitorLayoutBuildTest,
    testing::Values(
        LayoutCase{"OneMonitor", {{primaryFullHd, true}}, 1, primaryFullHd, primaryFullHd,
                   {primaryFullHd}, {primaryFullHd}},
        // The last-enumerated monitor goes into record 0.
        LayoutCase{"PrimaryFirstSecondOnTheLeft",
                   {{primaryFullHd, true}, {{-1280, 0, 0, 1024}, false}},
                   1,
                   primaryFullHd,
                   {-1280, 0, 1920, 1080},
                   {{0, 0, 1280, 1024}, {1280, 0, 3200, 1080}},
                   {{-1280, 0, 0, 1024}, primaryFullHd}},
        LayoutCase{"ThreeMonitorsPrimarySecond",
                   {{{-1920, 0, 0, 1080}, false}, {primaryFullHd, true}, {{1920, 0, 3200, 1024}, false}},
                   2,
                   primaryFullHd,
                   {-1920, 0, 3200, 1080},
                   {{3840, 0, 5120, 1024}, {0, 0, 1920, 1080}, {1920, 0, 3840, 1080}},
                   {{1920, 0, 3200, 1024}, {-1920, 0, 0, 1080}, primaryFullHd}},
        LayoutCase{"MonitorAboveShiftsEveryRecordDown",
                   {{primaryFullHd, true}, {{0, -1080, 1920, 0}, false}},
                   1,
                   primaryFullHd,
                   {0, -1080, 1920, 1080},
                   {{0, 0, 1920, 1080}, {0, 1080, 1920, 2160}},
                   {{0, -1080, 1920, 0}, primaryFullHd}},
        LayoutCase{"MonitorAboveLeftShiftsBothWays",
                   {{primaryFullHd, true}, {{-1280, -200, 0, 824}, false}},
                   1,
                   primaryFullHd,
                   {-1280, -200, 1920, 1080},
                   {{0, 0, 1280, 1024}, {1280, 200, 3200, 1280}},
                   {{-1280, -200, 0, 824}, primaryFullHd}},
        LayoutCase{"MonitorsRightAndBelowShiftNothing",
                   {{primaryFullHd, true}, {{1920, 300, 3200, 1324}, false}, {{0, 1080, 1920, 2160}, false}},
                   1,
                   primaryFullHd,
                   {0, 0, 3200, 2160},
                   {{0, 1080, 1920, 2160}, primaryFullHd, {1920, 300, 3200, 1324}},
                   {{0, 1080, 1920, 2160}, primaryFullHd, {1920, 300, 3200, 1324}}}),
    [](const testing::TestParamInfo<LayoutCase>& info) { return info.param.name; });

// SetFullScreen's lookup: record p for p below the record count, else record 0.
TEST(MonitorLayoutTest, RecordLookupFindsTheMonitorAtEveryPosition)
{
    std::vector<FakeMonitor> monitors = {{{-1920, 0, 0, 1080}, false},
                                         {primaryFullHd, true},
                                         {{1920, 0, 3200, 1024}, false},
                                         {{3200, 0, 4480, 1024}, false}};
    FakeDesktop desktop(monitors);
    MonitorLayout layout;
    layout.Build();
    for (int p = 1; p <= layout.monitorCount; ++p) {
        size_t k = p < static_cast<int>(layout.records.size()) ? p : 0;
        EXPECT_EQ(monitors[p - 1].rect, layout.rects[k]) << "position " << p;
    }
}

TEST(MonitorLayoutTest, NoMonitorLeavesTheLayoutEmpty)
{
    FakeDesktop desktop({});
    MonitorLayout layout;
    layout.Build();
    EXPECT_EQ(0, layout.monitorCount);
    EXPECT_EQ(0, layout.primaryPosition);
    EXPECT_TRUE(layout.records.empty());
    EXPECT_TRUE(layout.rects.empty());
    EXPECT_EQ((RECT{0, 0, 0, 0}), layout.bounds);
    EXPECT_EQ((RECT{0, 0, 0, 0}), layout.primaryRect);
}

TEST(MonitorEnumerationTest, PrimaryPositionStopsAtThePrimaryWithItsRectangle)
{
    RECT primary = {0, 0, 1280, 1024};
    FakeDesktop desktop({{{-1920, 0, 0, 1080}, false}, {{1280, 0, 2560, 1024}, false},
                         {primary, true}, {{2560, 0, 3840, 1024}, false}});
    MonitorEnumContext context = enumerateMonitors(-1, 1);
    EXPECT_EQ(3, context.count);
    EXPECT_EQ(primary, context.monitorRect);
    EXPECT_EQ(3, primaryMonitorPosition());
    EXPECT_EQ(4, countMonitors());
}

// The error box's road: the primary's position, then an enumeration that stops there.
TEST(MonitorEnumerationTest, StoppingAtAPositionGivesThatMonitor)
{
    RECT second = {1920, 0, 3200, 1024};
    FakeDesktop desktop({{primaryFullHd, true}, {second, false}, {{3200, 0, 4480, 1024}, false}});
    MonitorEnumContext context = enumerateMonitors(2, 0);
    EXPECT_EQ(2, context.count);
    EXPECT_EQ(second, context.monitorRect);
}

TEST(MonitorEnumerationTest, WithoutAPrimaryThePositionIsTheCount)
{
    FakeDesktop desktop({{primaryFullHd, false}, {{1920, 0, 3200, 1024}, false}});
    EXPECT_EQ(2, primaryMonitorPosition());
}

TEST(MonitorEnumerationTest, UnreadableMonitorInformationCountsAsNotPrimary)
{
    FakeDesktop desktop({{primaryFullHd, true, false}, {{1920, 0, 3200, 1024}, true}});
    EXPECT_EQ(2, primaryMonitorPosition());
}

TEST(MonitorLayoutTest, NormaliseMovesOnlyTheRecords)
{
    MonitorLayout layout;
    layout.records = {{{0, 0, 100, 100}, 0}, {{-50, -20, 0, 80}, 1}};
    layout.rects = {{0, 0, 100, 100}, {-50, -20, 0, 80}};
    layout.bounds = {-50, -20, 100, 100};
    layout.Normalise();
    EXPECT_EQ((RECT{50, 20, 150, 120}), layout.records[0].rect);
    EXPECT_EQ((RECT{0, 0, 50, 100}), layout.records[1].rect);
    EXPECT_EQ((RECT{-50, -20, 0, 80}), layout.rects[1]);
    EXPECT_EQ((RECT{-50, -20, 100, 100}), layout.bounds);
}

// Under Xvfb the desktop is one 1920x1080 monitor.
TEST(MonitorLayoutSystemTest, BuildsTheRealDesktop)
{
    MonitorLayout layout;
    layout.Build();
    EXPECT_EQ(1, layout.monitorCount);
    EXPECT_EQ(1, layout.primaryPosition);
    EXPECT_EQ(primaryFullHd, layout.primaryRect);
    EXPECT_EQ(primaryFullHd, layout.bounds);
    ASSERT_EQ(1u, layout.records.size());
    EXPECT_EQ(primaryFullHd, layout.records[0].rect);
}

}  // namespace
