// The engine's sound layer over the event-sound library: one instance, initialised by the shell
// and shut down at exit; the game loads the project and its groups and plays events by path
// ("QUORBSound/GUI/ButtonPress"). Events belong to the event system; callers may keep the
// handle of a looping event to stop it later.
#pragma once

#include "common/math/Vector3.h"
#include "engine/SoundParameter.h"

#include <string>
#include <vector>

namespace math
{
class Quaternion;
}

namespace plat
{
namespace FMOD
{
class Event;
class EventSystem;
class System;
} // namespace FMOD
} // namespace plat

class POVComp;

namespace dorvo
{
// Where a sound source or the listener is: world units, world units per second, and the
// object's rotated x axis (forward) and y axis (up).
struct Sound3DAttributes
{
    math::Vector3 position;
    math::Vector3 velocity;
    math::Vector3 forward{1.0f, 0.0f, 0.0f};
    math::Vector3 up{0.0f, 1.0f, 0.0f};
};

class SoundSystem
{
public:
    static SoundSystem& Instance();

    // maxChannels: sounds audible at once; the shell passes 256. Everything created before a
    // failing step is released again.
    bool Init(int maxChannels);
    // Releases the event system; the pointers are cleared even when that fails.
    bool Shutdown();
    bool LoadProject(const std::string& fileName);
    bool LoadGroup(const std::string& groupPath);

    // An event instance, not started. With a source, the event is placed at the source's
    // position, velocity and forward vector. The event goes to *event when event is not null.
    bool GetEvent(const std::string& path, const POVComp* source, plat::FMOD::Event** event);
    // GetEvent, then the parameters in list order (clamped to their ranges; unknown names are
    // skipped), then start. False only when no event exists for the path; *event is untouched then.
    bool PlayEvent(const std::string& path, const POVComp* source, plat::FMOD::Event** event,
                   const std::vector<SoundParameter>& parameters = std::vector<SoundParameter>());

    // Once a frame: the listener, then the event system's update.
    bool Update();
    void UpdateListener();

    // The listener read every frame; not owned; null for none (the game sets none).
    void SetListener(const POVComp* listener) { m_listener = listener; }
    const POVComp* GetListener() const { return m_listener; }

    // The 3D attributes of an object from its position component's position, velocity and
    // orientation: forward is the orientation's rotated x axis, up its rotated y axis.
    static Sound3DAttributes Get3DAttributes(const POVComp& object);
    static Sound3DAttributes Get3DAttributes(const math::Vector3& position, const math::Vector3& velocity,
                                             const math::Quaternion& orientation);

    plat::FMOD::EventSystem* GetEventSystem() const { return m_eventSystem; }
    plat::FMOD::System* GetSystemObject() const { return m_system; }

private:
    SoundSystem() = default;
    ~SoundSystem() = default;
    SoundSystem(const SoundSystem&) = delete;
    SoundSystem& operator=(const SoundSystem&) = delete;

    plat::FMOD::EventSystem* m_eventSystem = nullptr;
    plat::FMOD::System* m_system = nullptr;
    const POVComp* m_listener = nullptr;
};
} // namespace dorvo
