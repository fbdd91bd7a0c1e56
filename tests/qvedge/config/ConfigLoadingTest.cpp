// The loader's order of sources and its rules, through readers of the test's own, and
// the start-up's error box for its codes.
#include "qvedge/config/ConfigLoading.h"

#include "framework/Win.h"
#include "qvedge/app/QuorvelEdge.h"
#include "qvedge/config/ErrorBox.h"
#include "tests/qvedge/support/CommandWords.h"
#include "tests/qvedge/support/ErrorBoxWindow.h"
#include "tests/qvedge/support/FeatureValues.h"
#include "tests/qvedge/support/LogCapture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

// What the readers find, and the order in which the loader asked them.
struct Sources {
    int ownFile = 8;
    bool registryNamesPackage = false;
    CString registryPath = "C:\\Packages\\show.qvx";
    std::map<std::string, int> files;  // every other file reads as 2
    std::vector<std::string> calls;
    bool otherRecord = false;
};
Sources sources;

int fakeReadSelf(CQuorvelConf& config, const CString& name)
{
    sources.otherRecord |= &config != &theApp.config;
    sources.calls.push_back("self:" + name.str());
    return sources.ownFile;
}

bool fakeRegistryPath(CString& path)
{
    sources.calls.push_back("registry");
    if (sources.registryNamesPackage)
        path = sources.registryPath;
    return sources.registryNamesPackage;
}

int fakeReadFile(CQuorvelConf& config, const CString& path)
{
    sources.otherRecord |= &config != &theApp.config;
    sources.calls.push_back("file:" + path.str());
    const auto found = sources.files.find(path.str());
    return found == sources.files.end() ? CONFIG_NOT_READABLE : found->second;
}

const std::string DAT_PATH = "C:\\Screens\\saver.dat";

class LoadConfigTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sources = Sources();
        configReaders = {fakeReadSelf, fakeRegistryPath, fakeReadFile};
        theApp.moduleDir = "C:\\Screens";
        theApp.moduleBaseName = "saver";
    }
    void TearDown() override
    {
        EXPECT_FALSE(sources.otherRecord);
    }

    int load(std::vector<const char*> words)
    {
        CQuorvelCmdInfo info = parse(words);
        return theApp.LoadConfig(info);
    }
    // The messages of the loader's records, in order.
    std::vector<std::string> logged() const
    {
        std::vector<std::string> messages;
        const std::string marker = "\tLoadConfig\t";
        for (const std::string& record : log.records()) {
            const size_t at = record.find(marker);
            if (at != std::string::npos)
                messages.push_back(record.substr(at + marker.size()));
        }
        return messages;
    }

    LogCapture log;
};

using Calls = std::vector<std::string>;

TEST_F(LoadConfigTest, TestRunWithoutPathTriesNoReader)
{
    sources.ownFile = CONFIG_OK;
    EXPECT_EQ(load({"/config"}), CONFIG_NOT_READABLE);
    EXPECT_EQ(sources.calls, Calls{});
    EXPECT_EQ(logged(), Calls{"TEST mode"});
}

class TestRunResultTest : public LoadConfigTest, public ::testing::WithParamInterface<int> {};

// Whatever the named file gives is the result; the other sources, here all readable, are
// never asked.
TEST_P(TestRunResultTest, ReadsOnlyTheNamedFile)
{
    sources.ownFile = CONFIG_OK;
    sources.registryNamesPackage = true;
    sources.files = {{sources.registryPath.str(), CONFIG_OK}, {DAT_PATH, CONFIG_OK}, {"D:\\t\\x.dat", GetParam()}};
    EXPECT_EQ(load({"/config", "D:\\t\\x.dat"}), GetParam());
    EXPECT_EQ(sources.calls, Calls{"file:D:\\t\\x.dat"});
    EXPECT_EQ(logged(), (Calls{"TEST mode", "Path: D:\\t\\x.dat"}));
}

INSTANTIATE_TEST_SUITE_P(Codes, TestRunResultTest, ::testing::Values(0, 2, 3));

TEST_F(LoadConfigTest, OwnFileEndsTheSearch)
{
    sources.ownFile = CONFIG_OK;
    sources.registryNamesPackage = true;
    EXPECT_EQ(load({"/s"}), CONFIG_OK);
    EXPECT_EQ(sources.calls, Calls{"self:"});
    EXPECT_EQ(logged(), Calls{"Check self executable: "});
}

class OwnFileFailureTest : public LoadConfigTest, public ::testing::WithParamInterface<int> {};

// The trailer's codes, the empty list's 3 among them, only send the loader on.
TEST_P(OwnFileFailureTest, IsDroppedAndTheNextSourcesAreTried)
{
    sources.ownFile = GetParam();
    sources.files = {{DAT_PATH, CONFIG_OK}};
    EXPECT_EQ(load({"/s"}), CONFIG_OK);
    EXPECT_EQ(sources.calls, (Calls{"self:", "registry", "file:" + DAT_PATH}));
}

INSTANTIATE_TEST_SUITE_P(Codes, OwnFileFailureTest, ::testing::Values(3, 7, 8, 9));

TEST_F(LoadConfigTest, RegistryPackageComesBeforeTheDatFile)
{
    sources.registryNamesPackage = true;
    sources.files = {{sources.registryPath.str(), CONFIG_OK}, {DAT_PATH, CONFIG_OK}};
    EXPECT_EQ(load({}), CONFIG_OK);
    EXPECT_EQ(sources.calls, (Calls{"self:", "registry", "file:C:\\Packages\\show.qvx"}));
    EXPECT_EQ(logged(), (Calls{"Check self executable: ", "Check registry"}));
}

class PackageFailureTest : public LoadConfigTest, public ::testing::WithParamInterface<int> {};

TEST_P(PackageFailureTest, FallsBackToTheDatFile)
{
    sources.registryNamesPackage = true;
    sources.files = {{sources.registryPath.str(), GetParam()}, {DAT_PATH, CONFIG_OK}};
    EXPECT_EQ(load({"/c"}), CONFIG_OK);
    EXPECT_EQ(sources.calls, (Calls{"self:", "registry", "file:C:\\Packages\\show.qvx", "file:" + DAT_PATH}));
}

INSTANTIATE_TEST_SUITE_P(Codes, PackageFailureTest, ::testing::Values(2, 3));

TEST_F(LoadConfigTest, EmptyListInTheDatFileIsNotReadable)
{
    sources.files = {{DAT_PATH, CONFIG_EMPTY_LIST}};
    EXPECT_EQ(load({"/s"}), CONFIG_NOT_READABLE);
}

TEST_F(LoadConfigTest, NoSourceLogsTheFourAttemptsInOrder)
{
    EXPECT_EQ(load({"/p", "0"}), CONFIG_NOT_READABLE);
    EXPECT_EQ(sources.calls, (Calls{"self:", "registry", "file:" + DAT_PATH}));
    EXPECT_EQ(logged(), (Calls{"Check self executable: ", "Check registry",
                               "Check current folder for dat: " + DAT_PATH, "Config not found."}));
}

TEST_F(LoadConfigTest, DatFileIsNamedAfterTheModuleAsReported)
{
    theApp.moduleDir = "";
    theApp.moduleBaseName = "MY.SAVER";
    load({"/s"});
    ASSERT_EQ(sources.calls.size(), 3u);
    EXPECT_EQ(sources.calls.back(), "file:\\MY.SAVER.dat");
}

TEST(ConfigErrorTextTest, CodesNameTheirStrings)
{
    EXPECT_EQ(configErrorStringId(CONFIG_NOT_READABLE), 142u);
    EXPECT_EQ(configErrorStringId(CONFIG_EMPTY_LIST), 143u);
    CString text;
    ASSERT_TRUE(text.LoadString(142));
    EXPECT_EQ(text, "Error: Could not read configuration file.");
    ASSERT_TRUE(text.LoadString(143));
    EXPECT_EQ(text, "Error: Empty web page list provided.");
}

std::atomic<time_t> fakeNow{0};

time_t fakeClock()
{
    return fakeNow;
}

struct ErrorCase {
    const char* name;
    std::vector<const char*> words;
    int namedFileResult;
    const char* text;
};

class StartupErrorBoxTest : public LoadConfigTest, public ::testing::WithParamInterface<ErrorCase> {};

// The start-up shows the code's text and ends; the box moves on the primary monitor.
TEST_P(StartupErrorBoxTest, ShowsTheCodesTextOnThePrimaryMonitor)
{
    const FeatureValuesTurn featureValues;
    sources.files = {{"D:\\empty.qvx", GetParam().namedFileResult}};
    errorBoxClock = fakeClock;
    fakeNow = 1000;
    MONITORINFO primary = {sizeof primary};
    GetMonitorInfoA(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &primary);
    const RECT& area = primary.rcMonitor;
    std::srand(5);
    const int x = area.left + std::rand() * (area.right - area.left - 300) / 32767;
    const int y = area.top + std::rand() * (area.bottom - area.top - 100) / 32767;
    std::srand(5);

    bool textShown = false;
    bool moved = false;
    std::thread watcher([&] {
        HWND box = waitForErrorBox(GetCurrentProcessId(), 20000);
        if (!box)
            return;
        textShown = showsText(box, GetParam().text);
        fakeNow = 2000;
        moved = waitForPosition(box, x, y, 5000);
        clickOk(box);
    });
    CQuorvelCmdInfo info = parse(GetParam().words);
    EXPECT_FALSE(theApp.PrepareConfiguration(info));
    watcher.join();
    EXPECT_TRUE(textShown);
    EXPECT_TRUE(moved);
    EXPECT_EQ(logged().front(), "TEST mode");
}

INSTANTIATE_TEST_SUITE_P(
    Codes, StartupErrorBoxTest,
    ::testing::Values(ErrorCase{"NoPath", {"/config"}, 0, "Error: Could not read configuration file."},
                      ErrorCase{"Unreadable", {"/config", "D:\\empty.qvx"}, 2,
                                "Error: Could not read configuration file."},
                      ErrorCase{"EmptyList", {"/config", "D:\\empty.qvx"}, 3, "Error: Empty web page list provided."}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
