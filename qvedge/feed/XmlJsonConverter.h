#pragma once
// Turns a fetched XML feed into the script text "json_decode({...})" that pages receive.
// Windows-free, so it also builds natively for sanitizers and fuzzers.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <rapidxml.hpp>

#include "qvedge/feed/FeedMeasure.h"
#include "qvedge/feed/FeedTextBuffer.h"
#include "qvedge/feed/JsonEscape.h"

class XmlJsonConverter {
public:
    // rapidxml's parse and this conversion both recurse once per nesting level, so a body
    // nested deeper than this is refused before it is parsed.
    static constexpr int maxNestingDepth = 512;
    // Up to this many children, comparing each child's name with those before it costs less
    // than hashing the names.
    static constexpr std::size_t siblingScanLimit = 16;

    XmlJsonConverter();
    ~XmlJsonConverter();
    XmlJsonConverter(const XmlJsonConverter&) = delete;
    XmlJsonConverter& operator=(const XmlJsonConverter&) = delete;

    // The document the caller parses the fetched text into, in place.
    rapidxml::xml_document<char>& getDocument() { return *document; }

    // Converts the document parsed last, in one pass, into the result, sized for about
    // expectedSize characters; the conversion consumes the document. The document must hold
    // an element (see hasElement).
    const std::string& toJsonCall(std::size_t expectedSize);
    void writeElementJson(rapidxml::xml_node<char>* node, bool inArray);

    bool hasElement() const { return rootElement() != nullptr; }

private:
    // One child of a node being written. next: the position (from the node's first child)
    // of the next child of the same name, 0 when there is none; follows: a child of the same
    // name comes before it, so it was written in that one's array.
    struct Sibling {
        rapidxml::xml_node<char>* node;
        std::uint32_t next;
        bool follows;
    };

    // The first top-level element; a character-data section may stand before it.
    rapidxml::xml_node<char>* rootElement() const;

    void put(char c)
    {
        char* out = buffer.reserve(1);
        *out = c;
        buffer.advanceTo(out + 1);
    }
    // The text, which ends at its NUL after size bytes at the latest, between double quotes,
    // followed by after. Each piece is copied by a loop of its own known length: a call to
    // the library's copy costs more than such short pieces.
    template <std::size_t afterSize>
    void writeQuoted(const char* raw, std::size_t size, const char (&after)[afterSize])
    {
        char* out = buffer.reserve(size * maxEscapedPerByte + 1 + afterSize);
        *out++ = '"';
        out = escapeJsonInto(raw, out);
        *out++ = '"';
        for (std::size_t i = 0; i + 1 < afterSize; ++i)
            *out++ = after[i];
        buffer.advanceTo(out);
    }
    template <std::size_t size>
    void writeRaw(const char (&piece)[size])
    {
        char* out = buffer.reserve(size - 1);
        for (std::size_t i = 0; i + 1 < size; ++i)
            *out++ = piece[i];
        buffer.advanceTo(out);
    }
    void writeKey(const rapidxml::xml_base<char>& named);
    void writeAttributes(rapidxml::xml_attribute<char>* first);
    void writeTextElement(rapidxml::xml_node<char>* node, bool inArray);
    void writeChildren(rapidxml::xml_node<char>* node);
    // Links each of the count children from first with the next one of its name.
    void linkByScan(std::size_t first, std::size_t count);
    void linkByHash(std::size_t first, std::size_t count);

    std::unique_ptr<rapidxml::xml_document<char>> document;
    FeedTextBuffer buffer;
    std::ostream text;
    std::string result;
    // The children of every node on the path being written, each node's after its parent's.
    std::vector<Sibling> siblings;
    // Open-addressing table of the last child of each name while a node's children are linked.
    std::vector<std::uint32_t> nameSlots;
};

// The caller's parse step and the conversion: parses the writable NUL-terminated body in place
// and converts it. Null when the body is nested too deeply, is not well-formed or holds no
// element; the text stays valid until the converter's next conversion.
const std::string* convertFeedBody(XmlJsonConverter& converter, char* body);
// The same for a body the caller has measured already (measureFeed, FeedScanner).
const std::string* convertFeedBody(XmlJsonConverter& converter, char* body, const FeedMeasure& measure);
