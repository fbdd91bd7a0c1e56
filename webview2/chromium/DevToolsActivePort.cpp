#include "webview2/chromium/DevToolsActivePort.h"

std::optional<DevToolsEndpoint> parseDevToolsActivePort(const std::string& text)
{
    const size_t newline = text.find('\n');
    if (newline == std::string::npos)
        return std::nullopt;
    const size_t digits = newline > 0 && text[newline - 1] == '\r' ? newline - 1 : newline;
    if (digits == 0 || digits > 5)
        return std::nullopt;
    unsigned long port = 0;
    for (size_t i = 0; i < digits; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        port = port * 10 + static_cast<unsigned long>(text[i] - '0');
    }
    if (port == 0 || port > 65535)
        return std::nullopt;
    std::string path = text.substr(newline + 1);
    while (!path.empty() && (path.back() == '\n' || path.back() == '\r'))
        path.pop_back();
    if (path.empty() || path[0] != '/')
        return std::nullopt;
    for (char c : path)
        if (static_cast<unsigned char>(c) <= ' ' || static_cast<unsigned char>(c) >= 0x7f)
            return std::nullopt;
    return DevToolsEndpoint{static_cast<unsigned short>(port), path};
}
