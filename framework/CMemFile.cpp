#include "framework/CMemFile.h"

#include "framework/CException.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

CMemFile::CMemFile(size_t growBytes) : growBytes(growBytes ? growBytes : defaultGrowBytes) {}

size_t CMemFile::Read(void* data, size_t count)
{
    size_t available = length - position;
    size_t taken = std::min(count, available);
    if (taken > 0)
        std::memcpy(data, buffer.data() + position, taken);
    position += taken;
    return taken;
}

void CMemFile::Write(const void* data, size_t count)
{
    if (count == 0)
        return;
    if (count > std::numeric_limits<size_t>::max() - position)
        throw CMemoryException();
    Reserve(position + count);
    std::memcpy(buffer.data() + position, data, count);
    position += count;
    length = std::max(length, position);
}

void CMemFile::SetLength(size_t newLength)
{
    Reserve(newLength);
    if (newLength > length)
        std::fill(buffer.begin() + length, buffer.begin() + newLength, 0);
    length = newLength;
    position = std::min(position, length);
}

std::vector<unsigned char> CMemFile::Detach()
{
    buffer.resize(length);
    std::vector<unsigned char> detached = std::move(buffer);
    buffer = {};
    length = 0;
    position = 0;
    return detached;
}

void CMemFile::Reserve(size_t needed)
{
    if (needed <= buffer.size())
        return;
    size_t steps = needed / growBytes + (needed % growBytes != 0);
    if (steps > std::numeric_limits<size_t>::max() / growBytes)
        throw CMemoryException();
    try {
        buffer.resize(steps * growBytes);
    } catch (const std::bad_alloc&) {
        throw CMemoryException();
    } catch (const std::length_error&) {
        throw CMemoryException();
    }
}
