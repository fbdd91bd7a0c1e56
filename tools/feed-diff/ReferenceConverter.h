#pragma once
// The feed converter as it stood before its streaming rewrite, kept only as the reference the
// differential check compares the converter with: every output byte must stay the same.
#include <cstddef>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>

#include <rapidxml.hpp>

namespace reference {

class XmlJsonConverter {
public:
    // rapidxml's parse and this conversion both recurse once per nesting level, so a body
    // nested deeper than this is refused before it is parsed.
    static constexpr int maxNestingDepth = 512;
    // Up to this many children, scanning the later siblings for each child's name costs less
    // than sorting them by name; past it, sorting keeps many distinct names at n log n.
    static constexpr std::size_t siblingScanLimit = 16;

    XmlJsonConverter();
    ~XmlJsonConverter();
    XmlJsonConverter(const XmlJsonConverter&) = delete;
    XmlJsonConverter& operator=(const XmlJsonConverter&) = delete;

    // The document the caller parses the fetched text into, in place.
    rapidxml::xml_document<char>& getDocument() { return *document; }

    // Converts the document parsed last; the conversion consumes it. The document must hold
    // an element (see hasElement).
    const std::string& toJsonCall();
    void writeElementJson(rapidxml::xml_node<char>* node, bool inArray);

    bool hasElement() const { return rootElement() != nullptr; }

private:
    // The first top-level element; a character-data section may stand before it.
    rapidxml::xml_node<char>* rootElement() const;

    // Pieces up to this size are written byte by byte.
    static constexpr std::size_t shortPieceSize = 16;

    void write(std::string_view piece);
    void write(char c);
    void writeEscaped(const char* raw);
    void writeKey(const char* name);
    void writeString(const char* value);
    void writeAttributes(rapidxml::xml_node<char>* node);
    void writeChildren(rapidxml::xml_node<char>* node);
    template <class NextSameNamed>
    void writeGroups(rapidxml::xml_node<char>* node, NextSameNamed nextSameNamed);

    std::unique_ptr<rapidxml::xml_document<char>> document;
    std::ostringstream text;
    std::string result;
};

// The JSON-escaped form of a NUL-terminated text; every byte from 0x7F leaves as "\u"
// escapes, in lower-case hex, of the UTF-16 units of the UTF-8 sequence it begins.
std::string escapeJson(const char* text);

// The caller's parse step and the conversion: parses the writable NUL-terminated body in place
// and converts it. Null when the body is nested too deeply, is not well-formed or holds no
// element; the text stays valid until the converter's next conversion.
const std::string* convertFeedBody(XmlJsonConverter& converter, char* body);

} // namespace reference
