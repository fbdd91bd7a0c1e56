// The exit conditions of the screensaver dialog, driven with real messages.
#include "tests/qvedge/support/ShowDialog.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Outcome {
    bool close;
    bool quit;
    bool consumed;
};

struct ExitCase {
    const char* name;
    int bits;
    int error;
    UINT message;
    WPARAM wParam;
    Outcome outcome;
};

class ExitConditionTest : public ::testing::TestWithParam<ExitCase> {};

TEST_P(ExitConditionTest, PostsTheEndThatTheBitsAskFor)
{
    const ExitCase& c = GetParam();
    auto dialog = createShowDialog(ShowOptions{FALSE, false, 2, c.error, false, TRUE, c.bits});
    HWND hwnd = dialog->m_hWnd;
    // Other tests' windows may take the activation away; the hold keeps that from closing.
    dialog->testHold = TRUE;
    MSG msg{hwnd, c.message, c.wParam, 0};
    const BOOL consumed = dialog->PreTranslateMessage(&msg);
    EXPECT_TRUE(dialog->conditionsSet);
    EXPECT_EQ(takePosted(hwnd, WM_CLOSE), c.outcome.close);
    EXPECT_FALSE(takePosted(hwnd, WM_CLOSE));
    EXPECT_EQ(takePosted(hwnd, WM_KbdMouseQuit), c.outcome.quit);
    EXPECT_EQ(consumed != 0, c.outcome.consumed);
}

constexpr Outcome CLOSES{true, false, false};
constexpr Outcome QUITS{false, true, true};
// Passed on, a message to the dialog is taken by the dialog manager.
constexpr Outcome IGNORED{false, false, true};
constexpr Outcome SWALLOWED{false, false, true};

INSTANTIATE_TEST_SUITE_P(
    Cases, ExitConditionTest,
    ::testing::Values(
        ExitCase{"EscBitEndsOnEsc", EXIT_ESC_KEY, 0, WM_KEYDOWN, VK_ESCAPE, {true, false, true}},
        ExitCase{"EscBitIgnoresOtherKeys", EXIT_ESC_KEY, 0, WM_KEYDOWN, 'A', {false, false, true}},
        ExitCase{"EscBitIgnoresButtons", EXIT_ESC_KEY, 0, WM_LBUTTONUP, 0, IGNORED},
        ExitCase{"KeyBitEndsOnAnyKey", EXIT_KEYBOARD, 0, WM_KEYDOWN, 'A', {true, false, true}},
        ExitCase{"KeyBitEndsOnEsc", EXIT_KEYBOARD, 0, WM_KEYDOWN, VK_ESCAPE, {true, false, true}},
        ExitCase{"AltKeyIsNoKey", EXIT_KEYBOARD, 0, WM_SYSKEYDOWN, 'A', {false, false, true}},
        ExitCase{"ButtonBitEndsOnLeftUp", EXIT_MOUSE_BUTTON, 0, WM_LBUTTONUP, 0, QUITS},
        ExitCase{"ButtonBitEndsOnRightUp", EXIT_MOUSE_BUTTON, 0, WM_RBUTTONUP, 0, QUITS},
        ExitCase{"ButtonBitEndsOnMiddleUp", EXIT_MOUSE_BUTTON, 0, WM_MBUTTONUP, 0, QUITS},
        ExitCase{"RightUpWithoutBitIsSwallowed", 0, 0, WM_RBUTTONUP, 0, SWALLOWED},
        ExitCase{"ShiftClickIsSwallowed", EXIT_MOUSE_BUTTON, 0, WM_LBUTTONDOWN, MK_SHIFT | MK_LBUTTON, SWALLOWED},
        ExitCase{"NoConfigurationEndsOnAnything", 0, CONFIG_NOT_READABLE, WM_RBUTTONUP, 0, QUITS},
        ExitCase{"NoRegistryPathEndsOnKeys", 0, ERROR_NO_REGISTRY_PATH, WM_KEYDOWN, 'A', {true, false, true}},
        ExitCase{"BrowserFailureEndsOnEsc", 0, ERROR_BROWSER_INIT, WM_KEYDOWN, VK_ESCAPE, {true, false, true}},
        ExitCase{"EmptyListKeepsTheBits", 0, 3, WM_KEYDOWN, 'A', {false, false, true}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExitConditionsTest, BitsBecomeFlagsAndMouseMoveHidesTheCursor)
{
    auto dialog = createShowDialog(ShowOptions{FALSE, false, 2, 0, false, TRUE, EXIT_MOUSE_MOVE | EXIT_TOUCH});
    EXPECT_TRUE(dialog->exitMouseMove && dialog->exitTouch);
    EXPECT_FALSE(dialog->exitKeys || dialog->exitEscKey || dialog->exitMouseButton);
    // The display count went below 0 once: the next ShowCursor(TRUE) brings it back to 0.
    EXPECT_EQ(ShowCursor(TRUE), 0);
}

TEST(ExitConditionsTest, WithoutMouseMoveTheCursorStays)
{
    auto dialog = createShowDialog(ShowOptions{FALSE, false, 2, 0, false, TRUE, EXIT_ESC_KEY});
    EXPECT_EQ(ShowCursor(TRUE), 1);
}

TEST(ExitConditionsTest, AKeyThroughTheLoopEndsTheShow)
{
    auto dialog = createShowDialog(ShowOptions{FALSE, false, 2, 0, false, TRUE, EXIT_KEYBOARD});
    PostMessageA(dialog->m_hWnd, WM_KEYDOWN, 'Q', 0);
    EXPECT_EQ(runShowLoop(*dialog), IDCANCEL);
}

// A refused position leaves the point as it was: here, one that would end the show or hit
// the footer if it were taken for the pointer's.
POINT leftOverPoint;

BOOL WINAPI refusedCursorPosition(LPPOINT point)
{
    *point = leftOverPoint;
    // Each refusal leaves another point, far from the one before.
    leftOverPoint.x += 1000;
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

class RefusedCursorPositionTest : public ::testing::Test {
protected:
    void SetUp() override { cursorPosition = refusedCursorPosition; }
    void TearDown() override
    {
        cursorPosition = GetCursorPos;
        theApp.config.showFooter = 0;
    }
};

TEST_F(RefusedCursorPositionTest, IsNoMovement)
{
    auto dialog = createShowDialog(ShowOptions{FALSE, false, 2, 0, false, TRUE, EXIT_MOUSE_MOVE});
    HWND hwnd = dialog->m_hWnd;
    leftOverPoint = POINT{0, 0};
    for (int move = 0; move < 3; ++move) {
        MSG msg{hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(10 * move, 10 * move)};
        dialog->PreTranslateMessage(&msg);
    }
    EXPECT_FALSE(takePosted(hwnd, WM_KbdMouseQuit));
}

TEST_F(RefusedCursorPositionTest, IsNoFooterHit)
{
    theApp.config.showFooter = 1;
    auto dialog = createShowDialog(ShowOptions{FALSE, false, 2, 0, false, TRUE, 0});
    HWND hwnd = dialog->m_hWnd;
    const RECT& footer = dialog->footerRect;
    ASSERT_LT(footer.top, footer.bottom);
    leftOverPoint = POINT{(footer.left + footer.right) / 2, (footer.top + footer.bottom) / 2};
    ClientToScreen(hwnd, &leftOverPoint);
    MSG msg{hwnd, WM_LBUTTONUP, 0, 0};
    dialog->PreTranslateMessage(&msg);
    EXPECT_FALSE(takePosted(hwnd, WM_OPENWEBURL));
}

} // namespace
