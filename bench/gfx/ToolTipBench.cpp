// The tool tip's search (ToolTipMenu::FindToolTip), which runs on every frame in which the
// cursor rests without a tip: the real game booted headless with all its menus (the menu test
// world, so 29 2D components: the console window and the 28 menus), the main menu, the help tab
// and the editor bars open over a puzzle being built, and the cursor at rest where no unit has a
// tip, so the search walks every unit of every component. Goal: under 0.5 ms.
#include "MenuTestWorld.h"

#include "common/Singleton.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/sprites/CSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/menus/ToolTipMenu.h"
#include "statemachine/ACMsgTaker.h"
#include "statemachine/Database.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace
{
QUORB::ToolTipMenu* TipMenu()
{
    Database* database = common::Singleton<Database>::Instance();
    ACMsgTaker* taker = database->FindById(database->FindIdByName("ToolTipMenu"));
    return taker ? dynamic_cast<QUORB::ToolTipMenu*>(taker->GetActiveStateMachine()) : nullptr;
}

void BM_ToolTipSearchHeadless(benchmark::State& state)
{
    ::setenv("DORVO_HEADLESS", "1", 1);
    gametest::MenuTestWorld world;
    QUORB::ToolTipMenu* tips = world.Booted() ? TipMenu() : nullptr;
    if (!tips)
    {
        state.SkipWithError("the game did not boot with its tool tip");
        return;
    }
    world.Step(2);
    world.Console("togglecm");
    world.Console("toggleeditor");
    for (const char* menu : {"MainMenu", "HelpMenu", "WidgetChoiceBarMenu", "BudgetMenu", "StartPuzzleMenu"})
        world.Send(menu, MSG_OpenMenu);
    world.RunFor(1.5);
    world.MoveCursor(795, 200);
    world.Step();

    const auto& components = dorvo::gfx::CDorvoGfx::Instance().Get2DComps();
    std::size_t units = 0;
    for (const auto& entry : components)
    {
        std::vector<dorvo::gfx::IScreenUnit*> collected;
        entry.second->CollectUnits(collected);
        units += collected.size();
    }
    std::string found;
    for (auto _ : state)
    {
        found = tips->FindToolTip();
        benchmark::DoNotOptimize(found);
    }
    if (!found.empty())
    {
        const dorvo::gfx::CSprite* sprite = tips->GetTipSprite();
        const std::string where = sprite ? " at " + std::to_string(sprite->GetAbsoluteX()) + ", " +
                                               std::to_string(sprite->GetAbsoluteY()) + " (" +
                                               sprite->GetName() + ")"
                                         : std::string();
        state.SkipWithError(("the cursor rests on a tip: " + found + where).c_str());
    }
    state.counters["components"] = static_cast<double>(components.size());
    state.counters["units"] = static_cast<double>(units);
}
} // namespace

// One boot of the game: a fixed count of searches in one run.
BENCHMARK(BM_ToolTipSearchHeadless)->Unit(benchmark::kMillisecond)->Iterations(3000);
