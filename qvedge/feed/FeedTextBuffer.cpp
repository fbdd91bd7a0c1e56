#include "qvedge/feed/FeedTextBuffer.h"

#include <algorithm>
#include <cstring>

void FeedTextBuffer::reset(std::size_t expected)
{
    if (capacity < expected) {
        block.reset();
        block.reset(new char[expected]);
        capacity = expected;
    }
    setp(block.get(), block.get() + capacity);
}

void FeedTextBuffer::grow(std::size_t count)
{
    const std::size_t used = size();
    const std::size_t larger = std::max(2 * capacity, used + count);
    std::unique_ptr<char[]> moved(new char[larger]);
    if (used)
        std::memcpy(moved.get(), block.get(), used);
    block = std::move(moved);
    capacity = larger;
    setp(block.get(), block.get() + capacity);
    advanceTo(block.get() + used);
}

FeedTextBuffer::int_type FeedTextBuffer::overflow(int_type c)
{
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    char* out = reserve(1);
    *out = traits_type::to_char_type(c);
    advanceTo(out + 1);
    return c;
}

std::streamsize FeedTextBuffer::xsputn(const char* text, std::streamsize count)
{
    char* out = reserve(static_cast<std::size_t>(count));
    std::memcpy(out, text, static_cast<std::size_t>(count));
    advanceTo(out + count);
    return count;
}
