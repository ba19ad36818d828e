// A scene graph drawn by the renderer on the real OpenGL device under Xvfb with Mesa's software
// renderer: the hand-written cube, loaded by the mesh manager and held by a test unit with a
// one-colour texture, drawn with "TextureMappingNoLight.fx" from a fixed camera looking at one
// face. Solid, the face shows the texture's colour and the corner the clear colour; as a
// wireframe unit, only the edges are coloured (the points sampled are the centres of the
// face's two triangles, since the drawn diagonal runs through the face's own centre).
// Pictures under screenshots/ in the build folder; skipped with a message without Xvfb.
#include "PixelTestFixture.h"
#include "VirtualDisplay.h"

#include "GfxTestWorld.h"
#include "TestGfxUnit.h"
#include "common/math/MathUtil.h"
#include "engine/gfx/mesh/CMeshHierarchy.h"
#include "engine/gfx/mesh/CMeshManager.h"
#include "engine/gfx/scene/CSceneGraphMgr.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>

using namespace dorvo::gfx;

namespace
{
constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr plat::D3DCOLOR kCubeColor = 0xFF3080C0u;

class SceneGraphPixelTest : public gfxtest::PixelTestFixture
{
protected:
    SceneGraphPixelTest() : PixelTestFixture(kWidth, kHeight) {}

    void SetUp() override
    {
        PixelTestFixture::SetUp();
        if (!Ready())
            return;
        std::filesystem::create_directories("meshes");
        std::filesystem::copy_file(testsupport::RepoPath("tests/data/meshes/Cube.x"), "meshes/Cube.x");
        ASSERT_TRUE(
            gfxtest::WritePng("textures/Cube.png", 8, 8, [](unsigned, unsigned) { return kCubeColor; }));
        SetWindowConfig("textures/");
        config.meshPath = "meshes/";
        config.fxPath = testsupport::RepoPath("data/fx") + "/";
        config.fxFiles = {"TextureMappingNoLight.fx"};
        ASSERT_TRUE(gfx.Init(config));
        ASSERT_TRUE(TakeDevice());
    }

    void TearDown() override
    {
        ExpectNoGLErrors();
        unit.reset();
        StopDevice();
    }

    // The cube through a graph from (0, 0, -3), its face z = -0.5 square to the eye.
    void DrawCube(bool wireframe, const std::string& picture)
    {
        CMeshManager::SMeshInfo* mesh = CMeshManager::Instance().GetMesh("Cube.x");
        ASSERT_TRUE(mesh && mesh->hierarchy);
        unit = std::make_unique<gfxtest::TestGfxUnit>("Cube.x", "TextureMappingNoLight.fx",
                                                      "TextureMappingNoLight");
        unit->record.buffers = &mesh->hierarchy->GetDeviceBuffers();
        unit->LoadTexture("Cube.png", 0);
        ASSERT_NE(unit->GetTexture(0)->GetTexture(), nullptr);
        unit->sphere = math::Sphere(math::Vector3(0, 0, 0), 0.87f);
        unit->wireframe = wireframe;

        CGFXCore& core = CGFXCore::Instance();
        SViewportRecord& record = core.GetViewportRecord(0);
        const math::Vector3 eye(0, 0, -3), at(0, 0, 0), up(0, 1, 0);
        const float fov = math::kPi / 4.0f, aspect = static_cast<float>(kWidth) / kHeight;
        record.eye = eye;
        record.lookAt = at;
        record.view = math::Matrix4::LookAtLH(eye, at, up);
        record.projection = math::Matrix4::PerspectiveFovLH(fov, aspect, 0.1f, 100.0f);
        record.frustum.SetView(eye, at, up, 100.0f, 0.1f);
        record.frustum.SetSpread(std::tan(fov / 2.0f) * aspect, std::tan(fov / 2.0f));

        CSceneGraphMgr graph;
        graph.Build({unit.get()});
        core.SetFrameTime(0.0, 0.033f);
        core.BeginFrame();
        core.SetViewport(0);
        graph.Traverse();
        core.EndScene();
        ReadBack(picture);
    }

    // A pixel of `pixels` as the device's colour, opaque.
    plat::D3DCOLOR Color(int x, int y) const
    {
        return pixels[static_cast<std::size_t>(y) * kWidth + x] | 0xFF000000u;
    }

    static bool Near(plat::D3DCOLOR got, plat::D3DCOLOR want, int tolerance = 2)
    {
        for (int shift : {0, 8, 16})
            if (std::abs(static_cast<int>((got >> shift) & 0xFF) - static_cast<int>((want >> shift) & 0xFF)) >
                tolerance)
                return false;
        return true;
    }

    std::unique_ptr<gfxtest::TestGfxUnit> unit;
};

// The face spans about 116 pixels around the picture's centre; its triangles meet on the
// diagonal from its lower left to its upper right corner.
constexpr int kCentreX = kWidth / 2, kCentreY = kHeight / 2, kQuarter = 29;
constexpr plat::D3DCOLOR kClear = 0xFF000000u;
} // namespace

TEST_F(SceneGraphPixelTest, TheSolidCubeShowsItsTextureAndTheCornerStaysClear)
{
    DrawCube(false, "SceneGraphSolidCube.png");
    for (auto [x, y] : {std::pair{kCentreX, kCentreY}, std::pair{kCentreX - kQuarter, kCentreY - kQuarter},
                        std::pair{kCentreX + kQuarter, kCentreY + kQuarter}})
        EXPECT_TRUE(Near(Color(x, y), kCubeColor)) << x << ", " << y << ": " << std::hex << Color(x, y);
    EXPECT_TRUE(Near(Color(2, 2), kClear)) << std::hex << Color(2, 2);
    EXPECT_TRUE(Near(Color(kWidth - 3, kHeight - 3), kClear)) << std::hex << Color(kWidth - 3, kHeight - 3);
}

TEST_F(SceneGraphPixelTest, TheWireframeCubeColoursOnlyItsEdges)
{
    DrawCube(true, "SceneGraphWireframeCube.png");
    for (auto [x, y] : {std::pair{kCentreX - kQuarter, kCentreY - kQuarter},
                        std::pair{kCentreX + kQuarter, kCentreY + kQuarter}})
        EXPECT_TRUE(Near(Color(x, y), kClear)) << x << ", " << y << ": " << std::hex << Color(x, y);
    EXPECT_TRUE(Near(Color(2, 2), kClear));
    // Each of the face's four edges crosses the middle row or column somewhere.
    auto colouredIn = [&](int x0, int x1, int y0, int y1)
    {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                if (Near(Color(x, y), kCubeColor, 8))
                    return true;
        return false;
    };
    EXPECT_TRUE(colouredIn(kCentreX - 75, kCentreX - 40, kCentreY - 10, kCentreY + 10)) << "left edge";
    EXPECT_TRUE(colouredIn(kCentreX + 40, kCentreX + 75, kCentreY - 10, kCentreY + 10)) << "right edge";
    EXPECT_TRUE(colouredIn(kCentreX - 10, kCentreX + 10, kCentreY - 75, kCentreY - 40)) << "top edge";
    EXPECT_TRUE(colouredIn(kCentreX - 10, kCentreX + 10, kCentreY + 40, kCentreY + 75)) << "bottom edge";
    // The core's fill mode came back.
    plat::DWORD fill = 0;
    ASSERT_TRUE(plat::SUCCEEDED(device->GetRenderState(plat::D3DRS_FILLMODE, &fill)));
    EXPECT_EQ(fill, static_cast<plat::DWORD>(plat::D3DFILL_SOLID));
}
