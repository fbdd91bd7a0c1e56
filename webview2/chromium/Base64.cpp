#include "webview2/chromium/Base64.h"

namespace {

constexpr const char* ALPHABET = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int sextet(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

} // namespace

std::string base64Encode(const std::string& bytes)
{
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned group = static_cast<unsigned char>(bytes[i]) << 16 |
                               static_cast<unsigned char>(bytes[i + 1]) << 8 | static_cast<unsigned char>(bytes[i + 2]);
        out += ALPHABET[group >> 18 & 63];
        out += ALPHABET[group >> 12 & 63];
        out += ALPHABET[group >> 6 & 63];
        out += ALPHABET[group & 63];
    }
    if (i < bytes.size()) {
        const bool two = i + 1 < bytes.size();
        const unsigned group =
            static_cast<unsigned char>(bytes[i]) << 16 | (two ? static_cast<unsigned char>(bytes[i + 1]) << 8 : 0);
        out += ALPHABET[group >> 18 & 63];
        out += ALPHABET[group >> 12 & 63];
        out += two ? ALPHABET[group >> 6 & 63] : '=';
        out += '=';
    }
    return out;
}

std::optional<std::string> base64Decode(const std::string& text)
{
    if (text.size() % 4 != 0)
        return std::nullopt;
    std::string out;
    out.reserve(text.size() / 4 * 3);
    for (size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        const int padding = last ? (text[i + 3] == '=') + (text[i + 2] == '=' && text[i + 3] == '=') : 0;
        unsigned group = 0;
        for (int k = 0; k < 4 - padding; ++k) {
            const int value = sextet(text[i + k]);
            if (value < 0)
                return std::nullopt;
            group = group << 6 | static_cast<unsigned>(value);
        }
        group <<= 6 * padding;
        out += static_cast<char>(group >> 16 & 255);
        if (padding < 2)
            out += static_cast<char>(group >> 8 & 255);
        if (padding < 1)
            out += static_cast<char>(group & 255);
    }
    return out;
}
