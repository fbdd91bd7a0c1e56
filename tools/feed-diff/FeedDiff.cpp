// Differential check of the feed converter: converts generated feeds, and each file given
// with every prefix of it, with both the converter and the reference it replaced, and fails
// on the first input where their results differ in a byte or in being refused. Each input is
// also converted as the program fetches it, in chunks of random sizes, which must change nothing.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "qvedge/feed/FeedBody.h"
#include "qvedge/feed/XmlJsonConverter.h"
#include "tools/feed-diff/ReferenceConverter.h"

namespace {

// Both converters live as long as the run, as a view's does, so state left from one
// conversion to the next is compared too.
XmlJsonConverter converter;
XmlJsonConverter chunkedConverter;
reference::XmlJsonConverter referenceConverter;
std::mt19937 chunkSizes(7);
long compared = 0;
long refused = 0;

std::string shown(const std::string* text)
{
    return text ? "\"" + *text + "\"" : "<null>";
}

const std::string* chunkedConversion(const std::string& feed)
{
    FeedBody body;
    const size_t largest = std::uniform_int_distribution<int>(0, 1)(chunkSizes) ? 64 : FeedBody::readChunkSize;
    for (size_t from = 0; from < feed.size();) {
        const size_t size = std::min(feed.size() - from, std::uniform_int_distribution<size_t>(1, largest)(chunkSizes));
        body.append(feed.data() + from, size);
        from += size;
    }
    return body.convert(chunkedConverter);
}

bool sameResult(const std::string& feed)
{
    std::vector<char> body(feed.begin(), feed.end());
    body.push_back('\0');
    std::vector<char> referenceBody = body;
    const std::string* json = convertFeedBody(converter, body.data());
    const std::string* expected = reference::convertFeedBody(referenceConverter, referenceBody.data());
    // A feed holding a NUL is cut at it by the chunked reading too, but only in its chunk.
    const std::string* chunked = feed.find('\0') == std::string::npos ? chunkedConversion(feed) : json;
    ++compared;
    refused += !expected;
    const auto same = [](const std::string* a, const std::string* b) { return a ? b && *a == *b : !b; };
    if (same(json, expected) && same(chunked, json))
        return true;
    std::fprintf(stderr, "results differ for the feed (%zu bytes):\n", feed.size());
    std::fwrite(feed.data(), 1, feed.size(), stderr);
    std::fprintf(stderr, "\nconverter: %s\nin chunks: %s\nreference: %s\n", shown(json).c_str(),
                 shown(chunked).c_str(), shown(expected).c_str());
    return false;
}

// Random feeds from pieces chosen to meet every rule of the conversion: repeated and
// interleaved names, attributes, text with every kind of byte, character references,
// character data, comments, nesting up to past the bound, and damage here and there.
class FeedGenerator {
public:
    explicit FeedGenerator(unsigned seed) : random(seed) {}

    std::string feed()
    {
        std::string out;
        if (chance(10))
            out += "\xEF\xBB\xBF";
        if (chance(3))
            out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        if (chance(10))
            out += "<!DOCTYPE rss [<!ENTITY x \"y\">]>";
        if (chance(10))
            out += "<!-- before -->";
        const int depthLimit = chance(40) ? XmlJsonConverter::maxNestingDepth + pick(3) - 1 : 1 + pick(shallowDepth);
        element(out, 0, depthLimit);
        if (chance(10))
            element(out, 0, 2);
        if (chance(8))
            damage(out);
        return out;
    }

private:
    static constexpr int shallowDepth = 6;

    bool chance(int oneIn) { return pick(oneIn) == 0; }
    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); }

    std::string name()
    {
        static const char* const names[] = {"a", "b", "item", "title", "ab", "A", "c", "n1", "x:y", "\xC3\xA9", "a-b"};
        return names[pick(sizeof names / sizeof names[0])];
    }

    std::string text(char quote)
    {
        static const char* const pieces[] = {
            "plain", " ", "x y", "\t", "\n", "\r", "\"", "\\", "/", "\b", "\f", "\x01", "\x1F", "\x7F",
            "&amp;", "&lt;", "&gt;", "&quot;", "&apos;", "&#65;", "&#x41F;", "&#x1F600;", "&#0;", "&#x10FFFF;",
            "\xD0\x9F", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xF4\x8F\xBF\xBF", "\xF4\x90\x80\x80", "\xC3", "\xE9 x",
            "\x80", "\xBF", "\xFE", "\xFF", "\xE2\x82", "\xF0\x9F\x98", "\xC3\x41", "\xF8\x88\x80\x80\x80",
            "\xFD\xBF\xBF\xBF\xBF\xBF", "\xC0\x80", "\xED\xA0\x80", ">", "]]", "'"};
        std::string out;
        for (int count = pick(6); count > 0; --count) {
            std::string piece = pieces[pick(sizeof pieces / sizeof pieces[0])];
            if (piece.find(quote) == std::string::npos)
                out += piece;
        }
        return out;
    }

    void element(std::string& out, int depth, int depthLimit)
    {
        const std::string tag = name();
        out += "<" + tag;
        for (int count = chance(2) ? pick(4) : 0; count > 0; --count) {
            const char quote = chance(2) ? '"' : '\'';
            out += (chance(5) ? "\n" : " ") + name() + (chance(5) ? " = " : "=") + quote + text(quote) + quote;
        }
        if (depth + 1 < depthLimit ? chance(20) : chance(3)) {
            out += chance(2) ? "/>" : " />";
            return;
        }
        out += ">";
        // Near the bound the feed is one chain of elements.
        const bool deep = depthLimit > shallowDepth;
        // Now and then more children than the converter compares one by one, kept shallow.
        const bool wide = !deep && chance(8);
        const int children = deep ? 1 : wide ? static_cast<int>(XmlJsonConverter::siblingScanLimit) + pick(30) : pick(7);
        for (int count = children; count > 0; --count) {
            switch (deep || wide ? 0 : pick(8)) {
            case 0:
            case 1:
            case 2:
                if (depth + 1 < depthLimit)
                    element(out, depth + 1, wide ? depth + 2 : depthLimit);
                break;
            case 3:
                out += "<![CDATA[" + text('<') + "]]>";
                break;
            case 4:
                out += "<!--" + text('-') + "-->";
                break;
            case 5:
                out += "<?pi x?>";
                break;
            case 6:
                out += "  \n ";
                break;
            default:
                out += text('<');
                break;
            }
        }
        out += "</" + tag + (chance(10) ? " >" : ">");
    }

    void damage(std::string& out)
    {
        const std::size_t at = static_cast<std::size_t>(pick(static_cast<int>(out.size()) + 1));
        switch (pick(3)) {
        case 0:
            out.resize(at);
            break;
        case 1:
            out.insert(at, 1, "<>/\"'&\0x"[pick(8)]);
            break;
        default:
            if (at < out.size())
                out.erase(at, 1);
            break;
        }
    }

    std::mt19937 random;
};

} // namespace

int main(int argc, char** argv)
{
    const int generated = 20000;
    FeedGenerator generator(20241211);
    for (int i = 0; i < generated; ++i) {
        if (!sameResult(generator.feed()))
            return 1;
    }
    for (int i = 1; i < argc; ++i) {
        std::ifstream file(argv[i], std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        for (std::size_t length = 0; length <= text.size(); ++length) {
            if (!sameResult(text.substr(0, length))) {
                std::fprintf(stderr, "(a prefix of %s)\n", argv[i]);
                return 1;
            }
        }
    }
    std::printf("%ld conversions alike (%ld of them refused): %d generated feeds, %d files and all their prefixes\n",
                compared, refused, generated, argc - 1);
    return 0;
}
