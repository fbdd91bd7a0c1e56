#include "framework/AtlCom.h"

namespace ATL {

STDMETHODIMP CComClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    // An aggregating outer object may only ask for the inner IUnknown.
    if (outer && !IsEqualIID(iid, IID_IUnknown))
        return CLASS_E_NOAGGREGATION;
    return creator(outer, iid, out);
}

STDMETHODIMP CComClassFactory::LockServer(BOOL lock)
{
    if (lock)
        currentModule()->Lock();
    else
        currentModule()->Unlock();
    return S_OK;
}

void* CComClassFactory::GetInterface(REFIID iid)
{
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory))
        return static_cast<IClassFactory*>(this);
    return nullptr;
}

} // namespace ATL
