#pragma once
// The COM module: every live COM object of the program holds one lock on it.
#include "framework/Win.h"

namespace ATL {

class CAtlModule {
public:
    CAtlModule();
    virtual ~CAtlModule();
    CAtlModule(const CAtlModule&) = delete;
    CAtlModule& operator=(const CAtlModule&) = delete;

    virtual LONG Lock() = 0;
    virtual LONG Unlock() = 0;
    virtual LONG GetLockCount() = 0;
};

// The module of a host built on the class library: its locks are the application's OLE
// object count.
class CAtlMfcModule : public CAtlModule {
public:
    LONG Lock() override;
    LONG Unlock() override;
    LONG GetLockCount() override;

    // This program registers no class objects with COM, so there is nothing to revoke.
    HRESULT RevokeClassObjects() { return S_OK; }
};

// The one module of the process, set while it lives; COM objects lock it.
CAtlModule* currentModule();

} // namespace ATL
