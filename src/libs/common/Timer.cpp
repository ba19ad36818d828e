#include "common/Timer.h"

namespace common
{
float CTimer::GetTime()
{
    Update();
    return static_cast<float>(static_cast<double>(m_elapsedCount) / static_cast<double>(GetTimerFrequency()));
}

void CTimer::ToString(std::string& out, bool hours)
{
    Update();
    FormatTime(m_elapsedCount, out, hours);
}
} // namespace common
