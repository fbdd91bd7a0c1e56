#include "XmlJsonConverter.h"

#include "FeedNesting.h"

#include <cstdint>
#include <cstdio>

namespace {

const char* const jsonEscapeTexts[] = {"\\\"", "\\\\", "\\/", "\\b", "\\f", "\\n", "\\r", "\\t"};
const char numericEscapePrefix[] = "\\u";
// Written for a byte that cannot begin a sequence (80-BF, FE, FF) and for a sequence the
// end of the text cuts short.
const char malformedEscape[] = "\\ufffd";

const char* namedEscape(unsigned char byte)
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

// Continuation bytes that follow a lead byte, and the payload bits the lead carries;
// -1 for a byte that cannot begin a sequence.
int continuationCount(unsigned char lead, std::uint32_t& bits)
{
    struct LeadRange { unsigned char first, last; int continuations; unsigned char mask; };
    static const LeadRange ranges[] = {
        {0x00, 0x7F, 0, 0x7F}, {0xC0, 0xDF, 1, 0x1F}, {0xE0, 0xEF, 2, 0x0F},
        {0xF0, 0xF7, 3, 0x07}, {0xF8, 0xFB, 4, 0x03}, {0xFC, 0xFD, 5, 0x01},
    };
    for (const LeadRange& range : ranges) {
        if (lead >= range.first && lead <= range.last) {
            bits = lead & range.mask;
            return range.continuations;
        }
    }
    return -1;
}

// Appends the escape of the sequence at text and returns the byte after it; never moves
// past the terminating NUL.
const unsigned char* appendNumericEscape(const unsigned char* text, std::string& out)
{
    std::uint32_t codePoint = 0;
    int continuations = continuationCount(*text, codePoint);
    ++text;
    if (continuations < 0) {
        out += malformedEscape;
        return text;
    }
    for (int i = 0; i < continuations; ++i, ++text) {
        if (*text == 0) {
            out += malformedEscape;
            return text;
        }
        codePoint = (codePoint << 6) | (*text & 0x3F);
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "%04lx", static_cast<unsigned long>(codePoint));
    out += numericEscapePrefix;
    out += hex;
    return text;
}

} // namespace

std::string escapeJson(const char* text)
{
    std::string out;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        if (*p >= 0x7F) {
            p = appendNumericEscape(p, out);
        } else if (const char* named = namedEscape(*p)) {
            out += named;
            ++p;
        } else {
            out += static_cast<char>(*p);
            ++p;
        }
    }
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
    text << "json_decode({";
    writeElementJson(document->first_node(), false);
    text << "})";
    result = text.str();
    return result;
}

void XmlJsonConverter::writeKey(const char* name)
{
    text << '"' << escapeJson(name) << "\":";
}

void XmlJsonConverter::writeString(const char* value)
{
    text << '"' << escapeJson(value) << '"';
}

void XmlJsonConverter::writeAttributes(rapidxml::xml_node<char>* node)
{
    writeKey("@attributes");
    text << '{';
    for (rapidxml::xml_attribute<char>* a = node->first_attribute(); a; a = a->next_attribute()) {
        if (a != node->first_attribute())
            text << ',';
        writeKey(a->name());
        writeString(a->value());
    }
    text << '}';
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
        text << "\"\"";
        return;
    }
    if (!node->first_node()) {
        text << '{';
        writeAttributes(node);
        text << '}';
        return;
    }
    text << '{';
    if (node->first_attribute()) {
        writeAttributes(node);
        text << ',';
    }
    while (rapidxml::xml_node<char>* child = node->first_node()) {
        const char* name = child->name();
        if (child->next_sibling(name, child->name_size())) {
            writeKey(name);
            text << '[';
            for (rapidxml::xml_node<char>* same = child; same;) {
                rapidxml::xml_node<char>* next = same->next_sibling(name, child->name_size());
                writeElementJson(same, true);
                node->remove_node(same);
                if (next)
                    text << ',';
                same = next;
            }
            text << ']';
        } else {
            writeElementJson(child, false);
            node->remove_node(child);
        }
        if (node->first_node())
            text << ',';
    }
    text << '}';
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
