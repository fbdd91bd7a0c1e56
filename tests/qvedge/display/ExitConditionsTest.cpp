// The exit conditions of the screensaver dialog, driven with real messages.
#include "tests/qvedge/support/PackageOpener.h"
#include "tests/qvedge/support/ShowDialog.h"
#include "tests/qvedge/support/SystemInputTurn.h"

#include <gtest/gtest.h>

#include <cstdio>
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

class MouseMoveTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(turn.taken); }

    // The X server reports the pointer back where it is: let those reports arrive first.
    bool moveTo(CQuorvelDlg& dialog, int x, int y)
    {
        SetCursorPos(x, y);
        MSG pending;
        while (PeekMessageA(&pending, nullptr, 0, 0, PM_REMOVE)) {
            if (pending.message == WM_KbdMouseQuit)
                ADD_FAILURE() << "quit posted before the move to " << x << "," << y;
            else
                DispatchMessageA(&pending);
        }
        POINT now;
        GetCursorPos(&now);
        EXPECT_EQ(now.x, x);
        EXPECT_EQ(now.y, y);
        MSG msg{dialog.m_hWnd, WM_MOUSEMOVE, 0, 0};
        dialog.PreTranslateMessage(&msg);
        return takePosted(dialog.m_hWnd, WM_KbdMouseQuit);
    }

    SystemInputTurn turn;
};

TEST_F(MouseMoveTest, EndsOnlyBeyondFivePixelsFromTheStart)
{
    auto dialog = createShowDialog(ShowOptions{FALSE, false, 2, 0, false, TRUE, EXIT_MOUSE_MOVE});
    EXPECT_FALSE(moveTo(*dialog, 100, 100));  // takes the start
    EXPECT_FALSE(moveTo(*dialog, 105, 104));
    EXPECT_FALSE(moveTo(*dialog, 95, 105));
    EXPECT_TRUE(moveTo(*dialog, 106, 100));
    EXPECT_TRUE(moveTo(*dialog, 100, 94));
}

TEST_F(MouseMoveTest, TestHoldTakesNoStartUntilItEnds)
{
    auto dialog = createShowDialog(ShowOptions{TRUE, false, 2, 0, false, TRUE, EXIT_MOUSE_MOVE});
    EXPECT_FALSE(moveTo(*dialog, 100, 100));
    EXPECT_FALSE(moveTo(*dialog, 400, 400));
    SendMessageA(dialog->m_hWnd, WM_TIMER, dialog->timerTestTimeOut, 0);
    EXPECT_FALSE(dialog->testHold);
    EXPECT_FALSE(moveTo(*dialog, 300, 300));  // the first move after the hold takes the start
    EXPECT_TRUE(moveTo(*dialog, 310, 300));
}

class FooterTest : public MouseMoveTest {
protected:
    void SetUp() override
    {
        MouseMoveTest::SetUp();
        theApp.config.showFooter = 1;
        dialog = createShowDialog(ShowOptions{FALSE, false, 2, 0, false, TRUE, EXIT_MOUSE_BUTTON});
        ASSERT_EQ(dialog->footerRect.bottom - dialog->footerRect.top, 40);
        // Any other test's click on this window would come from the pointer: shown on top.
        SetWindowPos(dialog->m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }

    void pointAtFooter() const
    {
        POINT inside{dialog->footerRect.left + 10, dialog->footerRect.top + 10};
        ClientToScreen(dialog->m_hWnd, &inside);
        SetCursorPos(inside.x, inside.y);
    }

    std::unique_ptr<CQuorvelDlg> dialog;
};

TEST_F(FooterTest, HoverShowsTheHandAndAClickOpensTheLinkInstead)
{
    pointAtFooter();
    MSG move{dialog->m_hWnd, WM_MOUSEMOVE, 0, 0};
    dialog->PreTranslateMessage(&move);
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(dialog->m_hWnd, GCLP_HCURSOR)), LoadCursorA(nullptr, IDC_HAND));

    MSG click{dialog->m_hWnd, WM_LBUTTONUP, 0, 0};
    EXPECT_TRUE(dialog->PreTranslateMessage(&click));
    EXPECT_TRUE(takePosted(dialog->m_hWnd, WM_OPENWEBURL));
    EXPECT_FALSE(takePosted(dialog->m_hWnd, WM_KbdMouseQuit));
    EXPECT_FALSE(takePosted(dialog->m_hWnd, WM_CLOSE));
}

TEST_F(FooterTest, OpeningTheLinkClosesTheShow)
{
    // The link is a file of the test's own, opened by the test's own program.
    ASSERT_TRUE(associatePackageOpener());
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string link = std::string(temp) + "footer-link.qvx";
    std::remove((link + ".opened").c_str());
    FILE* file = std::fopen(link.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    theApp.config.footerHref = link.c_str();

    PostMessageA(dialog->m_hWnd, WM_OPENWEBURL, 0, 0);
    EXPECT_EQ(runShowLoop(*dialog), IDCANCEL);
    for (DWORD start = GetTickCount(); openedWith(link).empty() && GetTickCount() - start < 10000;)
        Sleep(50);
    EXPECT_EQ(openedWith(link), link);
}

// The desktop's own deactivations may have been counted already; two more within the
// hold make sure that the first is behind, whatever happened before.
TEST(ExitConditionsTest, LaterDeactivationClosesOutsideTheHold)
{
    auto dialog = createShowDialog();
    HWND hwnd = dialog->m_hWnd;
    dialog->testHold = TRUE;
    SendMessageA(hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
    SendMessageA(hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_FALSE(takePosted(hwnd, WM_CLOSE));
    dialog->testHold = FALSE;
    SendMessageA(hwnd, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_FALSE(takePosted(hwnd, WM_CLOSE));
    SendMessageA(hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_TRUE(takePosted(hwnd, WM_CLOSE));
}

TEST(ExitConditionsTest, AKeyThroughTheLoopEndsTheShow)
{
    auto dialog = createShowDialog(ShowOptions{FALSE, false, 2, 0, false, TRUE, EXIT_KEYBOARD});
    PostMessageA(dialog->m_hWnd, WM_KEYDOWN, 'Q', 0);
    EXPECT_EQ(runShowLoop(*dialog), IDCANCEL);
}

} // namespace
