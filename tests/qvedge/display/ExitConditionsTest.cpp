// The exit conditions of the screensaver dialog, driven with real messages.
#include "tests/qvedge/support/ShowDialog.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Outcome {
    bool close;
    bool quit;
    bool reachesThePage;
};

struct ExitCase {
    const char* name;
    int bits;
    int error;
    UINT message;
    WPARAM wParam;
    Outcome outcome;
};

void PrintTo(const ExitCase& c, std::ostream* out)
{
    *out << c.name;
}

// A page of the show: a child of the dialog that, like a browser's window, wants every key,
// and counts the messages of the case that reach it.
UINT pageWatches = 0;
int pageReceived = 0;

LRESULT CALLBACK pageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETDLGCODE)
        return DLGC_WANTALLKEYS;
    if (message == pageWatches)
        ++pageReceived;
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND createPage(HWND dialog)
{
    WNDCLASSA pageClass = {};
    pageClass.lpfnWndProc = pageProc;
    pageClass.hInstance = GetModuleHandleA(nullptr);
    pageClass.lpszClassName = "QuorvelTestPage";
    RegisterClassA(&pageClass);
    RECT client;
    GetClientRect(dialog, &client);
    return CreateWindowExA(0, pageClass.lpszClassName, "", WS_CHILD | WS_VISIBLE, 0, 0, client.right,
                           client.bottom, dialog, nullptr, pageClass.hInstance, nullptr);
}

class ExitConditionTest : public ::testing::TestWithParam<ExitCase> {};

// The message goes to the page as the show's loop hands it over: pre-translated, and
// dispatched when nothing took it.
TEST_P(ExitConditionTest, PostsTheEndThatTheBitsAskForAndPassesTheRestToThePage)
{
    const ExitCase& c = GetParam();
    auto dialog = createShowDialog(ShowOptions{FALSE, false, 2, c.error, false, TRUE, c.bits});
    HWND hwnd = dialog->m_hWnd;
    // Other tests' windows may take the activation away; the hold keeps that from closing.
    dialog->testHold = TRUE;
    HWND page = createPage(hwnd);
    ASSERT_NE(page, nullptr);
    pageWatches = c.message;
    pageReceived = 0;
    MSG msg{page, c.message, c.wParam, 0};
    if (!AfxPreTranslateMessage(&msg))
        DispatchMessageA(&msg);
    EXPECT_TRUE(dialog->conditionsSet);
    EXPECT_EQ(takePosted(hwnd, WM_CLOSE), c.outcome.close);
    EXPECT_FALSE(takePosted(hwnd, WM_CLOSE));
    EXPECT_EQ(takePosted(hwnd, WM_KbdMouseQuit), c.outcome.quit);
    EXPECT_EQ(pageReceived, c.outcome.reachesThePage ? 1 : 0);
}

constexpr Outcome CLOSES{true, false, true};
constexpr Outcome QUITS{false, true, false};
constexpr Outcome PASSED_ON{false, false, true};
constexpr Outcome SWALLOWED{false, false, false};

INSTANTIATE_TEST_SUITE_P(
    Cases, ExitConditionTest,
    ::testing::Values(
        ExitCase{"EscBitEndsOnEsc", EXIT_ESC_KEY, 0, WM_KEYDOWN, VK_ESCAPE, CLOSES},
        ExitCase{"EscBitIgnoresOtherKeys", EXIT_ESC_KEY, 0, WM_KEYDOWN, 'A', PASSED_ON},
        ExitCase{"EscBitIgnoresButtons", EXIT_ESC_KEY, 0, WM_LBUTTONUP, 0, PASSED_ON},
        ExitCase{"KeyBitEndsOnAnyKey", EXIT_KEYBOARD, 0, WM_KEYDOWN, 'A', CLOSES},
        ExitCase{"KeyBitEndsOnEsc", EXIT_KEYBOARD, 0, WM_KEYDOWN, VK_ESCAPE, CLOSES},
        ExitCase{"AltKeyIsNoKey", EXIT_KEYBOARD, 0, WM_SYSKEYDOWN, 'A', PASSED_ON},
        ExitCase{"ButtonBitEndsOnLeftUp", EXIT_MOUSE_BUTTON, 0, WM_LBUTTONUP, 0, QUITS},
        ExitCase{"ButtonBitEndsOnRightUp", EXIT_MOUSE_BUTTON, 0, WM_RBUTTONUP, 0, QUITS},
        ExitCase{"ButtonBitEndsOnMiddleUp", EXIT_MOUSE_BUTTON, 0, WM_MBUTTONUP, 0, QUITS},
        ExitCase{"ButtonBitLeavesTheLeftPressToThePage", EXIT_MOUSE_BUTTON, 0, WM_LBUTTONDOWN, MK_LBUTTON, PASSED_ON},
        ExitCase{"LeftUpWithoutBitReachesThePage", 0, 0, WM_LBUTTONUP, 0, PASSED_ON},
        ExitCase{"RightUpWithoutBitIsSwallowed", 0, 0, WM_RBUTTONUP, 0, SWALLOWED},
        ExitCase{"MiddleUpWithoutBitIsSwallowed", 0, 0, WM_MBUTTONUP, 0, SWALLOWED},
        ExitCase{"ShiftClickIsSwallowed", EXIT_MOUSE_BUTTON, 0, WM_LBUTTONDOWN, MK_SHIFT | MK_LBUTTON, SWALLOWED},
        ExitCase{"ShiftClickWithoutBitIsSwallowed", 0, 0, WM_LBUTTONDOWN, MK_SHIFT | MK_LBUTTON, SWALLOWED},
        ExitCase{"ShiftReleaseEndsLikeAnyLeftUp", EXIT_MOUSE_BUTTON, 0, WM_LBUTTONUP, MK_SHIFT, QUITS},
        ExitCase{"ShiftReleaseWithoutBitReachesThePage", 0, 0, WM_LBUTTONUP, MK_SHIFT, PASSED_ON},
        ExitCase{"NoConfigurationEndsOnAnything", 0, CONFIG_NOT_READABLE, WM_RBUTTONUP, 0, QUITS},
        ExitCase{"NoRegistryPathEndsOnKeys", 0, ERROR_NO_REGISTRY_PATH, WM_KEYDOWN, 'A', CLOSES},
        ExitCase{"BrowserFailureEndsOnEsc", 0, ERROR_BROWSER_INIT, WM_KEYDOWN, VK_ESCAPE, CLOSES},
        ExitCase{"EmptyListKeepsTheBits", 0, 3, WM_KEYDOWN, 'A', PASSED_ON}),
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
