#include "qvedge/feed/JsonEscape.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace {

constexpr const char* jsonEscapeTexts[] = {"\\\"", "\\\\", "\\/", "\\b", "\\f", "\\n", "\\r", "\\t"};
const char numericEscapePrefix[] = "\\u";
constexpr std::size_t numericPrefixSize = sizeof numericEscapePrefix - 1;
// Written for each byte that begins no well-formed sequence: a continuation byte (80-BF) on
// its own, FE and FF, a lead byte whose continuation bytes are missing or invalid, and the
// lead of a sequence beyond the last code point or of a five- or six-byte form.
const char malformedEscape[] = "\\ufffd";
constexpr std::uint32_t lastCodePoint = 0x10FFFF;
constexpr std::uint32_t firstSupplementary = 0x10000;

constexpr const char* namedEscape(unsigned char byte)
{
    switch (byte) {
    case 0x22: return jsonEscapeTexts[0];
    case 0x5C: return jsonEscapeTexts[1];
    case 0x2F: return jsonEscapeTexts[2];
    case 0x08: return jsonEscapeTexts[3];
    case 0x0C: return jsonEscapeTexts[4];
    case 0x0A: return jsonEscapeTexts[5];
    case 0x0D: return jsonEscapeTexts[6];
    case 0x09: return jsonEscapeTexts[7];
    default: return nullptr;
    }
}

// What each byte becomes: itself (below 0x7F without a named escape), a named escape, a
// numeric one, or the end of the text.
enum class ByteKind : unsigned char { Plain, Named, Numeric, End };

constexpr std::array<ByteKind, 256> byteKinds = [] {
    std::array<ByteKind, 256> kinds{};
    for (int byte = 0; byte < 256; ++byte) {
        const unsigned char b = static_cast<unsigned char>(byte);
        kinds[byte] = byte == 0 ? ByteKind::End
                      : byte >= 0x7F ? ByteKind::Numeric
                      : namedEscape(b) ? ByteKind::Named
                                       : ByteKind::Plain;
    }
    return kinds;
}();

// Continuation bytes that follow a lead byte, and the payload bits the lead carries;
// -1 for a byte that begins no sequence of at most four bytes.
int continuationCount(unsigned char lead, std::uint32_t& bits)
{
    if (lead < 0x80) {
        bits = lead;
        return 0;
    }
    if (lead >= 0xC0 && lead <= 0xDF) {
        bits = lead & 0x1F;
        return 1;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        bits = lead & 0x0F;
        return 2;
    }
    if (lead >= 0xF0 && lead <= 0xF7) {
        bits = lead & 0x07;
        return 3;
    }
    return -1;
}

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The prefix and four lower-case hex digits of a UTF-16 unit.
inline char* writeUnitEscape(std::uint32_t unit, char* out)
{
    static const char hexDigits[] = "0123456789abcdef";
    std::memcpy(out, numericEscapePrefix, numericPrefixSize);
    out[2] = hexDigits[(unit >> 12) & 0xF];
    out[3] = hexDigits[(unit >> 8) & 0xF];
    out[4] = hexDigits[(unit >> 4) & 0xF];
    out[5] = hexDigits[unit & 0xF];
    return out + 6;
}

// Writes the escape of the sequence at *text and moves past it; a malformed sequence gives
// the malformed escape for its first byte alone, so the bytes after it are read again (a
// Latin-1 letter keeps the text that follows it). Stops at the NUL, which is no
// continuation byte.
char* writeNumericEscape(const unsigned char*& text, char* out)
{
    const unsigned char* p = text;
    std::uint32_t codePoint = 0;
    const int continuations = continuationCount(*p, codePoint);
    ++text;
    for (int i = 1; i <= continuations; ++i) {
        if (!isContinuation(p[i])) {
            std::memcpy(out, malformedEscape, sizeof malformedEscape - 1);
            return out + sizeof malformedEscape - 1;
        }
        codePoint = (codePoint << 6) | (p[i] & 0x3F);
    }
    if (continuations < 0 || codePoint > lastCodePoint) {
        std::memcpy(out, malformedEscape, sizeof malformedEscape - 1);
        return out + sizeof malformedEscape - 1;
    }
    text = p + 1 + continuations;
    if (codePoint < firstSupplementary)
        return writeUnitEscape(codePoint, out);
    const std::uint32_t offset = codePoint - firstSupplementary;
    out = writeUnitEscape(0xD800 | (offset >> 10), out);
    return writeUnitEscape(0xDC00 | (offset & 0x3FF), out);
}

} // namespace

char* escapeJsonInto(const char* text, char* out)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    for (;;) {
        // Four plain bytes at a time; each byte is read only once the one before it is known
        // not to be the NUL.
        while (byteKinds[p[0]] == ByteKind::Plain && byteKinds[p[1]] == ByteKind::Plain &&
               byteKinds[p[2]] == ByteKind::Plain && byteKinds[p[3]] == ByteKind::Plain) {
            std::memcpy(out, p, 4);
            out += 4;
            p += 4;
        }
        while (byteKinds[*p] == ByteKind::Plain)
            *out++ = static_cast<char>(*p++);
        switch (byteKinds[*p]) {
        case ByteKind::Named:
            std::memcpy(out, namedEscape(*p++), 2);
            out += 2;
            break;
        case ByteKind::Numeric:
            // Two-byte sequences, the most frequent in European text, without the general decoder.
            if (*p >= 0xC0 && *p <= 0xDF && isContinuation(p[1])) {
                out = writeUnitEscape(static_cast<std::uint32_t>(*p & 0x1F) << 6 | (p[1] & 0x3F), out);
                p += 2;
            } else {
                out = writeNumericEscape(p, out);
            }
            break;
        default:
            return out;
        }
    }
}

std::string escapeJson(const char* text)
{
    std::string out(std::strlen(text) * maxEscapedPerByte, '\0');
    out.resize(static_cast<std::size_t>(escapeJsonInto(text, &out[0]) - out.data()));
    return out;
}
