#pragma once
// Reference counting and QueryInterface for the provider's objects. Each implements one
// interface chain I (single inheritance), so every interface it answers shares one address.
#include "framework/Win.h"

#include <objbase.h>

template <class I>
class ComObject : public I {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        const HRESULT result = IsEqualIID(riid, __uuidof(IUnknown)) ? S_OK : answer(riid);
        if (FAILED(result))
            return result;
        AddRef();
        *object = static_cast<I*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&count); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = InterlockedDecrement(&count);
        if (left == 0)
            delete this;
        return left;
    }

protected:
    virtual ~ComObject() = default;
    // S_OK for an interface of the chain the object answers, else the failure to return.
    virtual HRESULT answer(REFIID riid) = 0;

private:
    LONG count = 1;
};

// An answer() of an object answering exactly these interfaces.
template <class... Interfaces>
HRESULT answerOneOf(REFIID riid)
{
    return (IsEqualIID(riid, __uuidof(Interfaces)) || ...) ? S_OK : E_NOINTERFACE;
}

extern "C" IMAGE_DOS_HEADER __ImageBase;

// The provider DLL's own module.
inline HINSTANCE providerModule()
{
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}
