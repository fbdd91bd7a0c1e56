#pragma once
// A move-only COM pointer: holds one reference, released on Reset and destruction.
#include <utility>

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p(std::exchange(other.p, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        if (this != &other) {
            Reset();
            p = std::exchange(other.p, nullptr);
        }
        return *this;
    }
    ~ComPtr() { Reset(); }

    T* Get() const { return p; }
    T* operator->() const { return p; }
    explicit operator bool() const { return p != nullptr; }

    // Takes a reference on the new pointer; the field is cleared before the old one is
    // released, so a release that calls back finds it empty.
    void Reset(T* other = nullptr)
    {
        if (other)
            other->AddRef();
        T* old = std::exchange(p, other);
        if (old)
            old->Release();
    }

    // For out-parameters that hand over a reference: releases what is held first.
    T** ReleaseAndGetAddressOf()
    {
        Reset();
        return &p;
    }

private:
    T* p = nullptr;
};
