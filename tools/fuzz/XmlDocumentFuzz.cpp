// Loads any byte string as a document and reads everything back, so the sanitizers see
// every scan of the loader, the lookups and the entity coding.
#include "common/XmlDocument.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// Exactly the length the decoder is promised, so a longer output overflows visibly.
void decodeExactly(const char* text)
{
    const size_t length = std::strlen(text);
    std::unique_ptr<char[]> buffer(new char[length + 1]);
    decodeXmlEntities(text, buffer.get());
}

void encodeExactly(const char* text)
{
    std::unique_ptr<char[]> buffer(new char[encodeXmlEntities(text, nullptr) + 1]);
    encodeXmlEntities(text, buffer.get());
}

// Every record names its owner, and a text stands before at most all of the owner's children.
template <typename Record>
void checkOwned(const XmlElement& element, const XmlList<Record>& records)
{
    for (const auto& record : records) {
        if (record->owner() != &element || record->position() < 0 ||
            record->position() > element.children().count())
            std::abort();
    }
}

void readAll(const XmlElement& element)
{
    element.findChild(element.name());
    for (const auto& attribute : element.attributes()) {
        if (attribute->owner() != &element)
            std::abort();
        element.findAttribute(attribute->name());
        attribute->intValue();
        decodeExactly(attribute->value());
    }
    checkOwned(element, element.contents());
    checkOwned(element, element.comments());
    checkOwned(element, element.cdataSections());
    for (const auto& content : element.contents()) {
        decodeExactly(content->text());
        encodeExactly(content->text());
    }
    for (const auto& child : element.children()) {
        if (child->parent() != &element)
            std::abort();
        readAll(*child);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A NUL-terminated copy of exactly the input, so a read past it is caught.
    std::unique_ptr<char[]> text(new char[size + 1]);
    std::memcpy(text.get(), data, size);
    text[size] = '\0';
    XmlDocument document(text.get(), XmlDocument::sourceText);
    if (document.root())
        readAll(*document.root());
    decodeExactly(text.get());
    return 0;
}
