#include "statemachine/Message.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

TEST(MessageData, DefaultHoldsThePresets)
{
    const MessageData data;
    EXPECT_EQ(MSG_DATA_NONE, data.GetType());
    EXPECT_EQ(0, data.GetInt());
    EXPECT_EQ(nullptr, data.GetPointer());
    EXPECT_EQ(293u, data.GetInputEvent().code);
    EXPECT_EQ(0, data.GetInputEvent().value);
    EXPECT_EQ(0u, data.GetInputEvent().timeStamp);
    EXPECT_EQ(0u, data.GetInputEvent().sequence);
    EXPECT_EQ(0.0f, data.GetVector3().x);
    EXPECT_EQ(0.0f, data.GetVector3().y);
    EXPECT_EQ(0.0f, data.GetVector3().z);
    EXPECT_EQ("", data.GetString());
}

TEST(MessageData, ConstructorsAndSettersSetTheType)
{
    EXPECT_EQ(MSG_DATA_VECTOR3, MessageData(math::Vector3(1, 2, 3)).GetType());
    EXPECT_EQ(MSG_DATA_STRING, MessageData(std::string("Start")).GetType());
    EXPECT_EQ("Start", MessageData(std::string("Start")).GetString());

    MessageData data;
    data.SetInt(-7);
    EXPECT_EQ(MSG_DATA_INT, data.GetType());
    EXPECT_EQ(-7, data.GetInt());
    data.SetFloat(0.25f);
    EXPECT_EQ(MSG_DATA_FLOAT, data.GetType());
    EXPECT_EQ(0.25f, data.GetFloat());
    int target = 0;
    data.SetPointer(&target);
    EXPECT_EQ(MSG_DATA_POINTER, data.GetType());
    EXPECT_EQ(&target, data.GetPointer());
    dorvo::input::InputEvent event;
    event.code = 238;
    event.value = 1;
    event.timeStamp = 5;
    event.sequence = 9;
    data.SetInputEvent(event);
    EXPECT_EQ(MSG_DATA_INPUT, data.GetType());
    EXPECT_EQ(238u, data.GetInputEvent().code);
    EXPECT_EQ(9u, data.GetInputEvent().sequence);
}

TEST(MessageData, CopiesAreIndependent)
{
    MessageData original(math::Vector3(1, 2, 3));
    MessageData copy(original);
    original = MessageData(std::string("changed"));
    EXPECT_EQ(MSG_DATA_VECTOR3, copy.GetType());
    EXPECT_EQ(2.0f, copy.GetVector3().y);
    // The copy's named components must read its own array, not the source's.
    copy = MessageData(math::Vector3(4, 5, 6));
    EXPECT_EQ(5.0f, copy.GetVector3().y);
    EXPECT_EQ(5.0f, copy.GetVector3()[1]);
}

TEST(MessageData, GetFloatOnOtherDataFailsItsAssertion)
{
    testsupport::AssertCapture capture;
    MessageData data;
    data.SetInt(3);
    data.GetFloat();
    ASSERT_EQ(1u, capture.Reports().size());
    EXPECT_EQ("m_valueType == MSG_DATA_FLOAT", capture.Reports()[0].condition);
    EXPECT_EQ("Message data not of correct type", capture.Reports()[0].text);

    capture.Clear();
    data.SetFloat(1.5f);
    EXPECT_EQ(1.5f, data.GetFloat());
    EXPECT_TRUE(capture.Reports().empty());
}

TEST(Message, ConstructorStoresFieldsAndOnlyTwoScopeBits)
{
    const Message message(2.5f, MSG_OpenMenu, 4, 9, 7 /* scope bits 0-1 = 3, bit 2 dropped */, 11,
                          MessageData(std::string("Main")), true, false);
    EXPECT_EQ(MSG_OpenMenu, message.GetName());
    EXPECT_EQ(4u, message.GetSender());
    EXPECT_EQ(9u, message.GetReceiver());
    EXPECT_EQ(2.5f, message.GetTime());
    EXPECT_EQ(11u, message.GetStamp());
    EXPECT_EQ(3u, message.GetScope());
    EXPECT_FALSE(message.IsDelivered());
    EXPECT_TRUE(message.IsPeriodic());
    EXPECT_FALSE(message.IsForwarded());
    EXPECT_EQ("Main", message.GetString());
    EXPECT_EQ("Main", message.GetData().GetString());
}

TEST(Message, CopyKeepsTheFiveFlagBits)
{
    Message original(1.0f, MSG_Reset, 1, 2, MSG_SCOPE_SUBSTATE, 3, MessageData(), true, true);
    original.SetDelivered();
    const Message copy(original);
    EXPECT_EQ(original.GetFlags(), copy.GetFlags());
    EXPECT_EQ(MSG_SCOPE_SUBSTATE, copy.GetScope());
    EXPECT_TRUE(copy.IsDelivered());
    EXPECT_TRUE(copy.IsPeriodic());
    EXPECT_TRUE(copy.IsForwarded());

    Message assigned(0.0f, MSG_NULL, 0, 0, 0, 0, MessageData(), false, false);
    assigned = original;
    EXPECT_EQ(0x1Fu & original.GetFlags(), assigned.GetFlags());
    EXPECT_EQ(MSG_Reset, assigned.GetName());
    EXPECT_EQ(3u, assigned.GetStamp());
}

TEST(MessageName, TextsFollowTheValues)
{
    const struct
    {
        MessageName name;
        const char* text;
    } cases[] = {{MSG_NULL, "MSG_NULL"},
                 {MSG_CHANGE_STATE_DELAYED, "MSG_CHANGE_STATE_DELAYED"},
                 {MSG_Pressed, "MSG_Pressed"},
                 {MSG_UnPressed, "MSG_UnPressed"},
                 {MSG_ResetMenu, "MSG_ResetMenu"},
                 {MSG_MouseDown, "MSG_MouseDown"},
                 {MSG_ButtonPressed, "MSG_ButtonPressed"},
                 {MSG_SendTextMessage, "MSG_SendTextMessage"},
                 {MSG_COUNT, "Invalid"},
                 {static_cast<MessageName>(400), "Invalid"}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        EXPECT_STREQ(c.text, GetMessageNameText(c.name));
    }
    EXPECT_EQ(26u, static_cast<unsigned>(MSG_SendTextMessage));
    EXPECT_EQ(13u, static_cast<unsigned>(MSG_MouseDown));
    EXPECT_EQ(21u, static_cast<unsigned>(MSG_ButtonPressed));
}
