#include "framework/CMemFile.h"

#include "framework/CException.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
std::string ReadAll(CMemFile& file, size_t count)
{
    std::string text(count, '\0');
    text.resize(file.Read(&text[0], count));
    return text;
}
}

TEST(CMemFileTest, ReadsWhatWasWrittenAndStopsAtTheEnd)
{
    CMemFile file;
    file.Write("hello", 5);
    EXPECT_EQ(5u, file.GetLength());
    EXPECT_EQ("", ReadAll(file, 4));
    file.SeekToBegin();
    EXPECT_EQ("hel", ReadAll(file, 3));
    EXPECT_EQ("lo", ReadAll(file, 10));
    EXPECT_EQ("", ReadAll(file, 10));
}

TEST(CMemFileTest, WriteAtPositionOverwritesAndExtends)
{
    CMemFile file;
    file.Write("abcdef", 6);
    file.SeekToBegin();
    file.Write("XY", 2);
    EXPECT_EQ(6u, file.GetLength());
    file.Write("0123456789", 10);
    EXPECT_EQ(12u, file.GetLength());
    file.SeekToBegin();
    EXPECT_EQ("XY0123456789", ReadAll(file, 100));
}

// Crossing the growth step many times keeps every byte.
TEST(CMemFileTest, GrowsAcrossManySteps)
{
    CMemFile file(16);
    std::string expected;
    for (int i = 0; i < 300; ++i) {
        std::string piece(i % 37 + 1, static_cast<char>('a' + i % 26));
        file.Write(piece.data(), piece.size());
        expected += piece;
    }
    std::vector<unsigned char> bytes = file.Detach();
    EXPECT_EQ(expected, std::string(bytes.begin(), bytes.end()));
}

TEST(CMemFileTest, DetachHandsOverBytesAndEmptiesTheFile)
{
    CMemFile file;
    file.Write("abc", 3);
    std::vector<unsigned char> bytes = file.Detach();
    EXPECT_EQ((std::vector<unsigned char>{'a', 'b', 'c'}), bytes);
    EXPECT_EQ(0u, file.GetLength());
    EXPECT_EQ("", ReadAll(file, 3));
    file.Write("z", 1);
    file.SeekToBegin();
    EXPECT_EQ("z", ReadAll(file, 3));
}

TEST(CMemFileTest, SetLengthCutsAndZeroExtends)
{
    CMemFile file;
    file.Write("abcdef", 6);
    file.SetLength(2);
    EXPECT_EQ("", ReadAll(file, 10));
    file.SetLength(4);
    file.SeekToBegin();
    EXPECT_EQ(std::string("ab\0\0", 4), ReadAll(file, 10));
}

TEST(CMemFileTest, WriteThatCannotGrowRaisesMemoryException)
{
    CMemFile file;
    file.Write("a", 1);
    EXPECT_THROW(file.Write("b", static_cast<size_t>(-1)), CMemoryException);
    EXPECT_EQ(1u, file.GetLength());
}
