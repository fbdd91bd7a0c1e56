#include "framework/AtlModule.h"
#include "framework/CWinApp.h"
#include "framework/OleInit.h"

#include <gtest/gtest.h>

namespace {

TEST(AtlModuleTest, LocksAreTheApplicationsOleObjectCount)
{
    CWinApp app;
    ATL::CAtlMfcModule module;
    EXPECT_EQ(&module, ATL::currentModule());
    EXPECT_EQ(1, module.Lock());
    EXPECT_EQ(2, module.Lock());
    EXPECT_EQ(2, app.oleObjectCount);
    EXPECT_EQ(2, module.GetLockCount());
    EXPECT_EQ(1, module.Unlock());
    AfxOleLockApp();
    EXPECT_EQ(2, module.GetLockCount());
    AfxOleUnlockApp();
    EXPECT_EQ(0, module.Unlock());
    EXPECT_EQ(0, app.oleObjectCount);
}

TEST(AtlModuleTest, WithoutAnApplicationNothingIsCounted)
{
    ATL::CAtlMfcModule module;
    EXPECT_EQ(0, module.Lock());
    EXPECT_EQ(0, module.GetLockCount());
    EXPECT_EQ(0, module.Unlock());
}

} // namespace
