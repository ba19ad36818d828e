// Node groups in the editor: which node a released node joins, how snapping gathers the nodes
// in reach, and what detaching leaves. Physics stays paused; the joints are NodePlayTest's.
#include "GameTestWorld.h"
#include "NodeFixtures.h"

#include "common/COctTree.h"
#include "engine/phy/PointConstraint.h"
#include "game/app/CQUORB.h"
#include "game/widgets/IWidgetData.h"
#include "game/widgets/WidgetDataComp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using namespace nodetest;
using math::Vector3;
using QUORB::NodeDataComp;

namespace
{
class GroupsWorld : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(world.Booted());
        world.Frames(2);
        world.Game().SetEditorMode(true);
        world.Game().SetFocusedFace(0);
    }

    std::vector<std::uint32_t> Ids(const std::vector<Gob*>& gobs) const
    {
        std::vector<std::uint32_t> ids;
        for (Gob* gob : gobs)
            ids.push_back(gob->GetID());
        return ids;
    }

    gametest::GameTestWorld world;
};

void Lock(const Widget& widget)
{
    QUORB::WidgetDataComp::Of(widget.connection)->GetData()->SetModifiable(false);
}
} // namespace

TEST_F(GroupsWorld, ASoftNodeChoosesTheNodeItJoinsByTheSearchRules)
{
    // Candidates are made in the order given, so they are met in that order (ascending ids).
    enum Kind
    {
        Free,         // a free end of another widget
        Member,       // an end of another widget that belongs to a group
        Hard,         // a hard node on its own
        HardMember,   // a hard node that belongs to a group
        Locked,       // an end of a widget the player may not change
        LockedMember, // the same, belonging to a group
    };
    struct Candidate
    {
        Kind kind;
        float distance;
    };
    struct Case
    {
        const char* name;
        std::vector<Candidate> candidates;
        int chosen;             // index, -1 for none
        std::vector<int> found; // indices appended to `found`
    };
    // Distances in eighths, so that equal ones are equal to the last bit.
    const Case cases[] = {
        {"the nearest free node wins; members and equal later ones do not",
         {{Member, 0.125f}, {Free, 0.75f}, {Free, 0.375f}, {Free, 0.375f}},
         2,
         {0, 1, 2, 3}},
        {"a free hard node wins whatever came before and the search stops there",
         {{Free, 0.25f}, {Hard, 1.0f}, {Free, 0.125f}},
         1,
         {0, 1}},
        {"a hard node in a group is passed over",
         {{Free, 0.5f}, {HardMember, 0.25f}, {Free, 0.875f}},
         0,
         {0, 1, 2}},
        {"a locked widget's node is chosen when met, farther and in a group",
         {{Free, 0.25f}, {LockedMember, 1.25f}, {Free, 1.25f}},
         1,
         {0, 1, 2}},
        {"a strictly closer free node later replaces it",
         {{Free, 0.25f}, {Locked, 1.25f}, {Free, 1.25f}, {Free, 0.5f}},
         3,
         {0, 1, 2, 3}},
        {"a later locked node replaces even a closer choice", {{Free, 0.25f}, {Locked, 1.5f}}, 1, {0, 1}},
        {"only members in reach: none is chosen", {{Member, 0.25f}, {HardMember, 0.5f}}, -1, {0, 1}},
        {"nothing in reach", {{Free, 1.75f}, {Hard, 2.5f}}, -1, {}},
    };
    const Vector3 directions[] = {Vector3(1.0f, 0.0f, 0.0f), Vector3(0.0f, -1.0f, 0.0f),
                                  Vector3(-1.0f, 0.0f, 0.0f), Vector3(0.0f, 1.0f, 0.0f)};
    float y = 1.0f;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        y += 10.0f; // each case far from the others
        const Vector3 here(-4.0f, y, 20.0f);
        // The released node's own widget: its other end is never a candidate.
        const Widget own = Join(here, here + Vector3(0.0f, 1.5f, 0.0f));
        ASSERT_TRUE(own);
        std::vector<Gob*> candidates;
        for (std::size_t i = 0; i < c.candidates.size(); ++i)
        {
            const Candidate& candidate = c.candidates[i];
            // Spread around the released node, each at its distance.
            const Vector3 direction = directions[i % 4];
            const Vector3 at = here + direction * candidate.distance;
            Gob* gob = nullptr;
            if (candidate.kind == Hard || candidate.kind == HardMember)
                gob = NodeAt("HardNode", at);
            else
            {
                // Its other end points away, out of reach.
                const Widget widget = Join(at, at + direction * 3.0f);
                ASSERT_TRUE(widget);
                if (candidate.kind == Locked || candidate.kind == LockedMember)
                    Lock(widget);
                gob = widget.a;
            }
            ASSERT_NE(gob, nullptr);
            if (candidate.kind == Member || candidate.kind == HardMember || candidate.kind == LockedMember)
                Node(gob)->SetMasterID(own.b->GetID()); // any master will do
            candidates.push_back(gob);
        }

        std::vector<Gob*> found;
        Gob* chosen = Node(own.a)->FindNearestNode(found, false);
        EXPECT_EQ(chosen, c.chosen < 0 ? nullptr : candidates[c.chosen]);
        std::vector<Gob*> expectedFound;
        for (int i : c.found)
            expectedFound.push_back(candidates[i]);
        EXPECT_EQ(Ids(found), Ids(expectedFound));
        EXPECT_EQ(Node(own.a)->HasNearbyNode(), c.chosen >= 0);
    }
}

TEST_F(GroupsWorld, TheReachIsStrictlyBelowTheSnapRadiusAndAHardNodeAnswersItself)
{
    // Height 2.5 (y scale 1.25): the reach is 0.8 * 2.5 = 2 units.
    const Vector3 here(-4.0f, 6.0f, 20.0f);
    Gob* hard = NodeAt("HardNode", here);
    GetPOVComp(hard)->SetScale(Vector3(1.0f, 1.25f, 1.0f), true);
    EXPECT_FLOAT_EQ(Node(hard)->GetSnapRadius(), 2.0f);
    std::vector<Gob*> found;
    EXPECT_EQ(Node(hard)->FindNearestNode(found, true), hard) << "with nothing around";
    EXPECT_TRUE(found.empty());
    EXPECT_TRUE(Node(hard)->HasNearbyNode());

    Gob* atTheEdge = NodeAt("SoftNode", here + Vector3(2.0f, 0.0f, 0.0f));
    Gob* inside = NodeAt("SoftNode", here + Vector3(0.0f, -1.99f, 0.0f));
    Gob* member = NodeAt("SoftNode", here + Vector3(0.0f, 1.0f, 0.0f));
    Node(member)->SetMasterID(atTheEdge->GetID());
    Gob* killed = NodeAt("SoftNode", here + Vector3(0.5f, 0.0f, 0.0f));
    GobManager::Instance().KillGob(killed);
    ASSERT_TRUE(atTheEdge && inside && member);
    found.clear();
    EXPECT_EQ(Node(hard)->FindNearestNode(found, true), hard);
    EXPECT_EQ(Ids(found), Ids({inside, member})) << "a hard node takes members too, never a killed node";

    // A soft node alone with nothing in reach finds nothing.
    Widget lone = Join(Vector3(-4.0f, 30.0f, 20.0f), Vector3(0.0f, 30.0f, 20.0f));
    ASSERT_TRUE(lone);
    EXPECT_FALSE(Node(lone.a)->HasNearbyNode());
}

TEST_F(GroupsWorld, SnappingGathersEveryNodeInReachOntoTheMasterHiddenAndShowsTheMaster)
{
    const Vector3 here(-3.0f, 5.0f, 20.0f);
    const Widget released = Join(here + Vector3(-0.3f, 0.2f, 0.0f), here + Vector3(-4.0f, 0.2f, 0.0f));
    const Widget master = Join(here, here + Vector3(3.0f, 0.0f, 0.0f));
    const Widget other = Join(here + Vector3(0.2f, -0.8f, 0.0f), here + Vector3(0.2f, -4.0f, 0.0f));
    // A group of its own in reach: its master and its member at one spot.
    const Widget leader = Join(here + Vector3(-0.5f, 0.9f, 0.0f), here + Vector3(-0.5f, 4.0f, 0.0f));
    const Widget follower = Join(here + Vector3(-0.5f, 0.9f, 0.0f), here + Vector3(2.0f, 2.9f, 0.0f));
    ASSERT_TRUE(released && master && other && leader && follower);
    Node(follower.a)->AttachToMaster(leader.a);
    ASSERT_FALSE(IsShown(follower.a));

    Node(released.a)->SnapToNearestNode();

    EXPECT_EQ(Node(released.a)->GetMasterID(), master.a->GetID());
    EXPECT_EQ(Node(master.a)->GetMembers(),
              (std::vector<std::uint32_t>{released.a->GetID(), other.a->GetID(), leader.a->GetID(),
                                          follower.a->GetID()}));
    for (const Widget* w : {&released, &other, &leader, &follower})
    {
        EXPECT_EQ(At(w->a), here) << "every member sits on the master";
        EXPECT_FALSE(IsShown(w->a));
        EXPECT_EQ(Node(w->a)->GetMasterID(), master.a->GetID());
        EXPECT_TRUE(Node(w->a)->GetMembers().empty()) << "a member has no members";
        // Its widget follows its moved end.
        EXPECT_LT(DistanceSquared(At(w->connection), (At(w->a) + At(w->b)) * 0.5f), 1e-8f);
    }
    EXPECT_TRUE(IsShown(master.a));
    EXPECT_EQ(Node(master.a)->GetMasterID(), 0u);
    EXPECT_TRUE(IsShown(released.b)) << "ends out of reach are left alone";

    // Snapping a member again keeps the group whole, each member listed once.
    Node(other.a)->SnapToNearestNode();
    EXPECT_EQ(Node(other.a)->GetMasterID(), master.a->GetID());
    std::vector<std::uint32_t> members = Node(master.a)->GetMembers();
    std::sort(members.begin(), members.end());
    EXPECT_EQ(members, (std::vector<std::uint32_t>{released.a->GetID(), other.a->GetID(), leader.a->GetID(),
                                                   follower.a->GetID()}));
}

TEST_F(GroupsWorld, AReleasedNodeWithNothingInReachKeepsItsGroup)
{
    const Widget first = Join(Vector3(-4.0f, 5.0f, 20.0f), Vector3(-1.0f, 5.0f, 20.0f));
    const Widget second = Join(Vector3(-1.0f, 5.0f, 20.0f), Vector3(-1.0f, 9.0f, 20.0f));
    ASSERT_TRUE(first && second);
    Node(second.a)->SnapToNearestNode();
    ASSERT_EQ(Node(second.a)->GetMasterID(), first.b->GetID());

    GetPOVComp(second.a)->SetPosition(Vector3(-1.0f, 30.0f, 20.0f), true);
    EXPECT_FALSE(Node(second.a)->HasNearbyNode());
    Node(second.a)->SnapToNearestNode();
    EXPECT_EQ(Node(second.a)->GetMasterID(), first.b->GetID());
    EXPECT_EQ(Node(first.b)->GetMembers(), std::vector<std::uint32_t>{second.a->GetID()});
    EXPECT_FALSE(IsShown(second.a));
}

TEST_F(GroupsWorld, AHardNodeGathersItsReachAndSnappingItAgainGathersItAgain)
{
    const Vector3 here(-4.0f, 5.0f, 20.0f);
    Gob* hard = NodeAt("HardNode", here);
    const Widget near = Join(here + Vector3(0.5f, 0.0f, 0.0f), here + Vector3(4.0f, 0.0f, 0.0f));
    const Widget leader = Join(here + Vector3(-0.4f, 0.4f, 0.0f), here + Vector3(-0.4f, 4.0f, 0.0f));
    const Widget follower = Join(here + Vector3(-0.4f, 0.4f, 0.0f), here + Vector3(2.0f, 3.0f, 0.0f));
    const Widget far = Join(here + Vector3(0.0f, -2.0f, 0.0f), here + Vector3(3.0f, -2.0f, 0.0f));
    ASSERT_TRUE(hard && near && leader && follower && far);
    Node(follower.a)->AttachToMaster(leader.a);

    const std::vector<std::uint32_t> gathered{near.a->GetID(), leader.a->GetID(), follower.a->GetID()};
    for (int round = 0; round < 2; ++round)
    {
        SCOPED_TRACE(round);
        Node(hard)->SnapToNearestNode();
        EXPECT_EQ(Node(hard)->GetMembers(), gathered);
        for (Gob* member : {near.a, leader.a, follower.a})
        {
            EXPECT_EQ(Node(member)->GetMasterID(), hard->GetID());
            EXPECT_EQ(At(member), here);
            EXPECT_FALSE(IsShown(member));
        }
        EXPECT_TRUE(IsShown(hard));
        EXPECT_TRUE(Node(leader.a)->GetMembers().empty());
        EXPECT_EQ(Node(far.a)->GetMasterID(), 0u);
        EXPECT_TRUE(IsShown(far.a));
    }
}

TEST_F(GroupsWorld, DetachingFreesTheMembersAndLeavesTheMaster)
{
    const Vector3 here(-4.0f, 5.0f, 20.0f);
    const Widget master = Join(here, here + Vector3(4.0f, 0.0f, 0.0f));
    const Widget first = Join(here, here + Vector3(0.0f, 4.0f, 0.0f));
    const Widget second = Join(here, here + Vector3(0.0f, -4.0f, 0.0f));
    ASSERT_TRUE(master && first && second);
    Node(master.a)->SnapToNearestNode();
    ASSERT_EQ(Node(master.a)->GetMasterID(), first.a->GetID());
    ASSERT_EQ(Node(first.a)->GetMembers(),
              (std::vector<std::uint32_t>{master.a->GetID(), second.a->GetID()}));
    Node(second.a)->GetPointConstraint().Enable();

    // A member leaves: its master forgets it, its own look stays as it was.
    Node(master.a)->GetPointConstraint().Enable();
    Node(master.a)->DetachAll();
    EXPECT_EQ(Node(master.a)->GetMasterID(), 0u);
    EXPECT_FALSE(Node(master.a)->GetPointConstraint().IsEnabled());
    EXPECT_FALSE(IsShown(master.a));
    EXPECT_EQ(Node(first.a)->GetMembers(), std::vector<std::uint32_t>{second.a->GetID()});

    // A master dissolves its group: every member is free, shown and without its joint.
    Node(first.a)->DetachAll();
    EXPECT_TRUE(Node(first.a)->GetMembers().empty());
    EXPECT_EQ(Node(second.a)->GetMasterID(), 0u);
    EXPECT_TRUE(IsShown(second.a));
    EXPECT_FALSE(Node(second.a)->GetPointConstraint().IsEnabled());

    // A member whose master is gone is freed and shown, not left hidden for ever.
    Node(second.a)->AttachToMaster(master.b);
    GobManager::Instance().KillGob(master.b);
    world.Frame();
    ASSERT_EQ(GobManager::Instance().GetGob(Node(second.a)->GetMasterID()), nullptr);
    Node(second.a)->DetachAll();
    EXPECT_EQ(Node(second.a)->GetMasterID(), 0u);
    EXPECT_TRUE(IsShown(second.a));
}

TEST_F(GroupsWorld, TheTwoEndsOfOneWidgetNeverJoinOneGroup)
{
    // A short bar with both ends within a node's reach: gathering both onto one spot would shrink
    // the bar to nothing. The first end met joins; the other stays where it is.
    const Vector3 here(-4.0f, 5.0f, 20.0f);
    for (bool hardMaster : {false, true})
    {
        SCOPED_TRACE(hardMaster ? "a hard node snaps" : "a soft node snaps");
        const Vector3 at = here + Vector3(0.0f, hardMaster ? 10.0f : 0.0f, 0.0f);
        Gob* hard = hardMaster ? NodeAt("HardNode", at) : nullptr;
        const Widget released = Join(at + Vector3(0.0f, 0.1f, 0.0f), at + Vector3(0.0f, 4.0f, 0.0f));
        const Widget bar = Join(at + Vector3(1.3f, 0.0f, 0.0f), at + Vector3(-1.3f, -0.3f, 0.0f));
        ASSERT_TRUE(released && bar);
        const float length = Distance(At(bar.a), At(bar.b));
        ASSERT_GT(length * length, QUORB::ConnectionComp::GetMinLength());
        if (hardMaster)
            Node(hard)->SnapToNearestNode();
        else
            Node(released.a)->SnapToNearestNode();
        EXPECT_EQ(Node(bar.b)->GetMasterID(), 0u);
        EXPECT_TRUE(IsShown(bar.b));
        EXPECT_FLOAT_EQ(Distance(At(bar.a), At(bar.b)), hardMaster ? Distance(at, At(bar.b)) : length);
        EXPECT_EQ(Node(hardMaster ? hard : bar.a)->GetMembers().size(), hardMaster ? 2u : 1u)
            << "the released end and one end of the bar";
    }
}

TEST_F(GroupsWorld, NodesOnEitherSideOfAnOctTreeBoundaryFindEachOther)
{
    // x = 0 divides the tree's deepest regions: each node is filed in its own region, so neither
    // is among the other's neighbours in the tree, yet they are 1.4 apart, within reach (1.6).
    const Widget left = Join(Vector3(-0.7f, 5.0f, 20.0f), Vector3(-0.7f, 9.0f, 20.0f));
    const Widget right = Join(Vector3(0.7f, 5.0f, 20.0f), Vector3(0.7f, 1.0f, 20.0f));
    ASSERT_TRUE(left && right);
    std::vector<std::uint32_t> neighbours;
    common::COctTree::Global().GetNeighbours(left.a->GetID(), neighbours);
    ASSERT_EQ(std::find(neighbours.begin(), neighbours.end(), right.a->GetID()), neighbours.end());

    Node(left.a)->SnapToNearestNode();
    EXPECT_EQ(Node(left.a)->GetMasterID(), right.a->GetID());
    EXPECT_EQ(At(left.a), Vector3(0.7f, 5.0f, 20.0f));
}
