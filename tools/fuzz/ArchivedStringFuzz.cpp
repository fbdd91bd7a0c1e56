// Reads any byte string as a run of archived strings, as the decrypted configuration is
// read, and checks each string against its own round trip.
#include "framework/CArchive.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// A string read is stored again and must read back the same.
void checkRoundTrip(const CString& text)
{
    CMemFile file;
    CArchive store(file, CArchive::store);
    store << text;
    file.SeekToBegin();
    CArchive load(file, CArchive::load);
    CString again;
    load >> again;
    if (again != text)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CMemFile file;
    file.Write(data, size);
    file.SeekToBegin();
    CArchive archive(file, CArchive::load);
    const CString untouched = "untouched";
    for (;;) {
        CString text = untouched;
        try {
            archive >> text;
        } catch (const CArchiveException&) {
            // A failed read leaves the string as it was.
            if (text != untouched)
                std::abort();
            break;
        }
        checkRoundTrip(text);
    }
    return 0;
}
