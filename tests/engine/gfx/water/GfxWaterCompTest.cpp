// Planar water on the headless device: the water types, the unit's quad, bounds, plane, shared
// BSP tree and device buffers, the water manager's active water and targets, the facade's water
// list, and the component's XML with its grid record.
#include "WaterTestWorld.h"

#include "DeviceBufferBytes.h"
#include "LogCapture.h"
#include "common/CBSPTreeMgr.h"
#include "common/math/AABB.h"
#include "common/math/Plane.h"
#include "common/math/Sphere.h"
#include "engine/gfx/terrain/GridXml.h"
#include "engine/gfx/water/CGfxPlanarWater.h"
#include "platform/device_debug.h"

#include <tinyxml.h>

#include <cmath>
#include <cstring>

using dorvo::gfx::ACGfxWater;
using dorvo::gfx::CDorvoGfx;
using dorvo::gfx::CGfxPlanarWater;
using dorvo::gfx::CWaterManager;
using dorvo::gfx::GfxWaterComp;

using testsupport::Bytes;

namespace
{
void ExpectPlane(const math::Plane& plane, float a, float b, float c, float d)
{
    EXPECT_NEAR(plane.normal.x, a, 1e-5f);
    EXPECT_NEAR(plane.normal.y, b, 1e-5f);
    EXPECT_NEAR(plane.normal.z, c, 1e-5f);
    EXPECT_NEAR(plane.d, d, 1e-5f);
}

std::string Print(const TiXmlNode& node)
{
    TiXmlPrinter printer;
    printer.SetStreamPrinting();
    node.Accept(&printer);
    return printer.Str();
}

class GfxWaterCompTest : public gfxtest::WaterWorld
{
protected:
    void Kill(Gob* gob)
    {
        GobManager::Instance().KillGob(gob);
        GobManager::Instance().ProcessKillList();
    }
};
} // namespace

// Only the planar types make a unit: it enters the facade's list with its two triangles and
// becomes the active water. Type 3 is silently no water; 2 and 7 are not water the engine draws,
// said once each with the object's name.
TEST_F(GfxWaterCompTest, WaterTypesTable)
{
    struct Case
    {
        int type;
        bool unit;
        bool line;
    };
    const Case cases[] = {
        {0, true, false}, {1, true, false}, {2, false, true}, {3, false, false}, {7, false, true}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.type);
        const std::size_t before = gfx.GetWaterUnitCount();
        Gob* gob = MakeWater("StillWater", 0.0f);
        gob->SetName("Pond" + std::to_string(c.type));
        GfxWaterComp* comp = Water(gob);
        comp->SetTechnique("");
        comp->SetWaterType(c.type);
        Manager().SetActiveWater(nullptr);
        testsupport::LogCapture logged;
        EXPECT_TRUE(comp->Initialize(gob));
        const std::string said = logged.Text();
        EXPECT_EQ(comp->GetUnit() != nullptr, c.unit);
        EXPECT_EQ(gfx.GetWaterUnitCount(), before + (c.unit ? 1 : 0));
        EXPECT_EQ(Manager().GetActiveWater(), c.unit ? comp : nullptr);
        EXPECT_EQ(comp->GetTechnique(), c.unit ? "RenderPlanarWater" : "");
        if (c.line)
        {
            EXPECT_NE(said.find("\"Pond" + std::to_string(c.type) + "\""), std::string::npos) << said;
            EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        }
        else
            EXPECT_EQ(said, "");
        if (c.unit)
        {
            EXPECT_EQ(GetPOVComp(gob)->GetModelName(), "PlanarNoWaveWater");
        }
        Kill(gob);
        EXPECT_EQ(gfx.GetWaterUnitCount(), before);
    }
}

// The quad as drawn: four 96-byte vertices facing up, two triangles; its local bounds (the flat
// axis widened by 0.01 each side) go to the owner; the unit answers from the component.
TEST_F(GfxWaterCompTest, TheQuadItsBoundsAndWhatTheUnitAnswers)
{
    Gob* gob = MakeWater("StillWater", 0.0f, math::Vector3(1.0f, 1.0f, 1.0f));
    auto* unit = dynamic_cast<CGfxPlanarWater*>(Water(gob)->GetUnit());
    ASSERT_NE(unit, nullptr);
    const auto& quad = unit->GetQuad();
    ASSERT_EQ(quad.VertexCount(), 4u);
    const float expected[4][4] = {
        {-0.5f, 0.5f, 0, 0}, {0.5f, 0.5f, 1, 0}, {0.5f, -0.5f, 1, 1}, {-0.5f, -0.5f, 0, 1}};
    for (int i = 0; i < 4; ++i)
    {
        SCOPED_TRACE(i);
        const auto& v = quad.vertices[i];
        EXPECT_EQ(std::vector<float>(v.position, v.position + 3),
                  (std::vector<float>{expected[i][0], 0, expected[i][1]}));
        EXPECT_EQ(std::vector<float>(v.uv, v.uv + 2), (std::vector<float>{expected[i][2], expected[i][3]}));
        EXPECT_EQ(std::vector<float>(v.normal, v.normal + 3), (std::vector<float>{0, 1, 0}));
        EXPECT_EQ(std::vector<float>(v.tangent, v.tangent + 3), (std::vector<float>{1, 0, 0}));
        EXPECT_EQ(std::vector<float>(v.binormal, v.binormal + 3), (std::vector<float>{0, 0, -1}));
    }
    EXPECT_EQ(quad.indices, (std::vector<std::uint16_t>{0, 1, 2, 0, 2, 3}));
    EXPECT_EQ(unit->GetTriangleCount(), 2u);
    EXPECT_EQ(gfx.GetWaterTriangleCount(), 2u);

    const POVComp* pov = GetPOVComp(gob);
    EXPECT_NEAR(pov->GetLocalBoundingSphere().radius, 0.70711f, 1e-4f);
    EXPECT_NEAR(pov->GetLocalBoundingSphere().center.Length(), 0.0f, 1e-6f);
    const math::AABB& box = pov->GetLocalBoundingBox();
    EXPECT_FLOAT_EQ(box.min.x, -0.5f);
    EXPECT_FLOAT_EQ(box.max.z, 0.5f);
    EXPECT_FLOAT_EQ(box.min.y, -0.01f);
    EXPECT_FLOAT_EQ(box.max.y, 0.01f);

    EXPECT_EQ(unit->GetMeshName(), "Invalid.x");
    EXPECT_EQ(unit->GetFXFile(), "Water2.fx");
    EXPECT_EQ(unit->GetTechnique(), "RenderPlanarWater");
    EXPECT_FALSE(unit->IsTransparent());
    Water(gob)->SetVisible(false);
    EXPECT_FALSE(unit->IsVisible());

    // The record the renderer draws from: the quad's buffers, the still-water values, tile 1,
    // the normal map in stage 3.
    unit->PrepareMatrices();
    const dorvo::gfx::SRenderRecord* record = unit->GetRenderRecord();
    EXPECT_EQ(record->buffers, unit->GetDeviceBuffers());
    EXPECT_FLOAT_EQ(record->water.fresnelBias, 0.35f);
    EXPECT_FLOAT_EQ(record->water.refUVDistortion, 0.015f);
    EXPECT_FLOAT_EQ(record->tileFactor, 1.0f);
    EXPECT_NE(record->textures[3], nullptr);
    EXPECT_EQ(*record->technique, "RenderPlanarWater");
}

// The world plane follows the owner: y = 0 untouched, raised by h, tilted; scale does not change
// where it is. A type-2 water keeps the plane it had.
TEST_F(GfxWaterCompTest, TheWorldPlaneFollowsTheOwner)
{
    Gob* gob = MakeWater("StillWater", 0.0f, math::Vector3(1.0f, 1.0f, 1.0f));
    GetPOVComp(gob)->SetPosition(math::Vector3(0.0f, 0.0f, 0.0f), true);
    ACGfxWater* unit = Water(gob)->GetUnit();
    ASSERT_NE(unit, nullptr);
    ExpectPlane(unit->GetWaterPlane(), 0, 1, 0, 0);

    POVComp* pov = GetPOVComp(gob);
    pov->SetPosition(math::Vector3(3.0f, 2.5f, -4.0f), true);
    pov->SetScale(math::Vector3(20.0f, 3.0f, 20.0f), true);
    ExpectPlane(unit->GetWaterPlane(), 0, 1, 0, -2.5f);

    // Turned a quarter about z: the plane stands upright through the owner's position, its
    // normal the owner's turned up axis.
    const float half = 0.78539816f;
    pov->SetOrientation(math::Quaternion(std::cos(half), 0.0f, 0.0f, std::sin(half)), true);
    math::Vector3 up = pov->GetWorldMatrix().TransformDirection(math::Vector3(0.0f, 1.0f, 0.0f));
    up = up * (1.0f / up.Length());
    EXPECT_NEAR(std::abs(up.x), 1.0f, 1e-5f);
    const float d = -(up.x * 3.0f + up.y * 2.5f - up.z * 4.0f);
    ExpectPlane(unit->GetWaterPlane(), up.x, up.y, up.z, d);

    // The manager answers with the active water's plane and its owner's id.
    math::Plane plane;
    ASSERT_TRUE(Manager().GetWaterPlane(plane));
    ExpectPlane(plane, up.x, up.y, up.z, d);
    EXPECT_EQ(Manager().GetWaterGobID(), gob->GetID());

    Water(gob)->SetWaterType(GfxWaterComp::WATER_FixedPlane);
    pov->SetPosition(math::Vector3(0.0f, 0.0f, 0.0f), true);
    ExpectPlane(unit->GetWaterPlane(), up.x, up.y, up.z, d);
}

// No water: no plane, id 0. Two waters: the second is active. Destroying a water that is not
// the active one keeps the active; destroying the active one leaves none (no plane, id 0).
TEST_F(GfxWaterCompTest, TheActiveWaterAndItsDestruction)
{
    math::Plane plane;
    EXPECT_FALSE(Manager().GetWaterPlane(plane));
    EXPECT_EQ(Manager().GetWaterGobID(), 0u);
    EXPECT_EQ(Manager().GetReflectionMatrix().m[5], 1.0f);

    Gob* first = MakeWater("StillWater", 1.0f);
    Gob* second = MakeWater("WavyWater", -2.0f);
    EXPECT_EQ(Manager().GetActiveWater(), Water(second));
    EXPECT_EQ(Manager().GetWaterGobID(), second->GetID());
    ASSERT_TRUE(Manager().GetWaterPlane(plane));
    ExpectPlane(plane, 0, 1, 0, 2.0f);
    // The mirror of y = -2 takes (0, 0, 0) to (0, -4, 0).
    EXPECT_NEAR(Manager().GetReflectionMatrix().TransformPoint(math::Vector3(0, 0, 0)).y, -4.0f, 1e-5f);

    Kill(first);
    EXPECT_EQ(Manager().GetWaterGobID(), second->GetID());
    EXPECT_EQ(gfx.GetWaterUnitCount(), 1u);
    Kill(second);
    EXPECT_EQ(Manager().GetActiveWater(), nullptr);
    EXPECT_FALSE(Manager().GetWaterPlane(plane));
    EXPECT_EQ(Manager().GetWaterGobID(), 0u);
    EXPECT_EQ(gfx.GetWaterUnitCount(), 0u);
    EXPECT_EQ(gfx.GetWaterTriangleCount(), 0u);
}

// Initialised again as a type without a unit, the active water stops being active (no plane,
// id 0) and leaves the list; another water that is active stays so. As type 1 again it is back.
TEST_F(GfxWaterCompTest, InitialisedAgainWithoutAUnitItIsNoLongerTheActiveWater)
{
    for (int type : {3, 7})
    {
        SCOPED_TRACE(type);
        Gob* other = MakeWater("StillWater", 1.0f);
        Gob* gob = MakeWater("WavyWater", -2.0f);
        GfxWaterComp* comp = Water(gob);
        ASSERT_EQ(Manager().GetActiveWater(), comp);

        // Not the active one: the other keeps its place.
        Water(other)->SetWaterType(type);
        testsupport::LogCapture logged;
        Water(other)->Initialize(other);
        EXPECT_EQ(Manager().GetActiveWater(), comp);
        EXPECT_EQ(gfx.GetWaterUnitCount(), 1u);

        comp->SetWaterType(type);
        logged.Clear();
        EXPECT_TRUE(comp->Initialize(gob));
        math::Plane plane;
        EXPECT_EQ(comp->GetUnit(), nullptr);
        EXPECT_EQ(Manager().GetActiveWater(), nullptr);
        EXPECT_FALSE(Manager().GetWaterPlane(plane));
        EXPECT_EQ(Manager().GetWaterGobID(), 0u);
        EXPECT_EQ(gfx.GetWaterUnitCount(), 0u);

        comp->SetWaterType(1);
        EXPECT_TRUE(comp->Initialize(gob));
        EXPECT_EQ(Manager().GetActiveWater(), comp);
        EXPECT_EQ(Manager().GetWaterGobID(), gob->GetID());
        ASSERT_TRUE(Manager().GetWaterPlane(plane));
        ExpectPlane(plane, 0, 1, 0, 2.0f);
        Kill(gob);
        Kill(other);
        EXPECT_EQ(gfx.GetWaterUnitCount(), 0u);
    }
}

// The facade's list: a unit counts once however often it enters; removing one that is not
// listed changes nothing; Release empties it.
TEST_F(GfxWaterCompTest, TheFacadesWaterList)
{
    Gob* gob = MakeWater("StillWater", 0.0f);
    ACGfxWater* unit = Water(gob)->GetUnit();
    gfx.AddWaterUnit(unit);
    EXPECT_EQ(gfx.GetWaterUnitCount(), 1u);
    EXPECT_EQ(gfx.GetWaterTriangleCount(), 2u);
    CGfxPlanarWater stray;
    gfx.RemoveWaterUnit(&stray);
    gfx.RemoveWaterUnit(nullptr);
    EXPECT_EQ(gfx.GetWaterUnits(), std::vector<dorvo::gfx::IGfxUnit*>{unit});
    EXPECT_EQ(gfx.GetWaterTriangleCount(), 2u);
    gfx.RemoveWaterUnit(unit);
    gfx.RemoveWaterUnit(unit);
    EXPECT_EQ(gfx.GetWaterUnitCount(), 0u);
    EXPECT_EQ(gfx.GetWaterTriangleCount(), 0u);
}

// A second planar water built with the BSP flag reuses the one tree of every planar water.
TEST_F(GfxWaterCompTest, EveryPlanarWaterSharesOneBSPTree)
{
    common::CBSPTreeMgr& trees = common::CBSPTreeMgr::Instance();
    Gob* first = MakeWater("StillWater", 0.0f);
    Water(first)->SetBuildBSPTree(true);
    Water(first)->Initialize(first);
    common::CBSPTree* tree = trees.GetTree(CGfxPlanarWater::kBSPTreeName);
    ASSERT_NE(tree, nullptr);
    Gob* second = MakeWater("StillWater", 1.0f);
    Water(second)->SetBuildBSPTree(true);
    Water(second)->Initialize(second);
    EXPECT_EQ(trees.GetTree(CGfxPlanarWater::kBSPTreeName), tree);
    EXPECT_EQ(gfx.GetWaterUnitCount(), 2u) << "initialising again replaces the unit in the list";
}

// The quad's own buffers leave the device at a loss and come back with the same bytes and id;
// the manager's maps and depth surfaces too, at the new size after a reset to 1024 x 768.
TEST_F(GfxWaterCompTest, BuffersAndTargetsFollowLossAndReset)
{
    Gob* gob = MakeWater("StillWater", 0.0f);
    auto* unit = dynamic_cast<CGfxPlanarWater*>(Water(gob)->GetUnit());
    ASSERT_NE(unit, nullptr);
    const dorvo::gfx::D3DRenderBuffers* buffers = unit->GetDeviceBuffers();
    ASSERT_NE(buffers->vertexBuffer, nullptr);
    EXPECT_EQ(std::count(gfx.GetDeviceUnits().begin(), gfx.GetDeviceUnits().end(), unit), 1);
    const auto vertices = Bytes(buffers->vertexBuffer);
    const auto indices = Bytes(buffers->indexBuffer);
    EXPECT_EQ(vertices.size(), 4u * 96u);
    const unsigned id = buffers->geometryId;

    // The maps: back-buffer size and format, D24S8 depth.
    const plat::D3DSURFACE_DESC back = device->GetBackBufferDesc();
    const std::vector<plat::devicedebug::ResourceInfo> made = plat::headless::Resources();
    auto info = [](const std::vector<plat::devicedebug::ResourceInfo>& all, plat::IDirect3DResource9* r)
    { return all.at(plat::devicedebug::CreationNumber(r) - 1); };
    for (plat::IDirect3DResource9* map :
         {static_cast<plat::IDirect3DResource9*>(Manager().GetReflectionTexture()),
          static_cast<plat::IDirect3DResource9*>(Manager().GetRefractionTexture())})
    {
        ASSERT_NE(map, nullptr);
        EXPECT_EQ(info(made, map).width, back.Width);
        EXPECT_EQ(info(made, map).format, back.Format);
        EXPECT_EQ(info(made, map).usage & plat::D3DUSAGE_RENDERTARGET, plat::D3DUSAGE_RENDERTARGET);
    }
    EXPECT_EQ(info(made, Manager().GetReflectionDepth()).format, plat::D3DFMT_D24S8);

    gfx.OnLostDevice();
    EXPECT_EQ(buffers->vertexBuffer, nullptr);
    EXPECT_EQ(Manager().GetReflectionTexture(), nullptr);
    EXPECT_EQ(Manager().GetRefractionDepth(), nullptr);
    EXPECT_EQ(plat::headless::LiveDefaultResources(), 0u);

    plat::DXUTSetCallbackDeviceLost([](void*) { CDorvoGfx::Instance().OnLostDevice(); });
    plat::DXUTSetCallbackDeviceReset(
        [](plat::IDirect3DDevice9*, const plat::D3DSURFACE_DESC*, void*)
        {
            CDorvoGfx::Instance().OnResetDevice();
            return plat::S_OK;
        });
    gfx.OnResetDevice();
    plat::headless::InjectMessage(plat::WM_SIZE, 0, plat::MAKELPARAM(1024, 768));
    plat::MSG msg;
    while (plat::PeekMessageW(&msg, nullptr, 0, 0, plat::PM_REMOVE))
        plat::DispatchMessageW(&msg);
    plat::DXUTRender3DEnvironment();
    plat::DXUTSetCallbackDeviceLost(nullptr);
    plat::DXUTSetCallbackDeviceReset(nullptr);
    ASSERT_EQ(plat::headless::BackBufferWidth(), 1024u);

    EXPECT_EQ(Bytes(buffers->vertexBuffer), vertices);
    EXPECT_EQ(Bytes(buffers->indexBuffer), indices);
    EXPECT_EQ(buffers->geometryId, id);
    const std::vector<plat::devicedebug::ResourceInfo> after = plat::headless::Resources();
    for (plat::IDirect3DResource9* target :
         {static_cast<plat::IDirect3DResource9*>(Manager().GetReflectionTexture()),
          static_cast<plat::IDirect3DResource9*>(Manager().GetRefractionTexture()),
          static_cast<plat::IDirect3DResource9*>(Manager().GetReflectionDepth()),
          static_cast<plat::IDirect3DResource9*>(Manager().GetRefractionDepth())})
    {
        ASSERT_NE(target, nullptr);
        EXPECT_TRUE(info(after, target).live);
        EXPECT_EQ(info(after, target).width, 1024u);
        EXPECT_EQ(info(after, target).height, 768u);
    }

    Kill(gob);
    EXPECT_EQ(std::count(gfx.GetDeviceUnits().begin(), gfx.GetDeviceUnits().end(), unit), 0);
}

// Type 1 keeps its eight still-water values and writes no grid; type 0 keeps its grid, every
// wave value and both colours. What is written reads back to the same text.
TEST_F(GfxWaterCompTest, XmlRoundTripsOfStillAndWavingWater)
{
    for (const char* archetype : {"StillWater", "WavyWater"})
    {
        SCOPED_TRACE(archetype);
        Gob* gob = MakeWater(archetype, 0.0f);
        GfxWaterComp* comp = Water(gob);
        comp->SetTextures({{3, "water/water_normals.png"}, {0, "a.png"}});
        TiXmlElement first("Parent");
        ASSERT_TRUE(comp->Serialize(&first));
        const std::string text = Print(first);

        GfxWaterComp copy;
        ASSERT_TRUE(copy.Deserialize(first.FirstChildElement()));
        TiXmlElement second("Parent");
        ASSERT_TRUE(copy.Serialize(&second));
        EXPECT_EQ(Print(second), text);
        EXPECT_EQ(copy.GetTextures(), comp->GetTextures());
        EXPECT_NE(text.find("<enum name=\"First\">3</enum>"), std::string::npos);
        EXPECT_NE(text.find("<enum name=\"WaterType\">"), std::string::npos);

        if (comp->GetWaterType() == GfxWaterComp::WATER_NoWaves)
        {
            EXPECT_EQ(text.find("Grid"), std::string::npos);
            const dorvo::gfx::NoWaveInfo& a = comp->GetNoWaveInfo();
            const dorvo::gfx::NoWaveInfo& b = copy.GetNoWaveInfo();
            EXPECT_EQ(std::vector<float>({a.bumpScale, a.refUVDistortion, a.fresnelBias, a.fresnelPower,
                                          a.dir1X, a.dir1Z, a.dir2X, a.dir2Z}),
                      std::vector<float>({b.bumpScale, b.refUVDistortion, b.fresnelBias, b.fresnelPower,
                                          b.dir1X, b.dir1Z, b.dir2X, b.dir2Z}));
            EXPECT_FLOAT_EQ(b.fresnelBias, 0.35f);
            EXPECT_FLOAT_EQ(b.dir2Z, 1.0f);
        }
        else
        {
            EXPECT_EQ(copy.GetGrid().numVertsPerRow, 33);
            EXPECT_FLOAT_EQ(copy.GetGrid().cellSpacing, 1.5f);
            const dorvo::gfx::WaveInfo& w = copy.GetWaveInfo();
            EXPECT_FLOAT_EQ(w.freqMain, 0.1f);
            EXPECT_FLOAT_EQ(w.z2, 0.7f);
            EXPECT_FLOAT_EQ(w.fresnelBias, 0.3f);
            EXPECT_NEAR(w.shallowColor[1], 0.45f, 1e-5f);
            EXPECT_NEAR(w.deepColor[2], 0.3f, 1e-5f);
            EXPECT_FLOAT_EQ(w.waterBlendWeight, 0.12f);
            EXPECT_EQ(std::memcmp(&w, &comp->GetWaveInfo(), sizeof w), 0);
        }
    }
}

// The grid record: written in its order under the name given, read by position whatever the
// elements are called; a missing node or one that is not an element is refused.
TEST(GridXml, WrittenInOrderAndReadByPosition)
{
    dorvo::gfx::SGrid grid;
    grid.numVertsPerRow = 5;
    grid.numVertsPerCol = 7;
    grid.cellSpacing = 2.5f;
    grid.center = math::Vector3(1.0f, 2.0f, 3.0f);
    TiXmlElement parent("Parent");
    ASSERT_TRUE(dorvo::gfx::WriteGrid(&parent, grid, "Terrain"));
    EXPECT_EQ(
        Print(parent),
        "<Parent><Grid name=\"Terrain\"><int name=\"NumVertsPerRow\">5</int><int "
        "name=\"NumVertsPerCol\">7</int>"
        "<float name=\"CellSpacing\">2.5</float><Vector name=\"Center\"><float name=\"x\">1</float><float "
        "name=\"y\">2</float><float name=\"z\">3</float></Vector></Grid></Parent>");
    dorvo::gfx::SGrid read;
    ASSERT_TRUE(dorvo::gfx::ReadGrid(parent.FirstChildElement(), read));
    EXPECT_EQ(read.numVertsPerCol, 7);
    EXPECT_EQ(read.center.z, 3.0f);

    TiXmlDocument swapped;
    swapped.Parse("<Other><int name=\"NumVertsPerCol\">9</int><int name=\"NumVertsPerRow\">4</int>"
                  "<float name=\"CellSpacing\">1</float></Other>");
    ASSERT_TRUE(dorvo::gfx::ReadGrid(swapped.RootElement(), read));
    EXPECT_EQ(read.numVertsPerRow, 9);
    EXPECT_EQ(read.numVertsPerCol, 4);
    EXPECT_EQ(read.center.z, 3.0f) << "a missing child leaves its field";

    EXPECT_FALSE(dorvo::gfx::ReadGrid(nullptr, read));
    TiXmlText text("Grid");
    EXPECT_FALSE(dorvo::gfx::ReadGrid(&text, read));
    EXPECT_FALSE(dorvo::gfx::WriteGrid(nullptr, grid, "Grid"));
}
