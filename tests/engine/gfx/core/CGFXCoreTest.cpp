#include "engine/gfx/core/CGFXCore.h"

#include "../PickerTestWorld.h"
#include "TestSupport.h"
#include "common/math/AABB.h"
#include "common/math/Sphere.h"
#include "engine/CDorvoCamera.h"
#include "engine/CPicker.h"
#include "engine/gfx/core/D3DRenderBuffers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

using dorvo::gfx::CGFXCore;
using dorvo::gfx::SViewportRecord;
using math::Matrix4;
using math::Vector3;

namespace
{
void ExpectVector(const Vector3& v, float x, float y, float z, float tol = 1e-4f)
{
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
}

void ExpectMatrix(const Matrix4& a, const Matrix4& b)
{
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_EQ(a.m[i], b.m[i]) << "element " << i;
    }
}

const Matrix4 kView = Matrix4::LookAtLH(Vector3(0, 0, -10), Vector3(0, 0, 0), math::g_UpVector);
const Matrix4 kProjection = Matrix4::PerspectiveFovLH(1.5707964f, 2.0f, 1.0f, 100.0f);

// Record 1 holds the test view on a 400 x 200 viewport at (100, 50) with depth 0.25..0.75.
void FillRecord(CGFXCore& core)
{
    SViewportRecord& record = core.GetViewportRecord(1);
    record.view = kView;
    record.projection = kProjection;
    record.viewport.X = 100;
    record.viewport.Y = 50;
    record.viewport.Width = 400;
    record.viewport.Height = 200;
    record.viewport.MinZ = 0.25f;
    record.viewport.MaxZ = 0.75f;
}
} // namespace

TEST(CGFXCore, StartsWithEmptyRecordsAndNoneCurrent)
{
    const CGFXCore core;
    EXPECT_EQ(core.GetCurrentViewport(), nullptr);
    for (unsigned i = 0; i < CGFXCore::kViewportCount; ++i)
    {
        const SViewportRecord& record = core.GetViewportRecord(i);
        ExpectMatrix(record.view, Matrix4());
        ExpectMatrix(record.projection, Matrix4());
        EXPECT_EQ(record.viewport.Width, 0u);
        EXPECT_EQ(record.viewport.Height, 0u);
        EXPECT_EQ(record.eye, Vector3(0, 0, 0));
    }
    Vector3 world(7, 7, 7);
    EXPECT_FALSE(core.Unproject(Vector3(1, 1, 0), world));
    EXPECT_EQ(world, Vector3(7, 7, 7));
}

TEST(CGFXCore, SetViewportMakesTheRecordCurrentWithItsMatrices)
{
    CGFXCore core;
    FillRecord(core);
    core.SetViewport(1);
    EXPECT_EQ(core.GetCurrentViewport(), &core.GetViewportRecord(1));
    ExpectMatrix(core.GetView(), kView);
    ExpectMatrix(core.GetProjection(), kProjection);

    testsupport::AssertCapture asserts;
    core.SetViewport(4);
    EXPECT_EQ(core.GetCurrentViewport(), &core.GetViewportRecord(1));
    EXPECT_EQ(&core.GetViewportRecord(9), &core.GetViewportRecord(0));
    EXPECT_EQ(asserts.Texts(),
              (std::vector<std::string>{"CGFXCore::SetViewport - viewport index out of range.",
                                        "CGFXCore::GetViewportRecord - viewport index out of range."}));
}

TEST(CGFXCore, UnprojectUsesTheViewportOffsetAndDepthRange)
{
    CGFXCore core;
    FillRecord(core);
    core.SetViewport(1);
    struct Case
    {
        const char* name;
        Vector3 screen;
        Vector3 world;
    };
    const Case cases[] = {
        {"centre at the near depth", Vector3(300, 150, 0.25f), Vector3(0, 0, -9)},
        {"top left at the near depth", Vector3(100, 50, 0.25f), Vector3(-2, 1, -9)},
        {"bottom right at the far depth", Vector3(500, 250, 0.75f), Vector3(200, -100, 90)},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Vector3 world;
        ASSERT_TRUE(core.Unproject(c.screen, world));
        ExpectVector(world, c.world.x, c.world.y, c.world.z, 2e-3f);
    }
}

TEST(CGFXCore, UnprojectRefusesAViewportWithoutAreaAndReadsAFlatRangeAsNear)
{
    CGFXCore core;
    FillRecord(core);
    core.GetViewportRecord(1).viewport.MinZ = 0.0f;
    core.GetViewportRecord(1).viewport.MaxZ = 0.0f;
    core.SetViewport(1);
    Vector3 world;
    ASSERT_TRUE(core.Unproject(Vector3(300, 150, 0), world));
    ExpectVector(world, 0, 0, -9);

    core.GetViewportRecord(1).viewport.Height = 0;
    world.Set(7, 7, 7);
    EXPECT_FALSE(core.Unproject(Vector3(300, 150, 0), world));
    EXPECT_EQ(world, Vector3(7, 7, 7));
}

// The picker reaches the core's current viewport and matrices while the core lives.
class CGFXCorePicking : public pickertest::PickerWorld
{
};

TEST_F(CGFXCorePicking, PickerUnprojectsThroughTheCore)
{
    dorvo::CPicker picker;
    picker.SetEnabled(true);
    const Gob* ball = AddSphere(Vector3(0, 0, 0), 1.0f);
    {
        CGFXCore core;
        SViewportRecord& record = core.GetViewportRecord(0);
        camera.ComputeViewMatrix(record.view);
        camera.ComputeProjectionMatrix(record.projection);
        record.viewport.Width = 800;
        record.viewport.Height = 600;
        record.viewport.MaxZ = 1.0f;
        core.SetViewport(0);

        EXPECT_TRUE(picker.Pick(Vector3(400, 300, 0), false));
        EXPECT_EQ(picker.GetPickedID(), ball->GetID());
        ExpectVector(picker.GetRay().direction, 0, 0, 1);
    }
    // Once the core is gone there is no view to pick through.
    EXPECT_FALSE(picker.BuildRay(Vector3(400, 300, 0)));
}

namespace
{
// Vertices of the engine's 96-byte layout: the position first, the rest filled with values that
// would spoil the bounds if read as positions.
std::vector<unsigned char> Vertices(const std::vector<Vector3>& positions)
{
    std::vector<unsigned char> bytes(positions.size() * dorvo::gfx::kUnitVertexStride);
    std::vector<float> filler(dorvo::gfx::kUnitVertexStride / sizeof(float), 1.0e6f);
    for (std::size_t i = 0; i < positions.size(); ++i)
    {
        unsigned char* vertex = bytes.data() + i * dorvo::gfx::kUnitVertexStride;
        std::memcpy(vertex, filler.data(), dorvo::gfx::kUnitVertexStride);
        const float p[3] = {positions[i].x, positions[i].y, positions[i].z};
        std::memcpy(vertex, p, sizeof p);
    }
    return bytes;
}
} // namespace

TEST(CGFXCore, BoundsOfACubeAFlatQuadAndAPoint)
{
    struct Case
    {
        const char* name;
        std::vector<Vector3> positions;
        Vector3 boxMin, boxMax, centre;
        float radius;
    };
    const Case cases[] = {
        {"a cube off the origin",
         {Vector3(1, 2, 3), Vector3(3, 2, 3), Vector3(1, 4, 3), Vector3(3, 4, 3), Vector3(1, 2, 5),
          Vector3(3, 2, 5), Vector3(1, 4, 5), Vector3(3, 4, 5)},
         Vector3(1, 2, 3),
         Vector3(3, 4, 5),
         Vector3(2, 3, 4),
         std::sqrt(3.0f)},
        {"a flat quad at y = 2",
         {Vector3(-0.5f, 2, -0.5f), Vector3(0.5f, 2, -0.5f), Vector3(-0.5f, 2, 0.5f), Vector3(0.5f, 2, 0.5f)},
         Vector3(-0.5f, 1.99f, -0.5f),
         Vector3(0.5f, 2.01f, 0.5f),
         Vector3(0, 2, 0),
         0.70710678f},
        {"one point",
         {Vector3(3, -4, 5)},
         Vector3(2.99f, -4.01f, 4.99f),
         Vector3(3.01f, -3.99f, 5.01f),
         Vector3(3, -4, 5),
         0.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const std::vector<unsigned char> vertices = Vertices(c.positions);
        const auto count = static_cast<unsigned>(c.positions.size());
        math::AABB box;
        math::Sphere sphere;
        ASSERT_TRUE(CGFXCore::ComputeBoundingBox(vertices.data(), count, box));
        ASSERT_TRUE(CGFXCore::ComputeBoundingSphere(vertices.data(), count, sphere));
        ExpectVector(box.min, c.boxMin.x, c.boxMin.y, c.boxMin.z, 1e-6f);
        ExpectVector(box.max, c.boxMax.x, c.boxMax.y, c.boxMax.z, 1e-6f);
        ExpectVector(sphere.center, c.centre.x, c.centre.y, c.centre.z, 1e-6f);
        EXPECT_NEAR(sphere.radius, c.radius, 1e-6f);
    }
    math::AABB untouched(Vector3(7, 7, 7), Vector3(8, 8, 8));
    EXPECT_FALSE(CGFXCore::ComputeBoundingBox(nullptr, 0, untouched));
    EXPECT_EQ(untouched.min, Vector3(7, 7, 7));
}

TEST(CGFXCore, ViewCameraFillsItsRecordAndRebuildsTheSpreadsOnlyWhenTheLensChanges)
{
    CGFXCore core;
    dorvo::CDorvoCamera camera{boost::shared_ptr<dorvo::phy::CRigidBody>()};
    camera.SetPosition(0, 5, -20);
    camera.SetLookAt(0, 5, 0);
    camera.SetProjection(1.0f, 2.0f, 2.0f, 300.0f);
    core.SetViewCamera(camera, 2);

    const SViewportRecord& record = core.GetViewportRecord(2);
    Matrix4 view, projection;
    ExpectMatrix(record.view, camera.ComputeViewMatrix(view));
    ExpectMatrix(record.projection, camera.ComputeProjectionMatrix(projection));
    EXPECT_EQ(record.eye, Vector3(0, 5, -20));
    EXPECT_EQ(record.lookAt, Vector3(0, 5, 0));
    EXPECT_EQ(record.frustum.GetEye(), Vector3(0, 5, -20));
    ExpectVector(record.frustum.GetDirection(), 0, 0, 1);
    EXPECT_FLOAT_EQ(record.frustum.GetNearDistance(), 2.0f);
    EXPECT_FLOAT_EQ(record.frustum.GetFarDistance(), 300.0f);
    EXPECT_FLOAT_EQ(record.fieldOfView, 1.0f);
    EXPECT_FLOAT_EQ(record.aspect, 2.0f);
    EXPECT_FLOAT_EQ(record.frustum.GetVerticalSpread(), std::tan(0.5f));
    EXPECT_FLOAT_EQ(record.frustum.GetHorizontalSpread(), std::tan(0.5f) * 2.0f);
    EXPECT_EQ(core.GetCurrentViewport(), nullptr) << "handing over a camera makes no record current";

    // Same lens: the spreads are left as they are (here a marker), the view still follows.
    core.GetViewportRecord(2).frustum.SetSpread(9.0f, 9.0f);
    camera.SetPosition(10, 5, -20);
    core.SetViewCamera(camera, 2);
    EXPECT_EQ(record.eye, Vector3(10, 5, -20));
    EXPECT_EQ(record.frustum.GetEye(), Vector3(10, 5, -20));
    EXPECT_FLOAT_EQ(record.frustum.GetVerticalSpread(), 9.0f);

    // A new aspect: the spreads are computed again.
    camera.SetProjection(1.0f, 1.5f, 2.0f, 300.0f);
    core.SetViewCamera(camera, 2);
    EXPECT_FLOAT_EQ(record.frustum.GetHorizontalSpread(), std::tan(0.5f) * 1.5f);
    EXPECT_FLOAT_EQ(record.aspect, 1.5f);
    ExpectMatrix(core.GetViewportRecord(0).view, Matrix4());
}
