#include "common/UrlParser.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct AcceptedCase {
    const char* label;
    const char* address;
    const char* fullUrl;
    const char* scheme;
    const char* hostName;
    const char* urlPath;
    const char* extraInfo;
    unsigned port;
};

std::ostream& operator<<(std::ostream& out, const AcceptedCase& c)
{
    return out << c.label;
}

class UrlParserAccepts : public testing::TestWithParam<AcceptedCase> {};

TEST_P(UrlParserAccepts, SplitsTheNormalisedAddress)
{
    const AcceptedCase& c = GetParam();
    UrlParser parser;
    ASSERT_TRUE(parser.parseUrl(c.address));
    EXPECT_EQ(1, parser.valid);
    EXPECT_STREQ(c.fullUrl, parser.fullUrl);
    EXPECT_STREQ(c.scheme, parser.scheme);
    EXPECT_STREQ(c.hostName, parser.hostName);
    EXPECT_STREQ(c.urlPath, parser.urlPath);
    EXPECT_STREQ(c.extraInfo, parser.extraInfo);
    EXPECT_EQ(c.port, parser.port);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, UrlParserAccepts,
    testing::Values(
        AcceptedCase{"BareHostAndPathGetsHttps", "example.com/news/today.htm",
                     "https://example.com/news/today.htm", "https", "example.com", "/news/today.htm", "", 443},
        AcceptedCase{"HttpWithPortQueryAndFragment", "http://example.com:8080/a/b?x=1&y=2#top",
                     "http://example.com:8080/a/b?x=1&y=2#top", "http", "example.com", "/a/b", "?x=1&y=2#top",
                     8080},
        AcceptedCase{"HttpsHostOnly", "https://www.example.org", "https://www.example.org", "https",
                     "www.example.org", "", "", 443},
        AcceptedCase{"Ftp", "ftp://ftp.example.com/pub/file.txt", "ftp://ftp.example.com/pub/file.txt", "ftp",
                     "ftp.example.com", "/pub/file.txt", "", 21},
        AcceptedCase{"File", "file://server/share/page.htm", "file://server/share/page.htm", "file", "server",
                     "/share/page.htm", "", 0},
        AcceptedCase{"LeadingBlanksThenTabsTrimmed", "  \t\texample.com", "https://example.com", "https",
                     "example.com", "", "", 443},
        AcceptedCase{"TrailingTabsThenBlanksTrimmed", "example.com/x\t\t  ", "https://example.com/x", "https",
                     "example.com", "/x", "", 443},
        AcceptedCase{"SchemeAddedBeforeOtherSchemeWord", "mail.example.com:81/inbox",
                     "https://mail.example.com:81/inbox", "https", "mail.example.com", "/inbox", "", 81}),
    [](const testing::TestParamInfo<AcceptedCase>& info) { return std::string(info.param.label); });

struct RejectedCase {
    const char* label;
    const char* address;
};

std::ostream& operator<<(std::ostream& out, const RejectedCase& c)
{
    return out << c.label;
}

class UrlParserRejects : public testing::TestWithParam<RejectedCase> {};

// The parser first accepts an address, so a rejection must clear what that left behind.
TEST_P(UrlParserRejects, AndResetsEveryPart)
{
    UrlParser parser;
    ASSERT_TRUE(parser.parseUrl("http://example.com:8080/a?b#c"));
    EXPECT_FALSE(parser.parseUrl(GetParam().address));
    EXPECT_EQ(0, parser.valid);
    EXPECT_TRUE(parser.fullUrl.IsEmpty());
    EXPECT_TRUE(parser.scheme.IsEmpty());
    EXPECT_TRUE(parser.hostName.IsEmpty());
    EXPECT_TRUE(parser.urlPath.IsEmpty());
    EXPECT_TRUE(parser.extraInfo.IsEmpty());
    EXPECT_EQ(0u, parser.port);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, UrlParserRejects,
    testing::Values(RejectedCase{"Empty", ""}, RejectedCase{"OnlyBlanks", "   "},
                    RejectedCase{"OnlyTabs", "\t\t"}, RejectedCase{"BlanksAndTabs", " \t \t "},
                    RejectedCase{"BlankInside", "https://example.com/my page.htm"},
                    RejectedCase{"TabInside", "example.com/a\tb"},
                    RejectedCase{"BlankAfterLeadingTab", "\t example.com"},
                    RejectedCase{"BlankBeforeTrailingTab", "example.com \t"},
                    RejectedCase{"CapitalScheme", "HTTP://EXAMPLE.COM/"},
                    RejectedCase{"MixedCaseScheme", "Https://example.com/"},
                    RejectedCase{"UnknownScheme", "gopher://example.com/"},
                    RejectedCase{"OtherAddressInQuery", "example.com/go?to=http://other.example.com"},
                    RejectedCase{"LineFeedInside", "https://example.com/\nx"},
                    RejectedCase{"CarriageReturnAtEnd", "https://example.com/\r"},
                    RejectedCase{"SchemeNotAtStart", "xhttps://example.com/"}),
    [](const testing::TestParamInfo<RejectedCase>& info) { return std::string(info.param.label); });

TEST(UrlParserTest, StartsEmptyWithTheUserAgent)
{
    UrlParser parser;
    EXPECT_EQ(0, parser.valid);
    EXPECT_EQ(0u, parser.port);
    EXPECT_TRUE(parser.fullUrl.IsEmpty());
    EXPECT_TRUE(parser.hostName.IsEmpty());
    EXPECT_STREQ("Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)", parser.userAgent);
}

// Tracking and feed addresses can run to many kilobytes; none may exhaust the stack.
TEST(UrlParserTest, LongAddressesAreCheckedWithoutExhaustingTheStack)
{
    const std::string query = "?q=" + std::string(200000, 'a');
    UrlParser parser;
    ASSERT_TRUE(parser.parseUrl(CString(("example.com/p" + query).c_str())));
    EXPECT_STREQ("example.com", parser.hostName);
    EXPECT_EQ(query.size(), static_cast<size_t>(parser.extraInfo.GetLength()));
    EXPECT_FALSE(parser.parseUrl(CString(("https://example.com/p" + query + "\n").c_str())));
}

TEST(UrlParserTest, AcceptsAgainAfterARejection)
{
    UrlParser parser;
    ASSERT_FALSE(parser.parseUrl("bad address"));
    ASSERT_TRUE(parser.parseUrl("example.net"));
    EXPECT_STREQ("https://example.net", parser.fullUrl);
    EXPECT_EQ(443u, parser.port);
    EXPECT_STREQ("Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)", parser.userAgent);
}

}  // namespace
