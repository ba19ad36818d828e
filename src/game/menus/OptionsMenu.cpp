#include "game/menus/OptionsMenu.h"

#include "common/ConsoleInterface.h"
#include "common/FunctionFlags.h"
#include "engine/gfx/gui/CheckButton.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/app/CQUORB.h"
#include "game/menus/MenuCallbacks.h"
#include "game/menus/MenuHitTests.h"
#include "game/menus/MenuHud.h"
#include "game/menus/MenuText.h"

namespace QUORB
{
namespace
{
struct Choice
{
    const char* button; // also the quality or skin name
    const char* text;
    int x;
};

const Choice kQualities[] = {{"Low", "Low", 50}, {"Medium", "Medium", 260}, {"High", "High", 470}};
const Choice kSkins[] = {
    {"DefaultSkin", "Default Skin", 50}, {"ColdSkin", "Cold Skin", 260}, {"VegieSkin", "Vegie Skin", 470}};
} // namespace

OptionsMenu::OptionsMenu(StateMachineComponent* owner) : SidePanelMenu(owner) {}

void OptionsMenu::Init()
{
    if (!AddSidePanel(40.0f, 1.4f))
        return;
    // The panel is filed, so the component is there.
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();

    const MenuHudDescriptor& look = g_menuHud.m_barMenuButtons;
    const auto addRow = [&](const Choice(&row)[3], int y, const char* group, int textX)
    {
        for (const Choice& choice : row)
        {
            const int position[2] = {choice.x, y};
            auto button = std::make_unique<dorvo::gfx::CheckButton>(
                look.textureFile, choice.button, look.unpressed, position, look.anchor, nullptr, nullptr,
                nullptr, nullptr, new SMButtonPressedFunct(GetComponent(), choice.button));
            button->SetEnabled(true);
            button->SetChecked(false);
            // A row always shows the current choice: a click on the checked button keeps it.
            button->SetMayUncheck(false);
            button->SetPointInsideFunct(new RectPointInsideFunct(button.get(), look.hit[0], look.hit[1]));
            dorvo::gfx::CheckButton* added = AddUnit(std::move(button), kPanelName);
            if (!added)
                continue;
            comp->AddToGroup(added, group);
            AddUnit(MakeMenuText(std::string(choice.button) + "Text", choice.text, 4, textX, 20, 250),
                    choice.button);
        }
    };
    addRow(kQualities, 80, "GraphicsSettings", 70);
    addRow(kSkins, 210, "SkinSettings", 50);
    AddUnit(MakeMenuText("GraphicSettingsText", "Graphics Settings", 5, 130, 20, 450), kPanelName);
    AddUnit(MakeMenuText("GameSkinsText", "Game Skins", 5, 200, 150, 450), kPanelName);
}

void OptionsMenu::OnButtonPressed(const std::string& name)
{
    CQUORB* game = CQUORB::Get();
    if (!game)
        return;
    for (const Choice& quality : kQualities)
        if (name == quality.button)
        {
            QUORBSettings& settings = game->GetSettings();
            settings.GraphicsQuality = quality.button;
            game->SetGraphicsQuality(settings);
            return;
        }
    for (const Choice& skin : kSkins)
        if (name == skin.button)
        {
            common::ConsoleInterface::Instance().WriteToConsole(std::string("setgameskin ") + skin.button,
                                                                common::FF_Execute, false);
            return;
        }
}

void OptionsMenu::OnHeldOver(const std::string&) {}

void OptionsMenu::OpenTransition(float duration)
{
    // Every flag is set afresh: a skin typed at the console since the last opening must not
    // leave its old button checked beside the new one.
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    CQUORB* game = CQUORB::Get();
    if (comp && game)
    {
        const auto show = [comp](const Choice(&row)[3], const std::string& current)
        {
            for (const Choice& choice : row)
                if (auto* button = dynamic_cast<dorvo::gfx::CheckButton*>(comp->GetButton(choice.button)))
                    button->SetChecked(current == choice.button);
        };
        show(kQualities, game->GetSettings().GraphicsQuality);
        show(kSkins, game->GetGameSkinName());
    }
    SidePanelMenu::OpenTransition(duration);
}
} // namespace QUORB
