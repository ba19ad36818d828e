// The console window: the message-driven machine that shows the command console on its own 2D
// object. It builds two window sprites in the object's Gfx2DComp: "TextWindow", a panel that
// slides down from the top carrying 24 history lines, and "InputWindow", a strip that slides up
// from the bottom carrying the input line. The grave accent opens and closes both, Tab the strip
// alone, and every press counts: pressed while a window slides, the key turns it back from where
// it is. From the moment a window starts to slide in until it starts to slide out the keyboard
// goes to the console, the input line shows its caret and the newest output fills the history
// from the bottom. The machine owns the two windows
// (and through them the text lines) and takes them out of the component when it goes.
#pragma once

#include "statemachine/StateMachine.h"

#include <cstddef>
#include <memory>
#include <string>

class StateMachineComponent;

namespace common
{
class ConsoleInterface;
}

namespace dorvo
{
namespace input
{
struct InputEvent;
}

namespace gfx
{
class CSprite;
class Gfx2DComp;

class SMConsoleGraphics : public StateMachine
{
public:
    enum EState
    {
        CS_Start = 0,
        CS_Closed = 1,
        CS_OpeningInput = 2, // the strip alone
        CS_OpeningBoth = 3,
        CS_InputOpen = 4,
        CS_BothOpen = 5,
        CS_ClosingInput = 6,
        CS_ClosingBoth = 7,
    };

    static constexpr int kHistoryLines = 24;
    static constexpr float kSlideSeconds = 0.5f;
    static constexpr int kClosedPanelY = -600;  // pixels: above the screen
    static constexpr int kInputStartBelow = 5;  // pixels below the screen before the first opening
    static constexpr int kInputClosedBelow = 3; // pixels below the screen after a close
    // Characters the input strip shows; the window tells its console, where Backspace works
    // only on a line that fits.
    static constexpr std::size_t kInputLineWidth = 56;

    // component: the state-machine component of a "2DArchetype" object, already initialised;
    // the windows go into that object's Gfx2DComp (none: they are made but never shown).
    // historyTexture, inputTexture: the panels' images, relative to the texture folder. The
    // console is the program's one unless a test hands its own.
    SMConsoleGraphics(StateMachineComponent* component, const std::string& historyTexture,
                      const std::string& inputTexture, common::ConsoleInterface* console = nullptr);
    ~SMConsoleGraphics() override;

    Gfx2DComp* GetComponent() const;
    // True from the moment a window starts sliding in until both are out again: the console is
    // on the screen.
    bool IsShown() const { return GetState() != CS_Start && GetState() != CS_Closed; }
    // True while any of the sprite's interpolations runs.
    static bool IsInterpolating(const CSprite& sprite);

protected:
    bool HandleStateEvent(std::uint32_t event, const Message* message, int state, int substate) override;

private:
    bool HandleGlobal(std::uint32_t event, const Message* message);
    // The window of that name slides from where it is to (0, y) over half a second.
    void Slide(const char* window, int y);
    bool Sliding(const char* window) const;
    // The "Input" line: the console's input with "|" at its caret.
    void ShowInputLine();
    // The newest output line at the bottom (history line 0), older ones above it.
    void ShowOutput();
    // Keys while a window is open: the keyboard goes to the console; other input (mouse
    // buttons) is left to the rest of the game.
    bool PassToConsole(const input::InputEvent& event);

    StateMachineComponent* m_pComponent;
    common::ConsoleInterface* m_pConsole;
    std::unique_ptr<CSprite> m_pTextWindow;
    std::unique_ptr<CSprite> m_pInputWindow;
};
} // namespace gfx
} // namespace dorvo
