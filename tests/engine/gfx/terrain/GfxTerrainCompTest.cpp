// The terrain component and its unit on the headless device: the grid's vertices, texture
// coordinates and index pattern, heights from the committed height map, the XML in its order,
// the facade's terrain list with its count and triangle total, the render record, the terrain
// scene graph of the frame, the buffers through device loss and reset, the shared BSP tree and
// the grids that make no unit.
#include "TerrainClothWorld.h"

#include "LogCapture.h"
#include "common/CBSPTreeMgr.h"
#include "common/math/AABB.h"
#include "engine/gfx/core/CRenderer.h"
#include "engine/gfx/core/CTextureHandle.h"
#include "engine/gfx/core/SRenderRecord.h"
#include "engine/gfx/scene/CSceneGraphMgr.h"

#include <tinyxml.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

using dorvo::gfx::CDorvoGfx;
using dorvo::gfx::CGfxTerrain;
using dorvo::gfx::GfxTerrainComp;
using dorvo::gfx::SGrid;
using dorvo::gfx::SUnitVertex;

namespace
{
constexpr char kHeightMap[] = "terrain/height_map.png";
constexpr float kPlain = 96.0f / 255.0f; // the committed map's plain, 0..1

class GfxTerrainCompTest : public gfxtest::TerrainClothWorld
{
protected:
    // A "Hills" object whose terrain is built again on the grid, amplitude and height map.
    Gob* Hills(int rows, int cols, float spacing, float amplitude, const std::string& heightMap = kHeightMap)
    {
        Gob* gob = Make("Hills", math::Vector3(0.0f, 0.0f, 0.0f));
        GfxTerrainComp* terrain = Terrain(gob);
        if (!terrain)
            return gob;
        SGrid grid;
        grid.numVertsPerRow = rows;
        grid.numVertsPerCol = cols;
        grid.cellSpacing = spacing;
        terrain->SetGrid(grid);
        terrain->SetAmplitude(amplitude);
        terrain->SetHeightMap(heightMap);
        terrain->Initialize(gob);
        return gob;
    }

    static CGfxTerrain* Unit(Gob* gob)
    {
        GfxTerrainComp* terrain = Terrain(gob);
        return terrain ? terrain->GetUnit() : nullptr;
    }

    static const std::vector<SUnitVertex>& Vertices(CGfxTerrain* unit)
    {
        return unit->GetOwnBuffers().vertices;
    }
};
} // namespace

// Two rows of two: the corners at x, z = +-0.5, texture coordinates 0 and 1, two triangles
// (p, p + 1, q) and (q, p + 1, q + 1). A 3 x 4 grid shows the pattern across rows and columns.
TEST_F(GfxTerrainCompTest, TheGridLaysRowsAlongZAndIndexesTwoTrianglesPerCell)
{
    CGfxTerrain* two = Unit(Hills(2, 2, 1.0f, 0.0f));
    ASSERT_NE(two, nullptr);
    const auto& v = Vertices(two);
    ASSERT_EQ(v.size(), 4u);
    const float expected[4][4] = {
        {-0.5f, 0.5f, 0, 0}, {0.5f, 0.5f, 1, 0}, {-0.5f, -0.5f, 0, 1}, {0.5f, -0.5f, 1, 1}};
    for (int i = 0; i < 4; ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_FLOAT_EQ(v[i].position[0], expected[i][0]);
        EXPECT_FLOAT_EQ(v[i].position[1], 0.0f) << "amplitude 0 is flat whatever the image";
        EXPECT_FLOAT_EQ(v[i].position[2], expected[i][1]);
        EXPECT_FLOAT_EQ(v[i].uv[0], expected[i][2]);
        EXPECT_FLOAT_EQ(v[i].uv[1], expected[i][3]);
        EXPECT_NEAR(v[i].normal[1], 1.0f, 1e-5f) << "a flat grid faces up";
    }
    EXPECT_EQ(two->GetOwnBuffers().indices, (std::vector<std::uint16_t>{0, 1, 2, 2, 1, 3}));
    EXPECT_EQ(two->GetTriangleCount(), 2u);

    CGfxTerrain* wide = Unit(Hills(3, 4, 2.0f, 0.0f));
    ASSERT_NE(wide, nullptr);
    std::vector<std::uint16_t> pattern;
    for (std::uint16_t r = 0; r < 2; ++r)
        for (std::uint16_t c = 0; c < 3; ++c)
        {
            const std::uint16_t p = r * 4 + c, q = p + 4;
            pattern.insert(pattern.end(),
                           {p, static_cast<std::uint16_t>(p + 1), q, q, static_cast<std::uint16_t>(p + 1),
                            static_cast<std::uint16_t>(q + 1)});
        }
    EXPECT_EQ(wide->GetOwnBuffers().indices, pattern);
    EXPECT_EQ(wide->GetTriangleCount(), 12u);
    EXPECT_FLOAT_EQ(Vertices(wide)[11].position[0], 3.0f);  // row 2, column 3: x = -3 + 3 x 2
    EXPECT_FLOAT_EQ(Vertices(wide)[11].position[2], -2.0f); // z = 2 - 2 x 2
    EXPECT_FLOAT_EQ(Vertices(wide)[6].uv[0], 2.0f / 3.0f);
    EXPECT_FLOAT_EQ(Vertices(wide)[6].uv[1], 0.5f);
}

// The committed map: the plain at 96 of 255, the hill's top near 237 at column 42, row 46, the
// valley's floor near 19 at column 88, row 84, each the mean of the 3 x 3 pixels around the
// sample. A grid wider than the image keeps its extra columns at height 0.
TEST_F(GfxTerrainCompTest, HeightsComeFromTheAuthoredImageScaledByTheAmplitude)
{
    Gob* gob = Make("Hills", math::Vector3(0.0f, 0.0f, 0.0f));
    CGfxTerrain* unit = Unit(gob);
    ASSERT_NE(unit, nullptr);
    ASSERT_EQ(unit->GetHeights().size(), 129u * 129u);
    const auto height = [&](unsigned c, unsigned r) { return Vertices(unit)[r * 129 + c].position[1]; };
    EXPECT_NEAR(height(0, 0), kPlain * 8.0f, 1e-4f);
    EXPECT_NEAR(height(128, 128), kPlain * 8.0f, 1e-4f);
    EXPECT_GT(height(42, 46), 230.0f / 255.0f * 8.0f);
    EXPECT_LE(height(42, 46), 237.0f / 255.0f * 8.0f + 1e-4f);
    EXPECT_LT(height(88, 84), 26.0f / 255.0f * 8.0f);
    EXPECT_GE(height(88, 84), 19.0f / 255.0f * 8.0f - 1e-4f);
    EXPECT_FLOAT_EQ(Vertices(unit)[46 * 129 + 42].position[0], -16.0f + 42 * 0.25f);
    EXPECT_FLOAT_EQ(Vertices(unit)[46 * 129 + 42].position[2], 16.0f - 46 * 0.25f);
    // The bounds given to the position component span the grid and its heights.
    const math::AABB& box = GetPOVComp(gob)->GetLocalBoundingBox();
    EXPECT_FLOAT_EQ(box.min.x, -16.0f);
    EXPECT_FLOAT_EQ(box.max.z, 16.0f);
    EXPECT_FLOAT_EQ(box.max.y, height(42, 46));
    EXPECT_FLOAT_EQ(box.min.y, height(88, 84));
    EXPECT_EQ(GetPOVComp(gob)->GetModelName(), kHeightMap);

    CGfxTerrain* wide = Unit(Hills(3, 140, 1.0f, 2.0f));
    ASSERT_NE(wide, nullptr);
    EXPECT_NEAR(Vertices(wide)[0].position[1], kPlain * 2.0f, 1e-4f);
    EXPECT_NEAR(Vertices(wide)[128].position[1], kPlain * 2.0f, 1e-4f);
    for (unsigned c = 129; c < 140; ++c)
        EXPECT_EQ(Vertices(wide)[140 + c].position[1], 0.0f) << "column " << c;
}

// The component's XML: its eleven elements in their order, the grid's four, read back by
// position; a component never loaded has amplitude 1.
TEST_F(GfxTerrainCompTest, TheXmlHoldsElevenElementsInOrderAndReadsBack)
{
    GfxTerrainComp fresh;
    EXPECT_EQ(fresh.GetAmplitude(), 1.0f);
    EXPECT_EQ(fresh.GetFXFile(), "Terrain.fx");
    EXPECT_EQ(fresh.GetTechnique(), "RenderTerrain");

    GfxTerrainComp* hills = Terrain(Make("Hills"));
    ASSERT_NE(hills, nullptr);
    hills->SetWireframe(true); // not saved
    SGrid grid = hills->GetGrid();
    grid.center.Set(1.0f, 2.0f, 3.0f);
    hills->SetGrid(grid);
    TiXmlElement parent("Parent");
    ASSERT_TRUE(hills->Serialize(&parent));
    const TiXmlElement* element = parent.FirstChildElement("Component");
    ASSERT_NE(element, nullptr);
    EXPECT_STREQ(element->Attribute("name"), "GfxTerrainComp");
    std::vector<std::string> names;
    for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        names.push_back(child->Attribute("name") ? child->Attribute("name") : "");
    EXPECT_EQ(names, (std::vector<std::string>{"FXFile", "Technique", "Textures", "HeightMap", "ShadowCaster",
                                               "IsVisible", "AlwaysVisible", "TileFactor", "BuildBSPTree",
                                               "Amplitude", "Grid"}));
    std::vector<std::string> gridNames;
    for (const TiXmlElement* child = element->LastChild()->ToElement()->FirstChildElement(); child;
         child = child->NextSiblingElement())
        gridNames.push_back(child->Attribute("name"));
    EXPECT_EQ(gridNames,
              (std::vector<std::string>{"NumVertsPerRow", "NumVertsPerCol", "CellSpacing", "Center"}));

    GfxTerrainComp back;
    ASSERT_TRUE(back.Deserialize(element));
    EXPECT_EQ(back.GetTextures(), hills->GetTextures());
    EXPECT_EQ(back.GetHeightMap(), kHeightMap);
    EXPECT_EQ(back.GetTileFactor(), 8.0f);
    EXPECT_TRUE(back.GetBuildBSPTree());
    EXPECT_EQ(back.GetAmplitude(), 8.0f);
    EXPECT_EQ(back.GetGrid().numVertsPerRow, 129);
    EXPECT_EQ(back.GetGrid().numVertsPerCol, 129);
    EXPECT_EQ(back.GetGrid().cellSpacing, 0.25f);
    EXPECT_EQ(back.GetGrid().center.z, 3.0f);
    EXPECT_FALSE(back.IsWireframe());

    // The grid is read by position, whatever its elements are called.
    TiXmlDocument renamed;
    renamed.Parse("<Grid name=\"G\"><int name=\"A\">5</int><int name=\"B\">7</int><float name=\"C\">2</float>"
                  "<Vector name=\"D\"><float name=\"x\">1</float><float name=\"y\">0</float>"
                  "<float name=\"z\">0</float></Vector></Grid>");
    SGrid read;
    ASSERT_TRUE(dorvo::gfx::ReadGrid(renamed.RootElement(), read));
    EXPECT_EQ(read.numVertsPerRow, 5);
    EXPECT_EQ(read.numVertsPerCol, 7);
    EXPECT_EQ(read.cellSpacing, 2.0f);
    EXPECT_EQ(read.center.x, 1.0f);
    EXPECT_FALSE(dorvo::gfx::ReadGrid(nullptr, read));
}

// Attaching enters the unit in the facade's list, counts it and its triangles; destroying takes
// back exactly that.
TEST_F(GfxTerrainCompTest, TheFacadesListCountsTerrainsAndTrianglesOnAttachAndDestruction)
{
    EXPECT_TRUE(gfx.GetTerrainUnits().empty());
    Gob* big = Make("Hills");
    Gob* small = Hills(3, 3, 1.0f, 1.0f);
    ASSERT_NE(Unit(big), nullptr);
    ASSERT_NE(Unit(small), nullptr);
    EXPECT_EQ(gfx.GetTerrainUnits(), (std::vector<dorvo::gfx::IGfxUnit*>{Unit(big), Unit(small)}));
    EXPECT_EQ(gfx.GetTerrainCount(), 2u);
    EXPECT_EQ(gfx.GetTerrainTriangleCount(), 128u * 128u * 2u + 8u);

    Destroy(big);
    EXPECT_EQ(gfx.GetTerrainUnits(), (std::vector<dorvo::gfx::IGfxUnit*>{Unit(small)}));
    EXPECT_EQ(gfx.GetTerrainCount(), 1u);
    EXPECT_EQ(gfx.GetTerrainTriangleCount(), 8u);
    Destroy(small);
    EXPECT_EQ(gfx.GetTerrainCount(), 0u);
    EXPECT_EQ(gfx.GetTerrainTriangleCount(), 0u);
    EXPECT_TRUE(gfx.GetTerrainUnits().empty());
}

// The record of a queued terrain: its effect, technique and material, the tile factor, the
// stage-4 texture as the blend texture, its own buffers, and world-view-projection.
TEST_F(GfxTerrainCompTest, TheRecordCarriesTheBlendTextureTileFactorAndOwnBuffers)
{
    Gob* gob = Make("Hills", math::Vector3(1.0f, 2.0f, 3.0f));
    CGfxTerrain* unit = Unit(gob);
    ASSERT_NE(unit, nullptr);
    ASSERT_NE(unit->GetTexture(4), nullptr);
    EXPECT_EQ(unit->GetTexture(4)->GetFileName(), "terrain/blend_map.png");
    unit->PrepareMatrices();
    const dorvo::gfx::SRenderRecord& record = *unit->GetRenderRecord();
    EXPECT_EQ(record.terrainBlend, unit->GetTexture(4)->GetTexture());
    EXPECT_NE(record.terrainBlend, nullptr);
    EXPECT_EQ(record.tileFactor, 8.0f);
    EXPECT_EQ(*record.fxFile, "Terrain.fx");
    EXPECT_EQ(*record.technique, "RenderTerrain");
    EXPECT_EQ(record.material, &Terrain(gob)->GetMaterial());
    EXPECT_EQ(record.buffers, unit->GetOwnDeviceBuffers());
    ASSERT_NE(record.buffers, nullptr);
    EXPECT_EQ(record.buffers->indexCount, 128u * 128u * 6u);
    EXPECT_EQ(record.world.Transform(math::Vector4(0, 0, 0, 1)).y, 2.0f);
    EXPECT_EQ(unit->GetMeshName(), "Invalid.x");
    EXPECT_FALSE(unit->IsTransparent());
    unit->SetTransparent(true);
    EXPECT_FALSE(unit->IsTransparent());
}

// The frame builds the terrain graph from the list and draws it while RF_TERRAIN is set; with
// the list empty the graph is cleared.
TEST_F(GfxTerrainCompTest, TheFrameBuildsTheTerrainGraphFromTheListAndClearsItWhenEmpty)
{
    Gob* gob = Make("Hills", math::Vector3(0.0f, -4.0f, 12.0f));
    ASSERT_NE(Unit(gob), nullptr);
    dorvo::gfx::CSceneGraphMgr* graph = gfx.GetSceneGraph(CDorvoGfx::SG_TERRAIN);
    ASSERT_NE(graph, nullptr);
    scene.Frame(0.0, 0.033f);
    EXPECT_EQ(graph->GetGeometryNodeCount(), 1u);
    EXPECT_EQ(dorvo::gfx::CRenderer::Instance().GetObjectsDrawn(), 1u);
    EXPECT_EQ(dorvo::gfx::CRenderer::Instance().GetTrianglesDrawn(), 128u * 128u * 2u);

    gfx.SetRenderFlags(CDorvoGfx::kDefaultRenderFlags & ~CDorvoGfx::RF_TERRAIN);
    scene.Frame(0.033, 0.033f);
    EXPECT_EQ(dorvo::gfx::CRenderer::Instance().GetObjectsDrawn(), 0u);
    gfx.SetRenderFlags(CDorvoGfx::kDefaultRenderFlags);

    Destroy(gob);
    scene.Frame(0.066, 0.033f);
    EXPECT_EQ(graph->GetNodeCount(), 0u);
}

// Loss lets go of the terrain's buffers with everything else in the default pool; the reset
// makes them again with the same bytes and id. Destroying the terrain takes it off the list.
TEST_F(GfxTerrainCompTest, BuffersFollowTheDeviceThroughLossAndReset)
{
    Gob* gob = Hills(5, 6, 1.0f, 3.0f);
    CGfxTerrain* unit = Unit(gob);
    ASSERT_NE(unit, nullptr);
    ASSERT_EQ(gfx.GetDeviceUnits(), std::vector<dorvo::gfx::CGfxUnit*>{unit});
    const auto* buffers = unit->GetOwnDeviceBuffers();
    ASSERT_NE(buffers->vertexBuffer, nullptr);
    const unsigned id = buffers->geometryId;
    const std::vector<SUnitVertex> vertices = unit->GetOwnBuffers().vertices;

    gfx.OnLostDevice();
    EXPECT_EQ(plat::headless::LiveDefaultResources(), 0u);
    EXPECT_EQ(buffers->vertexBuffer, nullptr);
    gfx.OnResetDevice();
    ASSERT_NE(buffers->vertexBuffer, nullptr);
    ASSERT_NE(buffers->indexBuffer, nullptr);
    EXPECT_EQ(buffers->geometryId, id);
    void* data = nullptr;
    ASSERT_TRUE(plat::SUCCEEDED(buffers->vertexBuffer->Lock(0, 0, &data, plat::D3DLOCK_READONLY)));
    EXPECT_EQ(std::memcmp(data, vertices.data(), vertices.size() * sizeof(SUnitVertex)), 0);
    buffers->vertexBuffer->Unlock();

    Destroy(gob);
    EXPECT_TRUE(gfx.GetDeviceUnits().empty());
}

// Two terrains of one height map share the tree the first one built.
TEST_F(GfxTerrainCompTest, TerrainsOfOneHeightMapShareTheFirstOnesBspTree)
{
    common::CBSPTreeMgr& trees = common::CBSPTreeMgr::Instance();
    ASSERT_NE(Unit(Hills(3, 3, 1.0f, 1.0f)), nullptr);
    common::CBSPTree* first = trees.GetTree(kHeightMap);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(Unit(Hills(9, 9, 2.0f, 5.0f)), nullptr);
    EXPECT_EQ(trees.GetTree(kHeightMap), first);
}

// Grids that make no unit, each said in one line naming the object; an empty height map makes
// none silently. Initialisation succeeds either way, and the components go without a unit.
TEST_F(GfxTerrainCompTest, GridsThatMakeNoUnitAreRefusedWithOneLine)
{
    struct Case
    {
        int rows, cols;
        const char* heightMap;
        bool unit;
        const char* line; // in the message, or null for none
    } cases[] = {
        {1, 5, kHeightMap, false, "fewer than 2 rows or columns"},
        {5, 1, kHeightMap, false, "fewer than 2 rows or columns"},
        {0, 0, kHeightMap, false, "fewer than 2 rows or columns"},
        {-3, 4, kHeightMap, false, "fewer than 2 rows or columns"},
        {257, 257, kHeightMap, false, "more than 65536 vertices"},
        {2, 32768, kHeightMap, true, nullptr},
        {2, 2, "", false, nullptr},
        {2, 2, "terrain/none.png", true, "terrain/none.png"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.rows) + " x " + std::to_string(c.cols) + " " + c.heightMap);
        testsupport::LogCapture logged;
        Gob* made = Hills(c.rows, c.cols, 1.0f, 1.0f, c.heightMap);
        const std::string err = logged.Text();
        EXPECT_EQ(Unit(made) != nullptr, c.unit);
        if (c.line)
        {
            EXPECT_NE(err.find(c.line), std::string::npos) << err;
            if (!c.unit)
            {
                EXPECT_NE(err.find("object \"Hills\""), std::string::npos) << err;
            }
            EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        }
        else
        {
            EXPECT_EQ(err, "");
        }
        if (!c.unit)
        {
            EXPECT_TRUE(Terrain(made)->Initialize(made));
        }
        if (c.unit && std::string(c.heightMap) == "terrain/none.png")
        {
            EXPECT_EQ(Vertices(Unit(made))[0].position[1], 0.0f) << "a map that cannot be read is flat";
        }
        Destroy(made);
    }
    EXPECT_EQ(gfx.GetTerrainCount(), 0u);
}
