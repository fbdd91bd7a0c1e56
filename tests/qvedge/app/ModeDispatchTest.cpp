#include "qvedge/app/ModeDispatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class RecordingModes : public StartModes {
public:
    explicit RecordingModes(int configureResult) : configureResult(configureResult) {}

    int configure() override { return record("configure", configureResult); }
    BOOL preview() override { return record("preview", 1); }
    BOOL show() override { return record("show", 0); }

    std::string calls;

private:
    int record(const char* name, int result)
    {
        calls += calls.empty() ? name : std::string(",") + name;
        return result;
    }
    int configureResult;
};

struct DispatchCase {
    const char* name;
    std::vector<const char*> words;
    int configureResult;
    const char* calls;
    BOOL result;
};

class ModeDispatchTest : public ::testing::TestWithParam<DispatchCase> {};

TEST_P(ModeDispatchTest, RunsTheFirstMatchingRow)
{
    CQuorvelCmdInfo info;
    parseCommandLineWords(info, static_cast<int>(GetParam().words.size()), GetParam().words.data());
    RecordingModes modes(GetParam().configureResult);
    EXPECT_EQ(dispatchMode(info, modes), GetParam().result);
    EXPECT_EQ(modes.calls, GetParam().calls);
}

const DispatchCase cases[] = {
    {"NoWordsConfigures", {}, 0, "configure", 0},
    {"StrayWordsConfigure", {"file.txt"}, 0, "configure", 0},
    {"ConfigureWord", {"/c"}, 0, "configure", 0},
    {"ConfigureWithHandle", {"/c:99"}, 0, "configure", 0},
    {"AboutDialogEndsBeforeShow", {"/c", "/s"}, 0, "configure", 0},
    {"PackageBranchGoesOnToShow", {"/c", "/s"}, 1, "configure,show", 0},
    {"PackageBranchAloneEndsWithoutWindow", {"/c"}, 1, "configure", 0},
    {"PackageBranchGoesOnToPreview", {"/c", "/p", "5"}, 1, "configure,preview", 1},
    {"Preview", {"/p", "5"}, 0, "preview", 1},
    {"PreviewBeforeShow", {"/s", "/p", "5"}, 0, "preview", 1},
    {"Show", {"/s"}, 0, "show", 0},
    {"TestRun", {"/config", "x.dat"}, 0, "show", 0},
    {"EngineWithShow", {"/engine", "/s"}, 0, "show", 0},
    {"EngineAloneShowsNothing", {"/engine"}, 0, "", 0},
    {"UnknownFlagShowsNothing", {"/x"}, 0, "", 0},
    {"UpperCaseColonShowsNothing", {"/C:12"}, 0, "", 0},
};

INSTANTIATE_TEST_SUITE_P(Rows, ModeDispatchTest, ::testing::ValuesIn(cases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
