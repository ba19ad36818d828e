// A screen of sprites and text through the real OpenGL device that the device core makes, on
// Xvfb with Mesa's software renderer: a strip frame from the second row, a sprite turned about
// its pivot, a half-transparent tint over another, and shadowed text in fonts 0, 4 and 5. The
// picture is saved under screenshots/ in the build folder and checked at given pixels. Skipped,
// with a message, where Xvfb is not installed.
#include "PixelTestFixture.h"
#include "VirtualDisplay.h"

#include "GfxTestWorld.h"
#include "engine/gfx/sprites/CSprite.h"
#include "engine/gfx/sprites/CTextSprite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

using dorvo::gfx::CSprite;
using dorvo::gfx::CTextSprite;
using dorvo::gfx::IScreenUnit;
using dorvo::gfx::SpriteAnimation;
using dorvo::gfx::STextStyle;
using gfxtest::Rgb;

namespace
{
constexpr int kWidth = 400;
constexpr int kHeight = 300;
constexpr char kTextures[] = "textures/";

class SpritePixelTest : public gfxtest::PixelTestFixture
{
protected:
    SpritePixelTest() : PixelTestFixture(kWidth, kHeight) {}

    void SetUp() override
    {
        PixelTestFixture::SetUp();
        if (!Ready())
            return;
        ASSERT_TRUE(gfxtest::WriteStrip(std::string(kTextures) + "strip.png", 3, 2, 32));
        ASSERT_TRUE(gfxtest::WritePng(std::string(kTextures) + "halves.png", 40, 20,
                                      [](unsigned x, unsigned)
                                      { return x < 20 ? 0xFFFF0000u : 0xFF0000FFu; }));
        std::filesystem::create_directories(std::string(kTextures) + "hud");
        std::filesystem::copy_file(testsupport::RepoPath("data/textures/hud/WhiteBlock.png"),
                                   std::string(kTextures) + "hud/WhiteBlock.png");
        SetWindowConfig(kTextures);
        ASSERT_TRUE(gfx.Init(config));
        ASSERT_TRUE(TakeDevice());
        plat::devicedebug::ResetStatistics(device);
    }

    // One frame of the units in depth order (equal depths as given), as the 2D pass draws it.
    void DrawFrame(std::vector<IScreenUnit*> units)
    {
        ASSERT_NO_FATAL_FAILURE(DrawScreenUnits(std::move(units)));
        ASSERT_TRUE(device->ReadBackBuffer(pixels));
        ASSERT_EQ(pixels.size(), static_cast<std::size_t>(kWidth) * kHeight);
    }

    // Pixels of the rectangle (right and bottom exclusive) for which the test holds.
    template <typename Test> int Count(const plat::RECT& r, Test test) const
    {
        int count = 0;
        for (int y = std::max(0, r.top); y < std::min(kHeight, r.bottom); ++y)
            for (int x = std::max(0, r.left); x < std::min(kWidth, r.right); ++x)
                count += test(At(x, y)) ? 1 : 0;
        return count;
    }
};

SpriteAnimation Whole(int width, int height, int centreX = 0, int centreY = 0)
{
    SpriteAnimation a;
    a.frameWidth = width;
    a.frameHeight = height;
    a.frameCount = 1;
    a.centerX = centreX;
    a.centerY = centreY;
    a.name = "Whole";
    return a;
}
} // namespace

TEST_F(SpritePixelTest, AScreenOfSpritesAndShadowedText)
{
    // Frame 4 of a strip of three a row: the second frame of the second row (cyan).
    CSprite strip("strip.png");
    SpriteAnimation frames = Whole(32, 32);
    frames.frameCount = 6;
    strip.AddAnimation("Frames", frames, true);
    strip.GetCurrentAnimation()->currentFrame = 4;
    strip.SetPosition(20, 20);

    // Red left half, blue right half, turned a quarter about its centre at (150, 60): the blue
    // half ends up below the pivot.
    CSprite turned("halves.png");
    turned.AddAnimation("Whole", Whole(40, 20, 20, 10), true);
    turned.SetPosition(150, 60);
    turned.SetRotation(0.0f, 0.0f, 1.5707964f);

    // A half-transparent blue block over a red one; listed first, drawn second by its depth.
    CSprite over("hud/WhiteBlock.png");
    over.AddAnimation("Whole", Whole(32, 32), true);
    over.SetScale(2.0f, 2.0f, 1.0f);
    over.SetPosition(250, 50);
    over.SetColor(0.0f, 0.0f, 1.0f);
    over.SetAlpha(0.5f, false);
    over.SetDepth(4);
    CSprite under("hud/WhiteBlock.png");
    under.AddAnimation("Whole", Whole(32, 32), true);
    under.SetScale(2.0f, 2.0f, 1.0f);
    under.SetPosition(220, 20);
    under.SetColor(1.0f, 0.0f, 0.0f);

    // Light grey panel under three shadowed texts.
    CSprite panel("hud/WhiteBlock.png");
    panel.AddAnimation("Whole", Whole(32, 32), true);
    panel.SetScale(380.0f / 32.0f, 150.0f / 32.0f, 1.0f);
    panel.SetPosition(10, 140);
    panel.SetColor(0.85f, 0.85f, 0.85f);
    panel.SetDepth(1);
    const float ink[4] = {0.0f, 0.0f, 0.6f, 1.0f};
    const float shadowInk[4] = {1.0f, 0.0f, 0.0f, 1.0f};
    std::vector<std::unique_ptr<CTextSprite>> texts;
    const unsigned fonts[3] = {0, 4, 5};
    const char* const labels[3] = {"Arial, shadowed", "Ravie 25", "Ravie 40"};
    const int tops[3] = {150, 180, 220};
    for (int i = 0; i < 3; ++i)
    {
        STextStyle style(fonts[i], ink);
        style.SetShadow(shadowInk, 2, 2);
        const int position[2] = {20, tops[i]};
        texts.push_back(std::make_unique<CTextSprite>(labels[i], style, position, 0));
        texts.back()->SetDepth(5);
    }

    DrawFrame({&over, texts[0].get(), &strip, &turned, &panel, texts[1].get(), texts[2].get(), &under});
    ASSERT_TRUE(testsupport::SaveBackBuffer(device, "sprites_gfx.png"));

    const Rgb black{0, 0, 0}, cyan{0, 255, 255}, red{255, 0, 0}, blue{0, 0, 255}, grey{217, 217, 217};
    // The frame covers exactly 20..51 in both directions.
    ExpectAt(20, 20, cyan, 0);
    ExpectAt(51, 51, cyan, 0);
    ExpectAt(36, 36, cyan, 0);
    ExpectAt(19, 36, black, 0);
    ExpectAt(52, 36, black, 0);
    ExpectAt(36, 52, black, 0);
    // Turned: 20 wide (x 140..159) and 40 tall (y 40..79).
    ExpectAt(150, 45, red);
    ExpectAt(150, 75, blue);
    ExpectAt(136, 60, black);
    ExpectAt(163, 60, black);
    ExpectAt(170, 45, black); // not drawn unturned
    // The tint: red alone, the blend, blue over black.
    ExpectAt(230, 30, red);
    ExpectAt(270, 70, {128, 0, 128}, 3);
    ExpectAt(300, 100, {0, 0, 128}, 3);
    // The panel, and the texts on it: ink and shadow inside each text's rectangle.
    ExpectAt(380, 280, grey, 3);
    for (int i = 0; i < 3; ++i)
    {
        SCOPED_TRACE(fonts[i]);
        plat::RECT area = texts[i]->GetTextRect();
        area.right += 2;
        area.bottom += 2;
        const int inked = Count(area, [](Rgb c) { return c.b > 120 && c.r < 60 && c.g < 60; });
        const int shadowed = Count(area, [](Rgb c) { return c.r > 180 && c.g < 90 && c.b < 90; });
        EXPECT_GT(inked, 40);
        EXPECT_GT(shadowed, 15);
        plat::RECT right = area;
        right.left = area.right + 4;
        right.right = area.right + 14;
        EXPECT_EQ(Count(right, [](Rgb c) { return c.r < 200; }), 0) << "nothing right of the text";
    }
    EXPECT_GT(texts[2]->GetHeight(), texts[1]->GetHeight());
    EXPECT_GT(texts[1]->GetHeight(), texts[0]->GetHeight());
}
