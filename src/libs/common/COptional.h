// An optional value: a presence flag and one T. The collision pair tests answer with one: empty
// when the shapes are apart, else the new result. A thin face over std::optional with the names
// the engine's code uses.
#pragma once

#include "common/Assert.h"

#include <optional>
#include <utility>

namespace common
{
template <class T> class COptional
{
public:
    // Empty.
    COptional() = default;
    // Holds the value.
    COptional(const T& value) : m_value(value) {}
    COptional(T&& value) : m_value(std::move(value)) {}

    bool IsSet() const { return m_value.has_value(); }
    explicit operator bool() const { return IsSet(); }

    // The value; asking an empty optional is a programming error: it reports and answers a
    // default T.
    const T& Get() const
    {
        if (!DORVO_ASSERT(IsSet(), "common::COptional::Get - The optional is empty."))
            return Fallback();
        return *m_value;
    }
    T& Get()
    {
        if (!DORVO_ASSERT(IsSet(), "common::COptional::Get - The optional is empty."))
            return Fallback();
        return *m_value;
    }
    const T& operator*() const { return Get(); }
    T& operator*() { return Get(); }

    // The value when set, else `otherwise`.
    T GetOr(const T& otherwise) const { return IsSet() ? *m_value : otherwise; }

    void Set(const T& value) { m_value = value; }
    void Clear() { m_value.reset(); }

private:
    static T& Fallback()
    {
        static T s_fallback{};
        s_fallback = T{};
        return s_fallback;
    }

    std::optional<T> m_value;
};
} // namespace common
