#include "common/ProgramBaseName.h"

#include "framework/Win.h"
#include "tests/CodePage932.h"
#include "tests/ProgramCopy.h"

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

namespace {

// Runs the copy's own case, which expects the given base name.
bool namesItself(const ProgramCopy& copy, const char* expected, const std::string& startPath = std::string())
{
    return copy.passes("ProgramBaseNameTest.PrintsOwnNameWhenAsked", "QV_EXPECT_BASE_NAME", expected, startPath);
}

std::string tempFolder()
{
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return folder;
}

} // namespace

// Windows may start a screensaver through its 8.3 path; the name must still be the long one.
TEST(ProgramBaseNameTest, LongNameWhenStartedThroughShortPath)
{
    const ProgramCopy copy(tempFolder() + "A Long Program Name.exe");
    ASSERT_TRUE(copy.made);
    char shortPath[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameA(copy.path.c_str(), shortPath, MAX_PATH), 0u);
    ASSERT_EQ(std::string::npos, std::string(shortPath).find("A Long Program Name"));
    EXPECT_TRUE(namesItself(copy, "A Long Program Name", shortPath));
}

class CodePage932BaseNameTest : public CodePage932Test {};

TEST_F(CodePage932BaseNameTest, KeepsALetterWhoseTrailByteIsABackslash)
{
    EXPECT_STREQ(SOFUTO, baseNameOfPath("C:\\Screens\\" SOFUTO ".scr"));
}

TEST_F(CodePage932BaseNameTest, NamesAProgramFileOfThatName)
{
    const ProgramCopy copy(tempFolder() + SOFUTO ".exe");
    ASSERT_TRUE(copy.made);
    EXPECT_TRUE(namesItself(copy, SOFUTO));
}

// Runs inside the copies started above; a plain run has nothing to expect.
TEST(ProgramBaseNameTest, PrintsOwnNameWhenAsked)
{
    // Read wide: Wine's GetEnvironmentVariableA cuts a double-byte text to its number of
    // characters.
    wchar_t wide[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"QV_EXPECT_BASE_NAME", wide, MAX_PATH))
        GTEST_SKIP() << "only meaningful in a copy started by another case";
    char expected[MAX_PATH] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, expected, MAX_PATH, nullptr, nullptr);
    EXPECT_STREQ(expected, getProgramBaseName());
}
