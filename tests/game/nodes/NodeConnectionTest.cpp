// Nodes and connections on the game's own widgets: a widget placed, turned and stretched
// between its two nodes on each room face, the ends it knows, and its nodes riding on its body
// once physics moves it. Neither component is saved beyond its name.
#include "GameTestWorld.h"

#include "common/math/Quad.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/phy/DynamicsEngine.h"
#include "engine/phy/PhysicsComp.h"
#include "game/app/CQUORB.h"
#include "game/nodes/ConnectionComp.h"
#include "game/nodes/NodeDataComp.h"
#include "game/room/FindComp.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

using QUORB::ConnectionComp;
using QUORB::NodeDataComp;

namespace
{
struct Widget
{
    Gob* connection = nullptr;
    Gob* a = nullptr;
    Gob* b = nullptr;
};

Gob* NodeAt(const char* archetype, const math::Vector3& position)
{
    Gob* node = GobManager::Instance().CreateGob(archetype);
    if (node != nullptr)
        GetPOVComp(node)->SetPosition(position, true);
    return node;
}

// A widget joined to two soft nodes the way widget creation joins them.
Widget Join(const math::Vector3& a, const math::Vector3& b, const char* archetype = "Platform")
{
    Widget widget;
    widget.connection = GobManager::Instance().CreateGob(archetype);
    widget.a = NodeAt("SoftNode", a);
    widget.b = NodeAt("SoftNode", b);
    if (!widget.connection || !widget.a || !widget.b)
        return Widget();
    NodeDataComp::Of(widget.a)->SetConnectionID(widget.connection->GetID());
    NodeDataComp::Of(widget.b)->SetConnectionID(widget.connection->GetID());
    ConnectionComp::Of(widget.connection)->SetNodes(widget.a->GetID(), widget.b->GetID());
    return widget;
}

float Off(const math::Vector3& a, const math::Vector3& b)
{
    return DistanceSquared(a, b);
}

std::string Print(const TiXmlNode& node)
{
    TiXmlPrinter printer;
    node.Accept(&printer);
    return printer.Str();
}

class NodesWorld : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(world.Booted());
        world.Frames(2);
        ASSERT_NE(world.Game().GetRoom(), nullptr);
        // While editing, the camera leaves the focused face alone: the tests choose it.
        world.Game().SetEditorMode(true);
    }
    gametest::GameTestWorld world;
};
} // namespace

TEST_F(NodesWorld, AWidgetIsPlacedTurnedAndStretchedBetweenItsNodesOnEveryFace)
{
    QUORB::CQUORB& game = world.Game();
    for (int face = 0; face < 4; ++face)
    {
        SCOPED_TRACE(face);
        game.SetFocusedFace(face);
        math::Quad quad;
        math::Vector3 normal;
        ASSERT_TRUE(game.GetFocusedFaceQuad(quad));
        ASSERT_TRUE(game.GetFocusedFaceNormal(normal));
        normal.Normalize();
        // Four units apart along the face's first edge, up and down a little in the face.
        const math::Vector3 along = (quad.p1 - quad.p0).GetNormalized();
        const math::Vector3 up = Cross(normal, along).GetNormalized();
        const math::Vector3 a = quad.p0 + along * 3.0f + up * 5.0f;
        const math::Vector3 b = a + along * 3.2f + up * 2.4f; // |D| = 4
        Widget widget = Join(a, b);
        ASSERT_NE(widget.connection, nullptr);
        ConnectionComp::Of(widget.connection)->UpdateFromNodes(true, true, true, true);

        POVComp* pov = GetPOVComp(widget.connection);
        EXPECT_LT(Off(pov->GetPosition(), (a + b) * 0.5f), 1e-8f);
        const math::Vector3 d = (b - a).GetNormalized();
        const math::Quaternion q = pov->GetOrientation();
        // Long axis x on faces 0 and 2, z on 1 and 3; the other axis out of or into the face.
        const math::Vector3 expectedX[] = {d, -normal, d, normal};
        const math::Vector3 expectedZ[] = {-normal, d, normal, d};
        EXPECT_LT(Off(q.GetXAxis(), expectedX[face]), 1e-8f);
        EXPECT_LT(Off(q.GetZAxis(), expectedZ[face]), 1e-8f);
        const math::Vector3 scale = pov->GetScale();
        EXPECT_FLOAT_EQ(face % 2 == 0 ? scale.x : scale.z, 4.0f);
        EXPECT_FLOAT_EQ(face % 2 == 0 ? scale.z : scale.x, 1.0f);
        EXPECT_FLOAT_EQ(scale.y, 1.0f);
    }
}

TEST_F(NodesWorld, WithoutBothNodesNothingMovesAndWithoutAFaceOnlyThePositionFollows)
{
    QUORB::CQUORB& game = world.Game();
    game.SetFocusedFace(0);
    Widget widget = Join(math::Vector3(0.0f, 0.0f, 19.0f), math::Vector3(4.0f, 0.0f, 19.0f));
    ASSERT_NE(widget.connection, nullptr);
    ConnectionComp* connection = ConnectionComp::Of(widget.connection);
    POVComp* pov = GetPOVComp(widget.connection);
    const math::Vector3 start(-7.0f, 1.0f, 2.0f);
    pov->SetPosition(start, true);

    connection->SetNodes(widget.a->GetID(), 99999); // no such object
    EXPECT_EQ(connection->GetNodeB(), nullptr);
    connection->UpdateFromNodes(true, true, true, true);
    EXPECT_EQ(pov->GetPosition(), start);
    EXPECT_EQ(pov->GetScale(), math::Vector3(1.0f, 1.0f, 1.0f));

    // A node destroyed after joining leaves that end empty, not dangling.
    connection->SetNodes(widget.a->GetID(), widget.b->GetID());
    GobManager::Instance().KillGob(widget.b);
    world.Frame();
    EXPECT_EQ(connection->GetNodeB(), nullptr);
    connection->UpdateFromNodes(true, true, true, true);
    EXPECT_EQ(pov->GetPosition(), start);

    Gob* b = NodeAt("SoftNode", math::Vector3(0.0f, 4.0f, 19.0f));
    connection->SetNodes(widget.a->GetID(), b->GetID());
    game.SetFocusedFace(-1);
    const math::Quaternion before = pov->GetOrientation();
    connection->UpdateFromNodes(true, true, true, true);
    EXPECT_EQ(pov->GetPosition(), math::Vector3(0.0f, 2.0f, 19.0f));
    EXPECT_EQ(pov->GetOrientation().w, before.w);
    EXPECT_EQ(pov->GetOrientation().z, before.z);
    EXPECT_EQ(pov->GetScale(), math::Vector3(1.0f, 1.0f, 1.0f));
}

TEST_F(NodesWorld, ConnectionLengthsAreBoundedAsSquaredDistances)
{
    EXPECT_EQ(ConnectionComp::GetMinLength(), 6.0f);
    EXPECT_EQ(ConnectionComp::GetMaxLength(), 36.0f);
    const math::Vector3 a(0.0f, 0.0f, 19.0f);
    EXPECT_LT(DistanceSquared(a, a + math::Vector3(2.0f, 0.0f, 0.0f)), ConnectionComp::GetMinLength())
        << "2 units apart is too short";
    EXPECT_LE(DistanceSquared(a, a + math::Vector3(6.0f, 0.0f, 0.0f)), ConnectionComp::GetMaxLength())
        << "6 units apart is allowed";
}

TEST_F(NodesWorld, NodesKnowTheOtherEndOfTheirConnection)
{
    world.Game().SetFocusedFace(0);
    Widget first = Join(math::Vector3(0.0f, 0.0f, 19.0f), math::Vector3(4.0f, 0.0f, 19.0f));
    Widget second = Join(math::Vector3(0.0f, 5.0f, 19.0f), math::Vector3(4.0f, 5.0f, 19.0f), "Bar");
    Gob* hard = NodeAt("HardNode", math::Vector3(-4.0f, 0.0f, 19.0f));
    ASSERT_TRUE(first.connection && second.connection && hard);
    NodeDataComp* a = NodeDataComp::Of(first.a);
    NodeDataComp* b = NodeDataComp::Of(first.b);
    NodeDataComp* anchor = NodeDataComp::Of(hard);

    EXPECT_EQ(anchor->GetOtherEnd(), nullptr);
    EXPECT_EQ(b->GetOtherEnd(), a);
    EXPECT_EQ(a->GetOtherEnd(), b);
    NodeDataComp* stray = NodeDataComp::Of(second.a);
    stray->SetConnectionID(first.connection->GetID()); // a connection that does not name it
    EXPECT_EQ(stray->GetOtherEnd(), nullptr);
    stray->SetConnectionID(second.connection->GetID());

    EXPECT_TRUE(a->IsOnSameConnection(first.b));
    EXPECT_FALSE(a->IsOnSameConnection(second.a));
    EXPECT_FALSE(a->IsOnSameConnection(hard)) << "the other has no connection";
    EXPECT_FALSE(anchor->IsOnSameConnection(first.a)) << "this one has none";
    EXPECT_FALSE(anchor->IsOnSameConnection(hard));
    EXPECT_FALSE(a->IsOnSameConnection(nullptr));

    // Moving a node onto another object carries its widget along.
    b->MoveOnto(second.b);
    EXPECT_EQ(GetPOVComp(first.b)->GetPosition(), math::Vector3(4.0f, 5.0f, 19.0f));
    EXPECT_LT(Off(GetPOVComp(first.connection)->GetPosition(), math::Vector3(2.0f, 2.5f, 19.0f)), 1e-8f);

    // Members are kept once each, in order.
    EXPECT_TRUE(anchor->AddMember(7));
    EXPECT_TRUE(anchor->AddMember(3));
    EXPECT_FALSE(anchor->AddMember(7));
    EXPECT_EQ(anchor->GetMembers(), (std::vector<std::uint32_t>{7, 3}));
    EXPECT_TRUE(anchor->RemoveMember(7));
    EXPECT_FALSE(anchor->RemoveMember(7));
    EXPECT_EQ(anchor->GetMembers(), (std::vector<std::uint32_t>{3}));
}

TEST_F(NodesWorld, AMovingBodyCarriesItsNodesAndAnImmovableOneLeavesThem)
{
    QUORB::CQUORB& game = world.Game();
    for (int face : {0, 1})
    {
        SCOPED_TRACE(face);
        game.SetFocusedFace(face);
        const math::Vector3 a =
            face == 0 ? math::Vector3(-2.0f, 4.0f, 19.0f) : math::Vector3(19.0f, 4.0f, -2.0f);
        const math::Vector3 b =
            face == 0 ? math::Vector3(2.0f, 4.0f, 19.0f) : math::Vector3(19.0f, 4.0f, 2.0f);
        Widget widget = Join(a, b);
        ASSERT_NE(widget.connection, nullptr);
        ConnectionComp::Of(widget.connection)->UpdateFromNodes(true, true, true, true);
        auto* body = QUORB::FindComp<dorvo::phy::PhysicsComp>(widget.connection);
        ASSERT_NE(body, nullptr);
        ASSERT_TRUE(body->immovable) << "the editor's widgets start immovable";

        dorvo::phy::DynamicsEngine::Instance().paused = false;
        GetPOVComp(widget.a)->SetPosition(a + math::Vector3(0.0f, 1.0f, 0.0f), true); // off the end
        world.Frames(3);
        EXPECT_EQ(GetPOVComp(widget.a)->GetPosition(), a + math::Vector3(0.0f, 1.0f, 0.0f));
        EXPECT_EQ(GetPOVComp(widget.b)->GetPosition(), b);

        body->immovable = false;
        body->savedImmovable = false;
        world.Frames(5);
        dorvo::phy::DynamicsEngine::Instance().paused = true;
        const math::Vector3 centre = body->position;
        EXPECT_LT(centre.y, 4.0f) << "the free widget fell";
        const math::Vector3 axis =
            (face == 0 ? body->orientation.GetXAxis() : body->orientation.GetZAxis()).GetNormalized();
        EXPECT_LT(Off(GetPOVComp(widget.a)->GetPosition(), centre - axis * 2.0f), 1e-6f);
        EXPECT_LT(Off(GetPOVComp(widget.b)->GetPosition(), centre + axis * 2.0f), 1e-6f);
        GobManager::Instance().KillGob(widget.connection);
        world.Frame();
    }
}

TEST_F(NodesWorld, BothComponentsSaveOnlyTheirNameAndReadNothing)
{
    world.Game().SetFocusedFace(0);
    Widget widget = Join(math::Vector3(0.0f, 0.0f, 19.0f), math::Vector3(4.0f, 0.0f, 19.0f));
    ASSERT_NE(widget.connection, nullptr);
    ConnectionComp* connection = ConnectionComp::Of(widget.connection);
    NodeDataComp* node = NodeDataComp::Of(widget.a);
    node->SetMasterID(5);
    node->AddMember(9);

    struct Case
    {
        Component* component;
        const char* saved;
    };
    for (const Case& c : {Case{connection, "<Component name=\"ConnectionComp\" />\n"},
                          Case{node, "<Component name=\"NodeDataComp\" />\n"}})
    {
        SCOPED_TRACE(c.saved);
        TiXmlElement parent("Parent");
        ASSERT_TRUE(c.component->Serialize(&parent));
        ASSERT_NE(parent.FirstChildElement(), nullptr);
        EXPECT_EQ(Print(*parent.FirstChildElement()), c.saved);
        EXPECT_EQ(parent.FirstChildElement()->NextSiblingElement(), nullptr);
        TiXmlElement withChildren(*parent.FirstChildElement());
        TiXmlElement child("uint");
        child.InsertEndChild(TiXmlText("3"));
        withChildren.InsertEndChild(child);
        EXPECT_TRUE(c.component->Deserialize(&withChildren));
        EXPECT_FALSE(c.component->Deserialize(nullptr));
        EXPECT_FALSE(c.component->Serialize(nullptr));
        TiXmlText text("x");
        EXPECT_FALSE(c.component->Serialize(&text));
    }
    EXPECT_EQ(connection->GetNodeA(), widget.a);
    EXPECT_EQ(connection->GetNodeB(), widget.b);
    EXPECT_EQ(node->GetConnectionID(), widget.connection->GetID());
    EXPECT_EQ(node->GetMasterID(), 5u);
    EXPECT_EQ(node->GetMembers(), std::vector<std::uint32_t>{9});
}
