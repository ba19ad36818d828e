#include "common/FunctionRegistry.h"

#include "common/ConsoleInterface.h"
#include "common/ParamStack.h"
#include "common/loki/Functor.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
// Reads the lines the registry shows on the console. The console is the process's one
// instance; its log goes into a temporary folder that outlives it.
class FunctionRegistryTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { static testsupport::TempWorkDir logDir; }
    void SetUp() override { common::ConsoleInterface::Instance().ClearOutput(); }

    static std::vector<std::string> Shown()
    {
        const auto& lines = common::ConsoleInterface::Instance().GetOutputLines();
        return std::vector<std::string>(lines.begin(), lines.end());
    }

    FunctionRegistry m_Registry;
};

struct Game
{
    void Play() { ++plays; }
    int Add(int a, int b) { return a + b; }
    int plays = 0;
};

struct Counter
{
    unsigned Get() const { return value; }
    unsigned value = 0;
};
} // namespace

TEST(ToLowerCopy, LowersOnlyAsciiCapitals)
{
    EXPECT_EQ(ToLowerCopy("PlAy_Z[@\xC9"), "play_z[@\xC9");
}

TEST_F(FunctionRegistryTest, ReportsMissingMismatchingAndSuccessfulCalls)
{
    Game game;
    m_Registry.RegisterFunction("Play", Loki::NewFunctor(&game, &Game::Play));

    m_Registry.Call("Stop", nullptr, true);
    ParamStack one(1u);
    EXPECT_FALSE(m_Registry.Call("PLAY", &one, true));
    EXPECT_EQ(game.plays, 0);
    ParamStack empty;
    EXPECT_TRUE(m_Registry.Call("pLaY", &empty, true));
    EXPECT_EQ(game.plays, 1);

    EXPECT_EQ(Shown(), (std::vector<std::string>{
                           ">Function: Stop does not exist.",
                           ">Function: PLAY parameter list does not match function prototype.",
                           ">Function: pLaY called successfully.",
                       }));
    // A mismatch leaves the stack as it was.
    EXPECT_EQ(one.GetSignature(), 0xCFu);
}

TEST_F(FunctionRegistryTest, WithoutReportNothingIsShown)
{
    Game game;
    m_Registry.RegisterFunction("Play", Loki::NewFunctor(&game, &Game::Play));
    ParamStack one(1u);
    m_Registry.Call("nothing", nullptr, false);
    m_Registry.Call("play", &one, false);
    m_Registry.Call("play", nullptr, false); // no stack: called with no arguments
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(game.plays, 1);
}

TEST_F(FunctionRegistryTest, CallLeavesTheResultOnTheCallersStack)
{
    Game game;
    m_Registry.RegisterFunction("Add", Loki::NewFunctor(&game, &Game::Add));
    ParamStack stack;
    stack.Push(2);
    stack.Push(40);
    m_Registry.Call("add", &stack, false);
    int sum = 0;
    stack.Pop(sum);
    EXPECT_EQ(sum, 42);
    EXPECT_TRUE(stack.IsEmpty());
}

TEST_F(FunctionRegistryTest, ACallWithTheCallersStackTakesNoFurtherPage)
{
    // With every page in use, a call must not need one more (which would assert).
    unsigned freeDuringCall = 1000;
    m_Registry.RegisterFunction("Count",
                                new Loki::Functor<>([&] { freeDuringCall = ParamStack::FreePageCount(); }));
    ParamStack stack;
    const unsigned freeBefore = ParamStack::FreePageCount();
    EXPECT_TRUE(m_Registry.Call("count", &stack, false));
    EXPECT_EQ(freeDuringCall, freeBefore);
    // Without a stack the call borrows one page for the empty argument list, and gives it back.
    EXPECT_TRUE(m_Registry.Call("count", nullptr, false));
    EXPECT_EQ(freeDuringCall, freeBefore - 1);
    EXPECT_EQ(ParamStack::FreePageCount(), freeBefore);
}

TEST_F(FunctionRegistryTest, OverflowedStackIsRefusedAsAMismatch)
{
    testsupport::AssertCapture capture;
    std::vector<int> seen;
    m_Registry.RegisterFunction(
        "Eight", std::make_unique<Loki::Functor<void, Loki::Seq<int, int, int, int, int, int, int, int>>>(
                     [&seen](int a, int, int, int, int, int, int, int h) {
                         seen = {a, h};
                     }));
    ParamStack stack;
    for (int i = 0; i < 9; ++i)
        stack.Push(i);
    // The eight values that fit have the function's exact signature; the lost ninth must still refuse it.
    EXPECT_EQ(stack.GetSignature(), m_Registry.FindFunction("eight")->GetSignature());
    m_Registry.Call("Eight", &stack, true);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(Shown(),
              std::vector<std::string>{">Function: Eight parameter list does not match function prototype."});
}

TEST_F(FunctionRegistryTest, CallOnObjectSuppliesTheObject)
{
    Counter a;
    Counter b;
    b.value = 9;
    m_Registry.RegisterFunction("Value", Loki::NewObjFunctor(&Counter::Get));
    ParamStack stack;
    EXPECT_TRUE(m_Registry.CallOnObject("value", &b, &stack, true));
    unsigned result = 0;
    stack.Pop(result);
    EXPECT_EQ(result, 9u);
    m_Registry.CallOnObject("Missing", &a, &stack, true);
    EXPECT_EQ(Shown(), (std::vector<std::string>{">Function: value called successfully.",
                                                 ">Function: Missing does not exist."}));
}

TEST_F(FunctionRegistryTest, FirstRegistrationStaysAndTheRefusedFunctorIsFreed)
{
    auto token = std::make_shared<int>(0);
    int calls = 0;
    EXPECT_TRUE(m_Registry.RegisterFunction("Play", new Loki::Functor<>([&calls] { calls += 1; })));
    Loki::BaseFunctor* first = m_Registry.FindFunction("PLAY");
    EXPECT_FALSE(m_Registry.RegisterFunction("PLAY", new Loki::Functor<>([&calls, token] { calls += 100; })));
    EXPECT_EQ(token.use_count(), 1); // the refused functor, and its copy of the token, are gone
    EXPECT_EQ(m_Registry.FindFunction("play"), first);
    // Registering the held functor again must not free it.
    EXPECT_FALSE(m_Registry.RegisterFunction("play", first));
    EXPECT_EQ(m_Registry.GetCount(), 1u);
    m_Registry.Call("Play", nullptr, false);
    EXPECT_EQ(calls, 1);
}

TEST_F(FunctionRegistryTest, DestroyingTheRegistryFreesItsFunctors)
{
    auto token = std::make_shared<int>(0);
    {
        FunctionRegistry registry;
        registry.RegisterFunction("a", new Loki::Functor<>([token] {}));
        registry.RegisterFunction("b", new Loki::Functor<>([token] {}));
        EXPECT_EQ(token.use_count(), 3);
    }
    EXPECT_EQ(token.use_count(), 1);
}
