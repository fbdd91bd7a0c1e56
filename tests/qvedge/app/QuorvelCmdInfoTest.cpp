#include "qvedge/app/QuorvelCmdInfo.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// Every member that differs from its initial value, in declaration order.
std::string describe(const CQuorvelCmdInfo& info)
{
    std::string text;
    auto add = [&text](bool set, const std::string& word) {
        if (set)
            text += (text.empty() ? "" : " ") + word;
    };
    add(!info.noWords, "words");
    add(info.configPathGiven, "configPathGiven");
    add(info.expectConfigPath, "expectConfigPath");
    add(info.configure, "configure");
    add(info.preview, "preview");
    add(info.expectPreviewWnd, "expectPreviewWnd");
    add(info.screensaver, "screensaver");
    add(info.forceIE, "forceIE");
    add(info.expectMonitorMode, "expectMonitorMode");
    add(info.engine, "engine");
    add(info.monitorModeGiven, "monitorModeGiven");
    add(info.monitorMode != 0, "monitorMode=" + std::to_string(info.monitorMode));
    add(info.ssTest, "ssTest");
    add(!info.configPath.IsEmpty(), "configPath=" + info.configPath.str());
    add(info.previewParent != nullptr,
        "previewParent=" + std::to_string(reinterpret_cast<std::intptr_t>(info.previewParent)));
    return text;
}

struct CmdCase {
    const char* name;
    std::vector<const char*> words;
    const char* expected;
};

class QuorvelCmdInfoTest : public ::testing::TestWithParam<CmdCase> {};

TEST_P(QuorvelCmdInfoTest, SetsExactlyTheMembersOfItsWords)
{
    CQuorvelCmdInfo info;
    parseCommandLineWords(info, static_cast<int>(GetParam().words.size()), GetParam().words.data());
    EXPECT_EQ(describe(info), GetParam().expected);
}

const CmdCase cases[] = {
    {"Show", {"/s"}, "words screensaver"},
    {"PreviewWithHandle", {"/p", "1234"}, "words preview previewParent=1234"},
    {"ConfigureAlone", {"/c"}, "words configure"},
    {"ConfigureUpperCase", {"/C"}, "words configure"},
    {"ConfigureWithHandle", {"/c:1234"}, "words configure"},
    {"UpperCaseColonSelectsNothing", {"/C:1234"}, "words"},
    {"ConfigWithPath", {"/config", "C:\\q\\x.dat"}, "words configPathGiven configPath=C:\\q\\x.dat"},
    {"ConfigMixedCaseWaitsForPath", {"/Config"}, "words configPathGiven expectConfigPath"},
    {"ConfigUpperCaseWithDash", {"-CONFIG", "x.dat"}, "words configPathGiven configPath=x.dat"},
    {"WordContainingColonIsConfigure", {"/sc:"}, "words configure"},
    {"PathAfterLaterFlag", {"/config", "/s", "C:\\p.dat"}, "words configPathGiven screensaver configPath=C:\\p.dat"},
    {"MonitorFour", {"/m", "4"}, "words monitorModeGiven monitorMode=4"},
    {"MonitorTwo", {"-M", "2"}, "words monitorModeGiven monitorMode=2"},
    {"MonitorThreeBecomesOne", {"/m", "3"}, "words monitorModeGiven monitorMode=1"},
    {"MonitorWithoutValue", {"/m"}, "words expectMonitorMode"},
    {"PreviewWithNonNumber", {"/p", "x"}, "words preview"},
    {"OwnWords", {"/S", "-ie", "/SSTEST", "/Engine"}, "words screensaver forceIE engine ssTest"},
    {"UnknownFlag", {"/x"}, "words"},
    {"StrayWords", {"file.txt", "other"}, ""},
    {"NoWords", {}, ""},
    {"ConfigTakesFirstPendingValue", {"/p", "/config", "a", "56"}, "words configPathGiven preview configPath=a previewParent=56"},
    {"PreviewBeforeMonitor", {"/m", "/p", "7", "2"}, "words preview monitorModeGiven monitorMode=2 previewParent=7"},
};

INSTANTIATE_TEST_SUITE_P(Words, QuorvelCmdInfoTest, ::testing::ValuesIn(cases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
