// The menu test world inside a puzzle, for the tests of the puzzle menus (start, budget, timer,
// score): a seeded room "Road.xml" whose front puzzle the test gives is loaded and focused, its
// water drained below the floor, and Enter goes into the puzzle as the look-at menu's "Play
// Puzzle" does (editor on, the puzzle menus opened by message).
#pragma once

#include "MenuTestWorld.h"
#include "PuzzleFixtures.h"

#include "common/Singleton.h"
#include "common/math/Quad.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/phy/DynamicsEngine.h"
#include "game/app/CQUORB.h"
#include "game/room/CPuzzle.h"
#include "game/room/CRoom.h"
#include "statemachine/Database.h"

#include <memory>
#include <string>
#include <vector>

namespace puzzlemenutest
{
constexpr int kClosed = 1;
constexpr int kOpening = 2;
constexpr int kOpen = 3;
constexpr int kClosing = 4;

// The star falls from here onto the floor inside the location below it.
const math::Vector3 kStarStart(0.0f, -5.0f, 20.0f);
const math::Vector3 kLocation(0.0f, -9.0f, 20.0f);
// A location the star never reaches.
const math::Vector3 kFarLocation(12.0f, 8.0f, 20.0f);

inline std::string Location(const math::Vector3& at = kLocation)
{
    return puzzletest::DescriptionXml("ObjectiveDescription", "LocationObjective", at, 4.0f,
                                      puzzletest::LocationXml());
}

inline std::string Star(const math::Vector3& at = kStarStart)
{
    return puzzletest::DescriptionXml("QuorbDescription", "QUORBBall", at, 1.0f);
}

inline std::string TimeLimit(float seconds, const math::Vector3& at = math::Vector3(8.0f, 8.0f, 20.0f))
{
    return puzzletest::DescriptionXml("ObjectiveDescription", "TimerObjective", at, 1.0f,
                                      puzzletest::TimeLimitXml(seconds));
}

inline bool Send(const std::string& menu, MessageName name)
{
    Database* database = common::Singleton<Database>::Instance();
    return database->SendMsg(database->FindIdByName(menu), name);
}

inline bool Press(const std::string& menu, const std::string& ownName)
{
    Database* database = common::Singleton<Database>::Instance();
    return database->SendMsgString(database->FindIdByName(menu), MSG_ButtonPressed, ownName);
}

inline bool Paused()
{
    return dorvo::phy::DynamicsEngine::Instance().paused;
}

struct PuzzleMenuWorld
{
    explicit PuzzleMenuWorld(const puzzletest::PuzzleText& front, gametest::MenuTestSetup setup = {})
    {
        setup.files["files/puzzles/Road_Puzzle_0.xml"] = puzzletest::PuzzleXml(front);
        for (int i = 1; i < 4; ++i)
            setup.files["files/puzzles/Road_Puzzle_" + std::to_string(i) + ".xml"] =
                puzzletest::PuzzleXml(puzzletest::PuzzleText());
        setup.files["files/rooms/Road.xml"] = puzzletest::RoomXml(
            {"Road_Puzzle_0.xml", "Road_Puzzle_1.xml", "Road_Puzzle_2.xml", "Road_Puzzle_3.xml"});
        world = std::make_unique<gametest::MenuTestWorld>(setup);
        if (!world->Booted())
            return;
        world->Step(2);
        world->Console("loadroom Road.xml false");
        room = Game().GetRoom();
        // The committed environment's water covers the floor; these puzzles are about the floor.
        Game().SetWaterLevel(-20.0f);
        room->FocusFace(0);
        puzzle = room->GetPuzzle(0);
        // The camera's glide to the face.
        world->RunFor(1.2);
    }

    std::vector<std::string> Console(const std::string& line) { return world->Console(line); }

    bool Ready() const { return world && world->Booted() && puzzle != nullptr; }
    QUORB::CQUORB& Game() const { return world->Game(); }

    // Into the puzzle as "Play Puzzle" goes: editor mode on, then the puzzle menus.
    void Enter()
    {
        world->Console("toggleeditor");
        Send("WidgetChoiceBarMenu", MSG_OpenMenuEx);
        Send("StartPuzzleMenu", MSG_OpenMenu);
        Send("BudgetMenu", MSG_OpenMenu);
        Send("TimerObjMenu", MSG_OpenMenu);
        Send("PuzzleInfoMenu", MSG_CloseMenu);
    }

    // Enter, then the start-puzzle menu's fade-in to its end.
    void EnterAndSettle()
    {
        Enter();
        world->RunUntil([this]() { return world->MenuState("StartPuzzleMenu") == kOpen; }, 3.0);
    }

    // A platform placed from code where the star does not go, charged to the budget.
    std::uint32_t PlaceWidget(float x)
    {
        Gob* gob = puzzletest::MakeAt("Platform", math::Vector3(x, -9.0f, 20.0f));
        if (!gob)
            return 0;
        Game().AddWidgetToFocusedPuzzle(gob->GetID());
        puzzle->SpendBudget("Platform");
        return gob->GetID();
    }

    // The middle of the focused face, where the settled camera looks.
    math::Vector3 FaceMiddle() const
    {
        const math::Quad& face = room->GetFace(0);
        return (face.p0 + face.p2) * 0.5f;
    }

    std::string Text(const std::string& menu, const std::string& unit) const
    {
        return world->Unit(menu, unit).text;
    }

    // "menu:message" for each message of the names given to the menus given, in order.
    std::vector<std::string> Traffic(const std::vector<std::string>& menus,
                                     const std::vector<MessageName>& names) const
    {
        std::vector<std::string> seen;
        for (const gametest::MenuMessage& message : world->Messages())
            for (const std::string& menu : menus)
                if (message.receiver == menu)
                    for (MessageName name : names)
                        if (message.name == name)
                            seen.push_back(menu + ":" + NameOf(name));
        return seen;
    }

    std::vector<std::string> LinesRun() const
    {
        std::vector<std::string> lines;
        for (const gametest::ConsoleLine& line : world->ConsoleLines())
            if (line.run)
                lines.push_back(line.text);
        return lines;
    }

    static std::string NameOf(MessageName name)
    {
        switch (name)
        {
        case MSG_OpenMenu:
            return "Open";
        case MSG_OpenMenuEx:
            return "OpenEx";
        case MSG_CloseMenu:
            return "Close";
        case MSG_ResetMenu:
            return "Reset";
        case MSG_CloseMenuForced:
            return "CloseForced";
        default:
            return std::to_string(static_cast<int>(name));
        }
    }

    std::unique_ptr<gametest::MenuTestWorld> world;
    QUORB::CRoom* room = nullptr;
    QUORB::CPuzzle* puzzle = nullptr;
};

inline const std::vector<MessageName>& MenuMoves()
{
    static const std::vector<MessageName> moves = {MSG_OpenMenu, MSG_OpenMenuEx, MSG_CloseMenu,
                                                   MSG_ResetMenu};
    return moves;
}
} // namespace puzzlemenutest
