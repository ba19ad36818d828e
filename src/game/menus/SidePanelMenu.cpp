#include "game/menus/SidePanelMenu.h"

#include "engine/gfx/sprites/CSprite.h"
#include "game/menus/MenuHud.h"

namespace QUORB
{
const char* const SidePanelMenu::kPanelName = "Background";

SidePanelMenu::SidePanelMenu(StateMachineComponent* owner) : LinearMoveMenu(owner) {}

dorvo::gfx::CSprite* SidePanelMenu::AddSidePanel(float openX, float widthScale)
{
    m_openTime = kOpenSeconds;
    m_closeTime = kCloseSeconds;
    m_closedPosition = math::Vector3(-600.0f, 44.0f, 0.0f);
    m_openPosition = math::Vector3(openX, 44.0f, 0.0f);

    auto panel = g_menuHud.CreateBackground(kPanelName);
    const int pivot[2] = {0, 0};
    panel->AddGridAnimation("Base", 512, 512, 1, 0, 0, 50, pivot, false);
    panel->SetScale(widthScale, 1.0f, 1.0f);
    panel->SetAlpha(0.5f, false);
    m_refSprite = AddUnit(std::move(panel));
    return m_refSprite;
}
} // namespace QUORB
