// The whole game on the headless device with its start-up script: "InitGame.lua" builds the
// console window through "CreateConsole", keys typed through the input devices open it and run
// a command whose output shows in it, and each frame hands the 2D units to graphics.
#include "game/app/CQUORBApp.h"

#include "GameTestWorld.h"

#include "LogCapture.h"
#include "TestSupport.h"
#include "common/ConsoleInterface.h"
#include "common/LuaUtil.h"
#include "engine/CDorvoApp.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/StateMachineComponent.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/gui/CGuiManager.h"
#include "engine/gfx/gui/SMConsoleGraphics.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/app/CEngineLoader.h"
#include "game/app/CQUORB.h"
#include "platform/device_debug.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"
#include "platform/input_feed.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using dorvo::gfx::Gfx2DComp;
using dorvo::gfx::SMConsoleGraphics;

namespace
{
constexpr std::uint32_t kGrave = 41;
constexpr std::uint32_t kTab = 15;
constexpr std::uint32_t kEnter = 28;

// The game in a test world of its own, with the committed "InitGame.lua".
class QUORBConsoleTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_world = std::make_unique<gametest::GameTestWorld>();
        ASSERT_TRUE(m_world->Booted());
        game = &m_world->Game();
    }
    void TearDown() override { m_world.reset(); }

    void Frame()
    {
        plat::testclock::Advance(1.0 / 30.0);
        m_timeMs += 33;
        plat::DXUTRender3DEnvironment();
    }
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i)
            Frame();
    }
    // Down and up within one frame, as a quick typist does.
    void Press(std::uint32_t code)
    {
        plat::inputfeed::KeyChange(code, true, m_timeMs);
        plat::inputfeed::KeyChange(code, false, m_timeMs + 5);
        Frame();
    }
    void Type(const std::string& text) { m_world->Type(text); }

    Gob* Console() const { return GobManager::Instance().GetGob(game->GetConsoleId()); }
    Gfx2DComp* ConsoleComp() const
    {
        Gob* gob = Console();
        return gob ? dynamic_cast<Gfx2DComp*>(gob->GetComponent(Gfx2DComp::StaticTypeID())) : nullptr;
    }
    int ConsoleState() const
    {
        Gob* gob = Console();
        auto* machines = gob ? dynamic_cast<StateMachineComponent*>(
                                   gob->GetComponent(StateMachineComponent::StaticTypeID()))
                             : nullptr;
        return machines && machines->GetActiveStateMachine() ? machines->GetActiveStateMachine()->GetState()
                                                             : -1;
    }
    std::string Line(const char* name) const
    {
        const dorvo::gfx::CTextSprite* line = ConsoleComp() ? ConsoleComp()->GetTextSprite(name) : nullptr;
        return line ? line->GetText() : "(missing)";
    }

    QUORB::CQUORB* game = nullptr;
    plat::DWORD m_timeMs = 100;
    std::unique_ptr<gametest::GameTestWorld> m_world;
};
} // namespace

TEST_F(QUORBConsoleTest, TheStartUpScriptBuildsTheConsoleWindowOnA2DArchetypeObject)
{
    Gob* console = Console();
    ASSERT_NE(console, nullptr);
    EXPECT_EQ(console->GetArchetypeName(), "2DArchetype");
    auto* machines =
        dynamic_cast<StateMachineComponent*>(console->GetComponent(StateMachineComponent::StaticTypeID()));
    ASSERT_NE(machines, nullptr);
    EXPECT_NE(dynamic_cast<SMConsoleGraphics*>(machines->GetActiveStateMachine()), nullptr);
    EXPECT_EQ(dorvo::gfx::CDorvoGfx::Instance().Get2DComps().count(console->GetID()), 1u);
    ASSERT_NE(ConsoleComp(), nullptr);
    ASSERT_NE(ConsoleComp()->GetSprite("TextWindow"), nullptr);
    EXPECT_EQ(ConsoleComp()->GetSprite("TextWindow")->GetTextureWidth(), 512) << "the committed image loaded";
    EXPECT_EQ(ConsoleComp()->GetSprite("InputWindow")->GetTextureHeight(), 32);

    // A second call, and calls without the two names, build nothing and say why.
    const std::uint32_t objects = GobManager::Instance().GetCount();
    testsupport::LogCapture logged;
    std::FILE* script = std::fopen("Again.lua", "w");
    ASSERT_NE(script, nullptr);
    std::fputs("CreateConsole(\"ConsoleHistory.png\", \"ConsoleInput.png\")\n"
               "CreateConsole(\"ConsoleHistory.png\")\n"
               "CreateConsole(1, {})\n",
               script);
    std::fclose(script);
    LuaUtil::Instance().RunScript("Again.lua");
    std::filesystem::remove("Again.lua");
    const std::string err = logged.Text();
    EXPECT_NE(err.find("CreateConsole: the console window and the menus exist already"), std::string::npos)
        << err;
    std::size_t refusals = 0;
    for (std::size_t at = err.find("CreateConsole: expects"); at != std::string::npos;
         at = err.find("CreateConsole: expects", at + 1))
        ++refusals;
    EXPECT_EQ(refusals, 2u) << err;
    EXPECT_EQ(GobManager::Instance().GetCount(), objects) << "nothing more was built";
}

// The player's road: the grave accent slides the console down, "commands" and Enter run, the
// output shows with its newest line at the bottom; the grave accent closes it, Tab opens the
// input strip alone. Every frame draws the windows through the facade's one sprite batch.
TEST_F(QUORBConsoleTest, TheGraveAccentOpensTheConsoleAndATypedCommandShowsItsOutput)
{
    Frames(2);
    ASSERT_EQ(ConsoleState(), SMConsoleGraphics::CS_Closed);
    Press(kGrave);
    Frames(16);
    ASSERT_EQ(ConsoleState(), SMConsoleGraphics::CS_BothOpen);
    EXPECT_EQ(ConsoleComp()->GetSprite("TextWindow")->GetPositionY(), 0);

    common::ConsoleInterface::Instance().ClearOutput();
    Type("commands");
    Frame();
    EXPECT_EQ(Line("Input"), "commands|");
    Press(kEnter);
    Frame();
    EXPECT_EQ(Line("History 0"), ">commands");
    EXPECT_EQ(Line("History 1"), ">Function: commands called successfully.");
    EXPECT_EQ(Line("History 2").rfind(">togglewater - ", 0), 0u) << "the list, by name, ends above";
    EXPECT_EQ(Line("Input"), "|");

    plat::headless::ClearCallLog();
    plat::headless::SetCallLogging(true);
    Frame();
    plat::headless::SetCallLogging(false);
    unsigned batches = 0, panels = 0, lines = 0;
    for (const plat::devicedebug::LoggedCall& call : plat::headless::CallLog())
    {
        batches += call.kind == plat::devicedebug::CallKind::SpriteBegin ? 1 : 0;
        panels += call.kind == plat::devicedebug::CallKind::SpriteDraw &&
                          call.name.find("ConsoleHistory.png") != std::string::npos
                      ? 1
                      : 0;
        lines += call.kind == plat::devicedebug::CallKind::DrawText && call.text == L">commands" ? 1 : 0;
    }
    EXPECT_EQ(batches, 1u);
    EXPECT_EQ(panels, 1u);
    EXPECT_EQ(lines, 1u);

    Press(kGrave);
    Frames(16);
    EXPECT_EQ(ConsoleState(), SMConsoleGraphics::CS_Closed);
    EXPECT_EQ(ConsoleComp()->GetSprite("TextWindow")->GetPositionY(), -600);
    Press(kTab);
    Frames(16);
    EXPECT_EQ(ConsoleState(), SMConsoleGraphics::CS_InputOpen);
    EXPECT_EQ(ConsoleComp()->GetSprite("InputWindow")->GetPositionY(), 568);
    EXPECT_EQ(ConsoleComp()->GetSprite("TextWindow")->GetPositionY(), -600);
}

// A slow frame, as a player meets it at a few frames a second: the console's key pressed twice
// before the frame leaves the console closed; pressed once and followed by a command in the same
// frame, the console opens with the command typed; the keys typed go nowhere else.
TEST_F(QUORBConsoleTest, EveryConsoleKeyAndLetterTypedWithinOneFrameCounts)
{
    Frames(2);
    ASSERT_EQ(ConsoleState(), SMConsoleGraphics::CS_Closed);
    const auto typeKey = [this](std::uint32_t code, const char* text)
    {
        plat::inputfeed::KeyChange(code, true, m_timeMs);
        plat::inputfeed::Text(text, m_timeMs);
        plat::inputfeed::KeyChange(code, false, m_timeMs + 5);
        m_timeMs += 10;
    };
    typeKey(kGrave, "`");
    typeKey(kGrave, "`");
    Frame();
    Frames(16);
    EXPECT_EQ(ConsoleState(), SMConsoleGraphics::CS_Closed);
    EXPECT_EQ(ConsoleComp()->GetSprite("TextWindow")->GetPositionY(), -600);

    typeKey(kGrave, "`");
    const std::pair<std::uint32_t, const char*> letters[] = {{46, "c"}, {24, "o"}, {50, "m"}};
    for (const auto& letter : letters)
        typeKey(letter.first, letter.second);
    Frame();
    EXPECT_EQ(Line("Input"), "com|");
    Frames(16);
    EXPECT_EQ(ConsoleState(), SMConsoleGraphics::CS_BothOpen);
    EXPECT_EQ(common::ConsoleInterface::Instance().GetInputLine(), "com");
}

// The game's own units are updated with the frame's milliseconds and drawn with the rest.
TEST_F(QUORBConsoleTest, TheGamesGuiUnitsAreUpdatedAndDrawnEveryFrame)
{
    auto label = std::make_unique<dorvo::gfx::CTextSprite>();
    label->SetText("score 12");
    dorvo::gfx::CTextSprite* shown = label.get();
    ASSERT_TRUE(game->GetGuiManager().Add("Score", std::move(label)));
    Frame();
    const auto& units = game->GetGuiManager().GetUnits();
    EXPECT_NE(std::find(units.begin(), units.end(), shown), units.end());

    plat::headless::ClearCallLog();
    plat::headless::SetCallLogging(true);
    Frame();
    plat::headless::SetCallLogging(false);
    unsigned drawn = 0;
    for (const plat::devicedebug::LoggedCall& call : plat::headless::CallLog())
        drawn += call.kind == plat::devicedebug::CallKind::DrawText && call.text == L"score 12" ? 1 : 0;
    EXPECT_EQ(drawn, 1u);

    game->GetGuiManager().QueueRemoval("Score");
    Frame();
    const auto& left = game->GetGuiManager().GetUnits();
    EXPECT_EQ(std::find(left.begin(), left.end(), shown), left.end());
    EXPECT_NE(game->GetCursor(), nullptr) << "the cursor stays";
}
