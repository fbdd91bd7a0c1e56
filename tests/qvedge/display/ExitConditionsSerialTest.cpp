// The exit conditions that move the real pointer or depend on activation: run alone, so
// that no other test's window takes the pointer or the activation.
#include "tests/qvedge/support/FakeDesktop.h"
#include "tests/qvedge/support/PackageOpener.h"
#include "tests/qvedge/support/ShowDialog.h"
#include "tests/qvedge/support/SystemInputTurn.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

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

// The show over two monitors, the second left of the primary: the dialog's origin lies left
// of the screen's, so the footer's client coordinates differ from the pointer's screen
// coordinates. The footer lies on the primary monitor, where the pointer can reach it (Xvfb
// has one monitor, and the pointer cannot reach negative coordinates).
class FooterTest : public MouseMoveTest {
protected:
    void SetUp() override
    {
        MouseMoveTest::SetUp();
        desktop = std::make_unique<FakeDesktop>(
            std::vector<FakeMonitor>{{{0, 0, 1920, 1080}, true}, {{-1280, 0, 0, 1024}, false}});
        theApp.config.showFooter = 1;
        dialog = createShowDialog(ShowOptions{FALSE, false, 2, 0, false, TRUE, EXIT_MOUSE_BUTTON});
        RECT window;
        GetWindowRect(dialog->m_hWnd, &window);
        ASSERT_EQ(window.left, -1280);
        ASSERT_EQ(dialog->footerRect.bottom - dialog->footerRect.top, 40);
        // Any other test's click on this window would come from the pointer: shown on top.
        SetWindowPos(dialog->m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }

    // Near the primary monitor's left edge, where the footer's client and screen
    // coordinates lie far apart.
    void pointAtFooter() const
    {
        POINT inside{dialog->footerRect.left + 10, dialog->footerRect.top + 10};
        ClientToScreen(dialog->m_hWnd, &inside);
        SetCursorPos(inside.x, inside.y);
    }

    std::unique_ptr<FakeDesktop> desktop;
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

TEST_F(FooterTest, AClickAboveTheFooterEndsTheShow)
{
    POINT above{dialog->footerRect.left + 10, dialog->footerRect.top - 10};
    ClientToScreen(dialog->m_hWnd, &above);
    SetCursorPos(above.x, above.y);
    MSG click{dialog->m_hWnd, WM_LBUTTONUP, 0, 0};
    EXPECT_TRUE(dialog->PreTranslateMessage(&click));
    EXPECT_FALSE(takePosted(dialog->m_hWnd, WM_OPENWEBURL));
    EXPECT_TRUE(takePosted(dialog->m_hWnd, WM_KbdMouseQuit));
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

TEST(ExitConditionsTest, FirstDeactivationLeavesTheShowRunningTheNextClosesIt)
{
    auto dialog = createShowDialog();
    HWND hwnd = dialog->m_hWnd;
    // Whatever the desktop did while the dialog was made, the run's first deactivation is
    // still to come.
    exitWatch.firstDeactivationSeen = false;
    SendMessageA(hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_FALSE(takePosted(hwnd, WM_CLOSE));
    SendMessageA(hwnd, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_FALSE(takePosted(hwnd, WM_CLOSE));
    SendMessageA(hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_TRUE(takePosted(hwnd, WM_CLOSE));
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

} // namespace
