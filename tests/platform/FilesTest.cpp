#include "platform/files.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

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

    std::FILE* f = plat::OpenFile("data\\XMLFILES\\rooms\\NewRoom.xml", "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("new", f);
    std::fclose(f);
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

TEST(WildcardMatch, Patterns)
{
    struct Case
    {
        const char* pattern;
        const char* name;
        bool match;
    };
    const Case cases[] = {
        {"*.xml", "a.XML", true},         {"*.xml", "a.xml.bak", false},      {"*", "", true},
        {"a*b*c", "aXbYbZc", true},       {"a*b*c", "aXbYbZ", false},         {"?", "", false},
        {"Room?.xml", "room7.xml", true}, {"Room?.xml", "room77.xml", false}, {"", "a", false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.pattern) + " ~ " + c.name);
        EXPECT_EQ(plat::WildcardMatch(c.pattern, c.name), c.match);
    }
}
