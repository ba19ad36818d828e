// The one writer: which names each kind of file may be written under, that a refused name
// writes nothing (not even a temporary file), and that a group with one refused name is left
// whole.
#include "platform/files.h"

#include "LogCapture.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace
{
std::string Read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class FileSavingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories("files/XmlFiles");
        fs::create_directories("files/profiles");
        fs::create_directories("art");
        fs::create_directories("folder.png");
        std::ofstream("files/XmlFiles/QUORBSettings.xml") << "settings";
        std::ofstream("art/Icon.png") << "art";
        std::ofstream("Startup.lua") << "script";
        ::mkfifo("pipe.png", 0600);
        ::mkfifo("pipe.xml", 0600);
        fs::create_symlink(outside, "link.xml");
        fs::create_symlink(fs::temp_directory_path(), "away");
        plat::ProtectDataFolder("art");
        plat::ProtectDataFolder("files/xmlfiles/");
        plat::ProtectDataFolder("."); // data read from the root protects the root's files by kind only
    }

    testsupport::TempWorkDir dir;
    const std::string outside = dir.Path() + "-outside.xml";
};
} // namespace

TEST_F(FileSavingTest, EachKindIsWrittenOnlyUnderTheNamesThatFitIt)
{
    using plat::SaveKind;
    const struct
    {
        std::string path;
        SaveKind kind;
        std::string why; // empty: written
    } cases[] = {
        {"files/xmlfiles/QUORBSettings.xml", SaveKind::Data, ""},
        {"FILES\\profiles\\Pat.xml", SaveKind::Data, ""},
        {dir.Path() + "/files/profiles/Abs.xml", SaveKind::Data, ""},
        {"shot.png", SaveKind::Image, ""},
        {"Shot.JPG", SaveKind::Image, ""},
        {"log.txt", SaveKind::Log, ""},
        {"files/xmlfiles/QUORBSettings.xml", SaveKind::Image, "a picture must be a .png, .bmp or .jpg file"},
        {"files/xmlfiles/Shot.png", SaveKind::Image, "the folder holds the game's data"},
        {"art/Icon.png", SaveKind::Image, "the folder holds the game's data"},
        {"files/xmlfiles/Log.xml", SaveKind::Log, "the folder holds the game's data"},
        {"Startup.lua", SaveKind::Log, "a log must be a .txt, .log or .xml file"},
        {"Startup.lua", SaveKind::Data, "a save must be an .xml file"},
        {"art/Icon.png", SaveKind::Data, "a save must be an .xml file"},
        {"../up.xml", SaveKind::Data, "the name leaves the run folder"},
        {"files/../../up.xml", SaveKind::Data, "the name leaves the run folder"},
        {outside, SaveKind::Data, "the name leaves the run folder"},
        {"away/x.xml", SaveKind::Data, "the name leaves the run folder"},
        {"link.xml", SaveKind::Data, "it is a symbolic link, not a regular file"},
        {"pipe.xml", SaveKind::Data, "it is a FIFO, not a regular file"},
        {"pipe.png", SaveKind::Image, "it is a FIFO, not a regular file"},
        {"folder.png", SaveKind::Image, "it is a folder, not a regular file"},
        {"files/", SaveKind::Data, "the name is a folder"},
        {"", SaveKind::Data, "the name is empty"},
        {"bad\nname.xml", SaveKind::Data, "the name holds a control character"},
        {std::string(2000, 'a') + ".xml", SaveKind::Data, "the name is longer than 1024 bytes"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.path.substr(0, 80));
        EXPECT_EQ(plat::SaveRefusal(c.path, c.kind), c.why);
        std::string error;
        EXPECT_EQ(plat::SaveRunFile(c.path, "new", c.kind, error), c.why.empty());
        EXPECT_EQ(error, c.why.empty() ? std::string() : c.path + ": " + c.why);
    }
    EXPECT_EQ(Read("files/XmlFiles/QUORBSettings.xml"), "new");
    EXPECT_EQ(Read("files/profiles/Pat.xml"), "new");
    EXPECT_EQ(Read("art/Icon.png"), "art");
    EXPECT_EQ(Read("Startup.lua"), "script");
    EXPECT_FALSE(fs::exists("../up.xml"));
    EXPECT_FALSE(fs::exists(outside));
    EXPECT_FALSE(fs::exists(fs::temp_directory_path() / "x.xml"));
    EXPECT_TRUE(fs::is_symlink("link.xml"));
    EXPECT_TRUE(fs::is_fifo("pipe.png"));
    for (const auto& entry : fs::recursive_directory_iterator("."))
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
}

TEST_F(FileSavingTest, AGroupWithOneRefusedNameWritesNothingAndSaysWhy)
{
    testsupport::LogCapture logged;
    std::string failed;
    EXPECT_FALSE(plat::SaveRunFiles({{"files/profiles/Pat.xml", "profile"},
                                     {"pipe.xml", "x"},
                                     {"files/xmlfiles/QUORBSettings.xml", "new settings"}},
                                    plat::SaveKind::Data, &failed));
    EXPECT_EQ(failed, "pipe.xml");
    EXPECT_EQ(logged.Text(),
              "SaveRunFiles: pipe.xml: it is a FIFO, not a regular file; nothing of its group is written\n");
    EXPECT_FALSE(fs::exists("files/profiles/Pat.xml"));
    EXPECT_EQ(Read("files/XmlFiles/QUORBSettings.xml"), "settings");

    EXPECT_TRUE(plat::SaveRunFiles(
        {{"files/profiles/Pat.xml", "profile"}, {"files/xmlfiles/QUORBSettings.xml", "new settings"}},
        plat::SaveKind::Data, &failed));
    EXPECT_EQ(Read("files/profiles/Pat.xml"), "profile");
    EXPECT_EQ(Read("files/XmlFiles/QUORBSettings.xml"), "new settings");
}

TEST_F(FileSavingTest, AnAppendAddsToARegularFileAndNeverWaitsOnAFifo)
{
    std::string error;
    ASSERT_TRUE(plat::AppendRunFile("log.txt", "one\n", plat::SaveKind::Log, error)) << error;
    ASSERT_TRUE(plat::AppendRunFile("log.txt", "two\n", plat::SaveKind::Log, error)) << error;
    EXPECT_EQ(Read("log.txt"), "one\ntwo\n");
    ::mkfifo("pipe.txt", 0600);
    EXPECT_FALSE(plat::AppendRunFile("pipe.txt", "three\n", plat::SaveKind::Log, error));
    EXPECT_EQ(error, "pipe.txt: it is a FIFO, not a regular file");
    EXPECT_FALSE(plat::AppendRunFile("../log.txt", "three\n", plat::SaveKind::Log, error));
    EXPECT_EQ(error, "../log.txt: the name leaves the run folder");
}
