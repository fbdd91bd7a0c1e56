#include "qvedge/config/SelfTrailer.h"

#include <cstring>

bool isTrailerTag(const unsigned char (&bytes)[selfContainedTagLength])
{
    return std::memcmp(bytes, selfContainedTag, selfContainedTagLength) == 0;
}

int32_t trailerPayloadLength(const unsigned char (&field)[payloadLengthSize])
{
    uint32_t length = 0;
    for (int i = payloadLengthSize - 1; i >= 0; --i)
        length = length << 8 | field[i];
    return static_cast<int32_t>(length);
}

int64_t trailerPayloadOffset(int32_t length)
{
    return -static_cast<int64_t>(trailerSize) - static_cast<int64_t>(length);
}
