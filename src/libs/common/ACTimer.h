// The shared state of the timers: raw 64-bit performance-counter values, converted to
// seconds only when asked. The counter frequency is read once, on first use, so a timer that
// is itself a static in another file never sees a frequency of 0.
#pragma once

#include "common/ITimer.h"

#include <cstdint>
#include <string>

namespace common
{
// Ticks per second of the performance counter, read on the first call and kept.
std::int64_t GetTimerFrequency();
// The current performance-counter value.
std::int64_t ReadTimerCounter();
// A tick count in seconds, divided in double precision and rounded to float.
float TicksToSeconds(std::int64_t count);

// Formats a tick count: with hours "h : m : s", without "m : s : hundredths" (minutes only
// within the hour). Plain decimal integers, no zero fill: 3725.5 s gives "1 : 2 : 5" or
// "2 : 5 : 50".
void FormatTime(std::int64_t count, std::string& out, bool hours);

class ACTimer : public ITimer
{
public:
    // All counts zero; with start set the timer runs from now.
    explicit ACTimer(bool start);

    void Start() override;
    void Stop() override;
    void Resume() override;
    bool IsRunning() const override { return m_running; }
    // Starts from zero whatever the state.
    void Restart();
    // Brings the elapsed count up to date and returns it (ticks).
    virtual std::int64_t Update();

protected:
    std::int64_t m_startCount = 0;       // counter value at the last start or resume
    std::int64_t m_elapsedCount = 0;     // result of the last Update
    std::int64_t m_accumulatedCount = 0; // ticks gathered before the last stop
    bool m_running = false;
};
} // namespace common
