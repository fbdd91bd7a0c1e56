#include "tools/feed-diff/ReferenceConverter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace reference {

namespace {

bool isWhitespace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }
bool isNameChar(char c) { return c && !isWhitespace(c) && c != '/' && c != '>' && c != '?'; }
bool isAttributeNameChar(char c)
{
    return c && !isWhitespace(c) && !std::strchr("/<>=?!", c);
}

void skipWhitespace(const char*& p)
{
    while (isWhitespace(*p))
        ++p;
}

// Moves past the first occurrence of terminator; false at the end of the text.
bool skipPast(const char*& p, const char* terminator)
{
    const char* found = std::strstr(p, terminator);
    if (!found)
        return false;
    p = found + std::strlen(terminator);
    return true;
}

bool skipDoctype(const char*& p)
{
    while (*p != '>') {
        if (*p == 0)
            return false;
        if (*p++ == '[') {
            for (int depth = 1; depth > 0; ++p) {
                if (*p == 0)
                    return false;
                depth += *p == '[' ? 1 : *p == ']' ? -1 : 0;
            }
        }
    }
    ++p;
    return true;
}

bool skipAttributes(const char*& p)
{
    while (isAttributeNameChar(*p)) {
        while (isAttributeNameChar(*p))
            ++p;
        skipWhitespace(p);
        if (*p++ != '=')
            return false;
        skipWhitespace(p);
        char quote = *p;
        if (quote != '\'' && quote != '"')
            return false;
        const char* end = std::strchr(p + 1, quote);
        if (!end)
            return false;
        p = end + 1;
        skipWhitespace(p);
    }
    return true;
}

enum class Markup { Open, Empty, Close, Other, Invalid };

// p is just past a '<'; moves past the markup and says what it was.
Markup scanMarkup(const char*& p)
{
    if (*p == '/') {
        ++p;
        while (isNameChar(*p))
            ++p;
        skipWhitespace(p);
        return *p++ == '>' ? Markup::Close : Markup::Invalid;
    }
    // Each search starts where rapidxml starts it, after the opening characters.
    if (*p == '?')
        return skipPast(++p, "?>") ? Markup::Other : Markup::Invalid;
    if (*p == '!') {
        if (std::strncmp(p, "!--", 3) == 0)
            return skipPast(p += 3, "-->") ? Markup::Other : Markup::Invalid;
        if (std::strncmp(p, "![CDATA[", 8) == 0)
            return skipPast(p += 8, "]]>") ? Markup::Other : Markup::Invalid;
        if (std::strncmp(p, "!DOCTYPE", 8) == 0 && isWhitespace(p[8])) {
            p += 9;
            return skipDoctype(p) ? Markup::Other : Markup::Invalid;
        }
        return skipPast(p, ">") ? Markup::Other : Markup::Invalid;
    }
    const char* name = p;
    while (isNameChar(*p))
        ++p;
    if (p == name)
        return Markup::Invalid;
    skipWhitespace(p);
    if (!skipAttributes(p))
        return Markup::Invalid;
    if (*p == '>') {
        ++p;
        return Markup::Open;
    }
    if (p[0] == '/' && p[1] == '>') {
        p += 2;
        return Markup::Empty;
    }
    return Markup::Invalid;
}

bool nestingWithin(const char* body, int maxDepth)
{
    int depth = 0;
    for (const char* p = body; (p = std::strchr(p, '<')) != nullptr;) {
        ++p;
        switch (scanMarkup(p)) {
        case Markup::Open:
            if (++depth > maxDepth)
                return false;
            break;
        case Markup::Close:
            if (--depth < 0)
                return true;
            break;
        case Markup::Invalid:
            return true;
        case Markup::Empty:
        case Markup::Other:
            break;
        }
    }
    return true;
}

constexpr const char* jsonEscapeTexts[] = {"\\\"", "\\\\", "\\/", "\\b", "\\f", "\\n", "\\r", "\\t"};
constexpr std::size_t namedEscapeSize = 2;
const char numericEscapePrefix[] = "\\u";
// Written for each byte that begins no well-formed sequence: a continuation byte (80-BF) on
// its own, FE and FF, a lead byte whose continuation bytes are missing or invalid, and the
// lead of a sequence beyond the last code point or of a five- or six-byte form.
constexpr std::string_view malformedEscape = "\\ufffd";
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

// The bytes that leave as they are: below 0x7F, without a named escape, and not the NUL,
// so a run of them ends at the end of the text.
constexpr std::array<bool, 256> plainBytes = [] {
    std::array<bool, 256> plain{};
    for (int byte = 1; byte < 0x7F; ++byte)
        plain[byte] = namedEscape(static_cast<unsigned char>(byte)) == nullptr;
    return plain;
}();

// Continuation bytes that follow a lead byte, and the payload bits the lead carries;
// -1 for a byte that begins no sequence of at most four bytes.
int continuationCount(unsigned char lead, std::uint32_t& bits)
{
    struct LeadRange { unsigned char first, last; int continuations; unsigned char mask; };
    static const LeadRange ranges[] = {
        {0x00, 0x7F, 0, 0x7F}, {0xC0, 0xDF, 1, 0x1F}, {0xE0, 0xEF, 2, 0x0F}, {0xF0, 0xF7, 3, 0x07},
    };
    for (const LeadRange& range : ranges) {
        if (lead >= range.first && lead <= range.last) {
            bits = lead & range.mask;
            return range.continuations;
        }
    }
    return -1;
}

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The prefix and four lower-case hex digits of a UTF-16 unit into out; returns the length.
std::size_t formatUnitEscape(std::uint32_t unit, char* out)
{
    static const char hexDigits[] = "0123456789abcdef";
    std::size_t length = sizeof numericEscapePrefix - 1;
    std::copy(numericEscapePrefix, numericEscapePrefix + length, out);
    for (int shift = 12; shift >= 0; shift -= 4)
        out[length++] = hexDigits[(unit >> shift) & 0xF];
    return length;
}

// The escape of a code point into out (room for twelve characters): one unit, or a
// surrogate pair above the basic plane; returns the length.
std::size_t formatNumericEscape(std::uint32_t codePoint, char* out)
{
    if (codePoint < firstSupplementary)
        return formatUnitEscape(codePoint, out);
    const std::uint32_t offset = codePoint - firstSupplementary;
    std::size_t length = formatUnitEscape(0xD800 | (offset >> 10), out);
    return length + formatUnitEscape(0xDC00 | (offset & 0x3FF), out + length);
}

// Writes the escape of the sequence at text and returns the byte after it; a malformed
// sequence gives the malformed escape for its first byte alone, so the bytes after it are
// read again (a Latin-1 letter keeps the text that follows it). Stops at the NUL, which is
// no continuation byte.
template <class Write>
const unsigned char* writeNumericEscape(const unsigned char* text, Write& write)
{
    std::uint32_t codePoint = 0;
    const int continuations = continuationCount(*text, codePoint);
    for (int i = 1; i <= continuations; ++i) {
        if (!isContinuation(text[i])) {
            write(malformedEscape);
            return text + 1;
        }
        codePoint = (codePoint << 6) | (text[i] & 0x3F);
    }
    if (continuations < 0 || codePoint > lastCodePoint) {
        write(malformedEscape);
        return text + 1;
    }
    char escape[12];
    write(std::string_view(escape, formatNumericEscape(codePoint, escape)));
    return text + 1 + continuations;
}

// Hands the escaped form of a NUL-terminated text to write: each run of plain bytes and
// each escape in one piece.
template <class Write>
void escapeInto(const char* text, Write write)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        const unsigned char* run = p;
        while (plainBytes[*p])
            ++p;
        if (p != run)
            write(std::string_view(reinterpret_cast<const char*>(run), p - run));
        if (*p >= 0x7F) {
            p = writeNumericEscape(p, write);
        } else if (const char* named = namedEscape(*p)) {
            write(std::string_view(named, namedEscapeSize));
            ++p;
        }
    }
}

bool sameName(const rapidxml::xml_node<char>* a, const rapidxml::xml_node<char>* b)
{
    return a->name_size() == b->name_size() && std::equal(a->name(), a->name() + a->name_size(), b->name());
}

std::size_t childCount(const rapidxml::xml_node<char>* node)
{
    std::size_t count = 0;
    for (const rapidxml::xml_node<char>* child = node->first_node(); child; child = child->next_sibling())
        ++count;
    return count;
}

// Adjacent children of one name, [begin, end) in document order.
struct NameRun {
    std::string_view name;
    std::size_t begin;
    std::size_t end;
};

// Shorter names first, then byte by byte; runs of one name in document order.
bool nameThenPositionLess(const NameRun& a, const NameRun& b)
{
    if (a.name.size() != b.name.size())
        return a.name.size() < b.name.size();
    for (std::size_t i = 0; i < a.name.size(); ++i) {
        if (a.name[i] != b.name[i])
            return a.name[i] < b.name[i];
    }
    return a.begin < b.begin;
}

// Reorders the children of node so that same-named ones (names compared byte for byte, as
// rapidxml compares them) stand together: groups in the order of their first member, each
// group's members in document order. Sorting keeps it at n log n however many names differ;
// it sorts runs of adjacent same-named children, as feeds list their items one after another.
void groupChildrenByName(rapidxml::xml_node<char>* node)
{
    std::vector<rapidxml::xml_node<char>*> children;
    children.reserve(childCount(node));
    std::vector<NameRun> runs;
    for (rapidxml::xml_node<char>* child = node->first_node(); child; child = child->next_sibling()) {
        if (children.empty() || !sameName(child, children.back()))
            runs.push_back({std::string_view(child->name(), child->name_size()), children.size(), 0});
        children.push_back(child);
        runs.back().end = children.size();
    }
    std::sort(runs.begin(), runs.end(), nameThenPositionLess);

    // Each group as [first, end) in runs, ordered by the position of its first member.
    std::vector<std::pair<std::size_t, std::size_t>> groups;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (i == 0 || runs[i].name != runs[i - 1].name)
            groups.emplace_back(i, i);
        groups.back().second = i + 1;
    }
    std::sort(groups.begin(), groups.end(), [&](const auto& a, const auto& b) {
        return runs[a.first].begin < runs[b.first].begin;
    });

    node->remove_all_nodes();
    for (const auto& group : groups) {
        for (std::size_t run = group.first; run < group.second; ++run) {
            for (std::size_t i = runs[run].begin; i < runs[run].end; ++i)
                node->append_node(children[i]);
        }
    }
}

} // namespace

std::string escapeJson(const char* text)
{
    std::string out;
    escapeInto(text, [&out](std::string_view piece) { out += piece; });
    return out;
}

XmlJsonConverter::XmlJsonConverter() : document(new rapidxml::xml_document<char>()) {}

XmlJsonConverter::~XmlJsonConverter()
{
    document->clear();
}

const std::string& XmlJsonConverter::toJsonCall()
{
    text.str(std::string());
    write("json_decode({");
    writeElementJson(rootElement(), false);
    write("})");
    result = text.str();
    return result;
}

rapidxml::xml_node<char>* XmlJsonConverter::rootElement() const
{
    rapidxml::xml_node<char>* node = document->first_node();
    while (node && node->type() != rapidxml::node_element)
        node = node->next_sibling();
    return node;
}

// Straight into the stream's buffer: no formatting to do, and an allocation failure
// propagates instead of leaving a cut-short text behind a failed stream. Escapes and short
// runs go byte by byte, which costs less than a call to copy them.
void XmlJsonConverter::write(std::string_view piece)
{
    std::streambuf& out = *text.rdbuf();
    if (piece.size() > shortPieceSize) {
        out.sputn(piece.data(), static_cast<std::streamsize>(piece.size()));
        return;
    }
    for (char c : piece)
        out.sputc(c);
}

void XmlJsonConverter::write(char c)
{
    text.rdbuf()->sputc(c);
}

void XmlJsonConverter::writeEscaped(const char* raw)
{
    escapeInto(raw, [this](std::string_view piece) { write(piece); });
}

void XmlJsonConverter::writeKey(const char* name)
{
    write('"');
    writeEscaped(name);
    write("\":");
}

void XmlJsonConverter::writeString(const char* value)
{
    write('"');
    writeEscaped(value);
    write('"');
}

void XmlJsonConverter::writeAttributes(rapidxml::xml_node<char>* node)
{
    writeKey("@attributes");
    write('{');
    for (rapidxml::xml_attribute<char>* a = node->first_attribute(); a; a = a->next_attribute()) {
        if (a != node->first_attribute())
            write(',');
        writeKey(a->name());
        writeString(a->value());
    }
    write('}');
}

void XmlJsonConverter::writeElementJson(rapidxml::xml_node<char>* node, bool inArray)
{
    if (!inArray)
        writeKey(node->name());
    if (node->value_size() > 0) {
        writeString(node->value());
        return;
    }
    if (!node->first_node() && !node->first_attribute()) {
        write("\"\"");
        return;
    }
    if (!node->first_node()) {
        write('{');
        writeAttributes(node);
        write('}');
        return;
    }
    write('{');
    if (node->first_attribute()) {
        writeAttributes(node);
        write(',');
    }
    writeChildren(node);
    write('}');
}

// Writes the children of node, each name that repeats as one array at the place of its
// first member, and detaches what it wrote; nextSameNamed(child) is the child's next
// sibling of the same name, or null.
template <class NextSameNamed>
void XmlJsonConverter::writeGroups(rapidxml::xml_node<char>* node, NextSameNamed nextSameNamed)
{
    while (rapidxml::xml_node<char>* child = node->first_node()) {
        if (nextSameNamed(child)) {
            writeKey(child->name());
            write('[');
            for (rapidxml::xml_node<char>* same = child; same;) {
                rapidxml::xml_node<char>* next = nextSameNamed(same);
                writeElementJson(same, true);
                node->remove_node(same);
                if (next)
                    write(',');
                same = next;
            }
            write(']');
        } else {
            writeElementJson(child, false);
            node->remove_node(child);
        }
        if (node->first_node())
            write(',');
    }
}

void XmlJsonConverter::writeChildren(rapidxml::xml_node<char>* node)
{
    if (childCount(node) <= siblingScanLimit) {
        writeGroups(node, [](rapidxml::xml_node<char>* child) {
            return child->next_sibling(child->name(), child->name_size());
        });
        return;
    }
    groupChildrenByName(node);
    writeGroups(node, [](rapidxml::xml_node<char>* child) {
        rapidxml::xml_node<char>* next = child->next_sibling();
        return next && sameName(next, child) ? next : nullptr;
    });
}

const std::string* convertFeedBody(XmlJsonConverter& converter, char* body)
{
    if (!nestingWithin(body, XmlJsonConverter::maxNestingDepth))
        return nullptr;
    rapidxml::xml_document<char>& document = converter.getDocument();
    // parse() drops the old nodes but keeps their pool blocks; a view converts for hours.
    document.clear();
    try {
        document.parse<0>(body);
    } catch (const rapidxml::parse_error&) {
        return nullptr;
    }
    if (!converter.hasElement())
        return nullptr;
    return &converter.toJsonCall();
}

} // namespace reference
