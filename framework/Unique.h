#pragma once
// Sole owner of one handle of a resource kind. Traits names the handle type, its empty
// value and how to close it.
template <class Traits>
class Unique {
public:
    using Handle = typename Traits::Handle;

    Unique() = default;
    explicit Unique(Handle handle) : handle(handle) {}
    Unique(Unique&& other) noexcept : handle(other.Release()) {}
    Unique& operator=(Unique&& other) noexcept
    {
        Reset(other.Release());
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    ~Unique() { Reset(); }

    Handle Get() const { return handle; }
    explicit operator bool() const { return handle != Traits::Empty(); }

    Handle Release()
    {
        Handle released = handle;
        handle = Traits::Empty();
        return released;
    }

    void Reset(Handle replacement = Traits::Empty())
    {
        if (handle != Traits::Empty())
            Traits::Close(handle);
        handle = replacement;
    }

private:
    Handle handle = Traits::Empty();
};
