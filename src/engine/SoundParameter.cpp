#include "engine/SoundParameter.h"

#include <utility>

namespace dorvo
{
SoundParameter::SoundParameter(std::string name, float value, float velocity)
    : m_name(std::move(name)), m_value(value), m_velocity(velocity)
{
}
} // namespace dorvo
