#include "common/UrlParser.h"

#include "framework/Win.h"
#include <wininet.h>

namespace {

// Only blanks and tabs, each kind on its own and in this order, so a blank next to a tab
// at either end stays and rejects the address.
void trimBlanksAndTabs(CString& url)
{
    url.TrimLeft(' ').TrimLeft('\t').TrimRight(' ').TrimRight('\t');
}

// The address must match "^(?:(?:https?|ftp|file)://)(?:.*)$" as a whole. libstdc++ matches
// ".*" recursively, one stack frame per character, so a long address would overflow the
// stack: only the scheme goes through the expression, and the rest is checked for the
// line breaks that "." does not match.
bool matchesAddressPattern(const std::string& url, const std::regex& schemePattern)
{
    return std::regex_search(url, schemePattern, std::regex_constants::match_continuous) && url.find_first_of("\r\n") == std::string::npos;
}

CString piece(const char* start, DWORD length)
{
    return CString(start, static_cast<int>(length));
}

}  // namespace

UrlParser::UrlParser()
    : userAgent(userAgentText), port(0), valid(0), pattern(schemePattern, std::regex::ECMAScript)
{
}

bool UrlParser::parseUrl(CString url)
{
    trimBlanksAndTabs(url);
    if (url.IsEmpty() || url.Find(' ') >= 0 || url.Find('\t') >= 0)
        return reject();
    if (url.Find("://") < 0)
        url = defaultScheme + url;
    if (!matchesAddressPattern(url.str(), pattern))
        return reject();

    URL_COMPONENTSA parts = {};
    static_assert(sizeof(void*) != 4 || sizeof parts == 60, "the 32-bit record InternetCrackUrlA expects");
    parts.dwStructSize = sizeof parts;
    // A non-zero length with no buffer asks for a pointer into the address.
    const DWORD pointInto = static_cast<DWORD>(-1);
    parts.dwSchemeLength = pointInto;
    parts.dwHostNameLength = pointInto;
    parts.dwUrlPathLength = pointInto;
    parts.dwExtraInfoLength = pointInto;
    if (!InternetCrackUrlA(url, 0, 0, &parts))
        return reject();

    valid = 1;
    scheme = piece(parts.lpszScheme, parts.dwSchemeLength);
    hostName = piece(parts.lpszHostName, parts.dwHostNameLength);
    urlPath = piece(parts.lpszUrlPath, parts.dwUrlPathLength);
    extraInfo = piece(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    port = parts.nPort;
    fullUrl = url;
    return true;
}

bool UrlParser::reject()
{
    hostName.Empty();
    urlPath.Empty();
    scheme.Empty();
    extraInfo.Empty();
    fullUrl.Empty();
    port = 0;
    valid = 0;
    return false;
}
