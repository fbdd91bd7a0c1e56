#pragma once
// Base64 (RFC 4648, with padding) for the protocol's binary fields. Free of windows.h: it
// reads bytes that come from the browser.
#include <optional>
#include <string>

std::string base64Encode(const std::string& bytes);
// Nothing for text that is not Base64 (a stray character, a bad length or padding).
std::optional<std::string> base64Decode(const std::string& text);
