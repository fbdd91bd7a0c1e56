#pragma once
// JSON escaping of feed text: every byte from 0x7F leaves as "\u" escapes, in lower-case hex,
// of the UTF-16 units of the UTF-8 sequence it begins. Windows-free.
#include <cstddef>
#include <string>

// The most characters one byte of text can become (the escape of a malformed byte).
constexpr std::size_t maxEscapedPerByte = 6;

// Writes the escaped form of a NUL-terminated text at out, which has room for
// maxEscapedPerByte characters per byte of the text; returns the end of what it wrote.
char* escapeJsonInto(const char* text, char* out);

// The JSON-escaped form of a NUL-terminated text.
std::string escapeJson(const char* text);
