#pragma once
// The class library's memory file: a growable byte buffer with a file position.
#include <cstddef>
#include <vector>

class CMemFile {
public:
    static constexpr size_t defaultGrowBytes = 1024;

    explicit CMemFile(size_t growBytes = defaultGrowBytes);

    // Reads up to count bytes from the position; returns how many were read.
    size_t Read(void* data, size_t count);
    // Writes at the position, growing the buffer in whole steps of growBytes; a buffer
    // that cannot grow raises CMemoryException.
    void Write(const void* data, size_t count);
    void SeekToBegin() { position = 0; }
    size_t GetLength() const { return length; }
    // Cuts or zero-extends the file; the position stays within it.
    void SetLength(size_t newLength);
    // Hands over the file's bytes and leaves the file empty.
    std::vector<unsigned char> Detach();

private:
    void Reserve(size_t needed);

    size_t growBytes;
    std::vector<unsigned char> buffer;
    size_t length = 0;
    size_t position = 0;
};
