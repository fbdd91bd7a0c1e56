#include "qvedge/feed/MemAddress.h"

#include <gtest/gtest.h>

namespace {

struct AddressCase {
    const char* name;
    const char* address;
    const char* expected;
};

const AddressCase addressCases[] = {
    {"CallbackBetweenParametersRemoved", "mem://host/feed?a=1&callback=cb7&b=2", "https://host/feed?a=1&b=2"},
    {"CallbackAtEndKept", "mem://host/feed?a=1&callback=cb7", "https://host/feed?a=1&callback=cb7"},
    {"FirstCallbackOnlyRemoved", "mem://h/?a=1&callback=x&callback=y&b=2", "https://h/?a=1&callback=y&b=2"},
    {"EveryMemSchemeReplaced", "mem://h/?u=mem://other/&b=2", "https://h/?u=https://other/&b=2"},
    {"CapitalSchemeKept", "MEM://host/feed?a=1", "MEM://host/feed?a=1"},
    {"CallbackAsFirstParameterKept", "mem://host/feed?callback=cb7&a=1", "https://host/feed?callback=cb7&a=1"},
    {"CapitalCallbackKept", "mem://h/?a=1&Callback=cb&b=2", "https://h/?a=1&Callback=cb&b=2"},
    {"EmptyAddress", "", ""},
};

class MemAddressTest : public testing::TestWithParam<AddressCase> {};

TEST_P(MemAddressTest, Rewrites)
{
    EXPECT_STREQ(GetParam().expected, rewriteMemAddress(GetParam().address).GetString());
}

INSTANTIATE_TEST_SUITE_P(Addresses, MemAddressTest, testing::ValuesIn(addressCases),
                         [](const testing::TestParamInfo<AddressCase>& info) { return std::string(info.param.name); });

} // namespace
