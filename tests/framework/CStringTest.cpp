#include "framework/CString.h"

#include <string>

#include <gtest/gtest.h>

TEST(CStringTest, MidClampsLikeTheClassLibrary)
{
    CString text("abcdef");
    EXPECT_EQ(CString("cde"), text.Mid(2, 3));
    EXPECT_EQ(CString("ab"), text.Mid(-3, 2));
    EXPECT_EQ(CString(""), text.Mid(2, -1));
    EXPECT_EQ(CString("ef"), text.Mid(4, 100));
    EXPECT_EQ(CString(""), text.Mid(9));
}

TEST(CStringTest, FindAndReplace)
{
    CString text("a&callback=x&b");
    EXPECT_EQ(1, text.Find("&callback="));
    EXPECT_EQ(-1, text.Find("zz"));
    EXPECT_EQ(-1, text.Find('a', 20));
    EXPECT_EQ(12, text.ReverseFind('&'));
    EXPECT_EQ(2, text.Replace("&", "&&"));
    EXPECT_EQ(CString("a&&callback=x&&b"), text);
}

namespace {

struct ReplaceCase {
    const char* name;
    std::string text;
    const char* oldText;
    const char* newText;
    int count;
    std::string expected;
};

std::string repeated(const std::string& piece, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

const ReplaceCase replaceCases[] = {
    {"NoMatch", "abc", "x", "y", 0, "abc"},
    {"EmptyText", "", "a", "b", 0, ""},
    {"EmptyPatternReplacesNothing", "abc", "", "y", 0, "abc"},
    {"NullPatternReplacesNothing", "abc", nullptr, "y", 0, "abc"},
    {"PatternLongerThanText", "ab", "abc", "y", 0, "ab"},
    {"WholeText", "mem://", "mem://", "https://", 1, "https://"},
    {"AtStartAndEnd", "ab-ab", "ab", "c", 2, "c-c"},
    {"Adjacent", "ababab", "ab", "x", 3, "xxx"},
    // Each match ends where the search goes on, so overlapping ones count once.
    {"OverlappingOdd", "aaa", "aa", "b", 1, "ba"},
    {"OverlappingEven", "aaaa", "aa", "b", 2, "bb"},
    {"OverlappingLonger", "abababa", "aba", "X", 2, "XbX"},
    {"ReplacementHoldsPattern", "aa", "a", "aa", 2, "aaaa"},
    {"ReplacementFormsNewMatch", "aab", "ab", "b", 1, "ab"},
    {"EmptyReplacementRemoves", "mem://mem://x", "mem://", "", 2, "x"},
    {"NullReplacementRemoves", "a&b&", "&", nullptr, 2, "ab"},
    {"RemovesRunsOfMatches", "x--y----", "--", "", 3, "xy"},
    {"RemovesTheWholeText", "--", "--", nullptr, 1, ""},
    {"Longer", "a.b.c", ".", "::", 2, "a::b::c"},
    {"Shorter", "a::b::c", "::", ".", 2, "a.b.c"},
    {"ManyRepeats", repeated("mem://", 5000) + "h", "mem://", "https://", 5000, repeated("https://", 5000) + "h"},
};

} // namespace

class CStringReplaceTest : public testing::TestWithParam<ReplaceCase> {};

TEST_P(CStringReplaceTest, ReplacesEachMatchLeftToRight)
{
    CString text(GetParam().text);
    EXPECT_EQ(GetParam().count, text.Replace(GetParam().oldText, GetParam().newText));
    EXPECT_TRUE(text.str() == GetParam().expected) << text.GetString();
}

INSTANTIATE_TEST_SUITE_P(Cases, CStringReplaceTest, testing::ValuesIn(replaceCases),
                         [](const testing::TestParamInfo<ReplaceCase>& info) { return std::string(info.param.name); });

TEST(CStringTest, ReplaceWithPatternFromItsOwnText)
{
    CString text("x-x");
    EXPECT_EQ(2, text.Replace(text.GetString() + 2, "yy"));
    EXPECT_EQ(CString("yy-yy"), text);
}

TEST(CStringTest, FormatGrowsToAnyLength)
{
    CString text;
    text.Format("%s/%d", std::string(1000, 'x').c_str(), -5);
    EXPECT_EQ(1003, text.GetLength());
    EXPECT_EQ(CString("/-5"), text.Right(3));
}

TEST(CStringTest, TrimAndCompare)
{
    CString text(" \t Hello\r\n");
    text.Trim();
    EXPECT_EQ(CString("Hello"), text);
    EXPECT_EQ(0, text.CompareNoCase("HELLO"));
    EXPECT_NE(0, text.Compare("HELLO"));
}

TEST(CStringTest, TrimOneCharacterStopsAtAnyOther)
{
    CString text("  \t x \t  ");
    text.TrimLeft(' ');
    EXPECT_EQ(CString("\t x \t  "), text);
    text.TrimRight(' ');
    EXPECT_EQ(CString("\t x \t"), text);
    text.TrimLeft('\t').TrimRight('\t');
    EXPECT_EQ(CString(" x "), text);
    CString blanks("   ");
    EXPECT_TRUE(blanks.TrimLeft(' ').IsEmpty());
    CString tabs("\t\t");
    EXPECT_TRUE(tabs.TrimRight('\t').IsEmpty());
}
