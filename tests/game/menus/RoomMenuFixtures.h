// Small helpers of the room-selection, look-at, info and back-row tests: the committed settings
// with room lists of the test's own, a profile unlocking rooms, rooms of four puzzles as files,
// and puzzles of a few kinds.
#pragma once

#include "MenuTestWorld.h"
#include "PuzzleFixtures.h"
#include "TestSupport.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace roommenutest
{
// The committed settings file (its quality and skins) with these room lists.
inline std::string SettingsXml(const std::vector<std::string>& campaign,
                               const std::vector<std::string>& playerMade)
{
    std::ifstream in(testsupport::RepoPath("data/files/xmlfiles/QUORBSettings.xml"));
    std::stringstream text;
    text << in.rdbuf();
    std::string settings = text.str();
    const std::size_t from = settings.find("<uint name=\"NumRoomsMadeByUs\">");
    const std::size_t to = settings.find("<string name=\"LastUsedProfile\">");
    if (from == std::string::npos || to == std::string::npos)
        return settings;
    std::string rooms = "<uint name=\"NumRoomsMadeByUs\">" + std::to_string(campaign.size()) + "</uint>";
    for (const std::string& room : campaign)
        rooms += "<string name=\"RoomFileName\">" + room + "</string>";
    rooms += "<uint name=\"NumRoomsMadeByPlayer\">" + std::to_string(playerMade.size()) + "</uint>";
    for (const std::string& room : playerMade)
        rooms += "<string name=\"RoomFileName\">" + room + "</string>";
    return settings.substr(0, from) + rooms + settings.substr(to);
}

inline std::string ProfileXml(const std::vector<std::string>& unlocked)
{
    std::string text = "<?xml version=\"1.0\" ?>\n<File><Profile><uint name=\"NumUnlockedRooms\">" +
                       std::to_string(unlocked.size()) + "</uint>";
    for (const std::string& room : unlocked)
        text += "<string name=\"RoomFileName\">" + room + "</string>";
    return text + "</Profile></File>\n";
}

// A room file and its puzzle files ("<room base>_<face>.xml"), one per puzzle given (four make a
// full room; fewer leave the last faces without a puzzle).
inline void AddRoom(std::map<std::string, std::string>& files, const std::string& room,
                    const std::vector<puzzletest::PuzzleText>& puzzles)
{
    const std::string base = room.substr(0, room.find('.'));
    std::vector<std::string> names;
    for (std::size_t face = 0; face < puzzles.size(); ++face)
    {
        names.push_back(base + "_" + std::to_string(face) + ".xml");
        files["files/puzzles/" + names.back()] = puzzletest::PuzzleXml(puzzles[face]);
    }
    files["files/rooms/" + room] = puzzletest::RoomXml(names);
}

// Objective descriptions on the front face.
inline std::string TargetObjective()
{
    return puzzletest::DescriptionXml("ObjectiveDescription", "TargetObjective",
                                      math::Vector3(0.0f, 2.0f, 19.0f), 1.0f, puzzletest::TargetXml());
}
inline std::string TimeLimitObjective(float seconds = 30.0f)
{
    return puzzletest::DescriptionXml("ObjectiveDescription", "TimerObjective",
                                      math::Vector3(0.0f, 4.0f, 19.0f), 1.0f,
                                      puzzletest::TimeLimitXml(seconds));
}
inline std::string DestructionObjective()
{
    return puzzletest::DescriptionXml("ObjectiveDescription", "DestructionObjective",
                                      math::Vector3(2.0f, 2.0f, 19.0f), 1.0f,
                                      "<int name=\"ObjectiveID\">2</int><CauseDestruction/>");
}
inline std::string Ball()
{
    return puzzletest::DescriptionXml("QuorbDescription", "QUORBBall", math::Vector3(0.0f, 5.0f, 19.0f),
                                      1.0f);
}

// A puzzle to play: a star object, a target and a time limit, a budget of 5 and every widget.
inline puzzletest::PuzzleText PlayablePuzzle()
{
    puzzletest::PuzzleText puzzle;
    puzzle.budget = 5;
    puzzle.objectives = {TargetObjective(), TimeLimitObjective()};
    puzzle.quorbs = {Ball()};
    return puzzle;
}

// The world's folder: a file the committed data brought in is taken out before start-up.
inline void RemoveBeforeStart(gametest::MenuTestSetup& setup, const std::string& relative)
{
    const std::function<void()> before = setup.beforeInit;
    setup.beforeInit = [before, relative]()
    {
        std::filesystem::remove(relative);
        if (before)
            before();
    };
}
} // namespace roommenutest
