#pragma once
// Refuses one allocation of this thread: the test executable's operator new throws
// std::bad_alloc at the given one (0 is the next), as it would for a configuration too
// large for the address space, and serves every other as usual.
class AllocationFailure {
public:
    explicit AllocationFailure(long allocationsBefore);
    ~AllocationFailure();
    AllocationFailure(const AllocationFailure&) = delete;
    AllocationFailure& operator=(const AllocationFailure&) = delete;

    // True once the allocation has been refused.
    bool refused() const;
};
