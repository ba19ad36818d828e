// Settings, room lists and profiles in the booted game: the graphics quality, the scan of the
// room folder, profiles locking and unlocking the game's own rooms, and the names the game
// keeps for itself.
#include "game/app/CQUORB.h"

#include "GameTestWorld.h"

#include "common/ConsoleInterface.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/postprocess/CPostProcessor.h"
#include "engine/gfx/postprocess/PostProcessIds.h"
#include "game/files/GameDataFiles.h"
#include "game/files/Profile.h"
#include "game/files/QUORBSettings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using gametest::GameTestSetup;
using gametest::GameTestWorld;
using Kind = QUORB::CQUORB::FileKind;

namespace
{
bool Has(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The console lines written while `run` runs.
template <class Run> std::vector<std::string> OutputOf(Run run)
{
    common::ConsoleInterface& console = common::ConsoleInterface::Instance();
    console.ClearOutput();
    run();
    return std::vector<std::string>(console.GetOutputLines().begin(), console.GetOutputLines().end());
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

std::string SettingsFile(const std::vector<std::string>& ours, const std::vector<std::string>& theirs,
                         const std::string& lastUsed = "", const std::string& quality = "Medium")
{
    return "<?xml version=\"1.0\" ?><File><QUORBSettings><string name=\"GraphicsQuality\">" + quality +
           "</string><list name=\"GameSkins\" size=\"0\"></list><uint name=\"NumRoomsMadeByUs\">" +
           std::to_string(ours.size()) + "</uint>" + Names(ours) + "<uint name=\"NumRoomsMadeByPlayer\">" +
           std::to_string(theirs.size()) + "</uint>" + Names(theirs) + "<string name=\"LastUsedProfile\">" +
           lastUsed + "</string></QUORBSettings></File>";
}

std::string ProfileFile(const std::vector<std::string>& rooms)
{
    return "<?xml version=\"1.0\" ?><File><Profile><uint name=\"NumUnlockedRooms\">" +
           std::to_string(rooms.size()) + "</uint>" + Names(rooms) + "</Profile></File>";
}

bool Locked(QUORB::CQUORB& game, const std::string& room)
{
    return game.GetSettings().m_roomMap.at(room).locked;
}

std::vector<std::string> QueuedFiles()
{
    std::vector<std::string> files;
    for (const dorvo::gfx::CPPInstance& instance : dorvo::gfx::CPostProcessor::Instance().GetQueue())
        files.push_back(instance.GetEffectFile());
    return files;
}

std::vector<std::string> FilesOf(const std::vector<unsigned>& ids)
{
    std::vector<std::string> files;
    for (const unsigned id : ids)
        for (const std::string& file : dorvo::gfx::PostProcessFilesOfId(id))
            files.push_back(file);
    return files;
}
} // namespace

TEST(GameProfilesTest, GraphicsQualitySetsTheRenderFlagsAndThePostProcessingChain)
{
    GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    QUORB::CQUORB& game = world.Game();
    using dorvo::gfx::CDorvoGfx;
    CDorvoGfx& gfx = CDorvoGfx::Instance();
    struct Case
    {
        const char* quality;
        std::vector<unsigned> chain;
        bool postProcessing;
    };
    const Case cases[] = {
        {"High", {42, 45, 46, 19, 47, 0, 48, 49, 1, 39}, true},
        {"Medium", {42, 46}, true},
        {"Low", {}, false},
        {"Ultra", {}, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.quality);
        gfx.SetRenderFlags(CDorvoGfx::RF_WATER);
        gfx.QueuePostProcess(7, false);
        QUORB::QUORBSettings settings;
        settings.GraphicsQuality = c.quality;
        game.SetGraphicsQuality(settings);
        EXPECT_EQ(QueuedFiles(), FilesOf(c.chain));
        const std::uint32_t flags = gfx.GetRenderFlags();
        EXPECT_EQ(flags & 0x201u, 0x201u);
        EXPECT_EQ((flags & 0x800000u) != 0, c.postProcessing);
        EXPECT_NE(flags & CDorvoGfx::RF_WATER, 0u);
    }
}

TEST(GameProfilesTest, TheRoomScanListsNewFilesAsPlayerRoomsAndDropsVanishedOnes)
{
    GameTestSetup setup;
    setup.files["files/xmlfiles/QUORBSettings.xml"] = SettingsFile({"A.xml", "B.xml"}, {"D.xml"});
    setup.files["files/rooms/A.xml"] = "<File/>";
    setup.files["files/rooms/C.xml"] = "<File/>";
    setup.files["files/rooms/..odd.xml"] = "<File/>";
    GameTestWorld world(setup);
    ASSERT_TRUE(world.Booted());
    const QUORB::QUORBSettings& settings = world.Game().GetSettings();
    EXPECT_EQ(settings.m_roomsMadeByUs, std::vector<std::string>{"A.xml"});
    EXPECT_EQ(settings.m_roomsMadeByPlayer, std::vector<std::string>{"C.xml"});
    EXPECT_EQ(settings.m_roomMap.count("B.xml"), 1u);
    EXPECT_EQ(settings.m_roomMap.count("C.xml"), 0u);
}

TEST(GameProfilesTest, AProfileUnlocksExactlyItsRoomsAndAMissingOneInheritsNothing)
{
    GameTestSetup setup;
    setup.files["files/xmlfiles/QUORBSettings.xml"] = SettingsFile({"A.xml", "B.xml"}, {"Mine.xml"});
    for (const char* room : {"A.xml", "B.xml", "Mine.xml"})
        setup.files[std::string("files/rooms/") + room] = "<File/>";
    setup.files["files/profiles/P.xml"] = ProfileFile({"A.xml", "Unknown.xml"});
    setup.files["files/profiles/Broken.xml"] = "<File><Profile>";
    GameTestWorld world(setup);
    ASSERT_TRUE(world.Booted());
    QUORB::CQUORB& game = world.Game();
    EXPECT_EQ(game.GetProfile(), nullptr);
    EXPECT_TRUE(Locked(game, "A.xml"));

    world.Console("loadprofile P.xml");
    ASSERT_NE(game.GetProfile(), nullptr);
    EXPECT_EQ(game.GetProfile()->name, "P.xml");
    EXPECT_FALSE(Locked(game, "A.xml"));
    EXPECT_TRUE(Locked(game, "B.xml"));
    EXPECT_EQ(game.GetSettings().m_roomMap.count("Mine.xml"), 0u);

    for (const char* next : {"Nobody.xml", "Broken.xml"})
    {
        SCOPED_TRACE(next);
        world.Console("loadprofile P.xml");
        world.Console(std::string("loadprofile ") + next);
        EXPECT_EQ(game.GetProfile()->name, next);
        EXPECT_TRUE(game.GetProfile()->unlockedRooms.empty());
        EXPECT_TRUE(Locked(game, "A.xml"));
        EXPECT_TRUE(Locked(game, "B.xml"));
    }

    const std::vector<std::string> refused = world.Console("loadprofile ../P.xml");
    EXPECT_TRUE(Has(refused, ">ERROR: Invalid file name: ../P.xml"));
    EXPECT_EQ(game.GetProfile()->name, "Broken.xml");
}

TEST(GameProfilesTest, CreatingAProfileStartsFromTheBlankOneAndNeverOverwrites)
{
    GameTestSetup setup;
    setup.files["files/xmlfiles/QUORBSettings.xml"] = SettingsFile({"A.xml", "B.xml"}, {}, "Ann.xml");
    setup.files["files/rooms/A.xml"] = "<File/>";
    setup.files["files/rooms/B.xml"] = "<File/>";
    setup.files["files/profiles/Blank.xml"] = ProfileFile({"A.xml"});
    setup.files["files/profiles/Ann.xml"] = ProfileFile({"A.xml", "B.xml"});
    GameTestWorld world(setup);
    ASSERT_TRUE(world.Booted());
    QUORB::CQUORB& game = world.Game();
    const std::string profiles = world.Folder() + "files/profiles/";
    const std::string ann = ReadWhole(profiles + "Ann.xml");
    const std::string blank = ReadWhole(profiles + "Blank.xml");

    // Saving the settings before any profile is loaded keeps the player read at start-up.
    ASSERT_TRUE(game.SaveSettings());
    QUORB::QUORBSettings saved;
    ASSERT_TRUE(QUORB::LoadSettingsFile(saved, world.Folder() + "files/xmlfiles/QUORBSettings.xml"));
    EXPECT_EQ(saved.LastUsedProfile, "Ann.xml");

    world.Console("loadprofile Ann.xml");
    EXPECT_FALSE(game.CreateProfile("ann.XML"));
    EXPECT_FALSE(game.CreateProfile("Ann.xml"));
    EXPECT_EQ(ReadWhole(profiles + "Ann.xml"), ann);
    EXPECT_EQ(game.GetProfile()->name, "Ann.xml");
    EXPECT_FALSE(Locked(game, "B.xml"));

    for (const char* bad : {"Blank.xml", "BLANK.XML", "../Bob.xml", ".xml", ""})
    {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(game.CreateProfile(bad));
        EXPECT_EQ(game.GetProfile()->name, "Ann.xml");
    }

    ASSERT_TRUE(game.CreateProfile("Bob.xml"));
    EXPECT_EQ(game.GetProfile()->name, "Bob.xml");
    EXPECT_EQ(game.GetProfile()->unlockedRooms, std::vector<std::string>{"A.xml"});
    EXPECT_FALSE(Locked(game, "A.xml"));
    EXPECT_TRUE(Locked(game, "B.xml"));
    QUORB::Profile bob;
    ASSERT_TRUE(QUORB::LoadProfileFile(bob, profiles + "Bob.xml"));
    EXPECT_EQ(bob.unlockedRooms, std::vector<std::string>{"A.xml"});
    const std::vector<std::string>& files = game.GetProfileFiles();
    EXPECT_NE(std::find(files.begin(), files.end(), "Bob.xml"), files.end());

    // The template is read, never written, and never recorded as the last profile used: quitting
    // with it loaded keeps the profile recorded before, so the next start does not load it again.
    ASSERT_TRUE(game.SaveSettings());
    for (const char* name : {"Blank.xml", "BLANK.XML"})
    {
        SCOPED_TRACE(name);
        world.Console(std::string("loadprofile ") + name);
        ASSERT_NE(game.GetProfile(), nullptr);
        game.GetProfile()->unlockedRooms.push_back("B.xml");
        EXPECT_FALSE(game.SaveProfile());
        EXPECT_EQ(ReadWhole(profiles + "Blank.xml"), blank);
        // Quitting with it is no failed save: the template is left alone, the settings written.
        EXPECT_TRUE(game.SaveProfileAndSettings());
        EXPECT_EQ(ReadWhole(profiles + "Blank.xml"), blank);
        ASSERT_TRUE(QUORB::LoadSettingsFile(saved, world.Folder() + "files/xmlfiles/QUORBSettings.xml"));
        EXPECT_EQ(saved.LastUsedProfile, "Bob.xml");
    }

    world.Console("loadprofile Bob.xml");
    ASSERT_TRUE(game.SaveProfileAndSettings());
    ASSERT_TRUE(QUORB::LoadSettingsFile(saved, world.Folder() + "files/xmlfiles/QUORBSettings.xml"));
    EXPECT_EQ(saved.LastUsedProfile, "Bob.xml");
}

// Settings saved before the template was kept out of them may name it as the last profile used;
// the next save drops that name, so the start after it asks for a profile.
TEST(GameProfilesTest, ASettingsFileNamingTheTemplateAsTheLastProfileLosesThatName)
{
    GameTestSetup setup;
    setup.files["files/xmlfiles/QUORBSettings.xml"] = SettingsFile({"A.xml"}, {}, "blank.xml");
    setup.files["files/rooms/A.xml"] = "<File/>";
    setup.files["files/profiles/Blank.xml"] = ProfileFile({"A.xml"});
    GameTestWorld world(setup);
    ASSERT_TRUE(world.Booted());
    ASSERT_EQ(world.Game().GetSettings().LastUsedProfile, "blank.xml");
    ASSERT_TRUE(world.Game().SaveSettings());
    QUORB::QUORBSettings saved;
    ASSERT_TRUE(QUORB::LoadSettingsFile(saved, world.Folder() + "files/xmlfiles/QUORBSettings.xml"));
    EXPECT_EQ(saved.LastUsedProfile, "");
}

TEST(GameProfilesTest, ReservedNamesFollowTheMadeByUsFlagAndIgnoreCase)
{
    GameTestSetup setup;
    setup.files["files/xmlfiles/QUORBSettings.xml"] = SettingsFile({"Tutorial.xml"}, {"Mine.xml"});
    setup.files["files/rooms/Tutorial.xml"] = "<File/>";
    setup.files["files/rooms/Mine.xml"] = "<File/>";
    GameTestWorld world(setup);
    ASSERT_TRUE(world.Booted());
    QUORB::CQUORB& game = world.Game();
    struct Case
    {
        Kind kind;
        const char* name;
        bool reservedFlagOff;
        bool reservedFlagOn;
    };
    const Case cases[] = {
        {Kind::Profile, "Blank.xml", true, true},
        {Kind::Profile, "blank.XML", true, true},
        {Kind::Profile, "Blank2.xml", false, false},
        {Kind::Profile, "Tutorial.xml", false, false},
        {Kind::Room, "EmptyRoom.xml", true, true},
        {Kind::Room, "emptyroom.xml", true, true},
        {Kind::Room, "Tutorial.xml", true, false},
        {Kind::Room, "TUTORIAL.xml", true, false},
        {Kind::Room, "Mine.xml", false, false},
        {Kind::Room, "Blank.xml", false, false},
        {Kind::Puzzle, "Tutorial_Puzzle_0.xml", true, false},
        {Kind::Puzzle, "tutorial_puzzle_3.xml", true, false},
        {Kind::Puzzle, "EmptyRoom_Puzzle_1.xml", true, true},
        {Kind::Puzzle, "Tutorial.xml", false, false},
        {Kind::Puzzle, "Mine_Puzzle_0.xml", false, false},
        {Kind::Puzzle, "TutorialX_Puzzle_0.xml", false, false},
    };
    for (const bool flag : {false, true})
    {
        if (flag)
            world.Console("toggleus");
        ASSERT_EQ(game.IsMadeByUs(), flag);
        for (const Case& c : cases)
        {
            SCOPED_TRACE(std::string(c.name) + (flag ? " (flag on)" : " (flag off)"));
            EXPECT_EQ(game.IsReservedFileName(c.kind, c.name), flag ? c.reservedFlagOn : c.reservedFlagOff);
        }
    }
}

TEST(GameProfilesTest, ACreationThatCannotBeSavedKeepsThePlayerWhereTheyWere)
{
    GameTestSetup setup;
    setup.files["files/xmlfiles/QUORBSettings.xml"] = SettingsFile({"A.xml", "B.xml"}, {});
    setup.files["files/rooms/A.xml"] = "<File/>";
    setup.files["files/rooms/B.xml"] = "<File/>";
    setup.files["files/profiles/Blank.xml"] = ProfileFile({"A.xml"});
    setup.files["files/profiles/Ann.xml"] = ProfileFile({"B.xml"});
    // A folder where the new profile's file would go: the write fails.
    setup.files["files/profiles/Stuck.xml/keep"] = "";
    GameTestWorld world(setup);
    ASSERT_TRUE(world.Booted());
    QUORB::CQUORB& game = world.Game();

    // Before any profile: the game's rooms stay locked and no profile is made.
    EXPECT_FALSE(game.CreateProfile("Stuck.xml"));
    EXPECT_EQ(game.GetProfile(), nullptr);
    EXPECT_TRUE(Locked(game, "A.xml"));

    world.Console("loadprofile Ann.xml");
    EXPECT_FALSE(game.CreateProfile("Stuck.xml"));
    ASSERT_NE(game.GetProfile(), nullptr);
    EXPECT_EQ(game.GetProfile()->name, "Ann.xml");
    EXPECT_EQ(game.GetProfile()->unlockedRooms, std::vector<std::string>{"B.xml"});
    EXPECT_TRUE(Locked(game, "A.xml"));
    EXPECT_FALSE(Locked(game, "B.xml"));
    const std::vector<std::string>& files = game.GetProfileFiles();
    EXPECT_EQ(std::find(files.begin(), files.end(), "Stuck.xml"), files.end());
    EXPECT_FALSE(std::filesystem::exists(world.Folder() + "files/profiles/Stuck.xml.tmp"));
}

// A profile is never saved with fewer rooms than its file lists: one whose count is damaged is
// read whole and saved whole; one the reader could not read whole (a room name it left out, a
// file that is no XML) keeps its file through "Save & Quit", with one line, and the settings are
// saved all the same.
TEST(GameProfilesTest, ADamagedProfileKeepsItsRoomsThroughASave)
{
    GameTestSetup setup;
    setup.files["files/xmlfiles/QUORBSettings.xml"] = SettingsFile({"A.xml", "B.xml"}, {});
    setup.files["files/rooms/A.xml"] = "<File/>";
    setup.files["files/rooms/B.xml"] = "<File/>";
    setup.files["files/profiles/Count.xml"] =
        "<?xml version=\"1.0\" ?><File><Profile><uint name=\"NumUnlockedRooms\">abc</uint>" +
        Names({"A.xml", "B.xml"}) + "</Profile></File>";
    setup.files["files/profiles/Odd.xml"] = ProfileFile({"A.xml", "../B.xml"});
    setup.files["files/profiles/Broken.xml"] = "<File><Profile>" + Names({"A.xml"});
    GameTestWorld world(setup);
    ASSERT_TRUE(world.Booted());
    QUORB::CQUORB& game = world.Game();
    const std::string profiles = world.Folder() + "files/profiles/";

    world.Console("loadprofile Count.xml");
    EXPECT_FALSE(Locked(game, "A.xml"));
    EXPECT_FALSE(Locked(game, "B.xml"));
    ASSERT_TRUE(game.SaveProfileAndSettings());
    QUORB::Profile saved;
    ASSERT_TRUE(QUORB::LoadProfileFile(saved, profiles + "Count.xml"));
    EXPECT_EQ(saved.unlockedRooms, (std::vector<std::string>{"A.xml", "B.xml"}));

    for (const char* name : {"Odd.xml", "Broken.xml"})
    {
        SCOPED_TRACE(name);
        const std::string before = ReadWhole(profiles + name);
        world.Console(std::string("loadprofile ") + name);
        ASSERT_TRUE(game.GetProfile()->partlyRead);
        const std::vector<std::string> quit = OutputOf([&] { EXPECT_TRUE(game.SaveProfileAndSettings()); });
        EXPECT_TRUE(
            Has(quit, ">ERROR: " + profiles + name +
                          " could not be read whole when it was loaded; it is kept as it is, not saved over"))
            << ::testing::PrintToString(quit);
        EXPECT_FALSE(game.SaveProfile());
        EXPECT_EQ(ReadWhole(profiles + name), before);
        QUORB::QUORBSettings settings;
        ASSERT_TRUE(QUORB::LoadSettingsFile(settings, world.Folder() + "files/xmlfiles/QUORBSettings.xml"));
        EXPECT_EQ(settings.LastUsedProfile, name);
    }
}

// One name, one file: a profile named in another case than its file is that profile, and saving
// it writes that file; a puzzle saved under a name that differs from a file's only in case is
// refused, as a room is.
TEST(GameProfilesTest, ANameDifferingOnlyInCaseNeverMakesASecondFile)
{
    GameTestSetup setup;
    setup.files["files/xmlfiles/QUORBSettings.xml"] = SettingsFile({"A.xml", "B.xml"}, {});
    setup.files["files/rooms/A.xml"] = "<File/>";
    setup.files["files/rooms/B.xml"] = "<File/>";
    setup.files["files/profiles/Pat.xml"] = ProfileFile({"A.xml", "B.xml"});
    GameTestWorld world(setup);
    ASSERT_TRUE(world.Booted());
    QUORB::CQUORB& game = world.Game();
    const std::string profiles = world.Folder() + "files/profiles/";

    world.Console("loadprofile pat.xml");
    EXPECT_EQ(game.GetProfile()->name, "Pat.xml");
    EXPECT_FALSE(Locked(game, "B.xml"));
    ASSERT_TRUE(game.SaveProfileAndSettings());
    ASSERT_TRUE(game.SaveProfile());
    EXPECT_FALSE(std::filesystem::exists(profiles + "pat.xml"));
    QUORB::QUORBSettings settings;
    ASSERT_TRUE(QUORB::LoadSettingsFile(settings, world.Folder() + "files/xmlfiles/QUORBSettings.xml"));
    EXPECT_EQ(settings.LastUsedProfile, "Pat.xml");

    // A second file made beside it some other way is never saved over, nor is a second one made.
    std::ofstream(profiles + "PAT.XML") << ReadWhole(profiles + "Pat.xml");
    const std::vector<std::string> refused = OutputOf([&] { EXPECT_FALSE(game.SaveProfile()); });
    EXPECT_TRUE(Has(refused, ">ERROR: The profile PAT.XML differs from Pat.xml only in case; the profile was "
                             "not saved"))
        << ::testing::PrintToString(refused);
}
