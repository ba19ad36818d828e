// The terrain and a cloth drawn by the facade's frame on OpenGL under Xvfb with Mesa's software
// renderer, from the test templates: the committed height map seen from the side, its hill
// rising above the flat far edge and its plain showing the first base texture (grass); and a red
// cloth drawn where its grid points are, then where the test moves them, as the cloth's
// integration does. Pictures under screenshots/ in the test build folder. Skipped, with a
// message, where Xvfb is not installed.
#include "PixelTestFixture.h"
#include "VirtualDisplay.h"

#include "engine/DefaultCompCreator.h"
#include "engine/Gob.h"
#include "engine/GridComp.h"
#include "engine/POVComp.h"
#include "engine/gfx/terrain/GfxClothComp.h"
#include "engine/phy/ClothComp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

using gfxtest::Rgb;

namespace
{
constexpr unsigned kWidth = 800;
constexpr unsigned kHeight = 600;

class TerrainClothPixelTest : public gfxtest::ScenePixelTestFixture
{
protected:
    TerrainClothPixelTest() : ScenePixelTestFixture(kWidth, kHeight) {}

    void SetUp() override
    {
        ScenePixelTestFixture::SetUp();
        if (!Ready())
            return;
        RegisterComponentType<dorvo::phy::ClothComp>(dorvo::phy::ClothComp::kTypeName);
        std::string err;
        ASSERT_NO_FATAL_FAILURE(StartScene(&err));
        EXPECT_EQ(err.find(".fx"), std::string::npos) << err;
    }

    void TearDown() override
    {
        ExpectNoGLErrors();
        StopScene();
    }

    void Build(const std::string& lines)
    {
        std::ofstream("scene.xml") << "<Scene>" << lines << "</Scene>";
        ASSERT_TRUE(scene.Load("scene.xml")) << scene.Error();
        ASSERT_TRUE(scene.Build(kWidth, kHeight)) << scene.Error();
    }

    // One frame of the game (updates, camera, the facade's frame), read back and saved.
    void Frame(const std::string& name)
    {
        scene.Frame(time, 0.033f);
        time += 0.033;
        ReadBack(name);
    }

    // The topmost row of the column that is not black, or kHeight.
    int Top(int x) const
    {
        for (int y = 0; y < static_cast<int>(kHeight); ++y)
            if (!At(x, y).Black())
                return y;
        return kHeight;
    }

    static std::string Template(const char* file)
    {
        return "<Template file=\"" + testsupport::RepoPath(std::string("tests/data/gfx/") + file) + "\"/>";
    }

    double time = 1.0;
};
} // namespace

// From the side, a little above the plain: the hill's top rises well above the far edge, and the
// plain in front is grass, the first base texture.
TEST_F(TerrainClothPixelTest, TheTerrainFromTheSideRisesAtTheHillAndShowsGrassOnThePlain)
{
    Build(Template("TerrainTemplate.xml") + "<Object archetype=\"Hills\" position=\"0 0 0\"/>" +
          "<Camera eye=\"0 8 -36\" lookAt=\"0 3 0\" fov=\"45\"/>");
    Frame("terrain_side.png");

    // The hill's top (column 42: x = -5.5) and a flat stretch of the far edge (x = 12, right of
    // the valley, which lies lower and nearer).
    int hillX = 0, y = 0, flatX = 0;
    ToScreen(math::Vector3(-5.5f, 7.0f, 4.5f), hillX, y);
    ToScreen(math::Vector3(12.0f, 3.0f, 16.0f), flatX, y);
    int hillTop = kHeight;
    for (int x = hillX - 3; x <= hillX + 3; ++x)
        hillTop = std::min(hillTop, Top(x));
    const int flatTop = Top(flatX);
    EXPECT_LT(flatTop, static_cast<int>(kHeight)) << "the far edge is drawn";
    EXPECT_GE(flatTop - hillTop, 40) << "hill top at row " << hillTop << ", flat edge at row " << flatTop;

    // The plain near the front edge, left of the hill.
    int px = 0, py = 0;
    ToScreen(math::Vector3(-12.0f, 96.0f / 255.0f * 8.0f, -14.0f), px, py);
    const Rgb plain = At(px, py);
    EXPECT_TRUE(plain.g > plain.r && plain.g > plain.b && plain.g > 40)
        << "plain at " << px << ", " << py << ": " << plain.r << " " << plain.g << " " << plain.b;
}

// The red cloth is drawn over its grid points; after the test moves the points, the next frame
// shows it where they are now and no longer where they were.
TEST_F(TerrainClothPixelTest, TheClothIsDrawnWhereItsGridPointsAreAndFollowsThem)
{
    // The 8 x 6 grid's points lie at x 4 to 7.5 and z 3 to 5.5 in the object's frame.
    Build(Template("ClothTemplate.xml") + "<Object archetype=\"Banner\" position=\"-5.75 0 -4.25\"/>" +
          "<Camera eye=\"0 6 -6\" lookAt=\"0 0 0\" fov=\"45\"/>");
    Gob* banner = nullptr;
    for (Gob* gob : scene.Gobs())
        banner = gob;
    ASSERT_NE(banner, nullptr);
    Frame("cloth_start.png");
    int cx = 0, cy = 0;
    ToScreen(math::Vector3(0.0f, 0.0f, 0.0f), cx, cy); // the cloth's centre
    const Rgb centre = At(cx, cy);
    EXPECT_TRUE(centre.r > 120 && centre.g < 60 && centre.b < 60)
        << "centre " << cx << ", " << cy << ": " << centre.r << " " << centre.g << " " << centre.b;
    int ox = 0, oy = 0;
    ToScreen(math::Vector3(4.0f, 0.0f, 0.0f), ox, oy);
    EXPECT_TRUE(At(ox, oy).Black()) << "right of the cloth is empty";

    // Every point 4 units along x, as an integration step could leave them.
    auto* grid = static_cast<GridComp*>(banner->GetComponent(GridComp::StaticTypeID()));
    ASSERT_NE(grid, nullptr);
    for (std::size_t i = 0; i < grid->GetPoints().GetElementCount(); ++i)
        grid->GetPoints()[i].x += 4.0f;
    Frame("cloth_moved.png");
    const Rgb moved = At(ox, oy);
    EXPECT_TRUE(moved.r > 120 && moved.g < 60 && moved.b < 60)
        << "moved centre " << ox << ", " << oy << ": " << moved.r << " " << moved.g << " " << moved.b;
    EXPECT_TRUE(At(cx, cy).Black()) << "the old place is empty";
}
