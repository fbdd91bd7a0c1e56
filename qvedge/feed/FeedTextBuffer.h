#pragma once
// The converter's stream buffer: a small block, which stays in the processor's cache, that
// the conversion writes into in place; each time it fills, its text is copied into the
// result, which is sized before the conversion starts. So every character is copied once.
// Windows-free.
#include <climits>
#include <cstddef>
#include <memory>
#include <streambuf>
#include <string>

class FeedTextBuffer : public std::streambuf {
public:
    static constexpr std::size_t blockSize = 64 * 1024;

    // Empties target and makes room in it for at least expected characters; the text written
    // from now on goes to target, complete once finish is called.
    void reset(std::string& target, std::size_t expected);
    void finish();

    // Room for count more characters; returns where they go. The writer moves the end of
    // the text on with advanceTo.
    char* reserve(std::size_t count)
    {
        if (static_cast<std::size_t>(epptr() - pptr()) < count)
            makeRoom(count);
        return pptr();
    }

    void advanceTo(char* end)
    {
        std::ptrdiff_t count = end - pptr();
        for (; count > INT_MAX; count -= INT_MAX)
            pbump(INT_MAX);
        pbump(static_cast<int>(count));
    }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;

private:
    // Moves the block's text to the target and empties the block, enlarged when a single
    // piece needs more than it holds.
    void makeRoom(std::size_t count);

    std::unique_ptr<char[]> block;
    std::size_t capacity = 0;
    std::string* target = nullptr;
};
