// The test room drawn by the engine on OpenGL under Xvfb with Mesa's software renderer: the
// facade's whole frame from a fixed camera, driven through the frame driver on the test clock,
// console lines through the console and screenshots through the facade, all saved under
// screenshots/ in the test build folder. Solid, then "setwireframe true", then false again; the
// skinned arm bending; the prop whose mesh is missing. Skipped, with a message, where Xvfb is not
// installed.
#include "PixelTestFixture.h"
#include "VirtualDisplay.h"

#include "LogCapture.h"
#include "engine/Gob.h"
#include "engine/POVComp.h"
#include "engine/gfx/core/CGfxUnit.h"
#include "engine/gfx/mesh/CAnimationController.h"
#include "engine/gfx/mesh/GfxModelComp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace
{
constexpr unsigned kWidth = 800;
constexpr unsigned kHeight = 600;
constexpr float kDt = 1.0f / 30.0f;

struct Picture : testsupport::PngPicture
{
    bool Red(int x, int y) const { return At(x, y, 0) > 150 && At(x, y, 1) < 80 && At(x, y, 2) < 80; }
    bool Magenta(int x, int y) const { return At(x, y, 0) > 120 && At(x, y, 2) > 120 && At(x, y, 1) < 80; }
    int Brightest(int x, int y) const { return std::max({At(x, y, 0), At(x, y, 1), At(x, y, 2)}); }
};

// Pixels with a channel more than 40 levels from the pixel to their right or below: edges.
int StrongEdges(const Picture& p)
{
    int count = 0;
    for (int y = 0; y + 1 < p.height; ++y)
        for (int x = 0; x + 1 < p.width; ++x)
            for (int c = 0; c < 3; ++c)
                if (std::abs(p.At(x, y, c) - p.At(x + 1, y, c)) > 40 ||
                    std::abs(p.At(x, y, c) - p.At(x, y + 1, c)) > 40)
                {
                    ++count;
                    break;
                }
    return count;
}

// The largest difference of one channel over a region (x0, y0) to (x1, y1), clipped.
int LargestDifference(const Picture& a, const Picture& b, int x0, int y0, int x1, int y1)
{
    int largest = 0;
    for (int y = std::max(0, y0); y < std::min(a.height, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(a.width, x1); ++x)
            for (int c = 0; c < 3; ++c)
                largest = std::max(largest, std::abs(a.At(x, y, c) - b.At(x, y, c)));
    return largest;
}

// Pixels of a region in which some channel differs by more than 40 levels.
int ChangedPixels(const Picture& a, const Picture& b, int x0, int y0, int x1, int y1)
{
    int changed = 0;
    for (int y = std::max(0, y0); y < std::min(a.height, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(a.width, x1); ++x)
            for (int c = 0; c < 3; ++c)
                if (std::abs(a.At(x, y, c) - b.At(x, y, c)) > 40)
                {
                    ++changed;
                    break;
                }
    return changed;
}

class WorldPixelTest : public gfxtest::ScenePixelTestFixture
{
protected:
    WorldPixelTest() : ScenePixelTestFixture(kWidth, kHeight) {}

    void SetUp() override
    {
        ScenePixelTestFixture::SetUp();
        if (!Ready())
            return;
        ASSERT_NO_FATAL_FAILURE(StartScene());
        plat::DXUTSetCallbackFrameMove(&WorldPixelTest::FrameMove, this);
        plat::DXUTSetCallbackFrameRender(&WorldPixelTest::FrameRender, this);
    }

    void TearDown() override
    {
        ExpectNoGLErrors();
        plat::DXUTSetCallbackFrameMove(nullptr, nullptr);
        plat::DXUTSetCallbackFrameRender(nullptr, nullptr);
        StopScene();
    }

    // The game's frame: the objects and the facade updated, the camera handed over, the frame
    // drawn. The time moves only while the test lets it, so pictures can be compared.
    static void FrameMove(plat::IDirect3DDevice9*, double, float, void* context)
    {
        auto* self = static_cast<WorldPixelTest*>(context);
        const float dt = self->running ? kDt : 0.0f;
        self->time += dt;
        GobManager::Instance().Update(dt);
        self->gfx.Update(self->time, dt);
    }
    static void FrameRender(plat::IDirect3DDevice9*, double, float, void* context)
    {
        auto* self = static_cast<WorldPixelTest*>(context);
        self->scene.ApplyCamera();
        self->gfx.RenderFrame(self->time, self->running ? kDt : 0.0f);
    }

    void Frames(int count)
    {
        for (int i = 0; i < count; ++i)
            plat::DXUTRender3DEnvironment();
    }

    // One frame whose picture the facade saves; read back.
    Picture Shot(const std::string& name)
    {
        const std::string path = TakeShot(name);
        Picture picture = testsupport::LoadPng<Picture>(path);
        EXPECT_EQ(picture.width, static_cast<int>(kWidth)) << path;
        return picture;
    }

    double time = 1.0;
    bool running = false;
};
} // namespace

TEST_F(WorldPixelTest, TheTestRoomSolidWireframeAnimatedAndWithAMissingMesh)
{
    ASSERT_TRUE(scene.Load(testsupport::RepoPath("tests/data/gfx/TestRoomScene.xml"))) << scene.Error();
    testsupport::LogCapture logged;
    ASSERT_TRUE(scene.Build(kWidth, kHeight)) << scene.Error();
    Frames(2);
    const std::string said = logged.Text();
    // The missing mesh is named once, in one line.
    std::size_t named = 0;
    for (std::size_t at = said.find("NoSuchMesh.x"); at != std::string::npos;
         at = said.find("NoSuchMesh.x", at + 1))
        ++named;
    EXPECT_EQ(named, 1u) << said;

    // Solid: the room is lit, the red box in the middle is red.
    const Picture solid = Shot("world_solid.png");
    ASSERT_FALSE(solid.rgb.empty());
    int lit = 0;
    for (int y = 250; y < 350; y += 10)
        for (int x = 350; x < 450; x += 10)
            lit += solid.Brightest(x, y) > 40 ? 1 : 0;
    EXPECT_GT(lit, 90) << "the centre region is not black";
    int redX = 0, redY = 0;
    ToScreen(math::Vector3(0.0f, 1.0f, 14.0f), redX, redY); // the red box's face towards the camera
    EXPECT_TRUE(solid.Red(redX, redY))
        << "red box at " << redX << ", " << redY << ": " << solid.At(redX, redY, 0) << " "
        << solid.At(redX, redY, 1) << " " << solid.At(redX, redY, 2);

    // The missing prop shows the stand-in cube with its checker.
    int missingX = 0, missingY = 0;
    ToScreen(GetPOVComp(scene.Find("Missing"))->GetPosition(), missingX, missingY);
    int magenta = 0;
    for (int y = missingY - 15; y < missingY + 15; ++y)
        for (int x = missingX - 15; x < missingX + 15; ++x)
            magenta += solid.Magenta(x, y) ? 1 : 0;
    EXPECT_GT(magenta, 50) << "the stand-in at " << missingX << ", " << missingY;

    // Wireframe: lines everywhere, the box's face shows what lies behind it.
    Console("setwireframe true");
    const Picture lines = Shot("world_wireframe.png");
    EXPECT_GT(LargestDifference(solid, lines, 0, 0, kWidth, kHeight), 40);
    const int solidEdges = StrongEdges(solid);
    const int lineEdges = StrongEdges(lines);
    EXPECT_GE(lineEdges, 2 * solidEdges) << solidEdges << " edges solid, " << lineEdges << " in lines";
    EXPECT_FALSE(lines.Red(redX, redY)) << "the face is not filled";

    // Solid again: the first picture.
    Console("setwireframe false");
    const Picture again = Shot("world_solid_again.png");
    EXPECT_LE(LargestDifference(solid, again, 0, 0, kWidth, kHeight), 1);

    // The arm bends: its tip moves within a quarter loop and is back after the whole loop.
    dorvo::gfx::CGfxUnit* arm = static_cast<dorvo::gfx::GfxModelComp*>(
                                    scene.Find("Arm")->GetComponent(dorvo::gfx::GfxModelComp::StaticTypeID()))
                                    ->GetUnit();
    ASSERT_TRUE(arm && arm->GetAnimationController());
    ASSERT_TRUE(arm->GetAnimationController()->SetAnimation("Bend"));
    running = true;
    const Picture start = Shot("world_arm_start.png"); // the loop's first key
    int tipX = 0, tipY = 0;
    const POVComp* pov = GetPOVComp(scene.Find("Arm"));
    ToScreen(pov->GetPosition() + math::Vector3(0.0f, 0.5f * pov->GetScale().y, 0.0f), tipX, tipY);
    const int x0 = tipX - 120, y0 = tipY - 60, x1 = tipX + 60, y1 = tipY + 120;
    Frames(14);
    const Picture quarter = Shot("world_arm_quarter.png");
    EXPECT_GT(ChangedPixels(start, quarter, x0, y0, x1, y1), 200) << "the tip near " << tipX << ", " << tipY;
    Frames(44);
    const Picture loop = Shot("world_arm_loop.png");
    EXPECT_LE(ChangedPixels(start, loop, x0, y0, x1, y1), 10);
    EXPECT_LE(LargestDifference(start, loop, 0, 0, tipX - 150, kHeight), 1) << "the rest stands still";
}
