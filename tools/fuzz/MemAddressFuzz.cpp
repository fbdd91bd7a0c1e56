// Rewrites any byte string (up to its first NUL) as a "mem" address.
#include "qvedge/feed/MemAddress.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string address(reinterpret_cast<const char*>(data), size);
    const CString rewritten = rewriteMemAddress(CString(address.c_str()));
    // A replacement never forms a new scheme, and the callback parameter goes only whole.
    if (rewritten.Find("mem://") >= 0)
        std::abort();
    const CString again = rewriteMemAddress(rewritten);
    if (CString(address.c_str()).Find("&callback=") < 0 && again != rewritten)
        std::abort();
    return 0;
}
