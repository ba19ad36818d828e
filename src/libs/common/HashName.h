// The 32-bit name hash behind component type ids, event-type ids and other name keys. It
// ignores case, so "POVComp" and "povcomp" give the same key.
#pragma once

#include <cstdint>
#include <string>

// h = 5381, then h = h * 33 XOR lower-cased byte for every byte, with 32-bit wrap-around.
// Bytes above 127 take part as the negative values of a signed char, so a key matches the
// one stored files were written with. A null text hashes like the empty text (5381).
std::uint32_t HashName(const char* text);

// A name key held by value: the hash of the name given at construction.
class NameHash
{
public:
    explicit NameHash(const std::string& name) : m_Hash(HashName(name.c_str())) {}
    std::uint32_t GetValue() const { return m_Hash; }

    bool operator==(const NameHash& other) const { return m_Hash == other.m_Hash; }
    bool operator!=(const NameHash& other) const { return m_Hash != other.m_Hash; }
    bool operator<(const NameHash& other) const { return m_Hash < other.m_Hash; }

private:
    std::uint32_t m_Hash;
};
