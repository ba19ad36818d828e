// Our stand-in for the FMOD Event library: an event system that loads a sound project (our
// own text format, see platform/sound_project.h), event groups whose WAV data it loads, events
// addressed by path ("QUORBSound/GUI/ButtonPress") that start and stop by handle, event
// parameters with ranges, 3D placement with distance attenuation and panning, one listener.
// Output: the SDL2 audio device; silence when no device can be opened; headless a recording
// backend tests read through plat::soundtest. The event system owns every group, event and
// parameter it hands out; those handles stay valid until release.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace plat
{
enum FMOD_RESULT
{
    FMOD_OK = 0,
    FMOD_ERR_INITIALIZED,   // init called twice
    FMOD_ERR_UNINITIALIZED, // used before init
    FMOD_ERR_INVALID_PARAM,
    FMOD_ERR_FILE_NOTFOUND,  // project or WAV file missing
    FMOD_ERR_FILE_BAD,       // project file malformed
    FMOD_ERR_FORMAT,         // WAV data we cannot read
    FMOD_ERR_EVENT_NOTFOUND, // no such group, event or parameter
    FMOD_ERR_EVENT_FAILED,   // every instance of the event is busy
    FMOD_ERR_OUTPUT_INIT,
};

using FMOD_INITFLAGS = std::uint32_t;
constexpr FMOD_INITFLAGS FMOD_INIT_NORMAL = 0;
using FMOD_EVENT_INITFLAGS = std::uint32_t;
constexpr FMOD_EVENT_INITFLAGS FMOD_EVENT_INIT_NORMAL = 0;
using FMOD_EVENT_MODE = std::uint32_t;
constexpr FMOD_EVENT_MODE FMOD_EVENT_DEFAULT = 0;

enum FMOD_EVENT_RESOURCE
{
    FMOD_EVENT_RESOURCE_STREAMS_AND_SAMPLES,
    FMOD_EVENT_RESOURCE_STREAMS,
    FMOD_EVENT_RESOURCE_SAMPLES,
};

using FMOD_EVENT_STATE = std::uint32_t;
constexpr FMOD_EVENT_STATE FMOD_EVENT_STATE_READY = 0x01;
constexpr FMOD_EVENT_STATE FMOD_EVENT_STATE_PLAYING = 0x08;

enum FMOD_OUTPUTTYPE
{
    FMOD_OUTPUTTYPE_SDL,       // the SDL2 audio device
    FMOD_OUTPUTTYPE_NOSOUND,   // no device could be opened: playback runs on, silently
    FMOD_OUTPUTTYPE_RECORDING, // headless: silent, and every start and stop is recorded
};

// In the engine's coordinates, unchanged: left-handed, y up.
struct FMOD_VECTOR
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

namespace FMOD
{
class System
{
public:
    virtual FMOD_RESULT getOutput(FMOD_OUTPUTTYPE* output) = 0;

protected:
    virtual ~System() = default;
};

class EventParameter
{
public:
    virtual FMOD_RESULT getRange(float* minimum, float* maximum) = 0;
    // Values outside the range are clamped.
    virtual FMOD_RESULT setValue(float value) = 0;
    virtual FMOD_RESULT getValue(float* value) = 0;
    // Units per second the value moves by at every update of the event system, within the range.
    virtual FMOD_RESULT setVelocity(float velocity) = 0;
    virtual FMOD_RESULT getVelocity(float* velocity) = 0;

protected:
    virtual ~EventParameter() = default;
};

class Event
{
public:
    virtual FMOD_RESULT getParameter(const char* name, EventParameter** parameter) = 0;
    // Position and velocity in world units; orientation is the event's forward vector.
    virtual FMOD_RESULT set3DAttributes(const FMOD_VECTOR* position, const FMOD_VECTOR* velocity,
                                        const FMOD_VECTOR* orientation) = 0;
    virtual FMOD_RESULT start() = 0;
    // Stopping a stopped or finished event is harmless.
    virtual FMOD_RESULT stop(bool immediate = false) = 0;
    virtual FMOD_RESULT getState(FMOD_EVENT_STATE* state) = 0;
    // The event's path, "Project/Group/Event".
    virtual FMOD_RESULT getPath(std::string* path) = 0;

protected:
    virtual ~Event() = default;
};

class EventGroup
{
public:
    // Reads the WAV files of every event in the group (and its sub-groups).
    virtual FMOD_RESULT loadEventData(FMOD_EVENT_RESOURCE resource = FMOD_EVENT_RESOURCE_STREAMS_AND_SAMPLES,
                                      FMOD_EVENT_MODE mode = FMOD_EVENT_DEFAULT) = 0;

protected:
    virtual ~EventGroup() = default;
};

class EventSystem
{
public:
    // Opens the output. Never fails for want of a sound device: it falls back to silence.
    virtual FMOD_RESULT init(int maxChannels, FMOD_INITFLAGS flags, void* extraDriverData,
                             FMOD_EVENT_INITFLAGS eventFlags = FMOD_EVENT_INIT_NORMAL) = 0;
    // Stops everything, closes the output and deletes the system with everything it handed out.
    virtual FMOD_RESULT release() = 0;
    virtual FMOD_RESULT update() = 0;
    virtual FMOD_RESULT getSystemObject(System** system) = 0;
    // A project file; its events are reached by path afterwards. projectOut is not supported (null).
    virtual FMOD_RESULT load(const char* fileName, void* loadInfo, void** projectOut) = 0;
    virtual FMOD_RESULT getGroup(const char* path, bool cacheEvents, EventGroup** group) = 0;
    // An instance of the event, stopped. An instance that has played and finished is reused.
    virtual FMOD_RESULT getEvent(const char* path, FMOD_EVENT_MODE mode, Event** event) = 0;
    virtual FMOD_RESULT set3DListenerAttributes(int listener, const FMOD_VECTOR* position,
                                                const FMOD_VECTOR* velocity, const FMOD_VECTOR* forward,
                                                const FMOD_VECTOR* up) = 0;

protected:
    virtual ~EventSystem() = default;
};

FMOD_RESULT EventSystem_Create(EventSystem** eventSystem);
} // namespace FMOD

// What tests read of the recording backend and the failures they inject.
namespace soundtest
{
struct Record
{
    std::string action; // "start" or "stop"
    std::string path;
    std::vector<std::pair<std::string, float>> parameters; // values at that moment, project order
    bool is3D = false;
    FMOD_VECTOR position;
};

// Every start and stop of every headless event system since the last clear.
const std::vector<Record>& Records();
// The paths of the events and groups a headless event system was asked for and has in none of
// its projects, each once, in the order first asked for, since the last clear.
const std::vector<std::string>& MissingEvents();
// Clears the records and the missing events.
void ClearRecords();

enum class Call
{
    Create,
    GetSystemObject,
    Init,
    Release,
};
void FailCall(Call call); // stays until cleared
void ClearFailures();
int LiveEventSystems();
// The last problem reported (also written to the log), e.g. a malformed project line.
const std::string& LastError();

// Runs the mixer of an initialised event system for a number of stereo frames, as the audio
// device would, and writes them (left, right interleaved, 44.1 kHz) to out.
FMOD_RESULT Mix(FMOD::EventSystem* system, std::int16_t* out, int frames);
} // namespace soundtest
} // namespace plat
