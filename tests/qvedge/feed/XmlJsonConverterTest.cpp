#include "qvedge/feed/XmlJsonConverter.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// Runs the caller's parse step on a writable copy; "<null>" when the body is refused.
std::string convert(XmlJsonConverter& converter, const std::string& feed)
{
    std::vector<char> body(feed.begin(), feed.end());
    body.push_back('\0');
    const std::string* json = convertFeedBody(converter, body.data());
    return json ? *json : "<null>";
}

std::string convert(const std::string& feed)
{
    XmlJsonConverter converter;
    return convert(converter, feed);
}

struct FeedCase {
    const char* name;
    std::string feed;
    std::string expected;
};

const FeedCase feedCases[] = {
    {"ExampleFeed",
     R"(<feed version="2"><title>News</title><item id="1"><t>A</t></item><item id="2"><t>B</t></item><empty/></feed>)",
     R"(json_decode({"feed":{"@attributes":{"version":"2"},"title":"News","item":[{"@attributes":{"id":"1"},"t":"A"},{"@attributes":{"id":"2"},"t":"B"}],"empty":""}}))"},
    {"TextWinsOverAttributes", R"(<r><item id="1">x</item></r>)", R"(json_decode({"r":{"item":"x"}}))"},
    {"TextWinsOverChildren", "<r>hello<c>1</c></r>", R"(json_decode({"r":"hello"}))"},
    {"WhitespaceOnlyIsEmpty", "<r><e>  \n\t </e></r>", R"(json_decode({"r":{"e":""}}))"},
    {"AttributesOnly", R"(<r a="1" b='2'/>)", R"(json_decode({"r":{"@attributes":{"a":"1","b":"2"}}}))"},
    {"AttributesBeforeChildren", R"(<r a="1"><c>2</c></r>)", R"(json_decode({"r":{"@attributes":{"a":"1"},"c":"2"}}))"},
    {"ArraySplitByOtherElement", "<r><a>1</a><b>2</b><a>3</a></r>", R"(json_decode({"r":{"a":["1","3"],"b":"2"}}))"},
    {"TwoArraysInterleaved", "<r><a>1</a><b>2</b><a>3</a><b>4</b><c/></r>",
     R"(json_decode({"r":{"a":["1","3"],"b":["2","4"],"c":""}}))"},
    {"InterleavedNames", "<r><a>1</a><b>2</b><a>3</a><c>4</c><b>5</b><a>6</a></r>",
     R"(json_decode({"r":{"a":["1","3","6"],"b":["2","5"],"c":"4"}}))"},
    {"NamesCompareExactly", "<r><a>1</a><ab>2</ab><A>3</A><b>4</b><a>5</a></r>",
     R"(json_decode({"r":{"a":["1","5"],"ab":"2","A":"3","b":"4"}}))"},
    {"NestedArrays", "<r><i><a>1</a><a>2</a></i><i/></r>", R"(json_decode({"r":{"i":[{"a":["1","2"]},""]}}))"},
    {"CdataIsKeylessMember", "<r><![CDATA[x</y>]]></r>", R"(json_decode({"r":{"":"x<\/y>"}}))"},
    {"TwoCdataSectionsFormArray", "<r><![CDATA[x]]><![CDATA[y]]></r>", R"(json_decode({"r":{"":["x","y"]}}))"},
    {"CdataSectionsAroundAnElement", "<r><![CDATA[x]]><a>1</a><![CDATA[y]]></r>",
     R"(json_decode({"r":{"":["x","y"],"a":"1"}}))"},
    {"TextNotTrimmed", "<r> x </r>", R"(json_decode({"r":" x "}))"},
    {"EmptyRoot", "<r/>", R"(json_decode({"r":""}))"},
    {"EmptyRootWithCloseTag", "<r></r>", R"(json_decode({"r":""}))"},
    {"LaterTopLevelElementsIgnored", "<a>1</a><b>2</b>", R"(json_decode({"a":"1"}))"},
    {"CdataBeforeTheRootSkipped", "<![CDATA[x]]><r>1</r>", R"(json_decode({"r":"1"}))"},
    {"SignatureDeclarationAndCommentSkipped", "\xEF\xBB\xBF<?xml version=\"1.0\"?><!-- c --><r>1</r>",
     R"(json_decode({"r":"1"}))"},
    {"Utf8Sequences", "<r>\xD0\x9F\xE2\x82\xAC\x7F\xF0\x9F\x98\x80</r>", R"(json_decode({"r":"\u041f\u20ac\u007f\ud83d\ude00"}))"},
    {"Latin1TextKeepsWhatFollows", "<r>caf\xE9 x y</r>", R"(json_decode({"r":"caf\ufffd x y"}))"},
    {"Latin1AttributeKeepsWhatFollows", "<r a=\"\xE9t\xE9\"/>", R"(json_decode({"r":{"@attributes":{"a":"\ufffdt\ufffd"}}}))"},
    {"CharacterReferencesBecomeEscapes", "<r>&lt;&amp;&#x41F;&quot;</r>", R"(json_decode({"r":"<&\u041f\""}))"},
    {"NamedEscapesAndOtherControls", "<r>a\x01\"\\/\b\f\n\r\t</r>", "json_decode({\"r\":\"a\x01\\\"\\\\\\/\\b\\f\\n\\r\\t\"})"},
    {"NamesAreEscaped", "<r\xC3\xA9 a\\b=\"1\"/>", R"(json_decode({"r\u00e9":{"@attributes":{"a\\b":"1"}}}))"},
};

class XmlJsonConverterFeedTest : public testing::TestWithParam<FeedCase> {};

TEST_P(XmlJsonConverterFeedTest, ConvertsExactly)
{
    EXPECT_EQ(GetParam().expected, convert(GetParam().feed));
}

INSTANTIATE_TEST_SUITE_P(Feeds, XmlJsonConverterFeedTest, testing::ValuesIn(feedCases),
                         [](const testing::TestParamInfo<FeedCase>& info) { return std::string(info.param.name); });

struct EscapeCase {
    const char* name;
    const char* text;
    const char* expected;
};

const EscapeCase escapeCases[] = {
    {"PlainAscii", "abc 123", "abc 123"},
    {"TwoByte", "\xD0\x9F", R"(\u041f)"},
    {"ThreeByte", "\xE2\x82\xAC", R"(\u20ac)"},
    {"FourByteIsSurrogatePair", "\xF0\x9F\x98\x80", R"(\ud83d\ude00)"},
    {"FirstSupplementary", "\xF0\x90\x80\x80", R"(\ud800\udc00)"},
    {"LastCodePoint", "\xF4\x8F\xBF\xBF", R"(\udbff\udfff)"},
    {"LastBasicPlane", "\xEF\xBF\xBF", R"(\uffff)"},
    {"LargestTwoByte", "\xDF\xBF", R"(\u07ff)"},
    {"Delete", "\x7F", R"(\u007f)"},
    {"StrayContinuationByte", "a\x80z", R"(a\ufffdz)"},
    {"ByteFE", "\xFE" "z", R"(\ufffdz)"},
    {"ByteFF", "\xFF" "z", R"(\ufffdz)"},
    // A malformed lead leaves alone and the scan goes on at the byte after it.
    {"Latin1LetterKeepsWhatFollows", "caf\xE9 x y", R"(caf\ufffd x y)"},
    {"ContinuationReplacedByAscii", "\xC3\x41z", R"(\ufffdAz)"},
    {"ThirdByteNotAContinuation", "\xE2\x82\x41", R"(\ufffd\ufffdA)"},
    {"FourthByteNotAContinuation", "\xF0\x9F\x98z", R"(\ufffd\ufffd\ufffdz)"},
    {"LeadFollowedByALead", "\xC3\xC3\xA9", R"(\ufffd\u00e9)"},
    {"LeadFollowedByDelete", "\xC3\x7F", R"(\ufffd\u007f)"},
    {"LeadFollowedByNamedEscape", "\xE2\n", R"(\ufffd\n)"},
    {"SequenceCutByEnd", "a\xE2\x82", R"(a\ufffd\ufffd)"},
    {"LeadByteAtEnd", "\xF0", R"(\ufffd)"},
    {"AboveLastCodePoint", "\xF4\x90\x80\x80", R"(\ufffd\ufffd\ufffd\ufffd)"},
    {"LeadF5", "\xF5\x80\x80\x80", R"(\ufffd\ufffd\ufffd\ufffd)"},
    {"FiveByteForm", "\xF8\x88\x80\x80\x80", R"(\ufffd\ufffd\ufffd\ufffd\ufffd)"},
    {"SixByteForm", "\xFD\xBF\xBF\xBF\xBF\xBF", R"(\ufffd\ufffd\ufffd\ufffd\ufffd\ufffd)"},
};

class EscapeJsonTest : public testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeJsonTest, Escapes)
{
    EXPECT_EQ(GetParam().expected, escapeJson(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Texts, EscapeJsonTest, testing::ValuesIn(escapeCases),
                         [](const testing::TestParamInfo<EscapeCase>& info) { return std::string(info.param.name); });

struct RefusedCase {
    const char* name;
    std::string feed;
};

std::string nested(int depth, const std::string& between = "")
{
    std::string feed;
    for (int i = 0; i < depth; ++i)
        feed += "<a>" + between;
    for (int i = 0; i < depth; ++i)
        feed += "</a>";
    return feed;
}

const RefusedCase refusedCases[] = {
    {"EmptyBody", ""},
    {"DeclarationOnly", "<?xml version=\"1.0\"?>"},
    {"CommentsOnly", "<!-- one --> <!-- two -->"},
    {"CdataOnly", "<![CDATA[x]]>"},
    {"NotWellFormed", "<r><a></r"},
    {"Unclosed", "<r>"},
    {"TextOutsideElement", "text"},
    {"NestedTooDeep", nested(XmlJsonConverter::maxNestingDepth + 1)},
    {"HostileNesting", nested(200000)},
    // Closing tags inside comments, character data and attribute values close nothing.
    {"ClosesHiddenInComments", nested(XmlJsonConverter::maxNestingDepth + 1, "<!--</a></a>-->")},
    {"ClosesHiddenInCdata", nested(XmlJsonConverter::maxNestingDepth + 1, "<![CDATA[</a></a>]]>")},
    {"ClosesHiddenInAttributes", nested(XmlJsonConverter::maxNestingDepth + 1, "<b c='</a>/>'/>")},
};

class XmlJsonConverterRefusedTest : public testing::TestWithParam<RefusedCase> {};

TEST_P(XmlJsonConverterRefusedTest, FailsTheRequest)
{
    EXPECT_EQ("<null>", convert(GetParam().feed));
}

INSTANTIATE_TEST_SUITE_P(Bodies, XmlJsonConverterRefusedTest, testing::ValuesIn(refusedCases),
                         [](const testing::TestParamInfo<RefusedCase>& info) { return std::string(info.param.name); });

TEST(XmlJsonConverterTest, NestingAtTheBoundConverts)
{
    std::string json = convert(nested(XmlJsonConverter::maxNestingDepth));
    EXPECT_EQ(0u, json.find("json_decode({\"a\":{\"a\":"));
    EXPECT_EQ("\"\"" + std::string(XmlJsonConverter::maxNestingDepth - 1, '}') + "})",
              json.substr(json.size() - XmlJsonConverter::maxNestingDepth - 3));
}

TEST(XmlJsonConverterTest, ManyEmptySiblingsDoNotCountAsNesting)
{
    std::string feed = "<r>";
    for (int i = 0; i < 5000; ++i)
        feed += "<a/><b></b>";
    feed += "</r>";
    EXPECT_NE("<null>", convert(feed));
}

// More children than a node scans: the grouping by sorting must give the same text.
TEST(XmlJsonConverterTest, ManySiblingsGroupLikeFewDo)
{
    const int rounds = XmlJsonConverter::siblingScanLimit;
    std::string feed = "<r><ab>p</ab><A>q</A>";
    std::string a, b, unique;
    for (int i = 0; i < rounds; ++i) {
        std::string n = std::to_string(i);
        feed += "<a>" + n + "</a><u" + n + "/><b>" + n + "</b><b>-" + n + "</b>";
        a += (i ? ",\"" : "\"") + n + "\"";
        b += (i ? ",\"" : "\"") + n + "\",\"-" + n + "\"";
        if (i > 0)
            unique += ",\"u" + n + "\":\"\"";
    }
    feed += "</r>";
    EXPECT_EQ("json_decode({\"r\":{\"ab\":\"p\",\"A\":\"q\",\"a\":[" + a + "],\"u0\":\"\",\"b\":[" + b + "]" +
                  unique + "}})",
              convert(feed));
}

// Far more distinct sibling names than a scan of the later siblings per child could finish;
// the first name comes back once more at the end, so its array spans all of them.
TEST(XmlJsonConverterTest, HugeNumberOfDistinctSiblingNamesConverts)
{
    const int count = 100000;
    std::string feed = "<r>";
    std::string expected = "json_decode({\"r\":{\"n0\":[\"0\",\"again\"]";
    for (int i = 0; i < count; ++i) {
        std::string n = std::to_string(i);
        feed += "<n" + n + ">" + n + "</n" + n + ">";
        if (i > 0)
            expected += ",\"n" + n + "\":\"" + n + "\"";
    }
    feed += "<n0>again</n0></r>";
    expected += "}})";

    std::string json = convert(feed);
    ASSERT_EQ(expected.size(), json.size());
    EXPECT_EQ(0u, json.find(R"(json_decode({"r":{"n0":["0","again"],"n1":"1","n2":"2",)"));
    EXPECT_NE(std::string::npos, json.find(R"(,"n54321":"54321",)"));
    EXPECT_EQ(R"(,"n99999":"99999"}}))", json.substr(json.size() - 20));
    EXPECT_TRUE(json == expected);
}

TEST(XmlJsonConverterTest, ConversionDetachesTheRootsChildren)
{
    XmlJsonConverter converter;
    std::string feed = "<r><a>1</a><b><c/><c/></b><a>2</a></r>";
    std::vector<char> body(feed.begin(), feed.end());
    body.push_back('\0');
    ASSERT_NE(nullptr, convertFeedBody(converter, body.data()));
    ASSERT_NE(nullptr, converter.getDocument().first_node());
    EXPECT_EQ(nullptr, converter.getDocument().first_node()->first_node());
}

TEST(XmlJsonConverterTest, TwoConversionsOnOneConverterEachHoldOneCall)
{
    XmlJsonConverter converter;
    EXPECT_EQ(R"(json_decode({"a":{"x":["1","2"]}}))", convert(converter, "<a><x>1</x><x>2</x></a>"));
    EXPECT_EQ(R"(json_decode({"b":"3"}))", convert(converter, "<b>3</b>"));
}

TEST(XmlJsonConverterTest, RefusedBodyAfterAConversionLeavesNoElementBehind)
{
    XmlJsonConverter converter;
    convert(converter, "<a>1</a>");
    EXPECT_EQ("<null>", convert(converter, "<!-- nothing -->"));
}

} // namespace
