#include "qvedge/config/SelfTrailer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace {

TEST(SelfTrailerTest, TagMatchesExactly)
{
    const unsigned char tag[6] = {'Q', 'V', 'X', '2', '.', '6'};
    const unsigned char lower[6] = {'q', 'v', 'x', '2', '.', '6'};
    const unsigned char last[6] = {'Q', 'V', 'X', '2', '.', '\0'};
    EXPECT_TRUE(isTrailerTag(tag));
    EXPECT_FALSE(isTrailerTag(lower));
    EXPECT_FALSE(isTrailerTag(last));
}

struct LengthCase {
    unsigned char field[4];
    int32_t length;
    int64_t offset;
};

class TrailerLengthTest : public ::testing::TestWithParam<LengthCase> {};

TEST_P(TrailerLengthTest, LittleEndianSignedLengthAndItsOffsetFromTheEnd)
{
    EXPECT_EQ(trailerPayloadLength(GetParam().field), GetParam().length);
    EXPECT_EQ(trailerPayloadOffset(GetParam().length), GetParam().offset);
}

INSTANTIATE_TEST_SUITE_P(Fields, TrailerLengthTest,
                         ::testing::Values(LengthCase{{0, 0, 0, 0}, 0, -10},
                                           LengthCase{{0x34, 0x12, 0, 0}, 0x1234, -10 - 0x1234},
                                           // The 32-bit difference would wrap to a positive offset.
                                           LengthCase{{0xFF, 0xFF, 0xFF, 0x7F}, INT_MAX, -10 - int64_t(INT_MAX)},
                                           LengthCase{{0, 0, 0, 0x80}, INT_MIN, -10 - int64_t(INT_MIN)},
                                           LengthCase{{0xFF, 0xFF, 0xFF, 0xFF}, -1, -9},
                                           LengthCase{{0xF6, 0xFF, 0xFF, 0xFF}, -10, 0}));

}  // namespace
