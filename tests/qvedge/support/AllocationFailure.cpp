#include "tests/qvedge/support/AllocationFailure.h"

#include <cstdlib>
#include <new>

namespace {

// Allocations still to serve before the refused one; negative when none is planned.
thread_local long allocationsLeft = -1;
thread_local bool allocationRefused = false;

} // namespace

// Replaces the library's operator new for the whole test executable; the library's
// operator delete frees with free(), and its array and nothrow forms come through here.
void* operator new(std::size_t size)
{
    if (allocationsLeft == 0) {
        allocationsLeft = -1;
        allocationRefused = true;
        throw std::bad_alloc();
    }
    if (allocationsLeft > 0)
        --allocationsLeft;
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}

AllocationFailure::AllocationFailure(long allocationsBefore)
{
    allocationsLeft = allocationsBefore;
    allocationRefused = false;
}

AllocationFailure::~AllocationFailure()
{
    allocationsLeft = -1;
}

bool AllocationFailure::refused() const
{
    return allocationRefused;
}
