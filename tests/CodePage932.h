#pragma once
// Cases that need the Japanese ANSI code page live in suites named CodePage932*. The plain
// runs leave them out; an entry of their own runs them with a Japanese LANG, from which Wine
// takes the code page (no locale need be installed, and the programs they start keep it).
#include "framework/Win.h"

#include <gtest/gtest.h>

class CodePage932Test : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(932u, GetACP()) << "runs only in the code-page-932 entry"; }
};

template <class Param>
class CodePage932TestWithParam : public CodePage932Test, public testing::WithParamInterface<Param> {};

// "ソフト" in code page 932: the trail byte of its first letter is a backslash (0x5C), and
// cut there it would read "フト".
#define SOFUTO "\x83\x5C\x83\x74\x83\x67"
#define FUTO "\x83\x74\x83\x67"
