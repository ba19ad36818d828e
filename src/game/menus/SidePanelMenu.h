// The panels of the front end (the main menu, the options, the profiles, the credits, the room
// selection): each lies on a half-transparent menu panel that slides in from the left, from x -600
// to its place at y 44, in 0.2 s and back out in 0.5 s, the panel leading the slide and every
// other unit on it.
#pragma once

#include "game/menus/LinearMoveMenu.h"

namespace QUORB
{
class SidePanelMenu : public LinearMoveMenu
{
public:
    static const char* const kPanelName; // "Background"
    static constexpr float kOpenSeconds = 0.2f;
    static constexpr float kCloseSeconds = 0.5f;

protected:
    explicit SidePanelMenu(StateMachineComponent* owner);

    // Sets the slide's times and places (openX: the panel's left edge when open, pixels) and
    // files the panel below "Base" as the slide's reference sprite: the menu panel image
    // (512 x 512 pixels) widthScale times as wide, at alpha 0.5. Null when it could not be filed.
    dorvo::gfx::CSprite* AddSidePanel(float openX, float widthScale);
};
} // namespace QUORB
