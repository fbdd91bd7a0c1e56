#include "qvedge/feed/MemNamespace.h"

#include "qvedge/feed/QuorvelProtocol.h"

namespace {
const wchar_t memProtocolName[] = L"mem";
}

bool registerMemNamespace(ComPtr<IInternetSession>& session, ComPtr<IClassFactory>& factory)
{
    if (FAILED(CoInternetGetSession(0, session.ReleaseAndGetAddressOf(), 0)))
        return false;
    if (SUCCEEDED(createProtocolClassFactory(factory.ReleaseAndGetAddressOf())))
        session->RegisterNameSpace(factory.Get(), CLSID_NULL, memProtocolName, 0, nullptr, 0);
    return true;
}

void unregisterMemNamespace(ComPtr<IInternetSession>& session, ComPtr<IClassFactory>& factory)
{
    if (session)
        session->UnregisterNameSpace(factory.Get(), memProtocolName);
    session.Reset();
    factory.Reset();
}
