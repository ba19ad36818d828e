// The model unit: what it builds for a static and an animated mesh (device buffers, bounds, BSP
// trees), its matrices and view depth, its texture slots, and its own buffers through device
// loss and reset.
#include "engine/gfx/core/CGfxUnit.h"

#include "DeviceBufferBytes.h"
#include "LogCapture.h"
#include "ModelTestWorld.h"
#include "common/CBSPTree.h"
#include "engine/gfx/core/CTextureHandle.h"
#include "engine/gfx/core/CTextureManager.h"
#include "engine/gfx/mesh/CAnimationController.h"
#include "engine/gfx/mesh/CMeshHierarchy.h"
#include "platform/device_debug.h"

#include <algorithm>
#include <cstring>

using dorvo::gfx::CGfxUnit;
using dorvo::gfx::CTextureHandle;
using dorvo::gfx::CTextureManager;

using testsupport::Bytes;

namespace
{
const plat::devicedebug::ResourceInfo* Resource(plat::IDirect3DResource9* resource,
                                                const std::vector<plat::devicedebug::ResourceInfo>& all)
{
    const unsigned creation = plat::devicedebug::CreationNumber(resource);
    for (const auto& info : all)
        if (info.creation == creation)
            return &info;
    return nullptr;
}

class GfxUnitTest : public gfxtest::ModelWorld
{
};
} // namespace

// A static mesh is drawn from the cache's device buffers; an animated one from buffers of its
// own, dynamic and write-only in the default pool, refilled from its posed vertices after
// every animation step.
TEST_F(GfxUnitTest, StaticAndAnimatedMeshesBuildTheirBuffers)
{
    const unsigned before = plat::headless::LiveDefaultResources();
    CGfxUnit* still = Unit(Make("Cylinder"));
    ASSERT_NE(still, nullptr);
    EXPECT_EQ(still->GetOwnDeviceBuffers(), nullptr);
    EXPECT_EQ(still->GetAnimationController(), nullptr);
    EXPECT_TRUE(still->GetOwnBuffers().vertices.empty());
    EXPECT_EQ(plat::headless::LiveDefaultResources(), before + 2) << "the mesh's own copy only";
    EXPECT_EQ(still->GetTriangleCount(), 128u) << "384 indices";
    still->PrepareMatrices();
    EXPECT_EQ(still->GetRenderRecord()->buffers,
              &dorvo::gfx::CMeshManager::Instance().GetMesh("Cylinder.x")->hierarchy->GetDeviceBuffers());

    CGfxUnit* arm = Unit(Make("Arm"));
    ASSERT_NE(arm, nullptr);
    ASSERT_NE(arm->GetOwnDeviceBuffers(), nullptr);
    ASSERT_NE(arm->GetAnimationController(), nullptr);
    EXPECT_EQ(plat::headless::LiveDefaultResources(), before + 6) << "the mesh's and the unit's";
    const auto& own = *arm->GetOwnDeviceBuffers();
    const auto resources = plat::devicedebug::Resources(device);
    const auto* vertices = Resource(own.vertexBuffer, resources);
    const auto* indices = Resource(own.indexBuffer, resources);
    ASSERT_TRUE(vertices && indices);
    EXPECT_EQ(vertices->usage, 0x208u);
    EXPECT_EQ(indices->usage, 0x208u);
    EXPECT_EQ(vertices->pool, plat::D3DPOOL_DEFAULT);
    EXPECT_EQ(indices->pool, plat::D3DPOOL_DEFAULT);
    EXPECT_EQ(vertices->size, arm->GetMeshBuffers()->VertexCount() * 96u);
    EXPECT_EQ(indices->size, arm->GetMeshBuffers()->IndexCount() * 2u);
    EXPECT_EQ(arm->GetTriangleCount(), 144u);
    arm->PrepareMatrices();
    EXPECT_EQ(arm->GetRenderRecord()->buffers, &own);
    EXPECT_NE(own.geometryId, 0u);

    ASSERT_TRUE(arm->GetAnimationController()->SetAnimation("Bend"));
    arm->UpdateAnimation(0.0f, 0.0f);
    arm->UpdateAnimation(0.0f, 0.4f);
    const auto& posed = arm->GetOwnBuffers().vertices;
    std::vector<std::uint8_t> expected(reinterpret_cast<const std::uint8_t*>(posed.data()),
                                       reinterpret_cast<const std::uint8_t*>(posed.data()) +
                                           posed.size() * 96);
    EXPECT_EQ(Bytes(own.vertexBuffer), expected);
    EXPECT_NE(std::memcmp(posed.data(), arm->GetMeshBuffers()->vertices.data(), posed.size() * 96), 0);
}

// Loss lets go of the unit's own buffers after the mesh cache's; the reset makes them again and
// fills them with the same bytes. Destroying the unit takes it off the facade's list.
TEST_F(GfxUnitTest, OwnBuffersFollowLossAndReset)
{
    Gob* gob = Make("Arm");
    CGfxUnit* arm = Unit(gob);
    ASSERT_NE(arm, nullptr);
    ASSERT_TRUE(arm->GetAnimationController()->SetAnimation("Bend"));
    arm->UpdateAnimation(0.0f, 0.0f);
    arm->UpdateAnimation(0.0f, 0.3f);
    ASSERT_EQ(gfx.GetDeviceUnits(), std::vector<CGfxUnit*>{arm});
    const auto vertices = Bytes(arm->GetOwnDeviceBuffers()->vertexBuffer);
    const auto indices = Bytes(arm->GetOwnDeviceBuffers()->indexBuffer);
    const unsigned id = arm->GetOwnDeviceBuffers()->geometryId;
    const unsigned live = plat::headless::LiveDefaultResources();

    gfx.OnLostDevice();
    EXPECT_EQ(plat::headless::LiveDefaultResources(), 0u);
    EXPECT_EQ(arm->GetOwnDeviceBuffers()->vertexBuffer, nullptr);
    testsupport::LogCapture logged;
    gfx.OnResetDevice();
    EXPECT_EQ(logged.Text(), "");
    EXPECT_EQ(plat::headless::LiveDefaultResources(), live);
    EXPECT_EQ(Bytes(arm->GetOwnDeviceBuffers()->vertexBuffer), vertices);
    EXPECT_EQ(Bytes(arm->GetOwnDeviceBuffers()->indexBuffer), indices);
    EXPECT_EQ(arm->GetOwnDeviceBuffers()->geometryId, id);

    GobManager::Instance().KillGob(gob);
    GobManager::Instance().ProcessKillList();
    EXPECT_TRUE(gfx.GetDeviceUnits().empty());
}

// The render record's matrices: world from the owner, view and projection from the core, and
// world-view-projection taking a point through world, then view, then projection. The view depth
// is the owner's position through view and projection, z over w.
TEST_F(GfxUnitTest, MatricesAndViewDepth)
{
    Gob* gob = Make("RedBox", math::Vector3(2.0f, 3.0f, 14.0f));
    POVComp* pov = GetPOVComp(gob);
    pov->SetScale(math::Vector3(2.0f, 1.0f, 3.0f), true);
    pov->SetOrientation(math::Quaternion(std::cos(0.3f), 0.0f, std::sin(0.3f), 0.0f), true);
    CGfxUnit* unit = Unit(gob);
    ASSERT_NE(unit, nullptr);
    dorvo::gfx::CGFXCore& core = dorvo::gfx::CGFXCore::Instance();
    core.SetViewport(0);
    unit->PrepareMatrices();
    const dorvo::gfx::SRenderRecord& record = *unit->GetRenderRecord();
    const math::Matrix4 world = pov->GetWorldMatrix();
    for (int e = 0; e < 16; ++e)
    {
        EXPECT_FLOAT_EQ(record.world.m[e], world.m[e]);
        EXPECT_FLOAT_EQ(record.view.m[e], core.GetView().m[e]);
        EXPECT_FLOAT_EQ(record.projection.m[e], core.GetProjection().m[e]);
    }
    const math::Vector4 point(0.5f, -0.25f, 0.5f, 1.0f);
    const math::Vector4 stepwise =
        core.GetProjection().Transform(core.GetView().Transform(world.Transform(point)));
    const math::Vector4 atOnce = record.worldViewProjection.Transform(point);
    EXPECT_NEAR(atOnce.x, stepwise.x, 1e-3f);
    EXPECT_NEAR(atOnce.y, stepwise.y, 1e-3f);
    EXPECT_NEAR(atOnce.z, stepwise.z, 1e-3f);
    EXPECT_NEAR(atOnce.w, stepwise.w, 1e-3f);

    const math::Vector4 clip =
        core.GetProjection().Transform(core.GetView().Transform(math::Vector4(pov->GetPosition())));
    EXPECT_NEAR(unit->GetViewDepth(), clip.z / clip.w, 1e-6f);
    EXPECT_GT(unit->GetViewDepth(), 0.0f);
    EXPECT_LT(unit->GetViewDepth(), 1.0f);
    EXPECT_EQ(*record.fxFile, "TextureMapping.fx");
    EXPECT_EQ(record.material, &Model(gob)->GetMaterial());
}

// Units of one mesh share one BSP tree, built by the first that asks; the tree holds the mesh's
// triangles.
TEST_F(GfxUnitTest, UnitsOfOneMeshShareOneBSPTree)
{
    common::CBSPTreeMgr& trees = common::CBSPTreeMgr::Instance();
    Make("RedBox");
    common::CBSPTree* tree = trees.GetTree("Box.x");
    ASSERT_NE(tree, nullptr);
    EXPECT_GT(tree->GetNodeCount(), 0u);
    Make("RedBox");
    EXPECT_EQ(trees.GetTree("Box.x"), tree);
    Make("Cylinder"); // BuildBSPTree off
    EXPECT_EQ(trees.GetTree("Cylinder.x"), nullptr);
}

// A replaced slot gives its texture back to the cache; a stage out of range is refused with one
// line; a file that cannot be read is drawn white after the cache's own line.
TEST_F(GfxUnitTest, TextureSlots)
{
    CGfxUnit* unit = Unit(Make("Cylinder"));
    ASSERT_NE(unit, nullptr);
    CTextureManager& textures = CTextureManager::Instance();
    unit->LoadTexture("props/sphere_diffuse.png", 2);
    EXPECT_EQ(textures.GetCount("props/sphere_diffuse.png"), 1);
    plat::IDirect3DTexture9* first = unit->GetRenderRecord()->textures[2];
    EXPECT_NE(first, nullptr);
    unit->LoadTexture("common/wood_diffuse.png", 2);
    EXPECT_EQ(textures.GetCount("props/sphere_diffuse.png"), 0) << "the old handle is gone";
    EXPECT_EQ(unit->GetTexture(2)->GetFileName(), "common/wood_diffuse.png");
    unit->SetTexture(nullptr, 2);
    EXPECT_EQ(unit->GetRenderRecord()->textures[2], nullptr);
    EXPECT_EQ(textures.GetCount("common/wood_diffuse.png"), 0);

    testsupport::LogCapture logged;
    unit->LoadTexture("props/sphere_diffuse.png", 6);
    std::string said = logged.Text();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(unit->GetTexture(6), nullptr);
    EXPECT_EQ(textures.GetCount("props/sphere_diffuse.png"), 0);

    logged.Clear();
    unit->LoadTexture("no/such.png", 1);
    said = logged.Text();
    EXPECT_NE(said.find("no/such.png"), std::string::npos) << said;
    ASSERT_NE(unit->GetTexture(1), nullptr);
    EXPECT_EQ(unit->GetTexture(1)->GetTexture(), textures.GetWhiteTexture());
    EXPECT_EQ(unit->GetRenderRecord()->textures[1], textures.GetWhiteTexture());
    plat::D3DSURFACE_DESC desc{};
    ASSERT_TRUE(plat::SUCCEEDED(textures.GetWhiteTexture()->GetLevelDesc(0, &desc)));
    EXPECT_EQ(desc.Width, 1u);
    EXPECT_EQ(desc.Height, 1u);
}

// Without any mesh, not even the stand-in, the unit draws nothing and counts no triangles; a
// unit of no model component builds nothing.
TEST_F(GfxUnitTest, NoMeshAtAllDrawsNothing)
{
    dorvo::gfx::SetMeshFolder("nowhere/");
    testsupport::LogCapture logged;
    Gob* gob = Make("RedBox");
    const std::string said = logged.Text();
    EXPECT_NE(said.find("nothing is drawn"), std::string::npos) << said;
    CGfxUnit* unit = Unit(gob);
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(unit->GetTriangleCount(), 0u);
    unit->PrepareMatrices();
    EXPECT_EQ(unit->GetRenderRecord()->buffers, nullptr);

    CGfxUnit loose;
    EXPECT_FALSE(loose.Build(GetPOVComp(gob), nullptr, nullptr, false));
    EXPECT_EQ(loose.GetTriangleCount(), 0u);
    EXPECT_EQ(loose.GetFXFile(), "");
}
