#include "framework/AtlModule.h"

#include "framework/OleInit.h"

namespace ATL {

namespace {
CAtlModule* theCurrentModule = nullptr;
}

CAtlModule::CAtlModule()
{
    theCurrentModule = this;
}

CAtlModule::~CAtlModule()
{
    if (theCurrentModule == this)
        theCurrentModule = nullptr;
}

LONG CAtlMfcModule::Lock()
{
    AfxOleLockApp();
    return AfxOleObjectCount();
}

LONG CAtlMfcModule::Unlock()
{
    AfxOleUnlockApp();
    return AfxOleObjectCount();
}

LONG CAtlMfcModule::GetLockCount()
{
    return AfxOleObjectCount();
}

CAtlModule* currentModule()
{
    return theCurrentModule;
}

} // namespace ATL
