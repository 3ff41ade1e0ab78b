#pragma once
// Owners for platform handles: each releases what it holds exactly once, and
// none can be copied, so no handle is released twice or forgotten. Traits
// say how a kind of handle is released.

#include <utility>

namespace forms {

template <typename Handle, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle)
        : m_handle(handle)
    {
    }
    ~UniqueHandle() { Reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept
        : m_handle(std::exchange(other.m_handle, Handle {}))
    {
    }
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            Reset(std::exchange(other.m_handle, Handle {}));
        return *this;
    }

    Handle Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Handle {}; }

    // Gives up ownership: the caller now releases the handle.
    Handle Release() { return std::exchange(m_handle, Handle {}); }

    void Reset(Handle handle = Handle {})
    {
        Handle old = std::exchange(m_handle, handle);
        if (old != Handle {})
            Traits::Close(old);
    }

private:
    Handle m_handle {};
};

} // namespace forms
