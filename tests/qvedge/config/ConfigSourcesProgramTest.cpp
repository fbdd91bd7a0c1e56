// The real qvedge.scr under Wine: which configuration source it takes, told by the author
// line of its About dialog, and its error box when there is none.
#include "framework/Win.h"
#include "tests/CodePage932.h"
#include "tests/qvedge/support/ErrorBoxWindow.h"
#include "tests/qvedge/support/ProgramRun.h"
#include "tests/qvedge/support/ProgramWorkspace.h"
#include "tests/qvedge/support/RegistryKeyTurn.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const char* const READ_ERROR = "Error: Could not read configuration file.";
const char* const EMPTY_LIST_ERROR = "Error: Empty web page list provided.";
constexpr int PROGRAM_NAME_CONTROL = 200;
constexpr int COPYRIGHT_CONTROL = 201;

// How a run ended: by itself, through its error box (closed with OK), or with another
// window of its own on the screen (left for the test to read).
struct Outcome {
    bool ended = false;
    DWORD exitCode = 0;
    bool errorBox = false;
    std::vector<std::string> errorTexts;
    HWND window = nullptr;
};

std::string windowText(HWND window)
{
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

bool isOtherThanErrorBox(HWND window)
{
    return windowText(window) != "Error!";
}

Outcome settle(const Program& program)
{
    Outcome outcome;
    for (DWORD start = GetTickCount(); GetTickCount() - start < PROGRAM_TIME_LIMIT_MS;) {
        if (program.waitForEnd(50)) {
            outcome.ended = true;
            outcome.exitCode = program.exitCode();
            return outcome;
        }
        if (HWND box = waitForErrorBox(program.info.dwProcessId, 0)) {
            outcome.errorBox = true;
            outcome.errorTexts = controlTexts(box);
            clickOk(box);
            continue;
        }
        if (HWND window = findShownWindow(program.info.dwProcessId, isOtherThanErrorBox)) {
            outcome.window = window;
            return outcome;
        }
    }
    return outcome;
}

bool contains(const std::vector<std::string>& texts, const std::string& text)
{
    for (const std::string& shown : texts)
        if (shown == text)
            return true;
    return false;
}

bool isAboutDialog(HWND window)
{
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    return std::string(className) == "#32770" && windowText(window) == "About screensaver";
}

// A configure-mode run as far as its About dialog: the dialog's two lines, read before the
// test closes it, and how the program ended then.
struct AboutRun {
    bool shown = false;
    std::string programName;
    std::string copyright;
    bool ended = false;
    DWORD exitCode = 0;
};

AboutRun readAboutAndClose(const Program& program)
{
    AboutRun run;
    const Outcome outcome = settle(program);
    if (!outcome.window || !isAboutDialog(outcome.window))
        return run;
    run.shown = true;
    run.programName = windowText(GetDlgItem(outcome.window, PROGRAM_NAME_CONTROL));
    run.copyright = windowText(GetDlgItem(outcome.window, COPYRIGHT_CONTROL));
    PostMessageA(outcome.window, WM_CLOSE, 0, 0);
    run.ended = program.waitForEnd(PROGRAM_TIME_LIMIT_MS);
    run.exitCode = program.exitCode();
    return run;
}

std::string copyrightOf(const std::string& author)
{
    return "Copyright (c) " + author;
}

TEST(ConfigSourcesProgramTest, NoConfigurationAnywhereShowsTheReadErrorAndEnds)
{
    CleanRun run("/s");
    ASSERT_TRUE(run.program.started) << programPath();
    const Outcome outcome = settle(run.program);
    EXPECT_TRUE(outcome.errorBox);
    EXPECT_TRUE(contains(outcome.errorTexts, READ_ERROR));
    EXPECT_TRUE(outcome.ended);
    EXPECT_EQ(outcome.exitCode, 0u);
}

// Configure mode needs a configuration too.
TEST(ConfigSourcesProgramTest, ConfigureModeWithoutConfigurationShowsTheReadError)
{
    CleanRun run("/c");
    ASSERT_TRUE(run.program.started);
    const Outcome outcome = settle(run.program);
    EXPECT_TRUE(contains(outcome.errorTexts, READ_ERROR));
    EXPECT_TRUE(outcome.ended);
    EXPECT_EQ(outcome.window, nullptr);
}

TEST(ConfigSourcesProgramTest, TestRunWithoutPathShowsTheReadError)
{
    CleanRun run("/config");
    ASSERT_TRUE(run.program.started);
    const Outcome outcome = settle(run.program);
    EXPECT_TRUE(contains(outcome.errorTexts, READ_ERROR));
    EXPECT_TRUE(outcome.ended);
}

TEST(ConfigSourcesProgramTest, TestRunOnAMissingFileShowsTheReadError)
{
    ProgramWorkspace workspace;
    CleanRun run("/config " + quoted(workspace.path("missing.qvx")));
    ASSERT_TRUE(run.program.started);
    const Outcome outcome = settle(run.program);
    EXPECT_TRUE(contains(outcome.errorTexts, READ_ERROR));
    EXPECT_TRUE(outcome.ended);
}

TEST(ConfigSourcesProgramTest, TestRunOnAnEmptyListShowsTheEmptyListError)
{
    ProgramWorkspace workspace;
    const std::string file = workspace.package("empty.qvx", configDocument("Empty List", false));
    ASSERT_FALSE(file.empty());
    CleanRun run("/config " + quoted(file));
    ASSERT_TRUE(run.program.started);
    const Outcome outcome = settle(run.program);
    EXPECT_TRUE(contains(outcome.errorTexts, EMPTY_LIST_ERROR));
    EXPECT_TRUE(outcome.ended);
}

// An empty list in the trailer is dropped like any other failure of the source: with no
// other source the read error follows, not the empty-list error.
TEST(ConfigSourcesProgramTest, SelfContainedCopyWithEmptyListAloneShowsTheReadError)
{
    ProgramWorkspace workspace;
    const std::string program = workspace.selfContained("qvempty.scr", configDocument("Empty Trailer", false));
    ASSERT_FALSE(program.empty());
    CleanRun run("/c", program);
    ASSERT_TRUE(run.program.started);
    const Outcome outcome = settle(run.program);
    EXPECT_TRUE(contains(outcome.errorTexts, READ_ERROR));
    EXPECT_FALSE(contains(outcome.errorTexts, EMPTY_LIST_ERROR));
    EXPECT_TRUE(outcome.ended);
}

// Every source carries an author of its own, so the About dialog tells which one the
// program took.
const char* const TRAILER_AUTHOR = "Trailer Author";
const char* const EMPTY_TRAILER_AUTHOR = "Empty Trailer Author";
const char* const REGISTRY_AUTHOR = "Registry Author";
const char* const DAT_AUTHOR = "Dat Author";
const char* const NAMED_AUTHOR = "Named File Author";

enum class Trailer { None, EmptyList, Valid };

struct SourcesCase {
    const char* name;
    Trailer trailer;
    bool registryPackage;
    bool datFile;
    bool testRunFile;  // "/config <file> /c" in place of "/c"
    const char* expectedAuthor;
};

const SourcesCase sourcesCases[] = {
    {"TrailerAlone", Trailer::Valid, false, false, false, TRAILER_AUTHOR},
    {"TrailerWithEmptyListFallsBackToDat", Trailer::EmptyList, false, true, false, DAT_AUTHOR},
    {"TrailerBeforeDat", Trailer::Valid, false, true, false, TRAILER_AUTHOR},
    {"TrailerBeforeRegistry", Trailer::Valid, true, true, false, TRAILER_AUTHOR},
    {"RegistryBeforeDat", Trailer::None, true, true, false, REGISTRY_AUTHOR},
    {"DatAlone", Trailer::None, false, true, false, DAT_AUTHOR},
    {"TestRunTakesOnlyTheNamedFile", Trailer::None, false, true, true, NAMED_AUTHOR},
};

// A package file named for the program under HKLM; the program's key is removed again.
class RegisteredPackage {
public:
    RegisteredPackage(const std::string& baseName, const std::string& file)
        : programKey("SOFTWARE\\Quorvels\\" + baseName)
    {
        const std::string key = programKey + "\\Settings";
        set = turn.taken && RegSetKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), "Data", REG_SZ, file.c_str(),
                                            static_cast<DWORD>(file.size() + 1)) == ERROR_SUCCESS;
    }
    ~RegisteredPackage() { RegDeleteTreeA(HKEY_LOCAL_MACHINE, programKey.c_str()); }
    RegisteredPackage(const RegisteredPackage&) = delete;
    RegisteredPackage& operator=(const RegisteredPackage&) = delete;

    bool set = false;

private:
    RegistryKeyTurn turn;
    std::string programKey;
};

bool hasUserEmulationValue(const std::string& name)
{
    return RegGetValueA(HKEY_CURRENT_USER, FEATURE_CONTROL_KEYS[0], name.c_str(), RRF_RT_REG_DWORD, nullptr,
                        nullptr, nullptr) == ERROR_SUCCESS;
}

// A copy of the program named baseName + ".scr" takes the source the case names: its About
// dialog shows the base name and that source's author, and the program has written its
// feature-control values under its file name.
void checkSourceTaken(const SourcesCase& sources, const std::string& baseName, ProgramWorkspace& workspace)
{
    const std::string scr = baseName + ".scr";
    const std::string program =
        sources.trailer == Trailer::None
            ? workspace.plainCopy(scr)
            : workspace.selfContained(scr, sources.trailer == Trailer::Valid
                                               ? configDocument(TRAILER_AUTHOR, true)
                                               : configDocument(EMPTY_TRAILER_AUTHOR, false));
    ASSERT_FALSE(program.empty());
    if (sources.datFile) {
        ASSERT_FALSE(workspace.package(baseName + ".dat", configDocument(DAT_AUTHOR, true)).empty());
    }
    std::unique_ptr<RegisteredPackage> registered;
    if (sources.registryPackage) {
        const std::string file = workspace.package("registered.qvx", configDocument(REGISTRY_AUTHOR, true));
        ASSERT_FALSE(file.empty());
        registered = std::make_unique<RegisteredPackage>(baseName, file);
        ASSERT_TRUE(registered->set);
    }
    std::string arguments = "/c";
    if (sources.testRunFile) {
        const std::string file = workspace.package("named.qvx", configDocument(NAMED_AUTHOR, true));
        ASSERT_FALSE(file.empty());
        arguments = "/config " + quoted(file) + " /c";
    }

    CleanRun run(arguments, program);
    ASSERT_TRUE(run.program.started);
    const AboutRun about = readAboutAndClose(run.program);
    ASSERT_TRUE(about.shown);
    EXPECT_EQ(about.copyright, copyrightOf(sources.expectedAuthor));
    EXPECT_EQ(about.programName, baseName);
    EXPECT_TRUE(about.ended);
    EXPECT_EQ(about.exitCode, 0u);
    EXPECT_TRUE(hasUserEmulationValue(scr));
}

class ConfigSourcesAboutTest : public ::testing::TestWithParam<SourcesCase> {
protected:
    // The registry key is the machine's: a name of this process's own keeps it apart.
    const std::string baseName = "qvabout" + std::to_string(GetCurrentProcessId());
    ProgramWorkspace workspace;
};

TEST_P(ConfigSourcesAboutTest, AboutDialogShowsTheAuthorOfTheSourceTaken)
{
    checkSourceTaken(GetParam(), baseName, workspace);
}

INSTANTIATE_TEST_SUITE_P(Sources, ConfigSourcesAboutTest, ::testing::ValuesIn(sourcesCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The same under the Japanese code page, for a program whose name begins with a letter
// whose trail byte is a backslash: the registry key, the package beside the program and
// the About line all need the whole name.
class CodePage932SourcesAboutTest : public CodePage932TestWithParam<SourcesCase> {
protected:
    const std::string baseName = SOFUTO + std::to_string(GetCurrentProcessId());
    ProgramWorkspace workspace;
};

TEST_P(CodePage932SourcesAboutTest, AboutDialogShowsTheAuthorOfTheSourceTaken)
{
    checkSourceTaken(GetParam(), baseName, workspace);
}

INSTANTIATE_TEST_SUITE_P(Sources, CodePage932SourcesAboutTest, ::testing::ValuesIn(sourcesCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
