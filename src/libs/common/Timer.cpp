#include "common/Timer.h"

namespace common
{
float CTimer::GetTime()
{
    Update();
    return TicksToSeconds(m_elapsedCount);
}

void CTimer::ToString(std::string& out, bool hours)
{
    Update();
    FormatTime(m_elapsedCount, out, hours);
}
} // namespace common
