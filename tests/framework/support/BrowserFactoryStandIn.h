#pragma once
// Stands in for the WebBrowser control's class in this process while it lives: the
// control is made through CreateInstance, which a test overrides, with the real class
// factory at hand. Lives on the test's stack and is revoked before it goes.
#include "framework/ComPtr.h"
#include "framework/Win.h"

#include <exdisp.h>
#include <ole2.h>

class BrowserFactoryStandIn : public IClassFactory {
public:
    BrowserFactoryStandIn()
    {
        CoGetClassObject(CLSID_WebBrowser, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                         reinterpret_cast<void**>(real.ReleaseAndGetAddressOf()));
        if (real)
            CoRegisterClassObject(CLSID_WebBrowser, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie);
    }
    virtual ~BrowserFactoryStandIn()
    {
        if (cookie)
            CoRevokeClassObject(cookie);
    }
    BrowserFactoryStandIn(const BrowserFactoryStandIn&) = delete;
    BrowserFactoryStandIn& operator=(const BrowserFactoryStandIn&) = delete;

    bool registered() const { return cookie != 0; }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory))
            return E_NOINTERFACE;
        *out = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

protected:
    ComPtr<IClassFactory> real;

private:
    DWORD cookie = 0;
};
