#include "CWinApp.h"

#include <gtest/gtest.h>

namespace {

TEST(CWinAppTest, OneApplicationObjectIsCurrent)
{
    EXPECT_EQ(AfxGetApp(), nullptr);
    {
        CWinApp app;
        EXPECT_EQ(AfxGetApp(), &app);
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
}

TEST(CWinAppTest, RunLoopsUntilQuitAndExitsWithItsCode)
{
    CWinApp app;
    PostQuitMessage(3);
    EXPECT_EQ(app.Run(), 3);
}

TEST(CWinAppTest, ExitCodeIsZeroWhenNoLoopRan)
{
    CWinApp app;
    EXPECT_EQ(app.ExitInstance(), 0);
}

TEST(CWinAppTest, NamedApplicationKeepsItsName)
{
    CWinApp app("Named");
    app.SetCurrentHandles(GetModuleHandleA(nullptr));
    EXPECT_STREQ(app.m_pszAppName, "Named");
}

} // namespace
