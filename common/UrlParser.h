#pragma once
#include "framework/CString.h"

#include <cstdint>
#include <regex>

// Checks one configured web address, gives it "https://" when it names no scheme, and
// splits it into its parts. After a rejection every part is empty and valid is 0.
class UrlParser {
public:
    static constexpr const char* userAgentText =
        "Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)";
    // Lower case only: "HTTP://" is not an address of ours. The rest of the address may
    // hold anything but a line break.
    static constexpr const char* schemePattern = "^(?:https?|ftp|file)://";
    static constexpr const char* defaultScheme = "https://";

    UrlParser();

    // True when the address is accepted; the fields describe the outcome either way.
    bool parseUrl(CString url);

    CString hostName;
    CString urlPath;
    CString scheme;
    // The query and fragment.
    CString extraInfo;
    // The address as accepted: trimmed, with the scheme added where it had none.
    CString fullUrl;
    CString userAgent;
    std::uint16_t port;
    int valid;

private:
    bool reject();

    std::regex pattern;
};
