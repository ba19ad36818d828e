// A countdown in the puzzle's own time: it moves on only when a frame of play has passed, by the
// fixed step physics takes each frame (1/30 s). A time limit counted so runs at the speed the
// puzzle plays, whatever the frame rate: on a slow machine the ball and the clock slow together.
#pragma once

#include <cstdint>

namespace QUORB
{
class PuzzleCountdown
{
public:
    // Starts from zero with a new duration, running. Seconds; a NaN counts as 0.
    void Restart(float seconds);
    // Holds the count where it is.
    void Stop() { m_running = false; }
    bool IsRunning() const { return m_running; }
    // Changes the duration, keeping the frames counted and the running state.
    void SetDuration(float seconds);
    // One frame of play has passed: counted while running.
    void AdvanceFrame();
    // Seconds left, negative once run out.
    float GetTime() const;
    // True once no time remains (0 >= remaining).
    bool IsExpired() const { return GetTime() <= 0.0f; }
    std::int64_t GetFrames() const { return m_frames; }

private:
    float m_duration = 0.0f; // seconds
    std::int64_t m_frames = 0;
    bool m_running = false;
};
} // namespace QUORB
