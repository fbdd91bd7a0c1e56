#include "common/XmlDocument.h"

#include "common/Utf8.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

// Every scan below is bounded by an end pointer, so no text can make the loader read past
// the caller's buffer.
namespace {

bool startsWith(const char* p, const char* end, std::string_view prefix)
{
    return static_cast<size_t>(end - p) >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), p);
}

const char* findChar(const char* p, const char* end, char wanted)
{
    return std::find(p, end, wanted);
}

// The last `wanted` in [begin, end); end when there is none.
const char* findLastChar(const char* begin, const char* end, char wanted)
{
    for (const char* p = end; p != begin;) {
        if (*--p == wanted)
            return p;
    }
    return end;
}

// The start of the first occurrence of `wanted` at or after p; end when there is none.
const char* findText(const char* p, const char* end, std::string_view wanted)
{
    return std::search(p, end, wanted.begin(), wanted.end());
}

bool isLineSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool endsName(char c)
{
    return c == ' ' || c == '\t' || c == '/' || c == '>' || c == '"';
}

// The closing '>' of the tag whose '<' is at p; null when the tag has no end.
const char* findTagEnd(const char* p, const char* end)
{
    std::string_view terminator = ">";
    const char* from = p + 1;
    if (startsWith(p, end, "<![CDATA")) {
        terminator = "]]>";
        from = p + 8;
    } else if (startsWith(p, end, "<!--")) {
        terminator = "-->";
        from = p + 4;
    }
    const char* found = findText(from, end, terminator);
    return found == end ? nullptr : found + terminator.size() - 1;
}

// The text of a comment or processing instruction: from its fifth character up to the last
// two characters before the closing '>'.
std::string commentText(const char* tag, const char* close)
{
    const char* first = tag + 4;
    const char* last = close - 2;
    return last > first ? std::string(first, last) : std::string();
}

// A start tag's scan: the first '/' or '>' outside double quotes; end when there is none.
const char* scanStartTag(const char* p, const char* end)
{
    bool quoted = false;
    for (; p != end; ++p) {
        if (*p == '"')
            quoted = !quoted;
        else if (!quoted && (*p == '/' || *p == '>'))
            return p;
    }
    return end;
}

// The '>' that ends a comment for the element-end search: outside double quotes and right
// after "--"; end when there is none.
const char* scanComment(const char* p, const char* end)
{
    const char* body = p + 4;
    bool quoted = false;
    for (const char* q = body; q != end; ++q) {
        if (*q == '"')
            quoted = !quoted;
        else if (!quoted && *q == '>' && q - body >= 2 && q[-2] == '-' && q[-1] == '-')
            return q;
    }
    return end;
}

int digitValue(char c, int base)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (base == 16 && c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Decodes the character reference whose "&#" is at p into out; returns where decoding goes
// on. Only the low 16 bits of the number are kept, so any count of digits is accumulated
// without overflow.
const char* decodeCharacterReference(const char* p, char*& out)
{
    const char* reference = p;
    p += 2;
    int base = 10;
    if (*p == 'x' || *p == 'X') {
        base = 16;
        ++p;
    }
    unsigned value = 0;
    for (int digit; (digit = digitValue(*p, base)) >= 0; ++p)
        value = (value * base + digit) & 0xFFFF;
    // The character after the digits, normally ';', but never the terminating NUL.
    if (*p)
        ++p;
    if (value != 0) {
        char utf8[3];
        const int written = utf16UnitToUtf8(static_cast<char16_t>(value), utf8, sizeof utf8);
        // Never longer than the reference itself, so the output fits the source's length.
        const int kept = std::clamp(written, 0, static_cast<int>(p - reference));
        out = std::copy(utf8, utf8 + kept, out);
    }
    return p;
}

struct NamedEntity {
    std::string_view text;
    char character;
};

constexpr NamedEntity namedEntities[] = {
    {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&lt;", '<'}, {"&gt;", '>'},
};

// The entity that encodes the byte at p, or null when the byte is copied.
const char* encodedEntity(const char* p)
{
    switch (*p) {
    case '&': return p[1] == '#' ? nullptr : "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '"': return "&quot;";
    case '\'': return "&apos;";
    default: return nullptr;
    }
}

std::string encoded(const std::string& text)
{
    std::string result(encodeXmlEntities(text.c_str(), nullptr), '\0');
    encodeXmlEntities(text.c_str(), &result[0]);
    return result;
}

std::string decoded(const char* text)
{
    std::string result(decodeXmlEntities(text, nullptr), '\0');
    result.resize(decodeXmlEntities(text, &result[0]));
    return result;
}

} // namespace

int decodeXmlEntities(const char* source, char* destination)
{
    if (!source)
        source = "";
    if (!destination)
        return static_cast<int>(std::strlen(source));
    char* out = destination;
    const char* p = source;
    while (*p) {
        if (*p != '&') {
            *out++ = *p++;
            continue;
        }
        if (p[1] == '#') {
            p = decodeCharacterReference(p, out);
            continue;
        }
        const NamedEntity* entity =
            std::find_if(std::begin(namedEntities), std::end(namedEntities),
                         [p](const NamedEntity& e) { return std::strncmp(p, e.text.data(), e.text.size()) == 0; });
        if (entity != std::end(namedEntities)) {
            *out++ = entity->character;
            p += entity->text.size();
        } else {
            *out++ = *p++;
        }
    }
    *out = '\0';
    return static_cast<int>(out - destination);
}

int encodeXmlEntities(const char* source, char* destination)
{
    if (!source)
        return 0;
    int length = 0;
    for (const char* p = source; *p; ++p) {
        const char* entity = encodedEntity(p);
        const size_t size = entity ? std::strlen(entity) : 1;
        if (destination)
            std::memcpy(destination + length, entity ? entity : p, size);
        length += static_cast<int>(size);
    }
    if (destination)
        destination[length] = '\0';
    return length;
}

const char* findElementEnd(const char* begin, const char* end)
{
    int depth = 0;
    for (const char* p = begin; p != end; p = findChar(p, end, '<')) {
        // The character at which this tag's scan stopped.
        const char* stop;
        if (startsWith(p, end, "</")) {
            stop = findChar(p + 2, end, '>');
            --depth;
        } else if (startsWith(p, end, "<!--")) {
            stop = scanComment(p, end);
        } else if (startsWith(p, end, "<![CDATA[")) {
            stop = findText(p + 9, end, "]]>");
            if (stop != end)
                stop += 2;
        } else if (startsWith(p, end, "<?")) {
            // Ends where the level walk ends it, so it leaves the depth alone.
            stop = findChar(p + 2, end, '>');
        } else {
            stop = scanStartTag(p, end);
            if (stop != end && *stop == '>')
                ++depth;
        }
        if (stop == end)
            return nullptr;
        if (depth == 0)
            return stop + 1;
        p = stop + 1;
    }
    return nullptr;
}

int XmlAttribute::intValue() const
{
    return std::atoi(decoded(value()).c_str());
}

XmlElement::XmlElement(XmlElement* parent, std::string_view tagText) : parent_(parent)
{
    setXml(tagText);
}

XmlElement* XmlElement::findChild(const char* name) const
{
    for (const auto& child : children_) {
        if (decoded(child->name()) == name)
            return child.get();
    }
    return nullptr;
}

XmlAttribute* XmlElement::findAttribute(const char* name) const
{
    for (const auto& attribute : attributes_) {
        if (decoded(attribute->name()) == name)
            return attribute.get();
    }
    return nullptr;
}

void XmlElement::setXml(std::string_view tagText)
{
    children_.clear();
    attributes_.clear();
    comments_.clear();
    contents_.clear();
    cdataSections_.clear();

    const char* p = tagText.data();
    const char* end = p + tagText.size();
    // A line break does not end the name.
    std::string name;
    for (; p != end && !endsName(*p); ++p) {
        if (*p != '<')
            name += *p;
    }
    name_ = encoded(name);

    // Values are only recognised in double quotes.
    for (;;) {
        p = std::find_if_not(p, end, isLineSpace);
        if (p == end || *p == '>' || *p == '/')
            break;
        const char* equals = findChar(p, end, '=');
        if (equals == end)
            break;
        const char* nameEnd = equals;
        while (nameEnd != p && nameEnd[-1] == ' ')
            --nameEnd;
        const char* open = findChar(equals, end, '"');
        if (open == end)
            break;
        const char* close = findChar(open + 1, end, '"');
        if (close == end)
            break;
        addAttribute(std::string(p, nameEnd), std::string(open + 1, close));
        p = close + 1;
    }
}

XmlElement* XmlElement::reserveChild(std::unique_ptr<XmlElement> child)
{
    child->parent_ = this;
    return children_.add(std::move(child));
}

void XmlElement::addTrimmedContent(std::string_view text, int position)
{
    const char* first = std::find_if_not(text.begin(), text.end(), isLineSpace);
    const char* last = std::find_if_not(text.rbegin(), text.rend(), isLineSpace).base();
    if (first < last)
        addContent(std::string(first, last), position);
}

void XmlElement::addContent(std::string text, int position)
{
    contents_.add(std::make_unique<XmlContent>(this, std::move(text), position));
}

void XmlElement::addAttribute(std::string name, std::string value)
{
    attributes_.add(std::make_unique<XmlAttribute>(this, std::move(name), std::move(value)));
}

void XmlElement::addComment(std::string text, int position)
{
    comments_.add(std::make_unique<XmlComment>(this, std::move(text), position));
}

void XmlElement::addCData(std::string text, int position)
{
    cdataSections_.add(std::make_unique<XmlCData>(this, std::move(text), position));
}

void XmlDeclaration::addComment(std::string text, int position)
{
    comments_.add(std::make_unique<XmlComment>(nullptr, std::move(text), position));
}

void XmlDeclaration::clear()
{
    text_.clear();
    comments_.clear();
}

XmlDocument::XmlDocument(const char* source, int sourceKind)
{
    if (sourceKind == sourceText)
        load(source ? source : "");
    else
        status_ = partial;
}

void XmlDocument::load(std::string_view text)
{
    root_.reset();
    declaration_.clear();
    status_ = loaded;

    if (text.empty()) {
        declaration_.setText(defaultDeclaration);
        root_ = std::make_unique<XmlElement>(nullptr, "<root>");
        return;
    }
    const char* begin = text.data();
    const char* end = begin + text.size();
    // The first "?>" anywhere ends the declaration, whatever precedes it.
    const char* walk = begin;
    const char* declarationEnd = findText(begin, end, "?>");
    if (declarationEnd != end) {
        walk = declarationEnd + 2;
        declaration_.setText(std::string(begin, walk));
    } else {
        status_ = defaulted;
        declaration_.setText(std::string(utf8Signature) + defaultDeclaration);
    }
    const char* firstTag = findChar(walk, end, '<');
    if (firstTag == end) {
        status_ = defaulted;
        root_ = std::make_unique<XmlElement>(nullptr, "<root>");
        return;
    }
    root_ = parseElement(nullptr, firstTag, end, 0);
}

// Walks one level: the text from begin to end, inside `parent` (null at the top level).
// Returns the level's current element, which at the top level is the root.
std::unique_ptr<XmlElement> XmlDocument::parseElement(XmlElement* parent, const char* begin,
                                                      const char* end, int depth)
{
    // The level's current element, held here until an end tag links it into the parent.
    std::unique_ptr<XmlElement> current;
    bool startTagMet = false;
    for (const char* p = begin;;) {
        const char* tag = findChar(p, end, '<');
        if (parent)
            parent->addTrimmedContent(std::string_view(p, tag - p), parent->children().count());
        if (tag == end)
            break;
        const char* close = findTagEnd(tag, end);
        if (!close)
            break;
        const char* next = close + 1;

        if (startsWith(tag, end, "<!--") || startsWith(tag, end, "<?")) {
            if (parent)
                parent->addComment(commentText(tag, close), parent->children().count());
            else
                declaration_.addComment(commentText(tag, close), startTagMet ? 1 : 0);
        } else if (startsWith(tag, end, "<![CDATA[")) {
            // Outside every element a CDATA section has no owner and is dropped.
            if (parent)
                parent->addCData(std::string(tag + 9, close - 2), parent->children().count());
        } else if (startsWith(tag, end, "</")) {
            if (parent && current)
                parent->reserveChild(std::move(current));
        } else {
            startTagMet = true;
            if (close[-1] == '/') {
                auto element = std::make_unique<XmlElement>(parent, std::string_view(tag, close - 1 - tag));
                if (parent)
                    parent->reserveChild(std::move(element));
                else if (!current)
                    current = std::move(element);
            } else {
                const char* elementEnd = depth < maxDepth ? findElementEnd(tag, end) : nullptr;
                if (!elementEnd) {
                    status_ = partial;
                    break;
                }
                const char* closingTag = findLastChar(tag, elementEnd, '<');
                current = std::make_unique<XmlElement>(parent, std::string_view(tag, next - tag));
                // An end found inside the start tag itself (a '/' outside quotes) leaves the
                // element empty; the walk must not step back into its own start tag.
                if (closingTag >= next) {
                    parseElement(current.get(), next, closingTag, depth + 1);
                    next = closingTag;
                }
            }
        }
        p = next;
    }
    return current;
}
