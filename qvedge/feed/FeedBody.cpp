#include "qvedge/feed/FeedBody.h"

#include <cstring>

FeedBody::FeedBody() : scanner(XmlJsonConverter::maxNestingDepth) {}

void FeedBody::append(const char* chunk, std::size_t size)
{
    const void* nul = std::memchr(chunk, '\0', size);
    text.append(chunk, nul ? static_cast<const char*>(nul) - chunk : size);
    scanner.advance(text.c_str(), text.size());
}

const std::string* FeedBody::convert(XmlJsonConverter& converter)
{
    return convertFeedBody(converter, &text[0], scanner.finish(text.c_str()));
}
