#include "framework/CException.h"

#include <algorithm>
#include <cstring>

bool CException::GetErrorMessage(char* text, unsigned maxLength) const
{
    if (!text || maxLength == 0)
        return false;
    unsigned length = std::min<unsigned>(message.GetLength(), maxLength - 1);
    std::memcpy(text, message.GetString(), length);
    text[length] = '\0';
    return true;
}
