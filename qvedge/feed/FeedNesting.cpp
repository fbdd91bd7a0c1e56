#include "qvedge/feed/FeedNesting.h"

#include <cstring>

namespace {

bool isWhitespace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }
bool isNameChar(char c) { return c && !isWhitespace(c) && c != '/' && c != '>' && c != '?'; }
bool isAttributeNameChar(char c)
{
    return c && !isWhitespace(c) && !std::strchr("/<>=?!", c);
}

void skipWhitespace(const char*& p)
{
    while (isWhitespace(*p))
        ++p;
}

// Moves past the first occurrence of terminator; false at the end of the text.
bool skipPast(const char*& p, const char* terminator)
{
    const char* found = std::strstr(p, terminator);
    if (!found)
        return false;
    p = found + std::strlen(terminator);
    return true;
}

bool skipDoctype(const char*& p)
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

bool skipAttributes(const char*& p)
{
    while (isAttributeNameChar(*p)) {
        while (isAttributeNameChar(*p))
            ++p;
        skipWhitespace(p);
        if (*p++ != '=')
            return false;
        skipWhitespace(p);
        char quote = *p;
        if (quote != '\'' && quote != '"')
            return false;
        const char* end = std::strchr(p + 1, quote);
        if (!end)
            return false;
        p = end + 1;
        skipWhitespace(p);
    }
    return true;
}

enum class Markup { Open, Empty, Close, Other, Invalid };

// p is just past a '<'; moves past the markup and says what it was.
Markup scanMarkup(const char*& p)
{
    if (*p == '/') {
        ++p;
        while (isNameChar(*p))
            ++p;
        skipWhitespace(p);
        return *p++ == '>' ? Markup::Close : Markup::Invalid;
    }
    // Each search starts where rapidxml starts it, after the opening characters.
    if (*p == '?')
        return skipPast(++p, "?>") ? Markup::Other : Markup::Invalid;
    if (*p == '!') {
        if (std::strncmp(p, "!--", 3) == 0)
            return skipPast(p += 3, "-->") ? Markup::Other : Markup::Invalid;
        if (std::strncmp(p, "![CDATA[", 8) == 0)
            return skipPast(p += 8, "]]>") ? Markup::Other : Markup::Invalid;
        if (std::strncmp(p, "!DOCTYPE", 8) == 0 && isWhitespace(p[8])) {
            p += 9;
            return skipDoctype(p) ? Markup::Other : Markup::Invalid;
        }
        return skipPast(p, ">") ? Markup::Other : Markup::Invalid;
    }
    const char* name = p;
    while (isNameChar(*p))
        ++p;
    if (p == name)
        return Markup::Invalid;
    skipWhitespace(p);
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

bool nestingWithin(const char* body, int maxDepth)
{
    int depth = 0;
    for (const char* p = body; (p = std::strchr(p, '<')) != nullptr;) {
        ++p;
        switch (scanMarkup(p)) {
        case Markup::Open:
            if (++depth > maxDepth)
                return false;
            break;
        case Markup::Close:
            if (--depth < 0)
                return true;
            break;
        case Markup::Invalid:
            return true;
        case Markup::Empty:
        case Markup::Other:
            break;
        }
    }
    return true;
}
