#pragma once
// The trailer of a self-contained screensaver: the payload, its length (32 bits,
// little-endian, read as signed) and the tag, at the very end of the program file. Only
// the decoding lives here, free of windows.h; the reader does the file access.
#include "common/PackageFormat.h"

#include <cstdint>

// The length field and the tag.
inline constexpr int trailerSize = payloadLengthSize + selfContainedTagLength;

// True when the bytes are exactly the tag, case included.
bool isTrailerTag(const unsigned char (&bytes)[selfContainedTagLength]);

int32_t trailerPayloadLength(const unsigned char (&field)[payloadLengthSize]);

// Where the payload begins, counted back from the end of the file: -trailerSize - length,
// in 64 bits, since the 32-bit difference overflows for the largest lengths.
int64_t trailerPayloadOffset(int32_t length);
