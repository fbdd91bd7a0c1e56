#include "common/ProgramBaseName.h"

#include "framework/Win.h"

#include <gtest/gtest.h>

struct BaseNameCase {
    const char* path;
    const char* expected;
};

class BaseNameOfPathTest : public testing::TestWithParam<BaseNameCase> {};

TEST_P(BaseNameOfPathTest, CutsBetweenLastBackslashAndLastDot)
{
    EXPECT_STREQ(GetParam().expected, baseNameOfPath(GetParam().path));
}

INSTANTIATE_TEST_SUITE_P(Paths, BaseNameOfPathTest,
                         testing::Values(BaseNameCase{"C:\\Screens\\My Show.scr", "My Show"},
                                         BaseNameCase{"C:\\Dir\\saver.tar.scr", "saver.tar"},
                                         BaseNameCase{"C:\\Dir\\saver", ""},
                                         BaseNameCase{"C:\\Dir.d\\saver", ""},
                                         BaseNameCase{"saver.scr", "saver"},
                                         BaseNameCase{"", ""}));

TEST(ProgramBaseNameTest, NamesTheRunningTestExecutable)
{
    EXPECT_STREQ("test_common", getProgramBaseName());
}

TEST(ProgramBaseNameTest, PathIsTheOneTheSystemReports)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    EXPECT_STREQ(self, getProgramPath());
    EXPECT_EQ(getProgramPath().Right(16), "\\test_common.exe");
}

// Windows may start a screensaver through its 8.3 path; the name must still be the long one.
TEST(ProgramBaseNameTest, LongNameWhenStartedThroughShortPath)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    std::string longCopy = std::string(folder) + "A Long Program Name.exe";
    ASSERT_TRUE(CopyFileA(self, longCopy.c_str(), FALSE));
    char shortPath[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameA(longCopy.c_str(), shortPath, MAX_PATH), 0u);
    ASSERT_EQ(std::string::npos, std::string(shortPath).find("A Long Program Name"));

    std::string command = std::string("\"") + shortPath +
                          "\" --gtest_filter=ProgramBaseNameTest.PrintsOwnNameWhenAsked";
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    SetEnvironmentVariableA("QV_EXPECT_BASE_NAME", "A Long Program Name");
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    SetEnvironmentVariableA("QV_EXPECT_BASE_NAME", nullptr);
    WaitForSingleObject(process.hProcess, 60000);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    DeleteFileA(longCopy.c_str());
    EXPECT_EQ(0u, exitCode);
}

// Runs inside the copy started above; a plain run has nothing to expect.
TEST(ProgramBaseNameTest, PrintsOwnNameWhenAsked)
{
    char expected[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("QV_EXPECT_BASE_NAME", expected, MAX_PATH))
        GTEST_SKIP() << "only meaningful in a copy started by another case";
    EXPECT_STREQ(expected, getProgramBaseName());
}
