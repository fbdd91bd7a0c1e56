#pragma once
#include "framework/Win.h"

// OLE for the user-interface thread: AfxOleInit once during start-up, and AfxWinMain
// undoes it (AfxOleTerm) after ExitInstance.
BOOL AfxOleInit();
void AfxOleTerm();

// The application's count of live OLE objects (CWinApp::oleObjectCount); without an
// application object there is nothing to count.
void AfxOleLockApp();
void AfxOleUnlockApp();
LONG AfxOleObjectCount();
