#pragma once
// Tests that write keys under HKLM\SOFTWARE\Quorvels take turns through one named mutex:
// one of them removes the shared parent keys, which another's key must not race.
#include "framework/Win.h"

class RegistryKeyTurn {
public:
    RegistryKeyTurn() : mutex(CreateMutexA(nullptr, FALSE, "QuorvelRegistryTestKey"))
    {
        taken = mutex && WaitForSingleObject(mutex, 60000) != WAIT_TIMEOUT;
    }
    ~RegistryKeyTurn()
    {
        if (taken)
            ReleaseMutex(mutex);
        if (mutex)
            CloseHandle(mutex);
    }
    RegistryKeyTurn(const RegistryKeyTurn&) = delete;
    RegistryKeyTurn& operator=(const RegistryKeyTurn&) = delete;

    bool taken = false;

private:
    HANDLE mutex;
};
