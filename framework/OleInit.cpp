#include "framework/OleInit.h"

#include "framework/CWinApp.h"

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

void AfxOleLockApp()
{
    if (CWinApp* app = AfxGetApp())
        InterlockedIncrement(&app->oleObjectCount);
}

void AfxOleUnlockApp()
{
    if (CWinApp* app = AfxGetApp())
        InterlockedDecrement(&app->oleObjectCount);
}

LONG AfxOleObjectCount()
{
    CWinApp* app = AfxGetApp();
    return app ? app->oleObjectCount : 0;
}

HRESULT ComInitialization::Enter(DWORD model)
{
    Leave();
    const HRESULT result = CoInitializeEx(nullptr, model);
    entered = SUCCEEDED(result);
    return result;
}

void ComInitialization::Leave()
{
    if (entered)
        CoUninitialize();
    entered = false;
}
