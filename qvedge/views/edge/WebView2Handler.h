#pragma once
// Helpers of the view's sources for the objects that cross the WebView2 boundary.
#include "framework/ComPtr.h"
#include "webview2/include/WebView2Callback.h"

#include <objbase.h>

#include <new>
#include <utility>

// A handler for one registration, holding the one reference the caller releases after
// registering it; std::bad_alloc when it cannot be made.
template <class I, class F>
ComPtr<I> newHandler(F function)
{
    ComPtr<I> handler;
    *handler.ReleaseAndGetAddressOf() = Callback<I>(std::move(function));
    if (!handler)
        throw std::bad_alloc();
    return handler;
}

// A text the runtime hands out in CoTaskMem, freed with its owner.
class CoTaskMemText {
public:
    CoTaskMemText() = default;
    CoTaskMemText(const CoTaskMemText&) = delete;
    CoTaskMemText& operator=(const CoTaskMemText&) = delete;
    ~CoTaskMemText() { CoTaskMemFree(text); }

    LPWSTR* Out()
    {
        CoTaskMemFree(text);
        text = nullptr;
        return &text;
    }
    LPCWSTR Get() const { return text; }

private:
    LPWSTR text = nullptr;
};
