#include "game/menus/CreditsMenu.h"

#include "engine/gfx/sprites/CSprite.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "game/menus/MenuHud.h"
#include "game/menus/MenuText.h"

namespace QUORB
{
namespace
{
struct Member
{
    const char* portrait; // the unit; its image is "hud/" + portrait + ".png"
    const char* lines;    // name, role, field of work
    int y;
};

const Member kMembers[] = {
    {"Drumo", "Drumo\nLead Programmer\nEngine and Physics", 80},
    {"Tavik", "Tavik\nGame Designer\nPuzzles and Rooms", 200},
    {"Selno", "Selno\nArtist\nMenus, Art and Sound", 320},
};

// A still frame from the image's top left, filed as "Base" and made current.
void AddStill(dorvo::gfx::CSprite& sprite, int width, int height)
{
    const int pivot[2] = {0, 0};
    sprite.AddGridAnimation("Base", width, height, 1, 0, 0, 50, pivot, false);
}
} // namespace

CreditsMenu::CreditsMenu(StateMachineComponent* owner) : SidePanelMenu(owner) {}

void CreditsMenu::OnButtonPressed(const std::string&) {}

void CreditsMenu::Init()
{
    if (!AddSidePanel(40.0f, 1.4f))
        return;
    AddUnit(MakeMenuText("QUORBTeamText", "Q.U.O.R.B. Team", 5, 160, 20, 450), kPanelName);

    for (const Member& member : kMembers)
    {
        // The portraits keep their own colours whatever the skin.
        auto portrait = std::make_unique<dorvo::gfx::CSprite>(std::string("hud/") + member.portrait + ".png");
        portrait->SetName(member.portrait);
        AddStill(*portrait, 128, 128);
        portrait->SetScale(0.8f, 0.8f, 1.0f);
        portrait->SetUseSkinColor(false);
        portrait->SetPosition(30, member.y);
        if (AddUnit(std::move(portrait), kPanelName))
            AddUnit(MakeMenuText(std::string(member.portrait) + "Text", member.lines, 4, 130, 10, 450),
                    member.portrait);
    }

    AddUnit(MakeMenuText("CopyrightText", "Q.U.O.R.B. on the Dorvo engine, a team project.", 4, 25, 470, 800),
            kPanelName);
    AddUnit(MakeMenuText("ExProText", "Produced By\n    The Q.U.O.R.B. Team\n    The Dorvo Workshop", 4, 450,
                         80, 800),
            kPanelName);
    AddUnit(
        MakeMenuText("ThxText",
                     "Special Thanks\n    Our Puzzle Testers\n    The Lua Makers\n    The TinyXML Makers\n"
                     "    Our Font Designers",
                     4, 450, 180, 800),
        kPanelName);
}
} // namespace QUORB
