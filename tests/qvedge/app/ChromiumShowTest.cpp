// Test runs of copies of qvedge.scr on the WebView2 road, with the Chromium-backed runtime
// beside each copy and the real browser. Each copy has a name of its own: the browser's
// user-data folder is named after the program's file.
#include "tests/qvedge/app/ChromiumShow.h"

#include <gtest/gtest.h>

namespace {

struct EndCase {
    const char* name;
    const char* page;
    bool endsByItself;
};

class ChromiumShowEndTest : public testing::TestWithParam<EndCase> {};

TEST_P(ChromiumShowEndTest, EndsByItselfOnlyWhenThePageClosesItself)
{
    if (chromiumtest::pageAddress("/").empty())
        GTEST_SKIP() << "no page server: run through ctest";
    const EndCase& c = GetParam();
    ChromiumShow show(std::string("chromium-") + c.name + ".scr", {c.page});
    ASSERT_TRUE(show.run.program.started);
    if (c.endsByItself) {
        EXPECT_TRUE(show.waitForEnd());
    } else {
        ASSERT_TRUE(show.waitForContent());
        EXPECT_FALSE(waitPumping(show.run.program, 2000)) << "the show ended by itself";
        ASSERT_TRUE(show.close());
    }
    EXPECT_EQ(0u, show.run.program.exitCode());
    EXPECT_FALSE(chromiumtest::browserAnswers(show.userDataFolder())) << "a browser was left behind";
}

INSTANTIATE_TEST_SUITE_P(Pages, ChromiumShowEndTest,
                         testing::Values(EndCase{"closing", "/close/ff0000", true},
                                         EndCase{"staying", "/colour/ff0000", false}),
                         [](const testing::TestParamInfo<EndCase>& info) { return std::string(info.param.name); });

} // namespace
