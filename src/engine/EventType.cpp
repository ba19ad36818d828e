#include "engine/EventType.h"

#include "common/HashName.h"

namespace dorvo
{
EventType::EventType(const std::string& name) : m_name(name), m_hash(HashName(name)) {}

std::uint32_t EventType::HashName(const std::string& name)
{
    return ::HashName(name.c_str());
}

const EventType& EventType::Wildcard()
{
    static const EventType wildcard("!");
    return wildcard;
}
} // namespace dorvo
