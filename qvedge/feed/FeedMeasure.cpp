#include "qvedge/feed/FeedMeasure.h"

#include <array>
#include <cstring>

namespace {

// Character classes as rapidxml's predicates have them; the NUL is in none.
enum CharClass : unsigned char { Whitespace = 1, NameChar = 2, AttributeNameChar = 4, TextEnd = 8 };

constexpr std::array<unsigned char, 256> charClasses = [] {
    std::array<unsigned char, 256> classes{};
    auto in = [](int c, const char* set) {
        for (; *set; ++set) {
            if (c == static_cast<unsigned char>(*set))
                return true;
        }
        return false;
    };
    for (int c = 1; c < 256; ++c) {
        const bool blank = in(c, " \n\r\t");
        classes[c] = static_cast<unsigned char>((blank ? Whitespace : 0) | (!blank && !in(c, "/>?") ? NameChar : 0) |
                                                (!blank && !in(c, "/<>=?!") ? AttributeNameChar : 0));
    }
    classes[0] = TextEnd;
    classes['<'] |= TextEnd;
    return classes;
}();

bool is(unsigned char c, CharClass charClass) { return (charClasses[c] & charClass) != 0; }

using Byte = const unsigned char*;

void skip(Byte& p, CharClass charClass)
{
    while (is(*p, charClass))
        ++p;
}

// Moves past the first occurrence of the terminator of the given length (at most three
// characters); false at the end of the text. Never looks past the NUL.
bool skipPast(Byte& p, const char* terminator, int length)
{
    const unsigned char first = static_cast<unsigned char>(terminator[0]);
    for (;; ++p) {
        while (*p != first) {
            if (*p == 0)
                return false;
            ++p;
        }
        int matched = 1;
        while (matched < length && p[matched] == static_cast<unsigned char>(terminator[matched]))
            ++matched;
        if (matched == length) {
            p += length;
            return true;
        }
    }
}

bool startsWith(Byte p, const char* prefix)
{
    for (; *prefix; ++p, ++prefix) {
        if (*p != static_cast<unsigned char>(*prefix))
            return false;
    }
    return true;
}

bool skipDoctype(Byte& p)
{
    while (*p != '>') {
        if (*p == 0)
            return false;
        if (*p++ == '[') {
            for (int depth = 1; depth > 0; ++p) {
                if (*p == 0)
                    return false;
                depth += *p == '[' ? 1 : *p == ']' ? -1 : 0;
            }
        }
    }
    ++p;
    return true;
}

bool skipAttributes(Byte& p)
{
    while (is(*p, AttributeNameChar)) {
        skip(p, AttributeNameChar);
        skip(p, Whitespace);
        if (*p++ != '=')
            return false;
        skip(p, Whitespace);
        const unsigned char quote = *p;
        if (quote != '\'' && quote != '"')
            return false;
        for (++p; *p != quote; ++p) {
            if (*p == 0)
                return false;
        }
        ++p;
        skip(p, Whitespace);
    }
    return true;
}

enum class Markup { Open, Empty, Close, Other, Invalid };

// p is just past a '<'; moves past the markup and says what it was.
Markup scanMarkup(Byte& p)
{
    if (*p == '/') {
        ++p;
        skip(p, NameChar);
        skip(p, Whitespace);
        return *p++ == '>' ? Markup::Close : Markup::Invalid;
    }
    // Each search starts where rapidxml starts it, after the opening characters.
    if (*p == '?')
        return skipPast(++p, "?>", 2) ? Markup::Other : Markup::Invalid;
    if (*p == '!') {
        if (startsWith(p, "!--"))
            return skipPast(p += 3, "-->", 3) ? Markup::Other : Markup::Invalid;
        if (startsWith(p, "![CDATA["))
            return skipPast(p += 8, "]]>", 3) ? Markup::Other : Markup::Invalid;
        if (startsWith(p, "!DOCTYPE") && is(p[8], Whitespace)) {
            p += 9;
            return skipDoctype(p) ? Markup::Other : Markup::Invalid;
        }
        return skipPast(p, ">", 1) ? Markup::Other : Markup::Invalid;
    }
    if (!is(*p, NameChar))
        return Markup::Invalid;
    skip(p, NameChar);
    skip(p, Whitespace);
    if (!skipAttributes(p))
        return Markup::Invalid;
    if (*p == '>') {
        ++p;
        return Markup::Open;
    }
    if (p[0] == '/' && p[1] == '>') {
        p += 2;
        return Markup::Empty;
    }
    return Markup::Invalid;
}

} // namespace

FeedScanner::FeedScanner(int maxDepth) : maxDepth(maxDepth) {}

void FeedScanner::advance(const char* body, std::size_t size)
{
    if (state == State::Scanning && size >= retryAt)
        scan(body, size, false);
}

FeedMeasure FeedScanner::finish(const char* body)
{
    if (state == State::Scanning)
        scan(body, 0, true);
    if (state == State::TooDeep)
        return {false, 0};
    if (state == State::Rejected)
        return {true, resumeAt + std::strlen(body + resumeAt)};
    return {true, length};
}

// Scans on from where the last call stopped. Until the last call, the text ends at its NUL at
// size for now only: markup whose scan came within one byte of it (the scan reads at most one
// byte past where it stops) is scanned again once more text has come, and only once as much
// has come as that scan covered, so that a markup arriving over many chunks costs a few passes
// over itself at most.
void FeedScanner::scan(const char* body, std::size_t size, bool last)
{
    const Byte begin = reinterpret_cast<Byte>(body);
    Byte p = begin + resumeAt;
    for (;;) {
        // Four at a time: text between tags is most of a feed. Each byte is read only once the
        // one before it is known not to be the NUL.
        for (;; p += 4) {
            if (is(p[0], TextEnd))
                break;
            if (is(p[1], TextEnd)) {
                p += 1;
                break;
            }
            if (is(p[2], TextEnd)) {
                p += 2;
                break;
            }
            if (is(p[3], TextEnd)) {
                p += 3;
                break;
            }
        }
        if (*p == 0 && !last && static_cast<std::size_t>(p - begin) == size) {
            resumeAt = size;
            retryAt = size + 1;
            return;
        }
        if (*p == 0)
            break;
        const Byte markupStart = ++p;
        const Markup markup = scanMarkup(p);
        if (!last && static_cast<std::size_t>(p - begin) + 1 >= size) {
            resumeAt = static_cast<std::size_t>(markupStart - 1 - begin);
            retryAt = size + (size - resumeAt);
            return;
        }
        if (markup == Markup::Open && ++depth > maxDepth) {
            state = State::TooDeep;
            return;
        }
        // Where rapidxml throws, nothing deeper follows; the rest is only measured, at the
        // end, from where the markup began, as a failed scan may have moved past the NUL.
        if (markup == Markup::Invalid || (markup == Markup::Close && --depth < 0)) {
            state = State::Rejected;
            resumeAt = static_cast<std::size_t>(markupStart - begin);
            return;
        }
    }
    state = State::Measured;
    length = static_cast<std::size_t>(p - begin);
}

FeedMeasure measureFeed(const char* body, int maxDepth)
{
    FeedScanner scanner(maxDepth);
    return scanner.finish(body);
}
