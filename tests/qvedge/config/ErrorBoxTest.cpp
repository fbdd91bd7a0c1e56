// The error box's callback through a clock of the test's own, and the real box.
// Every case starts as in a process of its own, so the callback's first call is the case's own.
#include "qvedge/config/ErrorBox.h"

#include "framework/Win.h"
#include "tests/qvedge/support/ErrorBoxWindow.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

std::atomic<time_t> fakeNow{0};

time_t fakeClock()
{
    return fakeNow;
}

// The place the callback is expected to choose after srand(seed).
POINT expectedPlace(unsigned seed, const ErrorBoxRecord& record)
{
    std::srand(seed);
    const int first = std::rand();
    const int second = std::rand();
    std::srand(seed);
    return {record.left + first * (record.right - record.left - 300) / 32767,
            record.top + second * (record.bottom - record.top - 100) / 32767};
}

class ErrorBoxProcTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        errorBoxClock = fakeClock;
        fakeNow = 1000;
        box = CreateWindowExA(0, "STATIC", "box", WS_POPUP | WS_VISIBLE, 5, 6, 200, 80, nullptr, nullptr, nullptr,
                              nullptr);
        ASSERT_NE(box, nullptr);
    }
    void TearDown() override { DestroyWindow(box); }

    HRESULT notify(UINT notification, time_t now)
    {
        fakeNow = now;
        return ErrorBoxProc(box, notification, 0, 0, reinterpret_cast<LONG_PTR>(&record));
    }
    RECT boxRect() const
    {
        RECT rect;
        GetWindowRect(box, &rect);
        return rect;
    }
    void expectBoxAt(POINT place) const
    {
        const RECT rect = boxRect();
        EXPECT_EQ(rect.left, place.x);
        EXPECT_EQ(rect.top, place.y);
        EXPECT_EQ(rect.right - rect.left, 200);
        EXPECT_EQ(rect.bottom - rect.top, 80);
        EXPECT_EQ(record.x, place.x);
        EXPECT_EQ(record.y, place.y);
    }

    HWND box = nullptr;
    ErrorBoxRecord record = {100, 50, 1380, 1074, 0, 0};
};

TEST_F(ErrorBoxProcTest, StaysForFifteenSecondsAfterTheFirstCallThenMovesOnATimer)
{
    EXPECT_EQ(notify(TDN_CREATED, 1000), S_OK);
    EXPECT_EQ(notify(TDN_TIMER, 1015), S_OK);
    EXPECT_EQ(boxRect().left, 5);
    // Only a timer notification moves the box.
    EXPECT_EQ(notify(TDN_BUTTON_CLICKED, 1016), S_OK);
    EXPECT_EQ(boxRect().left, 5);

    const POINT place = expectedPlace(7, record);
    EXPECT_EQ(notify(TDN_TIMER, 1016), S_FALSE);
    expectBoxAt(place);
}

TEST_F(ErrorBoxProcTest, EachMoveStartsTheNextFifteenSeconds)
{
    notify(TDN_TIMER, 1000);
    const POINT first = expectedPlace(7, record);
    EXPECT_EQ(notify(TDN_TIMER, 1020), S_FALSE);
    expectBoxAt(first);
    EXPECT_EQ(notify(TDN_TIMER, 1035), S_OK);
    expectBoxAt(first);

    const POINT second = expectedPlace(11, record);
    EXPECT_EQ(notify(TDN_TIMER, 1036), S_FALSE);
    expectBoxAt(second);
}

TEST_F(ErrorBoxProcTest, FirstCallIsAnyNotificationTheTimerToo)
{
    EXPECT_EQ(notify(TDN_TIMER, 500), S_OK);
    EXPECT_EQ(notify(TDN_TIMER, 515), S_OK);
    EXPECT_EQ(notify(TDN_TIMER, 516), S_FALSE);
}

TEST_F(ErrorBoxProcTest, ClockGoingBackDoesNotMoveTheBox)
{
    notify(TDN_CREATED, 1000);
    EXPECT_EQ(notify(TDN_TIMER, 900), S_OK);
    EXPECT_EQ(notify(TDN_TIMER, 1000 - 16), S_OK);
    EXPECT_EQ(boxRect().left, 5);
}

struct PlaceCase {
    const char* name;
    ErrorBoxRecord record;
};

class ErrorBoxPlaceTest : public ErrorBoxProcTest, public ::testing::WithParamInterface<PlaceCase> {};

// The range keeps a 300 x 100 box inside the monitor; on a smaller monitor it is
// negative and the box may land left of or above it.
TEST_P(ErrorBoxPlaceTest, RandomPlaceFollowsTheMonitor)
{
    record = GetParam().record;
    notify(TDN_CREATED, 1000);
    const POINT place = expectedPlace(12345, record);
    ASSERT_EQ(notify(TDN_TIMER, 1100), S_FALSE);
    expectBoxAt(place);
    const int width = record.right - record.left - 300;
    const int height = record.bottom - record.top - 100;
    EXPECT_LE(std::abs(place.x - record.left), std::abs(width));
    EXPECT_LE(std::abs(place.y - record.top), std::abs(height));
    if (width < 0) {
        EXPECT_LE(place.x, record.left);
    }
}

INSTANTIATE_TEST_SUITE_P(Monitors, ErrorBoxPlaceTest,
                         ::testing::Values(PlaceCase{"Primary", {0, 0, 1920, 1080, 0, 0}},
                                           PlaceCase{"LeftOfPrimary", {-1280, 0, 0, 1024, 0, 0}},
                                           PlaceCase{"Narrow", {10, 20, 210, 100, 0, 0}},
                                           PlaceCase{"ExactlyTheBox", {0, 0, 300, 100, 0, 0}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ErrorBoxTest, TaskDialogComesFromCommonControls6)
{
    // The test program carries the screensaver's manifest, as qvedge.scr does.
    HMODULE comctl = GetModuleHandleA("comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    char path[MAX_PATH] = {};
    GetModuleFileNameA(comctl, path, MAX_PATH);
    EXPECT_NE(std::strstr(CharLowerA(path), "winsxs"), nullptr) << path;
    EXPECT_NE(GetProcAddress(comctl, MAKEINTRESOURCEA(TASK_DIALOG_INDIRECT_ORDINAL)), nullptr);
}

// The box as shown: its title, warning icon and text, its move on the given monitor once
// the clock has run on, and the OK button that ends it.
TEST(ErrorBoxTest, RealBoxShowsTheWarningAndTheMessageMovesAndClosesWithOk)
{
    errorBoxClock = fakeClock;
    fakeNow = 1000;
    const RECT monitor = {100, 50, 900, 650};
    const POINT place = expectedPlace(99, {monitor.left, monitor.top, monitor.right, monitor.bottom, 0, 0});

    bool found = false;
    bool textShown = false;
    HICON icon = nullptr;
    bool moved = false;
    std::thread watcher([&] {
        HWND box = waitForErrorBox(GetCurrentProcessId(), 20000);
        found = box != nullptr;
        if (!found)
            return;
        textShown = showsText(box, "Error: Could not read configuration file.");
        icon = shownIcon(box);
        fakeNow = 2000;
        moved = waitForPosition(box, place.x, place.y, 5000);
        clickOk(box);
    });
    const HRESULT result = showErrorBox("Error: Could not read configuration file.", monitor);
    watcher.join();

    EXPECT_EQ(result, S_OK);
    EXPECT_TRUE(found);
    EXPECT_TRUE(textShown);
    // The system's shared icons: the same handle wherever they are shown.
    ASSERT_NE(LoadIconA(nullptr, IDI_WARNING), LoadIconA(nullptr, IDI_ERROR));
    EXPECT_EQ(icon, LoadIconA(nullptr, IDI_WARNING));
    EXPECT_TRUE(moved);
}

TEST(ErrorBoxTest, LongMessageIsCutToTheBuffer)
{
    const std::string message(3000, 'x');
    std::string shown;
    std::thread watcher([&] {
        HWND box = waitForErrorBox(GetCurrentProcessId(), 20000);
        if (!box)
            return;
        for (const std::string& text : controlTexts(box))
            if (!text.empty() && text[0] == 'x')
                shown = text;
        clickOk(box);
    });
    EXPECT_EQ(showErrorBox(message.c_str(), {0, 0, 1920, 1080}), S_OK);
    watcher.join();
    EXPECT_EQ(shown, std::string(ERROR_BOX_MESSAGE_LENGTH - 1, 'x'));
}

} // namespace
