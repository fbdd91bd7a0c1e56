#include "qvedge/config/QuorvelConf.h"

#include <gtest/gtest.h>

#include <deque>
#include <set>
#include <string>
#include <vector>

namespace {

// Replaces the shuffle's random source for one test: scripted values first, then a fixed
// linear congruential sequence.
class ScriptedRandom {
public:
    explicit ScriptedRandom(std::deque<unsigned> values = {}, unsigned seed = 1)
    {
        script = std::move(values);
        state = seed;
        calls = 0;
        urlShuffleRandom = next;
    }
    ScriptedRandom(const ScriptedRandom&) = delete;
    ScriptedRandom& operator=(const ScriptedRandom&) = delete;
    ~ScriptedRandom() { urlShuffleRandom = systemRandom; }

    static int calls;

private:
    static unsigned next()
    {
        ++calls;
        if (!script.empty()) {
            const unsigned value = script.front();
            script.pop_front();
            return value;
        }
        state = state * 1664525u + 1013904223u;
        return state;
    }

    static std::deque<unsigned> script;
    static unsigned state;
};

int ScriptedRandom::calls = 0;
std::deque<unsigned> ScriptedRandom::script;
unsigned ScriptedRandom::state = 1;

CQuorvelConf listOf(std::vector<const char*> addresses, bool random = false)
{
    CQuorvelConf config;
    for (const char* address : addresses)
        config.urlList.push_back(address);
    config.random = random;
    return config;
}

std::vector<std::string> orderOf(const CQuorvelConf& config)
{
    std::vector<std::string> order;
    for (const CString& address : config.urlList)
        order.push_back(address.str());
    return order;
}

std::vector<std::string> numbered(int n)
{
    std::vector<std::string> names;
    for (int i = 0; i < n; ++i)
        names.push_back("https://site" + std::to_string(i) + ".example/");
    return names;
}

CQuorvelConf numberedList(int n)
{
    CQuorvelConf config;
    for (const std::string& name : numbered(n))
        config.urlList.push_back(name);
    config.random = true;
    return config;
}

// True when following the permutation from position 0 visits every position once before
// it returns: the shuffle made a single cycle.
bool isSingleCycle(const std::vector<std::string>& before, const std::vector<std::string>& after)
{
    const size_t n = before.size();
    size_t position = 0;
    for (size_t step = 1; step <= n; ++step) {
        size_t next = 0;
        while (next < n && after[next] != before[position])
            ++next;
        position = next;
        if (position == 0)
            return step == n;
    }
    return false;
}

TEST(AddressListTest, EmptyListDoesNothing)
{
    CQuorvelConf config;
    config.AdvanceUrl();
    EXPECT_EQ(config.currentUrl, -1);
    EXPECT_EQ(config.firstPass, 1);
    EXPECT_EQ(config.GetCurrentUrl(), "");
    EXPECT_EQ(config.GetReachableUrl(), "");
    EXPECT_EQ(config.currentUrl, -1);
}

TEST(AddressListTest, ReadingBeforeTheFirstAdvanceStartsAtTheFirstAddress)
{
    CQuorvelConf config = listOf({"https://a.example/", "https://b.example/"});
    EXPECT_EQ(config.GetCurrentUrl(), "https://a.example/");
    EXPECT_EQ(config.currentUrl, 0);
}

TEST(AddressListTest, InOrderWalkWrapsAndEndsTheFirstPass)
{
    CQuorvelConf config = listOf({"https://a.example/", "https://b.example/", "https://c.example/"});
    std::vector<std::string> seen;
    for (int tick = 0; tick < 7; ++tick) {
        config.AdvanceUrl();
        seen.push_back(config.GetReachableUrl().str());
        EXPECT_EQ(config.firstPass, tick < 3 ? 1 : 0) << tick;
    }
    const std::vector<std::string> expected = {"https://a.example/", "https://b.example/", "https://c.example/",
                                               "https://a.example/", "https://b.example/", "https://c.example/",
                                               "https://a.example/"};
    EXPECT_EQ(seen, expected);
}

TEST(AddressListTest, OneAddressWrapsEveryTimeAndNeverShuffles)
{
    ScriptedRandom random;
    CQuorvelConf config = listOf({"https://only.example/"}, true);
    for (int tick = 0; tick < 4; ++tick) {
        config.AdvanceUrl();
        EXPECT_EQ(config.currentUrl, 0);
        EXPECT_EQ(config.GetCurrentUrl(), "https://only.example/");
    }
    EXPECT_EQ(config.firstPass, 0);
    EXPECT_EQ(ScriptedRandom::calls, 0);
}

TEST(AddressListTest, FirstAdvanceShufflesOnlyWhenRandom)
{
    ScriptedRandom random({1, 0});
    CQuorvelConf ordered = listOf({"a", "b", "c"});
    ordered.AdvanceUrl();
    EXPECT_EQ(orderOf(ordered), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(ScriptedRandom::calls, 0);

    CQuorvelConf shuffled = listOf({"a", "b", "c"}, true);
    shuffled.AdvanceUrl();
    EXPECT_EQ(shuffled.currentUrl, 0);
    EXPECT_EQ(shuffled.firstPass, 1);
    // i = 2, j = 1 % 2: swap 2 and 1; i = 1, j = 0: swap 1 and 0.
    EXPECT_EQ(orderOf(shuffled), (std::vector<std::string>{"c", "a", "b"}));
    // During the first pass there is no wrap fix-up draw.
    EXPECT_EQ(ScriptedRandom::calls, 2);
}

struct TwoCase {
    const char* name;
    unsigned draw;
    std::vector<std::string> order;
};

class TwoAddressTest : public ::testing::TestWithParam<TwoCase> {};

TEST_P(TwoAddressTest, FirstAdvanceKeepsOrSwapsThenTheOrderNeverChanges)
{
    ScriptedRandom random({GetParam().draw});
    CQuorvelConf config = listOf({"a", "b"}, true);
    config.AdvanceUrl();
    EXPECT_EQ(orderOf(config), GetParam().order);
    for (int tick = 0; tick < 40; ++tick) {
        config.AdvanceUrl();
        EXPECT_EQ(orderOf(config), GetParam().order) << tick;
    }
    EXPECT_EQ(config.firstPass, 0);
}

INSTANTIATE_TEST_SUITE_P(Draws, TwoAddressTest,
                         ::testing::Values(TwoCase{"EvenSwaps", 0, {"b", "a"}}, TwoCase{"OddKeeps", 1, {"a", "b"}},
                                           TwoCase{"LargeEvenSwaps", 0xFFFFFFFEu, {"b", "a"}}),
                         [](const auto& info) { return std::string(info.param.name); });

struct WrapCase {
    const char* name;
    std::deque<unsigned> draws;
    std::vector<std::string> order;
    int calls;
};

class ThreeAddressWrapTest : public ::testing::TestWithParam<WrapCase> {};

TEST_P(ThreeAddressWrapTest, LastShownNeverComesFirst)
{
    CQuorvelConf config = listOf({"A", "B", "C"}, true);
    config.currentUrl = 2;
    ScriptedRandom random(GetParam().draws);
    config.AdvanceUrl();
    EXPECT_EQ(config.currentUrl, 0);
    EXPECT_EQ(config.firstPass, 0);
    EXPECT_EQ(orderOf(config), GetParam().order);
    EXPECT_EQ(ScriptedRandom::calls, GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(Draws, ThreeAddressWrapTest,
                         ::testing::Values(
                             // A single cycle that leaves C inside: no fix-up.
                             WrapCase{"RotatesLeft", {0, 0}, {"B", "C", "A"}, 2},
                             // The other cycle brings C first; it is swapped with entry 1.
                             WrapCase{"CFirstIsSwappedAway", {1, 7, 0xFFFFFFFFu}, {"A", "C", "B"}, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AddressListTest, FirstPassShuffleIsOneCycleThroughAllEntries)
{
    ScriptedRandom random({}, 12345);
    for (int n = 3; n <= 9; ++n) {
        for (int run = 0; run < 200; ++run) {
            CQuorvelConf config = numberedList(n);
            const std::vector<std::string> before = orderOf(config);
            config.AdvanceUrl();
            const std::vector<std::string> after = orderOf(config);
            ASSERT_TRUE(isSingleCycle(before, after)) << "n " << n << " run " << run;
            std::multiset<std::string> a(before.begin(), before.end()), b(after.begin(), after.end());
            ASSERT_EQ(a, b);
        }
    }
}

TEST(AddressListTest, AfterEveryWrapTheLastShownDoesNotComeFirst)
{
    ScriptedRandom random({}, 777);
    for (int n = 3; n <= 8; ++n) {
        CQuorvelConf config = numberedList(n);
        std::string lastShown;
        for (int tick = 0; tick < n * 60; ++tick) {
            const bool wraps = config.currentUrl == n - 1;
            config.AdvanceUrl();
            const std::string shown = config.GetCurrentUrl().str();
            if (wraps) {
                ASSERT_NE(shown, lastShown) << "n " << n << " tick " << tick;
            }
            lastShown = shown;
        }
        EXPECT_EQ(config.urlList.size(), static_cast<size_t>(n));
    }
}

TEST(AddressListTest, EveryWalkShowsEveryAddressOnce)
{
    ScriptedRandom random({}, 99);
    CQuorvelConf config = numberedList(6);
    for (int walk = 0; walk < 20; ++walk) {
        std::set<std::string> seen;
        for (int tick = 0; tick < 6; ++tick) {
            config.AdvanceUrl();
            seen.insert(config.GetCurrentUrl().str());
        }
        EXPECT_EQ(seen.size(), 6u) << walk;
    }
}

TEST(AddressListTest, SystemRandomMovesEveryEntryDuringTheFirstPass)
{
    ASSERT_EQ(urlShuffleRandom, &systemRandom);
    std::set<std::vector<std::string>> orders;
    for (int run = 0; run < 1000; ++run) {
        CQuorvelConf config = numberedList(5);
        const std::vector<std::string> before = orderOf(config);
        config.AdvanceUrl();
        const std::vector<std::string> after = orderOf(config);
        for (size_t i = 0; i < before.size(); ++i)
            ASSERT_NE(after[i], before[i]) << "run " << run << " index " << i;
        ASSERT_TRUE(isSingleCycle(before, after));
        orders.insert(after);
    }
    // Five entries have 4! = 24 single cycles; 1000 fair draws miss one with odds below 1e-17.
    EXPECT_EQ(orders.size(), 24u);
}

TEST(AddressListTest, SystemRandomGivesBothOrdersOfTwo)
{
    int swapped = 0;
    for (int run = 0; run < 200; ++run) {
        CQuorvelConf config = listOf({"a", "b"}, true);
        config.AdvanceUrl();
        swapped += config.urlList[0] == "b";
    }
    EXPECT_GT(swapped, 0);
    EXPECT_LT(swapped, 200);
}

struct NormaliseCase {
    const char* name;
    const char* stored;
    const char* firstPass;
};

class NormaliseTest : public ::testing::TestWithParam<NormaliseCase> {};

TEST_P(NormaliseTest, NormalisedDuringTheFirstPassOnlyAndNeverWrittenBack)
{
    CQuorvelConf config = listOf({GetParam().stored});
    config.AdvanceUrl();
    EXPECT_EQ(config.GetCurrentUrl(), GetParam().firstPass);
    EXPECT_EQ(config.GetReachableUrl(), GetParam().firstPass);
    EXPECT_EQ(config.urlList[0], GetParam().stored);
    config.AdvanceUrl();
    EXPECT_EQ(config.firstPass, 0);
    EXPECT_EQ(config.GetCurrentUrl(), GetParam().stored);
    EXPECT_EQ(config.GetReachableUrl(), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, NormaliseTest,
    ::testing::Values(NormaliseCase{"WithoutSchemeGetsHttps", "example.com/news", "https://example.com/news"},
                      NormaliseCase{"BlanksAroundAreTrimmed", "  https://a.example/x\t", "https://a.example/x"},
                      NormaliseCase{"BlankInsideIsRejected", "https://a.example/a b", ""},
                      NormaliseCase{"BlanksAndTabsOnlyAreRejected", " \t ", ""},
                      NormaliseCase{"EmptyStaysEmpty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
