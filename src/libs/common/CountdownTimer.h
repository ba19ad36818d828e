// Countdown on the performance counter: the main loop paces frames with one of 1/30 s
// (Restart at the top of the pass, wait on GetTime after it, mostly asleep); key repeat and time
// limits use it too. The remaining time goes negative once it has run out.
#pragma once

#include "common/ACTimer.h"

namespace common
{
class CCountdownTimer : public ACTimer
{
public:
    explicit CCountdownTimer(float seconds = 0.0f, bool start = false);

    // Remaining seconds, negative once expired.
    float GetTime() override;
    void ToString(std::string& out, bool hours) override;

    // Changes the duration without touching the running state or the counts. A NaN counts as
    // 0 s; an infinity or a duration beyond the counter's range is held at about 2^61 ticks.
    void SetDuration(float seconds);
    // Starts from zero, keeping the duration.
    using ACTimer::Restart;
    // Starts from zero with a new duration.
    void Restart(float seconds);
    // True once no time remains (0 >= remaining).
    bool IsExpired();

private:
    std::int64_t m_durationCount = 0; // ticks
};
} // namespace common
