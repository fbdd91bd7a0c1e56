#include "webview2/testprovider/Knobs.h"

#include <gtest/gtest.h>

TEST(WebView2Knobs, LinesScopesAndNumbers)
{
    const Knobs knobs = Knobs::parse("# comment\n"
                                     "  create_controller_hr = 0x80004005 \r\n"
                                     "create_controller_hr@2=-2147024809\n"
                                     "\n"
                                     "no equals sign\n"
                                     "user_agent=A=B C\n"
                                     "request=mem://one\n"
                                     "request=mem://two\n"
                                     "request@3=https://three/\n"
                                     "controller_delay_ms=120000\n"
                                     "navigation_delay_ms=-5\n"
                                     "script_delay_ms=40\n"
                                     "broken=12x");
    struct Case {
        const char* key;
        int scope;
        int64_t expected;
    };
    const Case numbers[] = {
        {"create_controller_hr", 1, 0x80004005LL},
        {"create_controller_hr", 2, -2147024809LL},
        {"broken", 1, 7},
        {"absent", 1, 7},
    };
    for (const Case& c : numbers)
        EXPECT_EQ(c.expected, knobs.number(c.key, c.scope, 7)) << c.key << "@" << c.scope;
    EXPECT_EQ("A=B C", knobs.text("user_agent", 1));
    EXPECT_EQ("fallback", knobs.text("absent", 1, "fallback"));
    EXPECT_EQ((std::vector<std::string>{"mem://one", "mem://two"}), knobs.list("request", 1));
    EXPECT_EQ((std::vector<std::string>{"https://three/"}), knobs.list("request", 3));
    EXPECT_TRUE(knobs.list("absent", 1).empty());
    EXPECT_FALSE(knobs.has("no equals sign", 1));
    EXPECT_TRUE(knobs.has("request", 9));
    EXPECT_EQ(60000u, knobs.milliseconds("controller_delay_ms", 1));
    EXPECT_EQ(0u, knobs.milliseconds("navigation_delay_ms", 1));
    EXPECT_EQ(40u, knobs.milliseconds("script_delay_ms", 1));
    EXPECT_EQ(0u, knobs.milliseconds("absent", 1));
}

TEST(WebView2Knobs, AddressPatterns)
{
    struct Case {
        const char* address;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        {"https://a/", "https://a/", true},
        {"https://a/x", "https://a/", false},
        {"https://a/x", "https://a/*", true},
        {"https://a/", "https://a/*", true},
        {"https://b/", "https://a/*", false},
        {"anything", "*", true},
        {"", "", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.matches, addressMatches(c.address, c.pattern)) << c.address << " ~ " << c.pattern;
}
