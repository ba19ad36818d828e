// The menu test world end to end: the real game boots through its scripts with the menus filed,
// and a test drives it as a player and reads what the menus heard, said and showed.
#include "MenuTestWorld.h"
#include "RecordingMenus.h"
#include "TestSupport.h"
#include "common/ConsoleInterface.h"
#include "common/FunctionFlags.h"
#include "common/Singleton.h"
#include "engine/SoundSystem.h"
#include "engine/gfx/gui/CButton.h"
#include "engine/gfx/gui/EditBox.h"
#include "engine/gfx/sprites/CSprite.h"
#include "game/app/MenuTable.h"
#include "game/app/PlaceholderMenu.h"
#include "game/menus/BaseMenu.h"
#include "game/menus/MenuCallbacks.h"
#include "game/menus/MenuHitTests.h"
#include "game/menus/MenuHud.h"
#include "game/menus/RegisterMenuTypes.h"
#include "statemachine/ACMsgTaker.h"
#include "statemachine/Database.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <memory>

using menutest::Calls;
using Strings = std::vector<std::string>;

namespace
{
constexpr std::uint32_t kEnter = 28;

StateMachine* ActiveMachine(const std::string& name)
{
    Database* database = common::Singleton<Database>::Instance();
    const std::uint32_t id = database->FindIdByName(name);
    ACMsgTaker* taker = id != 0 ? database->FindById(id) : nullptr;
    return taker ? taker->GetActiveStateMachine() : nullptr;
}

class MenuWorldTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Calls().clear();
        gametest::MenuTestSetup setup;
        setup.registerMenus = []() { QUORB::RegisterMenuType<menutest::RecordingMenu>("HelpMenu"); };
        m_world = std::make_unique<gametest::MenuTestWorld>(setup);
        ASSERT_TRUE(m_world->Booted());
        m_menu = menutest::RecordingMenu::Last();
        ASSERT_NE(m_menu, nullptr);
        m_menu->SetTimes(0.0f, 0.0f);
    }

    // A bar button below "Base" at (x, y) that announces its presses, as menus build them.
    dorvo::gfx::CButton* AddButton(const std::string& name, int x, int y)
    {
        std::unique_ptr<dorvo::gfx::CButton> button = QUORB::g_menuHud.CreateBarButton(name);
        button->SetPosition(x, y);
        button->SetButtonPressedFunct(new QUORB::SMButtonPressedFunct(m_menu->GetComponent(), name));
        return m_menu->AddUnit(std::move(button));
    }

    std::unique_ptr<gametest::MenuTestWorld> m_world;
    menutest::RecordingMenu* m_menu = nullptr;
};

TEST_F(MenuWorldTest, InitGameBuildsEveryMenuAndAFiledClassReplacesItsPlaceholder)
{
    std::uint32_t previous = 0;
    for (std::size_t i = 0; i < QUORB::MenuTable::kMenuCount; ++i)
    {
        const std::string name = QUORB::MenuTable::GetName(i);
        SCOPED_TRACE(name);
        const std::uint32_t id = common::Singleton<Database>::Instance()->FindIdByName(name);
        EXPECT_GT(id, previous); // built in the table's order
        previous = id;
        StateMachine* machine = ActiveMachine(name);
        ASSERT_NE(machine, nullptr);
        // Each is its own menu class, the test's where it filed one; the world keeps the
        // splashes quiet with placeholders.
        if (name == "HelpMenu")
            EXPECT_EQ(machine, m_menu);
        else if (name == "KeshSplashMenu" || name == "VoskelSplashMenu" || name == "GameSplashMenu")
            EXPECT_NE(dynamic_cast<QUORB::PlaceholderMenu*>(machine), nullptr);
        else
            EXPECT_NE(dynamic_cast<QUORB::BaseMenu*>(machine), nullptr);
    }
    EXPECT_EQ(QUORB::MenuTable::GetName(27), std::string("MessageWindowMenu"));
}

TEST(MenuWorldBoot, NoMenuOfTheTableIsThePlaceholderWithTheProgramsOwnClasses)
{
    gametest::MenuTestSetup setup;
    setup.splashes = true; // no placeholder filed by the world: only RegisterMenuTypes
    gametest::MenuTestWorld world(setup);
    ASSERT_TRUE(world.Booted());
    for (std::size_t i = 0; i < QUORB::MenuTable::kMenuCount; ++i)
    {
        const std::string name = QUORB::MenuTable::GetName(i);
        SCOPED_TRACE(name);
        StateMachine* machine = ActiveMachine(name);
        ASSERT_NE(machine, nullptr);
        EXPECT_EQ(dynamic_cast<QUORB::PlaceholderMenu*>(machine), nullptr);
        EXPECT_NE(dynamic_cast<QUORB::BaseMenu*>(machine), nullptr);
    }
}

TEST(MenuWorldEnd, ATextureThatDidNotLoadOrASoundEventNoProjectHasFailsTheTestUnlessAllowed)
{
    static const char* const kNoTexture = "hud/NoSuchTexture.png";
    static const char* const kNoSound = "QUORBSound/GUI/NoSuchSound";
    const std::string textureFailure = std::string(kNoTexture) + "\" did not load (HelpMenu/Stain)";
    const std::string soundFailure = std::string("\"") + kNoSound + "\"";
    const struct
    {
        Strings allowed;
        Strings failures; // in order, each a part of one failure's message
    } cases[] = {
        {{}, {textureFailure, soundFailure}},
        {{kNoTexture}, {soundFailure}},
        {{kNoSound}, {textureFailure}},
        {{kNoTexture, kNoSound}, {}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(::testing::PrintToString(c.allowed));
        bool booted = false;
        bool added = false;
        bool played = true;
        ::testing::TestPartResultArray failures;
        {
            // Everything the world reports, up to its end, is caught here and read below.
            ::testing::ScopedFakeTestPartResultReporter catcher(
                ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
            gametest::MenuTestSetup setup;
            setup.registerMenus = []() { QUORB::RegisterMenuType<menutest::RecordingMenu>("HelpMenu"); };
            gametest::MenuTestWorld world(setup);
            booted = world.Booted();
            if (menutest::RecordingMenu* menu = menutest::RecordingMenu::Last())
            {
                auto stain = std::make_unique<dorvo::gfx::CSprite>(kNoTexture);
                stain->SetName("Stain");
                added = menu->AddUnit(std::move(stain)) != nullptr;
            }
            played = dorvo::SoundSystem::Instance().PlayEvent(kNoSound, nullptr, nullptr);
            world.ClearSounds(); // the world's end still hears of it
            world.Step();
            for (const std::string& asset : c.allowed)
                world.AllowMissingAsset(asset);
        }
        ASSERT_TRUE(booted);
        EXPECT_TRUE(added);
        EXPECT_FALSE(played);
        ASSERT_EQ(failures.size(), static_cast<int>(c.failures.size()));
        for (int i = 0; i < failures.size(); ++i)
        {
            const ::testing::TestPartResult& failure = failures.GetTestPartResult(i);
            EXPECT_EQ(failure.type(), ::testing::TestPartResult::kNonFatalFailure);
            EXPECT_NE(std::string(failure.message()).find(c.failures[static_cast<std::size_t>(i)]),
                      std::string::npos)
                << failure.message();
        }
    }
}

TEST_F(MenuWorldTest, TheFirstFrameOpensTheFirstSplash)
{
    m_world->Step();
    const std::vector<gametest::MenuMessage> heard = m_world->MessagesTo("KeshSplashMenu");
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard.front().name, MSG_OpenMenu);
    EXPECT_EQ(heard.front().sender, "");
    EXPECT_EQ(heard.front().receiver, "KeshSplashMenu");
    EXPECT_GT(heard.front().time, 0.0);
}

TEST_F(MenuWorldTest, AClickIsAnnouncedToTheMenuBeforeThePressSound)
{
    ASSERT_NE(AddButton("Button 0", 300, 250), nullptr);
    common::Singleton<Database>::Instance()->SendMsg(m_menu->GetMenuId(), MSG_OpenMenu);
    m_world->Step();
    const gametest::UnitView view = m_world->Unit("HelpMenu", "Button 0");
    EXPECT_TRUE(view.visible);
    EXPECT_EQ(view.x, 300);
    EXPECT_EQ(view.y, 250);
    EXPECT_EQ(view.width, 256);
    EXPECT_EQ(view.height, 75);
    EXPECT_FLOAT_EQ(view.alpha, 1.0f);

    m_world->ClearMessages();
    m_world->ClearSounds();
    Calls().clear();
    ASSERT_TRUE(m_world->Click("HelpMenu", "Button 0"));
    EXPECT_EQ(Calls(), Strings({"OnButtonPressed(Button 0)"}));
    const std::vector<gametest::MenuMessage> pressed = m_world->MessagesTo("HelpMenu", MSG_ButtonPressed);
    ASSERT_EQ(pressed.size(), 1u);
    EXPECT_EQ(pressed.front().data.GetString(), "Button 0");
    EXPECT_EQ(m_world->SoundsStarted(), Strings({"QUORBSound/GUI/ButtonPress"}));
    EXPECT_EQ(m_menu->soundsAtPress, 0u); // the menu heard of it before the sound started

    // A closed menu's button is hidden and takes no click.
    common::Singleton<Database>::Instance()->SendMsg(m_menu->GetMenuId(), MSG_CloseMenu);
    Calls().clear();
    m_world->Click("HelpMenu", "Button 0");
    EXPECT_EQ(Calls(), Strings());
    EXPECT_FALSE(m_world->Click("HelpMenu", "No Such Button"));
}

TEST_F(MenuWorldTest, RestingOnAButtonAndLeavingItReachTheMenu)
{
    dorvo::gfx::CButton* button = AddButton("Hover", 100, 400);
    ASSERT_NE(button, nullptr);
    button->SetHeldOverFunct(new QUORB::SMHeldOverFunct(m_menu->GetComponent(), button, true, 0.05f));
    button->SetNotOverFunct(new QUORB::SMHeldOverFunct(m_menu->GetComponent(), button, false, 0.05f));
    common::Singleton<Database>::Instance()->SendMsg(m_menu->GetMenuId(), MSG_OpenMenu);
    m_world->Step();
    Calls().clear();
    ASSERT_TRUE(m_world->Hover("HelpMenu", "Hover", 0.3));
    EXPECT_EQ(Calls(), Strings({"OnHeldOver(Hover)"}));
    m_world->MoveCursor(700, 50);
    m_world->Step();
    ASSERT_FALSE(Calls().empty());
    EXPECT_EQ(Calls().back(), "OnMovedOff(Hover)");
}

TEST_F(MenuWorldTest, TypedTextIsSubmittedToTheMenu)
{
    dorvo::gfx::SpriteAnimation frame = QUORB::g_menuHud.m_whiteBlock.unpressed;
    auto box = std::make_unique<dorvo::gfx::EditBox>(
        QUORB::g_menuHud.m_whiteBlock.textureFile, frame, nullptr,
        new QUORB::SMTextSubmitFunct(m_menu->GetComponent(), "Name"), nullptr, 200, 450, "Name", 12u,
        ""); // clear of the look-at menu
    box->SetPointInsideFunct(new QUORB::RectPointInsideFunct(box.get(), 32, 32));
    ASSERT_NE(m_menu->AddUnit(std::move(box)), nullptr);
    common::Singleton<Database>::Instance()->SendMsg(m_menu->GetMenuId(), MSG_OpenMenu);
    m_world->Step();
    Calls().clear();
    ASSERT_TRUE(m_world->Click("HelpMenu", "Name"));
    m_world->TypeText("Ann 7");
    EXPECT_EQ(m_world->Unit("HelpMenu", "Name").text, "Ann 7");
    m_world->Key(kEnter);
    EXPECT_EQ(Calls(), Strings({"OnTextSubmitted(Name,Ann 7)"}));
}

TEST_F(MenuWorldTest, ConsoleLinesAreRecordedShownOrRun)
{
    m_world->ClearConsoleLines();
    common::ConsoleInterface::Instance().WriteToConsole("a note", common::FF_Display, false);
    m_world->Console("commands");
    const std::vector<gametest::ConsoleLine>& lines = m_world->ConsoleLines();
    ASSERT_GE(lines.size(), 2u); // what "commands" prints may come this way too
    EXPECT_EQ(lines[0].text, "a note");
    EXPECT_FALSE(lines[0].run);
    EXPECT_EQ(lines[1].text, "commands");
    EXPECT_TRUE(lines[1].run);
}
} // namespace
