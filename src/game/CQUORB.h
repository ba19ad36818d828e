// The game: QUORB as the engine drives it. Its frame runs the engine's parts in a fixed order
// (input, events, game states, physics, scheduler, sound); its start-up builds the argument
// pool and the top-level states and holds physics until the player presses "play".
#pragma once

#include "common/StateMachine.h"
#include "engine/CDorvoGame.h"

namespace dorvo
{
namespace input
{
struct InputEvent;
}
} // namespace dorvo

namespace QUORB
{
class CQUORB : public dorvo::CDorvoGame
{
public:
    CQUORB();
    ~CQUORB() override;

    std::wstring GetWindowTitle() override;
    void OnResetDevice() override;
    void OnLostDevice() override;
    void Update(double time, float elapsed) override;
    void Render(double time, float elapsed) override;
    void Init() override;
    plat::LRESULT MsgProc(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam) override;

    // Offers one input event to the game's takers in turn; true once one took it.
    bool OnInput(const dorvo::input::InputEvent& event);

    common::CStateMachine& GetStates() { return m_states; }

private:
    common::CStateMachine m_states; // "Init State Exit Code", "Load ..." and "Running ..."
};
} // namespace QUORB
