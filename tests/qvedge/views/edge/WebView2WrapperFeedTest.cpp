#include "qvedge/views/edge/WebView2Wrapper.h"

#include "tests/qvedge/support/FeedServer.h"
#include "tests/qvedge/support/LogCapture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::wstring wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

class WebView2FeedTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (feedServerMemAddress("").empty())
            GTEST_SKIP() << "no feed server: run through ctest";
        ASSERT_TRUE(trustFeedServerCertificate());
    }

    bool fetch(const std::string& path) { return view.getMemPage(wide(feedServerMemAddress(path)).c_str()); }
    std::string page() const { return view.pageBuffer ? std::string(view.pageBuffer.get()) : std::string(); }

    WebView2Wrapper view;
};

TEST_F(WebView2FeedTest, CallbackBetweenParametersIsDropped)
{
    ASSERT_TRUE(fetch("/echo?a=1&callback=cb7&b=2"));
    const std::string expected = R"(json_decode({"r":{"path":"\/echo?a=1&b=2"}}))";
    EXPECT_EQ(expected, page());
    EXPECT_EQ(expected.size() + 1, view.pageSize);
    EXPECT_EQ(view.pageBuffer.get(), view.pageCursor);
}

TEST_F(WebView2FeedTest, CallbackAtTheEndIsKept)
{
    ASSERT_TRUE(fetch("/echo?a=1&callback=cb7"));
    EXPECT_EQ(R"(json_decode({"r":{"path":"\/echo?a=1&callback=cb7"}}))", page());
}

TEST_F(WebView2FeedTest, SecondRequestLeavesOnlyItsOwnCall)
{
    ASSERT_TRUE(fetch("/echo?n=1"));
    ASSERT_TRUE(fetch("/echo?n=2"));
    EXPECT_EQ(R"(json_decode({"r":{"path":"\/echo?n=2"}}))", page());
    EXPECT_TRUE(view.internetSession);
    EXPECT_TRUE(view.httpFile);
}

TEST_F(WebView2FeedTest, ErrorPageIsConvertedLikeAnyBody)
{
    ASSERT_TRUE(fetch("/no-such-feed"));
    EXPECT_EQ(R"(json_decode({"error":{"code":"404"}}))", page());
}

TEST_F(WebView2FeedTest, LogsTheAddressAndTheFinalUrl)
{
    LogCapture log;
    const std::string address = feedServerMemAddress("/echo?a=1&callback=c&b=2");
    ASSERT_TRUE(fetch("/echo?a=1&callback=c&b=2"));
    std::string finalUrl = address;
    finalUrl.replace(0, 6, "https://");
    finalUrl.erase(finalUrl.find("&callback=c"), 11);
    EXPECT_TRUE(log.has("WebView2WrapperFeed.cpp\tgetMemPage\tWebView2Wrapper::getMemPage(" + address + ")"));
    EXPECT_TRUE(log.has("WebView2WrapperFeed.cpp\tgetMemPage\tReplace mem: with https:"));
    EXPECT_TRUE(log.has("WebView2WrapperFeed.cpp\tgetMemPage\tFinal URL: " + finalUrl));
}

TEST_F(WebView2FeedTest, FailedFetchOrConversionLeavesTheLastPage)
{
    ASSERT_TRUE(fetch("/echo?n=1"));
    const char* before = view.pageBuffer.get();
    EXPECT_FALSE(fetch("/malformed"));
    EXPECT_EQ(before, view.pageBuffer.get());
    EXPECT_EQ(R"(json_decode({"r":{"path":"\/echo?n=1"}}))", page());
}

TEST_F(WebView2FeedTest, NulByteEndsItsChunkOnly)
{
    ASSERT_TRUE(fetch("/nul"));
    EXPECT_EQ(R"(json_decode({"r":{"a":"1","b":"2"}}))", page());
}

TEST(WebView2FeedFailureTest, UnreachableServerGivesFalseAndKeepsThePage)
{
    WebView2Wrapper view;
    view.pageBuffer.reset(new char[4]);
    std::memcpy(view.pageBuffer.get(), "old", 4);
    view.pageSize = 4;
    const char* before = view.pageBuffer.get();
    EXPECT_FALSE(view.getMemPage(L"mem://localhost:1/echo"));
    EXPECT_EQ(before, view.pageBuffer.get());
    EXPECT_STREQ("old", view.pageBuffer.get());
    EXPECT_EQ(4u, view.pageSize);
}

TEST(WebView2FeedFailureTest, NullAddressGivesFalseAndLogsNothing)
{
    LogCapture log;
    WebView2Wrapper view;
    EXPECT_FALSE(view.getMemPage(nullptr));
    EXPECT_TRUE(log.records().empty());
}

} // namespace
