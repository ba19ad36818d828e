#include "game/menus/MainMenu.h"

#include "engine/gfx/gui/CButton.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "game/app/CQUORB.h"
#include "game/app/MenuSend.h"
#include "game/camera/CCamera.h"
#include "game/menus/MenuCallbacks.h"
#include "game/menus/MenuHud.h"
#include "game/menus/MenuText.h"
#include "platform/win32.h"
#include "statemachine/Message.h"

#include <memory>

namespace QUORB
{
const char* const MainMenu::kWelcomeText = "Welcome to Q.U.O.R.B.";
const char* const MainMenu::kSaveFailedText = "Not saved! Press again to quit anyway.";

namespace
{
constexpr int kButtonX = 150;     // pixels within the panel
constexpr int kFirstButtonY = 80; // the rows are 70 apart
constexpr int kButtonRow = 70;
constexpr float kHoverSeconds = 0.05f;

struct ButtonEntry
{
    const char* name;
    const char* textUnit;
    int textX; // the label's corner within the button, pixels
    const char* tip;
    const char* opens; // the menu the button hands over to; null for "Exit"
};

const ButtonEntry kButtons[] = {
    {"Play", "PlayText", 70, "Play QUORB!", MenuTable::kRoomSelectionMenu},
    {"Manage Profiles", "ManageProfileText", 20, "Create or load profiles.", MenuTable::kProfileMenu},
    {"Editor", "EditorText", 60, "Create your own levels.", MenuTable::kRoomSelectionMenu},
    {"Options", "OptionsText", 60, "Change game options.", MenuTable::kOptionsMenu},
    {"Credits", "CreditsText", 60, "Meet the Q.U.O.R.B team.", MenuTable::kCreditsMenu},
    {"Exit", "ExitText", 70, "Quit Q.U.O.R.B :(", nullptr},
};
} // namespace

MainMenu::MainMenu(StateMachineComponent* owner) : SidePanelMenu(owner) {}

void MainMenu::Init()
{
    if (!AddSidePanel(144.0f, 1.0f))
        return;

    int y = kFirstButtonY;
    for (const ButtonEntry& entry : kButtons)
    {
        std::unique_ptr<dorvo::gfx::CButton> button = g_menuHud.CreateBarButton(entry.name);
        button->SetPosition(kButtonX, y);
        button->SetButtonPressedFunct(new SMButtonPressedFunct(GetComponent(), entry.name));
        button->SetHeldOverFunct(new SMHeldOverFunct(GetComponent(), button.get(), true, kHoverSeconds));
        button->SetTipText(entry.tip);
        if (AddUnit(std::move(button), kPanelName))
            AddUnit(MakeMenuText(entry.textUnit, entry.name, 4, entry.textX, 20, 250), entry.name);
        y += kButtonRow;
    }
    AddUnit(MakeMenuText("TitleText", "Main Menu", 5, 120, 20, 450), kPanelName);
}

void MainMenu::OnButtonPressed(const std::string& name)
{
    for (const ButtonEntry& entry : kButtons)
    {
        if (name != entry.name)
            continue;
        CQUORB* game = CQUORB::Get();
        if (!entry.opens)
        {
            // A save that failed keeps the player here, told so; the next press quits all the
            // same.
            const bool saved = game == nullptr || game->SaveProfileAndSettings();
            if (!saved && !m_quitUnsaved)
            {
                m_quitUnsaved = true;
                SendTextToMenu(MenuTable::kMessageWindowMenu, MSG_SendTextMessage, kSaveFailedText);
                return;
            }
            // Not slid out first: the program ends once this frame is over.
            plat::PostQuitMessage(0);
            return;
        }
        if (name == "Editor" && game)
            game->SetCreatePuzzleMode(!game->IsCreatePuzzleMode());
        SendToMenu(entry.opens, MSG_OpenMenu);
        SendToMenu(MenuTable::kBackMenu, MSG_OpenMenu);
        SendToMenu(MenuTable::kBackMenu, MSG_ResetMenu);
        SendMsgToSelf(MSG_CloseMenu, MSG_SCOPE_SUBSTATE, 0);
        return;
    }
}

void MainMenu::OnHeldOver(const std::string&) {}

void MainMenu::OpenTransition(float duration)
{
    m_quitUnsaved = false;
    SidePanelMenu::OpenTransition(duration);
    if (CQUORB* game = CQUORB::Get())
        game->SetCameraFlags(CCamera::kOrbitFlag);
    for (const char* menu : {MenuTable::kPuzzleLookAtMenu, MenuTable::kPuzzleInfoMenu, MenuTable::kRadial})
        SendToMenu(menu, MSG_CloseMenu);
    SendTextToMenu(MenuTable::kMessageWindowMenu, MSG_SendTextMessage, kWelcomeText);
}
} // namespace QUORB
