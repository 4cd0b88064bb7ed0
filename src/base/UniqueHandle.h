// A move-only owner for one handle of any kind; Traits says what "none" is
// and how to give the handle back to the system.
#pragma once

#include <utility>

template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : mHandle(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : mHandle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    Handle get() const { return mHandle; }
    explicit operator bool() const { return mHandle != Traits::none(); }

    // Hands the handle over to the caller, who must give it back to the system.
    Handle release() { return std::exchange(mHandle, Traits::none()); }

    void reset(Handle handle = Traits::none()) {
        Handle old = std::exchange(mHandle, handle);
        if (old != Traits::none())
            Traits::close(old);
    }

private:
    Handle mHandle = Traits::none();
};
