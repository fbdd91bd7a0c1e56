#pragma once
// The COM object pieces the program's objects are built from: a reference-count root, plain
// and aggregated wrappers that lock the module while they live, creators and a class factory.
// A class T used with them derives from its interfaces and CComObjectRootEx and provides
// GetInterface(iid): the interface pointer for iid without a reference, or null.
#include <new>

#include "framework/AtlModule.h"
#include "framework/Win.h"
#include <unknwn.h>

namespace ATL {

struct CComSingleThreadModel {
    static LONG Increment(LONG* value) { return ++*value; }
    static LONG Decrement(LONG* value) { return --*value; }
};

struct CComMultiThreadModel {
    static LONG Increment(LONG* value) { return InterlockedIncrement(value); }
    static LONG Decrement(LONG* value) { return InterlockedDecrement(value); }
};

template <class ThreadModel>
class CComObjectRootEx {
protected:
    ULONG InternalAddRef() { return static_cast<ULONG>(ThreadModel::Increment(&refCount)); }
    ULONG InternalRelease() { return static_cast<ULONG>(ThreadModel::Decrement(&refCount)); }

private:
    LONG refCount = 0;
};

// The module lock a COM object holds from construction to deletion.
class ModuleLock {
public:
    ModuleLock() { currentModule()->Lock(); }
    ~ModuleLock() { currentModule()->Unlock(); }
    ModuleLock(const ModuleLock&) = delete;
    ModuleLock& operator=(const ModuleLock&) = delete;
};

// A plain object: T's IUnknown is its own.
template <class T>
class CComObject final : public T {
public:
    explicit CComObject(void* = nullptr) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = T::GetInterface(iid);
        if (!*out)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return T::InternalAddRef(); }
    STDMETHODIMP_(ULONG) Release() override
    {
        ULONG count = T::InternalRelease();
        if (count == 0)
            delete this;
        return count;
    }

private:
    ~CComObject() = default;
    ModuleLock lock;
};

template <class T>
class CComAggObject;

// The aggregated object's inner part: its IUnknown operations forward to the outer unknown.
template <class T>
class CComContainedObject : public T {
public:
    explicit CComContainedObject(IUnknown* outer) : outer(outer) {}
    using T::GetInterface;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return outer->QueryInterface(iid, out); }
    STDMETHODIMP_(ULONG) AddRef() override { return outer->AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return outer->Release(); }

private:
    friend class CComAggObject<T>;
    ~CComContainedObject() = default;
    IUnknown* outer;
};

// An aggregated object: its own IUnknown counts references and hands out the contained
// object's interfaces, which forward to the outer unknown.
template <class T>
class CComAggObject final : public IUnknown, public CComObjectRootEx<CComSingleThreadModel> {
public:
    explicit CComAggObject(void* outer) : contained(static_cast<IUnknown*>(outer)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown)) {
            *out = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        *out = contained.GetInterface(iid);
        if (!*out)
            return E_NOINTERFACE;
        contained.AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InternalAddRef(); }
    STDMETHODIMP_(ULONG) Release() override
    {
        ULONG count = InternalRelease();
        if (count == 0)
            delete this;
        return count;
    }

private:
    ~CComAggObject() = default;
    ModuleLock lock;
    CComContainedObject<T> contained;
};

using CreatorFunction = HRESULT (*)(void* outer, REFIID iid, void** out);

// Makes one object of the wrapper type W and queries the asked interface; the object goes
// again when the query fails.
template <class W>
class CComCreator {
public:
    static HRESULT CreateInstance(void* outer, REFIID iid, void** out)
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        W* object = nullptr;
        try {
            object = new W(outer);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        object->AddRef();
        HRESULT hr = object->QueryInterface(iid, out);
        object->Release();
        return hr;
    }
};

// Plain creator without an outer unknown, aggregated creator with one.
template <class Plain, class Aggregated>
class CComCreator2 {
public:
    static HRESULT CreateInstance(void* outer, REFIID iid, void** out)
    {
        return outer ? Aggregated::CreateInstance(outer, iid, out) : Plain::CreateInstance(outer, iid, out);
    }
};

class CComClassFactory : public IClassFactory, public CComObjectRootEx<CComMultiThreadModel> {
public:
    void SetCreator(CreatorFunction function) { creator = function; }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    STDMETHODIMP LockServer(BOOL lock) override;

protected:
    void* GetInterface(REFIID iid);
    ~CComClassFactory() = default;

private:
    CreatorFunction creator = nullptr;
};

} // namespace ATL
