// Updating a screen of sprites and laid-out text, and drawing the sprites, allocates nothing once
// the first frames are done: this program counts every allocation made while the units work.
// (Text sprites measure only when changed; the font itself lays its glyphs out at each draw.)
#include "AllocationCount.h"
#include "GfxTestWorld.h"
#include "engine/gfx/sprites/CSprite.h"
#include "engine/gfx/sprites/CTextSprite.h"

#include <gtest/gtest.h>

using dorvo::gfx::CSprite;
using dorvo::gfx::CTextSprite;
using dorvo::gfx::SpriteAnimation;
using dorvo::gfx::STextStyle;

class SpriteAllocationTest : public gfxtest::HeadlessGfx
{
};

TEST_F(SpriteAllocationTest, AWarmFrameUpdatesAndDrawsSpritesWithoutAllocating)
{
    ASSERT_TRUE(gfxtest::WriteStrip(std::string(kTextureFolder) + "strip.png", 3, 2, 32));
    std::vector<std::unique_ptr<CSprite>> units;
    SpriteAnimation strip;
    strip.frameWidth = 32;
    strip.frameHeight = 32;
    strip.frameCount = 6;
    strip.frameTime = 40;
    strip.loop = true;
    strip.name = "Strip";
    for (int i = 0; i < 50; ++i)
    {
        units.push_back(std::make_unique<CSprite>("strip.png"));
        units.back()->AddAnimation("Strip", strip, true);
        units.back()->SetPosition(i * 10, i * 5);
        units.back()->SetRotation(0.0f, 0.0f, 0.01f * i);
    }
    const int position[2] = {10, 10};
    for (unsigned font = 0; font < 7; ++font)
        units.push_back(
            std::make_unique<CTextSprite>("Budget: 1200", STextStyle(font, nullptr), position, 200));

    dorvo::gfx::CGFXCore& core = dorvo::gfx::CGFXCore::Instance();
    plat::ID3DXSprite* batch = dorvo::gfx::GetSpriteBatch();
    ASSERT_NE(batch, nullptr);
    unsigned counted = 0;
    for (int frame = 0; frame < 6; ++frame)
    {
        core.BeginFrame();
        batch->Begin(plat::D3DXSPRITE_ALPHABLEND);
        const bool warm = frame >= 3;
        if (warm)
            testsupport::StartCountingAllocations();
        for (auto& unit : units)
            unit->Update(33);
        for (auto& unit : units)
            if (!dynamic_cast<CTextSprite*>(unit.get()))
                unit->Render(1.0, 0.033f);
        if (warm)
            counted += testsupport::StopCountingAllocations();
        for (auto& unit : units)
            if (dynamic_cast<CTextSprite*>(unit.get()))
                unit->Render(1.0, 0.033f);
        batch->End();
        core.EndScene();
    }
    EXPECT_EQ(counted, 0u);
}
