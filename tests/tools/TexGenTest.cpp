// The texture generator against the committed art: it runs into a temporary folder and must give
// the committed pixels; every file the game names exists at its size; and the pictures keep the
// properties the code that draws them relies on (clear margins, hot spots, light skinned faces,
// seamless tiles, the terrain's heights).
#include "ArtCatalog.h"
#include "Noise.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <stb_image.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace
{
namespace fs = std::filesystem;

struct Expected
{
    const char* name;
    int width;
    int height;
};

// Every generated file, by the name its users give it, with its size.
const Expected kFiles[] = {
    {"ConsoleHistory.png", 512, 512},
    {"ConsoleInput.png", 512, 32},
    {"hud/BlueRedCursor.png", 64, 64},
    {"hud/BlueRedPentCursor.png", 64, 64},
    {"hud/GreenOrangeCursor.png", 64, 64},
    {"hud/GreenPinkCursor.png", 64, 64},
    {"hud/CursorPinkAquaPent.png", 64, 64},
    {"hud/CursorGreyGreen.png", 64, 64},
    {"hud/BarMenuButtons.png", 256, 128},
    {"hud/MenuBackground.png", 512, 512},
    {"hud/Slider.png", 128, 512},
    {"hud/WhiteBlock.png", 32, 32},
    {"hud/ToolTipBack.png", 64, 64},
    {"hud/ColoredRadial.png", 128, 128},
    {"hud/Message.png", 512, 64},
    {"hud/Arrow.png", 256, 256},
    {"hud/cross.png", 64, 64},
    {"hud/KeshLogo.jpg", 512, 512},
    {"hud/VoskelOrigins.png", 512, 512},
    {"hud/QUORBTitle.png", 512, 512},
    {"hud/Drumo.png", 128, 128},
    {"hud/Tavik.png", 128, 128},
    {"hud/Selno.png", 128, 128},
    {"hud/GetToLocationIcon.png", 64, 64},
    {"hud/TargetIcon.png", 64, 64},
    {"hud/WaterControlIcon.png", 64, 64},
    {"hud/TimeLimitIcon.png", 64, 64},
    {"hud/SquashQuorbiIcon.png", 64, 64},
    {"hud/PlatIcon.png", 64, 64},
    {"hud/BarIcon.png", 64, 64},
    {"hud/AccIcon.png", 64, 64},
    {"hud/GravIcon.png", 64, 64},
    {"hud/MagnetIcon.png", 64, 64},
    {"hud/QUORBBallIcon.png", 64, 64},
    {"hud/QUORBBoxIcon.png", 64, 64},
    {"hud/HardNodeIcon.png", 64, 64},
    {"hud/HelpIcon.png", 64, 64},
    {"hud/ControlsIcon.png", 64, 64},
    {"hud/BackIcon.png", 64, 64},
    {"hud/SaveIcon.png", 64, 64},
    {"hud/NewRoomIcon.png", 64, 64},
    {"hud/IncrementIcon.png", 64, 64},
    {"hud/DecrementIcon.png", 64, 64},
    {"hud/FrictionIcon.png", 64, 64},
    {"hud/WeightIcon.png", 64, 64},
    {"hud/ChargeIcon.png", 64, 64},
    {"hud/StrengthIcon.png", 64, 64},
    {"hud/DirectionIcon.png", 64, 64},
    {"hud/ScaleIcon.png", 64, 64},
    {"hud/NumQuorbIcon.png", 64, 64},
    {"hud/StrengthLowIcon.png", 64, 64},
    {"hud/StrengthMediumIcon.png", 64, 64},
    {"hud/StrengthHighIcon.png", 64, 64},
    {"hud/WeightLightIcon.png", 64, 64},
    {"hud/WeightHeavyIcon.png", 64, 64},
    {"hud/ChargeNegativeIcon.png", 64, 64},
    {"hud/ChargeNeutralIcon.png", 64, 64},
    {"hud/ChargePositiveIcon.png", 64, 64},
    {"hud/DirectionUpIcon.png", 64, 64},
    {"hud/DirectionDownIcon.png", 64, 64},
    {"hud/DirectionLeftIcon.png", 64, 64},
    {"hud/DirectionRightIcon.png", 64, 64},
    {"hud/ScaleFirstIcon.png", 64, 64},
    {"hud/ScaleSecondIcon.png", 64, 64},
    {"hud/ScaleThirdIcon.png", 64, 64},
    {"hud/OneQuorbIcon.png", 64, 64},
    {"hud/MultiQuorbIcon.png", 64, 64},
    {"hud/DirectionToggleIcon.png", 64, 64},
    {"terrain/height_map.png", 129, 129},
    {"terrain/grass_diffuse.png", 256, 256},
    {"terrain/rock_diffuse.png", 256, 256},
    {"terrain/sand_diffuse.png", 256, 256},
    {"terrain/blend_map.png", 256, 256},
    {"water/water_normals.png", 128, 128},
    {"common/wood_diffuse.png", 256, 256},
    {"common/metal1_diffuse.png", 256, 256},
    {"widgets/magnet/positive_magnetic_field_diffuse.png", 256, 256},
    {"widgets/magnet/negative_magnetic_field_diffuse.png", 256, 256},
    {"widgets/target/target_diff.png", 256, 256},
    {"widgets/target/target_complete_diff.png", 256, 256},
    {"widgets/accelerator/accelerator_diffuse.png", 256, 256},
    {"widgets/accelerator/accelerator_reversed_diffuse.png", 256, 256},
    {"widgets/quorb/quorb_diffuse.png", 256, 256},
    {"widgets/location/location_diffuse.png", 256, 256},
    {"common/invalid_diffuse.png", 64, 64},
    {"room/room_shell_diffuse.png", 512, 512},
    {"room/construction_quad_diffuse.png", 512, 512},
    {"props/box_diffuse.png", 256, 256},
    {"props/cylinder_diffuse.png", 256, 256},
    {"props/sphere_diffuse.png", 256, 128},
    {"props/arm_diffuse.png", 128, 256},
    {"props/cloth_diffuse.png", 256, 256},
    {"widgets/platform/platform_diffuse.png", 256, 256},
    {"widgets/bar/bar_diffuse.png", 256, 256},
    {"widgets/gravityswitch/gravity_switch_diffuse.png", 256, 256},
    {"widgets/magnet/magnet_diffuse.png", 256, 256},
    {"widgets/node/hard_node_diffuse.png", 128, 64},
    {"widgets/node/soft_node_diffuse.png", 128, 64},
    {"widgets/quorb/quorb_ball_diffuse.png", 256, 128},
    {"widgets/quorb/quorb_box_diffuse.png", 256, 256},
    {"widgets/water/water_diffuse.png", 256, 256},
    {"widgets/water/water_end_diffuse.png", 128, 128},
    {"widgets/timer/timer_diffuse.png", 256, 256},
    {"widgets/squash/squash_diffuse.png", 256, 256},
    {"widgets/destruction/destruction_diffuse.png", 256, 256},
};

struct Pixels
{
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;

    bool Loaded() const { return !rgba.empty(); }
    const unsigned char* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
    int Alpha(int x, int y) const { return At(x, y)[3]; }
    float Luma(int x, int y) const
    {
        const unsigned char* p = At(x, y);
        return 0.299f * p[0] + 0.587f * p[1] + 0.114f * p[2];
    }
};

Pixels Load(const std::string& path)
{
    Pixels px;
    int channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &px.width, &px.height, &channels, 4);
    if (data != nullptr)
    {
        px.rgba.assign(data, data + static_cast<size_t>(px.width) * px.height * 4);
        stbi_image_free(data);
    }
    return px;
}

std::string Committed(const std::string& name)
{
    return testsupport::RepoPath("data/textures/" + name);
}

Pixels LoadCommitted(const std::string& name)
{
    return Load(Committed(name));
}

bool IsJpeg(const std::string& name)
{
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".jpg") == 0;
}

// Every pixel outside the rectangle [x0, x1) x [y0, y1) is fully clear.
int OpaqueOutside(const Pixels& px, int x0, int y0, int x1, int y1)
{
    int count = 0;
    for (int y = 0; y < px.height; ++y)
        for (int x = 0; x < px.width; ++x)
            if ((x < x0 || y < y0 || x >= x1 || y >= y1) && px.Alpha(x, y) != 0)
                ++count;
    return count;
}

int RunTexgen(const std::string& arguments)
{
    const std::string command = std::string(TEXGEN_PROGRAM) + " " + arguments + " > texgen.out 2> texgen.err";
    return std::system(command.c_str());
}
} // namespace

TEST(TexGen, WritesTheCommittedPixels)
{
    testsupport::TempWorkDir dir;
    ASSERT_EQ(RunTexgen(dir.Path() + "/out"), 0);
    for (const Expected& e : kFiles)
    {
        SCOPED_TRACE(e.name);
        const Pixels made = Load(dir.Path() + "/out/" + e.name);
        const Pixels kept = LoadCommitted(e.name);
        ASSERT_TRUE(made.Loaded());
        ASSERT_TRUE(kept.Loaded()) << "not committed; run tools/texgen/regen";
        ASSERT_EQ(made.width, kept.width);
        ASSERT_EQ(made.height, kept.height);
        if (IsJpeg(e.name))
        {
            // A JPEG is compared within what another encoder build might round differently.
            double total = 0.0;
            int worst = 0;
            for (size_t i = 0; i < made.rgba.size(); ++i)
            {
                const int d = std::abs(made.rgba[i] - kept.rgba[i]);
                total += d;
                worst = std::max(worst, d);
            }
            EXPECT_LT(total / made.rgba.size(), 1.5);
            EXPECT_LT(worst, 48);
            continue;
        }
        size_t first = 0;
        while (first < made.rgba.size() && made.rgba[first] == kept.rgba[first])
            ++first;
        EXPECT_EQ(first, made.rgba.size()) << "differs at pixel (" << (first / 4) % made.width << ", "
                                           << (first / 4) / made.width << "); run tools/texgen/regen";
    }
}

TEST(TexGen, CommittedFilesAreExactlyTheTableAtTheirSizes)
{
    std::map<std::string, std::pair<int, int>> table;
    for (const Expected& e : kFiles)
        table[e.name] = {e.width, e.height};

    std::set<std::string> committed;
    for (const auto& entry : fs::recursive_directory_iterator(Committed("")))
        if (entry.is_regular_file())
            committed.insert(fs::relative(entry.path(), Committed("")).generic_string());
    std::set<std::string> named;
    for (const auto& [name, size] : table)
        named.insert(name);
    EXPECT_EQ(committed, named);

    std::set<std::string> drawn;
    for (const texgen::ArtFile& art : texgen::AllArt())
    {
        SCOPED_TRACE(art.name);
        drawn.insert(art.name);
        ASSERT_EQ(table.count(art.name), 1u);
        EXPECT_EQ(art.width, table[art.name].first);
        EXPECT_EQ(art.height, table[art.name].second);
        const Pixels px = LoadCommitted(art.name);
        EXPECT_EQ(px.width, art.width);
        EXPECT_EQ(px.height, art.height);
    }
    EXPECT_EQ(drawn, named);
}

TEST(TexGen, OnlyTheWhiteBlockIsOneFlatColour)
{
    for (const Expected& e : kFiles)
    {
        SCOPED_TRACE(e.name);
        const Pixels px = LoadCommitted(e.name);
        ASSERT_TRUE(px.Loaded());
        bool flat = true;
        for (size_t i = 4; i < px.rgba.size() && flat; ++i)
            flat = px.rgba[i] == px.rgba[i % 4];
        if (std::string(e.name) == "hud/WhiteBlock.png")
        {
            EXPECT_TRUE(flat);
            EXPECT_EQ(px.rgba[0] + px.rgba[1] + px.rgba[2] + px.rgba[3], 4 * 255);
        }
        else
        {
            EXPECT_FALSE(flat);
        }
    }
}

TEST(TexGen, CursorsHaveTheirTipAtTheTopLeftPixel)
{
    for (const char* name :
         {"hud/BlueRedCursor.png", "hud/BlueRedPentCursor.png", "hud/GreenOrangeCursor.png",
          "hud/GreenPinkCursor.png", "hud/CursorPinkAquaPent.png", "hud/CursorGreyGreen.png"})
    {
        SCOPED_TRACE(name);
        const Pixels px = LoadCommitted(name);
        EXPECT_GT(px.Alpha(0, 0), 200);
        // The arrow runs down and to the right of the tip; the opposite corner stays clear.
        EXPECT_GT(px.Alpha(8, 20), 200);
        EXPECT_EQ(px.Alpha(60, 3), 0);
        EXPECT_EQ(px.Alpha(3, 60), 0);
    }
}

// The rectangles the menus cut from each frame: art inside, nothing outside that would show
// when a frame is scaled beside another.
TEST(TexGen, FramesKeepToTheRectanglesTheMenusCut)
{
    struct Case
    {
        const char* name;
        int x0, y0, x1, y1; // everything else is clear
        int cx, cy;         // an opaque point inside
    };
    const Case cases[] = {
        {"hud/BarMenuButtons.png", 0, 0, 200, 55, 100, 27}, {"hud/Arrow.png", 0, 128, 219, 247, 110, 188},
        {"hud/ColoredRadial.png", 0, 0, 127, 127, 64, 64},  {"hud/Message.png", 0, 0, 511, 63, 256, 30},
        {"hud/ToolTipBack.png", 0, 0, 63, 63, 32, 32},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const Pixels px = LoadCommitted(c.name);
        EXPECT_EQ(OpaqueOutside(px, c.x0, c.y0, c.x1, c.y1), 0);
        EXPECT_EQ(px.Alpha(c.cx, c.cy), 255);
    }

    // The panel fills its 502 x 502 hit area with rounded corners; only a soft shadow lies past it.
    const Pixels panel = LoadCommitted("hud/MenuBackground.png");
    EXPECT_EQ(panel.Alpha(0, 0), 0);
    EXPECT_EQ(panel.Alpha(251, 3), 255);
    EXPECT_EQ(panel.Alpha(3, 251), 255);
    EXPECT_EQ(panel.Alpha(498, 251), 255);
    EXPECT_EQ(panel.Alpha(251, 498), 255);
    for (int i = 0; i < 512; ++i)
    {
        EXPECT_LT(panel.Alpha(505, i), 128);
        EXPECT_LT(panel.Alpha(i, 505), 128);
    }
}

TEST(TexGen, SliderPartsSitWhereTheScrollBarCutsThem)
{
    const Pixels px = LoadCommitted("hud/Slider.png");
    struct Part
    {
        const char* what;
        int x, y, w, h;
    };
    // Sprites draw a frame one pixel short on the right and bottom.
    const Part parts[] = {
        {"track", 5, 5, 44, 502}, {"down", 47, 6, 34, 36}, {"up", 47, 46, 34, 36}, {"thumb", 88, 6, 36, 55}};
    for (int y = 0; y < px.height; ++y)
        for (int x = 0; x < px.width; ++x)
        {
            int owners = 0;
            for (const Part& p : parts)
                owners += (x >= p.x && x < p.x + p.w - 1 && y >= p.y && y < p.y + p.h - 1) ? 1 : 0;
            if (px.Alpha(x, y) != 0)
            {
                ASSERT_EQ(owners, 1) << "pixel (" << x << ", " << y << ") lies outside one part";
            }
        }
    for (const Part& p : parts)
        EXPECT_EQ(px.Alpha(p.x + p.w / 2, p.y + p.h / 2), 255) << p.what;

    // The down part's arrow is wide at the top and comes to a point below; the up part's the reverse.
    auto darkRows = [&](const Part& p, bool upperHalf)
    {
        int dark = 0;
        for (int y = p.y + 4; y < p.y + p.h - 4; ++y)
            for (int x = p.x + 4; x < p.x + p.w - 4; ++x)
                if (px.Alpha(x, y) == 255 && px.Luma(x, y) < 140 && ((y < p.y + p.h / 2) == upperHalf))
                    ++dark;
        return dark;
    };
    EXPECT_GT(darkRows(parts[1], true), darkRows(parts[1], false));
    EXPECT_GT(darkRows(parts[2], false), darkRows(parts[2], true));
}

// The skins multiply these faces by their colours, and black text goes on them: they must be
// light and close to grey.
TEST(TexGen, SkinnedFacesAreLightAndNearlyGrey)
{
    for (const char* name :
         {"hud/BarMenuButtons.png", "hud/MenuBackground.png", "hud/Slider.png", "hud/ToolTipBack.png",
          "hud/ColoredRadial.png", "hud/Message.png", "hud/Arrow.png"})
    {
        SCOPED_TRACE(name);
        const Pixels px = LoadCommitted(name);
        double luma = 0.0;
        double chroma = 0.0;
        int count = 0;
        for (int y = 0; y < px.height; ++y)
            for (int x = 0; x < px.width; ++x)
                if (px.Alpha(x, y) == 255)
                {
                    const unsigned char* p = px.At(x, y);
                    luma += px.Luma(x, y);
                    chroma += std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]});
                    ++count;
                }
        ASSERT_GT(count, 0);
        EXPECT_GT(luma / count, 200.0);
        EXPECT_LT(chroma / count, 12.0);
    }
}

TEST(TexGen, ConsoleWindowsAreOpaqueAndLightForBlackText)
{
    for (const char* name : {"ConsoleHistory.png", "ConsoleInput.png"})
    {
        SCOPED_TRACE(name);
        const Pixels px = LoadCommitted(name);
        float darkest = 255.0f;
        for (int y = 0; y < px.height; ++y)
            for (int x = 0; x < px.width; ++x)
            {
                ASSERT_EQ(px.Alpha(x, y), 255);
                darkest = std::min(darkest, px.Luma(x, y));
            }
        EXPECT_GT(darkest, 120.0f);
        EXPECT_GT(px.Luma(px.width / 2, px.height / 2), 215.0f);
    }
}

TEST(TexGen, IconsAreRoundBadgesAndTheCrossIsRedOnClear)
{
    for (const Expected& e : kFiles)
    {
        const std::string name = e.name;
        if (name.find("Icon.png") == std::string::npos)
            continue;
        SCOPED_TRACE(name);
        const Pixels px = LoadCommitted(name);
        EXPECT_EQ(px.Alpha(1, 1), 0);
        EXPECT_EQ(px.Alpha(62, 62), 0);
        EXPECT_EQ(px.Alpha(32, 32), 255);
        // The outline: the rim is dark.
        EXPECT_LT(px.Luma(32, 3), 90.0f);
    }
    const Pixels cross = LoadCommitted("hud/cross.png");
    EXPECT_EQ(cross.Alpha(32, 2), 0);
    EXPECT_EQ(cross.Alpha(2, 32), 0);
    const unsigned char* mid = cross.At(32, 32);
    EXPECT_EQ(mid[3], 255);
    EXPECT_GT(mid[0], 2 * mid[1]);
    EXPECT_GT(mid[0], 2 * mid[2]);
}

TEST(TexGen, SplashesShowOnTheirScreens)
{
    // The maker's mark is a JPEG on black.
    const Pixels kesh = LoadCommitted("hud/KeshLogo.jpg");
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{2, 2}, {509, 2}, {2, 509}, {509, 509}})
        EXPECT_LT(kesh.Luma(x, y), 8.0f);
    // The title is placed 150 pixels above the screen's middle: its art keeps to its top 440 rows.
    const Pixels title = LoadCommitted("hud/QUORBTitle.png");
    EXPECT_EQ(OpaqueOutside(title, 0, 0, 512, 440), 0);
    EXPECT_GT(title.Alpha(256, 128), 250);
}

TEST(TexGen, HeightMapHasItsPlainHillAndValley)
{
    const Pixels px = LoadCommitted("terrain/height_map.png");
    ASSERT_EQ(px.width, 129);
    for (int i = 0; i < 129; ++i)
    {
        EXPECT_EQ(px.At(i, 0)[0], 96);
        EXPECT_EQ(px.At(i, 128)[0], 96);
        EXPECT_EQ(px.At(0, i)[0], 96);
        EXPECT_EQ(px.At(128, i)[0], 96);
    }
    EXPECT_EQ(px.At(42, 46)[0], 237);
    EXPECT_EQ(px.At(88, 84)[0], 19);
    const unsigned char* p = px.At(60, 50);
    EXPECT_EQ(p[0], p[1]);
    EXPECT_EQ(p[1], p[2]);

    // The blend map's channels share out the whole weight; the plain is all grass (red).
    const Pixels blend = LoadCommitted("terrain/blend_map.png");
    for (int y = 0; y < blend.height; y += 3)
        for (int x = 0; x < blend.width; x += 3)
        {
            const unsigned char* b = blend.At(x, y);
            ASSERT_NEAR(b[0] + b[1] + b[2], 255, 3) << x << ", " << y;
        }
    EXPECT_EQ(blend.At(2, 2)[0], 255);
    EXPECT_GT(blend.At(114, 92)[1], 200);  // the hill's slope: rock
    EXPECT_GT(blend.At(175, 167)[2], 200); // the valley floor: sand
}

// Material textures repeat, and what wraps round a mesh (rods, drums, balls, the arm) meets itself
// in u: the step across the wrap-around edge is no bigger than steps inside. The cloth's weave
// repeats both ways.
TEST(TexGen, MaterialTexturesTileWithoutSeams)
{
    struct Case
    {
        const char* name;
        bool vertical;
    };
    const Case cases[] = {{"terrain/grass_diffuse.png", true},
                          {"terrain/rock_diffuse.png", true},
                          {"terrain/sand_diffuse.png", true},
                          {"common/wood_diffuse.png", true},
                          {"common/metal1_diffuse.png", true},
                          {"widgets/accelerator/accelerator_diffuse.png", false},
                          {"widgets/accelerator/accelerator_reversed_diffuse.png", false},
                          {"widgets/magnet/positive_magnetic_field_diffuse.png", true},
                          {"room/room_shell_diffuse.png", true},
                          {"widgets/bar/bar_diffuse.png", false},
                          {"props/cylinder_diffuse.png", false},
                          {"props/sphere_diffuse.png", false},
                          {"props/arm_diffuse.png", false},
                          {"props/cloth_diffuse.png", true},
                          {"widgets/node/hard_node_diffuse.png", false},
                          {"widgets/node/soft_node_diffuse.png", false},
                          {"widgets/quorb/quorb_ball_diffuse.png", false}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const Pixels px = LoadCommitted(c.name);
        auto columnStep = [&](int a, int b)
        {
            double sum = 0.0;
            for (int y = 0; y < px.height; ++y)
                for (int k = 0; k < 4; ++k)
                    sum += std::abs(px.At(a, y)[k] - px.At(b, y)[k]);
            return sum / px.height;
        };
        auto rowStep = [&](int a, int b)
        {
            double sum = 0.0;
            for (int x = 0; x < px.width; ++x)
                for (int k = 0; k < 4; ++k)
                    sum += std::abs(px.At(x, a)[k] - px.At(x, b)[k]);
            return sum / px.width;
        };
        double inside = 0.0;
        for (int i = 1; i < px.width; ++i)
            inside = std::max(inside, columnStep(i - 1, i));
        EXPECT_LE(columnStep(px.width - 1, 0), inside * 1.05 + 1.0);
        if (c.vertical)
        {
            double insideRows = 0.0;
            for (int i = 1; i < px.height; ++i)
                insideRows = std::max(insideRows, rowStep(i - 1, i));
            EXPECT_LE(rowStep(px.height - 1, 0), insideRows * 1.05 + 1.0);
        }
    }
}

// The building area lies over the wall and the widgets, drawn blended: clear inside its cells,
// a faint line between them (11 x 8 cells of 2 units over the 22 x 16 face) and a strong border.
TEST(TexGen, BuildingGridIsFaintAndClearInsideItsCells)
{
    const Pixels px = LoadCommitted("room/construction_quad_diffuse.png");
    ASSERT_EQ(px.width, 512);
    const float cellWidth = 512.0f / 11.0f;
    const int cellHeight = 512 / 8;
    int clear = 0;
    for (int y = 0; y < px.height; ++y)
        for (int x = 0; x < px.width; ++x)
            clear += px.Alpha(x, y) == 0 ? 1 : 0;
    EXPECT_GT(clear, px.width * px.height * 8 / 10);
    for (int i = 0; i < 11; ++i)
        for (int j = 0; j < 8; ++j)
        {
            SCOPED_TRACE("cell " + std::to_string(i) + ", " + std::to_string(j));
            const int midX = static_cast<int>((i + 0.5f) * cellWidth);
            const int midY = j * cellHeight + cellHeight / 2;
            EXPECT_EQ(px.Alpha(midX, midY), 0);
            if (i > 0) // the line on the cell's left
            {
                const int a = px.Alpha(static_cast<int>(i * cellWidth), midY);
                EXPECT_GT(a, 30);
                EXPECT_LT(a, 160);
            }
            if (j > 0) // and the one above it
            {
                const int a = px.Alpha(midX, j * cellHeight);
                EXPECT_GT(a, 30);
                EXPECT_LT(a, 160);
            }
        }
    for (int t = 0; t < 512; t += 7)
    {
        EXPECT_GT(px.Alpha(t, 2), 180) << t;
        EXPECT_GT(px.Alpha(2, t), 180) << t;
        EXPECT_GT(px.Alpha(t, 509), 180) << t;
        EXPECT_GT(px.Alpha(509, t), 180) << t;
    }
}

// The gravity switch, the magnet and the water level's marker are projected from the front onto
// solid meshes whose sides take the colour at the silhouette: nothing in them may be clear. The
// switch's arrow and the magnet's poles point to +u, the direction the widget acts in.
TEST(TexGen, ProjectedWidgetsAreOpaqueAndPointToPlusU)
{
    for (const char* name : {"widgets/gravityswitch/gravity_switch_diffuse.png",
                             "widgets/magnet/magnet_diffuse.png", "widgets/water/water_end_diffuse.png"})
    {
        SCOPED_TRACE(name);
        const Pixels px = LoadCommitted(name);
        int clear = 0;
        for (int y = 0; y < px.height; ++y)
            for (int x = 0; x < px.width; ++x)
                clear += px.Alpha(x, y) < 255 ? 1 : 0;
        EXPECT_EQ(clear, 0);
    }

    // Off the arrow's shaft only its head is white, and the head lies to the right.
    const Pixels grav = LoadCommitted("widgets/gravityswitch/gravity_switch_diffuse.png");
    int left = 0;
    int right = 0;
    for (int y = 0; y < grav.height; ++y)
        for (int x = 0; x < grav.width; ++x)
        {
            const int off = std::abs(y - 128);
            const unsigned char* p = grav.At(x, y);
            if (off >= 30 && off <= 50 && std::min({p[0], p[1], p[2]}) > 200)
                (x < 128 ? left : right) += 1;
        }
    EXPECT_GT(right, 500);
    EXPECT_GT(right, 4 * left);

    // Red at the bend on the left, silver pole tips on the right.
    const Pixels magnet = LoadCommitted("widgets/magnet/magnet_diffuse.png");
    const unsigned char* bend = magnet.At(14, 128);
    EXPECT_GT(bend[0], 2 * bend[1]);
    EXPECT_GT(bend[0], 2 * bend[2]);
    for (const int y : {12, 243})
    {
        SCOPED_TRACE(y);
        const unsigned char* tip = magnet.At(214, y);
        EXPECT_GT(magnet.Luma(214, y), 150.0f);
        EXPECT_LT(std::abs(tip[0] - tip[2]), 40);
    }
}

// The accelerator's two belts: the chevrons' tips (on the middle row) lie ahead of their arms
// (a row near the chevrons' top) along +u on the one belt and along -u on the other, which the
// game shows when the belt runs towards -u. In each 64-texel period the middle row's yellow
// starts 28 texels on from the top row's.
TEST(TexGen, TheAcceleratorsBeltsPointAlongPlusUAndMinusU)
{
    struct Case
    {
        const char* name;
        int ahead; // texels from the arms to the tips along +u
    };
    for (const Case& c : {Case{"widgets/accelerator/accelerator_diffuse.png", 1},
                          Case{"widgets/accelerator/accelerator_reversed_diffuse.png", -1}})
    {
        SCOPED_TRACE(c.name);
        const Pixels px = LoadCommitted(c.name);
        ASSERT_EQ(px.width, 256);
        auto yellow = [&](int x, int y)
        {
            const unsigned char* p = px.At((x % 256 + 256) % 256, y);
            return p[0] > 200 && p[1] > 120 && p[2] < 140;
        };
        // The shift of the middle row's pattern against the top row's that matches best.
        int best = 0;
        int bestMatches = -1;
        for (int shift = -31; shift <= 31; ++shift)
        {
            int matches = 0;
            for (int x = 0; x < 256; ++x)
                matches += yellow(x, 60) == yellow(x + shift, 128) ? 1 : 0;
            if (matches > bestMatches)
            {
                bestMatches = matches;
                best = shift;
            }
        }
        EXPECT_GT(bestMatches, 240);
        EXPECT_EQ(best > 0 ? 1 : -1, c.ahead) << "shift " << best;
        EXPECT_GE(std::abs(best), 15);
    }
}

// An objective's ring samples the band from 80 to 100 percent of the image's radius and is
// solid all round; the disc behind it shows the middle, which is tinted but see-through; the
// corners outside the circle are clear.
TEST(TexGen, ObjectiveMarkersHaveASolidRingAroundASeeThroughMiddle)
{
    for (const char* name :
         {"widgets/water/water_diffuse.png", "widgets/timer/timer_diffuse.png",
          "widgets/squash/squash_diffuse.png", "widgets/destruction/destruction_diffuse.png"})
    {
        SCOPED_TRACE(name);
        const Pixels px = LoadCommitted(name);
        ASSERT_EQ(px.width, 256);
        for (const auto& [x, y] : std::vector<std::pair<int, int>>{{1, 1}, {254, 1}, {1, 254}, {254, 254}})
            EXPECT_EQ(px.Alpha(x, y), 0);
        int holes = 0;
        for (int k = 0; k < 96; ++k)
            for (const float r : {0.81f, 0.9f, 0.99f})
            {
                const float a = k * 2.0f * 3.14159265f / 96.0f;
                const int x = static_cast<int>(128.0f + 128.0f * r * std::cos(a));
                const int y = static_cast<int>(128.0f + 128.0f * r * std::sin(a));
                holes += px.Alpha(x, y) == 255 ? 0 : 1;
            }
        EXPECT_EQ(holes, 0) << "the ring is not solid";
        int seeThrough = 0;
        int clear = 0;
        for (int y = 0; y < px.height; ++y)
            for (int x = 0; x < px.width; ++x)
            {
                const float d = std::hypot(x + 0.5f - 128.0f, y + 0.5f - 128.0f);
                if (d >= 100.0f)
                    continue;
                seeThrough += px.Alpha(x, y) < 200 ? 1 : 0;
                clear += px.Alpha(x, y) == 0 ? 1 : 0;
            }
        EXPECT_GT(seeThrough, 3000);
        EXPECT_EQ(clear, 0);
    }
}

// The seamless textures rest on noise that repeats exactly with its period, octaves included.
TEST(TexGen, NoiseRepeatsWithItsPeriod)
{
    struct Case
    {
        int periodX, periodY, octaves;
    };
    for (const Case& c : {Case{4, 4, 4}, Case{2, 128, 2}, Case{8, 3, 3}, Case{1, 1, 1}})
    {
        SCOPED_TRACE(std::to_string(c.periodX) + " x " + std::to_string(c.periodY));
        for (int i = 0; i < 40; ++i)
        {
            const float x = 0.37f * i;
            const float y = 0.61f * i + 0.2f;
            const float here = texgen::Fbm(x, y, c.periodX, c.periodY, c.octaves, 7u);
            EXPECT_NEAR(texgen::Fbm(x + c.periodX, y, c.periodX, c.periodY, c.octaves, 7u), here, 1e-4f);
            EXPECT_NEAR(texgen::Fbm(x, y + c.periodY, c.periodX, c.periodY, c.octaves, 7u), here, 1e-4f);
            EXPECT_NEAR(texgen::Fbm(x - c.periodX, y - c.periodY, c.periodX, c.periodY, c.octaves, 7u), here,
                        1e-4f);
            EXPECT_GE(here, 0.0f);
            EXPECT_LE(here, 1.0f);
        }
    }
}

TEST(TexGen, ProgramRefusesBadArguments)
{
    testsupport::TempWorkDir dir;
    EXPECT_NE(RunTexgen(""), 0);
    // A folder that cannot be made, because a file stands in its way.
    std::FILE* blocker = std::fopen("blocker", "w");
    ASSERT_NE(blocker, nullptr);
    std::fclose(blocker);
    EXPECT_NE(RunTexgen(dir.Path() + "/blocker/out hud/WhiteBlock"), 0);
    // A name filter writes only the matching files.
    ASSERT_EQ(RunTexgen(dir.Path() + "/some hud/WhiteBlock hud/cross"), 0);
    std::set<std::string> written;
    for (const auto& entry : fs::recursive_directory_iterator(dir.Path() + "/some"))
        if (entry.is_regular_file())
            written.insert(fs::relative(entry.path(), dir.Path() + "/some").generic_string());
    EXPECT_EQ(written, (std::set<std::string>{"hud/WhiteBlock.png", "hud/cross.png"}));
}
