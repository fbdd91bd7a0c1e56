#include "qvedge/feed/FeedMeasure.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct MeasureCase {
    const char* name;
    std::string body;
};

// On a copy of exactly the body's size, so a read past its NUL shows under a sanitizer.
FeedMeasure measure(const std::string& body, int maxDepth)
{
    std::unique_ptr<char[]> copy(new char[body.size() + 1]);
    std::memcpy(copy.get(), body.c_str(), body.size() + 1);
    return measureFeed(copy.get(), maxDepth);
}

std::string nested(int depth)
{
    std::string body;
    for (int i = 0; i < depth; ++i)
        body += "<a>";
    return body + "x";
}

// Whether the scan stops at well-formed markup, at markup rapidxml rejects or at the end, the
// length it gives is the body's.
const MeasureCase measureCases[] = {
    {"Empty", ""},
    {"TextOnly", "plain text"},
    {"Feed", "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY e \"x\">]><r a='1'><!-- c --><![CDATA[<]]>t</r>"},
    {"EndsAfterLessThan", "<r><"},
    {"UnclosedComment", "<r><!-- x"},
    {"UnclosedAttributeValue", "<r a=\"x"},
    {"AttributeWithoutValue", "<r a>"},
    {"CloseBeforeAnyOpen", "</a>tail"},
    {"CloseTagCutShort", "<a></a"},
    {"NestedToTheBound", nested(8)},
};

class FeedMeasureTest : public testing::TestWithParam<MeasureCase> {};

TEST_P(FeedMeasureTest, MeasuresTheWholeBody)
{
    const FeedMeasure measured = measure(GetParam().body, 8);
    EXPECT_TRUE(measured.nestingWithin);
    EXPECT_EQ(GetParam().body.size(), measured.length);
}

INSTANTIATE_TEST_SUITE_P(Bodies, FeedMeasureTest, testing::ValuesIn(measureCases),
                         [](const testing::TestParamInfo<MeasureCase>& info) { return std::string(info.param.name); });

TEST(FeedMeasureNestingTest, OneLevelPastTheBoundIsTooDeep)
{
    EXPECT_FALSE(measure(nested(9), 8).nestingWithin);
}

// The scan that follows a body as it arrives gives what the scan of the whole body gives,
// wherever the chunks end: within a name, a quoted value, a terminator or between the two
// characters of "/>".
const char* const arrivingBodies[] = {
    "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY e \"[x]\">]><r a='1' b = \"2\"><!-- c -- d -->"
    "<![CDATA[<a>]]]]><x/><y z='w'/><?pi ?\?>t</r >",
    "<a><b><c><d/></c></b></a>",
    "<a><b><c><d></d></c></b></a>",
    "<a><b><c><d><e>",
    "<x/><a><b><c><d><e>",
    "<x y='1'/><!-- --></x ><a><b><c><d><e>",
    "<a/ ><b>",
    "<a b='1'/x><c><d><e><f>",
    "<a></a></b><c><d><e><f>",
    "<a><!x><b><c><d><e>",
    "<a><!-- <b><c><d><e> -->",
    "<a><![CDATA[ <b><c><d><e> ]]>",
    "<a><!DOCTYPE d [<b><c><d><e>]><f>",
    "text <a b=\"c",
};

FeedMeasure arriving(const std::string& body, const std::vector<std::size_t>& ends, int maxDepth)
{
    FeedScanner scanner(maxDepth);
    std::string text;
    std::size_t from = 0;
    for (std::size_t end : ends) {
        text.append(body, from, end - from);
        from = end;
        scanner.advance(text.c_str(), text.size());
    }
    text.append(body, from, std::string::npos);
    return scanner.finish(text.c_str());
}

void expectSame(const FeedMeasure& expected, const FeedMeasure& measured, const std::string& where)
{
    EXPECT_EQ(expected.nestingWithin, measured.nestingWithin) << where;
    EXPECT_EQ(expected.length, measured.length) << where;
}

TEST(FeedScannerTest, AnyTwoChunksMeasureAsTheWholeBody)
{
    for (const char* body : arrivingBodies) {
        const FeedMeasure whole = measure(body, 4);
        for (std::size_t split = 0; split <= std::strlen(body); ++split)
            expectSame(whole, arriving(body, {split}, 4), std::string(body) + " split at " + std::to_string(split));
    }
}

TEST(FeedScannerTest, OneByteAtATimeMeasuresAsTheWholeBody)
{
    for (const char* body : arrivingBodies) {
        std::vector<std::size_t> ends;
        for (std::size_t end = 1; end <= std::strlen(body); ++end)
            ends.push_back(end);
        expectSame(measure(body, 4), arriving(body, ends, 4), body);
    }
}

TEST(FeedScannerTest, TooDeepIsKnownBeforeTheLastChunk)
{
    FeedScanner scanner(4);
    const std::string text = nested(5) + "<";
    scanner.advance(text.c_str(), text.size());
    // The body goes on well-formed, yet the verdict stands.
    EXPECT_FALSE(scanner.finish((text + "b></b>").c_str()).nestingWithin);
}

} // namespace
