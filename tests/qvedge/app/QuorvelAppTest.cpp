#include "qvedge/app/QuorvelEdge.h"

#include "common/Logger.h"
#include "framework/Win.h"
#include "qvedge/app/QuorvelSmallPreview.h"
#include "qvedge/config/ConfigLoading.h"
#include "qvedge/display/QuorvelDlg.h"
#include "tests/qvedge/support/CommandWords.h"
#include "tests/qvedge/support/FakeDesktop.h"
#include "tests/qvedge/support/FeatureValues.h"
#include "tests/qvedge/support/LogCapture.h"
#include "tests/qvedge/support/ProgramWorkspace.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

// The steps after loading need a configuration: here the program's own file holds one.
int configurationInOwnFile(CQuorvelConf&, const CString&)
{
    return CONFIG_OK;
}

bool quitPosted()
{
    MSG msg;
    return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

struct NameCase {
    const char* path;
    const char* baseName;
    const char* dir;
};

class ModuleNamesTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(ModuleNamesTest, BaseNameAndFolderOfTheProgramPath)
{
    EXPECT_EQ(moduleBaseNameOf(GetParam().path), GetParam().baseName);
    EXPECT_EQ(moduleDirOf(GetParam().path), GetParam().dir);
}

INSTANTIATE_TEST_SUITE_P(Paths, ModuleNamesTest,
                         ::testing::Values(NameCase{"C:\\Dir\\my.saver.scr", "my.saver", "C:\\Dir"},
                                           NameCase{"C:\\Dir\\saver", "saver", "C:\\Dir"},
                                           NameCase{"C:\\Dir.x\\saver", "saver", "C:\\Dir.x"},
                                           NameCase{"saver.scr", "saver", ""},
                                           NameCase{"C:\\PROGRA~1\\Q\\QVEDGE~1.SCR", "QVEDGE~1", "C:\\PROGRA~1\\Q"}),
                         [](const auto& info) { return std::to_string(info.index); });

TEST(QuorvelAppTest, ModuleNamesOfTheRunningProgram)
{
    theApp.InitModuleNames();
    EXPECT_EQ(theApp.moduleBaseName, "test_qvedge");
    EXPECT_EQ(theApp.modulePath.Right(16), "\\test_qvedge.exe");
    EXPECT_EQ(theApp.moduleDir + "\\test_qvedge.exe", theApp.modulePath);
}

TEST(QuorvelAppTest, LogBasePathJoinsWithForwardSlash)
{
    EXPECT_EQ(logBasePath("C:\\users\\me\\Documents", "qvedge"), "C:\\users\\me\\Documents/qvedge");
    EXPECT_EQ(logBasePath("C:\\Temp\\", "qvedge"), "C:\\Temp\\/qvedge");
    const std::string longFolder(300, 'd');
    EXPECT_EQ(logBasePath(longFolder.c_str(), "qvedge"), longFolder + "/qvedge");
}

TEST(QuorvelAppTest, TitleComesFromTheStringTable)
{
    theApp.SetCurrentHandles(GetModuleHandleA(nullptr));
    EXPECT_STREQ(theApp.m_pszAppName, "Quorvel");
}

TEST(QuorvelAppTest, StartsWithNothingHeld)
{
    EXPECT_FALSE(theApp.protocolFactory);
    EXPECT_FALSE(theApp.internetSession);
    EXPECT_EQ(theApp.previewParent, nullptr);
    EXPECT_FALSE(theApp.internetConnected);
    EXPECT_TRUE(webViewWrappers.empty());
    EXPECT_TRUE(logFilePath.empty());
}

// An unknown flag word: the start-up runs every step, then no mode.
TEST(QuorvelAppTest, InitInstanceWithUnknownWordSetsTheLogPathAndEndsWithoutAMode)
{
    char program[] = "test_qvedge.exe";
    char word[] = "/x";
    char* arguments[] = {program, word, nullptr};
    __argc = 2;
    __argv = arguments;
    configReaders.readSelf = configurationInOwnFile;
    const FeatureValuesTurn featureValues;
    EXPECT_FALSE(theApp.InitInstance());

    const std::string suffix = "/test_qvedge";
    ASSERT_GT(logFilePath.size(), suffix.size());
    EXPECT_EQ(logFilePath.substr(logFilePath.size() - suffix.size()), suffix);
    EXPECT_EQ(logging::getFileLogger().flags, logging::FLAGS_OFF);
    const std::filesystem::path folder = logFilePath.substr(0, logFilePath.size() - suffix.size());
    EXPECT_FALSE(std::filesystem::exists(folder / "Screen saver test_qvedge.log"));
    EXPECT_EQ(CoInternetIsFeatureEnabled(FEATURE_DISABLE_NAVIGATION_SOUNDS, SET_FEATURE_ON_PROCESS), S_OK);
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);

    EXPECT_EQ(theApp.ExitInstance(), 0);
    EXPECT_EQ(CoInternetIsFeatureEnabled(FEATURE_DISABLE_NAVIGATION_SOUNDS, SET_FEATURE_ON_PROCESS), S_FALSE);
}

TEST(QuorvelAppTest, InitInstanceRoutesFailedMessageHandlersIntoTheLog)
{
    char program[] = "test_qvedge.exe";
    char word[] = "/x";
    char* arguments[] = {program, word, nullptr};
    __argc = 2;
    __argv = arguments;
    configReaders.readSelf = configurationInOwnFile;
    const FeatureValuesTurn featureValues;
    // Before the start-up, so the logger is built over a folder that does not exist.
    LogCapture log;
    EXPECT_FALSE(theApp.InitInstance());
    windowProcFailureReport(WM_PAINT, "broken");
    EXPECT_TRUE(log.has("QuorvelEdge.cpp\tWindowProc\tMessage 15 handler failed: broken"));
    EXPECT_EQ(theApp.ExitInstance(), 0);
}

// The three values under the test program's long and short names, in key order.
std::vector<std::optional<DWORD>> featureValuesOfTheTestProgram()
{
    const FeatureControlNames names = testProgramFeatureNames();
    std::vector<std::optional<DWORD>> values;
    for (const CString& name : {names.longName, names.shortName}) {
        for (const char* key : FEATURE_CONTROL_KEYS)
            values.push_back(userFeatureValue(key, name));
    }
    return values;
}

const std::vector<std::optional<DWORD>> WRITTEN_FEATURE_VALUES = {11000u, 1u, 1u, 11000u, 1u, 1u};
const std::vector<std::optional<DWORD>> NO_FEATURE_VALUES(6);

TEST(QuorvelAppTest, EngineRunSetsItsOwnConditionsIgnoresTestFlagAndWritesNoFeatureValues)
{
    CQuorvelCmdInfo info = parse({"/engine", "/sstest"});
    const FeatureValuesTurn featureValues;
    removeFeatureValues(testProgramFeatureNames());
    EXPECT_TRUE(theApp.PrepareConfiguration(info));
    EXPECT_EQ(theApp.config.exitConditions, 15);
    EXPECT_EQ(theApp.config.timeOut, 10);
    EXPECT_FALSE(theApp.config.testMode);
    EXPECT_EQ(featureValuesOfTheTestProgram(), NO_FEATURE_VALUES);
}

struct TestFlagCase {
    const char* name;
    std::vector<const char*> flagWords;
    int mode;
    bool underSelectedFolder;  // else under the package's folder
    const char* dataFolder;
};

void PrintTo(const TestFlagCase& c, std::ostream* out)
{
    *out << c.name;
}

class TestFlagTest : public ::testing::TestWithParam<TestFlagCase> {};

// The flag decides where the parsed package's data lie, so it must be set before loading.
TEST_P(TestFlagTest, IsSetBeforeThePackageIsParsed)
{
    ProgramWorkspace workspace;
    const std::string document = "<qvx><mode value=\"" + std::to_string(GetParam().mode) +
                                 "\"/><SelectedFolder path=\"C:\\shows\\one\"/>"
                                 "<urlList><u adr=\"https://example.com/\"/></urlList></qvx>";
    const std::string package = workspace.package("show.qvx", document);
    ASSERT_FALSE(package.empty());
    std::vector<const char*> words = GetParam().flagWords;
    words.push_back("/config");
    words.push_back(package.c_str());
    CQuorvelCmdInfo info = parse(words);
    const FeatureValuesTurn featureValues;
    ASSERT_TRUE(theApp.PrepareConfiguration(info));
    EXPECT_EQ(theApp.config.testMode, !GetParam().flagWords.empty());
    const std::string base = GetParam().underSelectedFolder ? "C:\\shows\\one" : workspace.folder;
    EXPECT_EQ(theApp.config.dataFolder.str(), base + GetParam().dataFolder);
}

INSTANTIATE_TEST_SUITE_P(Runs, TestFlagTest,
                         ::testing::Values(TestFlagCase{"Flagged", {"/sstest"}, url_list_mode, false, "\\qvx\\data"},
                                           TestFlagCase{"Unflagged", {}, url_list_mode, false, "\\data"},
                                           TestFlagCase{"FlaggedMediaFiles", {"/sstest"}, media_files_mode, true,
                                                        "\\data"},
                                           TestFlagCase{"UnflaggedMediaFiles", {}, media_files_mode, false, "\\data"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(QuorvelAppTest, ConfigurationStepWritesTheFeatureValuesAsAStartUpStep)
{
    CQuorvelCmdInfo info = parse({"/x"});
    configReaders.readSelf = configurationInOwnFile;
    const FeatureValuesTurn featureValues;
    removeFeatureValues(testProgramFeatureNames());
    LogCapture log;
    EXPECT_TRUE(theApp.PrepareConfiguration(info));
    EXPECT_TRUE(log.has("QuorvelEdge.cpp\tInitInstance\tCall SetupRegistry()"));
    EXPECT_EQ(featureValuesOfTheTestProgram(), WRITTEN_FEATURE_VALUES);
}

class PreviewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent = CreateWindowExA(0, "STATIC", "settings", WS_POPUP | WS_VISIBLE, 40, 30, 152, 112, nullptr,
                                 nullptr, nullptr, nullptr);
        ASSERT_NE(parent, nullptr);
    }
    void TearDown() override
    {
        if (IsWindow(parent))
            DestroyWindow(parent);
    }
    HWND parent = nullptr;
};

TEST_F(PreviewTest, ChildFillsTheParentAndBecomesTheMainWindow)
{
    CQuorvelCmdInfo info = parse({"/p", std::to_string(reinterpret_cast<std::intptr_t>(parent)).c_str()});
    ASSERT_TRUE(theApp.RunPreview(info));
    EXPECT_EQ(theApp.previewParent, parent);

    ASSERT_NE(theApp.m_pMainWnd, nullptr);
    HWND preview = theApp.m_pMainWnd->m_hWnd;
    EXPECT_EQ(GetParent(preview), parent);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(preview, GWL_STYLE)) & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
    EXPECT_EQ(GetWindowLongA(preview, GWL_ID), 0);
    char text[16] = {};
    GetWindowTextA(preview, text, sizeof text);
    EXPECT_STREQ(text, "preview");
    RECT rect;
    GetWindowRect(preview, &rect);
    EXPECT_EQ(rect.right - rect.left, 152);
    EXPECT_EQ(rect.bottom - rect.top, 112);
    EXPECT_EQ(GetClassLongPtrA(preview, GCLP_HBRBACKGROUND), reinterpret_cast<ULONG_PTR>(GetStockObject(BLACK_BRUSH)));
}

TEST_F(PreviewTest, DestroyingTheParentEndsTheMessageLoop)
{
    CQuorvelCmdInfo info = parse({"/p", std::to_string(reinterpret_cast<std::intptr_t>(parent)).c_str()});
    ASSERT_TRUE(theApp.RunPreview(info));
    DestroyWindow(parent);
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);
    EXPECT_TRUE(quitPosted());
}

struct BadParentCase {
    const char* name;
    std::vector<const char*> words;
};

class BadPreviewParentTest : public ::testing::TestWithParam<BadParentCase> {};

TEST_P(BadPreviewParentTest, EndsWithoutAWindow)
{
    CQuorvelCmdInfo info = parse(GetParam().words);
    EXPECT_FALSE(theApp.RunPreview(info));
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Handles, BadPreviewParentTest,
                         ::testing::Values(BadParentCase{"Missing", {"/p"}}, BadParentCase{"Zero", {"/p", "0"}},
                                           BadParentCase{"NotANumber", {"/p", "x"}},
                                           BadParentCase{"NoWindow", {"/p", "305419896"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(QuorvelAppTest, ShowRegistersTheSessionAndEndsWhenTheLoopIsDone)
{
    CQuorvelCmdInfo info = parse({"/s"});
    // The dialog's loop ends at the thread's quit message and leaves one behind.
    PostQuitMessage(0);
    EXPECT_FALSE(theApp.RunShow(info));
    EXPECT_TRUE(quitPosted());
    EXPECT_TRUE(theApp.internetConnected);
    EXPECT_TRUE(theApp.internetSession);
    // The dialog is gone and is no longer the main window.
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);

    theApp.ExitInstance();
    EXPECT_FALSE(theApp.internetSession);
    EXPECT_FALSE(theApp.protocolFactory);
}

// The show's dialog as a thread timer sees it while the loop runs; the timer then ends
// the loop.
struct ShowSeen {
    bool seen = false;
    int monitorMode = 0;
    std::vector<RECT> viewRects;
    size_t webViews = 0;
};
ShowSeen showSeen;

void CALLBACK seeTheShow(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    if (const auto* dialog = static_cast<const CQuorvelDlg*>(theApp.m_pMainWnd)) {
        showSeen = {true, dialog->monitorMode, dialog->views.viewRects, webViewWrappers.size()};
    }
    PostQuitMessage(0);
}

struct ShowCase {
    const char* name;
    std::vector<const char*> words;
    int configuredMode;
    size_t views;
    LONG firstViewWidth;
    bool ie;
};

void PrintTo(const ShowCase& c, std::ostream* out)
{
    *out << c.name;
}

class ShowDialogTest : public ::testing::TestWithParam<ShowCase> {};

// Test runs, so that other tests' windows taking the activation do not end the show. Two
// monitors side by side tell the multi-monitor modes apart.
TEST_P(ShowDialogTest, GetsTheConfiguredMonitorModeAndTheEngineOfTheCommandLine)
{
    const ShowCase& c = GetParam();
    const FakeDesktop desktop({{{0, 0, 800, 600}, true}, {{800, 0, 1600, 600}, false}});
    theApp.config.multiMonitorMode = c.configuredMode;
    CQuorvelCmdInfo info = parse(c.words);
    showSeen = ShowSeen();
    SetTimer(nullptr, 0, 100, seeTheShow);
    EXPECT_FALSE(theApp.RunShow(info));
    EXPECT_TRUE(quitPosted());

    ASSERT_TRUE(showSeen.seen);
    EXPECT_EQ(showSeen.monitorMode, c.configuredMode);
    ASSERT_EQ(showSeen.viewRects.size(), c.views);
    EXPECT_EQ(showSeen.viewRects[0].right - showSeen.viewRects[0].left, c.firstViewWidth);
    // Without a WebView2 runtime the WebView2 road falls back to Internet Explorer, but only
    // the Internet Explorer word makes no WebView2 view at all.
    EXPECT_EQ(showSeen.webViews, c.ie ? 0u : c.views);
    theApp.ExitInstance();
}

INSTANTIATE_TEST_SUITE_P(
    Shows, ShowDialogTest,
    ::testing::Values(ShowCase{"MainMonitorOnly", {"/config", "x.dat"}, MONITOR_MAIN_ONLY, 1, 800, false},
                      ShowCase{"SameOnEveryMonitor", {"/config", "x.dat"}, MONITOR_SAME_ON_EVERY, 2, 800, false},
                      ShowCase{"AcrossAllMonitors", {"/config", "x.dat"}, MONITOR_MULTI_SCREEN, 1, 1600, false},
                      ShowCase{"InternetExplorerWord", {"/config", "x.dat", "/ie"}, MONITOR_MULTI_SCREEN, 1, 1600, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QuorvelAppTest, ExitWithNothingRegisteredIsHarmless)
{
    EXPECT_EQ(theApp.ExitInstance(), 0);
    EXPECT_FALSE(theApp.internetSession);
}

} // namespace
