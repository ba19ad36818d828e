#include "game/menus/MenuHud.h"

#include "engine/gfx/gui/CButton.h"
#include "engine/gfx/sprites/CSprite.h"
#include "game/menus/MenuHitTests.h"

namespace QUORB
{
const std::string g_CaretAnimation = "|";
const std::string g_BackgroundAnimation = "BG_Ani";
const std::string g_MenuHudAnimation = "base";

MenuHud g_menuHud;

MenuHudDescriptor::MenuHudDescriptor(const std::string& texture, int frameWidth, int frameHeight, int anchorX,
                                     int anchorY, int hitWidth, int hitHeight)
    : textureFile(texture), anchor{anchorX, anchorY}, hit{hitWidth, hitHeight}
{
    unpressed.centerX = 0;
    unpressed.centerY = 0;
    unpressed.frameWidth = frameWidth;
    unpressed.frameHeight = frameHeight;
    unpressed.currentFrame = 0;
    unpressed.frameCount = 1;
    unpressed.sourceX = 0;
    unpressed.sourceY = 0;
    unpressed.frameTime = 200;
    unpressed.accumulatedTime = 0;
    unpressed.paused = true;
    unpressed.loop = false;
}

MenuHud::MenuHud()
    : m_barMenuButtons("hud/BarMenuButtons.png", 256, 75, 32, 32, 200, 55),
      m_menuBackground("hud/MenuBackground.png", 512, 512, 256, 256, 502, 502),
      m_slider("hud/Slider.png", 128, 512, 0, 0, 118, 502),
      m_whiteBlock("hud/WhiteBlock.png", 32, 32, 16, 16, 32, 32),
      m_toolTipBack("hud/ToolTipBack.png", 64, 64, 32, 32, 27, 27),
      m_coloredRadial("hud/ColoredRadial.png", 128, 128, 64, 64, 120, 120),
      m_message("hud/Message.png", 512, 64, 256, 32, 510, 60)
{
}

std::unique_ptr<dorvo::gfx::CButton> MenuHud::CreateBarButton(const std::string& name) const
{
    const int position[2] = {0, 0};
    auto button = std::make_unique<dorvo::gfx::CButton>(
        m_barMenuButtons.textureFile, m_barMenuButtons.unpressed, position, m_barMenuButtons.anchor);
    button->SetName(name);
    button->SetPointInsideFunct(new RectPointInsideFunct(button.get(), 200, 55));
    return button;
}

std::unique_ptr<dorvo::gfx::CSprite> MenuHud::CreateBackground(const std::string& name) const
{
    auto sprite = std::make_unique<dorvo::gfx::CSprite>(m_menuBackground.textureFile);
    sprite->SetName(name);
    sprite->AddAnimation(g_MenuHudAnimation, m_menuBackground.unpressed, true);
    return sprite;
}

std::unique_ptr<dorvo::gfx::CButton> MenuHud::CreateWhiteBlockButton(const std::string& name) const
{
    const int position[2] = {0, 0};
    const int anchor[2] = {0, 0};
    auto button = std::make_unique<dorvo::gfx::CButton>(m_whiteBlock.textureFile, m_whiteBlock.unpressed,
                                                        position, anchor);
    button->SetName(name);
    return button;
}

std::unique_ptr<dorvo::gfx::CSprite> MenuHud::CreateMessageSprite(const std::string& name) const
{
    auto sprite = std::make_unique<dorvo::gfx::CSprite>(m_message.textureFile);
    sprite->SetName(name);
    sprite->AddAnimation(g_MenuHudAnimation, m_message.unpressed, true);
    return sprite;
}
} // namespace QUORB
