#include "framework/CByteArray.h"

#include "framework/CException.h"

#include <new>
#include <stdexcept>

void CByteArray::SetSize(int size)
{
    if (size < 0)
        throw CMemoryException();
    try {
        bytes.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        throw CMemoryException();
    } catch (const std::length_error&) {
        throw CMemoryException();
    }
}
