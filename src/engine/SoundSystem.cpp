#include "engine/SoundSystem.h"

#include "engine/POVComp.h"

#include "common/Assert.h"
#include "common/math/Quaternion.h"
#include "platform/sound_events.h"

namespace dorvo
{
namespace
{
plat::FMOD_VECTOR ToFmod(const math::Vector3& v)
{
    return plat::FMOD_VECTOR{v.x, v.y, v.z};
}
} // namespace

SoundSystem& SoundSystem::Instance()
{
    static SoundSystem instance;
    return instance;
}

bool SoundSystem::Init(int maxChannels)
{
    if (!DORVO_ASSERT(!m_eventSystem, "SoundSystem::Init - the sound system is already initialised."))
        return false;
    if (plat::FMOD::EventSystem_Create(&m_eventSystem) != plat::FMOD_OK)
    {
        m_eventSystem = nullptr;
        return false;
    }
    if (m_eventSystem->getSystemObject(&m_system) != plat::FMOD_OK ||
        m_eventSystem->init(maxChannels, plat::FMOD_INIT_NORMAL, nullptr, plat::FMOD_EVENT_INIT_NORMAL) !=
            plat::FMOD_OK)
    {
        m_eventSystem->release();
        m_eventSystem = nullptr;
        m_system = nullptr;
        return false;
    }
    return true;
}

bool SoundSystem::Shutdown()
{
    if (!m_eventSystem)
        return false;
    const bool released = m_eventSystem->release() == plat::FMOD_OK;
    m_eventSystem = nullptr;
    m_system = nullptr;
    return released;
}

bool SoundSystem::LoadProject(const std::string& fileName)
{
    if (!DORVO_ASSERT(m_eventSystem, "SoundSystem::LoadProject - the sound system is not initialised."))
        return false;
    return m_eventSystem->load(fileName.c_str(), nullptr, nullptr) == plat::FMOD_OK;
}

bool SoundSystem::LoadGroup(const std::string& groupPath)
{
    if (!DORVO_ASSERT(m_eventSystem, "SoundSystem::LoadGroup - the sound system is not initialised."))
        return false;
    plat::FMOD::EventGroup* group = nullptr;
    if (m_eventSystem->getGroup(groupPath.c_str(), true, &group) != plat::FMOD_OK)
        return false;
    return group->loadEventData(plat::FMOD_EVENT_RESOURCE_STREAMS_AND_SAMPLES, plat::FMOD_EVENT_DEFAULT) ==
           plat::FMOD_OK;
}

bool SoundSystem::GetEvent(const std::string& path, const POVComp* source, plat::FMOD::Event** event)
{
    if (!DORVO_ASSERT(m_eventSystem, "SoundSystem::GetEvent - the sound system is not initialised."))
        return false;
    plat::FMOD::Event* found = nullptr;
    if (m_eventSystem->getEvent(path.c_str(), plat::FMOD_EVENT_DEFAULT, &found) != plat::FMOD_OK)
        return false;
    if (event)
        *event = found;
    if (source)
    {
        const Sound3DAttributes attributes = Get3DAttributes(*source);
        const plat::FMOD_VECTOR position = ToFmod(attributes.position);
        const plat::FMOD_VECTOR velocity = ToFmod(attributes.velocity);
        const plat::FMOD_VECTOR forward = ToFmod(attributes.forward);
        found->set3DAttributes(&position, &velocity, &forward);
    }
    return true;
}

bool SoundSystem::PlayEvent(const std::string& path, const POVComp* source, plat::FMOD::Event** event,
                            const std::vector<SoundParameter>& parameters)
{
    plat::FMOD::Event* played = nullptr;
    if (!GetEvent(path, source, &played))
        return false;
    if (event)
        *event = played;
    for (const SoundParameter& entry : parameters)
    {
        plat::FMOD::EventParameter* parameter = nullptr;
        if (played->getParameter(entry.m_name.c_str(), &parameter) != plat::FMOD_OK)
            continue;
        float minimum = 0.0f;
        float maximum = 0.0f;
        if (parameter->getRange(&minimum, &maximum) != plat::FMOD_OK)
            continue;
        float value = entry.m_value;
        if (value > maximum)
            value = maximum;
        else if (minimum > value)
            value = minimum;
        if (parameter->setValue(value) == plat::FMOD_OK)
            parameter->setVelocity(entry.m_velocity);
    }
    played->start();
    return true;
}

bool SoundSystem::Update()
{
    if (!DORVO_ASSERT(m_eventSystem, "SoundSystem::Update - the sound system is not initialised."))
        return false;
    UpdateListener();
    return m_eventSystem->update() == plat::FMOD_OK;
}

void SoundSystem::UpdateListener()
{
    if (!m_listener || !m_eventSystem)
        return;
    const Sound3DAttributes attributes = Get3DAttributes(*m_listener);
    const plat::FMOD_VECTOR position = ToFmod(attributes.position);
    const plat::FMOD_VECTOR velocity = ToFmod(attributes.velocity);
    const plat::FMOD_VECTOR forward = ToFmod(attributes.forward);
    const plat::FMOD_VECTOR up = ToFmod(attributes.up);
    m_eventSystem->set3DListenerAttributes(0, &position, &velocity, &forward, &up);
}

Sound3DAttributes SoundSystem::Get3DAttributes(const POVComp& object)
{
    return Get3DAttributes(object.GetPosition(), object.GetVelocity(), object.GetOrientation());
}

Sound3DAttributes SoundSystem::Get3DAttributes(const math::Vector3& position, const math::Vector3& velocity,
                                               const math::Quaternion& orientation)
{
    Sound3DAttributes attributes;
    attributes.position = position;
    attributes.velocity = velocity;
    attributes.forward = orientation.GetXAxis();
    attributes.up = orientation.GetYAxis();
    return attributes;
}
} // namespace dorvo
