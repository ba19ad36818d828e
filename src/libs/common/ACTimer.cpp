#include "common/ACTimer.h"

#include "platform/win32.h"

#include <sstream>

namespace common
{
std::int64_t GetTimerFrequency()
{
    static const std::int64_t frequency = []
    {
        plat::LARGE_INTEGER value;
        plat::QueryPerformanceFrequency(&value);
        return value.QuadPart;
    }();
    return frequency;
}

std::int64_t ReadTimerCounter()
{
    plat::LARGE_INTEGER value;
    plat::QueryPerformanceCounter(&value);
    return value.QuadPart;
}

float TicksToSeconds(std::int64_t count)
{
    return static_cast<float>(static_cast<double>(count) / static_cast<double>(GetTimerFrequency()));
}

void FormatTime(std::int64_t count, std::string& out, bool hours)
{
    out.clear();
    const float s = TicksToSeconds(count);
    const int h = static_cast<int>(s / 3600.0f);
    const double r = static_cast<double>(s) - static_cast<double>(static_cast<float>(h) * 3600.0f);
    const int m = static_cast<int>(r / 60.0);
    const double f = r - m * 60.0;
    const int sec = static_cast<int>(f);
    const int hundredths = static_cast<int>((f - sec) * 100.0);

    std::ostringstream text;
    if (hours)
    {
        text << h << " : " << m << " : " << sec;
    }
    else
    {
        text << m << " : " << sec << " : " << hundredths;
    }
    out = text.str();
}

ACTimer::ACTimer(bool start) : m_running(start)
{
    if (start)
    {
        m_startCount = ReadTimerCounter();
    }
}

void ACTimer::Start()
{
    if (m_running)
    {
        return;
    }
    m_running = true;
    m_startCount = ReadTimerCounter();
    m_accumulatedCount = 0;
}

void ACTimer::Stop()
{
    if (!m_running)
    {
        return;
    }
    m_running = false;
    m_accumulatedCount += ReadTimerCounter() - m_startCount;
}

void ACTimer::Resume()
{
    if (m_running)
    {
        return;
    }
    m_running = true;
    m_startCount = ReadTimerCounter();
}

void ACTimer::Restart()
{
    m_running = true;
    m_startCount = ReadTimerCounter();
    m_accumulatedCount = 0;
}

std::int64_t ACTimer::Update()
{
    m_elapsedCount =
        m_running ? m_accumulatedCount + (ReadTimerCounter() - m_startCount) : m_accumulatedCount;
    return m_elapsedCount;
}
} // namespace common
