#include "game/menus/EscapeMenu.h"

#include "engine/gfx/gui/CButton.h"
#include "engine/gfx/sprites/CSprite.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/app/CQUORB.h"
#include "game/app/MenuSend.h"
#include "game/menus/MenuCallbacks.h"
#include "game/menus/MenuHitTests.h"
#include "game/menus/MenuHud.h"
#include "game/menus/MenuText.h"
#include "platform/win32.h"
#include "statemachine/Message.h"

namespace QUORB
{
const char* const EscapeMenu::kSaveFailedText = "Not saved! Press again to quit anyway.";

namespace
{
const char* const kSaveQuit = "SaveQuitButton";
const char* const kBack = "EscBackButton";
// The title's left edge on the panel, pixels.
constexpr int kTitleX = 35;
} // namespace

EscapeMenu::EscapeMenu(StateMachineComponent* owner) : VeiledDialog(owner, kVeilDepth)
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    if (!comp)
        return;
    std::unique_ptr<dorvo::gfx::CSprite> panel = g_menuHud.CreateBackground(kPanelName);
    panel->SetScale(0.7f, 0.3f, 1.0f);
    m_refSprite = AddUnit(std::move(panel));
    if (!m_refSprite)
        return;
    struct PanelButton
    {
        const char* name;
        int x;
        const char* textUnit;
        const char* text;
        int textX;
    };
    const PanelButton buttons[] = {{kSaveQuit, 20, "SaveQuitText", "Save & Quit", 15},
                                   {kBack, 180, "ReturnText", "Back", 50}};
    for (const PanelButton& entry : buttons)
    {
        std::unique_ptr<dorvo::gfx::CButton> button = g_menuHud.CreateBarButton(entry.name);
        button->SetScale(0.75f, 0.8f, 1.0f);
        button->SetPosition(entry.x, 80);
        button->SetPointInsideFunct(new RectPointInsideFunct(button.get(), 150, 56));
        button->SetButtonPressedFunct(new SMButtonPressedFunct(GetComponent(), entry.name));
        if (AddUnit(std::move(button), kPanelName))
            AddUnit(MakeMenuText(entry.textUnit, entry.text, 4, entry.textX, 15, 200), entry.name);
    }
    // The title face is wide: from x 75 the title's last point would stand past the panel's right
    // edge, so it starts where it sits in the middle of the panel.
    AddUnit(MakeMenuText("TitleText", "Q.U.O.R.B.", 5, kTitleX, 10, 300), kPanelName);

    // Depths parent first: setting one gives its children the next depth.
    m_refSprite->SetDepth(kPanelDepth);
    for (const char* unit : {kSaveQuit, kBack, "SaveQuitText", "ReturnText", "TitleText"})
        if (dorvo::gfx::CSprite* sprite = comp->GetSprite(unit))
            sprite->SetDepth(kPanelDepth);
}

void EscapeMenu::OnButtonPressed(const std::string& name)
{
    if (name == kSaveQuit)
    {
        // A save that failed keeps the player here, told so; the next press quits all the same.
        CQUORB* game = CQUORB::Get();
        const bool saved = game == nullptr || game->SaveProfileAndSettings();
        if (!saved && !m_quitUnsaved)
        {
            m_quitUnsaved = true;
            SendTextToMenu(MenuTable::kMessageWindowMenu, MSG_SendTextMessage, kSaveFailedText);
            return;
        }
        // Not closed first: the program ends once this frame is over.
        plat::PostQuitMessage(0);
    }
    else if (name == kBack)
        SendMsgToSelf(MSG_CloseMenu, MSG_SCOPE_SUBSTATE, 0);
}

void EscapeMenu::OpenTransition(float duration)
{
    m_quitUnsaved = false;
    VeiledDialog::OpenTransition(duration);
}
} // namespace QUORB
