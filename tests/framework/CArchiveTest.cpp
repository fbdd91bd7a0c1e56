// Windows-free: also built natively with sanitizers (tools/fuzz.sh).
#include "framework/CArchive.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {
using Bytes = std::vector<unsigned char>;

Bytes Concat(Bytes prefix, const std::string& text)
{
    prefix.insert(prefix.end(), text.begin(), text.end());
    return prefix;
}

Bytes Utf16(Bytes prefix, const std::u16string& text)
{
    for (char16_t unit : text) {
        prefix.push_back(static_cast<unsigned char>(unit & 0xFF));
        prefix.push_back(static_cast<unsigned char>(unit >> 8));
    }
    return prefix;
}

CMemFile FileOf(const Bytes& bytes)
{
    CMemFile file;
    file.Write(bytes.data(), bytes.size());
    file.SeekToBegin();
    return file;
}

Bytes ContentsOf(CMemFile& file)
{
    return file.Detach();
}

const std::string text254(254, 'a');
const std::string text255(255, 'b');
const std::string text65534(65534, 'c');
}  // namespace

struct ReadCase {
    const char* name;
    Bytes plaintext;
    std::string expected;
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class ArchiveReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ArchiveReadTest, ReadsOneString)
{
    CMemFile file = FileOf(GetParam().plaintext);
    CArchive archive(file, CArchive::load);
    CString text = "previous";
    archive >> text;
    EXPECT_EQ(GetParam().expected, text.str());
}

INSTANTIATE_TEST_SUITE_P(
    Prefixes, ArchiveReadTest,
    testing::Values(
        ReadCase{"Empty", {0x00}, ""},
        ReadCase{"Byte254", Concat({0xFE}, text254), text254},
        ReadCase{"Word255", Concat({0xFF, 0xFF, 0x00}, text255), text255},
        ReadCase{"WordFormOfShortString", Concat({0xFF, 0x03, 0x00}, "abc"), "abc"},
        ReadCase{"Dword65534", Concat({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}, text65534), text65534},
        ReadCase{"QwordBelowLimit",
                 Concat({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 3, 0, 0, 0, 0, 0, 0, 0}, "xyz"), "xyz"},
        ReadCase{"BytesAfterStringIgnored", Concat({0x02}, "hiTRAILING"), "hi"},
        ReadCase{"NulInsideString", Concat({0x03}, std::string("a\0b", 3)), std::string("a\0b", 3)},
        ReadCase{"Utf16ByteLength", Utf16({0xFF, 0xFE, 0xFF, 0x03}, u"<a>"), "<a>"},
        ReadCase{"Utf16WordLength", Utf16({0xFF, 0xFE, 0xFF, 0xFF, 0x02, 0x00}, u"ok"), "ok"},
        ReadCase{"Utf16LatinLetter", Utf16({0xFF, 0xFE, 0xFF, 0x04}, u"caf\u00E9"), "caf\xE9"},
        ReadCase{"Utf16UnmappableLetter", Utf16({0xFF, 0xFE, 0xFF, 0x01}, u"\u4E2D"), "?"}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

struct BadCase {
    const char* name;
    Bytes plaintext;
    CArchiveException::Cause cause;
};

void PrintTo(const BadCase& c, std::ostream* os) { *os << c.name; }

class ArchiveRejectTest : public testing::TestWithParam<BadCase> {};

TEST_P(ArchiveRejectTest, RaisesAndLeavesResultUnchanged)
{
    CMemFile file = FileOf(GetParam().plaintext);
    CArchive archive(file, CArchive::load);
    CString text = "untouched";
    try {
        archive >> text;
        ADD_FAILURE() << "no exception";
    } catch (const CArchiveException& error) {
        EXPECT_EQ(GetParam().cause, error.GetCause());
    }
    EXPECT_STREQ("untouched", text);
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, ArchiveRejectTest,
    testing::Values(
        BadCase{"NoData", {}, CArchiveException::endOfFile},
        BadCase{"ByteLengthBeyondData", Concat({0x05}, "abcd"), CArchiveException::endOfFile},
        BadCase{"WordCut", {0xFF, 0x01}, CArchiveException::endOfFile},
        BadCase{"DwordCut", {0xFF, 0xFF, 0xFF, 0x01, 0x00}, CArchiveException::endOfFile},
        BadCase{"QwordCut", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01}, CArchiveException::endOfFile},
        BadCase{"DwordHugeLength", Concat({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF}, "abc"),
                CArchiveException::endOfFile},
        BadCase{"QwordAtLimit", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80, 0, 0, 0, 0},
                CArchiveException::badLength},
        BadCase{"QwordAboveLimit",
                {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
                CArchiveException::badLength},
        BadCase{"Utf16MarkerOnly", {0xFF, 0xFE, 0xFF}, CArchiveException::endOfFile},
        BadCase{"Utf16OddByteCount", {0xFF, 0xFE, 0xFF, 0x02, 'a', 0, 'b'}, CArchiveException::endOfFile},
        BadCase{"Utf16HugeLength", {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 'a', 0},
                CArchiveException::endOfFile}),
    [](const testing::TestParamInfo<BadCase>& info) { return std::string(info.param.name); });

// Every cut of a well-formed string, in each prefix form, is reported, never read past.
TEST(ArchiveTruncationTest, EveryShorterPlaintextRaises)
{
    const Bytes wellFormed[] = {
        Concat({0x03}, "abc"),
        Concat({0xFF, 0xFF, 0x00}, text255),
        Concat({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}, text65534),
        Concat({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 0, 0, 0, 0, 0, 0}, "qw"),
        Utf16({0xFF, 0xFE, 0xFF, 0x02}, u"ab"),
    };
    for (const Bytes& whole : wellFormed) {
        for (size_t cut = 0; cut < whole.size(); cut += cut < 64 ? 1 : 4093) {
            CMemFile file = FileOf(Bytes(whole.begin(), whole.begin() + cut));
            CArchive archive(file, CArchive::load);
            CString text;
            EXPECT_THROW(archive >> text, CArchiveException) << "prefix " << int(whole[0]) << " cut " << cut;
        }
    }
}

struct WriteCase {
    size_t length;
    Bytes prefix;
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.length; }

class ArchiveWriteTest : public testing::TestWithParam<WriteCase> {};

TEST_P(ArchiveWriteTest, WritesShortestPrefixAndReadsBack)
{
    std::string original(GetParam().length, 'x');
    CMemFile file;
    {
        CArchive archive(file, CArchive::store);
        EXPECT_TRUE(archive.IsStoring());
        archive << CString(original);
    }
    file.SeekToBegin();
    CString text;
    CArchive(file, CArchive::load) >> text;
    EXPECT_EQ(original, text.str());

    Bytes written = ContentsOf(file);
    ASSERT_EQ(GetParam().prefix.size() + original.size(), written.size());
    EXPECT_EQ(GetParam().prefix, Bytes(written.begin(), written.begin() + GetParam().prefix.size()));
}

INSTANTIATE_TEST_SUITE_P(Lengths, ArchiveWriteTest,
                         testing::Values(WriteCase{0, {0x00}}, WriteCase{254, {0xFE}},
                                         WriteCase{255, {0xFF, 0xFF, 0x00}},
                                         WriteCase{65533, {0xFF, 0xFD, 0xFF}},
                                         WriteCase{65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
                                         WriteCase{70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}}));

TEST(ArchiveTest, ReadsConsecutiveStrings)
{
    CMemFile file = FileOf(Concat(Concat({0x01}, "a"), std::string("\x02" "bc", 3)));
    CArchive archive(file, CArchive::load);
    CString first, second;
    archive >> first >> second;
    EXPECT_STREQ("a", first);
    EXPECT_STREQ("bc", second);
}
