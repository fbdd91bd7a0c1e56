// Takes any byte string as a program file and finds its configuration payload the way the
// trailer reader does: the tag at the very end, the length before it, the payload before
// that. A file too short for what the trailer claims yields no payload, as the reader's
// seek before the start of the file raises there.
#include "qvedge/config/SelfTrailer.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < static_cast<size_t>(trailerSize))
        return 0;
    unsigned char tag[selfContainedTagLength];
    std::memcpy(tag, data + size - selfContainedTagLength, sizeof tag);
    if (!isTrailerTag(tag))
        return 0;
    unsigned char field[payloadLengthSize];
    std::memcpy(field, data + size - trailerSize, sizeof field);
    const int32_t length = trailerPayloadLength(field);
    const int64_t offset = trailerPayloadOffset(length);
    // The payload is read from the offset up to the length field: exactly `length` bytes.
    if (offset + static_cast<int64_t>(length) != -static_cast<int64_t>(trailerSize))
        std::abort();
    const int64_t start = static_cast<int64_t>(size) + offset;
    if (length < 0 || start < 0)
        return 0;
    std::vector<unsigned char> payload(data + start, data + start + length);
    // The payload ends where the trailer begins.
    if (static_cast<size_t>(start) + payload.size() + trailerSize != size)
        std::abort();
    return 0;
}
