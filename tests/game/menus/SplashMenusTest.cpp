// The three splash screens from the first frame: their timing on the test clock, the logo's
// fades, the hidden cursor, the skips, and the end of the chain for a returning player, a new
// one and one whose profile is gone.
#include "MainRoadSetup.h"
#include "MenuTestWorld.h"

#include "LogCapture.h"
#include "common/Singleton.h"
#include "engine/gfx/gui/CCursor.h"
#include "engine/gfx/sprites/CSprite.h"
#include "game/app/CQUORB.h"
#include "game/app/MenuTraffic.h"
#include "game/files/Profile.h"
#include "game/menus/BaseMenu.h"
#include "game/menus/GameSplashMenu.h"
#include "game/menus/KeshSplashMenu.h"
#include "game/menus/RegisterMenuTypes.h"
#include "statemachine/Database.h"
#include "statemachine/Message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using mainroad::kFrame;
using mainroad::Kinds;
using mainroad::RoadSetup;
using KindList = std::vector<MessageName>;

namespace
{
constexpr int kClosed = QUORB::BaseMenu::STATE_Closed;
constexpr int kOpening = QUORB::BaseMenu::STATE_Opening;
constexpr int kOpen = QUORB::BaseMenu::STATE_Open;
constexpr int kClosing = QUORB::BaseMenu::STATE_Closing;
// A timed change comes with the first frame at or after its time; a splash's close waits for
// the close request and then for the fade, so it may come two frames late.
constexpr double kLate = 2 * kFrame + 1e-6;
const char* const kMusic = "QUORBSound/Music/PuzzleMusic";
const char* const kPress = "QUORBSound/GUI/ButtonPress";

bool CursorActive(const gametest::MenuTestWorld& world)
{
    const dorvo::gfx::CCursor* cursor = world.Game().GetCursor();
    return cursor && cursor->IsActive();
}

double OpenedAt(const gametest::MenuTestWorld& world, const std::string& menu)
{
    const std::vector<gametest::MenuMessage> opens = world.MessagesTo(menu, MSG_OpenMenu);
    return opens.empty() ? -1.0 : opens.front().time;
}

std::size_t Count(const std::vector<std::string>& list, const std::string& item)
{
    return static_cast<std::size_t>(std::count(list.begin(), list.end(), item));
}

std::size_t SkinCommands(const gametest::MenuTestWorld& world)
{
    std::size_t count = 0;
    for (const gametest::ConsoleLine& line : world.ConsoleLines())
        count += line.run && line.text == "setgameskin DefaultSkin" ? 1 : 0;
    return count;
}

// What the game had done when the main menu was asked to open.
struct AtMainMenuOpen
{
    int seen = 0;
    std::string profile;
    bool ourRoomUnlocked = false;
};
AtMainMenuOpen s_atOpen;
QUORB::MenuMessageObserver s_recorder = nullptr;

void WatchMainMenuOpen(const StateMachine& menu, const Message& message)
{
    QUORB::CQUORB* game = QUORB::CQUORB::Get();
    if (game && message.GetName() == MSG_OpenMenu &&
        message.GetReceiver() == common::Singleton<Database>::Instance()->FindIdByName("MainMenu"))
    {
        ++s_atOpen.seen;
        s_atOpen.profile = game->GetProfile() ? game->GetProfile()->name : "";
        const auto room = game->GetSettings().m_roomMap.find(mainroad::kOurRoom);
        s_atOpen.ourRoomUnlocked = room != game->GetSettings().m_roomMap.end() && !room->second.locked;
    }
    if (s_recorder)
        s_recorder(menu, message);
}

// The recorder of the menu test world, with a look at the game whenever the main menu is opened.
class WatchedMainMenu
{
public:
    WatchedMainMenu()
    {
        s_atOpen = AtMainMenuOpen();
        s_recorder = QUORB::SetMenuMessageObserver(&WatchMainMenuOpen);
    }
    ~WatchedMainMenu() { QUORB::SetMenuMessageObserver(s_recorder); }
};

// Through each splash with a click on it.
void SkipAll(gametest::MenuTestWorld& world)
{
    for (const std::string& splash : mainroad::Splashes())
        world.Click(splash, "Background");
}

TEST(SplashMenus, TheChainRunsOnTheClockAndOpensTheMainMenuOnceTheProfileHasLoaded)
{
    gametest::MenuTestWorld world(RoadSetup("MyProfile.xml", {"MyProfile.xml"}));
    ASSERT_TRUE(world.Booted());
    WatchedMainMenu watch;
    world.Step(); // the Load state opens the first splash
    const double start = OpenedAt(world, "KeshSplashMenu");
    ASSERT_GT(start, 0.0);

    for (std::size_t i = 0; i < mainroad::Splashes().size(); ++i)
    {
        const std::string& splash = mainroad::Splashes()[i];
        SCOPED_TRACE(splash);
        const double opened = OpenedAt(world, splash);
        ASSERT_GE(opened, 0.0);
        EXPECT_EQ(world.MenuState(splash), kOpening);
        EXPECT_TRUE(world.Unit(splash, "Background").visible);
        EXPECT_FALSE(CursorActive(world));

        mainroad::RunTo(world, opened + 0.1);
        const float halfIn = world.Unit(splash, "Logo").alpha;
        EXPECT_GT(halfIn, 0.25f);
        EXPECT_LT(halfIn, 0.75f);

        ASSERT_TRUE(world.RunUntil([&]() { return world.MenuState(splash) == kOpen; }, 1.0));
        EXPECT_GE(world.Now() - opened, 0.2 - 1e-6);
        EXPECT_LE(world.Now() - opened, 0.2 + kLate);
        world.Step();
        EXPECT_FLOAT_EQ(world.Unit(splash, "Logo").alpha, 1.0f);

        ASSERT_TRUE(world.RunUntil([&]() { return world.MenuState(splash) == kClosing; }, 2.0));
        const double closing = world.Now();
        EXPECT_GE(closing - opened, 1.2 - 1e-6);
        EXPECT_LE(closing - opened, 1.2 + kLate);
        mainroad::RunTo(world, closing + 1.5);
        const float halfOut = world.Unit(splash, "Logo").alpha;
        EXPECT_GT(halfOut, 0.35f);
        EXPECT_LT(halfOut, 0.65f);
        EXPECT_FALSE(CursorActive(world));

        ASSERT_TRUE(world.RunUntil([&]() { return world.MenuState(splash) == kClosed; }, 2.0));
        EXPECT_GE(world.Now() - opened, 4.2 - 1e-6);
        EXPECT_LE(world.Now() - opened, 4.2 + kLate);
        EXPECT_FALSE(world.Unit(splash, "Background").visible);
        EXPECT_FALSE(world.Unit(splash, "Logo").visible);
        // The next one opens in the same frame.
        const std::string next =
            i + 1 < mainroad::Splashes().size() ? mainroad::Splashes()[i + 1] : "MainMenu";
        EXPECT_DOUBLE_EQ(OpenedAt(world, next), world.Now());
    }

    const double mainMenuAt = OpenedAt(world, "MainMenu");
    EXPECT_GE(mainMenuAt - start, 12.6 - 1e-6);
    EXPECT_LE(mainMenuAt - start, 12.6 + 3 * kLate);
    EXPECT_DOUBLE_EQ(OpenedAt(world, "HelpMenu"), mainMenuAt);
    EXPECT_TRUE(CursorActive(world));
    EXPECT_EQ(s_atOpen.seen, 1);
    EXPECT_EQ(s_atOpen.profile, "MyProfile.xml");
    EXPECT_TRUE(s_atOpen.ourRoomUnlocked);
    EXPECT_EQ(Count(world.SoundsStarted(), kMusic), 1u);
    EXPECT_EQ(Kinds(world, "CreateProfileMenu"), KindList());
}

struct EndCase
{
    const char* name;
    const char* lastUsed;
    std::vector<std::string> profiles;
    bool found;
};

TEST(SplashMenus, TheEndOfTheChainOpensTheMainMenuOnlyForAProfileOnDisk)
{
    const EndCase cases[] = {
        {"in the list", "MyProfile.xml", {"Other.xml", "MyProfile.xml"}, true},
        {"empty", "", {"Other.xml"}, false},
        {"a deleted file", "Gone.xml", {"Other.xml"}, false},
        {"an empty profile folder", "MyProfile.xml", {}, false},
        {"another case", "myprofile.xml", {"MyProfile.xml"}, false},
    };
    for (const EndCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        gametest::MenuTestWorld world(RoadSetup(c.lastUsed, c.profiles));
        ASSERT_TRUE(world.Booted());
        world.Step();
        world.ClearMessages();
        SkipAll(world);
        world.RunFor(0.5);

        EXPECT_EQ(SkinCommands(world), 1u);
        EXPECT_EQ(world.Game().GetGameSkinName(), "DefaultSkin");
        EXPECT_EQ(Count(world.SoundsStarted(), kMusic), 1u);
        const std::vector<gametest::MenuMessage>& all = world.Messages();
        const auto first = [&all](const std::string& menu, MessageName name)
        {
            for (std::size_t i = 0; i < all.size(); ++i)
                if (all[i].receiver == menu && all[i].name == name)
                    return static_cast<int>(i);
            return -1;
        };
        if (c.found)
        {
            EXPECT_EQ(Kinds(world, "MainMenu"), KindList({MSG_OpenMenu}));
            EXPECT_EQ(Kinds(world, "HelpMenu"), KindList({MSG_OpenMenu}));
            EXPECT_LT(first("MainMenu", MSG_OpenMenu), first("HelpMenu", MSG_OpenMenu));
            EXPECT_EQ(Kinds(world, "CreateProfileMenu"), KindList());
            ASSERT_NE(world.Game().GetProfile(), nullptr);
            EXPECT_EQ(world.Game().GetProfile()->name, c.lastUsed);
        }
        else
        {
            EXPECT_EQ(Kinds(world, "MainMenu"), KindList());
            EXPECT_EQ(Kinds(world, "HelpMenu"), KindList());
            EXPECT_EQ(Kinds(world, "CreateProfileMenu"), KindList({MSG_SetCustomData, MSG_OpenMenu}));
            const std::vector<gametest::MenuMessage> data =
                world.MessagesTo("CreateProfileMenu", MSG_SetCustomData);
            ASSERT_EQ(data.size(), 1u);
            EXPECT_EQ(data.front().data.GetType(), MSG_DATA_INT);
            EXPECT_EQ(data.front().data.GetInt(), 1);
            EXPECT_EQ(world.Game().GetProfile(), nullptr);
        }
    }
}
TEST(SplashMenus, AClickSkipsEachSplashAtOnceAndTheChainEndsOnce)
{
    gametest::MenuTestWorld world(RoadSetup("MyProfile.xml", {"MyProfile.xml"}));
    ASSERT_TRUE(world.Booted());
    WatchedMainMenu watch;
    world.Step();
    world.RunFor(0.5); // the first splash is open
    for (std::size_t i = 0; i < mainroad::Splashes().size(); ++i)
    {
        const std::string& splash = mainroad::Splashes()[i];
        SCOPED_TRACE(splash);
        const bool last = i + 1 == mainroad::Splashes().size();
        const std::string next = last ? "MainMenu" : mainroad::Splashes()[i + 1];
        world.ClearSounds();
        ASSERT_TRUE(world.Click(splash, "Background"));
        EXPECT_EQ(world.MenuState(splash), kClosed);
        EXPECT_FALSE(world.Unit(splash, "Background").visible);
        EXPECT_EQ(world.MenuState(next), kOpening);
        EXPECT_EQ(Count(world.SoundsStarted(), kPress), 1u);
        // Hidden until the last splash has gone, skipped or not.
        EXPECT_EQ(CursorActive(world), last);
    }
    EXPECT_EQ(Count(world.SoundsStarted(), kMusic), 1u);
    EXPECT_EQ(s_atOpen.seen, 1);
    EXPECT_EQ(s_atOpen.profile, "MyProfile.xml");

    // The close each splash asked for when it opened comes later and finds it closed.
    world.ClearSounds();
    world.RunFor(2.0);
    for (const std::string& splash : mainroad::Splashes())
    {
        SCOPED_TRACE(splash);
        EXPECT_EQ(world.MenuState(splash), kClosed);
        EXPECT_EQ(Kinds(world, splash), KindList({MSG_OpenMenu, MSG_CloseMenuForced, MSG_CloseMenu}));
    }
    EXPECT_EQ(Kinds(world, "MainMenu"), KindList({MSG_OpenMenu}));
    EXPECT_EQ(Kinds(world, "HelpMenu"), KindList({MSG_OpenMenu}));
    EXPECT_EQ(world.MenuState("MainMenu"), kOpen);
    EXPECT_EQ(Count(world.SoundsStarted(), kMusic), 0u);
    EXPECT_EQ(s_atOpen.seen, 1);
}

// A maker's mark whose image is not there.
class KeshWithoutImage : public QUORB::KeshSplashMenu
{
public:
    using QUORB::KeshSplashMenu::KeshSplashMenu;

protected:
    void Init() override { BuildUnits("hud/NoSuchLogo.png", 256); }
};

TEST(SplashMenus, AMissingImageIsNamedOnceAndTheChainKeepsItsTime)
{
    gametest::MenuTestSetup setup = RoadSetup("MyProfile.xml", {"MyProfile.xml"});
    setup.registerMenus = []() { QUORB::RegisterMenuType<KeshWithoutImage>("KeshSplashMenu"); };
    testsupport::LogCapture logged;
    gametest::MenuTestWorld world(setup);
    const std::string err = logged.Text();
    world.AllowMissingAsset("hud/NoSuchLogo.png");
    ASSERT_TRUE(world.Booted());
    const std::size_t named = err.find("NoSuchLogo.png");
    ASSERT_NE(named, std::string::npos) << err;
    EXPECT_EQ(err.find("NoSuchLogo.png", err.find('\n', named)), std::string::npos) << err;

    world.Step();
    const double opened = OpenedAt(world, "KeshSplashMenu");
    const auto* logo = dynamic_cast<dorvo::gfx::CSprite*>(world.FindUnit("KeshSplashMenu", "Logo"));
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->GetTextureWidth(), 0);
    ASSERT_TRUE(world.RunUntil([&]() { return OpenedAt(world, "VoskelSplashMenu") > 0.0; }, 5.0));
    EXPECT_GE(OpenedAt(world, "VoskelSplashMenu") - opened, 4.2 - 1e-6);
    EXPECT_LE(OpenedAt(world, "VoskelSplashMenu") - opened, 4.2 + kLate);
}
} // namespace
