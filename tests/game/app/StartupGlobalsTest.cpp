// The start-up scripts' globals and what stands in for them: each missing, mistyped or unusable
// global takes its shipped value with one line, and a game whose scripts or engine configuration
// are damaged still starts with its templates, menus, effects and console.
#include "GameTestWorld.h"

#include "LogCapture.h"
#include "TestSupport.h"
#include "common/LuaUtil.h"
#include "engine/GobManager.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/core/CFXManager.h"
#include "engine/gfx/core/CTextureManager.h"
#include "game/app/CQUORB.h"
#include "game/app/StartupGlobals.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using QUORB::StartupGlobals;

namespace
{
std::size_t CountOf(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A run folder four levels below a fresh folder holding "data/", as the game's run folder sits
// below the repository, with a fresh interpreter.
class StartupGlobalsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        namespace fs = std::filesystem;
        fs::create_directories("repo/data/sounds");
        fs::create_directories("repo/a/b/c/run/files/xmlfiles");
        fs::create_directories("repo/a/b/c/run/other/xml");
        fs::current_path("repo/a/b/c/run");
        m_run = fs::current_path().string();
        LuaUtil::ResetInstance();
        StartupGlobals::ForgetReports();
    }
    void TearDown() override { LuaUtil::ResetInstance(); }

    static void Run(const std::string& script)
    {
        std::ofstream("Globals.lua") << script;
        ASSERT_TRUE(LuaUtil::Instance().RunScript("Globals.lua"));
    }

    testsupport::TempWorkDir m_dir;
    std::string m_run;
};
} // namespace

TEST_F(StartupGlobalsTest, FoldersThatAreMissingMistypedOrUnusableTakeTheShippedValueWithOneLine)
{
    struct Case
    {
        const char* global;
        std::string value; // Lua expression
        std::string expected;
        std::string line; // after "Startup.lua: "; empty when none
    };
    const std::string longName(4096, 'x');
    const Case cases[] = {
        {"XML_PATH", "\"other/xml/\"", "other/xml/", ""},
        {"XML_PATH", "\"other\\\\xml\"", "other\\xml/", ""},
        {"XML_PATH", "nil", "files/xmlfiles/",
         "XML_PATH is not set; the shipped \"files/xmlfiles/\" is used"},
        {"XML_PATH", "42", "files/xmlfiles/",
         "XML_PATH is a number, not a folder; the shipped \"files/xmlfiles/\" is used"},
        {"XML_PATH", "{}", "files/xmlfiles/",
         "XML_PATH is a table, not a folder; the shipped \"files/xmlfiles/\" is used"},
        {"XML_PATH", "\"\"", "files/xmlfiles/", "XML_PATH is empty; the shipped \"files/xmlfiles/\" is used"},
        {"XML_PATH", "\"/\"", "files/xmlfiles/",
         "XML_PATH \"/\" leaves the run folder and the data folder; the shipped \"files/xmlfiles/\" is used"},
        {"XML_PATH", "\"files/xmlfilez/\"", "files/xmlfiles/",
         "XML_PATH \"files/xmlfilez/\" is no folder; the shipped \"files/xmlfiles/\" is used"},
        {"ROOM_PATH", "\"../../../../../../etc/\"", "files/rooms/",
         "ROOM_PATH \"../../../../../../etc/\" leaves the run folder and the data folder; the shipped "
         "\"files/rooms/\" is used"},
        {"ROOM_PATH", "\"" + longName + "\"", "files/rooms/",
         "ROOM_PATH \"" + longName.substr(0, 64) +
             "...\" is 4096 characters long (at most 260); the shipped "
             "\"files/rooms/\" is used"},
        {"ROOM_PATH", "\"new/rooms/\"", "new/rooms/", ""}, // made at start-up when missing
        {"PUZZLE_PATH", "\"puz\\nzles/\"", "files/puzzles/",
         "PUZZLE_PATH \"puz zles/\" holds a control character; the shipped \"files/puzzles/\" is used"},
        {"SOUND_PATH", "\"../../../../data/sounds/\"", "../../../../data/sounds/", ""},
        {"SOUND_PATH", "\"../../../../data/../secret/\"", "../../../../data/sounds/",
         "SOUND_PATH \"../../../../data/../secret/\" leaves the run folder and the data folder; the shipped "
         "\"../../../../data/sounds/\" is used"},
        {"ENVFILE_PATH", "\"env2/\"", "env2/", ""},
        {"ENVFILE_PATH", "\"../env/\"", "env/",
         "ENVFILE_PATH \"../env/\" leaves ROOM_PATH; the shipped \"env/\" is used"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.global) + " = " + c.value.substr(0, 40));
        StartupGlobals::ForgetReports();
        Run(std::string(c.global) + " = " + c.value + "\n");
        testsupport::LogCapture logged;
        EXPECT_EQ(StartupGlobals::Folder(c.global), c.expected);
        EXPECT_EQ(StartupGlobals::Folder(c.global), c.expected);
        const std::string err = logged.Text();
        EXPECT_EQ(err, c.line.empty() ? "" : "StartupGlobals::Folder: Startup.lua: " + c.line + "\n")
            << "one line, however often read";
    }
    // An absolute folder inside the run folder is the run folder's own.
    Run("PROFILE_PATH = \"" + m_run + "/files/profiles/\"\n");
    EXPECT_EQ(StartupGlobals::Folder("PROFILE_PATH"), m_run + "/files/profiles/");
}

TEST_F(StartupGlobalsTest, NumbersThatAreMissingMistypedOrNotAboveZeroTakeTheShippedValueWithOneLine)
{
    struct Case
    {
        const char* value;
        double expected;
        const char* fault; // empty when none
    };
    const Case cases[] = {
        {"250", 250.0, ""},
        {"\"12\"", 12.0, ""},
        {"nil", 400.0, "is not set"},
        {"\"far\"", 400.0, "is a string, not a number"},
        {"true", 400.0, "is a boolean, not a number"},
        {"0", 400.0, "is 0.000000, not a number above 0"},
        {"-5", 400.0, "is -5.000000, not a number above 0"},
        {"1/0", 400.0, "is inf, not a number above 0"},
        {"0/0", 400.0, "not a number above 0"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.value);
        StartupGlobals::ForgetReports();
        Run(std::string("NODE_BREAK_FORCE = ") + c.value + "\n");
        testsupport::LogCapture logged;
        EXPECT_EQ(StartupGlobals::Number("NODE_BREAK_FORCE"), c.expected);
        EXPECT_EQ(StartupGlobals::Number("NODE_BREAK_FORCE"), c.expected);
        const std::string err = logged.Text();
        if (*c.fault == '\0')
            EXPECT_EQ(err, "");
        else
        {
            EXPECT_EQ(logged.Lines().size(), 1u) << err;
            EXPECT_EQ(err.rfind("StartupGlobals::Number: Startup.lua: NODE_BREAK_FORCE ", 0), 0u) << err;
            EXPECT_NE(err.find(std::string(c.fault) + "; the shipped 400 is used"), std::string::npos) << err;
        }
    }
}

// The fallbacks are the shipped script's own values, so a game that takes them runs as shipped.
TEST_F(StartupGlobalsTest, TheShippedValuesAreThoseOfTheCommittedScript)
{
    std::ofstream("Startup.lua") << ReadText(testsupport::RepoPath("data/scripts/Startup.lua"));
    ASSERT_TRUE(LuaUtil::Instance().RunScript("Startup.lua"));
    LuaUtil& lua = LuaUtil::Instance();
    for (const char* name :
         {"XML_PATH", "ROOM_PATH", "ENVFILE_PATH", "PUZZLE_PATH", "PROFILE_PATH", "SOUND_PATH"})
    {
        SCOPED_TRACE(name);
        EXPECT_EQ(lua.GetString(name), StartupGlobals::ShippedFolder(name));
    }
    for (const char* name : {"NODE_BREAK_FORCE", "NODE_BREAK_DISTANCE"})
    {
        SCOPED_TRACE(name);
        EXPECT_EQ(lua.GetDouble(name), StartupGlobals::ShippedNumber(name));
    }
}

// A damaged first script, a second one that fails before building anything, and no engine
// configuration at all: the game still comes up with its templates, console window, menus and
// effects, each fault said in a line or two.
TEST(StartupFallbacks, ADamagedStartUpStillBuildsThePlayableGame)
{
    gametest::GameTestSetup setup;
    setup.writeStartup = false;
    std::string startup = ReadText(testsupport::RepoPath("data/scripts/Startup.lua"));
    // Truncated in the middle of its first folder, and a few bytes changed in what is left.
    startup = startup.substr(0, startup.find("XML_PATH") + 14) + "\n";
    setup.files["Startup.lua"] = startup;
    setup.initGameScript =
        "error('InitGame.lua was damaged')\nCreateConsole(\"ConsoleHistory.png\", \"ConsoleInput.png\")\n";
    setup.engineConfig = "lost/dorvo_engine_config.xml";
    testsupport::LogCapture logged;
    gametest::GameTestWorld world(setup);
    ASSERT_TRUE(world.Booted());
    world.Frames(3);
    const std::string err = logged.Text();

    EXPECT_EQ(world.Game().GetStates().GetCurrentStateName(), "Running State Exit Code");
    EXPECT_NE(GobManager::Instance().FindController("2DArchetype"), nullptr) << "the templates were found";
    EXPECT_NE(world.Game().GetConsoleId(), 0u) << err;
    EXPECT_NE(world.Menu("MainMenu"), nullptr);
    EXPECT_GE(world.MessageCount("KeshSplashMenu", MSG_OpenMenu), 1u) << "the splash opens";
    EXPECT_NE(world.Game().GetRoom(), nullptr);
    dorvo::gfx::CDorvoGfx& gfx = dorvo::gfx::CDorvoGfx::Instance();
    EXPECT_EQ(gfx.GetTexturePath(), "../../../../data/textures/");
    EXPECT_NE(dorvo::gfx::CFXManager::Instance().GetEffect("TextureMapping.fx"), nullptr);

    EXPECT_EQ(CountOf(err, "the built-in configuration is used"), 1u) << err;
    EXPECT_EQ(CountOf(err, "InitGame.lua: the script did not build the console window and the menus"), 1u)
        << err;
    for (const char* global : {"XML_PATH", "ROOM_PATH", "ENVFILE_PATH", "PUZZLE_PATH", "PROFILE_PATH",
                               "SOUND_PATH", "NODE_BREAK_FORCE", "NODE_BREAK_DISTANCE"})
    {
        SCOPED_TRACE(global);
        const std::size_t lines = CountOf(err, std::string("Startup.lua: ") + global + " ");
        EXPECT_LE(lines, 1u) << err;
        if (std::string(global) != "NODE_BREAK_FORCE" && std::string(global) != "NODE_BREAK_DISTANCE")
        {
            EXPECT_EQ(lines, 1u) << err; // the break rules are read only once a puzzle plays
        }
    }
}

// The console window's images come from the texture folder only: names that leave it are
// replaced by the default images, one line each.
TEST(StartupFallbacks, ConsoleImagesOutsideTheTextureFolderGiveWayToTheDefaults)
{
    gametest::GameTestSetup setup;
    setup.initGameScript = "CreateConsole(\"/etc/passwd\", \"../../../../../../etc/hostname\")\n";
    testsupport::LogCapture logged;
    gametest::GameTestWorld world(setup);
    const std::string err = logged.Text();
    ASSERT_TRUE(world.Booted());
    EXPECT_NE(world.Game().GetConsoleId(), 0u);
    EXPECT_EQ(err.find("the script did not build"), std::string::npos) << err;
    EXPECT_EQ(
        CountOf(err, "CreateConsole: /etc/passwd: the name leaves the texture folder; \"ConsoleHistory.png\" "
                     "is used\n"),
        1u)
        << err;
    EXPECT_EQ(CountOf(err,
                      "CreateConsole: ../../../../../../etc/hostname: the name leaves the texture folder; "
                      "\"ConsoleInput.png\" is used\n"),
              1u)
        << err;
    const dorvo::gfx::CTextureManager& textures = dorvo::gfx::CTextureManager::Instance();
    EXPECT_GT(textures.GetCount("ConsoleHistory.png"), 0);
    EXPECT_GT(textures.GetCount("ConsoleInput.png"), 0);
    EXPECT_EQ(textures.GetCount("/etc/passwd"), 0);
}
