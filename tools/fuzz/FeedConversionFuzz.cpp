// Runs any byte string through the feed step (nesting scan, parse, conversion), holds the
// nesting scan to its promise against rapidxml's own parse of the same text, and the scan
// that follows a body as it arrives to the scan of the whole.
#include "qvedge/feed/FeedMeasure.h"
#include "qvedge/feed/JsonEscape.h"
#include "qvedge/feed/XmlJsonConverter.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Node = rapidxml::xml_node<char>;

// The deepest nesting of elements that hold a node, which only an open tag can, and of all
// elements, which an empty-element tag may close: the scan's count lies between them.
struct Depths {
    int withNodes = 0;
    int all = 0;
};

Depths depthsOf(const Node& document)
{
    Depths depths;
    // Only elements hold nodes, so the depth of a node counts its ancestors and itself.
    int depth = 1;
    for (const Node* node = document.first_node(); node;) {
        if (node->type() == rapidxml::node_element) {
            depths.all = std::max(depths.all, depth);
            if (node->first_node())
                depths.withNodes = std::max(depths.withNodes, depth);
        }
        if (node->first_node()) {
            node = node->first_node();
            ++depth;
            continue;
        }
        while (!node->next_sibling()) {
            node = node->parent();
            --depth;
            if (node == &document)
                return depths;
        }
        node = node->next_sibling();
    }
    return depths;
}

std::vector<char> bodyOf(const uint8_t* data, size_t size)
{
    std::vector<char> body(data, data + size);
    body.push_back('\0');
    return body;
}

void checkNestingScan(const uint8_t* data, size_t size)
{
    static rapidxml::xml_document<char> document;
    std::vector<char> body = bodyOf(data, size);
    const std::vector<char> scanned = body;
    document.clear();
    try {
        document.parse<0>(body.data());
    } catch (const rapidxml::parse_error&) {
        return;
    }
    const Depths depths = depthsOf(document);
    for (int bound : {1, 2, 3, 8}) {
        const bool within = measureFeed(scanned.data(), bound).nestingWithin;
        if (within ? depths.withNodes > bound : depths.all <= bound)
            std::abort();
    }
}

// The text before the first NUL arriving in chunks of each of a few sizes.
void checkArrivingScan(const uint8_t* data, size_t size)
{
    const std::vector<char> body = bodyOf(data, size);
    const std::string whole(body.data());
    const FeedMeasure expected = measureFeed(whole.c_str(), 3);
    for (size_t chunk : {size_t{1}, size_t{2}, 1 + size % 13}) {
        FeedScanner scanner(3);
        std::string text;
        for (size_t from = 0; from < whole.size(); from += chunk) {
            text.append(whole, from, chunk);
            scanner.advance(text.c_str(), text.size());
        }
        const FeedMeasure measured = scanner.finish(text.c_str());
        if (measured.nestingWithin != expected.nestingWithin || measured.length != expected.length)
            std::abort();
    }
}

// Everything from 0x7F on leaves as an escape.
void checkAscii(std::string_view text)
{
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x7F)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    checkNestingScan(data, size);
    checkArrivingScan(data, size);

    // One converter for every input, as a view keeps one for hours.
    static XmlJsonConverter converter;
    std::vector<char> body = bodyOf(data, size);
    if (const std::string* json = convertFeedBody(converter, body.data())) {
        const std::string_view text = *json;
        if (text.substr(0, 13) != "json_decode({" || text.substr(text.size() - 2) != "})")
            std::abort();
        checkAscii(text);
    }
    checkAscii(escapeJson(bodyOf(data, size).data()));
    return 0;
}
