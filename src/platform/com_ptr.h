// A holder of one reference to a counted platform object (AddRef on copy, Release when it
// goes). Used inside the platform layer, where the device keeps what is bound to it.
#pragma once

#include <utility>

namespace plat::detail
{
template <typename T> class ComPtr
{
public:
    ComPtr() = default;
    // Takes a new reference.
    ComPtr(T* p) : m_p(p)
    {
        if (m_p)
            m_p->AddRef();
    }
    ComPtr(const ComPtr& other) : ComPtr(other.m_p) {}
    ComPtr(ComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& other)
    {
        ComPtr copy(other);
        std::swap(m_p, copy.m_p);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        ComPtr moved(std::move(other));
        std::swap(m_p, moved.m_p);
        return *this;
    }

    // Keeps the reference the caller already owns (no AddRef).
    static ComPtr Adopt(T* p)
    {
        ComPtr result;
        result.m_p = p;
        return result;
    }

    void Reset()
    {
        if (T* p = std::exchange(m_p, nullptr))
            p->Release();
    }
    // Hands the reference to the caller.
    T* Detach() { return std::exchange(m_p, nullptr); }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    T& operator*() const { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    bool operator==(const T* p) const { return m_p == p; }
    bool operator!=(const T* p) const { return m_p != p; }

private:
    T* m_p = nullptr;
};
} // namespace plat::detail
