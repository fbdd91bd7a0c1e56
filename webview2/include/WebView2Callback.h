#pragma once
// Handler objects made from a function: Callback<I>(f) returns an I* holding one
// reference, whose Invoke calls f with Invoke's arguments. The registering code releases
// its reference right after the call that takes the handler.
#include "webview2/include/WebView2.h"

#include <new>
#include <utility>

namespace webview2_detail {

template <class Method>
struct InvokeOf;

template <class I, class... Args>
struct InvokeOf<HRESULT (STDMETHODCALLTYPE I::*)(Args...)> {
    template <class F>
    class Handler final : public I {
    public:
        explicit Handler(F function) : function(std::move(function)) {}

        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
        {
            if (!object)
                return E_POINTER;
            *object = nullptr;
            if (!IsEqualIID(riid, __uuidof(IUnknown)) && !IsEqualIID(riid, __uuidof(I)))
                return E_NOINTERFACE;
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
        HRESULT STDMETHODCALLTYPE Invoke(Args... args) override { return function(args...); }

    private:
        ~Handler() = default;
        LONG count = 1;
        F function;
    };
};

} // namespace webview2_detail

// Null when memory runs out.
template <class I, class F>
I* Callback(F function)
{
    using Handler = typename webview2_detail::InvokeOf<decltype(&I::Invoke)>::template Handler<F>;
    return new (std::nothrow) Handler(std::move(function));
}
