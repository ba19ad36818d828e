// What every timer offers: a stopwatch (CTimer) or a countdown (CCountdownTimer) on the
// performance counter, started, stopped and resumed, read in seconds or as text.
#pragma once

#include <string>

namespace common
{
class ITimer
{
public:
    virtual ~ITimer() = default;
    // Begins a new measurement from zero; no effect while running.
    virtual void Start() = 0;
    // Freezes the measurement; no effect while stopped.
    virtual void Stop() = 0;
    // Continues a stopped measurement from where it stood; no effect while running.
    virtual void Resume() = 0;
    // Seconds: elapsed for a stopwatch, remaining for a countdown.
    virtual float GetTime() = 0;
    // "m : s : hundredths", or "h : m : s" with hours set (see FormatTime).
    virtual void ToString(std::string& out, bool hours) = 0;
    virtual bool IsRunning() const = 0;
};
} // namespace common
