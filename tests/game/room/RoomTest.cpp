// The room: turning between faces, the faces from the construction quads, loading a room file
// with its puzzles (bounded to four faces, names kept below the puzzle folder, a bad file
// changing nothing) and saving it with its puzzle files.
#include "GameTestWorld.h"

#include "LogCapture.h"
#include "common/ConsoleInterface.h"
#include "common/XmlFile.h"
#include "common/math/Vector3.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/gfx/core/CLightsManager.h"
#include "engine/gfx/water/CWaterManager.h"
#include "game/app/CQUORB.h"
#include "game/camera/CCamera.h"
#include "game/files/GameDataFiles.h"
#include "game/room/CPuzzle.h"
#include "game/room/CRoom.h"
#include "game/room/RoomData.h"
#include "game/widgets/ConstructionQuadComp.h"

#include <tinyxml.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using gametest::GameTestSetup;
using gametest::GameTestWorld;

namespace
{
std::vector<Gob*> ObjectsOfArchetype(const std::string& archetype)
{
    std::vector<Gob*> found;
    GobManager& manager = GobManager::Instance();
    for (std::uint32_t id = 1; id < manager.GetNextID(); ++id)
        if (Gob* gob = manager.GetGob(id))
            if (gob->GetArchetypeName() == archetype)
                found.push_back(gob);
    return found;
}

std::string PuzzleFile(int budget)
{
    return "<?xml version=\"1.0\" ?>\n<File><Puzzle><int name=\"TotalBudget\">" + std::to_string(budget) +
           "</int><int name=\"AvailableWidgets\">7</int><uint name=\"NumObjectives\">0</uint>"
           "<uint name=\"NumQuorbs\">0</uint><uint name=\"NumWidgets\">0</uint></Puzzle></File>\n";
}

std::string RoomFile(const std::vector<std::string>& puzzles)
{
    std::string text = "<?xml version=\"1.0\" ?>\n<File><RoomData><string name=\"Name\"></string>"
                       "<list name=\"Puzzles\" size=\"" +
                       std::to_string(puzzles.size()) + "\">";
    for (const std::string& name : puzzles)
        text += "<string name=\"PuzzleName\">" + name + "</string>";
    return text + "</list></RoomData></File>\n";
}

std::vector<std::string> Listing(const std::string& folder)
{
    std::vector<std::string> names;
    if (std::filesystem::exists(folder))
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A world in the committed empty room, focused nowhere yet.
GameTestSetup RoomSetup()
{
    GameTestSetup setup;
    setup.copyRooms = true;
    for (int i = 0; i < 6; ++i)
        setup.files["files/puzzles/P" + std::to_string(i) + ".xml"] = PuzzleFile(10 + i);
    setup.files["files/rooms/Six.xml"] =
        RoomFile({"P0.xml", "P1.xml", "P2.xml", "P3.xml", "P4.xml", "P5.xml"});
    setup.files["files/rooms/Two.xml"] = RoomFile({"P0.xml", "P1.xml"});
    setup.files["files/rooms/Broken.xml"] = "<File><RoomData>";
    setup.files["files/rooms/Escape.xml"] = RoomFile({"../rooms/Six.xml", "sub/P1.xml", "sub\\P2.xml", ""});
    return setup;
}
} // namespace

TEST(Room, FocusNearestFaceTurnsToTheNeighbourOfTheFacePosition)
{
    GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(2);
    QUORB::CRoom* room = world.Game().GetRoom();
    ASSERT_NE(room, nullptr);
    const struct
    {
        float position;
        bool right;
        int face;
    } cases[] = {{2.0f, true, 3},  {3.0f, true, 0}, {0.0f, false, 3}, {2.5f, true, 3},
                 {2.5f, false, 2}, {3.5f, true, 0}, {3.5f, false, 3}, {1.0f, false, 0}};
    for (const auto& c : cases)
    {
        room->SetFacePosition(c.position);
        room->FocusNearestFace(c.right);
        EXPECT_EQ(room->GetFocusedFace(), c.face) << c.position << (c.right ? " right" : " left");
        EXPECT_EQ(world.Game().GetFocusedFace(), c.face);
    }
}

TEST(Room, TheEmptyRoomHasItsEnvironmentFacesAndFourPuzzlesAndFocusGlidesTheCamera)
{
    GameTestSetup setup = RoomSetup();
    testsupport::LogCapture logged;
    GameTestWorld world(setup);
    ASSERT_TRUE(world.Booted());
    world.Frames(2);
    const std::string err = logged.Text();
    EXPECT_EQ(err.find("cannot open"), std::string::npos) << err;
    QUORB::CQUORB& game = world.Game();
    QUORB::CRoom* room = game.GetRoom();
    ASSERT_NE(room, nullptr);

    // The committed room: four empty puzzles, loaded for faces 0 to 3 in turn.
    EXPECT_EQ(room->GetRoomName(), "EmptyRoom.xml");
    ASSERT_EQ(room->GetPuzzleCount(), 4u);
    EXPECT_EQ(room->GetFocusedFace(), -1) << "no face is focused by loading";
    // Loading leaves the game's index on the last puzzle read; the camera's start-up view, looking
    // at the front face, then focuses that one.
    EXPECT_EQ(game.GetFocusedFace(), 0) << "the camera's start-up view";
    for (unsigned face = 0; face < 4; ++face)
    {
        EXPECT_TRUE(room->GetPuzzle(face)->GetFileName().empty());
        EXPECT_EQ(room->GetPuzzle(face)->GetAvailableWidgets(), 31);
    }

    // Its environment: exactly one water object, below every face's puzzle area.
    EXPECT_EQ(ObjectsOfArchetype("PlanarWater").size(), 1u);
    EXPECT_GT(room->GetEnvGobIDs().size(), 1u);
    ASSERT_NE(dorvo::gfx::CWaterManager::Instance().GetWaterGobID(), 0u);
    for (unsigned face = 0; face < 4; ++face)
    {
        const math::Quad& quad = room->GetFace(face);
        const float lowest = std::min(std::min(quad.p0.y, quad.p1.y), std::min(quad.p2.y, quad.p3.y));
        EXPECT_LT(game.GetWaterLevel(), lowest) << "face " << face;
    }

    // The construction quads stand on their faces' middles, scaled by the first edge.
    const char* const quads[] = {"CQFront", "CQRight", "CQBack", "CQLeft"};
    for (unsigned face = 0; face < 4; ++face)
    {
        const std::vector<Gob*> found = ObjectsOfArchetype(quads[face]);
        ASSERT_EQ(found.size(), 1u) << quads[face];
        const math::Quad& quad = room->GetFace(face);
        const POVComp* pov = GetPOVComp(found[0]);
        ASSERT_NE(pov, nullptr);
        const math::Vector3 middle = (quad.p0 + quad.p2) * 0.5f;
        const float edge = (quad.p1 - quad.p0).Length();
        EXPECT_NEAR((pov->GetPosition() - middle).Length(), 0.0f, 1e-4) << quads[face];
        EXPECT_NEAR(pov->GetScale().x, edge, 1e-4);
        EXPECT_NEAR(pov->GetScale().z, edge, 1e-4);
        EXPECT_GT(edge, 1.0f);
    }

    // Focusing a face sets both indices and glides the look-at to its middle over one second.
    room->FocusFace(1);
    EXPECT_EQ(room->GetFocusedFace(), 1);
    EXPECT_EQ(game.GetFocusedFace(), 1);
    EXPECT_EQ(game.GetFocusedPuzzle(), room->GetPuzzle(1));
    const math::Vector3 target = (room->GetFace(1).p0 + room->GetFace(1).p2) * 0.5f;
    world.Frames(15);
    EXPECT_GT((game.GetGameCamera()->GetLookAt() - target).Length(), 0.5f) << "still on its way";
    world.Frames(17);
    EXPECT_NEAR((game.GetGameCamera()->GetLookAt() - target).Length(), 0.0f, 1e-3);
    room->FocusFace(4);
    room->FocusFace(static_cast<unsigned>(-1));
    EXPECT_EQ(room->GetFocusedFace(), 1) << "4 and -1 are no faces";
}

TEST(Room, LoadingBoundsThePuzzlesToTheFacesAndKeepsNamesInThePuzzleFolder)
{
    GameTestWorld world(RoomSetup());
    ASSERT_TRUE(world.Booted());
    world.Frames(2);
    QUORB::CQUORB& game = world.Game();
    QUORB::CRoom* room = game.GetRoom();
    ASSERT_NE(room, nullptr);

    // Six puzzles listed: four load, one line names the other two.
    testsupport::LogCapture logged;
    EXPECT_TRUE(room->Load("Six.xml", false));
    std::string err = logged.Text();
    ASSERT_EQ(room->GetPuzzleCount(), 4u);
    for (unsigned face = 0; face < 4; ++face)
        EXPECT_EQ(room->GetPuzzle(face)->GetTotalBudget(), 10 + static_cast<int>(face));
    EXPECT_NE(err.find("\"P4.xml\", \"P5.xml\""), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;

    // The same name with the skip flag changes nothing; without it the room is read again.
    room->GetPuzzle(0)->SetBudgetLeft(-7);
    EXPECT_TRUE(room->Load("Six.xml", true));
    EXPECT_EQ(room->GetPuzzle(0)->GetBudgetLeft(), -7);
    EXPECT_TRUE(room->Load("Six.xml", false));
    EXPECT_EQ(room->GetPuzzle(0)->GetBudgetLeft(), 10);

    // A missing or broken room file keeps the room, its light and its name.
    plat::D3DLIGHT9 light = dorvo::gfx::CLightsManager::Instance().GetLight();
    QUORB::CPuzzle* first = room->GetPuzzle(0);
    for (const char* bad : {"Missing.xml", "Broken.xml"})
    {
        logged.Clear();
        EXPECT_FALSE(room->Load(bad, false));
        err = logged.Text();
        EXPECT_NE(err.find(bad), std::string::npos) << err;
        EXPECT_EQ(room->GetPuzzle(0), first) << bad;
        EXPECT_EQ(room->GetPuzzleCount(), 4u);
        EXPECT_EQ(room->GetRoomName(), "Six.xml");
        EXPECT_EQ(dorvo::gfx::CLightsManager::Instance().GetLight().Type, light.Type);
    }

    // Names that leave the puzzle folder, or none: empty puzzles, each named with the room file.
    logged.Clear();
    EXPECT_TRUE(room->Load("Escape.xml", false));
    err = logged.Text();
    ASSERT_EQ(room->GetPuzzleCount(), 4u);
    for (unsigned face = 0; face < 4; ++face)
    {
        EXPECT_EQ(room->GetPuzzle(face)->GetTotalBudget(), 0) << face;
        EXPECT_EQ(room->GetPuzzle(face)->GetAvailableWidgets(), 31) << face;
    }
    std::size_t lines = 0;
    for (std::size_t at = err.find("Escape.xml: puzzle"); at != std::string::npos;
         at = err.find("Escape.xml: puzzle", at + 1))
        ++lines;
    EXPECT_EQ(lines, 4u) << err;

    // Fewer puzzles than faces: the faces without one reach nothing.
    EXPECT_TRUE(room->Load("Two.xml", false));
    ASSERT_EQ(room->GetPuzzleCount(), 2u);
    room->FocusFace(3);
    EXPECT_EQ(game.GetFocusedPuzzle(), nullptr);
    EXPECT_EQ(room->GetPuzzle(3), nullptr);
    room->PlayPuzzle(3);
    room->ResetPuzzle(3);
    room->ReloadPuzzle(3);
    room->StartPuzzle(3, true);
    world.Frames(2);
    EXPECT_EQ(room->GetPuzzleCount(), 2u);

    // Default puzzles: always four, named after the default files, read from nowhere.
    room->MakeDefaultPuzzles();
    ASSERT_EQ(room->GetPuzzleCount(), 4u);
    const char* const defaults[] = {"DefaultFront.xml", "DefaultRight.xml", "DefaultBack.xml",
                                    "DefaultLeft.xml"};
    for (unsigned face = 0; face < 4; ++face)
        EXPECT_EQ(room->GetPuzzle(face)->GetFileName(), defaults[face]);
    EXPECT_EQ(room->GetFocusedFace(), -1);
}

TEST(Room, SavingWritesThePuzzleFilesAndThenTheRoomFile)
{
    GameTestWorld world(RoomSetup());
    ASSERT_TRUE(world.Booted());
    world.Frames(2);
    QUORB::CRoom* room = world.Game().GetRoom();
    ASSERT_NE(room, nullptr);
    const std::string rooms = world.Folder() + "files/rooms/";
    const std::string puzzles = world.Folder() + "files/puzzles/";
    ASSERT_TRUE(room->Load("Six.xml", false));

    ASSERT_TRUE(room->Save("Lab.xml"));
    for (int i = 0; i < 4; ++i)
    {
        const std::string name = "Lab_Puzzle_" + std::to_string(i) + ".xml";
        EXPECT_TRUE(std::filesystem::exists(puzzles + name)) << name;
        EXPECT_EQ(room->GetPuzzle(static_cast<unsigned>(i))->GetFileName(), name);
    }
    QUORB::RoomData saved;
    saved.enableLightBloom = true;
    saved.enableShadow = true;
    ASSERT_TRUE(QUORB::LoadRoomDataFile(saved, rooms + "Lab.xml"));
    EXPECT_EQ(saved.name, "");
    EXPECT_FALSE(saved.enableLightBloom);
    EXPECT_FALSE(saved.enableShadow);
    EXPECT_EQ(saved.puzzleNames, (std::vector<std::string>{"Lab_Puzzle_0.xml", "Lab_Puzzle_1.xml",
                                                           "Lab_Puzzle_2.xml", "Lab_Puzzle_3.xml"}));
    // The saved room loads back into the same puzzles.
    ASSERT_TRUE(room->Load("Lab.xml", false));
    for (unsigned face = 0; face < 4; ++face)
        EXPECT_EQ(room->GetPuzzle(face)->GetTotalBudget(), 10 + static_cast<int>(face));

    // A room file is an XML file: a name without the extension is refused and nothing is
    // written ("saveroom" adds the extension before it asks); the extension goes in any case.
    EXPECT_FALSE(room->Save("ab"));
    EXPECT_FALSE(std::filesystem::exists(puzzles + "ab_Puzzle_0.xml"));
    EXPECT_FALSE(std::filesystem::exists(rooms + "ab"));
    ASSERT_TRUE(room->Save("Up.XML"));
    EXPECT_TRUE(std::filesystem::exists(puzzles + "Up_Puzzle_3.xml"));

    // No base: refused with one console line, nothing written.
    const std::vector<std::string> roomsBefore = Listing(rooms);
    const std::vector<std::string> puzzlesBefore = Listing(puzzles);
    for (const char* bad : {".xml", ""})
    {
        common::ConsoleInterface::Instance().ClearOutput();
        EXPECT_FALSE(room->Save(bad)) << bad;
        const auto& lines = common::ConsoleInterface::Instance().GetOutputLines();
        ASSERT_EQ(lines.size(), 1u) << bad;
        EXPECT_NE(lines.back().find("nothing was written"), std::string::npos) << lines.back();
    }
    EXPECT_EQ(Listing(rooms), roomsBefore);
    EXPECT_EQ(Listing(puzzles), puzzlesBefore);

    // A puzzle file that cannot be written: the room file is not written and Save says so.
    std::filesystem::create_directories(puzzles + "Bad_Puzzle_2.xml/blocker");
    common::ConsoleInterface::Instance().ClearOutput();
    EXPECT_FALSE(room->Save("Bad.xml"));
    EXPECT_FALSE(std::filesystem::exists(rooms + "Bad.xml"));
    const auto& lines = common::ConsoleInterface::Instance().GetOutputLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back().find("Bad_Puzzle_2.xml"), std::string::npos) << lines.back();
}
