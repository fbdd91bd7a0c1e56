#include "framework/CCommandLineInfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Call {
    std::string param;
    bool flag;
    bool last;
    bool operator==(const Call& o) const { return param == o.param && flag == o.flag && last == o.last; }
};

class RecordingInfo : public CCommandLineInfo {
public:
    void ParseParam(const char* param, BOOL flag, BOOL last) override { calls.push_back({param, flag != 0, last != 0}); }
    std::vector<Call> calls;
};

TEST(CCommandLineInfoTest, StripsOneLeadingSlashOrDashAndFlagsTheWord)
{
    const char* words[] = {"/s", "-p", "1234", "//x", "a/b", "-"};
    RecordingInfo info;
    parseCommandLineWords(info, 6, words);
    const std::vector<Call> expected = {{"s", true, false},  {"p", true, false}, {"1234", false, false},
                                        {"/x", true, false}, {"a/b", false, false}, {"", true, true}};
    EXPECT_EQ(info.calls, expected);
}

TEST(CCommandLineInfoTest, NoWordsNoCalls)
{
    RecordingInfo info;
    parseCommandLineWords(info, 0, nullptr);
    EXPECT_TRUE(info.calls.empty());
}

} // namespace
