#pragma once
// The converter's stream buffer: one block the conversion writes into in place, sized before
// the conversion starts and kept for the next one. Windows-free.
#include <climits>
#include <cstddef>
#include <memory>
#include <streambuf>

class FeedTextBuffer : public std::streambuf {
public:
    // Empties the buffer and makes room for at least expected characters.
    void reset(std::size_t expected);

    // Room for count more characters; returns where they go. The writer moves the end of
    // the text on with advanceTo.
    char* reserve(std::size_t count)
    {
        if (static_cast<std::size_t>(epptr() - pptr()) < count)
            grow(count);
        return pptr();
    }

    void advanceTo(char* end)
    {
        std::ptrdiff_t count = end - pptr();
        for (; count > INT_MAX; count -= INT_MAX)
            pbump(INT_MAX);
        pbump(static_cast<int>(count));
    }

    const char* data() const { return pbase(); }
    std::size_t size() const { return static_cast<std::size_t>(pptr() - pbase()); }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;

private:
    // Moves the text into a block with room for count more characters, at least twice as large.
    void grow(std::size_t count);

    std::unique_ptr<char[]> block;
    std::size_t capacity = 0;
};
