#include "qvedge/config/QuorvelConf.h"

#include "tests/qvedge/support/LogCapture.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

std::string document(const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<qvconfig>\n" + body + "</qvconfig>\n";
}

const std::string oneAddress = "<urlList><url adr=\"https://a.example/\"/></urlList>";

struct ParseCase {
    const char* name;
    std::string text;
    int result;
    std::function<void(CQuorvelConf&)> before;
    std::function<void(const CQuorvelConf&)> check;
};

void nothing(CQuorvelConf&) {}

class ParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseTest, FillsTheRecord)
{
    CQuorvelConf config;
    GetParam().before(config);
    EXPECT_EQ(config.ParseConfigurationFile(GetParam().text.c_str()), GetParam().result);
    GetParam().check(config);
}

const ParseCase parseCases[] = {
    {"MinimalDocumentTakesTheDefaults", document(oneAddress), 0, nothing,
     [](const CQuorvelConf& c) {
         EXPECT_EQ(c.mode, 0);
         EXPECT_EQ(c.multiMonitorMode, MONITOR_SAME_ON_EVERY);
         EXPECT_EQ(c.exitConditions, 0);
         EXPECT_FALSE(c.random);
         EXPECT_EQ(c.timeOut, 15000);
         EXPECT_EQ(c.showFooter, 0);
         EXPECT_EQ(c.author, "");
         EXPECT_EQ(c.dataFolder, "\\data");
         ASSERT_EQ(c.urlList.size(), 1u);
         EXPECT_EQ(c.urlList[0], "https://a.example/");
         EXPECT_EQ(c.currentUrl, -1);
         EXPECT_EQ(c.firstPass, 1);
     }},
    {"EmptyAddressListSkipsTheLaterSteps",
     document("<urlList></urlList><random value=\"1\"/><timeOut value=\"99\"/>"
              "<footer href=\"h\" title=\"t\"/><author value=\"new\"/>"),
     3,
     [](CQuorvelConf& c) {
         c.author = "old";
         c.footerTitle = "old title";
     },
     [](const CQuorvelConf& c) {
         EXPECT_TRUE(c.urlList.empty());
         EXPECT_EQ(c.timeOut, 0);
         EXPECT_FALSE(c.random);
         EXPECT_EQ(c.showFooter, 0);
         EXPECT_EQ(c.footerTitle, "old title");
         EXPECT_EQ(c.author, "old");
         // The steps before the list did run.
         EXPECT_EQ(c.multiMonitorMode, MONITOR_SAME_ON_EVERY);
         EXPECT_EQ(c.dataFolder, "\\data");
     }},
    {"MissingAddressListIsEmpty", document("<timeOut value=\"5\"/>"), 3, nothing,
     [](const CQuorvelConf& c) { EXPECT_EQ(c.timeOut, 0); }},
    {"IllFormedTextIsAnEmptyList", "not a document <<<", 3, nothing,
     [](const CQuorvelConf& c) {
         EXPECT_TRUE(c.urlList.empty());
         EXPECT_EQ(c.multiMonitorMode, MONITOR_SAME_ON_EVERY);
     }},
    {"EmptyTextIsAnEmptyList", "", 3, nothing, [](const CQuorvelConf& c) { EXPECT_EQ(c.mode, 0); }},
    {"ModeWithCapitalIsAnotherElement", document("<Mode value=\"3\"/>" + oneAddress), 0,
     [](CQuorvelConf& c) { c.mode = 4; }, [](const CQuorvelConf& c) { EXPECT_EQ(c.mode, 0); }},
    {"ModeFive", document("<mode value=\"5\"/>" + oneAddress), 0, nothing,
     [](const CQuorvelConf& c) { EXPECT_EQ(c.mode, 0); }},
    {"ModeMinusOne", document("<mode value=\"-1\"/>" + oneAddress), 0, nothing,
     [](const CQuorvelConf& c) { EXPECT_EQ(c.mode, 0); }},
    {"ModeWithoutDigits", document("<mode value=\"three\"/>" + oneAddress), 0, nothing,
     [](const CQuorvelConf& c) { EXPECT_EQ(c.mode, 0); }},
    {"ModeThreeWithLeadingBlank", document("<mode value=\" 3\"/>" + oneAddress), 0, nothing,
     [](const CQuorvelConf& c) { EXPECT_EQ(c.mode, presentation_mode); }},
    {"ModeTwoIsKept", document("<mode value=\"2\"/>" + oneAddress), 0, nothing,
     [](const CQuorvelConf& c) { EXPECT_EQ(c.mode, 2); }},
    {"ModeWithoutValueIsZero", document("<mode/>" + oneAddress), 0, [](CQuorvelConf& c) { c.mode = 3; },
     [](const CQuorvelConf& c) { EXPECT_EQ(c.mode, 0); }},
    {"ModeNestedDeeperIsIgnored", document("<x><mode value=\"3\"/></x>" + oneAddress), 0, nothing,
     [](const CQuorvelConf& c) { EXPECT_EQ(c.mode, 0); }},
    {"ExitTokensAreCaseSensitiveAndRepeatable",
     document("<exitCondition><a value=\"keyboard_button\"/><b value=\"touch\"/><c value=\"touch\"/>"
              "<d value=\"ESC_KEY\"/></exitCondition>" + oneAddress),
     0, nothing, [](const CQuorvelConf& c) { EXPECT_EQ(c.exitConditions, 17); }},
    {"AllExitTokens",
     document("<exitCondition><e value=\"touch\"/><e value=\"esc_key\"/><e value=\"mouse_button\"/>"
              "<e value=\"mouse_move\"/><e value=\"keyboard_button\"/></exitCondition>" + oneAddress),
     0, nothing, [](const CQuorvelConf& c) { EXPECT_EQ(c.exitConditions, 31); }},
    {"ExitConditionsAreResetByEveryParse",
     document("<exitCondition><e/><e value=\"\"/></exitCondition>" + oneAddress), 0,
     [](CQuorvelConf& c) { c.exitConditions = 15; },
     [](const CQuorvelConf& c) { EXPECT_EQ(c.exitConditions, 0); }},
    {"MultiMonitorMainOnly", document("<MultiMonitorMode value=\"main_only\"/>" + oneAddress), 0, nothing,
     [](const CQuorvelConf& c) { EXPECT_EQ(c.multiMonitorMode, MONITOR_MAIN_ONLY); }},
    {"MultiMonitorAcrossAll", document("<MultiMonitorMode value=\"multi_monitor_screen\"/>" + oneAddress), 0,
     nothing, [](const CQuorvelConf& c) { EXPECT_EQ(c.multiMonitorMode, MONITOR_MULTI_SCREEN); }},
    {"MultiMonitorInCapitalsLeavesFreshZero", document("<MultiMonitorMode value=\"MAIN_ONLY\"/>" + oneAddress),
     0, nothing, [](const CQuorvelConf& c) { EXPECT_EQ(c.multiMonitorMode, 0); }},
    {"MultiMonitorUnknownKeepsEarlierValue", document("<MultiMonitorMode value=\"both\"/>" + oneAddress), 0,
     [](CQuorvelConf& c) { c.multiMonitorMode = 4; },
     [](const CQuorvelConf& c) { EXPECT_EQ(c.multiMonitorMode, 4); }},
    {"MultiMonitorAbsentIsEveryMonitor", document(oneAddress), 0, [](CQuorvelConf& c) { c.multiMonitorMode = 1; },
     [](const CQuorvelConf& c) { EXPECT_EQ(c.multiMonitorMode, MONITOR_SAME_ON_EVERY); }},
    {"RandomZero", document("<random value=\"0\"/>" + oneAddress), 0, nothing,
     [](const CQuorvelConf& c) { EXPECT_FALSE(c.random); }},
    {"RandomTwo", document("<random value=\"2\"/>" + oneAddress), 0, nothing,
     [](const CQuorvelConf& c) { EXPECT_TRUE(c.random); }},
    {"RandomMinusOne", document("<random value=\"-1\"/>" + oneAddress), 0, nothing,
     [](const CQuorvelConf& c) { EXPECT_TRUE(c.random); }},
    {"RandomWord", document("<random value=\"yes\"/>" + oneAddress), 0, nothing,
     [](const CQuorvelConf& c) { EXPECT_FALSE(c.random); }},
    {"RandomAbsentClearsIt", document(oneAddress), 0, [](CQuorvelConf& c) { c.random = true; },
     [](const CQuorvelConf& c) { EXPECT_FALSE(c.random); }},
    {"TimeOutRead", document("<timeOut value=\"20000\"/>" + oneAddress), 0, nothing,
     [](const CQuorvelConf& c) { EXPECT_EQ(c.timeOut, 20000); }},
    {"TimeOutWithoutDigits", document("<timeOut value=\"soon\"/>" + oneAddress), 0, nothing,
     [](const CQuorvelConf& c) { EXPECT_EQ(c.timeOut, 0); }},
    {"FooterPresent", document("<footer href=\"https://f.example/?a=1&amp;b=2\" title=\"Caf&#233;\"/>" + oneAddress),
     0, nothing,
     [](const CQuorvelConf& c) {
         EXPECT_EQ(c.showFooter, 1);
         EXPECT_EQ(c.footerHref, "https://f.example/?a=1&b=2");
         EXPECT_EQ(c.footerTitle, "Caf\xC3\xA9");
     }},
    {"FooterWithoutAttributesIsShownEmpty", document("<footer/>" + oneAddress), 0,
     [](CQuorvelConf& c) { c.footerHref = "old"; },
     [](const CQuorvelConf& c) {
         EXPECT_EQ(c.showFooter, 1);
         EXPECT_EQ(c.footerHref, "");
         EXPECT_EQ(c.footerTitle, "");
     }},
    {"FooterAbsentKeepsTheTexts", document(oneAddress), 0,
     [](CQuorvelConf& c) {
         c.showFooter = 1;
         c.footerTitle = "kept";
     },
     [](const CQuorvelConf& c) {
         EXPECT_EQ(c.showFooter, 0);
         EXPECT_EQ(c.footerTitle, "kept");
     }},
    {"AuthorDecoded", document("<author value=\"&lt;Ann &amp; Bo&gt; &#x41;&quot;&apos;\"/>" + oneAddress), 0,
     nothing, [](const CQuorvelConf& c) { EXPECT_EQ(c.author, "<Ann & Bo> A\"'"); }},
    {"AuthorAbsentEmptiesAnEarlierOne", document(oneAddress), 0, [](CQuorvelConf& c) { c.author = "earlier"; },
     [](const CQuorvelConf& c) { EXPECT_EQ(c.author, ""); }},
    {"AddressesInOrderWhateverTheirElementNames",
     document("<urlList><a adr=\"one?x=1&amp;y=2\"/><b adr=\"\"/><c/><d adr=\"three\"/></urlList>"), 0, nothing,
     [](const CQuorvelConf& c) {
         ASSERT_EQ(c.urlList.size(), 4u);
         EXPECT_EQ(c.urlList[0], "one?x=1&y=2");
         EXPECT_EQ(c.urlList[1], "");
         EXPECT_EQ(c.urlList[2], "");
         EXPECT_EQ(c.urlList[3], "three");
     }},
    {"AddressesAreAppendedToAnEarlierList", document("<urlList><u adr=\"b\"/><u adr=\"c\"/></urlList>"), 0,
     [](CQuorvelConf& c) { c.urlList.push_back("a"); },
     [](const CQuorvelConf& c) {
         ASSERT_EQ(c.urlList.size(), 3u);
         EXPECT_EQ(c.urlList[0], "a");
         EXPECT_EQ(c.urlList[2], "c");
     }},
    {"SelectedFolderRead", document("<SelectedFolder path=\"D:\\shows\\one\"/>" + oneAddress), 0, nothing,
     [](const CQuorvelConf& c) { EXPECT_EQ(c.selectedFolder, "D:\\shows\\one"); }},
    {"SelectedFolderAbsentKeepsItsValue", document(oneAddress), 0, [](CQuorvelConf& c) { c.selectedFolder = "E:\\x"; },
     [](const CQuorvelConf& c) { EXPECT_EQ(c.selectedFolder, "E:\\x"); }},
    {"DataFolderBesideThePackage", document(oneAddress), 0, [](CQuorvelConf& c) { c.packagePath = "C:\\p\\a.qvx"; },
     [](const CQuorvelConf& c) { EXPECT_EQ(c.dataFolder, "C:\\p\\data"); }},
    {"DataFolderInTestMode", document("<mode value=\"3\"/>" + oneAddress), 0,
     [](CQuorvelConf& c) {
         c.packagePath = "C:\\p\\a.qvx";
         c.testMode = true;
     },
     [](const CQuorvelConf& c) { EXPECT_EQ(c.dataFolder, "C:\\p\\qvx\\data"); }},
    {"DataFolderOfMediaFilesInTestModeIsTheSelectedFolder",
     document("<mode value=\"4\"/><SelectedFolder path=\"D:\\media\"/>" + oneAddress), 0,
     [](CQuorvelConf& c) {
         c.packagePath = "C:\\p\\a.qvx";
         c.testMode = true;
     },
     [](const CQuorvelConf& c) { EXPECT_EQ(c.dataFolder, "D:\\media\\data"); }},
    {"DataFolderOfMediaFilesOutsideTestMode", document("<mode value=\"4\"/><SelectedFolder path=\"D:\\m\"/>" + oneAddress),
     0, [](CQuorvelConf& c) { c.packagePath = "C:\\p\\a.qvx"; },
     [](const CQuorvelConf& c) { EXPECT_EQ(c.dataFolder, "C:\\p\\data"); }},
    {"DataFolderOfAPathWithoutBackslash", document(oneAddress), 0, [](CQuorvelConf& c) { c.packagePath = "a.dat"; },
     [](const CQuorvelConf& c) { EXPECT_EQ(c.dataFolder, "a.dat\\data"); }},
    {"OverLongValuesAreCutToTheirLimits",
     document("<SelectedFolder path=\"" + std::string(300, 'f') + "\"/><author value=\"" + std::string(250, 'a') +
              "\"/><footer href=\"" + std::string(6000, 'h') + "\" title=\"" + std::string(5001, 't') +
              "\"/><urlList><u adr=\"" + std::string(6000, 'u') + "\"/></urlList>"),
     0, nothing,
     [](const CQuorvelConf& c) {
         EXPECT_EQ(c.selectedFolder, std::string(260, 'f').c_str());
         EXPECT_EQ(c.author, std::string(200, 'a').c_str());
         EXPECT_EQ(c.footerHref, std::string(5000, 'h').c_str());
         EXPECT_EQ(c.footerTitle, std::string(5000, 't').c_str());
         ASSERT_EQ(c.urlList.size(), 1u);
         EXPECT_EQ(c.urlList[0], std::string(4999, 'u').c_str());
     }},
    {"ValuesAtTheirLimitsStayWhole",
     document("<author value=\"" + std::string(199, 'a') + "&amp;\"/><urlList><u adr=\"" + std::string(4999, 'u') +
              "\"/></urlList>"),
     0, nothing,
     [](const CQuorvelConf& c) {
         EXPECT_EQ(c.author, (std::string(199, 'a') + "&").c_str());
         EXPECT_EQ(c.urlList[0].GetLength(), 4999);
     }},
    {"OverLongTokenMatchesNothing",
     document("<exitCondition><e value=\"touch" + std::string(200, ' ') + "\"/></exitCondition>" + oneAddress), 0,
     nothing, [](const CQuorvelConf& c) { EXPECT_EQ(c.exitConditions, 0); }},
    {"ParseLeavesTheRotationAndTestFlagAlone", document(oneAddress), 0,
     [](CQuorvelConf& c) {
         c.urlList.push_back("x");
         c.currentUrl = 0;
         c.firstPass = 0;
         c.testMode = true;
     },
     [](const CQuorvelConf& c) {
         EXPECT_EQ(c.currentUrl, 0);
         EXPECT_EQ(c.firstPass, 0);
         EXPECT_TRUE(c.testMode);
     }},
};

INSTANTIATE_TEST_SUITE_P(Documents, ParseTest, ::testing::ValuesIn(parseCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ParseLogTest, ExitConditionsAndTimeOutAreLogged)
{
    LogCapture log;
    CQuorvelConf config;
    config.ParseConfigurationFile(
        document("<exitCondition><e value=\"touch\"/><e value=\"keyboard_button\"/><e value=\"mouse_move\"/>"
                 "</exitCondition><timeOut value=\"-1\"/>" + oneAddress)
            .c_str());
    EXPECT_TRUE(log.has("QuorvelConf.cpp\tParseConfigurationFile\tExit conditions: keyboard;mouse move;touch;"));
    // The time-out is logged unsigned.
    EXPECT_TRUE(log.has("QuorvelConf.cpp\tParseConfigurationFile\tTimeout is 4294967295"));
}

TEST(ParseLogTest, NoExitConditionsAndNoTimeOutLogOnAnEmptyList)
{
    LogCapture log;
    CQuorvelConf config;
    config.ParseConfigurationFile(document("<exitCondition/><urlList/>").c_str());
    const auto records = log.records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0], "QuorvelConf.cpp\tParseConfigurationFile\tExit conditions: ");
}

TEST(ParseTest, SecondParseAfterAnEmptyListStartsFromAnEmptyList)
{
    CQuorvelConf config;
    EXPECT_EQ(config.ParseConfigurationFile(document("<urlList/>").c_str()), 3);
    EXPECT_EQ(config.ParseConfigurationFile(document(oneAddress).c_str()), 0);
    EXPECT_EQ(config.urlList.size(), 1u);
}

}  // namespace
