#include "statemachine/MsgClock.h"

#include "platform/win32.h"

namespace
{
// Two updates within one millisecond still report a positive step, so users may divide by it.
constexpr float kMinimumDelta = 0.001f;
} // namespace

MsgClock::MsgClock() : m_now(0.0f), m_delta(kMinimumDelta), m_startTick(plat::GetTickCount()) {}

void MsgClock::Update()
{
    const std::uint32_t elapsed = static_cast<std::uint32_t>(plat::GetTickCount()) - m_startTick;
    const float t = static_cast<float>(elapsed) / 1000.0f;
    m_delta = t - m_now;
    m_now = t;
    if (m_delta <= 0.0f)
    {
        m_delta = kMinimumDelta;
    }
}
