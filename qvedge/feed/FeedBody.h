#pragma once
// A fetched feed body as its chunks arrive, scanned as it grows, and its conversion once the
// last chunk has come. Windows-free.
#include <cstddef>
#include <string>

#include "qvedge/feed/FeedMeasure.h"
#include "qvedge/feed/XmlJsonConverter.h"

class FeedBody {
public:
    // Fetched bodies are read in chunks of this size.
    static constexpr unsigned readChunkSize = 39999;

    FeedBody();
    // Each chunk counts up to its first NUL byte.
    void append(const char* chunk, std::size_t size);
    // The whole body's script text, as convertFeedBody gives it; the body is used up.
    const std::string* convert(XmlJsonConverter& converter);

private:
    std::string text;
    FeedScanner scanner;
};
