#include "game/objectives/PuzzleCountdown.h"

#include "engine/RunApplication.h"

#include <cmath>

namespace QUORB
{
void PuzzleCountdown::Restart(float seconds)
{
    SetDuration(seconds);
    m_frames = 0;
    m_running = true;
}

void PuzzleCountdown::SetDuration(float seconds)
{
    m_duration = std::isnan(seconds) ? 0.0f : seconds;
}

void PuzzleCountdown::AdvanceFrame()
{
    if (m_running)
        ++m_frames;
}

float PuzzleCountdown::GetTime() const
{
    // Whole frames times the step, so no rounding piles up over a long limit.
    return static_cast<float>(static_cast<double>(m_duration) -
                              static_cast<double>(m_frames) * static_cast<double>(dorvo::kFrameSeconds));
}
} // namespace QUORB
