#pragma once
// Tests that move the real pointer or send input take turns through one named mutex, so
// that no other test's input lands in theirs.
#include "framework/Win.h"

class SystemInputTurn {
public:
    SystemInputTurn() : mutex(CreateMutexA(nullptr, FALSE, "QuorvelSystemInput"))
    {
        taken = mutex && WaitForSingleObject(mutex, 60000) != WAIT_TIMEOUT;
    }
    ~SystemInputTurn()
    {
        if (taken)
            ReleaseMutex(mutex);
        if (mutex)
            CloseHandle(mutex);
    }
    SystemInputTurn(const SystemInputTurn&) = delete;
    SystemInputTurn& operator=(const SystemInputTurn&) = delete;

    bool taken = false;

private:
    HANDLE mutex;
};
