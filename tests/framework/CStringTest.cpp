#include "framework/CString.h"

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

// Occurrences are taken left to right without overlap, in the text as it was.
TEST(CStringTest, ReplaceShorteningAndRemoving)
{
    struct Case {
        const char* text;
        const char* oldText;
        const char* newText;
        int count;
        const char* expected;
    };
    const Case cases[] = {
        {"aaa", "aa", "a", 1, "aa"},
        {"aaaa", "aa", "a", 2, "aa"},
        {"x--y----", "--", "", 3, "xy"},
        {"--", "--", nullptr, 1, ""},
        {"abc", "d", "e", 0, "abc"},
        {"abc", "", "e", 0, "abc"},
    };
    for (const Case& c : cases) {
        CString text(c.text);
        EXPECT_EQ(c.count, text.Replace(c.oldText, c.newText)) << c.text << " " << c.oldText;
        EXPECT_EQ(CString(c.expected), text) << c.text << " " << c.oldText;
    }
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
