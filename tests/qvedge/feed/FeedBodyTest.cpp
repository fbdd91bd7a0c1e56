#include "qvedge/feed/FeedBody.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

const std::string feed = R"(<?xml version="1.0"?><rss><channel><title>T &amp; U</title>)"
                         R"(<item id="1"><t>A</t><c/><![CDATA[x]]></item><!-- c --><item id="2"><t>B</t></item>)"
                         R"(</channel></rss>)";

// "<null>" when the body is refused.
std::string text(const std::string* json)
{
    return json ? *json : "<null>";
}

std::string wholeConversion(const std::string& body)
{
    XmlJsonConverter converter;
    std::vector<char> copy(body.begin(), body.end());
    copy.push_back('\0');
    return text(convertFeedBody(converter, copy.data()));
}

std::string chunkedConversion(const std::string& body, std::size_t chunkSize)
{
    FeedBody arriving;
    for (std::size_t from = 0; from < body.size(); from += chunkSize)
        arriving.append(body.data() + from, std::min(chunkSize, body.size() - from));
    XmlJsonConverter converter;
    return text(arriving.convert(converter));
}

TEST(FeedBodyTest, ChunksOfAnySizeConvertAsTheWholeBody)
{
    const std::string expected = wholeConversion(feed);
    ASSERT_NE("<null>", expected);
    for (std::size_t chunkSize : {std::size_t{1}, std::size_t{2}, std::size_t{7}, std::size_t{64}, feed.size()})
        EXPECT_EQ(expected, chunkedConversion(feed, chunkSize)) << chunkSize;
}

TEST(FeedBodyTest, ANulEndsOnlyItsOwnChunk)
{
    FeedBody arriving;
    const char first[] = "<r><a>1</a>\0<b>lost</b>";
    arriving.append(first, sizeof first - 1);
    arriving.append("<c>2</c></r>", 12);
    XmlJsonConverter converter;
    EXPECT_EQ(R"(json_decode({"r":{"a":"1","c":"2"}}))", text(arriving.convert(converter)));
}

// Elements nested depth deep around a text.
std::string nested(int depth)
{
    std::string opens;
    std::string closes;
    for (int i = 0; i < depth; ++i) {
        opens += "<a>";
        closes += "</a>";
    }
    return opens + "x" + closes;
}

TEST(FeedBodyTest, NestingPastTheBoundIsRefusedInChunksToo)
{
    EXPECT_NE("<null>", chunkedConversion(nested(XmlJsonConverter::maxNestingDepth), 5));
    EXPECT_EQ("<null>", chunkedConversion(nested(XmlJsonConverter::maxNestingDepth + 1), 5));
}

TEST(FeedBodyTest, AnEmptyBodyIsRefused)
{
    FeedBody arriving;
    XmlJsonConverter converter;
    EXPECT_EQ(nullptr, arriving.convert(converter));
}

} // namespace
