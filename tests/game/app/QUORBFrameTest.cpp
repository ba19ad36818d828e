// The game's start-up and frame tie the engine's parts together: console commands, component
// types and templates are there after Init, objects made from a template land in the oct tree,
// keys reach message-taking objects before anything else, and killed objects go at the next frame.
#include "game/app/CQUORBApp.h"

#include "GameTestWorld.h"
#include "TestSupport.h"
#include "common/COctTree.h"
#include "common/ConsoleInterface.h"
#include "common/FunctionFlags.h"
#include "common/FunctionRegistry.h"
#include "engine/CDorvoApp.h"
#include "engine/CPicker.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/StateMachineComponent.h"
#include "game/app/CEngineLoader.h"
#include "game/app/CQUORB.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"
#include "platform/input_feed.h"
#include "platform/win32.h"
#include "statemachine/Message.h"
#include "statemachine/StateMachine.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
// Takes every key press it is offered and remembers the codes.
class KeyTaker : public StateMachine
{
public:
    KeyTaker(ACMsgTaker* owner, std::vector<std::uint32_t>* codes) : StateMachine(owner), m_codes(codes) {}

protected:
    bool HandleStateEvent(std::uint32_t event, const Message* message, int, int) override
    {
        if (event != EVENT_Message || !message || message->GetName() != MSG_Pressed)
            return false;
        m_codes->push_back(message->GetInputEvent().code);
        return true;
    }

private:
    std::vector<std::uint32_t>* m_codes;
};

class QUORBFrameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        plat::headless::Reset();
        plat::inputfeed::Reset();
        plat::testclock::Set(1.0);
        plat::testclock::SetAutoAdvance(0.0001);
        g_pApp = new QUORB::CQUORBApp();
        QUORB::CEngineLoader loader;
        ASSERT_TRUE(
            g_pApp->Init(loader, testsupport::RepoPath("data/files/xmlfiles/dorvo_engine_config.xml")));
    }
    void TearDown() override
    {
        if (g_pApp)
        {
            EXPECT_EQ(g_pApp->Shutdown(), 0);
            delete g_pApp;
            g_pApp = nullptr;
        }
        plat::DXUTShutdown(0);
        plat::testclock::SetAutoAdvance(0.0);
    }
};
} // namespace

TEST_F(QUORBFrameTest, StartUpRegistersCommandsTemplatesAndThePicker)
{
    FunctionRegistry& commands = common::ConsoleInterface::Instance().GetCommands();
    for (const char* name : {"commands", "TestScheduler", "NumberOfGobs", "CreateGob", "CreateGobAtPos"})
    {
        SCOPED_TRACE(name);
        EXPECT_NE(commands.FindFunction(name), nullptr);
    }
    EXPECT_NE(g_pApp->GetPicker(), nullptr);
    EXPECT_EQ(GobManager::Instance().GetCount(), 0u) << "start-up makes no object yet";
    EXPECT_NE(common::COctTree::Global().GetRoot(), nullptr) << "the oct tree is built before any object";
}

// In the game's own world (its scripts and templates): an object made from the console takes keys
// first and goes the frame after its kill.
TEST(QUORBFrame, ConsoleMadeObjectTakesKeysFirstAndIsGoneTheFrameAfterItsKill)
{
    gametest::GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(2); // the room is made on the first frame
    const std::uint32_t objects = GobManager::Instance().GetCount();
    const std::size_t filed = common::COctTree::Global().GetObjectCount();
    const std::uint32_t id = GobManager::Instance().GetNextID();
    world.Console("CreateGob Manipulator");
    ASSERT_EQ(GobManager::Instance().GetCount(), objects + 1);
    Gob* gob = GobManager::Instance().GetGob(id);
    ASSERT_NE(gob, nullptr);
    EXPECT_EQ(common::COctTree::Global().GetObjectCount(), filed + 1)
        << "its position is filed in the oct tree";

    auto* machines =
        dynamic_cast<StateMachineComponent*>(gob->GetComponent(StateMachineComponent::StaticTypeID()));
    ASSERT_NE(machines, nullptr);
    std::vector<std::uint32_t> codes;
    machines->AddStateMachine(new KeyTaker(machines, &codes));

    world.Key(57); // Space down and up: nobody takes the release
    EXPECT_EQ(codes, (std::vector<std::uint32_t>{57}));

    GobManager::Instance().KillGobByID(id);
    EXPECT_EQ(GobManager::Instance().GetCount(), objects + 1) << "a killed object lives until the next frame";
    world.Frame();
    EXPECT_EQ(GobManager::Instance().GetCount(), objects);
    EXPECT_EQ(common::COctTree::Global().GetObjectCount(), filed);
}
