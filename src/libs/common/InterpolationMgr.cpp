#include "common/InterpolationMgr.h"

#include <cmath>
#include <utility>

namespace common
{
CInterpolationMgr& CInterpolationMgr::Instance()
{
    static CInterpolationMgr instance;
    return instance;
}

int CInterpolationMgr::AddFloat(const float& start, const float& end, float duration, int mode)
{
    const int id = ++m_lastId;
    m_floatRecords.emplace(id, SFloatRecord{start, end, CTimer(true), duration, mode});
    return id;
}

int CInterpolationMgr::AddVector3(const math::Vector3& start, const math::Vector3& end, float duration,
                                  int mode)
{
    const int id = ++m_lastId;
    m_vector3Records.emplace(id, SVector3Record{start, end, CTimer(true), duration, mode});
    return id;
}

int CInterpolationMgr::AddRotation(const math::Vector3& point, const math::Vector3& centre, float angle,
                                   float duration, int mode)
{
    const int id = ++m_lastId;
    m_rotationRecords.emplace(id, SRotationRecord{point, centre, CTimer(true), duration, angle, mode});
    return id;
}

float CInterpolationMgr::Progress(CTimer& timer, float duration, bool& done)
{
    // A duration that is zero, negative or not a number is over at once rather than never
    // (a negative one would otherwise run backwards for ever and never finish).
    if (!(duration >= math::kEpsilon))
    {
        done = true;
        return 1.0f;
    }
    const float t = timer.GetTime() / duration;
    done = t >= 1.0f;
    return done ? 1.0f : t;
}

template <class TRecord> bool CInterpolationMgr::Finish(TRecord& record, bool& done)
{
    if (!done)
        return false;
    switch (record.mode)
    {
    case INTERP_REMOVE:
        return true;
    case INTERP_PINGPONG:
        std::swap(record.start, record.end);
        [[fallthrough]];
    case INTERP_LOOP:
        record.timer.Restart();
        done = false;
        return false;
    default:
        return false;
    }
}

bool CInterpolationMgr::GetFloat(int id, bool& done, float& value)
{
    auto found = m_floatRecords.find(id);
    if (found == m_floatRecords.end())
        return false;
    SFloatRecord& record = found->second;
    const float t = Progress(record.timer, record.duration, done);
    value = (1.0f - t) * record.start + t * record.end;
    if (Finish(record, done))
        m_floatRecords.erase(found);
    return true;
}

bool CInterpolationMgr::GetVector3(int id, bool& done, math::Vector3& value)
{
    auto vector = m_vector3Records.find(id);
    if (vector != m_vector3Records.end())
    {
        SVector3Record& record = vector->second;
        const float t = Progress(record.timer, record.duration, done);
        value = (1.0f - t) * record.start + t * record.end;
        if (Finish(record, done))
            m_vector3Records.erase(vector);
        return true;
    }

    auto rotation = m_rotationRecords.find(id);
    if (rotation == m_rotationRecords.end())
        return false;
    SRotationRecord& record = rotation->second;
    const float t = Progress(record.timer, record.duration, done);
    const float a = t * record.angle;
    const float c = std::cos(a);
    const float s = std::sin(a);
    const math::Vector3 offset = record.start - record.end;
    value.Set(offset.x * c - offset.y * s, offset.x * s + offset.y * c, 0.0f);
    if (Finish(record, done))
        m_rotationRecords.erase(rotation);
    return true;
}
} // namespace common
