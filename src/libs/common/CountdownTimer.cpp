#include "common/CountdownTimer.h"

namespace common
{
CCountdownTimer::CCountdownTimer(float seconds, bool start) : ACTimer(start)
{
    SetDuration(seconds);
}

float CCountdownTimer::GetTime()
{
    Update();
    return static_cast<float>(static_cast<double>(m_durationCount - m_elapsedCount) /
                              static_cast<double>(GetTimerFrequency()));
}

void CCountdownTimer::ToString(std::string& out, bool hours)
{
    Update();
    FormatTime(m_durationCount - m_elapsedCount, out, hours);
}

void CCountdownTimer::SetDuration(float seconds)
{
    m_durationCount = static_cast<std::int64_t>(static_cast<double>(GetTimerFrequency()) * seconds);
}

void CCountdownTimer::Restart(float seconds)
{
    ACTimer::Restart();
    SetDuration(seconds);
}

bool CCountdownTimer::IsExpired()
{
    const float remaining = GetTime();
    return 0.0f >= remaining;
}
} // namespace common
