// Creating with the mouse: a click on the focused face places the chosen widget or star object
// against the budget, and the create operations place their objects as the face asks.
#include "LogCapture.h"
#include "ManipulatorFixture.h"
#include "PuzzleFixtures.h"
#include "TestSupport.h"

#include "common/ConsoleInterface.h"
#include "common/InputEvent.h"
#include "common/math/MathUtil.h"
#include "engine/gfx/gui/CGuiManager.h"
#include "engine/phy/CollisionFunctorData.h"
#include "engine/phy/PhysicsComp.h"
#include "game/nodes/ConnectionComp.h"
#include "game/nodes/GobIDComp.h"
#include "game/nodes/NodeDataComp.h"
#include "game/widgets/IWidgetData.h"
#include "game/widgets/WidgetDataComp.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

using manipulatortest::Editor;
using manipulatortest::PositionOf;

namespace
{
void ExpectNear(const math::Vector3& actual, const math::Vector3& expected, float tolerance, const char* what)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance) << what;
    EXPECT_NEAR(actual.y, expected.y, tolerance) << what;
    EXPECT_NEAR(actual.z, expected.z, tolerance) << what;
}
} // namespace

TEST(ManipulatorCreate, AClickOnTheFrontFacePlacesAPlatformStandingUpFromThePressPoint)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    editor.puzzle().SetBudgetLeft(5);
    editor.Choose("Platform");
    common::ConsoleInterface::Instance().ClearOutput();
    editor.world->PressAt(Editor::Front(1.0f, 0.0f));
    EXPECT_EQ(editor.state(), QUORB::ManipulatorLogic::STATE_Creating);
    for (const std::string& line : common::ConsoleInterface::Instance().GetOutputLines())
        EXPECT_EQ(line.find("Error"), std::string::npos) << line;
    editor.world->LeftUp();
    EXPECT_EQ(editor.state(), QUORB::ManipulatorLogic::STATE_Idle);

    const math::Vector3 p = editor.manipulator().GetPressFacePoint();
    EXPECT_NEAR(p.z, 20.0f, 1e-3f);
    ASSERT_EQ(editor.Widgets().size(), 1u);
    Gob* platform = editor.Widgets()[0];
    EXPECT_EQ(platform->GetArchetypeName(), "Platform");
    const float length = std::sqrt(6.0f);
    ExpectNear(PositionOf(platform), p + math::Vector3(0.0f, 0.5f * length, 0.0f), 1e-4f, "centre");
    EXPECT_NEAR(GetPOVComp(platform)->GetScale().x, length, 1e-5f);
    const QUORB::ConnectionComp* connection = QUORB::ConnectionComp::Of(platform);
    ASSERT_NE(connection, nullptr);
    ExpectNear(PositionOf(connection->GetNodeA()), p, 1e-4f, "node A");
    ExpectNear(PositionOf(connection->GetNodeB()), p + math::Vector3(0.0f, length, 0.0f), 1e-4f, "node B");
    EXPECT_EQ(editor.puzzle().GetBudgetLeft(), 4);
    EXPECT_EQ(editor.manipulator().GetSelectedGob(), platform);
}

// The create operations place a widget's nodes along the focused face's long axis: local x on
// the front and back faces, local z on the sides; a bar takes the face's kind whatever its key.
TEST(ManipulatorCreate, WidgetsLieAlongTheFocusedFacesAxisAndBarsFollowTheFace)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    QUORB::CRoom& room = *editor.game().GetRoom();
    QUORB::WidgetManipulator& manipulator = editor.manipulator();

    room.FocusFace(1);
    math::Vector3 normal;
    ASSERT_TRUE(editor.game().GetFocusedFaceNormal(normal));
    const math::Vector3 along(0.0f, 0.0f, 1.0f);
    math::Quaternion orientation;
    orientation.SetFromDirections(-normal, along);
    const math::Vector3 at(19.5f, 1.0f, 2.0f);
    Gob* platform = QUORB::WidgetManipulator::Live(
        manipulator.CreateWidgetAtPos("Platform", at, orientation, math::Vector3(1.0f, 1.0f, 6.0f)));
    ASSERT_NE(platform, nullptr);
    const QUORB::ConnectionComp* connection = QUORB::ConnectionComp::Of(platform);
    ExpectNear(PositionOf(connection->GetNodeA()), at - along * 3.0f, 1e-4f, "node A");
    ExpectNear(PositionOf(connection->GetNodeB()), at + along * 3.0f, 1e-4f, "node B");
    EXPECT_EQ(QUORB::NodeDataComp::Of(connection->GetNodeA())->GetConnectionID(), platform->GetID());

    math::Quaternion unturned;
    unturned.SetIdentity();
    const struct
    {
        unsigned face;
        const char* key;
        const char* made;
    } bars[] = {{0, "Bar", "Bar"},
                {0, "BarAlt", "Bar"},
                {2, "BarAlt", "Bar"},
                {1, "Bar", "BarAlt"},
                {3, "Bar", "BarAlt"}};
    for (const auto& bar : bars)
    {
        SCOPED_TRACE(std::string(bar.key) + " on face " + std::to_string(bar.face));
        room.FocusFace(bar.face);
        Gob* made = QUORB::WidgetManipulator::Live(manipulator.CreateWidgetAtPos(
            bar.key, math::Vector3(0.0f, 0.0f, 0.0f), unturned, math::Vector3(3.0f, 1.0f, 3.0f)));
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(made->GetArchetypeName(), bar.made);
    }
}

// A type whose create operation makes nothing: the error line once for the press, no object,
// and the budget as it was.
TEST(ManipulatorCreate, ATypeThatMakesNothingReportsItAndCostsNothing)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    editor.puzzle().SetBudgetLeft(3);
    const std::size_t objects = GobManager::Instance().GetCount();
    for (const char* type : {"Cloth", "Rope", "Teapot"})
    {
        SCOPED_TRACE(type);
        editor.Choose(type);
        editor.world->PointAt(Editor::Front(0.0f, 0.0f));
        common::ConsoleInterface::Instance().ClearOutput();
        editor.world->LeftDown();
        editor.world->Frames(5); // held: one try a press
        const auto& lines = common::ConsoleInterface::Instance().GetOutputLines();
        EXPECT_EQ(std::count(lines.begin(), lines.end(), ">Error: Bad widget creation type"), 1);
        editor.world->LeftUp();
        EXPECT_EQ(editor.state(), QUORB::ManipulatorLogic::STATE_Idle);
        EXPECT_EQ(editor.puzzle().GetBudgetLeft(), 3);
        EXPECT_TRUE(editor.Widgets().empty());
        EXPECT_EQ(GobManager::Instance().GetCount(), objects);
    }
}

// In create-puzzle mode placing costs nothing; a star object comes with its charge field.
TEST(ManipulatorCreate, CreatePuzzleModePlacesForFreeAndStarsBringTheirField)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    editor.puzzle().SetBudgetLeft(1);
    editor.world->Console("togglecm");
    editor.Choose("Platform");
    editor.ClickAt(Editor::Front(-3.0f, 0.0f));
    editor.Choose("QUORBBall");
    editor.ClickAt(Editor::Front(3.0f, 0.0f));
    EXPECT_EQ(editor.Widgets().size(), 1u);
    ASSERT_EQ(editor.Quorbs().size(), 1u);
    EXPECT_EQ(editor.puzzle().GetBudgetLeft(), 1);
    Gob* star = editor.Quorbs()[0];
    const QUORB::GobIDComp* link = QUORB::GobIDComp::Of(star);
    ASSERT_NE(link, nullptr);
    Gob* field = link->GetLinkedGob();
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->GetArchetypeName(), "QUORBChargeField");
    EXPECT_EQ(QUORB::GobIDComp::Of(field)->GetLinkedID(), star->GetID());
    ExpectNear(PositionOf(star), editor.manipulator().GetPressFacePoint(), 1e-4f, "at the press point");
    const dorvo::phy::PhysicsComp* physics = dorvo::phy::GetPhysicsComp(star);
    ASSERT_NE(physics, nullptr);
    EXPECT_TRUE(physics->immovable && physics->savedImmovable) << "immovable until play";
}

namespace
{
gametest::GameTestSetup TargetRoom(int stars)
{
    puzzletest::PuzzleText front;
    front.objectives.push_back(puzzletest::DescriptionXml(
        "ObjectiveDescription", "TargetObjective", Editor::Front(0.0f, 6.0f), 1.0f, puzzletest::TargetXml()));
    for (int i = 0; i < stars; ++i)
        front.quorbs.push_back(puzzletest::DescriptionXml("QuorbDescription", "QUORBBall",
                                                          Editor::Front(-6.0f + 3.0f * i, 6.0f), 1.0f));
    gametest::GameTestSetup setup = manipulatortest::RoomSetup();
    setup.files["files/puzzles/Front.xml"] = puzzletest::PuzzleXml(front);
    setup.files["files/rooms/Target.xml"] = puzzletest::RoomXml(
        {"Front.xml", "EmptyRoom_Puzzle_1.xml", "EmptyRoom_Puzzle_2.xml", "EmptyRoom_Puzzle_3.xml"});
    return setup;
}

std::vector<std::string> TextsTo(const gametest::GameTestWorld& world, const char* menu)
{
    std::vector<std::string> texts;
    for (const QUORB::PlaceholderMenu::Received& received : world.Menu(menu)->GetReceived())
        if (received.name == MSG_SendTextMessage)
            texts.push_back(received.data.GetString());
    return texts;
}
} // namespace

// With a Target objective the editor refuses a second star object (the two messages, the type
// cleared, the error sound, nothing charged); without one a second is placed. A puzzle file with
// two star objects and a Target loads both without a word.
TEST(ManipulatorCreate, ATargetObjectiveAllowsOneStarObjectInTheEditorButFilesLoadAsWritten)
{
    {
        Editor editor(TargetRoom(1), 0, "Target.xml");
        ASSERT_TRUE(editor.ready);
        ASSERT_EQ(editor.Quorbs().size(), 1u);
        ASSERT_NE(editor.puzzle().GetObjectiveMask() & QUORB::CPuzzle::OT_Target, 0u);
        editor.puzzle().SetBudgetLeft(2);
        editor.world->Menu("MessageWindowMenu")->ClearReceived();
        editor.world->ClearSounds();
        editor.Choose("QUORBBall");
        editor.ClickAt(Editor::Front(3.0f, 0.0f));
        EXPECT_EQ(editor.Quorbs().size(), 1u);
        EXPECT_EQ(Editor::OfArchetype("QUORBBall").size(), 1u);
        EXPECT_EQ(TextsTo(*editor.world, "MessageWindowMenu"),
                  (std::vector<std::string>{"There is a Target Objective in play",
                                            "You can only place at most 1 QUORB."}));
        EXPECT_TRUE(editor.manipulator().GetCurrentWidgetType().empty());
        EXPECT_EQ(std::count_if(editor.world->Sounds().begin(), editor.world->Sounds().end(),
                                [](const plat::soundtest::Record& record) {
                                    return record.action == "start" &&
                                           record.path == "QUORBSound/Editor/EditorError";
                                }),
                  1);
        EXPECT_EQ(editor.puzzle().GetBudgetLeft(), 2);
    }
    {
        Editor editor;
        ASSERT_TRUE(editor.ready);
        editor.Choose("QUORBBall");
        editor.ClickAt(Editor::Front(-3.0f, 0.0f));
        editor.Choose("QUORBBall");
        editor.ClickAt(Editor::Front(3.0f, 0.0f));
        EXPECT_EQ(editor.Quorbs().size(), 2u) << "no Target: any number";
    }
    {
        Editor editor(TargetRoom(2), 0, "Target.xml");
        ASSERT_TRUE(editor.ready);
        EXPECT_EQ(editor.Quorbs().size(), 2u);
        EXPECT_TRUE(TextsTo(*editor.world, "MessageWindowMenu").empty());
        for (Gob* star : editor.Quorbs())
            EXPECT_NE(QUORB::GobIDComp::Of(star)->GetLinkedGob(), nullptr) << "with its charge field";
    }
}

// A star object's own density picks its sound against a platform, bar, accelerator or magnet:
// 0.5 the wood, 1.2 the metal, anything else none; other objects never sound.
TEST(ManipulatorCreate, AStarObjectsDensityPicksItsCollisionSound)
{
    // Under real physics: a star dropped onto a platform lying on the floor.
    for (float density : {0.5f, 1.0f})
    {
        SCOPED_TRACE(density);
        puzzletest::PuzzleText front;
        front.quorbs.push_back(
            puzzletest::DescriptionXml("QuorbDescription", "QUORBBall", Editor::Front(0.0f, -7.0f), 1.0f));
        front.widgets.push_back(puzzletest::DescriptionXml(
            "WidgetDescription", "Platform", Editor::Front(0.0f, -9.4f), math::Vector3(3.0f, 1.0f, 1.0f)));
        gametest::GameTestSetup setup = manipulatortest::RoomSetup();
        setup.files["files/puzzles/Front.xml"] = puzzletest::PuzzleXml(front);
        setup.files["files/rooms/Drop.xml"] = puzzletest::RoomXml(
            {"Front.xml", "EmptyRoom_Puzzle_1.xml", "EmptyRoom_Puzzle_2.xml", "EmptyRoom_Puzzle_3.xml"});
        Editor editor(setup, 0, "Drop.xml");
        ASSERT_TRUE(editor.ready);
        editor.game().SetWaterLevel(-20.0f); // the star would float in the room's water
        ASSERT_EQ(editor.Quorbs().size(), 1u);
        Gob* star = editor.Quorbs()[0];
        QUORB::WidgetDataComp::Of(star)->GetData()->SetDensity(density);
        editor.world->ClearSounds();
        editor.world->Console("play");
        editor.world->Frames(45);
        const auto& sounds = editor.world->Sounds();
        const auto count = [&sounds](const char* path)
        {
            return std::count_if(sounds.begin(), sounds.end(),
                                 [path](const plat::soundtest::Record& record)
                                 { return record.action == "start" && record.path == path; });
        };
        EXPECT_EQ(count("QUORBSound/Collision/WoodHit") > 0, density == 0.5f);
        EXPECT_EQ(count("QUORBSound/Collision/MetalHit"), 0);
    }

    // The callback itself, over the partners and densities.
    Editor editor;
    ASSERT_TRUE(editor.ready);
    Gob* star = editor.Place("QUORBBall", Editor::Front(0.0f, 4.0f), math::Vector3(1.0f, 1.0f, 1.0f));
    ASSERT_NE(star, nullptr);
    const struct
    {
        const char* partner;
        bool sounds;
    } partners[] = {{"Platform", true},    {"Bar", true},       {"BarAlt", true},
                    {"Accelerator", true}, {"Magnet", true},    {"SoftNode", false},
                    {"HardNode", false},   {"QUORBBox", false}, {"GravitySwitch", false}};
    const struct
    {
        float density;
        const char* sound;
    } densities[] = {
        {0.5f, "QUORBSound/Collision/WoodHit"}, {1.2f, "QUORBSound/Collision/MetalHit"}, {1.0f, nullptr}};
    for (const auto& partner : partners)
    {
        Gob* other = GobManager::Instance().CreateGobAtPos(partner.partner, Editor::Front(0.0f, -4.0f), true);
        ASSERT_NE(other, nullptr) << partner.partner;
        for (const auto& d : densities)
        {
            SCOPED_TRACE(std::string(partner.partner) + " " + std::to_string(d.density));
            QUORB::WidgetDataComp::Of(star)->GetData()->SetDensity(d.density);
            editor.world->ClearSounds();
            dorvo::phy::CollisionFunctorData data;
            data.gobIdA = other->GetID(); // the star as either side of the pair
            data.gobIdB = star->GetID();
            EXPECT_EQ(QUORB::WidgetManipulator::PlayCollisionSound(data, star->GetID()), partner.sounds);
            const bool expected = partner.sounds && d.sound != nullptr;
            ASSERT_EQ(editor.world->Sounds().size(), expected ? 1u : 0u);
            if (expected)
            {
                EXPECT_EQ(editor.world->Sounds()[0].path, d.sound);
            }
        }
        GobManager::Instance().KillGob(other);
    }
}

// Without a focused puzzle or without the cursor a press, a drag and a hover do nothing; an
// object whose template lacks a part the creation needs is made without that step, named on
// standard error, and the editor goes on.
TEST(ManipulatorCreate, MissingPuzzleCursorOrComponentsLeaveTheEditorWorking)
{
    {
        Editor editor;
        ASSERT_TRUE(editor.ready);
        Gob* platform = editor.Place("Platform", Editor::Front(0.0f, 3.0f));
        ASSERT_NE(platform, nullptr);
        editor.Choose("Platform");
        editor.game().SetFocusedFace(-1);
        editor.world->PointAt(PositionOf(platform));
        editor.ClickAt(Editor::Front(3.0f, 0.0f));
        EXPECT_EQ(editor.state(), QUORB::ManipulatorLogic::STATE_Idle);
        EXPECT_EQ(editor.manipulator().GetSelectedGob(), nullptr);
        EXPECT_EQ(editor.manipulator().GetHoverGob(), nullptr);
        EXPECT_EQ(Editor::OfArchetype("Platform").size(), 1u);

        editor.game().GetRoom()->FocusFace(0);
        editor.world->Frames(2);
        editor.game().GetGuiManager().QueueRemoval("Cursor");
        editor.world->Frame();
        ASSERT_EQ(editor.game().GetCursor(), nullptr);
        editor.world->LeftDown();
        editor.world->Frames(3);
        editor.world->LeftUp();
        EXPECT_EQ(editor.state(), QUORB::ManipulatorLogic::STATE_Idle);
        EXPECT_EQ(Editor::OfArchetype("Platform").size(), 1u);
    }
    {
        // Widgets without their connection and link components.
        gametest::GameTestSetup setup = manipulatortest::RoomSetup();
        std::ifstream in(testsupport::RepoPath("data/files/xmlfiles/WidgetTemplate.xml"));
        std::string widgetTemplate((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (const char* part :
             {"      <string>ConnectionComp</string>\n", "      <string>GobIDComp</string>\n"})
            widgetTemplate.erase(widgetTemplate.find(part), std::string(part).size());
        const std::string size = "<list name=\"Components\" size=\"7\">";
        widgetTemplate.replace(widgetTemplate.find(size), size.size(),
                               "<list name=\"Components\" size=\"5\">");
        setup.files["files/xmlfiles/WidgetTemplate.xml"] = widgetTemplate;
        Editor editor(setup);
        ASSERT_TRUE(editor.ready);
        editor.Choose("Platform");
        testsupport::LogCapture logged;
        editor.ClickAt(Editor::Front(0.0f, 0.0f));
        const std::string errors = logged.Text();
        EXPECT_NE(errors.find("WidgetManipulator: archetype \"Platform\": the object has no ConnectionComp"),
                  std::string::npos)
            << errors;
        EXPECT_NE(errors.find("WidgetManipulator: archetype \"Platform\": the object has no GobIDComp"),
                  std::string::npos)
            << errors;
        ASSERT_EQ(editor.Widgets().size(), 1u) << "placed all the same";
        editor.world->Console("clearcwt");
        editor.RightClickAt(PositionOf(editor.Widgets()[0]));
        EXPECT_TRUE(editor.Widgets().empty());
    }
}

namespace
{
// A committed object template with one archetype taken out of its list, so that archetype makes
// nothing.
std::string TemplateWithout(const std::string& templateFile, const std::string& archetype)
{
    std::ifstream in(testsupport::RepoPath("data/files/xmlfiles/" + templateFile));
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string before = text;
    text = std::regex_replace(
        text, std::regex("\\s*<pair><string name=\"First\">" + archetype + "</string>[^\\n]*"), "");
    EXPECT_NE(text, before) << archetype << " is not listed in " << templateFile;
    std::smatch size;
    const std::regex sizePattern("\"Archetypes\" size=\"(\\d+)\"");
    if (std::regex_search(text, size, sizePattern))
        text = std::regex_replace(text, sizePattern,
                                  "\"Archetypes\" size=\"" + std::to_string(std::stoi(size[1]) - 1) + "\"",
                                  std::regex_constants::format_first_only);
    return text;
}
} // namespace

// A part whose archetype makes nothing (a widget's nodes, a charge field, a magnet's field, a water
// objective's end marker): the object is placed without it, one line on standard error names both
// archetypes, and a right click deletes the object with nothing left behind.
TEST(ManipulatorCreate, APartWhoseArchetypeMakesNothingIsNamedInOneLineAndSkipped)
{
    const struct
    {
        const char* part;
        const char* templateFile;
        const char* type;
        float aim; // along the object's own x axis from its centre to a solid part
    } cases[] = {
        {"SoftNode", "NodeTemplate.xml", "Platform", 0.0f},
        {"ChargeField", "InvisibleWidgetTemplate.xml", "Accelerator", 0.0f},
        {"QUORBChargeField", "InvisibleWidgetTemplate.xml", "QUORBBall", 0.0f},
        {"MagneticField", "NonCollideWidgetTemplate.xml", "Magnet", -0.35f},
        {"WaterEndObjective", "ObjectiveTemplate.xml", "WaterObjective", 0.0f},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.part);
        gametest::GameTestSetup setup = manipulatortest::RoomSetup();
        setup.files[std::string("files/xmlfiles/") + c.templateFile] =
            TemplateWithout(c.templateFile, c.part);
        Editor editor(setup);
        ASSERT_TRUE(editor.ready);
        ASSERT_EQ(GobManager::Instance().FindController(c.part), nullptr);
        editor.world->Console("togglecm");
        const std::size_t objects = GobManager::Instance().GetCount();

        testsupport::LogCapture logged;
        editor.Choose(c.type);
        editor.ClickAt(Editor::Front(0.0f, 0.0f));
        const std::vector<Gob*> placed = Editor::OfArchetype(c.type);
        const Gob* made = placed.empty() ? nullptr : placed[0];
        const std::uint32_t madeID = made != nullptr ? made->GetID() : 0;
        const math::Vector3 at =
            made != nullptr ? PositionOf(placed[0]) + GetPOVComp(made)->GetOrientation().GetXAxis() * c.aim
                            : math::Vector3();
        editor.world->Console("clearcwt");
        if (made != nullptr)
            editor.RightClickAt(at);
        editor.world->Frames(2);
        const std::string errors = logged.Text();

        ASSERT_NE(madeID, 0u) << "placed all the same";
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
        EXPECT_NE(errors.find("\"" + std::string(c.part) + "\""), std::string::npos) << errors;
        EXPECT_NE(errors.find("\"" + std::string(c.type) + "\""), std::string::npos) << errors;
        EXPECT_EQ(QUORB::WidgetManipulator::Live(madeID), nullptr) << "deleted by the right click";
        EXPECT_EQ(GobManager::Instance().GetCount(), objects) << "nothing left behind";
        EXPECT_EQ(editor.state(), QUORB::ManipulatorLogic::STATE_Idle);
    }
}

// Without a room (the game between its start and its first frame, given its cursor early), in
// editor mode with a type chosen, a press, a drag and a hover do nothing and make nothing.
TEST(ManipulatorCreate, WithoutARoomPressesMovesAndHoversDoNothing)
{
    gametest::GameTestWorld world(manipulatortest::RoomSetup());
    ASSERT_TRUE(world.Booted());
    QUORB::CQUORB& game = world.Game();
    game.CreateCursor();
    ASSERT_NE(game.GetCursor(), nullptr);
    ASSERT_EQ(game.GetRoom(), nullptr);
    world.Console("toggleeditor");
    world.Console("setcwt Platform");
    ASSERT_TRUE(game.IsEditorMode());
    QUORB::WidgetManipulator& manipulator = *game.GetWidgetManipulator();
    ASSERT_EQ(manipulator.GetCurrentWidgetType(), "Platform");
    const std::size_t objects = GobManager::Instance().GetCount();
    auto send = [&manipulator](std::uint32_t code, std::int32_t value)
    {
        dorvo::input::InputEvent event;
        event.code = code;
        event.value = value;
        manipulator.OnInput(event, 0.0f);
    };

    testsupport::LogCapture logged;
    send(dorvo::input::MOUSE_BUTTON_0, 1);
    EXPECT_FALSE(manipulator.IsLeftDown()) << "the press is not taken";
    send(dorvo::input::MOUSE_X, 40);
    send(dorvo::input::MOUSE_Y, -30);
    manipulator.UpdateHover();
    send(dorvo::input::MOUSE_BUTTON_0, 0);
    send(dorvo::input::MOUSE_BUTTON_1, 1);
    EXPECT_FALSE(manipulator.IsRightDown());
    send(dorvo::input::MOUSE_BUTTON_1, 0);
    const std::string errors = logged.Text();
    EXPECT_EQ(errors, "");
    EXPECT_EQ(manipulator.GetSelectedGob(), nullptr);
    EXPECT_EQ(manipulator.GetHoverGob(), nullptr);
    EXPECT_EQ(manipulator.GetPressNode(), nullptr);
    EXPECT_FALSE(manipulator.IsCreating());
    EXPECT_EQ(manipulator.GetDragVector().LengthSquared(), 0.0f);
    EXPECT_EQ(GobManager::Instance().GetCount(), objects);
}

// A puzzle holds no more objects than its file may describe: with CPuzzle::kMaxObjects in it the
// editor refuses the next with a message, nothing charged; and should a puzzle hold more all the
// same, its file describes only what the reader takes back, with one line.
TEST(ManipulatorCreate, APuzzleAtTheObjectCapRefusesTheNextAndSavesNoMore)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    QUORB::CPuzzle& puzzle = editor.puzzle();
    while (puzzle.LiveObjectCount() < QUORB::CPuzzle::kMaxObjects - 1)
    {
        const float i = static_cast<float>(puzzle.LiveObjectCount());
        Gob* node =
            puzzletest::MakeAt("HardNode", math::Vector3(-10.0f + 0.5f * std::fmod(i, 40.0f),
                                                         -9.0f + 0.5f * std::floor(i / 40.0f), 20.0f));
        ASSERT_NE(node, nullptr);
        puzzle.AddWidget(node->GetID());
    }
    puzzle.SetBudgetLeft(5);
    editor.Choose("QUORBBall");
    editor.ClickAt(Editor::Front(3.0f, 0.0f));
    EXPECT_EQ(puzzle.LiveObjectCount(), QUORB::CPuzzle::kMaxObjects) << "the 1,000th is placed";
    editor.world->Menu("MessageWindowMenu")->ClearReceived();
    editor.Choose("QUORBBall");
    editor.ClickAt(Editor::Front(-3.0f, 0.0f));
    EXPECT_EQ(puzzle.LiveObjectCount(), QUORB::CPuzzle::kMaxObjects);
    EXPECT_EQ(TextsTo(*editor.world, "MessageWindowMenu"),
              std::vector<std::string>{"A puzzle holds at most 1000 objects."});
    EXPECT_EQ(editor.puzzle().GetBudgetLeft(), 4);

    for (int i = 0; i < 3; ++i)
        puzzle.AddWidget(puzzletest::MakeAt("HardNode", math::Vector3(8.0f, 8.0f - i, 20.0f))->GetID());
    TiXmlElement root("File");
    testsupport::LogCapture log;
    ASSERT_TRUE(puzzle.Write(&root));
    EXPECT_EQ(log.Lines().size(), 1u) << log.Text();
    EXPECT_NE(log.Text().find("holds 1003 objects, more than the 1000 a puzzle file may hold; the last 3 are "
                              "not saved"),
              std::string::npos)
        << log.Text();
    std::size_t described = 0;
    for (const TiXmlElement* e = root.FirstChildElement("Puzzle")->FirstChildElement(); e != nullptr;
         e = e->NextSiblingElement())
        described += e->ValueStr().find("Description") != std::string::npos ? 1 : 0;
    EXPECT_EQ(described, QUORB::CPuzzle::kMaxObjects);
}
