// The message clock: seconds since its creation on the system tick count, moved on once a
// frame by the game's update. The router's delivery times and the state machines' entry times
// read it, so everything message-driven sees one time per frame. Reached through
// common::Singleton<MsgClock>::Instance().
#pragma once

#include <cstdint>

class MsgClock
{
public:
    MsgClock();

    // Reads the tick count; the difference wraps correctly past 49.7 days of tick count.
    void Update();

    float GetNow() const { return m_now; }     // seconds since creation, as of the last Update
    float GetDelta() const { return m_delta; } // seconds between the last two updates, at least 0.001

private:
    float m_now;
    float m_delta;
    std::uint32_t m_startTick; // milliseconds
};
