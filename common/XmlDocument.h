#pragma once
// A small, lenient XML document model: loads text held in memory into a tree of elements
// with their attributes, text contents, comments and CDATA sections, and answers lookups.
// Text is handled as bytes, so its own encoding passes through unchanged. Malformed text
// never raises; at worst the document reports XmlDocument::partial and holds part of a tree.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A growable array of owned records in document order. Its capacity starts at the given
// one and, when full, grows by the given step; the storage beneath grows geometrically, so
// a list of any width is built in linear time.
template <typename T>
class XmlList {
public:
    XmlList(int initialCapacity, int growthStep) : capacity_(initialCapacity), step(growthStep)
    {
        items.reserve(initialCapacity);
    }

    int count() const { return static_cast<int>(items.size()); }
    int capacity() const { return capacity_; }
    // Null when index is out of range.
    T* at(int index) const { return index >= 0 && index < count() ? items[index].get() : nullptr; }
    auto begin() const { return items.cbegin(); }
    auto end() const { return items.cend(); }

    T* add(std::unique_ptr<T> item)
    {
        items.push_back(std::move(item));
        if (count() > capacity_)
            capacity_ += step;
        return items.back().get();
    }
    void clear() { items.clear(); }

private:
    std::vector<std::unique_ptr<T>> items;
    int capacity_;
    int step;
};

class XmlElement;

// A piece of text of an element (or of the declaration) and where it stands: the number of
// the owner's children that precede it in the document.
class XmlTextRecord {
public:
    XmlTextRecord(XmlElement* owner, std::string text, int position)
        : owner_(owner), text_(std::move(text)), position_(position) {}

    XmlElement* owner() const { return owner_; }
    const char* text() const { return text_.c_str(); }
    int position() const { return position_; }

private:
    XmlElement* owner_;
    std::string text_;
    int position_;
};

// A comment or processing instruction; for the declaration's, the position is 0 before the
// first top-level start tag and 1 after it, and there is no owner.
class XmlComment : public XmlTextRecord {
public:
    using XmlTextRecord::XmlTextRecord;
};

class XmlCData : public XmlTextRecord {
public:
    using XmlTextRecord::XmlTextRecord;
};

// Trimmed text as written, entity references included.
class XmlContent : public XmlTextRecord {
public:
    using XmlTextRecord::XmlTextRecord;
};

class XmlAttribute {
public:
    XmlAttribute(XmlElement* owner, std::string name, std::string value)
        : owner_(owner), name_(std::move(name)), value_(std::move(value)) {}

    XmlElement* owner() const { return owner_; }
    const char* name() const { return name_.c_str(); }
    // The text between the double quotes as written; decode it with decodeXmlEntities.
    const char* value() const { return value_.c_str(); }
    // The decoded value read as a C decimal integer (atoi): 0 when it holds no digits.
    int intValue() const;

private:
    XmlElement* owner_;
    std::string name_;
    std::string value_;
};

class XmlElement {
public:
    static constexpr int childrenCapacity = 20, childrenStep = 20;
    static constexpr int attributesCapacity = 20, attributesStep = 20;
    static constexpr int commentsCapacity = 10, commentsStep = 10;
    static constexpr int contentsCapacity = 4, contentsStep = 4;
    static constexpr int cdataCapacity = 10, cdataStep = 10;

    // Records the parent without linking the element into the parent's children.
    XmlElement(XmlElement* parent, std::string_view tagText);
    XmlElement(const XmlElement&) = delete;
    XmlElement& operator=(const XmlElement&) = delete;

    XmlElement* parent() const { return parent_; }
    // Entity-encoded, as stored.
    const char* name() const { return name_.c_str(); }

    // The first direct child whose decoded name is exactly `name`; null when none.
    XmlElement* findChild(const char* name) const;
    // The first attribute whose decoded name is exactly `name`; null when none.
    XmlAttribute* findAttribute(const char* name) const;

    const XmlList<XmlElement>& children() const { return children_; }
    const XmlList<XmlAttribute>& attributes() const { return attributes_; }
    const XmlList<XmlComment>& comments() const { return comments_; }
    const XmlList<XmlContent>& contents() const { return contents_; }
    const XmlList<XmlCData>& cdataSections() const { return cdataSections_; }

    // Building blocks of the loader.
    void setXml(std::string_view tagText);
    // Takes the next slot of the children (growing them when full) and links the child here.
    XmlElement* reserveChild(std::unique_ptr<XmlElement> child);
    void addTrimmedContent(std::string_view text, int position);
    void addContent(std::string text, int position);
    void addAttribute(std::string name, std::string value);
    void addComment(std::string text, int position);
    void addCData(std::string text, int position);

private:
    XmlElement* parent_;
    std::string name_;
    XmlList<XmlElement> children_{childrenCapacity, childrenStep};
    XmlList<XmlAttribute> attributes_{attributesCapacity, attributesStep};
    XmlList<XmlComment> comments_{commentsCapacity, commentsStep};
    XmlList<XmlContent> contents_{contentsCapacity, contentsStep};
    XmlList<XmlCData> cdataSections_{cdataCapacity, cdataStep};
};

class XmlDeclaration {
public:
    static constexpr int commentsCapacity = 5, commentsStep = 10;

    const char* text() const { return text_.c_str(); }
    // Comments and processing instructions outside the root element.
    const XmlList<XmlComment>& comments() const { return comments_; }

    void setText(std::string text) { text_ = std::move(text); }
    void addComment(std::string text, int position);
    void clear();

private:
    std::string text_;
    XmlList<XmlComment> comments_{commentsCapacity, commentsStep};
};

class XmlDocument {
public:
    // Source kinds.
    static constexpr int sourceText = 1;
    // Statuses.
    static constexpr int loaded = 0;
    static constexpr int defaulted = 1;  // no "?>" declaration end, or no '<' after it
    static constexpr int partial = 2;    // the end of an element was not found
    // Elements nested deeper than this are not walked (the document becomes partial), so no
    // text can exhaust the stack.
    static constexpr int maxDepth = 256;

    static constexpr const char* defaultDeclaration =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>";
    static constexpr const char* utf8Signature = "\xEF\xBB\xBF";

    // With sourceText, `source` is the NUL-terminated XML text itself (null counts as empty).
    // Any other kind loads nothing: no root, status partial.
    XmlDocument(const char* source, int sourceKind);
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    int status() const { return status_; }
    // Null when the text holds no element, or when the root's own end was not found.
    XmlElement* root() const { return root_.get(); }
    const XmlDeclaration& declaration() const { return declaration_; }

private:
    void load(std::string_view text);
    std::unique_ptr<XmlElement> parseElement(XmlElement* parent, const char* begin,
                                             const char* end, int depth);

    int status_ = loaded;
    XmlDeclaration declaration_;
    std::unique_ptr<XmlElement> root_;
};

// The position just after the end of the element whose start tag begins at `begin` (its
// '<'), searching no further than `end`; null when the end is not found.
const char* findElementEnd(const char* begin, const char* end);

// Decodes the five named entities and decimal and hexadecimal character references (their
// low 16 bits as one UTF-16 code unit, written as UTF-8). Without a destination, returns the
// source's length, an upper bound of the decoded length; otherwise writes the decoded text
// and a NUL into `destination`, which must hold the source's length plus one byte, and
// returns the decoded length.
int decodeXmlEntities(const char* source, char* destination);

// Encodes '&' (unless a '#' follows), '<', '>', '"' and '\''. Returns 0 without a source;
// without a destination, the encoded length; otherwise writes the encoded text and a NUL
// and returns its length.
int encodeXmlEntities(const char* source, char* destination);
