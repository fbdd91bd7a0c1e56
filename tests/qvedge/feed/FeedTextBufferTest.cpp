#include "qvedge/feed/FeedTextBuffer.h"

#include <cstring>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

namespace {

void writeRaw(FeedTextBuffer& buffer, const std::string& piece)
{
    char* out = buffer.reserve(piece.size());
    std::memcpy(out, piece.data(), piece.size());
    buffer.advanceTo(out + piece.size());
}

TEST(FeedTextBufferTest, TextReachesTheTargetInOrderOnceFinished)
{
    FeedTextBuffer buffer;
    std::string target = "old";
    buffer.reset(target, 4);
    EXPECT_TRUE(target.empty());
    std::ostream text(&buffer);
    text << "abc";
    text.put('d');
    writeRaw(buffer, "ef");
    buffer.finish();
    EXPECT_EQ("abcdef", target);
}

// Pieces that fill the block many times over, and one larger than the block itself.
TEST(FeedTextBufferTest, FullBlocksMoveToTheTargetWithoutLoss)
{
    FeedTextBuffer buffer;
    std::string target;
    buffer.reset(target, 0);
    std::ostream text(&buffer);
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        const std::string piece = std::to_string(i) + std::string(static_cast<std::size_t>(i % 50), 'x') + ",";
        writeRaw(buffer, piece);
        expected += piece;
    }
    const std::string large(3 * FeedTextBuffer::blockSize + 7, 'L');
    writeRaw(buffer, large);
    text << "end";
    buffer.finish();
    EXPECT_TRUE(target == expected + large + "end");
}

TEST(FeedTextBufferTest, ResetStartsAnEmptyText)
{
    FeedTextBuffer buffer;
    std::string first;
    buffer.reset(first, 8);
    writeRaw(buffer, std::string(100, 'a'));
    std::string second;
    buffer.reset(second, 8);
    writeRaw(buffer, "b");
    buffer.finish();
    EXPECT_EQ("b", second);
    EXPECT_TRUE(first.empty());
}

} // namespace
