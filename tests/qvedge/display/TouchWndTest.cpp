// Wine has no touch input (RegisterTouchWindow is a stub, no WM_TOUCH can be made), so the
// touch handler and the close request are called and sent directly.
#include "qvedge/display/TouchWnd.h"
#include "tests/qvedge/support/ShowDialog.h"

#include <gtest/gtest.h>

namespace {

class TouchWndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog = createShowDialog();
        dialog->testHold = TRUE;
        touch = &dialog->touchWindow;
        ASSERT_NE(touch->m_hWnd, nullptr);
    }
    std::unique_ptr<CQuorvelDlg> dialog;
    CTouchWnd* touch = nullptr;
};

TEST_F(TouchWndTest, EachTouchAsksTheShowToClose)
{
    TOUCHINPUT input{};
    EXPECT_TRUE(touch->OnTouchInput(POINT{10, 10}, 0, 2, &input));
    EXPECT_TRUE(touch->OnTouchInput(POINT{20, 20}, 1, 2, &input));
    EXPECT_TRUE(takePosted(dialog->m_hWnd, WM_CLOSE));
    EXPECT_TRUE(takePosted(dialog->m_hWnd, WM_CLOSE));
}

TEST_F(TouchWndTest, CloseRequestGoesToTheShowAndTheWindowStays)
{
    SendMessageA(touch->m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(touch->m_hWnd));
    // The posted close ends the show's loop.
    EXPECT_EQ(runShowLoop(*dialog), IDCANCEL);
}

TEST_F(TouchWndTest, EnterAndEscLeaveItAndItNeverErases)
{
    SendMessageA(touch->m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    SendMessageA(touch->m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(IsWindow(touch->m_hWnd));
    EXPECT_FALSE(takePosted(dialog->m_hWnd, WM_CLOSE));
    HDC dc = GetDC(touch->m_hWnd);
    EXPECT_EQ(SendMessageA(touch->m_hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 0);
    ReleaseDC(touch->m_hWnd, dc);
}

TEST_F(TouchWndTest, RegistrationIsTheSystemsToRefuse)
{
    // Under Wine the registration fails; on Windows with a touch screen it holds.
    BOOL registered = IsTouchWindow(touch->m_hWnd, nullptr);
    if (!registered)
        GTEST_SKIP() << "no touch support on this system (Wine's RegisterTouchWindow is a stub)";
    ULONG flags = 0;
    IsTouchWindow(touch->m_hWnd, &flags);
    EXPECT_TRUE(flags & TWF_WANTPALM);
}

} // namespace
