#pragma once
// The class library's file, for reading. The header stays free of windows.h.
#include "framework/CException.h"
#include "framework/CString.h"

#include <cstdint>

// A failed file operation; its message names the file and the system error.
class CFileException : public CException {
public:
    CFileException(unsigned long osError, const CString& fileName);
};

class CFile {
public:
    // Open flags as the class library numbers them. Files are always opened for reading;
    // without shareDenyNone nobody else may open the file meanwhile.
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        shareDenyNone = 0x0040,
        typeBinary = 0x8000,
    };
    enum SeekPosition { begin, current, end };

    CFile() = default;
    CFile(CFile&& other) noexcept;
    CFile& operator=(CFile&& other) noexcept;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    ~CFile() { Close(); }

    // False when the file cannot be opened; a file already open is closed first.
    bool Open(const char* fileName, unsigned openFlags);
    // These raise CFileException on failure, as on a file that is not open.
    uint64_t GetLength() const;
    // Returns the number of bytes read, fewer than count only at the end of the file.
    unsigned Read(void* buffer, unsigned count);
    // A position before the start of the file raises CFileException.
    uint64_t Seek(int64_t offset, SeekPosition from);
    void Close();

private:
    [[noreturn]] void ThrowLastError() const;

    void* handle = nullptr;  // INVALID_HANDLE_VALUE is never kept: nullptr means closed.
    CString fileName;
};
