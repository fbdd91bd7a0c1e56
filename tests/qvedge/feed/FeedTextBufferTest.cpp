#include "qvedge/feed/FeedTextBuffer.h"

#include <cstring>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

namespace {

std::string contents(const FeedTextBuffer& buffer)
{
    return std::string(buffer.data(), buffer.size());
}

TEST(FeedTextBufferTest, GrowsPastItsExpectedSizeKeepingTheText)
{
    FeedTextBuffer buffer;
    buffer.reset(4);
    std::ostream text(&buffer);
    text << "abc";
    text.put('d');
    text << "efghij";
    char* out = buffer.reserve(100);
    std::memcpy(out, "klm", 3);
    buffer.advanceTo(out + 3);
    text.put('n');
    EXPECT_EQ("abcdefghijklmn", contents(buffer));
}

TEST(FeedTextBufferTest, ReserveLeavesTheTextAsItIs)
{
    FeedTextBuffer buffer;
    buffer.reset(2);
    std::ostream text(&buffer);
    text << "xy";
    buffer.reserve(1000);
    buffer.reserve(5000);
    EXPECT_EQ("xy", contents(buffer));
}

TEST(FeedTextBufferTest, ResetEmptiesTheText)
{
    FeedTextBuffer buffer;
    buffer.reset(8);
    std::ostream text(&buffer);
    text << std::string(50, 'a');
    buffer.reset(8);
    EXPECT_EQ(0u, buffer.size());
    text << "b";
    EXPECT_EQ("b", contents(buffer));
}

} // namespace
