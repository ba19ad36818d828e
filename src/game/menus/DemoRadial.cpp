#include "game/menus/DemoRadial.h"

#include "common/math/MathUtil.h"
#include "engine/gfx/gui/CButton.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "game/app/CQUORB.h"
#include "game/app/MenuSend.h"
#include "game/manipulator/WidgetManipulator.h"
#include "game/menus/MenuCallbacks.h"
#include "game/menus/MenuHitTests.h"
#include "game/menus/MenuHud.h"
#include "game/menus/MenuText.h"
#include "game/menus/PuzzleMenuCalls.h"

#include <memory>

namespace QUORB
{
namespace
{
// The labels of the buttons that have one.
const char* Label(std::size_t index)
{
    switch (index)
    {
    case 2:
        return "Run";
    case 3:
        return "Reset";
    case 4:
        return "Back";
    default:
        return "";
    }
}

// An icon over a button: one still 64 x 64 frame at 0.6.
std::unique_ptr<dorvo::gfx::CSprite> MakeIcon(const char* name, const char* image)
{
    auto icon = std::make_unique<dorvo::gfx::CSprite>(image);
    icon->SetName(name);
    const int pivot[2] = {0, 0};
    icon->AddGridAnimation("Base", 64, 64, 1, 0, 0, 50, pivot, false);
    icon->SetScale(0.6f, 0.6f, 1.0f);
    icon->SetPosition(10, 10);
    return icon;
}

void ChooseWidgetType(const char* type)
{
    if (CQUORB* game = CQUORB::Get())
        if (WidgetManipulator* manipulator = game->GetWidgetManipulator())
            manipulator->SetCurrentWidgetType(type);
}
} // namespace

DemoRadial::DemoRadial(StateMachineComponent* owner) : RadialMenu(owner)
{
    m_startAngle = -0.5f * math::kPi;
    m_endAngle = 1.5f * math::kPi;
    m_angleOffset = 0.0f;
    m_radius = 80.0f;
    m_openTime = 0.05f;
    m_closeTime = 0.3f;

    const MenuHudDescriptor& look = g_menuHud.m_coloredRadial;
    for (std::size_t i = 0; i < kButtonCount; ++i)
    {
        const std::string name = ButtonName(i);
        const int position[2] = {0, 0};
        auto button =
            std::make_unique<dorvo::gfx::CButton>(look.textureFile, look.unpressed, position, look.anchor);
        button->SetPointInsideFunct(new RectPointInsideFunct(button.get(), 60, 60));
        button->SetName(name);
        button->SetScale(0.5f, 0.5f, 1.0f);
        button->SetReleaseInside(false);
        button->SetButtonPressedFunct(new SMButtonPressedFunct(owner, name));
        button->SetHeldOverFunct(new SMHeldOverFunct(owner, button.get(), true, kHeldOverSeconds));
        auto text = MakeMenuText("ButtonText " + std::to_string(i), Label(i), 4, 10, 20, 100);
        if (!AddUnit(std::move(button)))
            continue;
        AddUnit(std::move(text), name);
    }
    AddUnit(MakeIcon("Platform", "hud/PlatIcon.png"), ButtonName(0));
    AddUnit(MakeIcon("GravitySwitch", "hud/GravIcon.png"), ButtonName(1));
}

void DemoRadial::OnHeldOver(const std::string& name)
{
    RadialMenu::OnHeldOver(name);
    if (name != ButtonName(1))
        return;
    m_subMenuId = MenuTable::FindId(MenuTable::kSubmenu, "DemoRadial::OnHeldOver");
    if (m_subMenuId == 0)
        return;
    dorvo::gfx::CSprite* from = GetButton(1);
    SendMsgPointer(MSG_SetRefSprite, m_subMenuId, from);
    SendMsg(MSG_OpenMenu, m_subMenuId);
}

void DemoRadial::OnButtonPressed(const std::string& name)
{
    if (name == ButtonName(0))
        ChooseWidgetType("Platform");
    else if (name == ButtonName(1))
        ChooseWidgetType("GravitySwitch");
    else if (name == ButtonName(2))
        RunConsoleLine("play");
    else if (name == ButtonName(3))
        RunConsoleLine("reloadfocusedpuzzle");
    else if (name == ButtonName(4))
    {
        // Out of the puzzle as it is, not through the game's way of leaving one.
        CQUORB* game = CQUORB::Get();
        if (game && game->IsEditorMode())
        {
            game->ToggleEditor();
            game->ReloadFocusedPuzzle();
            for (const char* menu : {MenuTable::kWidgetChoiceBarMenu, MenuTable::kBudgetMenu,
                                     MenuTable::kWidgetPropertyBarMenu, MenuTable::kStartPuzzleMenu})
                SendToMenu(menu, MSG_CloseMenu);
        }
        SendToMenu(MenuTable::kRoomSelectionMenu, MSG_OpenMenu);
    }
}
} // namespace QUORB
