// Cutting at a character: the ANSI code page decides what a character is, so these run on
// Windows (or Wine) only, apart from the windows-free checks of CString.
#include "framework/CString.h"

#include "tests/CodePage932.h"

#include <gtest/gtest.h>

namespace {

struct ReverseFindCase {
    const char* text;
    char ch;
    int at;
};

// Code page 1252 has no double-byte characters: every byte is a character of its own.
TEST(CStringTest, ReverseFindTakesEveryByteOfASingleByteCodePage)
{
    EXPECT_EQ(1, CString(SOFUTO).ReverseFind('\\'));
}

class CodePage932ReverseFindTest : public CodePage932TestWithParam<ReverseFindCase> {};

TEST_P(CodePage932ReverseFindTest, NeverTakesATrailByte)
{
    EXPECT_EQ(GetParam().at, CString(GetParam().text).ReverseFind(GetParam().ch));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CodePage932ReverseFindTest,
    testing::Values(ReverseFindCase{SOFUTO, '\\', -1}, ReverseFindCase{"C:\\" SOFUTO, '\\', 2},
                    ReverseFindCase{"C:\\" SOFUTO "\\x", '\\', 9}, ReverseFindCase{SOFUTO ".scr", '.', 6},
                    // A lead byte at the very end has no trail byte to hide.
                    ReverseFindCase{"a\\\x83", '\\', 1},
                    // Single-byte katakana (A1-DF) are no lead bytes.
                    ReverseFindCase{"\xB1\\", '\\', 1}));

} // namespace
