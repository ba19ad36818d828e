// The device core's geometry operations: vertex normals, tangent frames, height maps read from
// images, and the device copies of system-memory buffers.
#include "engine/gfx/core/CGFXCore.h"

#include "GfxTestWorld.h"
#include "LogCapture.h"
#include "TestSupport.h"
#include "common/math/Vector3.h"
#include "engine/gfx/core/D3DRenderBuffers.h"
#include "engine/gfx/core/GfxRenderBuffers.h"
#include "engine/gfx/core/SVRenderBuffers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace
{
using dorvo::gfx::CGFXCore;
using dorvo::gfx::GfxRenderBuffers;
using dorvo::gfx::SUnitVertex;
using math::Vector3;

SUnitVertex Vertex(float x, float y, float z, float u = 0.0f, float v = 0.0f)
{
    SUnitVertex vertex;
    vertex.position[0] = x;
    vertex.position[1] = y;
    vertex.position[2] = z;
    vertex.uv[0] = u;
    vertex.uv[1] = v;
    return vertex;
}

GfxRenderBuffers Mesh(std::vector<SUnitVertex> vertices, std::vector<std::uint16_t> indices)
{
    GfxRenderBuffers mesh;
    mesh.vertices = std::move(vertices);
    mesh.indices = std::move(indices);
    return mesh;
}

Vector3 Normal(const GfxRenderBuffers& mesh, std::size_t i)
{
    const float* n = mesh.vertices[i].normal;
    return Vector3(n[0], n[1], n[2]);
}

Vector3 Tangent(const GfxRenderBuffers& mesh, std::size_t i)
{
    const float* t = mesh.vertices[i].tangent;
    return Vector3(t[0], t[1], t[2]);
}

Vector3 Binormal(const GfxRenderBuffers& mesh, std::size_t i)
{
    const float* b = mesh.vertices[i].binormal;
    return Vector3(b[0], b[1], b[2]);
}

void ExpectNear(const Vector3& actual, const Vector3& expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// A 3 x 3 grid of vertices in the plane z = 0, two triangles a cell, wound so they face -z.
GfxRenderBuffers FlatGrid()
{
    std::vector<SUnitVertex> vertices;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            vertices.push_back(Vertex(static_cast<float>(x), static_cast<float>(y), 0.0f));
    std::vector<std::uint16_t> indices;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
        {
            const auto a = static_cast<std::uint16_t>(y * 3 + x);
            const auto b = static_cast<std::uint16_t>(a + 3);
            indices.insert(indices.end(), {a, b, static_cast<std::uint16_t>(b + 1)});
            indices.insert(indices.end(),
                           {a, static_cast<std::uint16_t>(b + 1), static_cast<std::uint16_t>(a + 1)});
        }
    return Mesh(vertices, indices);
}
} // namespace

TEST(CGFXCoreGeometry, CoplanarTrianglesGiveThePlaneNormalOfUnitLength)
{
    GfxRenderBuffers grid = FlatGrid();
    CGFXCore::ComputeVertexNormals(grid);
    for (std::size_t i = 0; i < grid.vertices.size(); ++i)
    {
        SCOPED_TRACE(i);
        ExpectNear(Normal(grid, i), Vector3(0.0f, 0.0f, -1.0f));
    }
}

// Each face direction counts once at a vertex, however many triangles bring it; the mean is not
// renormalised; triangles without area and vertices in no triangle add nothing.
TEST(CGFXCoreGeometry, NormalsAverageTheDistinctFaceDirections)
{
    // Vertex 0 is the corner of a floor (two triangles, facing +y) and a wall (facing -z).
    const std::vector<SUnitVertex> corner = {Vertex(0, 0, 0), Vertex(0, 0, 1), Vertex(1, 0, 1),
                                             Vertex(1, 0, 0), Vertex(0, 1, 0), Vertex(1, 1, 0),
                                             Vertex(5, 5, 5)};
    struct Case
    {
        const char* what;
        std::vector<std::uint16_t> indices;
        Vector3 vertex0;
        Vector3 vertex6;
    };
    const float half = 0.5f;
    const Case cases[] = {
        {"floor only", {0, 1, 2, 0, 2, 3}, Vector3(0, 1, 0), Vector3(0, 0, 0)},
        {"floor and wall at a right angle",
         {0, 1, 2, 0, 2, 3, 0, 4, 5, 0, 5, 3},
         Vector3(0, half, -half),
         Vector3(0, 0, 0)},
        {"the floor's triangles twice over",
         {0, 1, 2, 0, 2, 3, 0, 1, 2, 0, 4, 5, 0, 2, 3},
         Vector3(0, half, -half),
         Vector3(0, 0, 0)},
        {"a triangle without area at the corner",
         {0, 1, 2, 0, 0, 6, 0, 4, 5},
         Vector3(0, half, -half),
         Vector3(0, 0, 0)},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        GfxRenderBuffers mesh = Mesh(corner, c.indices);
        CGFXCore::ComputeVertexNormals(mesh);
        ExpectNear(Normal(mesh, 0), c.vertex0);
        ExpectNear(Normal(mesh, 6), c.vertex6);
    }
    GfxRenderBuffers rightAngle = Mesh(corner, {0, 1, 2, 0, 4, 5});
    CGFXCore::ComputeVertexNormals(rightAngle);
    EXPECT_NEAR(Normal(rightAngle, 0).Length(), 0.70710677f, 1e-5f);
}

// A cone's tip meets many face directions, each brought by two triangles: every one counts
// once, so the tip's normal is their plain mean.
TEST(CGFXCoreGeometry, ManyDirectionsAtOneVertexCountOnceEach)
{
    const int sides = 100;
    std::vector<SUnitVertex> vertices = {Vertex(0, 1, 0)};
    for (int i = 0; i < sides; ++i)
    {
        const float angle = 2.0f * math::kPi * static_cast<float>(i) / sides;
        vertices.push_back(Vertex(std::cos(angle), 0.0f, std::sin(angle)));
    }
    std::vector<std::uint16_t> indices;
    Vector3 mean;
    for (int i = 0; i < sides; ++i)
    {
        const auto a = static_cast<std::uint16_t>(1 + i);
        const auto b = static_cast<std::uint16_t>(1 + (i + 1) % sides);
        for (int twice = 0; twice < 2; ++twice)
            indices.insert(indices.end(), {0, b, a});
        const Vector3 tip(0, 1, 0);
        const Vector3 pa(vertices[a].position[0], vertices[a].position[1], vertices[a].position[2]);
        const Vector3 pb(vertices[b].position[0], vertices[b].position[1], vertices[b].position[2]);
        mean += (pb - tip).Cross(pa - tip).GetNormalized();
    }
    mean /= static_cast<float>(sides);
    GfxRenderBuffers cone = Mesh(vertices, indices);
    CGFXCore::ComputeVertexNormals(cone);
    ExpectNear(Normal(cone, 0), mean);
    EXPECT_GT(Normal(cone, 0).y, 0.5f);
}

TEST(CGFXCoreGeometry, TangentsFollowGrowingUAndStandOnTheNormal)
{
    // A quad facing -z, u growing with x and v growing downwards (with -y).
    const std::vector<SUnitVertex> quad = {Vertex(0, 0, 0, 0, 1), Vertex(0, 1, 0, 0, 0),
                                           Vertex(1, 1, 0, 1, 0), Vertex(1, 0, 0, 1, 1),
                                           Vertex(3, 3, 0, 0.5f, 0.5f)};
    GfxRenderBuffers mesh = Mesh(quad, {0, 1, 2, 0, 2, 3});
    CGFXCore::ComputeVertexNormals(mesh);
    CGFXCore::ComputeTangentFrames(mesh);
    for (std::size_t i = 0; i < 4; ++i)
    {
        SCOPED_TRACE(i);
        ExpectNear(Tangent(mesh, i), Vector3(1, 0, 0));
        ExpectNear(Binormal(mesh, i), Vector3(0, -1, 0)); // normal (0, 0, -1) x tangent
    }
    ExpectNear(Tangent(mesh, 4), Vector3(0, 0, 0));

    // A triangle whose texture coordinates span no area (two corners alike) changes no tangent.
    GfxRenderBuffers withFlat = Mesh(quad, {0, 1, 2, 0, 2, 3, 0, 4, 4});
    CGFXCore::ComputeVertexNormals(withFlat);
    CGFXCore::ComputeTangentFrames(withFlat);
    for (std::size_t i = 0; i < 4; ++i)
        ExpectNear(Tangent(withFlat, i), Tangent(mesh, i));

    // A normal that leans: the tangent is made perpendicular to it and of unit length.
    GfxRenderBuffers leaning = mesh;
    for (SUnitVertex& vertex : leaning.vertices)
    {
        vertex.normal[0] = 0.0f;
        vertex.normal[1] = 0.6f;
        vertex.normal[2] = -0.8f;
    }
    leaning.vertices[0].uv[1] = 2.0f; // v no longer runs straight down y
    CGFXCore::ComputeTangentFrames(leaning);
    for (std::size_t i = 0; i < 4; ++i)
    {
        SCOPED_TRACE(i);
        const Vector3 t = Tangent(leaning, i);
        EXPECT_NEAR(t.Length(), 1.0f, 1e-5f);
        EXPECT_NEAR(t.Dot(Vector3(0.0f, 0.6f, -0.8f)), 0.0f, 1e-5f);
        ExpectNear(Binormal(leaning, i), Vector3(0.0f, 0.6f, -0.8f).Cross(t));
    }
}

TEST(CGFXCoreGeometry, TrianglesNamingVerticesPastTheArrayAreLeftOutWithOneAssertion)
{
    testsupport::AssertCapture asserts;
    GfxRenderBuffers mesh =
        Mesh({Vertex(0, 0, 0), Vertex(0, 1, 0), Vertex(1, 1, 0)}, {0, 1, 2, 0, 1, 7, 0, 9, 1});
    CGFXCore::ComputeVertexNormals(mesh);
    ExpectNear(Normal(mesh, 0), Vector3(0, 0, -1));
    EXPECT_EQ(asserts.Reports().size(), 1u);
    CGFXCore::ComputeTangentFrames(mesh);
    EXPECT_EQ(asserts.Reports().size(), 2u);
}

namespace
{
class DeviceGeometry : public gfxtest::HeadlessGfx
{
protected:
    // An image in the texture folder.
    void Image(const char* name, unsigned width, unsigned height,
               const std::function<plat::D3DCOLOR(unsigned, unsigned)>& color)
    {
        ASSERT_TRUE(gfxtest::WritePng(std::string(kTextureFolder) + name, width, height, color));
    }

    std::vector<float> Read(const char* name, unsigned columns, unsigned rows, bool expectRead = true)
    {
        std::vector<float> heights(static_cast<std::size_t>(columns) * rows + 1, -1.0f);
        EXPECT_EQ(dorvo::gfx::CGFXCore::Instance().ReadHeightMap(name, heights, columns, rows), expectRead);
        EXPECT_EQ(heights.back(), -1.0f) << "written past columns x rows";
        heights.pop_back();
        return heights;
    }
};
} // namespace

TEST_F(DeviceGeometry, HeightMapsAreOneForWhiteAndReadOnlyGreen)
{
    Image("white.png", 8, 8, [](unsigned, unsigned) { return 0xFFFFFFFFu; });
    Image("magenta.png", 8, 8, [](unsigned, unsigned) { return 0xFFFF00FFu; });
    Image("one.png", 1, 1, [](unsigned, unsigned) { return 0xFF208040u; });
    for (float h : Read("white.png", 4, 3))
        EXPECT_FLOAT_EQ(h, 1.0f);
    for (float h : Read("magenta.png", 4, 3))
        EXPECT_FLOAT_EQ(h, 0.0f);
    EXPECT_FLOAT_EQ(Read("one.png", 1, 1)[0], 128.0f / 255.0f);
}

// Each height is the mean of the 3 x 3 pixels around its sample, clamped at the edges; the grid
// is cut to the image, and what lies beyond it is left as it was.
TEST_F(DeviceGeometry, HeightMapNeighboursAreClampedAndTheGridCutToTheImage)
{
    Image("spot.png", 3, 3,
          [](unsigned x, unsigned y) { return x == 0 && y == 0 ? 0xFF00FF00u : 0xFF000000u; });
    const std::vector<float> heights = Read("spot.png", 3, 3);
    EXPECT_FLOAT_EQ(heights[0], 4.0f / 9.0f); // (0, 0) is its own neighbour four times over
    EXPECT_FLOAT_EQ(heights[1], 2.0f / 9.0f);
    EXPECT_FLOAT_EQ(heights[4], 1.0f / 9.0f);
    EXPECT_FLOAT_EQ(heights[8], 0.0f);

    // Samples of a wider image step by width / columns: columns 0, 2, 4 of a 6-wide image.
    Image("stripes.png", 6, 1, [](unsigned x, unsigned) { return x == 4 ? 0xFF00FF00u : 0xFF000000u; });
    const std::vector<float> stepped = Read("stripes.png", 3, 1);
    EXPECT_FLOAT_EQ(stepped[0], 0.0f);
    EXPECT_FLOAT_EQ(stepped[1], 0.0f);
    EXPECT_FLOAT_EQ(stepped[2], 3.0f / 9.0f); // pixel 4 is sample 2's, in each of three rows

    Image("one.png", 1, 1, [](unsigned, unsigned) { return 0xFF00FF00u; });
    const std::vector<float> cut = Read("one.png", 3, 2);
    EXPECT_FLOAT_EQ(cut[0], 1.0f);
    for (std::size_t i = 1; i < cut.size(); ++i)
        EXPECT_EQ(cut[i], -1.0f) << i;
}

TEST_F(DeviceGeometry, AMissingHeightMapGivesZerosAndOneLineAndAnEmptyGridWritesNothing)
{
    testsupport::LogCapture logged;
    const std::vector<float> heights = Read("nowhere.png", 2, 2, false);
    const std::string said = logged.Text();
    for (float h : heights)
        EXPECT_EQ(h, 0.0f);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("textures/nowhere.png"), std::string::npos) << said;

    Image("white.png", 4, 4, [](unsigned, unsigned) { return 0xFFFFFFFFu; });
    logged.Clear();
    std::vector<float> untouched(4, -1.0f);
    EXPECT_FALSE(dorvo::gfx::CGFXCore::Instance().ReadHeightMap("white.png", untouched, 0, 4));
    EXPECT_FALSE(dorvo::gfx::CGFXCore::Instance().ReadHeightMap("white.png", untouched, 4, 0));
    EXPECT_EQ(logged.Text(), "");
    for (float h : untouched)
        EXPECT_EQ(h, -1.0f);
}

TEST_F(DeviceGeometry, RenderBuffersAreMadeInTheDefaultPoolAndFilledWhole)
{
    GfxRenderBuffers mesh = FlatGrid();
    CGFXCore& core = CGFXCore::Instance();
    dorvo::gfx::D3DRenderBuffers empty;
    EXPECT_FALSE(core.CreateRenderBuffers(empty));
    EXPECT_EQ(empty.vertexBuffer, nullptr);

    dorvo::gfx::D3DRenderBuffers device;
    device.vertexCount = mesh.VertexCount();
    device.indexCount = mesh.IndexCount();
    ASSERT_TRUE(core.CreateRenderBuffers(device));
    ASSERT_TRUE(core.FillRenderBuffers(device, mesh));
    const auto resources = plat::headless::Resources();
    ASSERT_GE(resources.size(), 2u);
    const auto& vb = resources[resources.size() - 2];
    const auto& ib = resources.back();
    EXPECT_EQ(vb.kind, plat::devicedebug::ResourceKind::VertexBuffer);
    EXPECT_EQ(vb.size, 9u * 96u);
    EXPECT_EQ(vb.pool, plat::D3DPOOL_DEFAULT);
    EXPECT_EQ(vb.usage, plat::D3DUSAGE_DYNAMIC | plat::D3DUSAGE_WRITEONLY);
    EXPECT_EQ(ib.kind, plat::devicedebug::ResourceKind::IndexBuffer);
    EXPECT_EQ(ib.size, 24u * 2u);
    EXPECT_EQ(ib.format, plat::D3DFMT_INDEX16);

    void* data = nullptr;
    ASSERT_EQ(device.vertexBuffer->Lock(0, 0, &data, plat::D3DLOCK_READONLY), plat::S_OK);
    EXPECT_EQ(std::memcmp(data, mesh.vertices.data(), 9 * 96), 0);
    device.vertexBuffer->Unlock();
    ASSERT_EQ(device.indexBuffer->Lock(0, 0, &data, plat::D3DLOCK_READONLY), plat::S_OK);
    EXPECT_EQ(std::memcmp(data, mesh.indices.data(), 24 * 2), 0);
    device.indexBuffer->Unlock();

    device.ReleaseBuffers();
    EXPECT_EQ(device.vertexCount, 9u);
    EXPECT_EQ(device.vertexBuffer, nullptr);
}
