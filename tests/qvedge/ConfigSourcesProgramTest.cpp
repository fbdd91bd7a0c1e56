// The real qvedge.scr under Wine: which configuration source it takes, and its error box
// when there is none.
#include "ErrorBoxWindow.h"
#include "FeatureValues.h"
#include "ProgramRun.h"
#include "Win.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr DWORD PROGRAM_TIME_LIMIT_MS = 30000;
const char* const READ_ERROR = "Error: Could not read configuration file.";
const char* const EMPTY_LIST_ERROR = "Error: Empty web page list provided.";

// How a run ended: by itself, through its error box (closed with OK), or with another
// window of its own on the screen (left for the test to read).
struct Outcome {
    bool ended = false;
    DWORD exitCode = 0;
    bool errorBox = false;
    std::vector<std::string> errorTexts;
    HWND window = nullptr;
};

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK findOtherWindow(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char title[16] = {};
    GetWindowTextA(window, title, sizeof title);
    if (owner == search->processId && IsWindowVisible(window) && std::string(title) != "Error!") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
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
        WindowSearch search{program.info.dwProcessId, nullptr};
        EnumWindows(findOtherWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            outcome.window = search.found;
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

std::string quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

// The package writer of tools/qvpack, run as its own process; its exit code.
DWORD runQvPack(const std::string& arguments)
{
    Program qvpack(arguments, windowsPath(QVPACK_EXE));
    if (!qvpack.started || !qvpack.waitForEnd(PROGRAM_TIME_LIMIT_MS))
        return 99;
    return qvpack.exitCode();
}

std::string configDocument(const std::string& author, bool withAddresses)
{
    return "<qvx>\r\n<mode value=\"0\"/>\r\n<urlList>" +
           std::string(withAddresses ? "<u adr=\"https://example.com/\"/>" : "") + "</urlList>\r\n<author value=\"" +
           author + "\"/>\r\n</qvx>\r\n";
}

// A configuration was taken: no error box, and the run either ended by itself or shows a
// window of its own.
bool configurationTaken(const Outcome& outcome)
{
    return !outcome.errorBox && ((outcome.ended && outcome.exitCode == 0) || outcome.window);
}

// A folder of the test's own for program copies, packages and configuration documents.
class Workspace {
public:
    Workspace()
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "qvsources-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    ~Workspace()
    {
        for (const std::string& file : files)
            DeleteFileA(file.c_str());
        RemoveDirectoryA(folder.c_str());
    }

    std::string path(const std::string& name)
    {
        files.push_back(folder + "\\" + name);
        return files.back();
    }
    std::string document(const std::string& name, const std::string& text)
    {
        const std::string file = path(name);
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }

    std::string folder;

private:
    std::vector<std::string> files;
};

// Runs the program, then removes the feature-control values it wrote for its names.
class CleanRun {
public:
    CleanRun(const std::string& arguments, const std::string& path = programPath())
        : names(featureNamesOf(path)), program(arguments, path)
    {
    }
    ~CleanRun() { removeFeatureValues(names); }

    FeatureControlNames names;
    Program program;
};

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
    Workspace workspace;
    CleanRun run("/config \"" + workspace.path("missing.qvx") + "\"");
    ASSERT_TRUE(run.program.started);
    const Outcome outcome = settle(run.program);
    EXPECT_TRUE(contains(outcome.errorTexts, READ_ERROR));
    EXPECT_TRUE(outcome.ended);
}

// Program copies in a folder of the test's own, each with the sources a case gives it.
class ConfigSourcesCopyTest : public ::testing::Test {
protected:
    std::string package(const std::string& name, bool withAddresses)
    {
        const std::string xml = workspace.document(name + ".xml", configDocument(name, withAddresses));
        const std::string file = workspace.path(name);
        EXPECT_EQ(runQvPack("pack " + quoted(xml) + " " + quoted(file)), 0u);
        return file;
    }
    std::string selfContained(const std::string& name, bool withAddresses)
    {
        const std::string xml = workspace.document(name + ".xml", configDocument(name, withAddresses));
        const std::string file = workspace.path(name);
        EXPECT_EQ(runQvPack("append " + quoted(programPath()) + " " + quoted(xml) + " " + quoted(file)), 0u);
        return file;
    }
    std::string plainCopy(const std::string& name)
    {
        const std::string file = workspace.path(name);
        EXPECT_TRUE(CopyFileA(programPath().c_str(), file.c_str(), FALSE));
        return file;
    }

    Workspace workspace;
};

TEST_F(ConfigSourcesCopyTest, SelfContainedCopyTakesItsTrailer)
{
    const std::string program = selfContained("qvself.scr", true);
    CleanRun run("/s", program);
    ASSERT_TRUE(run.program.started);
    EXPECT_TRUE(configurationTaken(settle(run.program)));
}

// An empty list in the trailer is dropped like any other failure of the source.
TEST_F(ConfigSourcesCopyTest, SelfContainedCopyWithEmptyListFallsBackToTheDatFile)
{
    const std::string program = selfContained("qvempty.scr", false);
    CleanRun alone("/s", program);
    ASSERT_TRUE(alone.program.started);
    const Outcome withoutDat = settle(alone.program);
    EXPECT_TRUE(contains(withoutDat.errorTexts, READ_ERROR));
    EXPECT_FALSE(contains(withoutDat.errorTexts, EMPTY_LIST_ERROR));

    package("qvempty.dat", true);
    CleanRun withDat("/s", program);
    ASSERT_TRUE(withDat.program.started);
    EXPECT_TRUE(configurationTaken(settle(withDat.program)));
}

TEST_F(ConfigSourcesCopyTest, DatFileBesideTheProgramIsTaken)
{
    const std::string program = plainCopy("qvdat.scr");
    package("qvdat.dat", true);
    CleanRun run("/s", program);
    ASSERT_TRUE(run.program.started);
    EXPECT_TRUE(configurationTaken(settle(run.program)));
}

TEST_F(ConfigSourcesCopyTest, PackageNamedForTheMachineIsTaken)
{
    const std::string baseName = "qvreg" + std::to_string(GetCurrentProcessId());
    const std::string program = plainCopy(baseName + ".scr");
    const std::string file = package("registered.qvx", true);
    const std::string key = "SOFTWARE\\Quorvels\\" + baseName + "\\Settings";
    ASSERT_EQ(RegSetKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), "Data", REG_SZ, file.c_str(),
                              static_cast<DWORD>(file.size() + 1)),
              ERROR_SUCCESS);
    CleanRun run("/s", program);
    ASSERT_TRUE(run.program.started);
    const Outcome outcome = settle(run.program);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, ("SOFTWARE\\Quorvels\\" + baseName).c_str());
    EXPECT_TRUE(configurationTaken(outcome));
}

TEST_F(ConfigSourcesCopyTest, TestRunTakesTheNamedFile)
{
    const std::string file = package("named.qvx", true);
    CleanRun run("/config " + quoted(file));
    ASSERT_TRUE(run.program.started);
    EXPECT_TRUE(configurationTaken(settle(run.program)));
}

TEST_F(ConfigSourcesCopyTest, TestRunOnAnEmptyListShowsTheEmptyListError)
{
    const std::string file = package("empty.qvx", false);
    CleanRun run("/config " + quoted(file));
    ASSERT_TRUE(run.program.started);
    const Outcome outcome = settle(run.program);
    EXPECT_TRUE(contains(outcome.errorTexts, EMPTY_LIST_ERROR));
    EXPECT_TRUE(outcome.ended);
}

} // namespace
