#pragma once
// Tests that move the real pointer or send input take turns through one named mutex, so
// that no other test's input lands in theirs; and the keys they send.
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

// A key's press or release, as the system's input.
inline void sendKey(WORD vk, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

// A key pressed and released in one piece of input.
inline void pressKey(WORD vk)
{
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = vk;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}
