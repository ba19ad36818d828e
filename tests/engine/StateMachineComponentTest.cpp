#include "engine/StateMachineComponent.h"

#include "EngineTestComps.h"
#include "TestSupport.h"

#include "common/Singleton.h"
#include "engine/GobComposite.h"
#include "platform/win32.h"
#include "statemachine/Database.h"
#include "statemachine/Message.h"
#include "statemachine/MsgClock.h"
#include "statemachine/MsgRouter.h"
#include "statemachine/StateMachine.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>
#include <vector>

namespace
{
Database& Db()
{
    return *common::Singleton<Database>::Instance();
}
MsgRouter& Router()
{
    return *common::Singleton<MsgRouter>::Instance();
}

// Stands in for the 2D component: answers "GetCompDepth" with its depth.
class DepthComp : public ComponentBase<DepthComp>
{
public:
    int m_Depth = 0;
    bool Serialize(TiXmlNode*) override { return false; }
    bool Deserialize(const TiXmlNode*) override { return false; }
    int GetCompDepth() { return m_Depth; }
    static void RegisterFunctions(GobController* controller)
    {
        controller->RegisterComponentFunction(
            "GetCompDepth", Loki::NewObjFunctor(&DepthComp::GetCompDepth).release(), StaticTypeID());
    }
};

// Logs "<tag>:<event> <state>" for every event in a state as a whole; takes MSG_Pressed when
// `takeInput` is set. MSG_OpenMenu moves it to state 1 and MSG_CloseMenu asks for a pop of the
// machine list.
class MenuMachine : public StateMachine
{
public:
    MenuMachine(ACMsgTaker* owner, std::vector<std::string>* log, std::string tag, bool takeInput = false)
        : StateMachine(owner), m_log(log), m_tag(std::move(tag)), m_takeInput(takeInput)
    {
    }

protected:
    bool HandleStateEvent(std::uint32_t event, const Message* message, int state, int substate) override
    {
        if (state < 0 || substate >= 0)
        {
            return false;
        }
        static const char* const kEvents[] = {"?", "update", "msg", "fwd", "enter", "exit"};
        if (event != EVENT_Update)
        {
            m_log->push_back(m_tag + ":" + kEvents[event] + " " + std::to_string(state));
        }
        if (event != EVENT_Message)
        {
            return true;
        }
        switch (message->GetName())
        {
        case MSG_OpenMenu:
            ChangeState(1);
            return true;
        case MSG_CloseMenu:
            GetOwner()->RequestStateMachineChange(ACMsgTaker::SMC_Pop);
            return true;
        case MSG_Pressed:
            return m_takeInput;
        default:
            return false;
        }
    }

private:
    std::vector<std::string>* m_log;
    std::string m_tag;
    bool m_takeInput;
};

StateMachineComponent* SMComp(Gob* gob)
{
    return gob ? static_cast<StateMachineComponent*>(gob->GetComponent(StateMachineComponent::StaticTypeID()))
               : nullptr;
}

class StateMachineComponentTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        enginetest::RegisterTestComponents();
        RegisterComponentType<DepthComp>("DepthComp");
        StateMachineComponent::RegisterType();
        manager.DestroyAllGobs();
        Router().PurgeAll();
        enginetest::WriteTemplate("SMPlain.xml", "SMPlain", "SMPlain", {"StateMachineComponent"});
        enginetest::WriteTemplate("SM2D.xml", "SM2D", "SM2D", {"DepthComp", "StateMachineComponent"});
        manager.LoadTemplate("SMPlain.xml");
        manager.LoadTemplate("SM2D.xml");
    }
    void TearDown() override
    {
        manager.DestroyAllGobs();
        Router().PurgeAll();
    }

    Gob* Make(const std::string& type, const std::string& name)
    {
        Gob* gob = manager.CreateFromTemplate(type);
        gob->SetName(name);
        gob->Init();
        return gob;
    }
    Gob* Make2D(const std::string& name, int depth)
    {
        Gob* gob = manager.CreateFromTemplate("SM2D");
        gob->SetName(name);
        static_cast<DepthComp*>(gob->GetComponent(DepthComp::StaticTypeID()))->m_Depth = depth;
        gob->Init();
        return gob;
    }

    testsupport::TempWorkDir dir;
    GobManager& manager = GobManager::Instance();
    std::vector<std::string> log;
};
} // namespace

TEST_F(StateMachineComponentTest, RegisteredTypeIsBuiltFromTemplatesAndJoinsTheDatabase)
{
    EXPECT_EQ("StateMachineComponent", StateMachineComponent::StaticTypeName());
    EXPECT_EQ(HashName("StateMachineComponent"), StateMachineComponent::StaticTypeID());

    Gob* menu = Make("SMPlain", "MainMenu");
    StateMachineComponent* comp = SMComp(menu);
    ASSERT_NE(nullptr, comp);
    EXPECT_EQ(0u, comp->GetMachineType());
    EXPECT_EQ(menu->GetID(), comp->GetObjectId());
    EXPECT_EQ(comp, Db().FindById(menu->GetID()));
    EXPECT_EQ(menu->GetID(), Db().FindIdByName("MainMenu"));
    EXPECT_EQ(ACMsgTaker::kNoDepth, comp->GetDepth());

    const std::uint32_t id = menu->GetID();
    manager.KillGob(menu);
    manager.ProcessKillList();
    EXPECT_EQ(nullptr, Db().FindById(id));
    EXPECT_EQ(0u, Db().FindIdByName("MainMenu"));
}

TEST_F(StateMachineComponentTest, InputBroadcastFollowsTheDrawingDepth)
{
    Gob* front = Make2D("Front", 50);
    Gob* plain = Make("SMPlain", "Plain");
    Gob* back = Make2D("Back", 3);
    Gob* taker = Make2D("Taker", 40);
    SMComp(front)->AddStateMachine(new MenuMachine(SMComp(front), &log, "Front"));
    SMComp(plain)->AddStateMachine(new MenuMachine(SMComp(plain), &log, "Plain"));
    SMComp(back)->AddStateMachine(new MenuMachine(SMComp(back), &log, "Back"));
    SMComp(taker)->AddStateMachine(new MenuMachine(SMComp(taker), &log, "Taker", true));
    EXPECT_EQ(3, SMComp(back)->GetDepth());
    log.clear();

    dorvo::input::InputEvent click;
    click.code = dorvo::input::MOUSE_BUTTON_0;
    click.value = 1;
    EXPECT_TRUE(Db().BroadcastInputMsg(MSG_Pressed, click));
    EXPECT_EQ((std::vector<std::string>{"Plain:msg 0", "Back:msg 0", "Taker:msg 0"}), log);
}

TEST_F(StateMachineComponentTest, SavesAndReadsItsMachineType)
{
    StateMachineComponent::RegisterType();
    StateMachineComponent original(7);
    TiXmlElement parent("Gob");
    ASSERT_TRUE(original.Serialize(&parent));
    const TiXmlElement* element = parent.FirstChildElement("Component");
    ASSERT_NE(nullptr, element);
    EXPECT_STREQ("StateMachineComponent", element->Attribute("name"));
    const TiXmlElement* type = element->FirstChildElement();
    ASSERT_NE(nullptr, type);
    EXPECT_EQ("uint", type->ValueStr());
    EXPECT_STREQ("Type", type->Attribute("name"));
    EXPECT_STREQ("7", type->GetText());

    StateMachineComponent copy;
    EXPECT_TRUE(copy.Deserialize(element));
    EXPECT_EQ(7u, copy.GetMachineType());
    EXPECT_FALSE(copy.Serialize(nullptr));
    EXPECT_FALSE(copy.Deserialize(nullptr));
    TiXmlElement empty("Component");
    EXPECT_FALSE(copy.Deserialize(&empty));
    EXPECT_EQ(7u, copy.GetMachineType());
}

TEST_F(StateMachineComponentTest, UninitialisedOrRefusedComponentLeavesTheDatabaseAlone)
{
    Gob* menu = Make("SMPlain", "Menu");
    {
        StateMachineComponent loose; // never added to an object
    }
    EXPECT_EQ(SMComp(menu), Db().FindById(menu->GetID()));

    // A second component for the same object is refused and must not take the first one out.
    testsupport::AssertCapture capture;
    {
        StateMachineComponent second;
        second.Initialize(menu);
        EXPECT_FALSE(second.IsStored());
    }
    EXPECT_EQ((std::vector<std::string>{"Database::Store - Object ID already represented in database."}),
              capture.Texts());
    EXPECT_EQ(SMComp(menu), Db().FindById(menu->GetID()));
    EXPECT_TRUE(SMComp(menu)->IsStored());
}

TEST_F(StateMachineComponentTest, MachinesPushedAndPoppedAcrossFrames)
{
    Gob* menu = Make("SMPlain", "OptionsMenu");
    StateMachineComponent* comp = SMComp(menu);
    comp->AddStateMachine(new MenuMachine(comp, &log, "Base"));
    comp->AddStateMachine(new MenuMachine(comp, &log, "Dialog"));
    log.clear();

    // A message by name reaches the active machine, which changes state after its handler.
    const std::uint32_t id = Db().FindIdByName("OptionsMenu");
    EXPECT_TRUE(Db().SendMsg(id, MSG_OpenMenu));
    EXPECT_EQ((std::vector<std::string>{"Dialog:msg 0", "Dialog:exit 0", "Dialog:enter 1"}), log);
    log.clear();

    // The pop asked for in a handler waits for the object's next update.
    EXPECT_TRUE(Db().SendMsg(id, MSG_CloseMenu));
    EXPECT_EQ(2u, comp->GetStateMachineCount());
    manager.Update(1.0f / 30.0f);
    EXPECT_EQ(1u, comp->GetStateMachineCount());
    EXPECT_EQ((std::vector<std::string>{"Dialog:msg 1", "Base:enter 0"}), log);

    // A push while one machine is there makes the new one active at once.
    log.clear();
    comp->RequestStateMachineChange(ACMsgTaker::SMC_Push, new MenuMachine(comp, &log, "Pushed"));
    manager.Update(1.0f / 30.0f);
    EXPECT_EQ((std::vector<std::string>{"Pushed:enter 0"}), log);
    EXPECT_EQ(2u, comp->GetStateMachineCount());
}

TEST_F(StateMachineComponentTest, DelayedMessagesReachObjectsOnTheFrameClock)
{
    Gob* menu = Make("SMPlain", "ScoreMenu");
    StateMachineComponent* comp = SMComp(menu);
    auto* machine = new MenuMachine(comp, &log, "Score");
    comp->AddStateMachine(machine);
    log.clear();
    MsgClock& clock = *common::Singleton<MsgClock>::Instance();
    clock.Update();

    machine->SendDelayedMsgToSelf(0.5f, MSG_OpenMenu, MSG_SCOPE_STATE);
    plat::testclock::Advance(0.501);
    clock.Update();
    Router().DeliverDelayedMessages();
    EXPECT_EQ((std::vector<std::string>{"Score:msg 0", "Score:exit 0", "Score:enter 1"}), log);

    // Messages to an object that died in the meantime are dropped when due.
    machine->SendDelayedMsgToSelf(0.5f, MSG_Reset);
    manager.KillGob(menu);
    manager.ProcessKillList();
    plat::testclock::Advance(0.501);
    clock.Update();
    Router().DeliverDelayedMessages();
    EXPECT_EQ(0u, Router().GetQueuedCount());
}
