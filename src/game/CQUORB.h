// The game: QUORB as the engine drives it. Its frame runs the engine's parts in a fixed order
// (input, events, game states, physics, scheduler, the GUI units, sound, graphics) and hands its
// 2D units to graphics to draw; its start-up builds the argument pool and the top-level states,
// runs the start-up script that builds the console window, and holds physics until the player
// presses "play". The game owns its GUI manager (the cursor and heads-up units).
#pragma once

#include "common/StateMachine.h"
#include "engine/CDorvoGame.h"

#include <cstdint>
#include <memory>
#include <string>

namespace dorvo
{
namespace input
{
struct InputEvent;
}
namespace gfx
{
class CGuiManager;
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

    // Offers one input event to the game's takers in turn (message takers, the 2D components
    // in ascending component depth, the GUI units); true once one took it. elapsed: seconds of
    // this frame.
    bool OnInput(const dorvo::input::InputEvent& event, float elapsed = 0.0f);

    // The menu factory behind the script function "CreateConsole": the console window on a new
    // "2DArchetype" object, given the history panel's and the input strip's texture files.
    // False, with a line on standard error, when the object cannot be made.
    bool CreateMenu(const std::string& historyTexture, const std::string& inputTexture);
    // The console window's object id; 0 before CreateMenu.
    std::uint32_t GetConsoleId() const { return m_consoleId; }

    common::CStateMachine& GetStates() { return m_states; }
    dorvo::gfx::CGuiManager& GetGuiManager() { return *m_pGuiManager; }

private:
    common::CStateMachine m_states; // "Init State Exit Code", "Load ..." and "Running ..."
    std::unique_ptr<dorvo::gfx::CGuiManager> m_pGuiManager;
    std::uint32_t m_consoleId = 0;
};
} // namespace QUORB
