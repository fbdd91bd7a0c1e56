#include "AtlModule.h"

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

LONG CAtlModule::Lock()
{
    return InterlockedIncrement(&lockCount);
}

LONG CAtlModule::Unlock()
{
    return InterlockedDecrement(&lockCount);
}

LONG CAtlModule::GetLockCount()
{
    return lockCount;
}

CAtlModule* currentModule()
{
    return theCurrentModule;
}

} // namespace ATL
