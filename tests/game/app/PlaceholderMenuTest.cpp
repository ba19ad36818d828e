// The placeholder menu: a menu's states and moves on the menu messages, every message recorded,
// presses and releases left to others.
#include "GameTestWorld.h"

#include "common/InputEvent.h"
#include "common/Singleton.h"
#include "statemachine/Database.h"

#include <gtest/gtest.h>

using QUORB::PlaceholderMenu;

TEST(PlaceholderMenu, OpensClosesAndTogglesOnTheMenuMessagesAndRecordsThem)
{
    gametest::GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    Database* database = common::Singleton<Database>::Instance();
    const std::uint32_t id = database->FindIdByName("OptionsMenu");
    PlaceholderMenu* menu = world.Menu("OptionsMenu");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->GetState(), PlaceholderMenu::STATE_Initial);

    const struct
    {
        MessageName message;
        int from;
        int to;
    } cases[] = {
        {MSG_OpenMenu, PlaceholderMenu::STATE_Initial, PlaceholderMenu::STATE_Open},
        {MSG_OpenMenuEx, PlaceholderMenu::STATE_Closed, PlaceholderMenu::STATE_Open},
        {MSG_OpenMenu, PlaceholderMenu::STATE_Open, PlaceholderMenu::STATE_Open},
        {MSG_CloseMenu, PlaceholderMenu::STATE_Open, PlaceholderMenu::STATE_Closed},
        {MSG_CloseMenu, PlaceholderMenu::STATE_Opening, PlaceholderMenu::STATE_Closed},
        {MSG_ToggleMenu, PlaceholderMenu::STATE_Open, PlaceholderMenu::STATE_Closed},
        {MSG_ToggleMenu, PlaceholderMenu::STATE_Closed, PlaceholderMenu::STATE_Open},
        {MSG_ToggleMenu, PlaceholderMenu::STATE_Initial, PlaceholderMenu::STATE_Open},
        {MSG_ResetMenu, PlaceholderMenu::STATE_Closing, PlaceholderMenu::STATE_Closing},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(GetMessageNameText(c.message)) + " from " + std::to_string(c.from));
        menu->ForceState(c.from);
        menu->ClearReceived();
        database->SendMsg(id, c.message);
        EXPECT_EQ(menu->GetState(), c.to);
        ASSERT_EQ(menu->GetReceived().size(), 1u);
        EXPECT_EQ(menu->GetReceived()[0].name, c.message);
    }

    menu->ClearReceived();
    database->SendMsgString(id, MSG_SendTextMessage, "hello");
    ASSERT_EQ(menu->GetReceived().size(), 1u);
    EXPECT_EQ(menu->GetReceived()[0].data.GetString(), "hello");

    dorvo::input::InputEvent space{57, 1, 0, 0};
    EXPECT_FALSE(database->BroadcastInputMsg(MSG_Pressed, space)) << "no placeholder takes a press";
    EXPECT_FALSE(database->BroadcastInputMsg(MSG_UnPressed, space));
    EXPECT_EQ(world.MessageCount("OptionsMenu", MSG_Pressed), 1u);
}
