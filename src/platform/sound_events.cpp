// The event system: projects, groups, event instances and parameters over one mixer, and the
// output that drains the mixer (SDL device, silence, or the headless recording).
#include "platform/sound_events.h"

#include "platform/audio_output.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "platform/log.h"
#include "platform/sound_project.h"
#include "platform/win32.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <map>
#include <memory>
#include <set>

namespace plat
{
namespace
{
// Instances of one event alive at once; at the limit, getEvent takes back one that is not
// playing, or fails when every one plays.
constexpr std::size_t kMaxInstancesPerEvent = 32;

struct TestState
{
    std::vector<soundtest::Record> records;
    std::vector<std::string> missing; // each path once, in the order first asked for
    std::set<soundtest::Call> failures;
    int liveSystems = 0;
    std::string lastError;
};

TestState& Testing()
{
    static TestState state;
    return state;
}

bool Injected(soundtest::Call call)
{
    return Testing().failures.count(call) != 0;
}

// `text` is the fault, kept for the tests; the log line adds where it was met and, unless the
// text says so itself, what happens instead.
void Report(const char* where, const std::string& text, const char* instead = nullptr)
{
    Testing().lastError = text;
    if (instead)
        DORVO_LOG("%s: %s; %s", where, text.c_str(), instead);
    else
        DORVO_LOG("%s: %s", where, text.c_str());
}

FMOD_VECTOR Sub(const FMOD_VECTOR& a, const FMOD_VECTOR& b)
{
    return FMOD_VECTOR{a.x - b.x, a.y - b.y, a.z - b.z};
}
float Dot(const FMOD_VECTOR& a, const FMOD_VECTOR& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
FMOD_VECTOR Cross(const FMOD_VECTOR& a, const FMOD_VECTOR& b)
{
    return FMOD_VECTOR{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

class SystemImpl;
struct EventDef;

class ParameterImpl final : public FMOD::EventParameter
{
public:
    explicit ParameterImpl(const SoundParameterDesc& desc) : m_desc(desc), m_value(desc.minimum) {}
    ~ParameterImpl() override = default;

    FMOD_RESULT getRange(float* minimum, float* maximum) override
    {
        if (minimum)
            *minimum = m_desc.minimum;
        if (maximum)
            *maximum = m_desc.maximum;
        return FMOD_OK;
    }
    FMOD_RESULT setValue(float value) override
    {
        if (!std::isfinite(value))
            return FMOD_ERR_INVALID_PARAM;
        m_value = std::clamp(value, m_desc.minimum, m_desc.maximum);
        return FMOD_OK;
    }
    FMOD_RESULT getValue(float* value) override
    {
        if (!value)
            return FMOD_ERR_INVALID_PARAM;
        *value = m_value;
        return FMOD_OK;
    }
    FMOD_RESULT setVelocity(float velocity) override
    {
        if (!std::isfinite(velocity))
            return FMOD_ERR_INVALID_PARAM;
        m_velocity = velocity;
        return FMOD_OK;
    }
    FMOD_RESULT getVelocity(float* velocity) override
    {
        if (!velocity)
            return FMOD_ERR_INVALID_PARAM;
        *velocity = m_velocity;
        return FMOD_OK;
    }

    void Advance(float seconds)
    {
        if (m_velocity != 0.0f)
            m_value = std::clamp(m_value + m_velocity * seconds, m_desc.minimum, m_desc.maximum);
    }
    void Reset()
    {
        m_value = m_desc.minimum;
        m_velocity = 0.0f;
    }
    const std::string& Name() const { return m_desc.name; }
    float Value() const { return m_value; }

private:
    SoundParameterDesc m_desc;
    float m_value;
    float m_velocity = 0.0f;
};

class EventImpl final : public FMOD::Event
{
public:
    EventImpl(SystemImpl& system, EventDef& def);
    ~EventImpl() override = default;

    FMOD_RESULT getParameter(const char* name, FMOD::EventParameter** parameter) override;
    FMOD_RESULT set3DAttributes(const FMOD_VECTOR* position, const FMOD_VECTOR* velocity,
                                const FMOD_VECTOR* orientation) override;
    FMOD_RESULT start() override;
    FMOD_RESULT stop(bool immediate) override;
    FMOD_RESULT getState(FMOD_EVENT_STATE* state) override;
    FMOD_RESULT getPath(std::string* path) override;

    bool IsPlaying() const;
    // Free for getEvent: never handed out, or handed out, started and finished since.
    bool IsFree() const { return !m_handedOut || (m_started && !IsPlaying()); }
    void HandOut();
    void Advance(float seconds);
    void UpdateGains();

private:
    void Gains(float& left, float& right) const;
    void Record(const char* action) const;

    SystemImpl& m_system;
    EventDef& m_def;
    std::vector<std::unique_ptr<ParameterImpl>> m_parameters;
    FMOD_VECTOR m_position;
    FMOD_VECTOR m_velocity;
    FMOD_VECTOR m_forward{0.0f, 0.0f, 1.0f};
    AudioMixer::VoiceId m_voice = 0;
    bool m_handedOut = false;
    bool m_started = false;
};

struct EventDef
{
    SoundEventDesc desc;
    std::shared_ptr<const SampleData> sample; // null until loaded
    std::vector<std::unique_ptr<EventImpl>> instances;
};

class GroupImpl final : public FMOD::EventGroup
{
public:
    GroupImpl(SystemImpl& system, std::string path) : m_system(system), m_path(std::move(path)) {}
    ~GroupImpl() override = default;
    FMOD_RESULT loadEventData(FMOD_EVENT_RESOURCE resource, FMOD_EVENT_MODE mode) override;

private:
    SystemImpl& m_system;
    std::string m_path;
};

class SystemImpl final : public FMOD::EventSystem, public FMOD::System
{
public:
    SystemImpl() { ++Testing().liveSystems; }

    FMOD_RESULT init(int maxChannels, FMOD_INITFLAGS, void*, FMOD_EVENT_INITFLAGS) override
    {
        if (Injected(soundtest::Call::Init))
            return FMOD_ERR_OUTPUT_INIT;
        if (m_mixer)
            return FMOD_ERR_INITIALIZED;
        if (maxChannels <= 0)
            return FMOD_ERR_INVALID_PARAM;
        m_mixer = std::make_unique<AudioMixer>(maxChannels);
        if (headless::IsActive())
        {
            m_output = FMOD_OUTPUTTYPE_RECORDING;
        }
        else
        {
            std::string error;
            m_device = std::make_unique<SdlAudioOutput>();
            if (m_device->Open(m_mixer.get(), error))
            {
                m_output = FMOD_OUTPUTTYPE_SDL;
            }
            else
            {
                m_device.reset();
                m_output = FMOD_OUTPUTTYPE_NOSOUND;
                Report("EventSystem::init", error, "running without sound");
            }
        }
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        m_lastUpdate = now.QuadPart;
        return FMOD_OK;
    }

    FMOD_RESULT release() override
    {
        const bool failed = Injected(soundtest::Call::Release);
        if (m_device)
            m_device->Close(); // the audio thread stops pulling before anything goes away
        delete this;
        return failed ? FMOD_ERR_INVALID_PARAM : FMOD_OK;
    }

    FMOD_RESULT update() override
    {
        if (!m_mixer)
            return FMOD_ERR_UNINITIALIZED;
        LARGE_INTEGER now, frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        const double seconds = std::min(1.0, static_cast<double>(now.QuadPart - m_lastUpdate) /
                                                 static_cast<double>(frequency.QuadPart));
        m_lastUpdate = now.QuadPart;
        for (auto& entry : m_events)
            for (auto& instance : entry.second.instances)
                instance->Advance(static_cast<float>(seconds));
        // Without a device nothing pulls the mixer; run it on the clock so sounds finish. In
        // blocks of the device's size, so a long frame costs time but no lasting memory.
        if (!m_device && seconds > 0.0)
        {
            m_pendingFrames += seconds * kMixRate;
            int frames = static_cast<int>(m_pendingFrames);
            m_pendingFrames -= frames;
            constexpr int kBlock = 1024;
            m_scratch.resize(static_cast<std::size_t>(kBlock) * 2);
            for (; frames > 0; frames -= kBlock)
                m_mixer->Mix(m_scratch.data(), std::min(frames, kBlock));
        }
        return FMOD_OK;
    }

    FMOD_RESULT getSystemObject(FMOD::System** system) override
    {
        if (!system || Injected(soundtest::Call::GetSystemObject))
            return FMOD_ERR_INVALID_PARAM;
        *system = this;
        return FMOD_OK;
    }

    FMOD_RESULT getOutput(FMOD_OUTPUTTYPE* output) override
    {
        if (!output)
            return FMOD_ERR_INVALID_PARAM;
        if (!m_mixer)
            return FMOD_ERR_UNINITIALIZED;
        *output = m_output;
        return FMOD_OK;
    }

    FMOD_RESULT load(const char* fileName, void*, void** projectOut) override
    {
        if (!m_mixer)
            return FMOD_ERR_UNINITIALIZED;
        if (!fileName || projectOut)
            return FMOD_ERR_INVALID_PARAM;
        std::string text, why;
        if (!ReadDataFile(fileName, DataKind::Text, text, why))
            return Fail(FMOD_ERR_FILE_NOTFOUND, "EventSystem::load", why, "the sound project is not loaded");
        const std::string name(fileName);
        const std::size_t slash = name.find_last_of("/\\");
        const std::string folder = slash == std::string::npos ? std::string() : name.substr(0, slash);
        SoundProjectDesc project;
        std::string error;
        if (!ParseSoundProject(text, name, folder, project, error))
            return Fail(FMOD_ERR_FILE_BAD, "EventSystem::load", error, "the sound project is not loaded");
        if (!project.cut.empty())
            Report("EventSystem::load", project.cut);
        if (m_projects.count(project.name) != 0)
            return Fail(FMOD_ERR_INVALID_PARAM, "EventSystem::load",
                        name + ": project \"" + project.name + "\" is already loaded",
                        "it is not loaded again");
        m_projects.insert(project.name);
        for (const std::string& group : project.groups)
            m_groupPaths.insert(group);
        for (SoundEventDesc& desc : project.events)
            m_events[desc.path].desc = std::move(desc);
        return FMOD_OK;
    }

    FMOD_RESULT getGroup(const char* path, bool, FMOD::EventGroup** group) override
    {
        if (!m_mixer)
            return FMOD_ERR_UNINITIALIZED;
        if (!path || !group)
            return FMOD_ERR_INVALID_PARAM;
        if (m_groupPaths.count(path) == 0)
        {
            NoteMissing(path);
            return Fail(FMOD_ERR_EVENT_NOTFOUND, "EventSystem::getGroup",
                        std::string("no event group \"") + path + "\"", "its sounds stay silent");
        }
        std::unique_ptr<GroupImpl>& slot = m_groups[path];
        if (!slot)
            slot = std::make_unique<GroupImpl>(*this, path);
        *group = slot.get();
        return FMOD_OK;
    }

    FMOD_RESULT getEvent(const char* path, FMOD_EVENT_MODE, FMOD::Event** event) override
    {
        if (!m_mixer)
            return FMOD_ERR_UNINITIALIZED;
        if (!path || !event)
            return FMOD_ERR_INVALID_PARAM;
        auto found = m_events.find(path);
        if (found == m_events.end())
        {
            NoteMissing(path);
            // Named once: a missing event is asked for again every time the game would play it.
            if (m_unknownEvents.insert(path).second)
                return Fail(FMOD_ERR_EVENT_NOTFOUND, "EventSystem::getEvent",
                            std::string("no event \"") + path + "\"; it stays silent");
            return FMOD_ERR_EVENT_NOTFOUND;
        }
        EventDef& def = found->second;
        const FMOD_RESULT loaded = LoadData(def, "EventSystem::getEvent");
        if (loaded != FMOD_OK)
            return loaded;
        EventImpl* instance = nullptr;
        for (auto& candidate : def.instances)
        {
            if (candidate->IsFree())
            {
                instance = candidate.get();
                break;
            }
        }
        if (!instance && def.instances.size() < kMaxInstancesPerEvent)
        {
            def.instances.push_back(std::make_unique<EventImpl>(*this, def));
            instance = def.instances.back().get();
        }
        if (!instance)
        {
            // Every instance is out. One that was fetched but never started (its caller
            // dropped it) is taken back, or the event would stay mute for the rest of the run.
            for (auto& candidate : def.instances)
            {
                if (!candidate->IsPlaying())
                {
                    instance = candidate.get();
                    break;
                }
            }
            if (!instance)
                return FMOD_ERR_EVENT_FAILED;
        }
        instance->HandOut();
        *event = instance;
        return FMOD_OK;
    }

    FMOD_RESULT set3DListenerAttributes(int listener, const FMOD_VECTOR* position,
                                        const FMOD_VECTOR* velocity, const FMOD_VECTOR* forward,
                                        const FMOD_VECTOR* up) override
    {
        if (!m_mixer)
            return FMOD_ERR_UNINITIALIZED;
        if (listener != 0)
            return FMOD_ERR_INVALID_PARAM;
        if (position)
            m_listenerPosition = *position;
        (void)velocity; // no Doppler
        if (forward)
            m_listenerForward = *forward;
        if (up)
            m_listenerUp = *up;
        for (auto& entry : m_events)
            for (auto& instance : entry.second.instances)
                instance->UpdateGains();
        return FMOD_OK;
    }

    FMOD_RESULT LoadData(EventDef& def, const char* where)
    {
        if (def.sample)
            return FMOD_OK;
        // Events that play one file share its samples, and a file that failed is named once:
        // a project of thousands of events costs what its distinct files cost.
        SampleEntry& entry = m_samples[def.desc.file];
        if (!entry.sample && entry.failure == FMOD_OK)
        {
            auto sample = std::make_shared<SampleData>();
            std::string error;
            if (LoadWav(def.desc.file, *sample, error))
                entry.sample = std::move(sample);
            else
                entry.failure =
                    Fail(FileExists(def.desc.file) ? FMOD_ERR_FORMAT : FMOD_ERR_FILE_NOTFOUND, where,
                         "event \"" + def.desc.path + "\": " + error, "the event stays silent");
        }
        def.sample = entry.sample;
        return entry.sample ? FMOD_OK : entry.failure;
    }

    FMOD_RESULT LoadGroupData(const std::string& groupPath)
    {
        const std::string prefix = groupPath + "/";
        FMOD_RESULT result = FMOD_OK;
        for (auto& entry : m_events)
        {
            if (entry.first.compare(0, prefix.size(), prefix) != 0)
                continue;
            const FMOD_RESULT loaded = LoadData(entry.second, "EventGroup::loadEventData");
            if (loaded != FMOD_OK && result == FMOD_OK)
                result = loaded;
        }
        return result;
    }

    FMOD_RESULT Mix(std::int16_t* out, int frames)
    {
        if (!m_mixer)
            return FMOD_ERR_UNINITIALIZED;
        if (!out || frames < 0)
            return FMOD_ERR_INVALID_PARAM;
        m_mixer->Mix(out, frames);
        return FMOD_OK;
    }

    AudioMixer& Mixer() { return *m_mixer; }
    bool Recording() const { return m_output == FMOD_OUTPUTTYPE_RECORDING; }
    const FMOD_VECTOR& ListenerPosition() const { return m_listenerPosition; }
    const FMOD_VECTOR& ListenerForward() const { return m_listenerForward; }
    const FMOD_VECTOR& ListenerUp() const { return m_listenerUp; }

private:
    ~SystemImpl() override
    {
        m_device.reset();
        --Testing().liveSystems;
    }

    FMOD_RESULT Fail(FMOD_RESULT result, const char* where, const std::string& text,
                     const char* instead = nullptr)
    {
        Report(where, text, instead);
        return result;
    }

    // Headless, every path asked for and not found is kept for the tests, once until cleared.
    void NoteMissing(const std::string& path) const
    {
        if (!Recording())
            return;
        std::vector<std::string>& missing = Testing().missing;
        if (std::find(missing.begin(), missing.end(), path) == missing.end())
            missing.push_back(path);
    }

    std::unique_ptr<AudioMixer> m_mixer;
    std::unique_ptr<SdlAudioOutput> m_device;
    FMOD_OUTPUTTYPE m_output = FMOD_OUTPUTTYPE_NOSOUND;
    std::set<std::string> m_projects;
    std::set<std::string> m_groupPaths;
    std::map<std::string, std::unique_ptr<GroupImpl>> m_groups;
    std::map<std::string, EventDef> m_events;
    // Decoded sound files by path: the samples, or the result of the failed load.
    struct SampleEntry
    {
        std::shared_ptr<const SampleData> sample;
        FMOD_RESULT failure = FMOD_OK;
    };
    std::map<std::string, SampleEntry> m_samples;
    std::set<std::string> m_unknownEvents;
    FMOD_VECTOR m_listenerPosition;
    FMOD_VECTOR m_listenerForward{0.0f, 0.0f, 1.0f};
    FMOD_VECTOR m_listenerUp{0.0f, 1.0f, 0.0f};
    std::int64_t m_lastUpdate = 0; // counter ticks
    double m_pendingFrames = 0.0;
    std::vector<std::int16_t> m_scratch;
};

EventImpl::EventImpl(SystemImpl& system, EventDef& def) : m_system(system), m_def(def)
{
    for (const SoundParameterDesc& desc : def.desc.parameters)
        m_parameters.push_back(std::make_unique<ParameterImpl>(desc));
}

FMOD_RESULT EventImpl::getParameter(const char* name, FMOD::EventParameter** parameter)
{
    if (!name || !parameter)
        return FMOD_ERR_INVALID_PARAM;
    for (auto& candidate : m_parameters)
    {
        if (candidate->Name() == name)
        {
            *parameter = candidate.get();
            return FMOD_OK;
        }
    }
    return FMOD_ERR_EVENT_NOTFOUND;
}

FMOD_RESULT EventImpl::set3DAttributes(const FMOD_VECTOR* position, const FMOD_VECTOR* velocity,
                                       const FMOD_VECTOR* orientation)
{
    if (position)
        m_position = *position;
    if (velocity)
        m_velocity = *velocity;
    if (orientation)
        m_forward = *orientation;
    UpdateGains();
    return FMOD_OK;
}

FMOD_RESULT EventImpl::start()
{
    const FMOD_RESULT loaded = m_system.LoadData(m_def, "Event::start");
    if (loaded != FMOD_OK)
        return loaded;
    // Starting a playing event starts it over.
    m_system.Mixer().Stop(m_voice);
    float left, right;
    Gains(left, right);
    m_voice = m_system.Mixer().Play(m_def.sample, left, right, m_def.desc.loop);
    m_started = true;
    Record("start");
    return FMOD_OK;
}

FMOD_RESULT EventImpl::stop(bool)
{
    if (IsPlaying())
        Record("stop");
    m_system.Mixer().Stop(m_voice);
    m_voice = 0;
    return FMOD_OK;
}

FMOD_RESULT EventImpl::getState(FMOD_EVENT_STATE* state)
{
    if (!state)
        return FMOD_ERR_INVALID_PARAM;
    *state = FMOD_EVENT_STATE_READY | (IsPlaying() ? FMOD_EVENT_STATE_PLAYING : 0);
    return FMOD_OK;
}

FMOD_RESULT EventImpl::getPath(std::string* path)
{
    if (!path)
        return FMOD_ERR_INVALID_PARAM;
    *path = m_def.desc.path;
    return FMOD_OK;
}

bool EventImpl::IsPlaying() const
{
    return m_system.Mixer().IsPlaying(m_voice);
}

void EventImpl::HandOut()
{
    m_handedOut = true;
    m_started = false;
    m_system.Mixer().Stop(m_voice);
    m_voice = 0;
    for (auto& parameter : m_parameters)
        parameter->Reset();
    m_position = FMOD_VECTOR();
    m_velocity = FMOD_VECTOR();
    m_forward = FMOD_VECTOR{0.0f, 0.0f, 1.0f};
}

void EventImpl::Advance(float seconds)
{
    for (auto& parameter : m_parameters)
        parameter->Advance(seconds);
}

void EventImpl::UpdateGains()
{
    if (!m_def.desc.is3D || m_voice == 0)
        return;
    float left, right;
    Gains(left, right);
    m_system.Mixer().SetGains(m_voice, left, right);
}

void EventImpl::Gains(float& left, float& right) const
{
    const float volume = m_def.desc.volume;
    left = right = volume;
    if (!m_def.desc.is3D)
        return;
    // Full volume up to the minimum distance, falling linearly to silence at the maximum;
    // panned by how far the source lies to the listener's right (right = up x forward in
    // our left-handed world). A source straight ahead plays at full volume on both sides.
    const FMOD_VECTOR offset = Sub(m_position, m_system.ListenerPosition());
    const float distance = std::sqrt(Dot(offset, offset));
    const float minimum = m_def.desc.minDistance;
    const float maximum = m_def.desc.maxDistance;
    float attenuation = 1.0f;
    if (distance >= maximum)
        attenuation = 0.0f;
    else if (distance > minimum)
        attenuation = (maximum - distance) / (maximum - minimum);
    FMOD_VECTOR side = Cross(m_system.ListenerUp(), m_system.ListenerForward());
    const float sideLength = std::sqrt(Dot(side, side));
    float pan = 0.0f;
    if (distance > 1e-6f && sideLength > 1e-6f)
        pan = std::clamp(Dot(offset, side) / (distance * sideLength), -1.0f, 1.0f);
    left = volume * attenuation * std::min(1.0f, 1.0f - pan);
    right = volume * attenuation * std::min(1.0f, 1.0f + pan);
}

void EventImpl::Record(const char* action) const
{
    if (!m_system.Recording())
        return;
    soundtest::Record record;
    record.action = action;
    record.path = m_def.desc.path;
    for (const auto& parameter : m_parameters)
        record.parameters.emplace_back(parameter->Name(), parameter->Value());
    record.is3D = m_def.desc.is3D;
    record.position = m_position;
    Testing().records.push_back(record);
}

FMOD_RESULT GroupImpl::loadEventData(FMOD_EVENT_RESOURCE, FMOD_EVENT_MODE)
{
    return m_system.LoadGroupData(m_path);
}
} // namespace

namespace FMOD
{
FMOD_RESULT EventSystem_Create(EventSystem** eventSystem)
{
    if (!eventSystem)
        return FMOD_ERR_INVALID_PARAM;
    *eventSystem = nullptr;
    if (Injected(soundtest::Call::Create))
        return FMOD_ERR_OUTPUT_INIT;
    *eventSystem = new SystemImpl();
    return FMOD_OK;
}
} // namespace FMOD

namespace soundtest
{
const std::vector<Record>& Records()
{
    return Testing().records;
}
const std::vector<std::string>& MissingEvents()
{
    return Testing().missing;
}
void ClearRecords()
{
    Testing().records.clear();
    Testing().missing.clear();
}
void FailCall(Call call)
{
    Testing().failures.insert(call);
}
void ClearFailures()
{
    Testing().failures.clear();
}
int LiveEventSystems()
{
    return Testing().liveSystems;
}
const std::string& LastError()
{
    return Testing().lastError;
}

FMOD_RESULT Mix(FMOD::EventSystem* system, std::int16_t* out, int frames)
{
    if (!system)
        return FMOD_ERR_INVALID_PARAM;
    return static_cast<SystemImpl*>(system)->Mix(out, frames);
}
} // namespace soundtest
} // namespace plat
