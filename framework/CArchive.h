#pragma once
// The class library's archive over a memory file, for one string at a time in the
// library's string format. Kept free of windows.h so the reader builds natively too.
#include "framework/CException.h"
#include "framework/CMemFile.h"
#include "framework/CString.h"

#include <cstdint>
#include <string>

class CArchiveException : public CException {
public:
    enum Cause {
        endOfFile,     // the data ends inside a length prefix or a string
        badLength,     // a length prefix the reader does not accept
    };

    explicit CArchiveException(Cause cause);
    Cause GetCause() const { return cause; }

private:
    Cause cause;
};

class CArchive {
public:
    enum Mode { store, load };

    // Narrow strings are written with the shortest length prefix that holds their length.
    static constexpr unsigned char bytePrefixEscape = 0xFF;
    static constexpr uint16_t wordPrefixEscape = 0xFFFF;
    static constexpr uint16_t utf16Marker = 0xFFFE;
    static constexpr uint32_t dwordPrefixEscape = 0xFFFFFFFF;
    // The 64-bit length form is accepted below this value only.
    static constexpr uint64_t lengthLimit = uint64_t(1) << 31;

    // The archive reads from or writes at the file's current position; it does not own it.
    CArchive(CMemFile& file, Mode mode) : file(file), mode(mode) {}
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsStoring() const { return mode == store; }

    CArchive& operator<<(const CString& text);
    // A string that the data does not hold whole, or an invalid prefix, raises
    // CArchiveException and leaves text unchanged. A UTF-16 string is converted to the
    // thread's ANSI code page.
    CArchive& operator>>(CString& text);

private:
    struct StringLength {
        uint64_t count;
        bool utf16;
    };

    StringLength ReadStringLength();
    std::string ReadNarrow(uint64_t count);
    std::u16string ReadUtf16(uint64_t count);
    void ReadExactly(void* data, size_t count);
    uint64_t ReadLittleEndian(size_t size);
    void WriteLittleEndian(uint64_t value, size_t size);

    CMemFile& file;
    Mode mode;
};
