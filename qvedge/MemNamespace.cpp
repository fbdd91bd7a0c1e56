#include "MemNamespace.h"

bool registerMemNamespace(IInternetSession*& session, IClassFactory*&)
{
    return SUCCEEDED(CoInternetGetSession(0, &session, 0));
}

void unregisterMemNamespace(IInternetSession*& session, IClassFactory*& factory)
{
    if (session) {
        session->Release();
        session = nullptr;
    }
    if (factory) {
        factory->Release();
        factory = nullptr;
    }
}
