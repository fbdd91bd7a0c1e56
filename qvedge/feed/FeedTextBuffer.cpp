#include "qvedge/feed/FeedTextBuffer.h"

#include <cstring>

void FeedTextBuffer::reset(std::string& text, std::size_t expected)
{
    text.clear();
    text.reserve(expected);
    target = &text;
    if (!block) {
        block.reset(new char[blockSize]);
        capacity = blockSize;
    }
    setp(block.get(), block.get() + capacity);
}

void FeedTextBuffer::finish()
{
    target->append(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    setp(block.get(), block.get() + capacity);
}

void FeedTextBuffer::makeRoom(std::size_t count)
{
    finish();
    if (count > capacity) {
        block.reset();
        block.reset(new char[count]);
        capacity = count;
        setp(block.get(), block.get() + capacity);
    }
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
