// The tip box: once the mouse cursor has rested half a second on a visible sprite of any menu
// that carries a tip text (in practice a button), the text is shown in a small box beside the
// cursor, kept 10 pixels from every screen edge; the slightest move of the cursor closes it
// again, and so does the console coming on the screen (no tip shows while it is there). It
// serves every 2D component of the game at once and opens and closes itself.
#pragma once

#include "common/Timer.h"
#include "game/menus/StaticMenu.h"

#include <cstdint>
#include <string>
#include <vector>

namespace QUORB
{
class ToolTipMenu : public StaticMenu
{
public:
    static constexpr int kBoxOffsetX = 32; // pixels from the cursor to the box's corner
    static constexpr int kBoxOffsetY = -30;
    static constexpr int kTextX = 20; // pixels of the text in the box
    static constexpr int kTextY = 10;
    static constexpr int kTextBoxWidth = 175;
    static constexpr int kMargin = 20;     // pixels the box is wider and taller than its text
    static constexpr int kEdgeMargin = 10; // pixels kept from every screen edge
    // The box and its text lie above every menu: level with the escape panel, the highest of
    // them, and drawn after it, since the tip's menu object is made later (equal depths draw in
    // the order of their objects); below the cursor (12).
    static constexpr int kDepth = 11;

    explicit ToolTipMenu(StateMachineComponent* owner);

    // The tip text of the first visible sprite with a tip whose screen rectangle holds the
    // cursor (left <= x < right, top <= y < bottom), walking the 2D components in ascending
    // game-object id and each one's units top-level first, depth first; remembers that sprite.
    // Empty, with nothing remembered, when there is none or no cursor.
    std::string FindToolTip();

    // The sprite whose tip is shown or was last found (not owned), or null.
    const dorvo::gfx::CSprite* GetTipSprite() const { return m_tipSprite; }
    float GetDelay() const { return m_delay; } // seconds

protected:
    // The box fitted around the text and kept on the screen.
    void OnOpened() override;
    // Closes the tip when the cursor moved, hid or left the sprite, the sprite lost its tip or the
    // console came on the screen.
    void UpdateOpen() override;
    // Opens the tip when the cursor has rested long enough over a sprite with a tip and the
    // console is not on the screen.
    void UpdateClosed() override;

private:
    // The remembered sprite, when it is still a unit of the component it was found in.
    dorvo::gfx::CSprite* LiveTipSprite();

    common::CTimer m_restTimer;
    int m_lastCursorPos[2] = {0, 0}; // screen pixels at the previous update
    float m_delay = 0.5f;            // seconds of rest before a tip opens
    dorvo::gfx::CSprite* m_tipSprite = nullptr;
    std::uint32_t m_tipComponentId = 0;            // the game object whose 2D component holds it
    std::vector<dorvo::gfx::IScreenUnit*> m_units; // the walk's scratch list, kept to spare allocations
};
} // namespace QUORB
