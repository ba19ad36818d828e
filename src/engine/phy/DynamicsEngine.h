// The one physics world of the program. The shell starts it once (Init registers what physics
// offers the rest of the engine); the game steps it every frame with a fixed 1/30 s and writes
// paused and gravity directly.
#pragma once

#include "common/math/Vector3.h"

namespace dorvo
{
namespace phy
{
class DynamicsEngine
{
public:
    // Made on first use, destroyed at program exit.
    static DynamicsEngine& Instance();

    // Start-up registration, called once by the shell.
    void Init();
    // One step of dt seconds (the game passes 1/30); nothing while paused.
    void Update(float dt);

    // Whether Init has run.
    bool IsInitialised() const { return m_initialised; }

    // Set by the game while the player builds a puzzle; the world stands still.
    bool paused = false;
    // World units per second squared; the game turns it with gravity switches.
    math::Vector3 gravity;

private:
    DynamicsEngine();
    ~DynamicsEngine() = default;
    DynamicsEngine(const DynamicsEngine&) = delete;
    DynamicsEngine& operator=(const DynamicsEngine&) = delete;

    bool m_initialised = false;
};
} // namespace phy
} // namespace dorvo
