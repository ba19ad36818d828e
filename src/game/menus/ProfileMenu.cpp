#include "game/menus/ProfileMenu.h"

#include "engine/gfx/gui/CButton.h"
#include "engine/gfx/gui/CheckButton.h"
#include "engine/gfx/gui/ScrollBar.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/app/CQUORB.h"
#include "game/app/MenuSend.h"
#include "game/files/IsSafeFileName.h"
#include "game/files/Profile.h"
#include "game/menus/ListScrollBar.h"
#include "game/menus/MenuCallbacks.h"
#include "game/menus/MenuHitTests.h"
#include "game/menus/MenuHud.h"
#include "game/menus/MenuText.h"

#include <algorithm>

namespace QUORB
{
namespace
{
const char* const kRowGroup = "ProfileButtonCheckGroups";
const char* const kRowList = "ProfileButtons";
const char* const kNewButton = "CreateProfile";
const char* const kLoadButton = "LoadProfile";
const char* const kTemplateFile = "Blank.xml";

bool EndsWithXml(const std::string& name)
{
    return name.size() >= 4 && EqualsIgnoringCase(name.substr(name.size() - 4), ".xml");
}
} // namespace

ProfileMenu::ProfileMenu(StateMachineComponent* owner) : SidePanelMenu(owner) {}

void ProfileMenu::Init()
{
    StateMachineComponent* owner = GetComponent();
    if (!AddSidePanel(144.0f, 1.0f))
        return;
    AddUnit(MakeMenuText("TitleText", "Manage Profiles", 5, 50, 20, 450), kPanelName);

    if (const CQUORB* game = CQUORB::Get())
        for (const std::string& entry : game->GetProfileFiles())
            AddProfileButton(entry);

    AddUnit(MakeListScrollBar("ProfileScrollBar", kRowList), kPanelName);

    const struct
    {
        const char* button;
        const char* textName;
        const char* text;
        int x;
        int textX;
    } buttons[] = {
        {kNewButton, "CreateProfileText", "New", 110, 35},
        {kLoadButton, "LoadProfileText", "Load", 290, 30},
    };
    for (const auto& entry : buttons)
    {
        auto button = g_menuHud.CreateBarButton(entry.button);
        button->SetScale(0.5f, 0.5f, 1.0f);
        button->SetEnabled(true);
        button->SetPosition(entry.x, 450);
        button->SetPointInsideFunct(new RectPointInsideFunct(button.get(), 100, 27));
        button->SetButtonPressedFunct(new SMButtonPressedFunct(owner, entry.button));
        auto* heldOver = new SMHeldOverFunct(owner, button.get(), true, 0.05f);
        heldOver->secondDelay = 0.05f;
        button->SetHeldOverFunct(heldOver);
        if (AddUnit(std::move(button), kPanelName))
            AddUnit(MakeMenuText(entry.textName, entry.text, 4, entry.textX, 5, 250), entry.button);
    }
}

void ProfileMenu::AddProfileButton(const std::string& entry)
{
    const std::string file = EndsWithXml(entry) ? entry : entry + ".xml";
    // The template is read by every creation and never anybody's progress: loading it would make
    // it the current profile.
    if (entry.empty() || EqualsIgnoringCase(file, kTemplateFile))
        return;
    if (std::any_of(m_rowFiles.begin(), m_rowFiles.end(),
                    [&file](const auto& row) { return EqualsIgnoringCase(row.second, file); }))
        return;
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    if (!comp)
        return;

    const std::string name = "Button" + entry;
    const MenuHudDescriptor& look = g_menuHud.m_barMenuButtons;
    const int position[2] = {0, 0};
    StateMachineComponent* owner = GetComponent();
    auto row = std::make_unique<dorvo::gfx::CheckButton>(
        look.textureFile, name, look.unpressed, position, look.anchor, nullptr, nullptr, nullptr, nullptr,
        new SMButtonPressedFunct(owner, name), new SMUnCheckFunct(owner, name));
    row->SetPointInsideFunct(new RectPointInsideFunct(row.get(), look.hit[0], look.hit[1] / 2));
    row->SetScale(1.0f, 0.5f, 1.0f);
    row->SetChecked(false);
    row->SetEnabled(true);
    dorvo::gfx::CheckButton* added = AddUnit(std::move(row), kPanelName);
    if (!added)
        return;
    AddUnit(MakeMenuText("Text" + entry, entry.substr(0, entry.find('.')), 4, 20, 5, 250), name);
    // A row made while the panel is away stays hidden with it until the panel opens.
    const int state = GetState();
    if (state != STATE_Opening && state != STATE_Open && state != STATE_Closing)
        added->SetVisible(false, true);
    comp->AddToGroup(added, kRowGroup);
    comp->EditScrollList(added, kRowList, "");
    m_rowFiles[name] = file;
}

void ProfileMenu::OnButtonPressed(const std::string& name)
{
    if (name == kNewButton)
    {
        SendIntToMenu(MenuTable::kCreateProfileMenu, MSG_SetCustomData, 0);
        SendToMenu(MenuTable::kCreateProfileMenu, MSG_OpenMenu);
        return;
    }
    if (name == kLoadButton)
    {
        CQUORB* game = CQUORB::Get();
        if (game && !m_selectedProfileFile.empty())
            game->LoadProfile(m_selectedProfileFile);
        return;
    }
    const auto row = m_rowFiles.find(name);
    if (row != m_rowFiles.end())
        m_selectedProfileFile = row->second;
}

void ProfileMenu::OpenTransition(float duration)
{
    MarkLoadedProfile();
    SidePanelMenu::OpenTransition(duration);
}

void ProfileMenu::MarkLoadedProfile()
{
    // The mark tells the player which profile is in use: a row clicked and never loaded on an
    // earlier visit would claim a profile that is not the current one.
    const CQUORB* game = CQUORB::Get();
    const Profile* profile = game ? game->GetProfile() : nullptr;
    m_selectedProfileFile.clear();
    if (dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp())
        for (const auto& row : m_rowFiles)
            if (auto* button = dynamic_cast<dorvo::gfx::CheckButton*>(comp->GetButton(row.first)))
            {
                const bool loaded = profile && EqualsIgnoringCase(row.second, profile->name);
                button->SetChecked(loaded);
                if (loaded)
                    m_selectedProfileFile = row.second;
            }
}

void ProfileMenu::Reset()
{
    if (m_customData.GetType() == MSG_DATA_STRING && !m_customData.GetString().empty())
        AddProfileButton(m_customData.GetString());
    // The profile just created is the one in use now.
    MarkLoadedProfile();
}

void ProfileMenu::OnButtonUnPressed(const std::string&)
{
    m_selectedProfileFile.clear();
}
} // namespace QUORB
