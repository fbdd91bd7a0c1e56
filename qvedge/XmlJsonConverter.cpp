#include "XmlJsonConverter.h"

#include "FeedNesting.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

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

struct Sibling {
    std::string_view name;
    std::size_t position; // in document order
    std::size_t group;    // the position of the first sibling of the same name
    rapidxml::xml_node<char>* node;
};

// The children of node grouped by name, names compared byte for byte as rapidxml's
// next_sibling compares them: groups in the order of their first member, each group's
// members in document order. Two sorts keep a node with many distinct child names at
// n log n, where a scan of the later siblings for every child is quadratic.
std::vector<Sibling> childrenByName(rapidxml::xml_node<char>* node)
{
    std::vector<Sibling> children;
    for (rapidxml::xml_node<char>* child = node->first_node(); child; child = child->next_sibling())
        children.push_back({std::string_view(child->name(), child->name_size()), children.size(), 0, child});
    std::sort(children.begin(), children.end(), [](const Sibling& a, const Sibling& b) {
        int order = a.name.compare(b.name);
        return order != 0 ? order < 0 : a.position < b.position;
    });
    for (std::size_t i = 0; i < children.size(); ++i) {
        bool sameAsPrevious = i > 0 && children[i].name == children[i - 1].name;
        children[i].group = sameAsPrevious ? children[i - 1].group : children[i].position;
    }
    std::sort(children.begin(), children.end(), [](const Sibling& a, const Sibling& b) {
        return a.group != b.group ? a.group < b.group : a.position < b.position;
    });
    return children;
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
    writeChildren(node);
    text << '}';
}

// Writes each group of same-named children at the place of its first member, and detaches
// what it wrote.
void XmlJsonConverter::writeChildren(rapidxml::xml_node<char>* node)
{
    const std::vector<Sibling> children = childrenByName(node);
    for (auto first = children.begin(); first != children.end();) {
        auto end = std::find_if(first, children.end(),
                                [&](const Sibling& s) { return s.group != first->group; });
        if (first != children.begin())
            text << ',';
        if (end - first > 1) {
            writeKey(first->node->name());
            text << '[';
            for (auto same = first; same != end; ++same) {
                if (same != first)
                    text << ',';
                writeElementJson(same->node, true);
                node->remove_node(same->node);
            }
            text << ']';
        } else {
            writeElementJson(first->node, false);
            node->remove_node(first->node);
        }
        first = end;
    }
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
