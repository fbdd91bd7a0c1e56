#pragma once
#include "Win.h"

#include <urlmon.h>

// Registers the "mem" namespace for this process; false when CoInternetGetSession fails (then no show).
bool registerMemNamespace(IInternetSession*& session, IClassFactory*& factory);
// Unregisters and releases both; safe when nothing was registered.
void unregisterMemNamespace(IInternetSession*& session, IClassFactory*& factory);
