#include "framework/CAnimateCtrl.h"

#include "tests/framework/res/test_framework_resource.h"

#include <commctrl.h>

#include <gtest/gtest.h>

namespace {

class CAnimateCtrlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_ANIMATE_CLASS};
        InitCommonControlsEx(&controls);
        parent.m_hWnd = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 200, nullptr, nullptr,
                                        nullptr, nullptr);
        ASSERT_NE(parent.m_hWnd, nullptr);
        ASSERT_TRUE(animation.Create(WS_CHILD | WS_VISIBLE | ACS_TRANSPARENT | ACS_CENTER, RECT{0, 0, 400, 200},
                                     &parent, 131));
    }
    void TearDown() override { DestroyWindow(parent.m_hWnd); }

    CWnd parent;
    CAnimateCtrl animation;
};

TEST_F(CAnimateCtrlTest, CreatesAChildWithItsIdAndStyle)
{
    EXPECT_EQ(GetParent(animation.m_hWnd), parent.m_hWnd);
    EXPECT_EQ(GetDlgCtrlID(animation.m_hWnd), 131);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(animation.m_hWnd, GWL_STYLE)) & 0xFFFF0003u, 0x50000003u);
}

TEST_F(CAnimateCtrlTest, OpensPlaysStopsAndClosesAClipOfTheResources)
{
    EXPECT_TRUE(animation.Open(IDR_TEST_AVI));
    EXPECT_TRUE(animation.Play(0, 0xFFFF, static_cast<UINT>(-1)));
    EXPECT_TRUE(animation.Stop());
    EXPECT_TRUE(animation.Close());
    // Without a clip there is nothing to play.
    EXPECT_FALSE(animation.Play(0, 0xFFFF, 1));
}

TEST_F(CAnimateCtrlTest, AMissingClipDoesNotOpen)
{
    EXPECT_FALSE(animation.Open(9999));
}

} // namespace
