#include "common/CountdownTimer.h"

#include <algorithm>
#include <cmath>

namespace common
{
CCountdownTimer::CCountdownTimer(float seconds, bool start) : ACTimer(start)
{
    SetDuration(seconds);
}

float CCountdownTimer::GetTime()
{
    Update();
    return TicksToSeconds(m_durationCount - m_elapsedCount);
}

void CCountdownTimer::ToString(std::string& out, bool hours)
{
    Update();
    FormatTime(m_durationCount - m_elapsedCount, out, hours);
}

void CCountdownTimer::SetDuration(float seconds)
{
    // Durations can come from data files (puzzle time limits). A NaN or a value beyond the
    // counter's range must not reach the integer conversion, where it is undefined; the bound
    // (about 2^61 ticks, decades at any counter rate) also keeps duration - elapsed from
    // overflowing.
    constexpr double kLimit = 2.3e18;
    const double ticks = static_cast<double>(GetTimerFrequency()) * seconds;
    m_durationCount = std::isnan(ticks) ? 0 : static_cast<std::int64_t>(std::clamp(ticks, -kLimit, kLimit));
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
