// The standard looks of menu units and the builders that make units from them. A descriptor
// holds only a texture file name and records, so the one global set (g_menuHud) is built before
// any device exists; textures load when a builder makes a unit. Each builder returns a new unit
// for the caller to file under its menu's "Base" (BaseMenu::AddUnit), which then owns it.
#pragma once

#include "engine/gfx/sprites/SpriteAnimation.h"

#include <memory>
#include <string>

namespace dorvo
{
namespace gfx
{
class CButton;
class CSprite;
} // namespace gfx
} // namespace dorvo

namespace QUORB
{
// The two animation names of the 2D GUI that the GUI itself does not file: an edit box's caret
// and a background record no unit uses.
extern const std::string g_CaretAnimation;      // "|"
extern const std::string g_BackgroundAnimation; // "BG_Ani"
// The name the background and message builders file their record under.
extern const std::string g_MenuHudAnimation; // "base"

struct MenuHudDescriptor
{
    MenuHudDescriptor(const std::string& texture, int frameWidth, int frameHeight, int anchorX, int anchorY,
                      int hitWidth, int hitHeight);

    std::string textureFile;               // relative to the texture folder
    int anchor[2];                         // pixels added to a button's screen position for its hit test
    int hit[2];                            // width and height of a bar button's hit rectangle, pixels
    dorvo::gfx::SpriteAnimation unpressed; // one still frame from (0, 0) of the texture
};

class MenuHud
{
public:
    MenuHud();

    // A button on the bar-button look at (0, 0), hit by the 200 x 55 rectangle from its top left
    // whatever its scale; no callbacks.
    std::unique_ptr<dorvo::gfx::CButton> CreateBarButton(const std::string& name) const;
    // The menu panel as a sprite, its record filed under "base".
    std::unique_ptr<dorvo::gfx::CSprite> CreateBackground(const std::string& name) const;
    // A white block button at (0, 0), anchor (0, 0), without callbacks or hit test.
    std::unique_ptr<dorvo::gfx::CButton> CreateWhiteBlockButton(const std::string& name) const;
    // The message strip as a sprite, its record filed under "base".
    std::unique_ptr<dorvo::gfx::CSprite> CreateMessageSprite(const std::string& name) const;

    MenuHudDescriptor m_barMenuButtons;
    MenuHudDescriptor m_menuBackground;
    MenuHudDescriptor m_slider;
    MenuHudDescriptor m_whiteBlock;
    MenuHudDescriptor m_toolTipBack;
    MenuHudDescriptor m_coloredRadial;
    MenuHudDescriptor m_message;
};

extern MenuHud g_menuHud;
} // namespace QUORB
