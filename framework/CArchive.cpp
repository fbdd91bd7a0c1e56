#include "framework/CArchive.h"

#include "framework/TextConversion.h"

#include <algorithm>

namespace {
// Strings are read in pieces, so a length prefix that claims more than the data holds
// costs no more memory than the data itself.
constexpr size_t readChunk = 4096;
}

CArchiveException::CArchiveException(Cause cause)
    : CException(cause == endOfFile ? "The archived string ends early."
                                    : "The archived string has an invalid length."),
      cause(cause)
{
}

CArchive& CArchive::operator<<(const CString& text)
{
    uint64_t length = static_cast<uint64_t>(text.GetLength());
    if (length < bytePrefixEscape) {
        WriteLittleEndian(length, 1);
    } else {
        WriteLittleEndian(bytePrefixEscape, 1);
        if (length < utf16Marker) {
            WriteLittleEndian(length, 2);
        } else {
            WriteLittleEndian(wordPrefixEscape, 2);
            WriteLittleEndian(length, 4);
        }
    }
    file.Write(text.GetString(), text.GetLength());
    return *this;
}

CArchive& CArchive::operator>>(CString& text)
{
    StringLength length = ReadStringLength();
    text = length.utf16 ? Utf16ToAnsi(ReadUtf16(length.count)) : CString(ReadNarrow(length.count));
    return *this;
}

CArchive::StringLength CArchive::ReadStringLength()
{
    StringLength length = {ReadLittleEndian(1), false};
    if (length.count < bytePrefixEscape)
        return length;
    length.count = ReadLittleEndian(2);
    if (length.count == utf16Marker) {
        // The UTF-16 marker is followed by a length prefix of its own, counting code units.
        length.utf16 = true;
        length.count = ReadLittleEndian(1);
        if (length.count < bytePrefixEscape)
            return length;
        length.count = ReadLittleEndian(2);
    }
    if (length.count < wordPrefixEscape)
        return length;
    length.count = ReadLittleEndian(4);
    if (length.count < dwordPrefixEscape)
        return length;
    length.count = ReadLittleEndian(8);
    if (length.count >= lengthLimit)
        throw CArchiveException(CArchiveException::badLength);
    return length;
}

std::string CArchive::ReadNarrow(uint64_t count)
{
    std::string text;
    char chunk[readChunk];
    while (count > 0) {
        size_t part = static_cast<size_t>(std::min<uint64_t>(count, readChunk));
        ReadExactly(chunk, part);
        text.append(chunk, part);
        count -= part;
    }
    return text;
}

std::u16string CArchive::ReadUtf16(uint64_t count)
{
    std::u16string text;
    unsigned char chunk[readChunk];
    const size_t unitsPerChunk = readChunk / 2;
    while (count > 0) {
        size_t units = static_cast<size_t>(std::min<uint64_t>(count, unitsPerChunk));
        ReadExactly(chunk, units * 2);
        for (size_t i = 0; i < units; ++i)
            text += static_cast<char16_t>(chunk[2 * i] | chunk[2 * i + 1] << 8);
        count -= units;
    }
    return text;
}

void CArchive::ReadExactly(void* data, size_t count)
{
    if (file.Read(data, count) != count)
        throw CArchiveException(CArchiveException::endOfFile);
}

uint64_t CArchive::ReadLittleEndian(size_t size)
{
    unsigned char bytes[8];
    ReadExactly(bytes, size);
    uint64_t value = 0;
    for (size_t i = size; i-- > 0;)
        value = value << 8 | bytes[i];
    return value;
}

void CArchive::WriteLittleEndian(uint64_t value, size_t size)
{
    unsigned char bytes[8];
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>(value >> (8 * i));
    file.Write(bytes, size);
}
