// An owning pointer to a polymorphic record whose copies are deep: copying clones the record
// through its Clone (which returns a new object of the same class, owned by the caller). Lets a
// value type such as a game object's description hold its objective and still copy like a value.
#pragma once

#include <memory>
#include <utility>

namespace QUORB
{
template <class T> class ClonedPtr
{
public:
    ClonedPtr() = default;
    ClonedPtr(std::nullptr_t) {}
    explicit ClonedPtr(std::unique_ptr<T> record) : m_pRecord(std::move(record)) {}
    ClonedPtr(const ClonedPtr& other) : m_pRecord(CloneOf(other.get())) {}
    ClonedPtr(ClonedPtr&&) noexcept = default;
    ClonedPtr& operator=(const ClonedPtr& other)
    {
        if (this != &other)
            m_pRecord.reset(CloneOf(other.get()));
        return *this;
    }
    ClonedPtr& operator=(ClonedPtr&&) noexcept = default;

    T* get() const { return m_pRecord.get(); }
    T* operator->() const { return m_pRecord.get(); }
    T& operator*() const { return *m_pRecord; }
    explicit operator bool() const { return m_pRecord != nullptr; }
    // Deletes the record held and takes this one (null for none).
    void reset(T* record = nullptr) { m_pRecord.reset(record); }
    // A clone of the record held, owned by the caller; null for none.
    std::unique_ptr<T> Clone() const { return std::unique_ptr<T>(CloneOf(get())); }

private:
    static T* CloneOf(const T* record)
    {
        return record != nullptr ? static_cast<T*>(record->Clone()) : nullptr;
    }

    std::unique_ptr<T> m_pRecord;
};
} // namespace QUORB
