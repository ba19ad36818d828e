#include "game/menus/EditorBarUnits.h"

#include "engine/gfx/gui/CButton.h"
#include "engine/gfx/gui/CheckButton.h"
#include "engine/gfx/sprites/CSprite.h"
#include "game/menus/MenuCallbacks.h"
#include "game/menus/MenuHitTests.h"
#include "game/menus/MenuHud.h"

namespace QUORB
{
namespace
{
constexpr int kIconSize = 64; // pixels of an icon frame

template <class Button> void FinishButton(Button& button, const std::string& tip)
{
    button.SetPointInsideFunct(
        new RectPointInsideFunct(&button, kEditorButtonHitWidth, kEditorButtonHitHeight));
    button.SetScale(kEditorButtonScaleX, kEditorButtonScaleY, 1.0f);
    button.SetTipText(tip);
}
} // namespace

std::unique_ptr<dorvo::gfx::CheckButton> MakeEditorCheckButton(StateMachineComponent* owner,
                                                               const std::string& name,
                                                               const std::string& tip, bool reportUncheck)
{
    const MenuHudDescriptor& look = g_menuHud.m_barMenuButtons;
    const int position[2] = {0, 0};
    const int anchor[2] = {0, 0};
    auto button = std::make_unique<dorvo::gfx::CheckButton>(
        look.textureFile, name, look.unpressed, position, anchor, nullptr, nullptr, nullptr, nullptr,
        new SMButtonPressedFunct(owner, name), reportUncheck ? new SMUnCheckFunct(owner, name) : nullptr);
    FinishButton(*button, tip);
    button->SetChecked(false);
    return button;
}

std::unique_ptr<dorvo::gfx::CButton> MakeEditorButton(StateMachineComponent* owner, const std::string& name,
                                                      const std::string& tip)
{
    const MenuHudDescriptor& look = g_menuHud.m_barMenuButtons;
    const int position[2] = {0, 0};
    const int anchor[2] = {0, 0};
    auto button =
        std::make_unique<dorvo::gfx::CButton>(look.textureFile, look.unpressed, position, anchor, nullptr,
                                              nullptr, nullptr, new SMButtonPressedFunct(owner, name));
    button->SetName(name);
    FinishButton(*button, tip);
    return button;
}

std::unique_ptr<dorvo::gfx::CSprite> MakeEditorIcon(const std::string& texture, const std::string& name,
                                                    int x, int y, float scale)
{
    auto icon = std::make_unique<dorvo::gfx::CSprite>(texture);
    const int centre[2] = {0, 0};
    icon->AddGridAnimation("Base", kIconSize, kIconSize, 1, 0, 0, 50, centre, false);
    icon->SetName(name);
    icon->SetScale(scale, scale, 1.0f);
    icon->SetPosition(x, y);
    return icon;
}
} // namespace QUORB
