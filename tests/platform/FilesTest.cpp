#include "platform/files.h"

#include "LogCapture.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{
// A small tree written for a case-insensitive file system.
class FilesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories("Data/XmlFiles/Rooms");
        Write("Data/XmlFiles/Rooms/Room1.xml", "room one");
        Write("Data/XmlFiles/Rooms/ROOM2.XML", "room two");
        Write("Data/XmlFiles/Rooms/notes.txt", "notes");
        fs::create_directories("Data/XmlFiles/Rooms/Sub.xml"); // a folder is never listed
    }

    static void Write(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

    static std::string Read(const std::string& path)
    {
        std::FILE* f = plat::OpenFile(path, "rb");
        if (!f)
            return "<cannot open>";
        char buf[64] = {};
        size_t n = std::fread(buf, 1, sizeof buf - 1, f);
        std::fclose(f);
        return std::string(buf, n);
    }

    testsupport::TempWorkDir dir;
};
} // namespace

TEST_F(FilesTest, BothSeparatorsAndAnyCaseReachTheSameFile)
{
    struct Case
    {
        const char* path;
        const char* text;
    };
    const Case cases[] = {
        {"Data/XmlFiles/Rooms/Room1.xml", "room one"},
        {"Data\\XmlFiles\\Rooms\\Room1.xml", "room one"},
        {"data\\xmlfiles/rooms\\ROOM1.XML", "room one"},
        {"./DATA/XMLFILES/ROOMS/room2.xml", "room two"},
        {"Data/XmlFiles/Rooms/../Rooms/room2.Xml", "room two"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.path);
        EXPECT_TRUE(plat::FileExists(c.path));
        EXPECT_EQ(Read(c.path), c.text);
    }
    // Absolute paths resolve element by element too.
    std::string absolute = dir.Path() + "\\DATA\\xmlfiles\\Rooms\\room1.XML";
    EXPECT_EQ(Read(absolute), "room one");
    EXPECT_EQ(plat::ResolvePath("data\\xmlfiles"), "Data/XmlFiles");
    EXPECT_TRUE(plat::DirectoryExists("DATA\\XMLFILES\\rooms"));
}

TEST_F(FilesTest, MissingFileIsReportedAndCreatingOneUsesTheExistingFolder)
{
    EXPECT_FALSE(plat::FileExists("Data/XmlFiles/Rooms/Room3.xml"));
    EXPECT_FALSE(plat::FileExists("Data/Nowhere/Room1.xml"));
    EXPECT_FALSE(plat::FileExists("Data/XmlFiles/Rooms")) << "a folder is not a file";
    EXPECT_EQ(plat::OpenFile("data/nowhere/room1.xml", "rb"), nullptr);
    EXPECT_EQ(plat::ResolvePath("Data\\Nowhere\\x.xml"), "Data/Nowhere/x.xml");

    EXPECT_EQ(plat::OpenFile("data\\XMLFILES\\rooms\\NewRoom.xml", "wb"), nullptr) << "writes are saves";
    std::string error;
    ASSERT_TRUE(plat::SaveRunFile("data\\XMLFILES\\rooms\\NewRoom.xml", "new", plat::SaveKind::Data, error))
        << error;
    EXPECT_TRUE(fs::is_regular_file("Data/XmlFiles/Rooms/NewRoom.xml"))
        << "kept the caller's name in the real folder";
}

TEST_F(FilesTest, WildcardListingMatchesNamesIgnoringCaseAndSkipsFolders)
{
    // In name order ignoring case, as the case-insensitive file system lists them.
    EXPECT_EQ(plat::ListFiles("Data/XmlFiles/Rooms/*.xml"),
              (std::vector<std::string>{"Room1.xml", "ROOM2.XML"}));
    EXPECT_EQ(plat::ListFiles("data\\xmlfiles\\rooms\\room?.*"),
              (std::vector<std::string>{"Room1.xml", "ROOM2.XML"}));
    EXPECT_EQ(plat::ListFiles("Data/XmlFiles/Rooms/*"),
              (std::vector<std::string>{"notes.txt", "Room1.xml", "ROOM2.XML"}));
    EXPECT_TRUE(plat::ListFiles("Data/XmlFiles/Rooms/*.lua").empty());
    EXPECT_TRUE(plat::ListFiles("Data/Missing/*.xml").empty());
    fs::current_path("Data/XmlFiles/Rooms");
    EXPECT_EQ(plat::ListFiles("*.TXT"), (std::vector<std::string>{"notes.txt"}))
        << "no folder: the working one";
}

// Data files are read only when they are regular files within their kind's limit; everything
// else is refused at once with one line naming the file. Nothing here may wait: the alarm ends
// the test program should an open or a read block on the FIFO.
TEST_F(FilesTest, ADataFileIsReadOnlyWhenItIsARegularFileWithinItsLimit)
{
    ASSERT_EQ(::mkfifo("Data/pipe.xml", 0600), 0);
    fs::create_symlink("/dev/zero", "Data/zero.xml");
    Write("Data/big.xml", std::string(5000, 'x'));
    Write("Data/fits.xml", std::string(4096, 'y'));
    const std::uint64_t saved = plat::SetDataFileLimit(plat::DataKind::Text, 4096);
    struct Case
    {
        const char* path;
        plat::DataKind kind;
        const char* error; // empty when the file is read
    };
    const Case cases[] = {
        {"Data/pipe.xml", plat::DataKind::Text, "Data/pipe.xml: it is a FIFO, not a regular file"},
        {"Data/zero.xml", plat::DataKind::Text, "Data/zero.xml: it is a device, not a regular file"},
        {"/dev/zero", plat::DataKind::Media, "/dev/zero: it is a device, not a regular file"},
        {"Data/XmlFiles", plat::DataKind::Text, "Data/XmlFiles: it is a folder, not a regular file"},
        {"Data/none.xml", plat::DataKind::Text, "Data/none.xml: cannot open the file"},
        {"Data/big.xml", plat::DataKind::Text,
         "Data/big.xml: 5000 bytes, more than the 4096 bytes a text data file may hold"},
        {"Data/fits.xml", plat::DataKind::Text, ""},
        {"data\\BIG.XML", plat::DataKind::Media, ""}, // the lowered limit is the text kind's only
    };
    ::alarm(20);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.path);
        std::string bytes = "left over", error;
        std::vector<unsigned char> raw{1, 2};
        const bool read = plat::ReadDataFile(c.path, c.kind, bytes, error);
        EXPECT_EQ(read, *c.error == '\0');
        EXPECT_EQ(plat::ReadDataFile(c.path, c.kind, raw, error), read);
        if (read)
        {
            EXPECT_EQ(bytes.size(), fs::file_size(plat::ResolvePath(c.path)));
            EXPECT_EQ(raw.size(), bytes.size());
            continue;
        }
        EXPECT_EQ(error, c.error);
        EXPECT_TRUE(bytes.empty());
        EXPECT_TRUE(raw.empty());
        // Streams opened only to read take regular files alone, without waiting either.
        std::FILE* file = plat::OpenFile(c.path, "rb");
        EXPECT_EQ(file == nullptr, std::string(c.path) != "Data/big.xml");
        if (file)
            std::fclose(file);
    }
    ::alarm(0);
    plat::SetDataFileLimit(plat::DataKind::Text, saved);
    EXPECT_EQ(plat::DataFileLimit(plat::DataKind::Text), plat::kMaxTextDataBytes);
    EXPECT_EQ(plat::SetDataFileLimit(plat::DataKind::Media, 0), plat::kMaxMediaBytes);
}

TEST(IsConfinedName, OnlyRelativeNamesThatStayInTheirFolderPass)
{
    struct Case
    {
        std::string name;
        bool confined;
    };
    const Case cases[] = {
        {"widgets/platform/platform_diffuse.png", true},
        {"files\\xmlfiles\\archetypes\\QUORBBall.xml", true},
        {"./Click.wav", true},
        {"a..b.png", true},
        {"", false},
        {"/etc/passwd", false},
        {"\\server\\share.png", false},
        {"C:\\Windows\\x.png", false},
        {"../../../../etc/passwd", false},
        {"sub/../../x.png", false},
        {"sub\\..", false},
        {"bad\nline.png", false},
        {std::string(plat::kMaxDataNameLength, 'a'), true},
        {std::string(plat::kMaxDataNameLength + 1, 'a'), false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(plat::IsConfinedName(c.name), c.confined);
    }
}

TEST(WildcardMatch, Patterns)
{
    struct Case
    {
        const char* pattern;
        const char* name;
        bool match;
    };
    const Case cases[] = {
        {"*.xml", "a.XML", true},
        {"*.xml", "a.xml.bak", false},
        {"*", "", true},
        {"a*b*c", "aXbYbZc", true},
        {"a*b*c", "aXbYbZ", false},
        {"?", "", false},
        {"Room?.xml", "room7.xml", true},
        {"Room?.xml", "room77.xml", false},
        {"", "a", false},
        // A '*' or '?' in the name is an ordinary letter; in the pattern always the wildcard.
        {"*", "*a", true},
        {"a*b", "a*xb", true},
        {"*.txt", "*notes.txt", true},
        {"a?c", "a*c", true},
        {"a?c", "a?c", true},
        {"a*", "b*", false},
        {"?*?", "??", true},
        {"*a*", "**", false},
        {"a\\b", "A\\B", true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.pattern) + " ~ " + c.name);
        EXPECT_EQ(plat::WildcardMatch(c.pattern, c.name), c.match);
    }
}

TEST_F(FilesTest, CaseVariantFoldersAreTriedUntilOneHoldsThePath)
{
    // Whichever of "Data" and "data" the folder lists first, the one holding the file is found.
    fs::create_directories("Mix/Data");
    fs::create_directories("Mix/data");
    fs::create_directories("Mix/DATA/Deep");
    Write("Mix/Data/Room.xml", "upper");
    Write("Mix/data/Other.xml", "lower");
    Write("Mix/DATA/Deep/File.xml", "deep");
    Write("Mix/data/same.xml", "lower same");
    Write("Mix/Data/same.xml", "upper same");
    const struct
    {
        const char* path;
        const char* text;
    } cases[] = {
        {"Mix/DATA/room.xml", "upper"},      {"mix\\data\\ROOM.XML", "upper"},
        {"Mix/dAtA/other.xml", "lower"},     {"MIX/data/deep/file.XML", "deep"},
        {"Mix/data/same.xml", "lower same"}, // the exact name first
        {"Mix/DaTa/same.xml", "upper same"}, // then the others in byte order: "DATA", "Data", "data"
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.path);
        EXPECT_TRUE(plat::FileExists(c.path));
        EXPECT_EQ(Read(c.path), c.text);
    }
    EXPECT_FALSE(plat::FileExists("Mix/DATA/Nothing.xml"));

    // A file and a folder whose names differ in case: each is found as what it is.
    fs::create_directories("Mix/Notes");
    Write("Mix/notes", "file");
    EXPECT_TRUE(plat::FileExists("Mix/NOTES"));
    EXPECT_TRUE(plat::DirectoryExists("mix/notes"));
    EXPECT_EQ(Read("Mix/Notes"), "file");
    EXPECT_EQ(plat::ResolvePath("Mix/DATA/Nothing.xml"), "Mix/DATA/Nothing.xml");

    // Names with blanks, wildcards and bytes that are not UTF-8 are ordinary names.
    const std::string odd[] = {"a b .xml", "*notes.txt", "what?.txt", "caf\xC3\xA9.xml", "bad\xFF.xml"};
    for (const std::string& name : odd)
    {
        SCOPED_TRACE(name);
        Write("Mix/" + name, name);
        EXPECT_EQ(Read("MIX/" + name), name);
    }
    EXPECT_EQ(plat::ListFiles("Mix/*notes.txt"), (std::vector<std::string>{"*notes.txt"}));
    EXPECT_EQ(plat::ListFiles("mix/what?.TXT"), (std::vector<std::string>{"what?.txt"}));
}

namespace
{
std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
} // namespace

TEST_F(FilesTest, AtomicSaveWritesTheNameGivenInTheFolderThatMatches)
{
    // The folders are matched ignoring case; the file's name is taken as given, so "ROOM1.XML"
    // is a file of its own and the player's "Room1.xml" beside it stays as it was.
    ASSERT_TRUE(plat::WriteFileAtomically("data\\xmlfiles\\rooms\\ROOM1.XML", "new room one"));
    EXPECT_EQ(ReadAll("Data/XmlFiles/Rooms/Room1.xml"), "room one");
    EXPECT_EQ(ReadAll("Data/XmlFiles/Rooms/ROOM1.XML"), "new room one");
    ASSERT_TRUE(plat::WriteFileAtomically("Data/XmlFiles/Rooms/ROOM2.XML", "new room two"));
    EXPECT_EQ(ReadAll("Data/XmlFiles/Rooms/ROOM2.XML"), "new room two");
    EXPECT_EQ(FolderEntries("Data/XmlFiles/Rooms"),
              (std::vector<std::string>{"ROOM1.XML", "ROOM2.XML", "Room1.xml", "Sub.xml", "notes.txt"}));

    ASSERT_TRUE(plat::WriteFileAtomically("DATA/xmlfiles/Rooms/Room3.xml", std::string("a\0b", 3)));
    EXPECT_EQ(ReadAll("Data/XmlFiles/Rooms/Room3.xml"), std::string("a\0b", 3));
}

TEST_F(FilesTest, AtomicSaveIsNotDisturbedByATemporaryFileLeftByACrash)
{
    Write("Data/XmlFiles/Rooms/Room1.xml.tmp", "half a file from an earlier cra");
    fs::permissions("Data/XmlFiles/Rooms/Room1.xml.tmp", fs::perms::owner_read);
    ASSERT_TRUE(plat::WriteFileAtomically("Data/XmlFiles/Rooms/Room1.xml", "saved"));
    EXPECT_EQ(ReadAll("Data/XmlFiles/Rooms/Room1.xml"), "saved");
    EXPECT_FALSE(fs::exists("Data/XmlFiles/Rooms/Room1.xml.tmp"));
}

TEST_F(FilesTest, AFailedAtomicSaveLeavesTheOldFileAndNoTemporaryFile)
{
    const std::string folder = "Data/XmlFiles/Rooms";
    const std::string old = ReadAll(folder + "/Room1.xml");
    const std::vector<std::string> before = FolderEntries(folder);
    const std::string big(256 * 1024, 'x');

    struct Case
    {
        const char* what;
        std::function<bool()> save;
    };
    const Case cases[] = {
        {"a write failing midway (file size limit)",
         [&]
         {
             // The kernel refuses the write past the limit, as it would on a full disk.
             rlimit saved{};
             getrlimit(RLIMIT_FSIZE, &saved);
             rlimit small = saved;
             small.rlim_cur = 4096;
             const auto previous = std::signal(SIGXFSZ, SIG_IGN);
             setrlimit(RLIMIT_FSIZE, &small);
             const bool ok = plat::WriteFileAtomically(folder + "/Room1.xml", big);
             setrlimit(RLIMIT_FSIZE, &saved);
             std::signal(SIGXFSZ, previous);
             return ok;
         }},
        {"a read-only folder",
         [&]
         {
             fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
             const bool ok = plat::WriteFileAtomically(folder + "/Room1.xml", "new");
             fs::permissions(folder, fs::perms::owner_all);
             return ok;
         }},
        {"a folder where the file should be",
         [&] { return plat::WriteFileAtomically(folder + "/Sub.xml", "new"); }},
        {"a missing folder", [&] { return plat::WriteFileAtomically(folder + "/Nowhere/Room1.xml", "new"); }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        if (std::string(c.what) == "a read-only folder" && ::geteuid() == 0)
            continue; // permissions do not stop the superuser
        EXPECT_FALSE(c.save());
        EXPECT_EQ(ReadAll(folder + "/Room1.xml"), old);
        EXPECT_EQ(FolderEntries(folder), before);
    }
}

namespace
{
// Every entry of a folder with what it holds ("<folder>" for a folder), to compare a whole
// folder before and after.
std::map<std::string, std::string> FolderContents(const std::string& folder)
{
    std::map<std::string, std::string> contents;
    for (const std::string& name : FolderEntries(folder))
        contents[name] = fs::is_directory(folder + "/" + name) ? "<folder>" : ReadAll(folder + "/" + name);
    return contents;
}
} // namespace

// A room's files as one save: the puzzles, then the room that names them. Whatever stops the
// group (a write that fails on its third file, a rename that fails on its second, a folder that
// does not exist, one file named twice) leaves every file as it was, with no temporary file or
// second name left behind; a group that goes through replaces every file and leaves nothing else.
TEST_F(FilesTest, AGroupSaveChangesAllItsFilesOrNone)
{
    const std::string folder = "Data/XmlFiles/Rooms";
    Write(folder + "/Lab_Puzzle_0.xml", "old puzzle 0");
    Write(folder + "/Lab_Puzzle_1.xml", "old puzzle 1");
    Write(folder + "/Lab.xml", "old room");
    const std::map<std::string, std::string> before = FolderContents(folder);
    auto group = [&folder](const std::string& second, std::size_t bigPuzzle)
    {
        std::vector<plat::FileToWrite> files;
        for (int i = 0; i < 3; ++i)
            files.push_back(plat::FileToWrite{folder + "/Lab_Puzzle_" + std::to_string(i) + ".xml",
                                              i == static_cast<int>(bigPuzzle)
                                                  ? std::string(64 * 1024, 'p')
                                                  : "new puzzle " + std::to_string(i)});
        files[1].path = folder + "/" + second;
        files.push_back(plat::FileToWrite{folder + "/Lab.xml", "new room"});
        return files;
    };

    struct Case
    {
        const char* what;
        std::function<bool(std::string&)> save;
        std::string failed; // the path the failure names
    };
    const Case cases[] = {
        {"the third file's write stopped by a full disk",
         [&](std::string& failed)
         {
             const testsupport::FileSizeLimit nearlyFull(4096);
             return plat::WriteFilesAtomically(group("Lab_Puzzle_1.xml", 2), &failed);
         },
         folder + "/Lab_Puzzle_2.xml"},
        {"the second file's rename stopped by a folder in its place",
         [&](std::string& failed) { return plat::WriteFilesAtomically(group("Sub.xml", 9), &failed); },
         folder + "/Sub.xml"},
        {"a file in a folder that does not exist",
         [&](std::string& failed) { return plat::WriteFilesAtomically(group("Nowhere/P.xml", 9), &failed); },
         folder + "/Nowhere/P.xml"},
        {"one file named twice",
         [&](std::string& failed) { return plat::WriteFilesAtomically(group("Lab.xml", 9), &failed); },
         folder + "/Lab.xml"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        std::string failed;
        EXPECT_FALSE(c.save(failed));
        EXPECT_EQ(failed, c.failed);
        EXPECT_EQ(FolderContents(folder), before);
    }

    ASSERT_TRUE(plat::WriteFilesAtomically(group("Lab_Puzzle_1.xml", 9)));
    std::map<std::string, std::string> after = before;
    after["Lab_Puzzle_0.xml"] = "new puzzle 0";
    after["Lab_Puzzle_1.xml"] = "new puzzle 1";
    after["Lab_Puzzle_2.xml"] = "new puzzle 2";
    after["Lab.xml"] = "new room";
    EXPECT_EQ(FolderContents(folder), after);
}

namespace
{
// The group's files: two puzzles (one new) in their folder, then the room that names them.
const char* const kPuzzles = "Data/XmlFiles/Puzzles";
const char* const kRooms = "Data/XmlFiles/Rooms";

std::vector<plat::FileToWrite> RoomGroup()
{
    return {plat::FileToWrite{std::string(kPuzzles) + "/Lab_Puzzle_0.xml", "new puzzle 0"},
            plat::FileToWrite{std::string(kPuzzles) + "/Lab_Puzzle_1.xml", "new puzzle 1"},
            plat::FileToWrite{std::string(kRooms) + "/Lab.xml", "new room"}};
}

// The three files as they read: "old", "new", or "mixed" for anything else.
std::string GroupState()
{
    const std::string p0 = ReadAll(std::string(kPuzzles) + "/Lab_Puzzle_0.xml");
    const bool p1 = fs::exists(std::string(kPuzzles) + "/Lab_Puzzle_1.xml");
    const std::string room = ReadAll(std::string(kRooms) + "/Lab.xml");
    if (p0 == "old puzzle 0" && !p1 && room == "old room")
        return "old";
    if (p0 == "new puzzle 0" && p1 &&
        ReadAll(std::string(kPuzzles) + "/Lab_Puzzle_1.xml") == "new puzzle 1" && room == "new room")
        return "new";
    return "mixed";
}

void ResetGroup()
{
    fs::remove_all(kPuzzles);
    fs::remove_all(kRooms);
    fs::create_directories(kPuzzles);
    fs::create_directories(kRooms);
    std::ofstream(std::string(kPuzzles) + "/Lab_Puzzle_0.xml") << "old puzzle 0";
    std::ofstream(std::string(kRooms) + "/Lab.xml") << "old room";
}
} // namespace

// A room save killed after any of its steps, and the repair of it killed after any of its own,
// leaves a room that the next repair makes all old or all new, with no record of it left; and
// the kill that falls between two renames does leave a mixed room until then.
TEST_F(FilesTest, AGroupSaveKilledAtAnyStepIsRepairedAllOldOrAllNew)
{
    bool sawMixed = false;
    bool sawOld = false;
    bool sawNew = false;
    for (int kill = 0;; ++kill)
    {
        ResetGroup();
        plat::StopSavesAfterSteps(kill);
        const bool saved = plat::WriteFilesAtomically(RoomGroup());
        plat::StopSavesAfterSteps(-1);
        if (saved)
        {
            EXPECT_EQ(GroupState(), "new");
            EXPECT_FALSE(fs::exists(std::string(kRooms) + "/Lab.xml.journal"));
            break;
        }
        ASSERT_LT(kill, 100) << "the save never completes";
        const std::map<std::string, std::string> puzzles = FolderContents(kPuzzles);
        const std::map<std::string, std::string> rooms = FolderContents(kRooms);
        sawMixed = sawMixed || GroupState() == "mixed";
        for (int repairKill = 0;; ++repairKill)
        {
            SCOPED_TRACE("save killed after " + std::to_string(kill) + " steps, its repair after " +
                         std::to_string(repairKill));
            // The files as the killed save left them.
            fs::remove_all(kPuzzles);
            fs::remove_all(kRooms);
            fs::create_directories(kPuzzles);
            fs::create_directories(kRooms);
            for (const auto& [name, text] : puzzles)
                std::ofstream(std::string(kPuzzles) + "/" + name) << text;
            for (const auto& [name, text] : rooms)
                std::ofstream(std::string(kRooms) + "/" + name) << text;
            plat::StopSavesAfterSteps(repairKill);
            plat::RepairInterruptedSaves(kRooms);
            plat::StopSavesAfterSteps(-1);
            const bool repairWentThrough = !fs::exists(std::string(kRooms) + "/Lab.xml.journal");
            plat::RepairInterruptedSaves(kRooms);
            const std::string state = GroupState();
            EXPECT_NE(state, "mixed");
            sawOld = sawOld || state == "old";
            sawNew = sawNew || state == "new";
            EXPECT_FALSE(fs::exists(std::string(kRooms) + "/Lab.xml.journal"));
            if (repairWentThrough)
                break;
            ASSERT_LT(repairKill, 100) << "the repair never completes";
        }
        // Whatever was left, the next save goes through.
        ASSERT_TRUE(plat::WriteFilesAtomically(RoomGroup()));
        EXPECT_EQ(GroupState(), "new");
        for (const std::string& name : FolderEntries(kPuzzles))
            EXPECT_EQ(name.find(".old"), std::string::npos) << name;
    }
    EXPECT_TRUE(sawMixed);
    EXPECT_TRUE(sawOld);
    EXPECT_TRUE(sawNew);
}

// A save whose rename fails (a folder stands where its second file goes) is put back while it
// runs; killed at any step of that, the repair still puts every file back as it was.
TEST_F(FilesTest, AFailingGroupSaveKilledWhileItIsPutBackEndsAllOld)
{
    std::vector<plat::FileToWrite> group = RoomGroup();
    group[1].path = std::string(kPuzzles) + "/Dir.xml";
    for (int kill = 0; kill < 60; ++kill)
    {
        SCOPED_TRACE("killed after " + std::to_string(kill) + " steps");
        ResetGroup();
        fs::create_directories(std::string(kPuzzles) + "/Dir.xml");
        plat::StopSavesAfterSteps(kill);
        EXPECT_FALSE(plat::WriteFilesAtomically(group));
        plat::StopSavesAfterSteps(-1);
        plat::RepairInterruptedSaves(kRooms);
        EXPECT_EQ(ReadAll(std::string(kPuzzles) + "/Lab_Puzzle_0.xml"), "old puzzle 0");
        EXPECT_EQ(ReadAll(std::string(kRooms) + "/Lab.xml"), "old room");
        EXPECT_FALSE(fs::exists(std::string(kRooms) + "/Lab.xml.journal"));
    }
}

// A record of an interrupted save that this program did not write, or that names a file outside
// the folders beside it, changes no file: it is removed with one line.
TEST_F(FilesTest, AForeignOrDamagedSaveRecordChangesNoFile)
{
    const std::string journal = std::string(kRooms) + "/Lab.xml.journal";
    const std::string header = "QUORB group save 1\nforward\n";
    const std::string cases[] = {
        "",
        "not a record",
        header,
        header + "1 12 Lab.xml\n",                                       // a group of one
        header + "1 22 ../../../../etc/passwd\n1 7 Lab.xml\n",           // outside the tree
        header + "1 12 /etc/passwd\n1 7 Lab.xml\n",                      // absolute
        header + "1 99 ../Puzzles/Lab_Puzzle_0.xml\n1 7 Lab.xml\n",      // a length past the end
        header + "1 26 ../Puzzles/Lab_Puzzle_0.xml\n1 7 Lab.xml\nextra", // trailing bytes
        "QUORB group save 1\nsideways\n1 7 Lab.xml\n1 7 Lab.xml\n",
    };
    for (const std::string& text : cases)
    {
        SCOPED_TRACE(text);
        ResetGroup();
        std::ofstream(std::string(kPuzzles) + "/Lab_Puzzle_0.xml.tmp") << "stray";
        std::ofstream("Lab.xml.tmp") << "stray";
        std::ofstream(journal) << text;
        const std::map<std::string, std::string> puzzles = FolderContents(kPuzzles);
        testsupport::LogCapture log;
        EXPECT_TRUE(plat::RepairInterruptedSave(std::string(kRooms) + "/Lab.xml"));
        EXPECT_EQ(log.Lines().size(), 1u) << log.Text();
        EXPECT_NE(log.Text().find("is damaged"), std::string::npos) << log.Text();
        EXPECT_EQ(FolderContents(kPuzzles), puzzles);
        EXPECT_EQ(ReadAll(std::string(kRooms) + "/Lab.xml"), "old room");
        EXPECT_FALSE(fs::exists(journal));
    }
    for (const char* name : {"P.xml", "../Puzzles/P.xml"})
        EXPECT_TRUE(plat::IsJournalName(name)) << name;
    for (const char* name : {"", "../../P.xml", "/P.xml", "a/b/P.xml", "../a/b/c.xml", "../P.xml",
                             "Puzzles/P.xml", "..", "../..", "a\\b", "c:d", "./P.xml", "a//b", "x\n"})
        EXPECT_FALSE(plat::IsJournalName(name)) << name;
}
