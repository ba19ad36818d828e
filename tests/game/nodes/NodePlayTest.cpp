// Node groups under the real physics: when a puzzle plays, every member's joint holds its widget
// to its master's (or to a hard node's place in the world), a hard enough hit of the star object
// breaks a widget's end out of its group, a broken master's group re-forms at once, and the
// puzzle's re-snap rebuilds the groups from where the nodes stand.
#include "GameTestWorld.h"
#include "NodeFixtures.h"

#include "LogCapture.h"
#include "common/LuaUtil.h"
#include "engine/phy/CollisionFunctorData.h"
#include "engine/phy/DynamicsEngine.h"
#include "engine/phy/PhysicsComp.h"
#include "engine/phy/PointConstraint.h"
#include "game/app/CQUORB.h"
#include "game/manipulator/WidgetManipulator.h"
#include "game/room/CPuzzle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

using namespace nodetest;
using dorvo::phy::CollisionFunctorData;
using dorvo::phy::DynamicsEngine;
using dorvo::phy::PhysicsComp;
using dorvo::phy::PointConstraint;
using math::Vector3;
using QUORB::ConnectionComp;

namespace
{
// H1 - W1 - W2 - H2 along x at height y: W1's left end on the hard node H1, W1's right end a
// member of W2's left end, W2's right end on the hard node H2.
struct Chain
{
    Gob* h1 = nullptr;
    Gob* h2 = nullptr;
    Widget w1;
    Widget w2;
    explicit operator bool() const { return h1 && h2 && w1 && w2; }
};

PhysicsComp* BodyOf(Gob* gob)
{
    return dorvo::phy::GetPhysicsComp(gob);
}

const PointConstraint& Joint(Gob* node)
{
    return Node(node)->GetPointConstraint();
}

class NodePlay : public ::testing::Test
{
protected:
    void SetUp() override { Boot(gametest::GameTestSetup()); }

    void Boot(gametest::GameTestSetup setup)
    {
        setup.copyRooms = true;
        world.reset(); // one game at a time
        world = std::make_unique<gametest::GameTestWorld>(setup);
        ASSERT_TRUE(world->Booted());
        world->Frames(2);
        game().SetEditorMode(true);
        game().SetFocusedFace(0);
        // The room's water would float the star objects; these tests are about the widgets.
        game().SetWaterLevel(-20.0f);
        puzzle = game().GetFocusedPuzzle();
        ASSERT_NE(puzzle, nullptr);
    }

    QUORB::CQUORB& game() const { return world->Game(); }

    // The widget joins the focused puzzle, with the hit handler the manipulator gives it.
    void File(Gob* gob) const
    {
        puzzle->AddWidget(gob->GetID());
        if (ConnectionComp::Of(gob) != nullptr)
        {
            EXPECT_TRUE(ConnectionComp::AddBreakHandler(gob));
        }
    }

    Chain MakeChain(float y) const
    {
        Chain chain;
        chain.h1 = NodeAt("HardNode", Vector3(-4.0f, y, 19.0f));
        chain.w1 = Join(Vector3(-4.0f, y, 19.0f), Vector3(0.0f, y, 19.0f));
        chain.w2 = Join(Vector3(0.0f, y, 19.0f), Vector3(4.0f, y, 19.0f));
        chain.h2 = NodeAt("HardNode", Vector3(4.0f, y, 19.0f));
        if (!chain)
            return Chain();
        for (Gob* gob : {chain.h1, chain.w1.connection, chain.w2.connection, chain.h2})
            File(gob);
        ConnectionComp::Of(chain.w1.connection)->SnapNodes();
        ConnectionComp::Of(chain.w2.connection)->SnapNodes();
        return chain;
    }

    Gob* Star(const Vector3& at, const Vector3& velocity = Vector3()) const
    {
        Gob* star = GobManager::Instance().CreateGob("QUORBBall");
        if (star == nullptr)
            return nullptr;
        GetPOVComp(star)->SetPosition(at, true);
        GetPOVComp(star)->SetVelocity(velocity);
        puzzle->AddQuorb(star->GetID());
        return star;
    }

    void Play() const
    {
        DynamicsEngine::Instance().paused = false;
        puzzle->Play();
    }

    std::size_t BreakSounds() const
    {
        std::size_t count = 0;
        for (const auto& record : world->Sounds())
            count += record.action == "start" && record.path == ConnectionComp::kBreakSound ? 1 : 0;
        return count;
    }

    std::unique_ptr<gametest::GameTestWorld> world;
    QUORB::CPuzzle* puzzle = nullptr;
};

void ExpectNear(const Vector3& actual, const Vector3& expected, float tolerance = 1e-4f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// A contact of the widget with the other object at that point, with that impulse.
CollisionFunctorData Hit(Gob* widget, Gob* other, const Vector3& point, const Vector3& impulse)
{
    CollisionFunctorData data;
    data.gobIdA = widget->GetID();
    data.gobIdB = other->GetID();
    data.contactPoint = point;
    data.impulse = impulse;
    return data;
}
} // namespace

TEST_F(NodePlay, PlayPinsMembersOfHardNodesAndJoinsTheOthersToTheirMastersWidgets)
{
    const Chain chain = MakeChain(5.0f);
    ASSERT_TRUE(chain);
    ASSERT_EQ(Node(chain.w1.a)->GetMasterID(), chain.h1->GetID());
    ASSERT_EQ(Node(chain.w1.b)->GetMasterID(), chain.w2.a->GetID());
    ASSERT_EQ(Node(chain.w2.b)->GetMasterID(), chain.h2->GetID());
    for (Gob* node : {chain.w1.a, chain.w1.b, chain.w2.a, chain.w2.b})
        EXPECT_FALSE(Joint(node).IsEnabled()) << "no joints while the puzzle is built";

    Play();
    PhysicsComp* w1 = BodyOf(chain.w1.connection);
    PhysicsComp* w2 = BodyOf(chain.w2.connection);
    // Pinned to the hard node's place, never breaking.
    for (const auto& pinned : {std::make_pair(chain.w1.a, chain.h1), std::make_pair(chain.w2.b, chain.h2)})
    {
        const PointConstraint& joint = Joint(pinned.first);
        EXPECT_TRUE(joint.IsEnabled());
        EXPECT_TRUE(joint.IsWorldJoint());
        EXPECT_EQ(joint.GetWorldPoint(), At(pinned.second));
        EXPECT_EQ(joint.GetBreakDistance(), 0.0f);
        EXPECT_FLOAT_EQ(joint.GetTolerance(), 0.001f);
        EXPECT_EQ(joint.GetCorrectionTime(), 0.0f);
    }
    EXPECT_EQ(Joint(chain.w1.a).GetBodyA(), w1);
    ExpectNear(Joint(chain.w1.a).GetAnchorA(), Vector3(-2.0f, 0.0f, 0.0f)); // in the widget's frame
    EXPECT_EQ(Joint(chain.w2.b).GetBodyA(), w2);
    // The member's widget hangs on its master's, breaking at NODE_BREAK_DISTANCE (1.5).
    const PointConstraint& joined = Joint(chain.w1.b);
    EXPECT_TRUE(joined.IsEnabled());
    EXPECT_EQ(joined.GetBodyA(), w2);
    EXPECT_EQ(joined.GetBodyB(), w1);
    ExpectNear(joined.GetAnchorA(), Vector3(-2.0f, 0.0f, 0.0f));
    ExpectNear(joined.GetAnchorB(), Vector3(2.0f, 0.0f, 0.0f));
    EXPECT_FLOAT_EQ(joined.GetBreakDistance(), 1.5f);
    EXPECT_FALSE(Joint(chain.w2.a).IsEnabled()) << "a master has no joint";
    EXPECT_EQ(DynamicsEngine::Instance().GetConstraints().size(), 3u);
    EXPECT_FALSE(w1->immovable);

    // Two seconds later the chain still hangs between its hard nodes.
    world->Frames(60);
    EXPECT_LT(Distance(At(chain.w1.a), At(chain.h1)), 0.05f);
    EXPECT_LT(Distance(At(chain.w1.b), At(chain.w2.a)), 0.05f);
    EXPECT_LT(Distance(At(chain.w2.b), At(chain.h2)), 0.05f);
    EXPECT_GT(w1->position.y, 4.8f) << "a widget left free would have fallen 20 units";

    // The break distance is read again for every joint built.
    const std::string script = world->Folder() + "Farther.lua";
    FILE* file = std::fopen(script.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("NODE_BREAK_DISTANCE = 2.5\n", file);
    std::fclose(file);
    ASSERT_TRUE(LuaUtil::Instance().RunScript(script.c_str()));
    Node(chain.w1.b)->BuildConstraint();
    Node(chain.w1.a)->BuildConstraint();
    EXPECT_FLOAT_EQ(Joint(chain.w1.b).GetBreakDistance(), 2.5f);
    EXPECT_EQ(Joint(chain.w1.a).GetBreakDistance(), 0.0f);
    EXPECT_EQ(DynamicsEngine::Instance().GetConstraints().size(), 3u) << "rebuilt, not added twice";
}

TEST_F(NodePlay, OnlyAStarHitHarderThanTheBreakForceBreaksTheEndOnItsSide)
{
    // NODE_BREAK_FORCE is 400, compared with the squared impulse.
    struct Case
    {
        const char* name;
        bool byStar;
        float impulse;
        float contactX; // W1 runs from x -4 (A) to 0 (B)
        bool recordFromTheOtherSide;
        bool handled;
        bool breaks;
    };
    const Case cases[] = {
        {"squared impulse equal to the force: nothing", true, 20.0f, -1.0f, false, true, false},
        {"above it on B's side: B breaks off", true, 20.01f, -1.0f, false, true, true},
        {"the pair the other way round: the same", true, 20.01f, -1.0f, true, true, true},
        {"on A's side: A is held by a hard node and stays", true, 40.0f, -3.0f, false, true, false},
        {"another widget: nothing", false, 40.0f, -1.0f, false, false, false},
    };
    Gob* star = Star(Vector3(-8.0f, 9.0f, 19.0f));
    ASSERT_NE(star, nullptr);
    std::vector<Chain> chains;
    for (std::size_t i = 0; i < std::size(cases); ++i)
    {
        chains.push_back(MakeChain(8.0f - 3.0f * static_cast<float>(i)));
        ASSERT_TRUE(chains.back());
    }
    Play();
    world->Frame();
    for (std::size_t i = 0; i < std::size(cases); ++i)
    {
        const Case& c = cases[i];
        const Chain& chain = chains[i];
        SCOPED_TRACE(c.name);
        world->ClearSounds();
        const float y = At(chain.w1.connection).y;
        CollisionFunctorData data =
            Hit(chain.w1.connection, c.byStar ? star : chain.w2.connection,
                Vector3(c.contactX, y + 0.5f, 19.0f), Vector3(0.0f, -c.impulse, 0.0f));
        if (c.recordFromTheOtherSide)
            std::swap(data.gobIdA, data.gobIdB);
        EXPECT_EQ(ConnectionComp::BreakNode(data, chain.w1.connection->GetID()), c.handled);

        EXPECT_EQ(Node(chain.w1.b)->GetMasterID(), c.breaks ? 0u : chain.w2.a->GetID());
        EXPECT_EQ(IsShown(chain.w1.b), c.breaks);
        EXPECT_EQ(Node(chain.w2.a)->GetMembers().size(), c.breaks ? 0u : 1u);
        EXPECT_EQ(Node(chain.w1.a)->GetMasterID(), chain.h1->GetID());
        EXPECT_TRUE(Joint(chain.w1.b).IsEnabled()) << "a broken joint acts to the end of the step";
        EXPECT_EQ(BreakSounds(), c.handled && c.impulse * c.impulse > 400.0f ? 1u : 0u);
        world->Frame();
        EXPECT_EQ(Joint(chain.w1.b).IsEnabled(), !c.breaks);
        EXPECT_TRUE(Joint(chain.w1.a).IsEnabled());
    }
}

TEST_F(NodePlay, ABrokenMastersGroupReFormsAroundTheNearestNodeWithNewJoints)
{
    // Three widgets meet at J: W1 from the hard node H1, W2 to the hard node H2 and W3 hanging
    // down. W1's end snaps first and takes W2's end as master, gathering W3's.
    const Vector3 j(0.0f, 5.0f, 19.0f);
    Gob* h1 = NodeAt("HardNode", j + Vector3(-4.0f, 0.0f, 0.0f));
    const Widget w1 = Join(j + Vector3(-4.0f, 0.0f, 0.0f), j);
    const Widget w2 = Join(j, j + Vector3(4.0f, 0.0f, 0.0f));
    const Widget w3 = Join(j, j + Vector3(0.0f, -4.0f, 0.0f));
    Gob* h2 = NodeAt("HardNode", j + Vector3(4.0f, 0.0f, 0.0f));
    ASSERT_TRUE(h1 && w1 && w2 && w3 && h2);
    for (Gob* gob : {h1, w1.connection, w2.connection, w3.connection, h2})
        File(gob);
    ConnectionComp::Of(w1.connection)->SnapNodes();
    ConnectionComp::Of(w2.connection)->SnapNodes();
    ASSERT_EQ(Node(w2.a)->GetMembers(), (std::vector<std::uint32_t>{w1.b->GetID(), w3.a->GetID()}));
    Play();
    EXPECT_EQ(DynamicsEngine::Instance().GetConstraints().size(), 4u);
    world->Frames(10);

    // The nearest of the freed members becomes the new master (the first met on a tie).
    const float d1 = Distance(At(w1.b), At(w2.a));
    const float d3 = Distance(At(w3.a), At(w2.a));
    const Widget& master = d3 < d1 ? w3 : w1;
    const Widget& member = d3 < d1 ? w1 : w3;
    Gob* masterEnd = d3 < d1 ? w3.a : w1.b;
    Gob* memberEnd = d3 < d1 ? w1.b : w3.a;
    // A hard hit on W2's left end, its group's master.
    Gob* star = Star(Vector3(-8.0f, 9.0f, 19.0f));
    ASSERT_NE(star, nullptr);
    const float y = At(w2.connection).y;
    EXPECT_TRUE(ConnectionComp::BreakNode(
        Hit(w2.connection, star, Vector3(0.5f, y + 0.5f, 19.0f), Vector3(0.0f, -30.0f, 0.0f)),
        w2.connection->GetID()));

    EXPECT_TRUE(Node(w2.a)->GetMembers().empty());
    EXPECT_EQ(Node(w2.a)->GetMasterID(), 0u);
    EXPECT_TRUE(IsShown(w2.a));
    EXPECT_EQ(Node(masterEnd)->GetMasterID(), 0u);
    EXPECT_EQ(Node(memberEnd)->GetMasterID(), masterEnd->GetID());
    EXPECT_EQ(At(memberEnd), At(masterEnd));
    EXPECT_TRUE(IsShown(masterEnd));
    EXPECT_FALSE(IsShown(memberEnd));
    const PointConstraint& rebuilt = Joint(memberEnd);
    EXPECT_TRUE(rebuilt.IsEnabled());
    EXPECT_EQ(rebuilt.GetBodyA(), BodyOf(master.connection));
    EXPECT_EQ(rebuilt.GetBodyB(), BodyOf(member.connection));
    EXPECT_FLOAT_EQ(rebuilt.GetBreakDistance(), 1.5f);
    EXPECT_FALSE(Joint(masterEnd).IsEnabled()) << "the new master's old joint is gone";
    // W1 and W3 stay joined while W2 lets go of them.
    world->Frames(30);
    EXPECT_EQ(DynamicsEngine::Instance().GetConstraints().size(), 3u);
    EXPECT_LT(Distance(At(w1.b), At(w3.a)), 0.1f);
    EXPECT_LT(Distance(At(w1.a), At(h1)), 0.05f);
}

TEST_F(NodePlay, AStarThrownHardOntoAChainBreaksTheEndItHitsAndOneDroppedGentlyRestsOnIt)
{
    struct Case
    {
        const char* name;
        float x;     // where the star comes down; W1 runs from -4 (held by H1) to 0
        float speed; // downwards, at y 12
        bool breaks;
    };
    const Case cases[] = {
        {"dropped gently", -1.0f, 0.0f, false},
        {"thrown hard near W1's joined end", -1.0f, 30.0f, true},
        {"thrown hard near W1's end on the hard node", -3.0f, 30.0f, false},
    };
    bool first = true;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        if (!first)
            Boot(gametest::GameTestSetup());
        first = false;
        const Chain chain = MakeChain(5.0f);
        ASSERT_TRUE(chain);
        Gob* star = Star(Vector3(c.x, 12.0f, 19.0f), Vector3(0.0f, -c.speed, 0.0f));
        ASSERT_NE(star, nullptr);
        world->ClearSounds();
        Play();
        world->Frames(60);
        EXPECT_EQ(Node(chain.w1.b)->GetMasterID(), c.breaks ? 0u : chain.w2.a->GetID());
        EXPECT_EQ(IsShown(chain.w1.b), c.breaks);
        EXPECT_EQ(Node(chain.w1.a)->GetMasterID(), chain.h1->GetID());
        EXPECT_EQ(DynamicsEngine::Instance().GetConstraints().size(), c.breaks ? 2u : 3u);
        if (c.breaks)
        {
            EXPECT_GE(BreakSounds(), 1u) << "the star may bounce and hit hard again";
        }
        if (c.speed == 0.0f)
        {
            EXPECT_EQ(BreakSounds(), 0u);
            EXPECT_GT(At(star).y, 5.5f) << "resting on the chain";
        }
    }
}

// The nodes at a widget's ends sit inside its box; they do not hold it up. A widget pinned at one
// end to a hard node swings down about it; one joined end to end to a pinned widget hangs from
// it, and the pinned one swings too.
TEST_F(NodePlay, AWidgetHeldAtOneEndSwingsDownAboutIt)
{
    Gob* anchor = NodeAt("HardNode", Vector3(-4.0f, 5.0f, 19.0f));
    const Widget held = Join(Vector3(-4.0f, 5.0f, 19.0f), Vector3(0.0f, 5.0f, 19.0f));
    const Widget hanging = Join(Vector3(0.0f, 5.0f, 19.0f), Vector3(4.0f, 5.0f, 19.0f));
    ASSERT_TRUE(anchor && held && hanging);
    for (Gob* gob : {anchor, held.connection, hanging.connection})
        File(gob);
    ConnectionComp::Of(held.connection)->SnapNodes();
    ConnectionComp::Of(hanging.connection)->SnapNodes();
    ASSERT_EQ(Node(held.a)->GetMasterID(), anchor->GetID());
    ASSERT_EQ(Node(held.b)->GetMasterID(), hanging.a->GetID()) << "joined end to end";
    ASSERT_EQ(Node(hanging.b)->GetMasterID(), 0u) << "the far end is free";

    Play();
    world->Frames(45);
    EXPECT_LT(Distance(At(held.a), At(anchor)), 0.05f) << "still on its anchor";
    EXPECT_LT(At(held.b).y, 2.0f) << "swung down from 5";
    EXPECT_LT(Distance(At(held.b), At(hanging.a)), 0.2f) << "still joined";
    EXPECT_LT(At(hanging.b).y, 1.0f);
}

TEST_F(NodePlay, TheResnapRegroupsEveryWidgetsEndsFromWhereTheyStand)
{
    const Vector3 j(0.0f, 5.0f, 19.0f);
    Gob* hard = NodeAt("HardNode", j + Vector3(-4.0f, 0.0f, 0.0f));
    const Widget w1 = Join(j + Vector3(-4.0f, 0.0f, 0.0f), j);
    const Widget w2 = Join(j, j + Vector3(0.0f, -4.0f, 0.0f));
    const Widget far = Join(Vector3(-8.0f, 0.0f, 19.0f), Vector3(-4.0f, 0.0f, 19.0f));
    ASSERT_TRUE(hard && w1 && w2 && far);
    for (Gob* gob : {hard, w1.connection, w2.connection, far.connection})
        File(gob);
    // A group left over from somewhere else: W2's end still listed with a far node.
    Node(w2.a)->AttachToMaster(far.a);

    puzzle->ResnapConnections();
    EXPECT_EQ(Node(w1.a)->GetMasterID(), hard->GetID());
    EXPECT_EQ(Node(w2.a)->GetMasterID(), w1.b->GetID());
    EXPECT_TRUE(Node(far.a)->GetMembers().empty());
    EXPECT_EQ(Node(far.a)->GetMasterID(), 0u);
    EXPECT_TRUE(IsShown(far.a));
    EXPECT_EQ(Node(w1.b)->GetMembers(), std::vector<std::uint32_t>{w2.a->GetID()});
    EXPECT_FALSE(IsShown(w2.a));
    EXPECT_TRUE(IsShown(w1.b));
}

namespace
{
// Start-up scripts that set the break globals to something that is no number.
class NodePlayBadGlobals : public NodePlay
{
protected:
    void SetUp() override
    {
        gametest::GameTestSetup setup;
        setup.startupLines = "NODE_BREAK_DISTANCE = \"far\"\nNODE_BREAK_FORCE = nil\n";
        Boot(setup);
    }
};
} // namespace

// Break globals that are no numbers take the shipped values, each said once: the joints break
// at 1.5 and a light hit of the star breaks nothing.
TEST_F(NodePlayBadGlobals, BreakGlobalsThatAreNoNumbersTakeTheShippedValuesWithOneLineEach)
{
    const Chain chain = MakeChain(5.0f);
    ASSERT_TRUE(chain);
    Gob* star = Star(Vector3(-8.0f, 9.0f, 19.0f));
    ASSERT_NE(star, nullptr);
    testsupport::LogCapture logged;
    Play();
    EXPECT_EQ(Joint(chain.w1.b).GetBreakDistance(), 1.5f);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(ConnectionComp::BreakNode(
            Hit(chain.w1.connection, star, Vector3(-1.0f, 5.5f, 19.0f), Vector3(0.0f, -0.1f, 0.0f)),
            chain.w1.connection->GetID()));
    const std::string err = logged.Text();
    EXPECT_NE(Node(chain.w1.b)->GetMasterID(), 0u) << "a hit below the shipped 400 breaks nothing";
    EXPECT_EQ(err,
              "StartupGlobals::Number: Startup.lua: NODE_BREAK_DISTANCE is a string, not a number; the "
              "shipped 1.5 is used\n"
              "StartupGlobals::Number: Startup.lua: NODE_BREAK_FORCE is not set; the shipped 400 is used\n");
}

TEST_F(NodePlay, ObjectsWithoutABodyOrCollisionAreNamedAndSkipped)
{
    // A member whose "connection" is an object without a body: no joint, one line naming it.
    Gob* bodiless = GobManager::Instance().CreateGob("GravitySwitch");
    Gob* master = NodeAt("HardNode", Vector3(-4.0f, 5.0f, 19.0f));
    Gob* member = NodeAt("SoftNode", Vector3(-4.0f, 5.0f, 19.0f));
    ASSERT_TRUE(bodiless && master && member);
    Node(member)->SetConnectionID(bodiless->GetID());
    Node(member)->AttachToMaster(master);
    testsupport::LogCapture logged;
    Node(member)->BuildConstraint();
    const std::string bodyLine = logged.Text();
    EXPECT_FALSE(Joint(member).IsEnabled());
    EXPECT_EQ(logged.Lines(),
              std::vector<std::string>{"NodeDataComp: archetype \"GravitySwitch\": the widget has "
                                       "no PhysicsComp; its node's joint is skipped"});

    logged.Clear();
    EXPECT_FALSE(ConnectionComp::AddBreakHandler(game().GetWidgetManipulator()->GetManipulatorGob()));
    const std::string collisionLine = logged.Text();
    EXPECT_NE(
        collisionLine.find("ConnectionComp::AddBreakHandler: archetype \"Manipulator\": the widget has no "
                           "CollisionComp; no hit breaks its nodes"),
        std::string::npos)
        << collisionLine;
}
