#pragma once
// The process-wide "mem" namespace handler of the Internet Explorer engine.
#include "framework/ComPtr.h"
#include "framework/Win.h"
#include <urlmon.h>

// Registers the "mem" namespace for this process; false when CoInternetGetSession fails
// (then no show). A factory that cannot be made leaves the show without "mem" support.
bool registerMemNamespace(ComPtr<IInternetSession>& session, ComPtr<IClassFactory>& factory);
// Unregisters and releases both; safe when nothing was registered.
void unregisterMemNamespace(ComPtr<IInternetSession>& session, ComPtr<IClassFactory>& factory);
