// The construction quad component: its quad survives a save and a read (the normal recomputed
// from the corners), an element without a child reads nothing, and its type resolves by name.
#include "game/widgets/ConstructionQuadComp.h"

#include "common/HashName.h"
#include "engine/GobManager.h"
#include "game/app/GameComponentTypes.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

TEST(ConstructionQuadComp, ARoundTripKeepsTheCornersAndRecomputesTheNormal)
{
    QUORB::RegisterGameComponentTypes();
    QUORB::ConstructionQuadComp saved;
    math::Quad quad(math::Vector3(11, -6, 20), math::Vector3(-11, -6, 20), math::Vector3(-11, 10, 20),
                    math::Vector3(11, 10, 20));
    quad.normal = math::Vector3(5, 5, 5); // never stored: the reader recomputes it
    saved.SetQuad(quad);
    TiXmlElement root("Gob");
    ASSERT_TRUE(saved.Serialize(&root));
    const TiXmlElement* element = root.FirstChildElement("Component");
    ASSERT_NE(element, nullptr);
    EXPECT_STREQ(element->Attribute("name"), "ConstructionQuadComp");

    QUORB::ConstructionQuadComp read;
    ASSERT_TRUE(read.Deserialize(element));
    EXPECT_EQ(read.GetQuad().p0, quad.p0);
    EXPECT_EQ(read.GetQuad().p1, quad.p1);
    EXPECT_EQ(read.GetQuad().p2, quad.p2);
    EXPECT_EQ(read.GetQuad().p3, quad.p3);
    EXPECT_EQ(read.GetQuad().normal, math::Vector3(0, 0, -1)) << "(P1 - P0) x (P3 - P0), into the room";
}

TEST(ConstructionQuadComp, AnElementWithoutAChildReadsNothing)
{
    QUORB::ConstructionQuadComp comp;
    TiXmlElement empty("Component");
    EXPECT_FALSE(comp.Deserialize(&empty));
    EXPECT_FALSE(comp.Deserialize(nullptr));
    EXPECT_EQ(comp.GetQuad().p0, math::Vector3(0, 0, 0));
    EXPECT_EQ(comp.GetQuad().p2, math::Vector3(0, 0, 0));
    EXPECT_EQ(comp.GetQuad().normal, math::Vector3(0, 0, 0));
}

TEST(ConstructionQuadComp, TheGamesComponentTypesResolveByNameIgnoringCase)
{
    QUORB::RegisterGameComponentTypes();
    for (const char* name : {"constructionquadcomp", "ConstructionQuadComp", "WidgetDataComp", "GobIDComp",
                             "ConnectionComp", "NodeDataComp", "ObjectiveComp"})
    {
        SCOPED_TRACE(name);
        EXPECT_NE(GobManager::Instance().FindCreator(HashName(name)), nullptr);
    }
    EXPECT_EQ(QUORB::ConstructionQuadComp::StaticTypeID(), HashName("constructionquadcomp"));
}
