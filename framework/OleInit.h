#pragma once
#include "Win.h"

// OLE for the user-interface thread: AfxOleInit once during start-up, and AfxWinMain
// undoes it (AfxOleTerm) after ExitInstance.
BOOL AfxOleInit();
void AfxOleTerm();
