#include "OleInit.h"

#include <ole2.h>

namespace {
bool oleInitialized = false;
}

BOOL AfxOleInit()
{
    if (!oleInitialized)
        oleInitialized = SUCCEEDED(OleInitialize(nullptr));
    return oleInitialized;
}

void AfxOleTerm()
{
    if (oleInitialized)
        OleUninitialize();
    oleInitialized = false;
}
