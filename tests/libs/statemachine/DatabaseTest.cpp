#include "statemachine/Database.h"

#include "StateMachineTestKit.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using smtest::FakeTaker;
using smtest::ScriptedMachine;
using Log = std::vector<std::string>;

namespace
{
// A message-taking object with one machine that takes the messages `takes` says yes to.
struct Taker
{
    Taker(
        Log* log, std::uint32_t id, const std::string& name, int depth,
        std::function<bool(const Message&)> takes = [](const Message&) { return false; })
        : taker(id, name, depth)
    {
        machine = new ScriptedMachine(
            &taker, log, name,
            [takes](ScriptedMachine&, std::uint32_t event, const Message* message, int state, int substate) {
                return event == StateMachine::EVENT_Message && state == 0 && substate == -1 &&
                       takes(*message);
            });
        taker.AddStateMachine(machine);
    }
    FakeTaker taker;
    ScriptedMachine* machine;
};

class DatabaseTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        smtest::Router().PurgeAll();
        ASSERT_EQ(0u, smtest::Db().GetCount());
    }
    void TearDown() override { smtest::Router().PurgeAll(); }

    // Only message lines, without the fallback to the global handler.
    Log Deliveries() const
    {
        Log lines;
        for (const std::string& line : m_log)
        {
            if (line.find(":msg 0/-1") != std::string::npos)
            {
                lines.push_back(line.substr(0, line.find(':')));
            }
        }
        return lines;
    }

    Log m_log;
};

bool TakesAll(const Message&)
{
    return true;
}
} // namespace

TEST_F(DatabaseTest, FindsObjectsByIdAndExactName)
{
    Taker menu(&m_log, 10, "MainMenu", 5);
    Taker other(&m_log, 11, "OptionsMenu", 5);
    EXPECT_EQ(&menu.taker, smtest::Db().FindById(10));
    EXPECT_EQ(nullptr, smtest::Db().FindById(12));
    EXPECT_EQ(10u, smtest::Db().FindIdByName("MainMenu"));
    EXPECT_EQ(11u, smtest::Db().FindIdByName("OptionsMenu"));
    EXPECT_EQ(0u, smtest::Db().FindIdByName("mainmenu"));
    EXPECT_EQ(0u, smtest::Db().FindIdByName("MainMenu "));
    EXPECT_EQ(0u, smtest::Db().FindIdByName("Nobody"));
}

TEST_F(DatabaseTest, SecondObjectWithTheSameIdIsRefused)
{
    testsupport::AssertCapture capture;
    FakeTaker first(20, "First");
    FakeTaker second(20, "Second");
    EXPECT_EQ((std::vector<std::string>{"Database::Store - Object ID already represented in database."}),
              capture.Texts());
    EXPECT_EQ(1u, smtest::Db().GetCount());
    EXPECT_EQ(&first, smtest::Db().FindById(20));
}

TEST_F(DatabaseTest, RemoveTakesTheObjectOut)
{
    FakeTaker first(21, "First");
    FakeTaker second(22, "Second");
    smtest::Db().Remove(21);
    smtest::Db().Remove(99); // nobody: nothing happens
    EXPECT_EQ(nullptr, smtest::Db().FindById(21));
    EXPECT_EQ(&second, smtest::Db().FindById(22));
    smtest::Db().Store(&first); // back again so its destructor finds it
}

TEST_F(DatabaseTest, ImmediateSendsCarryTheirDataFromSenderOne)
{
    Taker target(&m_log, 30, "Target", 0, TakesAll);
    EXPECT_TRUE(smtest::Db().SendMsg(30, MSG_OpenMenu));
    EXPECT_TRUE(smtest::Db().SendMsgInt(30, MSG_SetCustomData, -4));
    EXPECT_TRUE(smtest::Db().SendMsgVector3(30, MSG_MouseMove, math::Vector3(1, 2, 3)));
    EXPECT_TRUE(smtest::Db().SendMsgString(30, MSG_ButtonPressed, "Start"));
    EXPECT_FALSE(smtest::Db().SendMsg(31, MSG_OpenMenu));

    const std::vector<Message>& got = target.machine->m_messages;
    ASSERT_EQ(4u, got.size());
    for (const Message& message : got)
    {
        EXPECT_EQ(Database::kDatabaseSenderId, message.GetSender());
        EXPECT_EQ(30u, message.GetReceiver());
        EXPECT_EQ(0u, message.GetScope());
        EXPECT_FALSE(message.IsDelivered());
    }
    EXPECT_EQ(MSG_DATA_NONE, got[0].GetData().GetType());
    EXPECT_EQ(MSG_DATA_INT, got[1].GetData().GetType());
    EXPECT_EQ(-4, got[1].GetInt());
    EXPECT_EQ(MSG_DATA_VECTOR3, got[2].GetData().GetType());
    EXPECT_EQ(3.0f, got[2].GetVector3().z);
    EXPECT_EQ(MSG_DATA_STRING, got[3].GetData().GetType());
    EXPECT_EQ("Start", got[3].GetString());

    // The receiver's answer is the result: a message nobody handles gives false.
    Taker deaf(&m_log, 32, "Deaf", 0);
    EXPECT_FALSE(smtest::Db().SendMsg(32, MSG_OpenMenu));
    // So does an object without a machine.
    FakeTaker empty(33, "Empty");
    EXPECT_FALSE(smtest::Db().SendMsg(33, MSG_OpenMenu));
}

TEST_F(DatabaseTest, BroadcastGoesUpByDepthAndStopsAtTheFirstTaker)
{
    // Stored out of order; equal depths keep the order they were stored in.
    Taker c(&m_log, 43, "C", 10);
    Taker a(&m_log, 41, "A", ACMsgTaker::kNoDepth);
    Taker d(&m_log, 44, "D", 10, [](const Message& m) { return m.GetInputEvent().code == 238; });
    Taker b(&m_log, 42, "B", -5);
    Taker e(&m_log, 45, "E", 20, TakesAll);
    m_log.clear();

    dorvo::input::InputEvent click;
    click.code = 238;
    click.value = 1;
    click.timeStamp = 1234;
    click.sequence = 7;
    EXPECT_TRUE(smtest::Db().BroadcastInputMsg(MSG_Pressed, click));
    EXPECT_EQ((Log{"A", "B", "C", "D"}), Deliveries());
    const Message& taken = d.machine->m_messages.back();
    EXPECT_EQ(MSG_Pressed, taken.GetName());
    EXPECT_EQ(44u, taken.GetReceiver());
    EXPECT_EQ(MSG_DATA_INPUT, taken.GetData().GetType());
    EXPECT_EQ(1, taken.GetInputEvent().value);
    EXPECT_EQ(1234u, taken.GetInputEvent().timeStamp);
    EXPECT_EQ(7u, taken.GetInputEvent().sequence);

    m_log.clear();
    click.code = 30;
    EXPECT_TRUE(smtest::Db().BroadcastMsgVector3(MSG_MouseMove, math::Vector3(1, 1, 0)));
    EXPECT_EQ((Log{"A", "B", "C", "D", "E"}), Deliveries());
    EXPECT_EQ(MSG_DATA_VECTOR3, e.machine->m_messages.back().GetData().GetType());
}

TEST_F(DatabaseTest, EachStoreSortsByTheDepthsOfThatMoment)
{
    // A menu's 2D component may initialise after its state-machine component, so its depth is
    // only known by the time the next object is stored.
    Taker late(&m_log, 48, "Late", ACMsgTaker::kNoDepth);
    Taker mid(&m_log, 49, "Mid", 10);
    late.taker.SetDepth(20);
    Taker front(&m_log, 50, "Front", 0);
    ASSERT_EQ(3u, smtest::Db().GetCount());
    EXPECT_EQ(&front.taker, smtest::Db().GetEntry(0));
    EXPECT_EQ(&mid.taker, smtest::Db().GetEntry(1));
    EXPECT_EQ(&late.taker, smtest::Db().GetEntry(2));
}

TEST_F(DatabaseTest, BroadcastNobodyTakesIsFalse)
{
    Taker a(&m_log, 46, "A", 1);
    Taker b(&m_log, 47, "B", 2);
    dorvo::input::InputEvent key;
    key.code = 1;
    EXPECT_FALSE(smtest::Db().BroadcastInputMsg(MSG_UnPressed, key));
    EXPECT_EQ((Log{"A", "B"}), Deliveries());
}

TEST_F(DatabaseTest, BroadcastSurvivesObjectsComingAndGoingInHandlers)
{
    auto late = std::make_unique<Taker>(&m_log, 53, "Late", 30, TakesAll);
    std::unique_ptr<Taker> born;
    Taker first(&m_log, 51, "First", 10);
    Taker killer(&m_log, 52, "Killer", 20,
                 [&](const Message&)
                 {
                     if (born)
                     {
                         return false;
                     }
                     // Destroys a later object, creates a new one that sorts before it, sends to another.
                     late.reset();
                     born = std::make_unique<Taker>(&m_log, 54, "Born", 25, TakesAll);
                     smtest::Db().SendMsg(51, MSG_Reset);
                     return false;
                 });
    m_log.clear();

    dorvo::input::InputEvent key;
    key.code = 57;
    EXPECT_FALSE(smtest::Db().BroadcastInputMsg(MSG_Pressed, key));
    EXPECT_EQ((Log{"First", "Killer", "First"}), Deliveries());
    EXPECT_EQ(nullptr, smtest::Db().FindById(53));

    m_log.clear();
    EXPECT_TRUE(smtest::Db().BroadcastInputMsg(MSG_Pressed, key));
    EXPECT_EQ((Log{"First", "Killer", "Born"}), Deliveries()) << ::testing::PrintToString(m_log);
}
