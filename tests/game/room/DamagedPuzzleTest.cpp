// Puzzle files damaged the way a hand edit or a bad disk damages them, loaded through "loadroom"
// and played through the console's "play" for two seconds under the real physics: nothing
// crashes (the sanitizer build watches every access), the damage gets one line naming the file,
// and nothing that is not a finite number of sensible size reaches the world.
#include "GameTestWorld.h"
#include "PuzzleFixtures.h"

#include "LogCapture.h"
#include "common/math/MathUtil.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "game/app/CQUORB.h"
#include "game/room/CPuzzle.h"
#include "game/room/CRoom.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using gametest::GameTestSetup;
using gametest::GameTestWorld;
using QUORB::CPuzzle;
using namespace puzzletest;

namespace
{
const char* const kPuzzleFile = "Play_Puzzle_0.xml";
constexpr int kPlayFrames = 60;

std::string Floats(const std::vector<std::string>& names, const std::vector<std::string>& texts)
{
    std::string xml;
    for (std::size_t i = 0; i < names.size(); ++i)
        xml += "<float name=\"" + names[i] + "\">" + texts[i] + "</float>";
    return xml;
}

// The three transform fields of a description as the file holds them.
struct Transform
{
    std::string position =
        "<Vector name=\"Position\">" + Floats({"x", "y", "z"}, {"0", "-9", "20"}) + "</Vector>";
    std::string orientation =
        "<Quat name=\"Orientation\">" + Floats({"x", "y", "z", "w"}, {"0", "0", "0", "1"}) + "</Quat>";
    std::string scale = "<Vector name=\"Scale\">" + Floats({"x", "y", "z"}, {"4", "4", "4"}) + "</Vector>";
};

std::string Description(const char* role, const char* archetype, const Transform& transform,
                        const std::string& objectiveXml)
{
    return std::string("<GobDescription name=\"") + role + "\"><string name=\"Archetype\">" + archetype +
           "</string>" + transform.position + transform.orientation + transform.scale +
           "<bool name=\"HasWidgetData\">false</bool><bool name=\"HasObjective\">" +
           (objectiveXml.empty() ? "false" : "true") + "</bool>" + objectiveXml + "</GobDescription>";
}

std::string VectorOf(const char* name, const std::string& x, const std::string& y, const std::string& z)
{
    return std::string("<Vector name=\"") + name + "\">" + Floats({"x", "y", "z"}, {x, y, z}) + "</Vector>";
}

// How a damaged field ends up: the object left out of the puzzle, or built with the field's
// safe value.
enum class Outcome
{
    LeftOut,
    SafeValue,
};

struct Damage
{
    const char* what;
    bool star; // the star object is damaged, else the location objective
    Transform transform;
    Outcome outcome;
    const char* line; // what the one line about it says
};

std::vector<Damage> Damages()
{
    auto position = [](const std::string& x) { return VectorOf("Position", x, "-9", "20"); };
    auto scale = [](const std::string& x) { return VectorOf("Scale", x, "4", "4"); };
    std::vector<Damage> damages;
    auto add = [&damages](const char* what, bool star, Transform transform, Outcome outcome, const char* line)
    {
        damages.push_back(Damage{what, star, std::move(transform), outcome, line});
    };
    Transform t;
    for (const char* x : {"200", "-95"})
    {
        t = Transform();
        t.position = position(x);
        add(x, false, t, Outcome::LeftOut, "does not fit in the world; it is left out");
    }
    t = Transform();
    t.scale = scale("1000");
    add("x scale 1000", false, t, Outcome::LeftOut, "does not fit in the world; it is left out");
    for (const char* x : {"nan", "inf", "-inf", "1e38", "-1e38", "1e400", "abc"})
    {
        t = Transform();
        t.position = position(x);
        add(x, false, t, Outcome::SafeValue, "Position is not three numbers within +-1e6");
        t = Transform();
        t.scale = scale(x);
        add(x, false, t, Outcome::SafeValue, "Scale is not three numbers within +-1e6");
    }
    t = Transform();
    t.position = position("nan");
    add("a star at nan", true, t, Outcome::SafeValue, "Position is not three numbers within +-1e6");
    for (const char* text : {"", "abc", "1 2 3", "true"})
    {
        t = Transform();
        t.position = std::string("<Vector name=\"Position\">") + text + "</Vector>";
        add(text, false, t, Outcome::SafeValue, "Position is not three numbers within +-1e6");
    }
    t = Transform();
    t.orientation =
        "<Quat name=\"Orientation\">" + Floats({"x", "y", "z", "w"}, {"0", "0", "0", "0"}) + "</Quat>";
    add("a zero quaternion", false, t, Outcome::SafeValue, "Orientation is not a rotation");
    t = Transform();
    t.orientation =
        "<Quat name=\"Orientation\">" + Floats({"x", "y", "z", "w"}, {"0", "nan", "0", "1"}) + "</Quat>";
    add("a nan quaternion", true, t, Outcome::SafeValue, "Orientation is not a rotation");
    return damages;
}

// A room "Play.xml" whose front puzzle is given and whose other three are empty, loaded through
// the console and focused on its front face, the water drained below the floor.
struct DamagedWorld
{
    explicit DamagedWorld(const PuzzleText& front)
    {
        GameTestSetup setup;
        setup.copyRooms = true;
        setup.files[std::string("files/puzzles/") + kPuzzleFile] = PuzzleXml(front);
        for (int i = 1; i < 4; ++i)
            setup.files["files/puzzles/Play_Puzzle_" + std::to_string(i) + ".xml"] = PuzzleXml(PuzzleText());
        setup.files["files/rooms/Play.xml"] =
            RoomXml({kPuzzleFile, "Play_Puzzle_1.xml", "Play_Puzzle_2.xml", "Play_Puzzle_3.xml"});
        world = std::make_unique<GameTestWorld>(setup);
        if (!world->Booted())
            return;
        world->Frames(2);
        testsupport::LogCapture logged;
        world->Console("loadroom Play.xml false");
        errors = logged.Text();
        room = world->Game().GetRoom();
        world->Game().SetWaterLevel(-20.0f);
        room->FocusFace(0);
        puzzle = room->GetPuzzle(0);
    }

    // The lines of what was said about the puzzle file.
    std::vector<std::string> LinesAboutThePuzzle() const
    {
        std::vector<std::string> lines;
        std::istringstream in(errors);
        for (std::string line; std::getline(in, line);)
            if (line.find(kPuzzleFile) != std::string::npos)
                lines.push_back(line);
        return lines;
    }

    // Every object of the world stands at a finite place with a finite size.
    void ExpectTheWorldFinite() const
    {
        for (std::uint32_t id = 1; id < 100000; ++id)
        {
            const Gob* gob = GobManager::Instance().GetGob(id);
            const POVComp* pov = gob != nullptr ? GetPOVComp(gob) : nullptr;
            if (pov == nullptr)
                continue;
            const math::Vector3 p = pov->GetPosition();
            const math::Vector3 s = pov->GetScale();
            EXPECT_TRUE(math::IsValidFloat(p.x) && math::IsValidFloat(p.y) && math::IsValidFloat(p.z))
                << gob->GetArchetypeName() << " at " << p;
            EXPECT_TRUE(math::IsValidFloat(s.x) && math::IsValidFloat(s.y) && math::IsValidFloat(s.z))
                << gob->GetArchetypeName() << " scaled " << s;
        }
    }

    std::unique_ptr<GameTestWorld> world;
    std::string errors;
    QUORB::CRoom* room = nullptr;
    CPuzzle* puzzle = nullptr;
};
} // namespace

TEST(DamagedPuzzle, EveryDamageGetsOneLineAndThePuzzlePlays)
{
    for (const Damage& damage : Damages())
    {
        SCOPED_TRACE(std::string(damage.star ? "star: " : "location: ") + damage.what);
        PuzzleText front;
        front.budget = 3;
        const Transform plain;
        Transform star;
        star.position = VectorOf("Position", "0", "-5", "20");
        star.scale = VectorOf("Scale", "1", "1", "1");
        front.objectives.push_back(Description("ObjectiveDescription", "LocationObjective",
                                               damage.star ? plain : damage.transform, LocationXml()));
        front.quorbs.push_back(
            Description("QuorbDescription", "QUORBBall", damage.star ? damage.transform : star, ""));
        DamagedWorld play(front);
        ASSERT_TRUE(play.world && play.world->Booted());
        ASSERT_NE(play.puzzle, nullptr);

        const std::vector<std::string> lines = play.LinesAboutThePuzzle();
        ASSERT_EQ(lines.size(), 1u) << play.errors;
        EXPECT_NE(lines[0].find(damage.line), std::string::npos) << lines[0];
        const bool leftOut = damage.outcome == Outcome::LeftOut;
        EXPECT_EQ(play.puzzle->GetObjectives().size(), leftOut ? 0u : 1u);
        EXPECT_EQ(play.puzzle->GetQuorbIDs().size(), 1u);

        play.world->Console("play");
        play.world->Frames(kPlayFrames);
        play.ExpectTheWorldFinite();
        play.world->Console("resetfocusedpuzzle");
        play.world->Frames(2);
        play.ExpectTheWorldFinite();
    }
}

// An objective object that goes after loading (one the editor leaves outside the world) leaves
// its entry inactive with one line; the puzzle plays on without it, and is saved without it.
TEST(DamagedPuzzle, AnObjectiveThatDiesAfterLoadingNoLongerCounts)
{
    PuzzleText front;
    front.budget = 3;
    front.objectives.push_back(DescriptionXml("ObjectiveDescription", "LocationObjective",
                                              math::Vector3(0.0f, -9.0f, 20.0f), 4.0f, LocationXml()));
    front.objectives.push_back(DescriptionXml("ObjectiveDescription", "TimerObjective",
                                              math::Vector3(8.0f, 8.0f, 20.0f), 1.0f, TimeLimitXml(30.0f)));
    front.quorbs.push_back(
        DescriptionXml("QuorbDescription", "QUORBBall", math::Vector3(0.0f, -5.0f, 20.0f), 1.0f));
    DamagedWorld play(front);
    ASSERT_TRUE(play.world && play.world->Booted());
    ASSERT_EQ(play.puzzle->GetObjectives().size(), 2u);
    ASSERT_EQ(play.puzzle->GetObjectiveMask(), CPuzzle::OT_GetToLocation | CPuzzle::OT_TimeLimit);

    Gob* location = CPuzzle::GetEntryGob(play.puzzle->GetObjectives()[0]);
    ASSERT_NE(location, nullptr);
    GetPOVComp(location)->SetPosition(math::Vector3(500.0f, 0.0f, 20.0f), true);
    play.world->Frame();
    EXPECT_EQ(GobManager::Instance().GetGob(play.puzzle->GetObjectives()[0].gobID), nullptr) << "removed";

    testsupport::LogCapture logged;
    play.world->Console("play");
    play.world->Frames(kPlayFrames);
    const std::string errors = logged.Text();
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_NE(errors.find("its objective no longer counts"), std::string::npos) << errors;
    EXPECT_FALSE(play.puzzle->GetObjectives()[0].active);
    EXPECT_TRUE(play.puzzle->GetObjectives()[1].active);
    EXPECT_EQ(play.puzzle->GetObjectiveMask(), CPuzzle::OT_TimeLimit) << "a new location may be placed";
    EXPECT_TRUE(play.puzzle->CanAddObjective(CPuzzle::OT_GetToLocation));

    // Scored and saved without it.
    play.puzzle->ComputeScore();
    TiXmlElement saved("File");
    ASSERT_TRUE(play.puzzle->Write(&saved));
    TiXmlPrinter printer;
    saved.Accept(&printer);
    EXPECT_EQ(printer.Str().find("LocationObjective"), std::string::npos);
    EXPECT_NE(printer.Str().find("TimerObjective"), std::string::npos);
}

// A puzzle file of more objects than a puzzle holds (CPuzzle::kMaxObjects, objectives, star
// objects and widgets together) loads the first of them with one line and plays.
TEST(DamagedPuzzle, APuzzlePastTheObjectCapLoadsItsFirstObjectsWithOneLine)
{
    PuzzleText front;
    front.objectives.push_back(DescriptionXml("ObjectiveDescription", "LocationObjective",
                                              math::Vector3(0.0f, -9.0f, 20.0f), 4.0f, LocationXml()));
    front.quorbs.push_back(
        DescriptionXml("QuorbDescription", "QUORBBall", math::Vector3(0.0f, -5.0f, 20.0f), 1.0f));
    const std::size_t nodes = CPuzzle::kMaxObjects + 100;
    for (std::size_t i = 0; i < nodes; ++i)
        front.widgets.push_back(
            DescriptionXml("WidgetDescription", "HardNode",
                           math::Vector3(-10.0f + 0.5f * static_cast<float>(i % 40),
                                         -9.0f + 0.5f * static_cast<float>(i / 40), 20.0f),
                           1.0f));
    DamagedWorld play(front);
    ASSERT_TRUE(play.world && play.world->Booted());
    const std::vector<std::string> lines = play.LinesAboutThePuzzle();
    ASSERT_EQ(lines.size(), 1u) << play.errors;
    EXPECT_NE(lines[0].find("describes more than 1000 objects; the rest are left out"), std::string::npos)
        << lines[0];
    EXPECT_EQ(play.puzzle->GetObjectives().size(), 1u);
    EXPECT_EQ(play.puzzle->GetQuorbIDs().size(), 1u);
    EXPECT_EQ(play.puzzle->GetWidgetIDs().size(), CPuzzle::kMaxObjects - 2);
    play.world->Console("play");
    play.world->Frames(5);
    play.ExpectTheWorldFinite();
}
