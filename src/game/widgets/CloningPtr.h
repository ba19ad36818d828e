// An owning pointer with value semantics for the game's polymorphic records (widget data,
// objectives): copying it copies the record through its Clone, so a struct holding records copies
// deep with the default copy operations. Null is a valid value. T::Clone returns a new object of
// T's dynamic class, owned by the caller (as common::ICloneable promises).
#pragma once

#include <memory>
#include <utility>

namespace QUORB
{
template <class T> class CloningPtr
{
public:
    CloningPtr() = default;
    CloningPtr(std::nullptr_t) {}
    explicit CloningPtr(std::unique_ptr<T> owned) : m_p(std::move(owned)) {}
    CloningPtr(const CloningPtr& other) : m_p(CloneOf(other.m_p.get())) {}
    CloningPtr(CloningPtr&&) noexcept = default;
    CloningPtr& operator=(const CloningPtr& other)
    {
        if (this != &other)
            m_p.reset(CloneOf(other.m_p.get()));
        return *this;
    }
    CloningPtr& operator=(CloningPtr&&) noexcept = default;
    CloningPtr& operator=(std::unique_ptr<T> owned)
    {
        m_p = std::move(owned);
        return *this;
    }
    CloningPtr& operator=(std::nullptr_t)
    {
        m_p.reset();
        return *this;
    }

    T* get() const { return m_p.get(); }
    T* operator->() const { return m_p.get(); }
    T& operator*() const { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // Deletes the record held and takes ownership of the given one.
    void reset(T* owned = nullptr) { m_p.reset(owned); }
    // A new copy of the record held (null for none), owned by the caller.
    std::unique_ptr<T> clone() const { return std::unique_ptr<T>(CloneOf(m_p.get())); }

private:
    static T* CloneOf(const T* p) { return p != nullptr ? static_cast<T*>(p->Clone()) : nullptr; }

    std::unique_ptr<T> m_p;
};
} // namespace QUORB
