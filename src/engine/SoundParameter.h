// One entry of the parameter list of SoundSystem::PlayEvent: the value and velocity to give a
// named parameter of the event before it starts. Values outside the parameter's range are
// clamped to it.
#pragma once

#include <string>

namespace dorvo
{
class SoundParameter
{
public:
    SoundParameter() = default;
    SoundParameter(std::string name, float value, float velocity = 0.0f);

    std::string m_name;      // the parameter's name in the sound project
    float m_value = 0.0f;    // in the parameter's own units
    float m_velocity = 0.0f; // units per second
};
} // namespace dorvo
