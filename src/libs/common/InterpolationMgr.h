// Animates values over wall-clock time for the menus, the GUI sprites and the cameras. A caller
// registers start, end, duration and mode, keeps the id and asks for the current value once a
// frame; every record runs its own stopwatch, so callers pass no frame times. The manager owns
// its records; ids come from one counter shared by all kinds, so an id names one record.
#pragma once

#include "common/Timer.h"
#include "common/math/Vector3.h"

#include <cstdint>
#include <map>

namespace common
{
// What a record does once its duration has passed. Any other value behaves as INTERP_HOLD.
enum InterpolationMode : std::int32_t
{
    INTERP_HOLD = 0,     // keep returning the end value
    INTERP_REMOVE = 1,   // report the end value once, then forget the record
    INTERP_LOOP = 2,     // start again from the start value
    INTERP_PINGPONG = 3, // start again with start and end exchanged
};

class CInterpolationMgr
{
public:
    // The manager the game uses, created on first use and destroyed at exit. Separate managers
    // can be built as well; each counts its own ids.
    static CInterpolationMgr& Instance();

    CInterpolationMgr() = default;
    CInterpolationMgr(const CInterpolationMgr&) = delete;
    CInterpolationMgr& operator=(const CInterpolationMgr&) = delete;

    // Each Add returns the new id (the first is 1) and starts the record's stopwatch. Durations
    // are seconds; a duration of 0 (or below) gives the end value at once.
    int AddFloat(const float& start, const float& end, float duration, int mode);
    int AddVector3(const math::Vector3& start, const math::Vector3& end, float duration, int mode);
    // Turns the point's offset from the centre by angle radians about z, in the xy plane. The
    // value is the turned offset, z always 0: the caller adds the centre.
    int AddRotation(const math::Vector3& point, const math::Vector3& centre, float angle, float duration,
                    int mode);

    // False, and value and done untouched, when no float record has the id. done is true once
    // the duration has passed (never for looping records, which start over instead).
    bool GetFloat(int id, bool& done, float& value);
    // Looks in the vector records, then in the rotating ones; false when neither has the id.
    bool GetVector3(int id, bool& done, math::Vector3& value);

private:
    struct SFloatRecord
    {
        float start;
        float end;
        CTimer timer;
        float duration; // seconds
        std::int32_t mode;
    };
    struct SVector3Record
    {
        math::Vector3 start;
        math::Vector3 end;
        CTimer timer;
        float duration;
        std::int32_t mode;
    };
    struct SRotationRecord
    {
        math::Vector3 start; // the point
        math::Vector3 end;   // the centre
        CTimer timer;
        float duration;
        float angle; // radians, the whole turn
        std::int32_t mode;
    };

    // Progress 0..1 of a record; done when its duration has passed.
    static float Progress(CTimer& timer, float duration, bool& done);
    // The mode's work once a record is done. Returns true when the record is to be removed;
    // clears done for the modes that start over, and exchanges start and end for ping-pong.
    template <class TRecord> static bool Finish(TRecord& record, bool& done);

    std::map<int, SVector3Record> m_vector3Records;
    std::map<int, SFloatRecord> m_floatRecords;
    std::map<int, SRotationRecord> m_rotationRecords;
    int m_lastId = 0;
};
} // namespace common
