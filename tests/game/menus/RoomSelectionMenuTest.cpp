// The room-selection panel in the booted game: its list built from the game's room lists and
// grown by the rooms saved later, the slide in with the camera circling, resting on a room to
// load it, the press that slides the panel out and turns the camera to the room's front face,
// and the scroll bar paging a long list.
#include "MenuTestWorld.h"
#include "RoomMenuFixtures.h"

#include "common/math/Quad.h"
#include "engine/gfx/gui/ScrollBar.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "engine/gfx/sprites/IScreenUnit.h"
#include "game/app/CQUORB.h"
#include "game/camera/CCamera.h"
#include "game/menus/BaseMenu.h"
#include "game/menus/RoomSelectionMenu.h"
#include "game/room/CRoom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

using Strings = std::vector<std::string>;
using QUORB::BaseMenu;

namespace
{
constexpr const char* kMenu = "RoomSelectionMenu";
constexpr const char* kList = "RoomButtons";

class RoomSelectionMenuTest : public ::testing::Test
{
protected:
    // A game whose settings list these rooms (each a file of four empty puzzles), with a profile
    // "Player.xml" unlocking the given campaign rooms loaded. The committed empty room and the
    // campaign's Tutorial are taken away so the lists hold only the test's rooms.
    void Boot(const Strings& campaign, const Strings& playerMade, const Strings& unlocked = Strings())
    {
        gametest::MenuTestSetup setup;
        setup.files["files/xmlfiles/QUORBSettings.xml"] = roommenutest::SettingsXml(campaign, playerMade);
        for (const Strings* rooms : {&campaign, &playerMade})
            for (const std::string& room : *rooms)
                roommenutest::AddRoom(setup.files, room, std::vector<puzzletest::PuzzleText>(4));
        setup.files["files/profiles/Player.xml"] = roommenutest::ProfileXml(unlocked);
        roommenutest::RemoveBeforeStart(setup, "files/rooms/EmptyRoom.xml");
        roommenutest::RemoveBeforeStart(setup, "files/rooms/Tutorial.xml");
        m_world = std::make_unique<gametest::MenuTestWorld>(setup);
        ASSERT_TRUE(m_world->Booted());
        m_world->Step(2);
        m_world->Console("loadprofile Player.xml");
    }

    void Open()
    {
        ASSERT_TRUE(m_world->Send(kMenu, MSG_OpenMenu));
        m_world->RunFor(QUORB::RoomSelectionMenu::kOpenSeconds + 0.1);
        ASSERT_EQ(m_world->MenuState(kMenu), BaseMenu::STATE_Open);
    }

    std::string Label(const std::string& button) const
    {
        dorvo::gfx::IScreenUnit* unit = m_world->FindUnit(kMenu, button);
        if (!unit)
            return "(no button)";
        const dorvo::gfx::IScreenUnit::ChildMap& children = unit->GetChildren();
        if (children.size() != 1)
            return "(" + std::to_string(children.size()) + " labels)";
        const auto* text = dynamic_cast<const dorvo::gfx::CTextSprite*>(children.begin()->second.get());
        return text ? children.begin()->first + "=" + text->GetText() : "(no text)";
    }

    std::string LoadedRoom() const
    {
        const QUORB::CRoom* room = m_world->Game().GetRoom();
        return room ? room->GetRoomName() : "";
    }

    bool Orbiting() const
    {
        return (m_world->Game().GetGameCamera()->GetFlags() & QUORB::CCamera::kOrbitFlag) != 0;
    }

    std::unique_ptr<gametest::MenuTestWorld> m_world;
};

TEST_F(RoomSelectionMenuTest, TheListHoldsBothSectionsInOrderWithTheirLabels)
{
    Boot({"Alpha.xml", "Beta.xml"}, {"Mine.xml"});
    EXPECT_EQ(m_world->ScrollListNames(kMenu, kList),
              Strings({"MainText", "ButtonC:Alpha.xml", "ButtonC:Beta.xml", "UserText", "ButtonU:Mine.xml"}));
    EXPECT_EQ(Label("ButtonC:Alpha.xml"), "TextC=Alpha");
    EXPECT_EQ(Label("ButtonC:Beta.xml"), "TextC=Beta");
    EXPECT_EQ(Label("ButtonU:Mine.xml"), "TextU=Mine");
    EXPECT_EQ(m_world->Unit(kMenu, "MainText").text, "Campaign Rooms");
    EXPECT_EQ(m_world->Unit(kMenu, "UserText").text, "Player-Made Rooms");
    EXPECT_EQ(m_world->Unit(kMenu, "TitleText").text, "Select A Room");
    EXPECT_FALSE(m_world->Unit(kMenu, "ButtonC:Alpha.xml").visible);

    // Open, the rows stand one under the other from (150, 90) of the panel, 3 pixels apart.
    Open();
    const gametest::UnitView panel = m_world->Unit(kMenu, "Background");
    EXPECT_EQ(panel.x, 144);
    EXPECT_EQ(panel.y, 44);
    EXPECT_FLOAT_EQ(panel.alpha, 0.5f);
    int y = panel.y + 90;
    for (const std::string& row : m_world->ScrollListNames(kMenu, kList))
    {
        SCOPED_TRACE(row);
        const gametest::UnitView view = m_world->Unit(kMenu, row);
        EXPECT_TRUE(view.visible);
        EXPECT_EQ(view.x, panel.x + 150);
        EXPECT_NEAR(view.y, y, 1);
        EXPECT_FLOAT_EQ(view.alpha, 1.0f);
        auto* sprite = dynamic_cast<dorvo::gfx::CSprite*>(m_world->FindUnit(kMenu, row));
        y = view.y + static_cast<int>(sprite->GetHeight() + 3.0f);
    }
    EXPECT_EQ(m_world->Unit(kMenu, "ButtonC:Alpha.xml").height, 37); // half the bar's height
}

TEST_F(RoomSelectionMenuTest, RoomsSavedLaterJoinTheirSection)
{
    Boot({"Alpha.xml", "Beta.xml"}, {"Mine.xml"});
    m_world->Console("toggleus"); // our own room: among the campaign rooms
    m_world->Console("saveroom Gamma.xml");
    m_world->Console("toggleus"); // the player's
    m_world->Console("saveroom a.b.xml");
    EXPECT_EQ(m_world->ScrollListNames(kMenu, kList),
              Strings({"MainText", "ButtonC:Alpha.xml", "ButtonC:Beta.xml", "ButtonC:Gamma.xml", "UserText",
                       "ButtonU:Mine.xml", "ButtonU:a.b.xml"}));
    EXPECT_EQ(Label("ButtonC:Gamma.xml"), "TextC=Gamma");
    EXPECT_EQ(Label("ButtonU:a.b.xml"), "TextU=a");
    EXPECT_FALSE(m_world->Unit(kMenu, "ButtonU:a.b.xml").visible); // until the panel opens

    // Nothing for an empty name, a payload that is no text, or a room listed already.
    const Strings before = m_world->ScrollListNames(kMenu, kList);
    for (const bool text : {true, false})
    {
        if (text)
            m_world->SendText(kMenu, MSG_SetCustomData, "");
        else
            m_world->SendInt(kMenu, MSG_SetCustomData, 7);
        m_world->Send(kMenu, MSG_ResetMenu);
    }
    m_world->Game().RefreshRoomSelectionMenu("Mine.xml");
    EXPECT_EQ(m_world->ScrollListNames(kMenu, kList), before);
    EXPECT_EQ(Label("ButtonU:Mine.xml"), "TextU=Mine");
}

TEST_F(RoomSelectionMenuTest, OpeningSlidesInCirclesTheCameraAndClosesTheFaceMenus)
{
    Boot({"Alpha.xml"}, {});
    // The camera's start-up view focuses the front face and brings up the face menus.
    ASSERT_TRUE(m_world->RunUntil([this]() { return m_world->MenuState("PuzzleLookAtMenu") == 3; }, 2.0));
    m_world->ClearMessages();
    ASSERT_TRUE(m_world->Send(kMenu, MSG_OpenMenu));
    EXPECT_TRUE(Orbiting());
    for (const char* menu : {"PuzzleLookAtMenu", "PuzzleInfoMenu", "Radial"})
    {
        SCOPED_TRACE(menu);
        const std::vector<gametest::MenuMessage> heard = m_world->MessagesTo(menu, MSG_CloseMenu);
        ASSERT_FALSE(heard.empty());
        EXPECT_EQ(heard.front().sender, kMenu);
    }
    EXPECT_EQ(m_world->MenuState("PuzzleLookAtMenu"), BaseMenu::STATE_Closing); // its 0.1 s
    EXPECT_EQ(m_world->MenuState("PuzzleInfoMenu"), BaseMenu::STATE_Closed);

    // From x -600 to 144 in 0.2 s, while the camera circles.
    const float angle = QUORB::CCamera::GetOrbitAngle();
    m_world->Step();
    EXPECT_LT(m_world->Unit(kMenu, "Background").x, 144);
    EXPECT_GT(m_world->Unit(kMenu, "Background").x, -600);
    m_world->RunFor(0.2);
    EXPECT_EQ(m_world->Unit(kMenu, "Background").x, 144);
    EXPECT_EQ(m_world->MenuState(kMenu), BaseMenu::STATE_Open);
    EXPECT_GT(QUORB::CCamera::GetOrbitAngle(), angle);
    EXPECT_EQ(m_world->MenuState("PuzzleLookAtMenu"), BaseMenu::STATE_Closed); // no face is focused
}

TEST_F(RoomSelectionMenuTest, RestingOnARoomLoadsItUnlessItIsLocked)
{
    Boot({"Alpha.xml", "Beta.xml"}, {"Mine.xml"}, {"Alpha.xml"});
    Open();
    ASSERT_TRUE(m_world->PointAt(kMenu, "ButtonC:Alpha.xml"));
    EXPECT_EQ(LoadedRoom(), ""); // not yet rested 0.05 s
    m_world->Step(2);
    EXPECT_EQ(LoadedRoom(), "Alpha.xml");
    ASSERT_TRUE(m_world->Hover(kMenu, "ButtonC:Beta.xml", 0.1));
    EXPECT_EQ(LoadedRoom(), "Alpha.xml"); // the profile has not unlocked it: listed, not loaded
    ASSERT_TRUE(m_world->Hover(kMenu, "ButtonU:Mine.xml", 0.1));
    EXPECT_EQ(LoadedRoom(), "Mine.xml"); // the player's rooms are never locked
    EXPECT_EQ(m_world->MenuState(kMenu), BaseMenu::STATE_Open);
    EXPECT_TRUE(Orbiting());
}

TEST_F(RoomSelectionMenuTest, APressSlidesThePanelOutAndTurnsTheCameraToAFaceOfTheLoadedRoom)
{
    Boot({"Alpha.xml"}, {"Mine.xml"}, {"Alpha.xml"});
    Open();
    ASSERT_TRUE(m_world->Hover(kMenu, "ButtonC:Alpha.xml", 0.1));
    ASSERT_EQ(LoadedRoom(), "Alpha.xml");

    // A press on a room never rested on enters the room it names, not the one behind the panel.
    m_world->ClearMessages();
    ASSERT_TRUE(m_world->Click(kMenu, "ButtonU:Mine.xml"));
    EXPECT_EQ(LoadedRoom(), "Mine.xml");
    EXPECT_FALSE(Orbiting());
    EXPECT_EQ(m_world->MenuState(kMenu), BaseMenu::STATE_Closing);
    EXPECT_TRUE(m_world->Game().GetGameCamera()->IsInterpolating()); // turning to a face
    m_world->RunFor(0.4);
    EXPECT_EQ(m_world->MenuState(kMenu), BaseMenu::STATE_Closing);
    m_world->RunFor(0.15);
    EXPECT_EQ(m_world->MenuState(kMenu), BaseMenu::STATE_Closed);
    EXPECT_EQ(m_world->Unit(kMenu, "Background").x, -600);

    // The look-at menu comes once the camera has settled, not before.
    bool openedWhileTurning = false;
    EXPECT_TRUE(m_world->RunUntil(
        [&]()
        {
            const bool open = m_world->MenuState("PuzzleLookAtMenu") == BaseMenu::STATE_Open;
            openedWhileTurning =
                openedWhileTurning || (open && m_world->Game().GetGameCamera()->IsInterpolating());
            return open;
        },
        3.0));
    EXPECT_FALSE(openedWhileTurning);
    EXPECT_EQ(m_world->Game().GetFocusedFace(), 0);
}

// A locked room is listed, but a press on it enters nothing: neither it nor the room loaded
// behind the panel.
TEST_F(RoomSelectionMenuTest, APressOnALockedRoomLeavesTheListOpen)
{
    Boot({"Alpha.xml", "Beta.xml"}, {}, {"Alpha.xml"});
    Open();
    ASSERT_TRUE(m_world->Hover(kMenu, "ButtonC:Alpha.xml", 0.1));
    ASSERT_EQ(LoadedRoom(), "Alpha.xml");
    ASSERT_TRUE(m_world->Click(kMenu, "ButtonC:Beta.xml"));
    m_world->RunFor(1.0);
    EXPECT_EQ(LoadedRoom(), "Alpha.xml");
    EXPECT_EQ(m_world->MenuState(kMenu), BaseMenu::STATE_Open);
    EXPECT_TRUE(Orbiting());
}

// Wherever the circling camera looks when a room is pressed, the room is entered on its front
// face, where the campaign's first lesson is; the turn goes the short way round and the view
// never swings past the eye (a straight glide across the room would run the look-at point
// through it).
TEST_F(RoomSelectionMenuTest, APressEntersTheRoomOnItsFrontFaceTheShortWayRound)
{
    Boot({"Alpha.xml"}, {}, {"Alpha.xml"});
    Open();
    ASSERT_TRUE(m_world->Hover(kMenu, "ButtonC:Alpha.xml", 0.1));
    ASSERT_EQ(LoadedRoom(), "Alpha.xml");
    const QUORB::CCamera& camera = *m_world->Game().GetGameCamera();
    const math::Quad& front = m_world->Game().GetRoom()->GetFace(0);
    const math::Vector3 frontMiddle = (front.p0 + front.p2) * 0.5f;
    auto yaw = [&]()
    {
        const math::Vector3 d = camera.GetLookAt() - camera.GetEyePosition();
        return std::atan2(d.x, d.z) * 180.0f / 3.14159265f;
    };
    for (const float angle : {20.0f, 100.0f, 170.0f, 185.0f, 260.0f, 340.0f})
    {
        SCOPED_TRACE(angle);
        if (m_world->MenuState(kMenu) != BaseMenu::STATE_Open)
            Open();
        // The orbit's next step looks this way.
        QUORB::CCamera::SetOrbitAngle(angle);
        m_world->Step();
        ASSERT_TRUE(m_world->Click(kMenu, "ButtonC:Alpha.xml"));
        // The circling stops with the press; from there on the view only turns to the front.
        const float start = yaw();
        const float shortWay = std::remainder(0.0f - start, 360.0f);
        float nearest = 1e9f;
        float previous = start;
        bool monotonic = true;
        ASSERT_TRUE(m_world->RunUntil(
            [&]()
            {
                nearest = std::min(nearest, (camera.GetLookAt() - camera.GetEyePosition()).Length());
                const float now = yaw();
                const float step = std::remainder(now - previous, 360.0f);
                monotonic = monotonic && (step == 0.0f || (step > 0.0f) == (shortWay > 0.0f));
                previous = now;
                return !camera.IsInterpolating();
            },
            2.0));
        EXPECT_EQ(m_world->Game().GetFocusedFace(), 0);
        EXPECT_NEAR((camera.GetLookAt() - frontMiddle).Length(), 0.0f, 1e-3f);
        EXPECT_GT(nearest, 10.0f) << "the look-at point stays well away from the eye";
        EXPECT_TRUE(monotonic) << "the view turns one way, the short way round";
        ASSERT_TRUE(m_world->RunUntil(
            [&]() { return m_world->MenuState("PuzzleLookAtMenu") == BaseMenu::STATE_Open; }, 2.0));
    }
}

TEST_F(RoomSelectionMenuTest, ALongListScrollsATenthAPressAndRowsLeavingTheBandFade)
{
    Strings rooms;
    for (int i = 0; i < 10; ++i)
        rooms.push_back("Room" + std::to_string(i) + ".xml");
    Boot(rooms, {"Mine.xml"});
    Open();
    auto* bar = dynamic_cast<dorvo::gfx::ScrollBar*>(m_world->FindUnit(kMenu, "RoomScrollBar"));
    ASSERT_NE(bar, nullptr);
    float total = 0.0f;
    for (const std::string& row : m_world->ScrollListNames(kMenu, kList))
        total += dynamic_cast<dorvo::gfx::CSprite*>(m_world->FindUnit(kMenu, row))->GetHeight() + 3.0f;
    const float overflow = total - 280.0f; // the band: y 90 to 370 of the panel
    ASSERT_GT(overflow, 0.0f);
    const int panelY = m_world->Unit(kMenu, "Background").y;
    EXPECT_EQ(m_world->Unit(kMenu, "MainText").y, panelY + 90);
    EXPECT_FLOAT_EQ(m_world->Unit(kMenu, "ButtonU:Mine.xml").alpha, 0.0f); // far below the band

    ASSERT_TRUE(m_world->Click(kMenu, "ScrollDownButton"));
    EXPECT_FLOAT_EQ(bar->GetTarget(), 0.1f);
    m_world->RunFor(0.25); // 0.5 of the range a second
    EXPECT_FLOAT_EQ(bar->GetPosition(), 0.1f);
    const float lifted = overflow * 0.1f;
    EXPECT_NEAR(m_world->Unit(kMenu, "MainText").y, panelY + 90 - lifted, 1.0);
    const float header =
        dynamic_cast<dorvo::gfx::CSprite*>(m_world->FindUnit(kMenu, "MainText"))->GetHeight();
    EXPECT_NEAR(m_world->Unit(kMenu, "MainText").alpha, std::max(0.0f, 1.0f - lifted / header), 0.05f);
    EXPECT_LT(m_world->Unit(kMenu, "MainText").alpha, 1.0f); // fading out over the top

    ASSERT_TRUE(m_world->Click(kMenu, "ScrollDownButton"));
    m_world->Step(3); // a tenth of a second: half way to the new target
    EXPECT_NEAR(bar->GetPosition(), 0.15f, 0.02f);
}
} // namespace
