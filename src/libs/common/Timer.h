// Stopwatch on the performance counter: frame timing, interpolation records, time limits.
#pragma once

#include "common/ACTimer.h"

namespace common
{
class CTimer : public ACTimer
{
public:
    explicit CTimer(bool start = false) : ACTimer(start) {}

    // Elapsed seconds.
    float GetTime() override;
    void ToString(std::string& out, bool hours) override;
};
} // namespace common
