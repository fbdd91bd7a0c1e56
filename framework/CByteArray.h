#pragma once
// The class library's byte array, as far as this program uses it.
#include <vector>

class CByteArray {
public:
    // A negative size, or one that cannot be allocated, raises CMemoryException; new
    // bytes are zero.
    void SetSize(int size);
    int GetSize() const { return static_cast<int>(bytes.size()); }
    unsigned char* GetData() { return bytes.data(); }
    const unsigned char* GetData() const { return bytes.data(); }

private:
    std::vector<unsigned char> bytes;
};
