#include "qvedge/feed/XmlJsonConverter.h"

#include <cstdint>

namespace {

constexpr char callStart[] = "json_decode({";
constexpr char callEnd[] = "})";
constexpr char attributesKey[] = "\"@attributes\":{";

using Node = rapidxml::xml_node<char>;

// Names are short: a loop of our own costs less than a call to the library's comparison.
bool sameName(const Node* a, const Node* b)
{
    if (a->name_size() != b->name_size())
        return false;
    const char* x = a->name();
    const char* y = b->name();
    for (std::size_t i = 0; i < a->name_size(); ++i) {
        if (x[i] != y[i])
            return false;
    }
    return true;
}

// FNV-1a over the name's bytes.
std::uint32_t nameHash(const Node* node)
{
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = 0; i < node->name_size(); ++i)
        hash = (hash ^ static_cast<unsigned char>(node->name()[i])) * 16777619u;
    return hash;
}

} // namespace

XmlJsonConverter::XmlJsonConverter() : document(new rapidxml::xml_document<char>()), text(&buffer)
{
    // An allocation failure propagates instead of leaving a cut-short text behind a failed stream.
    text.exceptions(std::ios::badbit);
}

XmlJsonConverter::~XmlJsonConverter()
{
    document->clear();
}

const std::string& XmlJsonConverter::toJsonCall(std::size_t expectedSize)
{
    buffer.reset(result, expectedSize + sizeof callStart + sizeof callEnd);
    text.write(callStart, sizeof callStart - 1);
    Node* root = rootElement();
    writeElementJson(root, false);
    text.write(callEnd, sizeof callEnd - 1);
    buffer.finish();
    // A document is converted once; what was written leaves it.
    root->remove_all_nodes();
    return result;
}

Node* XmlJsonConverter::rootElement() const
{
    Node* node = document->first_node();
    while (node && node->type() != rapidxml::node_element)
        node = node->next_sibling();
    return node;
}

void XmlJsonConverter::writeKey(const rapidxml::xml_base<char>& named)
{
    writeQuoted(named.name(), named.name_size(), ":");
}

void XmlJsonConverter::writeAttributes(rapidxml::xml_attribute<char>* first)
{
    writeRaw(attributesKey);
    for (rapidxml::xml_attribute<char>* a = first; a; a = a->next_attribute()) {
        if (a != first)
            put(',');
        writeKey(*a);
        writeQuoted(a->value(), a->value_size(), "");
    }
    put('}');
}

// The commonest node of a feed: its key and its text in one piece of room.
void XmlJsonConverter::writeTextElement(Node* node, bool inArray)
{
    char* out = buffer.reserve((node->name_size() + node->value_size()) * maxEscapedPerByte + 5);
    if (!inArray) {
        *out++ = '"';
        out = escapeJsonInto(node->name(), out);
        *out++ = '"';
        *out++ = ':';
    }
    *out++ = '"';
    out = escapeJsonInto(node->value(), out);
    *out++ = '"';
    buffer.advanceTo(out);
}

void XmlJsonConverter::writeElementJson(Node* node, bool inArray)
{
    if (node->value_size() > 0) {
        writeTextElement(node, inArray);
        return;
    }
    if (!inArray)
        writeKey(*node);
    Node* child = node->first_node();
    rapidxml::xml_attribute<char>* attribute = node->first_attribute();
    if (!child && !attribute) {
        writeQuoted("", 0, "");
        return;
    }
    put('{');
    if (attribute) {
        writeAttributes(attribute);
        if (child)
            put(',');
    }
    if (child)
        writeChildren(node);
    put('}');
}

void XmlJsonConverter::linkByScan(std::size_t first, std::size_t count)
{
    for (std::size_t i = 1; i < count; ++i) {
        Sibling& later = siblings[first + i];
        for (std::size_t j = i; j-- > 0;) {
            Sibling& earlier = siblings[first + j];
            if (sameName(earlier.node, later.node)) {
                earlier.next = static_cast<std::uint32_t>(i);
                later.follows = true;
                break;
            }
        }
    }
}

// A child of the same name as the one before it, as feeds list their items, joins that one's
// chain without a look-up.
void XmlJsonConverter::linkByHash(std::size_t first, std::size_t count)
{
    std::size_t slots = 1;
    while (slots < 2 * count)
        slots *= 2;
    const std::size_t mask = slots - 1;
    // Each slot holds the position + 1 of the last child of its name so far, 0 when free.
    nameSlots.assign(slots, 0);
    std::size_t previousSlot = 0;
    for (std::size_t i = 0; i < count; ++i) {
        Sibling& later = siblings[first + i];
        if (i > 0 && sameName(siblings[first + i - 1].node, later.node)) {
            siblings[first + i - 1].next = static_cast<std::uint32_t>(i);
            later.follows = true;
            nameSlots[previousSlot] = static_cast<std::uint32_t>(i + 1);
            continue;
        }
        for (std::size_t slot = nameHash(later.node) & mask;; slot = (slot + 1) & mask) {
            std::uint32_t& last = nameSlots[slot];
            if (last != 0 && !sameName(siblings[first + last - 1].node, later.node))
                continue;
            if (last != 0) {
                siblings[first + last - 1].next = static_cast<std::uint32_t>(i);
                later.follows = true;
            }
            last = static_cast<std::uint32_t>(i + 1);
            previousSlot = slot;
            break;
        }
    }
}

// Each name that repeats among the children becomes one array at the place of its first
// member. The children are linked first, then written in document order; the nodes below
// them take the space after theirs in siblings, so positions stay valid.
void XmlJsonConverter::writeChildren(Node* node)
{
    // An only child, such as the character data of a description, has nothing to group with.
    Node* only = node->first_node();
    if (!only->next_sibling()) {
        writeElementJson(only, false);
        return;
    }
    const std::size_t first = siblings.size();
    for (Node* child = node->first_node(); child; child = child->next_sibling())
        siblings.push_back({child, 0, false});
    const std::size_t count = siblings.size() - first;
    if (count <= siblingScanLimit)
        linkByScan(first, count);
    else
        linkByHash(first, count);

    bool firstWritten = true;
    for (std::size_t i = 0; i < count; ++i) {
        const Sibling child = siblings[first + i];
        if (child.follows)
            continue;
        if (!firstWritten)
            put(',');
        firstWritten = false;
        if (!child.next) {
            writeElementJson(child.node, false);
            continue;
        }
        writeQuoted(child.node->name(), child.node->name_size(), ":[");
        for (std::uint32_t member = static_cast<std::uint32_t>(i);;) {
            writeElementJson(siblings[first + member].node, true);
            member = siblings[first + member].next;
            if (!member)
                break;
            put(',');
        }
        put(']');
    }
    siblings.resize(first);
}

const std::string* convertFeedBody(XmlJsonConverter& converter, char* body)
{
    return convertFeedBody(converter, body, measureFeed(body, XmlJsonConverter::maxNestingDepth));
}

const std::string* convertFeedBody(XmlJsonConverter& converter, char* body, const FeedMeasure& measure)
{
    if (!measure.nestingWithin)
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
    // Markup shrinks about as much as escapes grow in a typical feed.
    return &converter.toJsonCall(measure.length + measure.length / 4);
}
