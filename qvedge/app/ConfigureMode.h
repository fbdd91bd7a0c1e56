#pragma once
#include "framework/CString.h"

// Configure mode: 0 after the About dialog (the start-up ends), 1 after opening the
// authoring package (the start-up goes on with the other modes).
int runConfigureMode();
// The same for a program of the given base name.
int runConfigureMode(const CString& programBaseName);
