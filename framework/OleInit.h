#pragma once
#include "framework/Win.h"

#include <objbase.h>

// OLE for the user-interface thread: AfxOleInit once during start-up, and AfxWinMain
// undoes it (AfxOleTerm) after ExitInstance.
BOOL AfxOleInit();
void AfxOleTerm();

// The application's count of live OLE objects (CWinApp::oleObjectCount); without an
// application object there is nothing to count.
void AfxOleLockApp();
void AfxOleUnlockApp();
LONG AfxOleObjectCount();

// One CoInitializeEx of the calling thread, undone by CoUninitialize on the same thread
// when its owner ends or enters again. Every success counts (S_FALSE too); a refused call
// (the thread is in another apartment) has nothing to undo.
class ComInitialization {
public:
    ComInitialization() = default;
    ComInitialization(const ComInitialization&) = delete;
    ComInitialization& operator=(const ComInitialization&) = delete;
    ~ComInitialization() { Leave(); }

    HRESULT Enter(DWORD model);
    void Leave();

private:
    bool entered = false;
};
