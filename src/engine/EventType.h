// The name of a kind of event. Types are told apart by the case-insensitive hash of the name
// alone, so "Explode" and "explode" are one type; the event manager refuses the second
// spelling. The type named "!" is the wildcard: its listeners hear every event.
#pragma once

#include <cstdint>
#include <string>

namespace dorvo
{
class EventType
{
public:
    explicit EventType(const std::string& name);

    // h = 5381, then h = h * 33 XOR the lower-cased character, wrapping at 32 bits.
    static std::uint32_t HashName(const std::string& name);
    // The type whose listeners receive every event.
    static const EventType& Wildcard();

    std::uint32_t GetHash() const { return m_hash; }
    const std::string& GetName() const { return m_name; }

    bool operator<(const EventType& other) const { return m_hash < other.m_hash; }
    bool operator==(const EventType& other) const { return m_hash == other.m_hash; }
    bool operator!=(const EventType& other) const { return m_hash != other.m_hash; }

private:
    std::string m_name;
    std::uint32_t m_hash;
};
} // namespace dorvo
