#pragma once
// The class library's exceptions, as far as this program raises them. They are thrown by
// value and caught by reference to the base; handlers only log the message.
#include "framework/CString.h"

class CException {
public:
    // Copies at most maxLength - 1 characters and a terminator; false when there is no room.
    bool GetErrorMessage(char* text, unsigned maxLength) const;

protected:
    explicit CException(const CString& message) : message(message) {}

private:
    CString message;
};

// Memory exhaustion, or a size the collection or memory file cannot hold.
class CMemoryException : public CException {
public:
    CMemoryException() : CException("Out of memory.") {}
};
