// The sample show that the build packs into a copy of the program.
#include "qvedge/config/QuorvelConf.h"

#include <gtest/gtest.h>

namespace {

TEST(SampleShowTest, TrailerHoldsTheSampleConfiguration)
{
    CQuorvelConf config;
    ASSERT_EQ(config.ReadConfigurationFileSelf(QVEDGE_SAMPLE_SCR), 0);
    EXPECT_EQ(config.author, "The Quorvel sample author");
    EXPECT_EQ(config.showFooter, 1);
    EXPECT_EQ(config.footerTitle, "Quorvel sample show - www.debian.org");
    EXPECT_EQ(config.exitConditions, EXIT_KEYBOARD | EXIT_MOUSE_MOVE | EXIT_MOUSE_BUTTON | EXIT_ESC_KEY);
    EXPECT_EQ(config.multiMonitorMode, MONITOR_SAME_ON_EVERY);
    EXPECT_EQ(config.timeOut, 30000);
    EXPECT_EQ(config.dataFolder, "\\data");
    ASSERT_EQ(config.urlList.size(), 3u);
    config.currentUrl = 2;
    EXPECT_EQ(config.GetCurrentUrl(), "https://www.gnu.org");
}

}  // namespace
