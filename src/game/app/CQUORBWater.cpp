// The game's water-level machinery: the level is measured along the water plane's unit normal,
// so the water object moves along it. Every operation copes with a room without water.
#include "game/app/CQUORB.h"

#include "common/InterpolationMgr.h"
#include "common/math/Plane.h"
#include "engine/POVComp.h"
#include "game/room/WaterSurface.h"

namespace QUORB
{
float CQUORB::GetWaterLevel() const
{
    POVComp* pov = nullptr;
    math::Plane plane;
    if (!FindWaterSurface(pov, plane))
        return 0.0f;
    return -plane.GetDistance();
}

void CQUORB::SetWaterLevel(float level)
{
    POVComp* pov = nullptr;
    math::Plane plane;
    if (!FindWaterSurface(pov, plane) || pov == nullptr)
        return;
    pov->SetPosition(plane.normal.GetNormalized() * level, true);
}

void CQUORB::LerpWaterLevel(float target, float seconds)
{
    const float current = GetWaterLevel();
    m_waterLerpRunning = true;
    m_waterInterpolation = common::CInterpolationMgr::Instance().AddFloat(current, target, seconds, 1);
    m_waterLevels.push(current);
}

void CQUORB::UpdateWaterLevelLerp()
{
    bool done = false;
    float value = 0.0f;
    if (!common::CInterpolationMgr::Instance().GetFloat(m_waterInterpolation, done, value))
        return;
    SetWaterLevel(value);
    if (done)
        m_waterLerpRunning = false;
}

float CQUORB::RestoreWaterLevel()
{
    if (m_waterLevels.empty())
        return 0.0f;
    const float level = m_waterLevels.top();
    m_waterLevels.pop();
    SetWaterLevel(level);
    m_waterLerpRunning = false;
    return level;
}

void CQUORB::StartWaterRestoreCountdown()
{
    m_waterRestoreCountdown.Restart(kWaterRestoreDelay);
}
} // namespace QUORB
