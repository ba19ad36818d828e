// The room commands typed into the booted game: loading rooms under the profile's locks, the
// focused puzzle's file name, saving a room into the room lists and the settings, "play", and
// the whole road of a player's session across a restart.
#include "game/app/CQUORB.h"

#include "GameTestWorld.h"
#include "LogCapture.h"
#include "PuzzleFixtures.h"
#include "TestSupport.h"

#include "common/ConsoleInterface.h"
#include "common/ParamStack.h"
#include "common/math/Vector3.h"
#include "engine/GobManager.h"
#include "engine/phy/DynamicsEngine.h"
#include "game/files/GameDataFiles.h"
#include "game/files/Profile.h"
#include "game/files/QUORBSettings.h"
#include "game/manipulator/WidgetManipulator.h"
#include "game/room/CPuzzle.h"
#include "game/room/CRoom.h"
#include "game/room/RoomData.h"
#include "platform/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

using gametest::GameTestSetup;
using gametest::GameTestWorld;

namespace
{
bool Has(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool Contains(const std::vector<std::string>& list, const std::string& name)
{
    return std::find(list.begin(), list.end(), name) != list.end();
}

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string Names(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += "<string name=\"RoomFileName\">" + name + "</string>";
    return text;
}

std::string SettingsFile(const std::vector<std::string>& ours, const std::vector<std::string>& theirs)
{
    return "<?xml version=\"1.0\" ?><File><QUORBSettings><string name=\"GraphicsQuality\">Medium</string>"
           "<list name=\"GameSkins\" size=\"0\"></list><uint name=\"NumRoomsMadeByUs\">" +
           std::to_string(ours.size()) + "</uint>" + Names(ours) + "<uint name=\"NumRoomsMadeByPlayer\">" +
           std::to_string(theirs.size()) + "</uint>" + Names(theirs) +
           "<string name=\"LastUsedProfile\"></string></QUORBSettings></File>";
}

// A room file naming the given puzzle files.
std::string RoomFile(const std::string& name, const std::vector<std::string>& puzzles)
{
    std::string text = "<?xml version=\"1.0\" ?><File><RoomData><string name=\"Name\">" + name +
                       "</string><list name=\"Puzzles\" size=\"" + std::to_string(puzzles.size()) + "\">";
    for (const std::string& puzzle : puzzles)
        text += "<string name=\"PuzzleName\">" + puzzle + "</string>";
    return text + "</list></RoomData></File>";
}

std::string ProfileFile(const std::vector<std::string>& rooms)
{
    return "<?xml version=\"1.0\" ?><File><Profile><uint name=\"NumUnlockedRooms\">" +
           std::to_string(rooms.size()) + "</uint>" + Names(rooms) + "</Profile></File>";
}

// The files of a folder below the world, by name.
std::vector<std::string> FilesIn(const GameTestWorld& world, const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(world.Folder() + folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

QUORB::QUORBSettings SavedSettings(const GameTestWorld& world)
{
    QUORB::QUORBSettings settings;
    QUORB::LoadSettingsFile(settings, world.Folder() + "files/xmlfiles/QUORBSettings.xml");
    return settings;
}

// A world whose empty room has four puzzles, a profile P.xml unlocking A.xml, and the rooms
// A.xml and B.xml made by us.
GameTestSetup RoomSetup()
{
    GameTestSetup setup;
    setup.files["files/xmlfiles/QUORBSettings.xml"] = SettingsFile({"A.xml", "B.xml"}, {});
    setup.files["files/rooms/EmptyRoom.xml"] =
        RoomFile("Empty", {"DefaultFront.xml", "DefaultRight.xml", "DefaultBack.xml", "DefaultLeft.xml"});
    setup.files["files/rooms/A.xml"] = RoomFile("A", {"A_Puzzle_0.xml"});
    setup.files["files/rooms/B.xml"] = RoomFile("B", {"B_Puzzle_0.xml"});
    setup.files["files/profiles/P.xml"] = ProfileFile({"A.xml"});
    setup.files["files/profiles/Blank.xml"] = ProfileFile({});
    return setup;
}
} // namespace

TEST(GameRoomCommandsTest, RoomsLoadUnlessLockedAndTheShellIsMadeOnce)
{
    GameTestWorld world(RoomSetup());
    ASSERT_TRUE(world.Booted());
    QUORB::CQUORB& game = world.Game();
    EXPECT_EQ(game.GetRoom(), nullptr);
    EXPECT_EQ(game.GetPuzFileName(), "Invalid");
    world.Frames(3);
    ASSERT_NE(game.GetRoom(), nullptr);
    EXPECT_EQ(game.GetRoom()->GetRoomName(), "EmptyRoom.xml");
    const std::uint32_t roomGob = game.GetRoomGobID();
    const std::size_t objects = GobManager::Instance().NumberOfGobs();

    // Every room made by us is locked until a profile unlocks it: nothing happens, silently.
    const std::vector<std::string> locked = world.Console("loadroom A.xml true");
    EXPECT_EQ(locked.size(), 2u); // the console's own report and the line
    EXPECT_EQ(game.GetRoom()->GetRoomName(), "EmptyRoom.xml");

    world.Console("loadprofile P.xml");
    world.Console("loadroom B.xml true");
    EXPECT_EQ(game.GetRoom()->GetRoomName(), "EmptyRoom.xml");
    world.Console("loadroom A.xml true");
    EXPECT_EQ(game.GetRoom()->GetRoomName(), "A.xml");
    const QUORB::CPuzzle* puzzle = game.GetRoom()->GetPuzzle(0);
    world.Console("loadroom A.xml true");
    EXPECT_EQ(game.GetRoom()->GetPuzzle(0), puzzle);
    EXPECT_EQ(game.GetRoomGobID(), roomGob);
    EXPECT_EQ(GobManager::Instance().NumberOfGobs(), objects);

    EXPECT_TRUE(Has(world.Console("loadroom ../A.xml true"), ">ERROR: Invalid file name: ../A.xml"));
    EXPECT_EQ(game.GetRoom()->GetRoomName(), "A.xml");
}

// A refused line is answered by its refusal alone: no "called successfully." after it. A room
// that cannot be loaded leaves the room that was there.
TEST(GameRoomCommandsTest, ARefusedCommandIsNotReportedAsCalledSuccessfully)
{
    GameTestSetup setup = RoomSetup();
    setup.files["files/rooms/Damaged.xml"] = "<?xml version=\"1.0\" ?><File><Room><string name=";
    GameTestWorld world(setup);
    ASSERT_TRUE(world.Booted());
    world.Frames(3);
    world.Console("loadprofile P.xml");
    world.Console("loadroom A.xml true");
    QUORB::CQUORB& game = world.Game();
    ASSERT_EQ(game.GetRoom()->GetRoomName(), "A.xml");
    const QUORB::CPuzzle* puzzle = game.GetRoom()->GetPuzzle(0);
    for (const char* line :
         {"loadroom /etc/passwd true", "loadroom Missing.xml true", "loadroom Damaged.xml false",
          "loadprofile ../../x.xml", "setgameskin NoSuchSkin"})
    {
        SCOPED_TRACE(line);
        const std::vector<std::string> out = world.Console(line);
        ASSERT_FALSE(out.empty());
        EXPECT_EQ(out.front().rfind(">ERROR: ", 0), 0u) << out.front();
        for (const std::string& shown : out)
            EXPECT_EQ(shown.find("called successfully"), std::string::npos) << shown;
        EXPECT_EQ(game.GetRoom()->GetRoomName(), "A.xml");
        EXPECT_EQ(game.GetRoom()->GetPuzzle(0), puzzle) << "the room that was there stays";
    }
    EXPECT_TRUE(Has(world.Console("loadroom Missing.xml true"),
                    ">ERROR: Could not load Missing.xml: the room file is missing or damaged"));
    const std::vector<std::string> out = world.Console("loadroom A.xml false");
    EXPECT_TRUE(Has(out, ">Function: loadroom called successfully.")) << "a call that went through says so";
    EXPECT_NE(game.GetRoom()->GetPuzzle(0), puzzle) << "read again";
}

// A room that lists thousands of puzzles loads its four, and the line about the rest stays short.
TEST(GameRoomCommandsTest, ARoomListingTenThousandPuzzlesGivesOneShortLine)
{
    GameTestSetup setup = RoomSetup();
    std::vector<std::string> puzzles;
    for (int i = 0; i < 10000; ++i)
        puzzles.push_back("Big_Puzzle_" + std::to_string(i) + ".xml");
    setup.files["files/rooms/Big.xml"] = RoomFile("Big", puzzles);
    GameTestWorld world(setup);
    ASSERT_TRUE(world.Booted());
    world.Frames(3);
    testsupport::LogCapture logged;
    world.Console("loadroom Big.xml true");
    const std::string err = logged.Text();
    ASSERT_NE(world.Game().GetRoom(), nullptr);
    EXPECT_EQ(world.Game().GetRoom()->GetRoomName(), "Big.xml");
    const std::size_t at = err.find("the room has four faces but lists 9996 further puzzle(s) (");
    ASSERT_NE(at, std::string::npos) << err.substr(0, 2000);
    const std::string line = err.substr(at, err.find('\n', at) - at);
    EXPECT_LT(line.size(), 200u) << line;
    EXPECT_NE(
        line.find("(\"Big_Puzzle_4.xml\", \"Big_Puzzle_5.xml\", \"Big_Puzzle_6.xml\" and 9993 more); they "
                  "are not loaded"),
        std::string::npos)
        << line;
}

TEST(GameRoomCommandsTest, TheFocusedPuzzleFileName)
{
    GameTestSetup setup = RoomSetup();
    setup.files["files/rooms/EmptyRoom.xml"] = RoomFile("Empty", {"", "", "", ""});
    GameTestWorld world(setup);
    ASSERT_TRUE(world.Booted());
    QUORB::CQUORB& game = world.Game();
    EXPECT_EQ(game.GetPuzFileName(), "Invalid");
    world.Frames(3);
    game.SetFocusedFace(0);
    EXPECT_EQ(game.GetPuzFileName(), "");
    world.Console("setpuzfilename X.xml");
    EXPECT_EQ(game.GetPuzFileName(), "X.xml");
    EXPECT_TRUE(Has(world.Console("setpuzfilename ../Y.xml"), ">ERROR: Invalid file name: ../Y.xml"));
    EXPECT_EQ(game.GetPuzFileName(), "X.xml");

    // The console's own call returns the name on the argument stack.
    ParamStack params;
    ASSERT_TRUE(common::ConsoleInterface::Instance().GetCommands().Call("getpuzfilename", &params, false));
    std::string returned;
    params.Pop(returned);
    EXPECT_EQ(returned, "X.xml");
}

TEST(GameRoomCommandsTest, PlayRunsPhysicsOnlyWithARoom)
{
    GameTestWorld world(RoomSetup());
    ASSERT_TRUE(world.Booted());
    dorvo::phy::DynamicsEngine& dynamics = dorvo::phy::DynamicsEngine::Instance();
    QUORB::CQUORB& game = world.Game();
    world.Console("setcwt Platform");
    world.Console("play");
    EXPECT_TRUE(dynamics.paused);
    EXPECT_EQ(game.GetWidgetManipulator()->GetCurrentWidgetType(), "Platform");

    world.Frames(3);
    game.SetFocusedFace(0);
    world.Console("play");
    EXPECT_FALSE(dynamics.paused);
    EXPECT_EQ(game.GetWidgetManipulator()->GetCurrentWidgetType(), "");
}

TEST(GameRoomCommandsTest, SavingARoomFilesItInItsListAndRewritesTheSettings)
{
    GameTestSetup setup = RoomSetup();
    setup.files["files/rooms/Old.xml"] = RoomFile("Old", {});
    GameTestWorld world(setup);
    ASSERT_TRUE(world.Booted());
    world.Frames(3);
    QUORB::CQUORB& game = world.Game();
    world.Console("loadprofile P.xml");
    game.SetFocusedFace(2);
    world.Menu("RoomSelectionMenu")->ClearReceived();

    const std::vector<std::string> rooms = FilesIn(world, "files/rooms");
    for (const char* refused :
         {"saveroom ../x.xml", "saveroom .xml", "saveroom EmptyRoom.xml", "saveroom a.xml", "saveroom B.XML"})
    {
        SCOPED_TRACE(refused);
        world.Console(refused);
    }
    EXPECT_EQ(FilesIn(world, "files/rooms"), rooms);
    EXPECT_TRUE(FilesIn(world, "files/puzzles").empty());
    EXPECT_TRUE(world.Menu("RoomSelectionMenu")->GetReceived().empty());

    EXPECT_TRUE(game.SaveRoom("Lab.xml"));
    EXPECT_TRUE(plat::FileExists(world.Folder() + "files/rooms/Lab.xml"));
    EXPECT_EQ(FilesIn(world, "files/puzzles"),
              (std::vector<std::string>{"Lab_Puzzle_0.xml", "Lab_Puzzle_1.xml", "Lab_Puzzle_2.xml",
                                        "Lab_Puzzle_3.xml"}));
    EXPECT_TRUE(Contains(game.GetSettings().m_roomsMadeByPlayer, "Lab.xml"));
    EXPECT_EQ(game.GetSettings().m_roomMap.count("Lab.xml"), 0u);
    const auto& received = world.Menu("RoomSelectionMenu")->GetReceived();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].name, MSG_SetCustomData);
    EXPECT_EQ(received[0].data.GetString(), "Lab.xml");
    EXPECT_EQ(received[1].name, MSG_ResetMenu);
    QUORB::QUORBSettings saved = SavedSettings(world);
    EXPECT_TRUE(Contains(saved.m_roomsMadeByPlayer, "Lab.xml"));
    EXPECT_EQ(saved.LastUsedProfile, "P.xml");
    EXPECT_EQ(world.Console("getpuzfilename").size(), 2u);
    EXPECT_EQ(game.GetPuzFileName(), "Lab_Puzzle_2.xml");

    // With the made-by-us flag the room joins our rooms, unlocked, and our rooms can be saved over.
    world.Console("toggleus");
    world.Console("saveroom Ours.xml");
    EXPECT_TRUE(Contains(game.GetSettings().m_roomsMadeByUs, "Ours.xml"));
    EXPECT_FALSE(game.GetSettings().m_roomMap.at("Ours.xml").locked);
    EXPECT_TRUE(Contains(SavedSettings(world).m_roomsMadeByUs, "Ours.xml"));
    EXPECT_TRUE(game.SaveRoom("B.xml"));
    world.Console("toggleus");

    // A save that cannot write files nothing and keeps the old files.
    const std::string settingsBefore = ReadWhole(world.Folder() + "files/xmlfiles/QUORBSettings.xml");
    std::filesystem::create_directories(world.Folder() + "files/puzzles/Lost_Puzzle_0.xml.tmp/x");
    EXPECT_FALSE(game.SaveRoom("Lost.xml"));
    EXPECT_FALSE(plat::FileExists(world.Folder() + "files/rooms/Lost.xml"));
    EXPECT_FALSE(Contains(game.GetSettings().m_roomsMadeByPlayer, "Lost.xml"));
    EXPECT_EQ(ReadWhole(world.Folder() + "files/xmlfiles/QUORBSettings.xml"), settingsBefore);
}

TEST(GameRoomCommandsTest, APlayersSessionSurvivesARestart)
{
    GameTestSetup setup = RoomSetup();
    std::map<std::string, std::string> kept;
    {
        GameTestWorld world(setup);
        ASSERT_TRUE(world.Booted());
        world.Frames(3);
        QUORB::CQUORB& game = world.Game();
        for (const char* line : {"loadprofile P.xml", "loadroom A.xml true", "setroomempty", "toggleeditor",
                                 "setpuzfilename Draft.xml", "savepuz", "toggleeditor", "saveroom Lab.xml"})
        {
            SCOPED_TRACE(line);
            const std::vector<std::string> output = world.Console(line);
            ASSERT_FALSE(output.empty());
            EXPECT_EQ(output.front().rfind(">Function: ", 0), 0u) << output.front();
        }
        EXPECT_TRUE(plat::FileExists(world.Folder() + "files/puzzles/Draft.xml"));
        EXPECT_TRUE(game.SaveProfileAndSettings());
        for (const char* file : {"files/xmlfiles/QUORBSettings.xml", "files/rooms/Lab.xml",
                                 "files/puzzles/Lab_Puzzle_0.xml", "files/puzzles/Lab_Puzzle_1.xml",
                                 "files/puzzles/Lab_Puzzle_2.xml", "files/puzzles/Lab_Puzzle_3.xml"})
            kept[file] = ReadWhole(world.Folder() + file);
    }
    for (const auto& file : kept)
        setup.files[file.first] = file.second;
    GameTestWorld world(setup);
    ASSERT_TRUE(world.Booted());
    world.Frames(3);
    QUORB::CQUORB& game = world.Game();
    EXPECT_TRUE(Contains(game.GetSettings().m_roomsMadeByPlayer, "Lab.xml"));
    EXPECT_EQ(game.GetSettings().LastUsedProfile, "P.xml");
    world.Console("loadprofile P.xml");
    world.Console("loadroom Lab.xml true");
    ASSERT_NE(game.GetRoom(), nullptr);
    EXPECT_EQ(game.GetRoom()->GetRoomName(), "Lab.xml");
    EXPECT_EQ(game.GetRoom()->GetPuzzleCount(), 4u);
    QUORB::RoomData room;
    ASSERT_TRUE(QUORB::LoadRoomDataFile(room, world.Folder() + "files/rooms/Lab.xml"));
    EXPECT_EQ(room.puzzleNames, (std::vector<std::string>{"Lab_Puzzle_0.xml", "Lab_Puzzle_1.xml",
                                                          "Lab_Puzzle_2.xml", "Lab_Puzzle_3.xml"}));
    // Saved over from the reloaded room, the files come out the same.
    EXPECT_TRUE(game.SaveRoom("Lab.xml"));
    EXPECT_EQ(ReadWhole(world.Folder() + "files/puzzles/Lab_Puzzle_0.xml"),
              kept["files/puzzles/Lab_Puzzle_0.xml"]);
}

TEST(GameRoomCommandsTest, TheEditorGlidesTheWaterToThePuzzlesLevelAndBackAfterwards)
{
    GameTestSetup setup = RoomSetup();
    puzzletest::PuzzleText puzzle;
    puzzle.objectives.push_back(puzzletest::DescriptionXml(
        "Objective", "WaterObjective", math::Vector3(0.0f, 0.0f, 20.0f), 1.0f,
        "<int name=\"ObjectiveID\">16</int><WaterControl><float name=\"BeginWaterLevel\">2</float>"
        "<float name=\"EndWaterLevel\">5</float><float name=\"TimeInterval\">10</float></WaterControl>"));
    setup.files["files/puzzles/W_Puzzle_0.xml"] = puzzletest::PuzzleXml(puzzle);
    setup.files["files/rooms/W.xml"] = RoomFile("W", {"W_Puzzle_0.xml"});
    GameTestWorld world(setup);
    ASSERT_TRUE(world.Booted());
    world.Frames(3);
    QUORB::CQUORB& game = world.Game();
    world.Console("loadroom W.xml true");
    ASSERT_EQ(game.GetRoom()->GetRoomName(), "W.xml");
    game.SetFocusedFace(0);
    ASSERT_NE(game.GetFocusedPuzzle(), nullptr);
    ASSERT_TRUE(game.GetFocusedPuzzle()->HasWater());
    ASSERT_NE(GobManager::Instance().CreateGob("PlanarWater"), nullptr);
    game.SetWaterLevel(-1.0f);

    world.Console("toggleeditor");
    EXPECT_EQ(game.GetRoom()->GetFocusedFace(), 0);
    world.Frames(15);
    EXPECT_GT(game.GetWaterLevel(), -0.8f);
    EXPECT_LT(game.GetWaterLevel(), 1.8f) << "half way through the 1 s glide";
    world.Frames(20);
    EXPECT_NEAR(game.GetWaterLevel(), 2.0f, 1e-4);

    dorvo::phy::DynamicsEngine::Instance().paused = false;
    world.Console("toggleeditor");
    EXPECT_TRUE(dorvo::phy::DynamicsEngine::Instance().paused);
    world.Frames(4);
    EXPECT_NEAR(game.GetWaterLevel(), 2.0f, 1e-4) << "still there before 0.175 s";
    world.Frames(3);
    EXPECT_NEAR(game.GetWaterLevel(), -1.0f, 1e-4) << "back where it was";
}

namespace
{
// Every file below a folder of the world with what it holds.
std::map<std::string, std::string> Contents(const GameTestWorld& world, const std::string& folder)
{
    std::map<std::string, std::string> contents;
    for (const std::string& name : FilesIn(world, folder))
        contents[name] = ReadWhole(world.Folder() + folder + "/" + name);
    return contents;
}
} // namespace

// A room's files are one save: whatever stops any of them (a read-only or full folder, a puzzle
// too large for what is left of the disk, the room file that cannot be made), the room file,
// its four puzzles and the settings stay exactly as they were, and the console says the room
// was not saved.
TEST(GameRoomCommandsTest, ARoomSaveThatFailsAnywhereChangesNoneOfItsFiles)
{
    GameTestSetup setup = RoomSetup();
    puzzletest::PuzzleText big; // the back face's puzzle is the largest file of the room
    for (int i = 0; i < 60; ++i)
        big.widgets.push_back(puzzletest::DescriptionXml(
            "WidgetDescription", "HardNode",
            math::Vector3(-10.0f + static_cast<float>(i % 20), -9.0f + static_cast<float>(i / 20), 20.0f),
            1.0f));
    setup.files["files/puzzles/Lab_Puzzle_2.xml"] = puzzletest::PuzzleXml(big);
    for (int i : {0, 1, 3})
        setup.files["files/puzzles/Lab_Puzzle_" + std::to_string(i) + ".xml"] =
            puzzletest::PuzzleXml(puzzletest::PuzzleText());
    setup.files["files/rooms/Lab.xml"] =
        RoomFile("", {"Lab_Puzzle_0.xml", "Lab_Puzzle_1.xml", "Lab_Puzzle_2.xml", "Lab_Puzzle_3.xml"});
    GameTestWorld world(setup);
    ASSERT_TRUE(world.Booted());
    world.Frames(3);
    QUORB::CQUORB& game = world.Game();
    world.Console("loadprofile P.xml");
    world.Console("loadroom Lab.xml false");
    ASSERT_EQ(game.GetRoom()->GetPuzzleCount(), 4u);
    ASSERT_TRUE(game.SaveRoom("Lab.xml"));
    const std::map<std::string, std::string> rooms = Contents(world, "files/rooms");
    const std::map<std::string, std::string> puzzles = Contents(world, "files/puzzles");
    const std::string settings = ReadWhole(world.Folder() + "files/xmlfiles/QUORBSettings.xml");
    ASSERT_GT(puzzles.at("Lab_Puzzle_2.xml").size(), 16 * 1024u);
    for (unsigned face = 0; face < 4; ++face)
        game.GetRoom()->GetPuzzle(face)->SetTotalBudget(50 + static_cast<int>(face));

    const std::string roomFolder = world.Folder() + "files/rooms";
    const std::string blocker = roomFolder + "/Lab.xml.tmp/keep";
    struct Case
    {
        const char* what;
        std::function<void()> block;
        std::function<void()> unblock;
        bool needsNonRoot;
    };
    std::unique_ptr<testsupport::FileSizeLimit> limit;
    const Case cases[] = {
        {"a read-only rooms folder",
         [&]
         {
             std::filesystem::permissions(roomFolder, std::filesystem::perms::owner_read |
                                                          std::filesystem::perms::owner_exec);
         },
         [&] { std::filesystem::permissions(roomFolder, std::filesystem::perms::owner_all); }, true},
        {"the room file that cannot be made (a folder in its temporary file's place)",
         [&] { std::filesystem::create_directories(blocker); },
         [&] { std::filesystem::remove_all(roomFolder + "/Lab.xml.tmp"); }, false},
        {"a disk too full for the back face's puzzle",
         [&] { limit = std::make_unique<testsupport::FileSizeLimit>(16 * 1024); }, [&] { limit.reset(); },
         false},
        {"a full disk", [&] { limit = std::make_unique<testsupport::FileSizeLimit>(1); },
         [&] { limit.reset(); }, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        if (c.needsNonRoot && ::geteuid() == 0)
            continue; // permissions do not stop the superuser
        c.block();
        const std::vector<std::string> lines = world.Console("saveroom Lab.xml");
        c.unblock();
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                                [](const std::string& line)
                                { return line.find("the room was not saved") != std::string::npos; }));
        EXPECT_EQ(Contents(world, "files/rooms"), rooms);
        EXPECT_EQ(Contents(world, "files/puzzles"), puzzles);
        EXPECT_EQ(ReadWhole(world.Folder() + "files/xmlfiles/QUORBSettings.xml"), settings);
    }

    // Unblocked, the same save goes through whole.
    ASSERT_TRUE(game.SaveRoom("Lab.xml"));
    QUORB::CPuzzle back;
    ASSERT_TRUE(QUORB::LoadPuzzleFile(back, world.Folder() + "files/puzzles/Lab_Puzzle_3.xml"));
    EXPECT_EQ(back.GetTotalBudget(), 53);
    EXPECT_EQ(FilesIn(world, "files/rooms").size(), rooms.size());
    EXPECT_EQ(FilesIn(world, "files/puzzles").size(), puzzles.size());
}

// A save writes exactly the name it is given: a room whose name differs from another room file
// only in case is refused on the console and writes nothing (on a file system that tells the two
// apart it would otherwise be a second room listed as the same), and a name without the
// extension gets ".xml", so the room list shows it.
TEST(GameRoomCommandsTest, ARoomNameIsSavedAsGivenWithItsExtensionAndNeverOverAnotherInAnotherCase)
{
    GameTestSetup setup = RoomSetup();
    setup.files["files/rooms/LAB.xml"] = RoomFile("", {"LAB_Puzzle_0.xml"});
    setup.files["files/puzzles/LAB_Puzzle_0.xml"] = puzzletest::PuzzleXml(puzzletest::PuzzleText());
    GameTestWorld world(setup);
    ASSERT_TRUE(world.Booted());
    world.Frames(3);
    QUORB::CQUORB& game = world.Game();
    world.Console("loadprofile P.xml");
    world.Console("setroomempty");
    const std::map<std::string, std::string> rooms = Contents(world, "files/rooms");
    const std::map<std::string, std::string> puzzles = Contents(world, "files/puzzles");

    for (const char* name : {"lab.xml", "Lab.XML", "lab"})
    {
        SCOPED_TRACE(name);
        const std::vector<std::string> lines = world.Console(std::string("saveroom ") + name);
        EXPECT_TRUE(Has(lines, std::string(">ERROR: The room LAB.xml differs from ") +
                                   (std::string(name) == "lab" ? "lab.xml" : name) +
                                   " only in case; the room was not saved"));
        EXPECT_EQ(Contents(world, "files/rooms"), rooms);
        EXPECT_EQ(Contents(world, "files/puzzles"), puzzles);
    }

    // A puzzle follows the same rule.
    const std::vector<std::string> puzzleLines = world.Console("savepuzas lab_puzzle_0.xml");
    EXPECT_TRUE(Has(puzzleLines,
                    ">ERROR: The puzzle LAB_Puzzle_0.xml differs from lab_puzzle_0.xml only in case; "
                    "the puzzle was not saved"));
    EXPECT_EQ(Contents(world, "files/puzzles"), puzzles);

    world.Console("saveroom CON");
    EXPECT_TRUE(plat::FileExists(world.Folder() + "files/rooms/CON.xml"));
    EXPECT_FALSE(std::filesystem::exists(world.Folder() + "files/rooms/CON"));
    EXPECT_TRUE(std::filesystem::exists(world.Folder() + "files/puzzles/CON_Puzzle_0.xml"));
    EXPECT_EQ(game.GetRoom()->GetRoomName(), "CON.xml");
    EXPECT_TRUE(Contains(game.GetSettings().m_roomsMadeByPlayer, "CON.xml"));
    EXPECT_EQ(ReadWhole(world.Folder() + "files/rooms/LAB.xml"), rooms.at("LAB.xml"));
}

// A room save killed between the renames of its files leaves new and old puzzles side by side;
// reading the room finishes that save first, with one line, so the room loads all new.
TEST(GameRoomCommandsTest, ARoomSaveKilledMidwayIsFinishedWhenTheRoomIsRead)
{
    GameTestSetup setup = RoomSetup();
    for (int i = 0; i < 4; ++i)
        setup.files["files/puzzles/Lab_Puzzle_" + std::to_string(i) + ".xml"] =
            puzzletest::PuzzleXml(puzzletest::PuzzleText());
    setup.files["files/rooms/Lab.xml"] =
        RoomFile("", {"Lab_Puzzle_0.xml", "Lab_Puzzle_1.xml", "Lab_Puzzle_2.xml", "Lab_Puzzle_3.xml"});
    GameTestWorld world(setup);
    ASSERT_TRUE(world.Booted());
    world.Frames(3);
    QUORB::CQUORB& game = world.Game();
    world.Console("loadprofile P.xml");
    world.Console("loadroom Lab.xml false");
    ASSERT_EQ(game.GetRoom()->GetPuzzleCount(), 4u);
    for (unsigned face = 0; face < 4; ++face)
        game.GetRoom()->GetPuzzle(face)->SetTotalBudget(60 + static_cast<int>(face));
    // Five temporary files, four second names and the record of the group are 11 steps; two
    // renames more and the kill falls between the second puzzle and the third.
    plat::StopSavesAfterSteps(13);
    EXPECT_FALSE(game.SaveRoom("Lab.xml"));
    plat::StopSavesAfterSteps(-1);
    auto budgets = [&world]
    {
        std::vector<int> read;
        for (int i = 0; i < 4; ++i)
        {
            QUORB::CPuzzle puzzle;
            QUORB::LoadPuzzleFile(puzzle,
                                  world.Folder() + "files/puzzles/Lab_Puzzle_" + std::to_string(i) + ".xml");
            read.push_back(puzzle.GetTotalBudget());
        }
        return read;
    };
    const std::vector<int> killed = budgets();
    EXPECT_EQ(killed[0], 60);
    EXPECT_NE(killed[3], 63) << "the kill left the room mixed";

    testsupport::LogCapture log;
    world.Console("loadroom Lab.xml false");
    EXPECT_EQ(log.CountOf("RepairInterruptedSave: "), 1u) << log.Text();
    EXPECT_EQ(budgets(), (std::vector<int>{60, 61, 62, 63}));
    for (unsigned face = 0; face < 4; ++face)
        EXPECT_EQ(game.GetRoom()->GetPuzzle(face)->GetTotalBudget(), 60 + static_cast<int>(face));
    for (const std::string& name : FilesIn(world, "files/puzzles"))
        EXPECT_EQ(name.find(".old"), std::string::npos) << name;
    EXPECT_FALSE(std::filesystem::exists(world.Folder() + "files/rooms/Lab.xml.journal"));
}
