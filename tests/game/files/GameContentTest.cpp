// The committed content the game starts from: every template loads with all its components,
// the objects the game tells apart carry the names it compares, every mesh, texture and effect
// named by the data or the game exists, and the committed scripts set what the game reads. The
// end-to-end boot uses the committed scripts and templates as they are.
#include "GameTestWorld.h"

#include "LogCapture.h"
#include "TestSupport.h"
#include "common/HashName.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "game/app/CQUORB.h"
#include "game/manipulator/ManipulatorLogic.h"
#include "game/manipulator/WidgetManipulator.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>

using gametest::GameTestSetup;
using gametest::GameTestWorld;

namespace
{
std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every text of a <string name="..."> element under the node with that name.
void CollectStrings(const TiXmlNode* node, const std::string& name, std::set<std::string>& out)
{
    for (const TiXmlElement* e = node->FirstChildElement(); e; e = e->NextSiblingElement())
    {
        if (std::string(e->Value()) == "string" && e->Attribute("name") && name == e->Attribute("name") &&
            e->GetText())
            out.insert(e->GetText());
        CollectStrings(e, name, out);
    }
}
} // namespace

TEST(GameContent, EveryTemplateLoadsAndTheGamesKindsCarryTheirNames)
{
    testsupport::LogCapture logged;
    GameTestWorld world;
    const std::string err = logged.Text();
    ASSERT_TRUE(world.Booted());
    EXPECT_EQ(err.find("dropped"), std::string::npos) << err;
    EXPECT_EQ(err.find("cannot open"), std::string::npos) << err;

    const struct
    {
        const char* archetype;
        const char* type;
        const char* templateName;
        bool physics;
    } kinds[] = {
        {"Platform", "Widget", "Widget", true},
        {"Bar", "Widget", "Widget", true},
        {"BarAlt", "Widget", "Widget", true},
        {"Accelerator", "Widget", "Widget", true},
        {"GravitySwitch", "GravitySwitchWidget", "Widget", false},
        {"Magnet", "MagnetWidget", "Widget", false},
        {"SoftNode", "Node", "Node", true},
        {"HardNode", "Node", "Node", true},
        {"QUORBBall", "QUORB", "QUORB", true},
        {"QUORBBox", "QUORB", "QUORB", true},
        {"LocationObjective", "Objective", "Objective", false},
        {"TargetObjective", "Objective", "Objective", false},
        {"WaterObjective", "Objective", "Objective", false},
        {"WaterEndObjective", "Objective", "Objective", false},
        {"TimerObjective", "Objective", "Objective", false},
        {"SquashObjective", "Objective", "Objective", false},
        {"DestructionObjective", "Objective", "Objective", false},
        {"CQFront", "ConstructionQuad", "ConstructionQuad", false},
        {"CQRight", "ConstructionQuad", "ConstructionQuad", false},
        {"CQBack", "ConstructionQuad", "ConstructionQuad", false},
        {"CQLeft", "ConstructionQuad", "ConstructionQuad", false},
        {"ChargeField", "InvisibleWidget", "Field", false},
        {"QUORBChargeField", "InvisibleWidget", "Field", false},
        {"MagneticField", "NonCollideWidget", "Field", false},
    };
    const std::uint32_t physicsComp = HashName("PhysicsComp");
    logged.Clear();
    for (const auto& kind : kinds)
    {
        SCOPED_TRACE(kind.archetype);
        Gob* gob = GobManager::Instance().CreateGob(kind.archetype);
        ASSERT_NE(gob, nullptr);
        EXPECT_EQ(gob->GetArchetypeName(), kind.archetype);
        EXPECT_EQ(gob->GetTypeName(), kind.type);
        EXPECT_EQ(gob->GetTemplateName(), kind.templateName);
        EXPECT_EQ(gob->GetComponent(physicsComp) != nullptr, kind.physics);
    }
    // Every other archetype builds too, without a word on standard error.
    for (const std::string& name : GobManager::Instance().GetTemplateNames())
        EXPECT_NE(GobManager::Instance().CreateGob(name), nullptr) << name;
    const std::string made = logged.Text();
    EXPECT_EQ(made, "");

    // The star objects float and fall.
    for (const char* star : {"QUORBBall", "QUORBBox"})
    {
        const std::string text =
            ReadText(testsupport::RepoPath(std::string("data/files/xmlfiles/archetypes/") + star + ".xml"));
        EXPECT_NE(text.find("<string name=\"ForceType\">Gravity</string>"), std::string::npos) << star;
        EXPECT_NE(text.find("<string name=\"ForceType\">Buoyancy</string>"), std::string::npos) << star;
    }
}

TEST(GameContent, EveryMeshTextureAndEffectNamedExists)
{
    std::set<std::string> meshes, effects, textures;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(testsupport::RepoPath("data/files/xmlfiles")))
    {
        if (entry.path().extension() != ".xml")
            continue;
        TiXmlDocument document(entry.path().string());
        ASSERT_TRUE(document.LoadFile()) << entry.path();
        CollectStrings(&document, "XFile", meshes);
        CollectStrings(&document, "FXFile", effects);
        CollectStrings(&document, "Second", textures);
    }
    // Names the game's code uses: the cursors, and the console window's images from its script.
    for (const char* cursor :
         {"hud/BlueRedCursor.png", "hud/BlueRedPentCursor.png", "hud/GreenOrangeCursor.png",
          "hud/GreenPinkCursor.png", "hud/CursorPinkAquaPent.png", "hud/CursorGreyGreen.png",
          "ConsoleHistory.png", "ConsoleInput.png"})
        textures.insert(cursor);
    EXPECT_GE(meshes.size(), 20u);
    for (const std::string& mesh : meshes)
        EXPECT_TRUE(std::filesystem::exists(testsupport::RepoPath("data/meshes/" + mesh))) << mesh;
    for (const std::string& effect : effects)
        EXPECT_TRUE(std::filesystem::exists(testsupport::RepoPath("data/fx/" + effect))) << effect;
    for (const std::string& texture : textures)
    {
        if (texture.rfind("files/xmlfiles/", 0) == 0)
        {
            EXPECT_TRUE(std::filesystem::exists(testsupport::RepoPath("data/" + texture))) << texture;
            continue;
        }
        EXPECT_TRUE(std::filesystem::exists(testsupport::RepoPath("data/textures/" + texture))) << texture;
    }
}

TEST(GameContent, TheCommittedScriptsSetEveryGlobalAndBuildTheMenusFromTheSecondScript)
{
    const std::string startup = ReadText(testsupport::RepoPath("data/scripts/Startup.lua"));
    const std::string initGame = ReadText(testsupport::RepoPath("data/scripts/InitGame.lua"));
    for (const char* global :
         {"XML_PATH", "ROOM_PATH", "ENVFILE_PATH", "PUZZLE_PATH", "PROFILE_PATH", "SOUND_PATH"})
        EXPECT_TRUE(std::regex_search(startup, std::regex(std::string("\\n") + global + " = \"[^\"]+/\"")))
            << global;
    for (const char* global : {"NODE_BREAK_FORCE", "NODE_BREAK_DISTANCE"})
        EXPECT_TRUE(std::regex_search(startup, std::regex(std::string("\\n") + global + " = [0-9.]+\\s")))
            << global << " is a number";
    EXPECT_EQ(startup.find("CreateConsole("), std::string::npos) << "the templates are not loaded yet";
    EXPECT_TRUE(std::regex_search(initGame, std::regex("\\nCreateConsole\\(\"[^\"]+\", \"[^\"]+\"\\)")));
}

// The whole start as the player gets it: the committed scripts (paths relative to the run folder)
// and templates, to Running with the console window, the 28 menus and the manipulator.
TEST(GameContent, TheCommittedScriptsAndTemplatesBootToRunning)
{
    GameTestSetup setup;
    setup.writeStartup = false;
    setup.files["Startup.lua"] = ReadText(testsupport::RepoPath("data/scripts/Startup.lua"));
    testsupport::LogCapture logged;
    GameTestWorld world(setup);
    ASSERT_TRUE(world.Booted());
    world.Frames(3);
    const std::string err = logged.Text();
    EXPECT_EQ(world.Game().GetStates().GetCurrentStateName(), "Running State Exit Code");
    std::size_t twoD = 0;
    GobManager& manager = GobManager::Instance();
    for (std::uint32_t id = 1; id < manager.GetNextID(); ++id)
        if (Gob* gob = manager.GetGob(id))
            twoD += gob->GetArchetypeName() == "2DArchetype" ? 1 : 0;
    EXPECT_EQ(twoD, 29u);
    ASSERT_NE(world.Game().GetWidgetManipulator()->GetLogic(), nullptr);
    EXPECT_EQ(world.Game().GetWidgetManipulator()->GetLogic()->GetState(),
              QUORB::ManipulatorLogic::STATE_EditorOff);
    EXPECT_NE(world.Game().GetCursor(), nullptr);
    EXPECT_NE(world.Game().GetRoom(), nullptr);
    EXPECT_EQ(err.find("Invalid.x"), std::string::npos) << err;
}
