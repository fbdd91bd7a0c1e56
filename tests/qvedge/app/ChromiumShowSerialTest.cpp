// A test run on the real browser that a key ends after the browser has gone.
#include "tests/qvedge/app/ChromiumShow.h"
#include "tests/qvedge/support/SystemInputTurn.h"

#include <gtest/gtest.h>

namespace {

TEST(ChromiumShowSerialTest, ABrowserEndedDuringTheShowLeavesItEndableByAKey)
{
    if (chromiumtest::pageAddress("/").empty())
        GTEST_SKIP() << "no page server: run through ctest";
    SystemInputTurn turn;
    ASSERT_TRUE(turn.taken);
    ChromiumShow show("chromium-gone.scr", {"/colour/ff0000"});
    ASSERT_TRUE(show.run.program.started);
    ASSERT_TRUE(show.waitForContent());
    ASSERT_TRUE(chromiumtest::endBrowser(show.userDataFolder()));
    ASSERT_TRUE(chromiumtest::pumpUntil([&] { return !chromiumtest::browserAnswers(show.userDataFolder()); }));
    EXPECT_FALSE(waitPumping(show.run.program, 1000)) << "the show ended with the browser";
    sendKey('Q', false);
    sendKey('Q', true);
    EXPECT_TRUE(show.waitForEnd());
    EXPECT_EQ(0u, show.run.program.exitCode());
}

} // namespace
