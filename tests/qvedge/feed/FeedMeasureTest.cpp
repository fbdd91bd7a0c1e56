#include "qvedge/feed/FeedMeasure.h"

#include <cstring>
#include <memory>
#include <string>

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

} // namespace
