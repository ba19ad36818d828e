// Messages to menus by name: every name of the menu table reaches its built menu, a name that is
// not one of them is reported through the assertion handler and reaches no one, and a menu of the
// table that is not built yet is quietly not sent to.
#include "GameTestWorld.h"
#include "TestSupport.h"

#include "common/Singleton.h"
#include "game/app/MenuSend.h"
#include "game/app/MenuState.h"
#include "game/app/MenuTable.h"
#include "statemachine/Database.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace
{
// The messages every placeholder of the table received, summed.
std::size_t ReceivedByAllMenus(const gametest::GameTestWorld& world)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < QUORB::MenuTable::kMenuCount; ++i)
        if (const QUORB::PlaceholderMenu* menu = world.Menu(QUORB::MenuTable::GetName(i)))
            count += menu->GetReceived().size();
    return count;
}

void ClearAllMenus(const gametest::GameTestWorld& world)
{
    for (std::size_t i = 0; i < QUORB::MenuTable::kMenuCount; ++i)
        if (QUORB::PlaceholderMenu* menu = world.Menu(QUORB::MenuTable::GetName(i)))
            menu->ClearReceived();
}

// Each way of reaching a menu by name, run on one name: true when it was delivered (the state
// read: not -1).
struct Way
{
    const char* function;
    std::function<bool(const std::string& menu)> run;
};

std::vector<Way> Ways(QUORB::PlaceholderMenu& sender)
{
    return {
        {"SendToMenu", [](const std::string& menu) { return QUORB::SendToMenu(menu, MSG_ResetMenu); }},
        {"SendIntToMenu",
         [](const std::string& menu) { return QUORB::SendIntToMenu(menu, MSG_SetCustomData, 7); }},
        {"SendTextToMenu",
         [](const std::string& menu) { return QUORB::SendTextToMenu(menu, MSG_SendTextMessage, "hello"); }},
        {"SendToMenuFrom",
         [&sender](const std::string& menu)
         {
             QUORB::SendToMenuFrom(sender, menu, MSG_SetCustomData, 9);
             return false; // nothing is answered
         }},
        {"GetMenuState", [](const std::string& menu) { return QUORB::GetMenuState(menu) >= 0; }},
    };
}
} // namespace

TEST(MenuSend, AMenuOfTheTableThatIsNotBuiltIsQuietlyNotSentTo)
{
    testsupport::AssertCapture asserts;
    // No world: the database holds no menu.
    ASSERT_EQ(common::Singleton<Database>::Instance()->FindIdByName(QUORB::MenuTable::kMainMenu), 0u);
    EXPECT_FALSE(QUORB::SendToMenu(QUORB::MenuTable::kMainMenu, MSG_OpenMenu));
    EXPECT_FALSE(QUORB::SendIntToMenu(QUORB::MenuTable::kMainMenu, MSG_SetCustomData, 1));
    EXPECT_FALSE(QUORB::SendTextToMenu(QUORB::MenuTable::kMainMenu, MSG_SendTextMessage, "x"));
    EXPECT_EQ(QUORB::GetMenuState(QUORB::MenuTable::kMainMenu), -1);
    EXPECT_TRUE(asserts.Reports().empty());
}

TEST(MenuSend, EveryNameOfTheTableReachesItsBuiltMenuWithItsData)
{
    testsupport::AssertCapture asserts;
    gametest::GameTestWorld world;
    ASSERT_TRUE(world.Booted());

    for (std::size_t i = 0; i < QUORB::MenuTable::kMenuCount; ++i)
    {
        const std::string name = QUORB::MenuTable::GetName(i);
        SCOPED_TRACE(name);
        EXPECT_TRUE(QUORB::MenuTable::IsMenu(name));
        QUORB::PlaceholderMenu* menu = world.Menu(name);
        ASSERT_NE(menu, nullptr);
        menu->ClearReceived();
        EXPECT_TRUE(QUORB::SendToMenu(name, MSG_ResetMenu));
        ASSERT_EQ(menu->GetReceived().size(), 1u);
        EXPECT_EQ(menu->GetReceived()[0].name, MSG_ResetMenu);
        EXPECT_EQ(QUORB::GetMenuState(name), menu->GetState());
    }

    // The data of each send arrives with it.
    QUORB::PlaceholderMenu* options = world.Menu(QUORB::MenuTable::kOptionsMenu);
    QUORB::PlaceholderMenu* help = world.Menu(QUORB::MenuTable::kHelpMenu);
    ASSERT_NE(options, nullptr);
    ASSERT_NE(help, nullptr);
    options->ClearReceived();
    EXPECT_TRUE(QUORB::SendIntToMenu(QUORB::MenuTable::kOptionsMenu, MSG_SetCustomData, 7));
    EXPECT_TRUE(QUORB::SendTextToMenu(QUORB::MenuTable::kOptionsMenu, MSG_SendTextMessage, "hello"));
    QUORB::SendToMenuFrom(*help, QUORB::MenuTable::kOptionsMenu, MSG_SetCustomData, 9);
    ASSERT_EQ(options->GetReceived().size(), 3u);
    EXPECT_EQ(options->GetReceived()[0].data.GetInt(), 7);
    EXPECT_EQ(options->GetReceived()[1].data.GetString(), "hello");
    EXPECT_EQ(options->GetReceived()[2].data.GetInt(), 9);
    EXPECT_TRUE(asserts.Reports().empty());
}

TEST(MenuSend, ANameThatIsNoMenuOfTheTableIsReportedAndReachesNoMenu)
{
    testsupport::AssertCapture asserts;
    gametest::GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    QUORB::PlaceholderMenu* sender = world.Menu(QUORB::MenuTable::kHelpMenu);
    ASSERT_NE(sender, nullptr);

    const std::string longName(300, 'M');
    const struct
    {
        std::string name;
        std::string shown; // as the report quotes it
    } cases[] = {
        {"NoSuchMenu", "\"NoSuchMenu\""},
        {"mainmenu", "\"mainmenu\""}, // names are exact, as the objects' names are
        {"MainMenu ", "\"MainMenu \""},
        {"", "\"\""},
        {longName, "\"" + std::string(64, 'M') + "...\""},
    };
    for (const auto& c : cases)
    {
        for (const Way& way : Ways(*sender))
        {
            SCOPED_TRACE(std::string(way.function) + " \"" + c.name.substr(0, 20) + "\"");
            ClearAllMenus(world);
            asserts.Clear();
            const bool delivered = way.run(c.name);
            EXPECT_FALSE(delivered);
            EXPECT_EQ(ReceivedByAllMenus(world), 0u);
            ASSERT_EQ(asserts.Reports().size(), 1u);
            const std::string& text = asserts.Reports()[0].text;
            EXPECT_EQ(text.rfind(way.function, 0), 0u) << text;
            EXPECT_NE(text.find(c.shown + " is no menu of the menu table"), std::string::npos) << text;
        }
    }
}
