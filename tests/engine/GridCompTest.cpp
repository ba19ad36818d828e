#include "engine/GridComp.h"

#include "TestSupport.h"
#include "common/ConsoleInterface.h"
#include "common/ParamStack.h"
#include "engine/DefaultCompCreator.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tinyxml.h>

#include <fstream>
#include <string>

using math::Vector3;

namespace
{
void ExpectPoint(const Vector3& p, float x, float y, float z)
{
    EXPECT_FLOAT_EQ(p.x, x);
    EXPECT_FLOAT_EQ(p.y, y);
    EXPECT_FLOAT_EQ(p.z, z);
}
} // namespace

TEST(GridComp, BuildsAnUncentredGridRowByRow)
{
    GridComp grid;
    grid.SetSpans(3, 2);
    grid.SetSpacings(1.0f, 2.0f);
    grid.BuildGrid();
    const Array2D<Vector3>& points = grid.GetPoints();
    ASSERT_EQ(points.GetColumns(), 3u);
    ASSERT_EQ(points.GetRows(), 2u);
    const float expected[6][3] = {{1.5f, 0, 1}, {2.5f, 0, 1}, {3.5f, 0, 1},
                                  {1.5f, 0, 3}, {2.5f, 0, 3}, {3.5f, 0, 3}};
    for (int i = 0; i < 6; ++i)
    {
        SCOPED_TRACE(i);
        ExpectPoint(points[i], expected[i][0], expected[i][1], expected[i][2]);
    }
    ExpectPoint(points(1, 1), 2.5f, 0, 3);
}

TEST(GridComp, ZeroSpanGivesAnEmptyGrid)
{
    const std::uint32_t spans[][2] = {{0, 4}, {4, 0}, {0, 0}};
    for (const auto& span : spans)
    {
        GridComp grid;
        grid.SetSpans(span[0], span[1]);
        grid.SetSpacings(1.0f, 1.0f);
        grid.BuildGrid();
        EXPECT_TRUE(grid.GetPoints().IsEmpty());
    }
}

TEST(GridComp, HugeOrOverflowingSpansLeaveTheGridEmpty)
{
    testsupport::TempWorkDir dir; // the console writes its log here
    struct Case
    {
        std::uint32_t x;
        std::uint32_t y;
        bool built;
    };
    const Case cases[] = {
        {1000, 1000, true},      // exactly the cap
        {1000, 1001, false},     // one row past it
        {65536, 65536, false},   // the product wraps to 0 in 32 bits
        {0xFFFFFFFFu, 2, false}, // wraps to a small number in 32 bits
        {0, 0xFFFFFFFFu, false}, // no point, but four billion empty rows
        {1000001, 0, false},     // one span past the cap on its own
        {0, 5, true},            // rows without points: spans kept, nothing built
        {3, 2, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.x) + " x " + std::to_string(c.y));
        GridComp grid;
        grid.SetSpans(c.x, c.y);
        grid.SetSpacings(0.1f, 0.1f);
        common::ConsoleInterface::Instance().ClearOutput();
        grid.BuildGrid();
        EXPECT_EQ(grid.GetPoints().IsEmpty(), !c.built || c.x * c.y == 0);
        if (c.built)
        {
            EXPECT_EQ(grid.GetPoints().GetElementCount(), std::size_t(c.x) * c.y);
            EXPECT_EQ(grid.GetSpanX(), c.x);
            EXPECT_EQ(grid.GetSpanY(), c.y);
            EXPECT_TRUE(common::ConsoleInterface::Instance().GetOutputLines().empty());
        }
        else
        {
            EXPECT_EQ(grid.GetSpanX(), 0u);
            EXPECT_EQ(grid.GetSpanY(), 0u);
            ASSERT_EQ(common::ConsoleInterface::Instance().GetOutputLines().size(), 1u);
            EXPECT_THAT(common::ConsoleInterface::Instance().GetOutputLines().back(),
                        ::testing::HasSubstr("is more than 1000000; the grid is left empty."));
        }
    }
}

TEST(GridComp, XmlFormAndReadingByPosition)
{
    GridComp grid;
    grid.SetSpans(4, 5);
    grid.SetSpacings(0.5f, 0.25f);
    TiXmlElement parent("Gob");
    ASSERT_TRUE(grid.Serialize(&parent));
    const TiXmlElement* element = parent.FirstChildElement();
    ASSERT_NE(element, nullptr);
    EXPECT_STREQ(element->Attribute("name"), "GridComp");
    const char* expected[4][3] = {{"uint", "SpanX", "4"},
                                  {"uint", "SpanY", "5"},
                                  {"float", "SpacingX", "0.5"},
                                  {"float", "SpacingY", "0.25"}};
    const TiXmlElement* child = element->FirstChildElement();
    for (const auto& e : expected)
    {
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(child->ValueStr(), e[0]);
        EXPECT_STREQ(child->Attribute("name"), e[1]);
        EXPECT_STREQ(child->GetText(), e[2]);
        child = child->NextSiblingElement();
    }
    EXPECT_EQ(child, nullptr);

    // The points follow only at the next build; missing elements keep their fields.
    TiXmlDocument doc;
    doc.Parse("<Component name=\"GridComp\"><uint>4</uint><uint>2</uint></Component>");
    GridComp read;
    read.SetSpacings(1.0f, 3.0f);
    ASSERT_TRUE(read.Deserialize(doc.RootElement()));
    EXPECT_EQ(read.GetSpanX(), 4u);
    EXPECT_EQ(read.GetSpanY(), 2u);
    EXPECT_EQ(read.GetSpacingX(), 1.0f);
    EXPECT_EQ(read.GetSpacingY(), 3.0f);
    EXPECT_TRUE(read.GetPoints().IsEmpty());
    EXPECT_FALSE(read.Deserialize(nullptr));
    EXPECT_FALSE(read.Serialize(nullptr));
}

TEST(GridComp, InitialiseBuildsAndGettersAnswerByName)
{
    testsupport::TempWorkDir dir;
    RegisterComponentType<GridComp>("GridComp");
    {
        std::ofstream out("ClothGrid.xml");
        out << "<File><Template><string>ClothGrid</string><string>ClothGrid</string>"
               "<list size=\"1\"><string>gridcomp</string></list><list size=\"1\">"
               "<pair><string>ClothGridArch</string><string>ClothGridArch.xml</string></pair></list>"
               "</Template></File>";
        std::ofstream arch("ClothGridArch.xml");
        arch << "<File><Gob><string>Cloth</string><Component name=\"GridComp\"><uint>3</uint><uint>2</uint>"
                "<float>1</float><float>2</float></Component></Gob></File>";
    }
    GobManager::Instance().LoadTemplate("ClothGrid.xml");
    Gob* gob = GobManager::Instance().CreateGob("ClothGridArch");
    ASSERT_NE(gob, nullptr);
    auto* grid = static_cast<GridComp*>(gob->GetComponent(GridComp::StaticTypeID()));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->GetOwner(), gob);
    ASSERT_EQ(grid->GetPoints().GetElementCount(), 6u);
    ExpectPoint(grid->GetPoints()(2, 1), 3.5f, 0, 3);

    const struct
    {
        const char* name;
        std::uint8_t tag;
    } functions[] = {{"SpanX", ParamStack::TAG_UInt},
                     {"SpanY", ParamStack::TAG_UInt},
                     {"SpacingX", ParamStack::TAG_Float},
                     {"SpacingY", ParamStack::TAG_Float}};
    for (const auto& f : functions)
    {
        SCOPED_TRACE(f.name);
        ParamStack params;
        gob->CallFunction(f.name, params, false);
        ASSERT_EQ(params.GetCount(), 1u);
        EXPECT_EQ(params.GetTag(0), f.tag);
    }
    ParamStack params;
    gob->CallFunction("SpacingY", params, false);
    float spacing = 0.0f;
    params.Pop(spacing);
    EXPECT_EQ(spacing, 2.0f);
    gob->CallFunction("SpanX", params, false);
    unsigned span = 0;
    params.Pop(span);
    EXPECT_EQ(span, 3u);

    GobManager::Instance().DestroyAllGobs();
}
