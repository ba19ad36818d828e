#include "game/menus/MouseWidgetSelMenu.h"

#include "engine/gfx/sprites/CSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/menus/EditorBarUnits.h"
#include "game/menus/EditorMenuCalls.h"
#include "game/menus/MenuHitTests.h"

#include <memory>
#include <string>

namespace QUORB
{
const MouseWidgetSelMenu::Icon MouseWidgetSelMenu::kIcons[kIconCount] = {
    {"Platform", "hud/PlatIcon.png", "PlatformIcon"},
    {"Bar", "hud/BarIcon.png", "BarIcon"},
    {"Accelerator", "hud/AccIcon.png", "AccIcon"},
    {"GravitySwitch", "hud/GravIcon.png", "GSwitchIcon"},
    {"Magnet", "hud/MagnetIcon.png", "MagnetIcon"},
    {"QUORBBall", "hud/QUORBBallIcon.png", "QUORBBallIcon"},
    {"QUORBBox", "hud/QUORBBoxIcon.png", "QUORBBoxIcon"},
    {"HardNode", "hud/HardNodeIcon.png", "HardeNodeIcon"},
    {"LocationObjective", "hud/GetToLocationIcon.png", "GetToLocationIcon"},
    {"TargetObjective", "hud/TargetIcon.png", "TargetIcon"},
    {"WaterObjective", "hud/WaterControlIcon.png", "WaterControlIcon"},
    {"TimerObjective", "hud/TimeLimitIcon.png", "TimeLimitIcon"},
    {"SquashObjective", "hud/SquashQuorbiIcon.png", "SquashQuorbiIcon"},
};

namespace
{
const char* const kBackground = "Background";
constexpr int kBadgeSize = 128; // pixels of the radial frame
constexpr float kBadgeScale = 0.4f;
constexpr float kBadgeAlpha = 0.7f;
constexpr int kIconX = 5;
constexpr int kIconY = 5;
constexpr float kIconScale = 0.6f;
} // namespace

MouseWidgetSelMenu::MouseWidgetSelMenu(StateMachineComponent* owner) : StaticMenu(owner) {}

void MouseWidgetSelMenu::Init()
{
    m_openTime = 0.0f;
    m_closeTime = 0.0f;
    auto badge = std::make_unique<dorvo::gfx::CSprite>("hud/ColoredRadial.png");
    const int centre[2] = {0, 0};
    badge->AddGridAnimation("Base", kBadgeSize, kBadgeSize, 1, 0, 0, 50, centre, false);
    badge->SetName(kBackground);
    badge->SetScale(kBadgeScale, kBadgeScale, 1.0f);
    badge->SetAlpha(kBadgeAlpha, false);
    if (!AddUnit(std::move(badge)))
        return;
    for (const Icon& icon : kIcons)
        AddUnit(MakeEditorIcon(icon.texture, icon.name, kIconX, kIconY, kIconScale), kBackground);
}

void MouseWidgetSelMenu::OnOpened()
{
    ShowIconOfCurrentType();
}

void MouseWidgetSelMenu::ShowIconOfCurrentType()
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    if (!comp)
        return;
    const std::string type = GetCurrentWidgetTypeOfGame();
    for (const Icon& icon : kIcons)
        if (dorvo::gfx::CSprite* sprite = comp->GetSprite(icon.name))
            sprite->SetVisible(type == icon.type, false);
}

void MouseWidgetSelMenu::UpdateOpen()
{
    // A type set while the badge is open (the console, the radial menu) gets no opening of its
    // own: the icon follows the type every frame, so it never shows another type's.
    ShowIconOfCurrentType();
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    dorvo::gfx::CSprite* badge = comp ? comp->GetSprite(kBackground) : nullptr;
    int x = 0;
    int y = 0;
    if (badge && GetGameCursorPoint(x, y))
        badge->SetPosition(x + kCursorOffsetX, y + kCursorOffsetY);
}
} // namespace QUORB
