// What loading a puzzle costs, the frame in which a room is loaded: the real game booted headless
// (the game test world), a room whose front puzzle describes N objects of one kind laid out on a
// grid over the front face, loaded again and again through "loadroom" (the frame after each load,
// which removes the objects of the load before, is not timed). Arguments: the kind
// (0 hard nodes, 1 platforms, 2 star objects) and N. Goal: a player's puzzle of a few hundred
// objects loads within one frame (33 ms); a puzzle file holds at most CPuzzle::kMaxObjects.
#include "GameTestWorld.h"

#include "game/app/CQUORB.h"
#include "game/room/CPuzzle.h"
#include "game/room/CRoom.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace
{
const char* const kKinds[] = {"HardNode", "Platform", "QUORBBall"};

std::string Float(const char* name, float value)
{
    return std::string("<float name=\"") + name + "\">" + std::to_string(value) + "</float>";
}

std::string Description(const char* role, const char* archetype, float x, float y)
{
    return std::string("<GobDescription name=\"") + role + "\"><string name=\"Archetype\">" + archetype +
           "</string><Vector name=\"Position\">" + Float("x", x) + Float("y", y) + Float("z", 20.0f) +
           "</Vector><Quat name=\"Orientation\">" + Float("x", 0) + Float("y", 0) + Float("z", 0) +
           Float("w", 1) + "</Quat><Vector name=\"Scale\">" + Float("x", 1) + Float("y", 1) + Float("z", 1) +
           "</Vector><bool name=\"HasWidgetData\">false</bool><bool name=\"HasObjective\">false</bool>"
           "</GobDescription>";
}

// N objects of the kind, in rows of 40 half a unit apart (platforms a unit and a half apart).
std::string PuzzleFile(int kind, int count)
{
    const bool widget = kind != 2;
    const float step = kind == 1 ? 1.5f : 0.5f;
    std::string objects;
    for (int i = 0; i < count; ++i)
        objects += Description(widget ? "WidgetDescription" : "QuorbDescription", kKinds[kind],
                               -10.0f + step * static_cast<float>(i % 40),
                               -9.0f + step * static_cast<float>(i / 40));
    const std::string none = "<uint name=\"NumObjectives\">0</uint>";
    const std::string quorbs = "<uint name=\"NumQuorbs\">" + std::to_string(widget ? 0 : count) + "</uint>" +
                               (widget ? "" : objects);
    const std::string widgets = "<uint name=\"NumWidgets\">" + std::to_string(widget ? count : 0) +
                                "</uint>" + (widget ? objects : "");
    return "<?xml version=\"1.0\" ?>\n<File><Puzzle><int name=\"TotalBudget\">10</int><int "
           "name=\"AvailableWidgets\">31</int>" +
           none + quorbs + widgets + "</Puzzle></File>\n";
}

void BM_PuzzleLoadHeadless(benchmark::State& state)
{
    ::setenv("DORVO_HEADLESS", "1", 1);
    const int kind = static_cast<int>(state.range(0));
    const int count = static_cast<int>(state.range(1));
    gametest::GameTestSetup setup;
    setup.copyRooms = true;
    setup.files["files/puzzles/Big_Puzzle_0.xml"] = PuzzleFile(kind, count);
    setup.files["files/rooms/Big.xml"] =
        "<?xml version=\"1.0\" ?>\n<File><RoomData><string name=\"Name\"></string>"
        "<list name=\"Puzzles\" size=\"1\"><string name=\"PuzzleName\">"
        "Big_Puzzle_0.xml</string></list></RoomData></File>\n";
    gametest::GameTestWorld world(setup);
    if (!world.Booted())
    {
        state.SkipWithError("the game did not boot");
        return;
    }
    world.Frames(2);
    std::size_t built = 0;
    for (auto _ : state)
    {
        world.Console("loadroom Big.xml false");
        // The frame that removes the last load's objects is not the load's.
        state.PauseTiming();
        const QUORB::CPuzzle* puzzle = world.Game().GetRoom()->GetPuzzle(0);
        built = puzzle != nullptr ? puzzle->GetWidgetIDs().size() + puzzle->GetQuorbIDs().size() : 0;
        world.Frame();
        state.ResumeTiming();
    }
    state.counters["objects"] = static_cast<double>(built);
}
} // namespace

BENCHMARK(BM_PuzzleLoadHeadless)
    ->ArgNames({"kind", "objects"})
    ->ArgsProduct({{0, 1, 2}, {100, 300, 1000}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
