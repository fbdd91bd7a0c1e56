#include "qvedge/feed/MemNamespace.h"

#include "qvedge/feed/QuorvelProtocol.h"

namespace {
const wchar_t memProtocolName[] = L"mem";
}

bool registerMemNamespace(IInternetSession*& session, IClassFactory*& factory)
{
    if (FAILED(CoInternetGetSession(0, &session, 0))) {
        session = nullptr;
        return false;
    }
    if (SUCCEEDED(createProtocolClassFactory(&factory)))
        session->RegisterNameSpace(factory, CLSID_NULL, memProtocolName, 0, nullptr, 0);
    return true;
}

void unregisterMemNamespace(IInternetSession*& session, IClassFactory*& factory)
{
    if (session) {
        session->UnregisterNameSpace(factory, memProtocolName);
        session->Release();
        session = nullptr;
    }
    if (factory) {
        factory->Release();
        factory = nullptr;
    }
}
