// Sprites on the headless device, read through the call log: which frame of the strip is drawn,
// how animations step and switch, depths, positions through the tree, colours, the transform
// about the pivot and the interpolations a sprite polls.
#include "engine/gfx/sprites/CSprite.h"

#include "GfxTestWorld.h"
#include "common/InterpolationMgr.h"
#include "engine/gfx/core/MatrixConvert.h"
#include "engine/gfx/gui/GuiSkinColors.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "platform/win32.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cmath>

using dorvo::gfx::CSprite;
using dorvo::gfx::SpriteAnimation;
using plat::devicedebug::CallKind;

namespace
{
constexpr char kStrip[] = "strip.png"; // 3 x 2 frames of 32 x 32
constexpr int kFrame = 32;

SpriteAnimation Strip(int frameCount, int frameTime, bool loop, int sourceX = 0, int sourceY = 0)
{
    SpriteAnimation a;
    a.frameWidth = kFrame;
    a.frameHeight = kFrame;
    a.frameCount = frameCount;
    a.frameTime = frameTime;
    a.loop = loop;
    a.sourceX = sourceX;
    a.sourceY = sourceY;
    a.name = "Strip";
    return a;
}

class SpriteTest : public gfxtest::HeadlessGfx
{
protected:
    void SetUp() override
    {
        HeadlessGfx::SetUp();
        ASSERT_TRUE(gfxtest::WriteStrip(std::string(kTextureFolder) + kStrip, 3, 2, kFrame));
        // One pixel short of three frames a row.
        ASSERT_TRUE(gfxtest::WritePng(std::string(kTextureFolder) + "short.png", 3 * kFrame - 1, 2 * kFrame,
                                      [](unsigned, unsigned) { return 0xFFFFFFFFu; }));
    }

    // The one sprite draw of a frame of these sprites, or a draw with an empty rect when none.
    template <typename... Units> std::vector<plat::devicedebug::LoggedCall> Draws(Units&... units)
    {
        DrawLogged(units...);
        return gfxtest::CallsOf(CallKind::SpriteDraw);
    }
};

plat::RECT Rect(int left, int top, int right, int bottom)
{
    plat::RECT r;
    r.left = left;
    r.top = top;
    r.right = right;
    r.bottom = bottom;
    return r;
}

std::string Show(const plat::RECT& r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) +
           ", " + std::to_string(r.bottom) + ")";
}
} // namespace

TEST_F(SpriteTest, TheFramesOfAStripWrapIntoTheRowsBelow)
{
    struct Case
    {
        const char* name;
        const char* texture;
        SpriteAnimation record;
        int frame;
        bool drawn;
        plat::RECT rect; // as the batch gets it: right and bottom one past the last pixel
    };
    SpriteAnimation noWidth = Strip(6, 100, true);
    noWidth.frameWidth = 0;
    SpriteAnimation wide = Strip(6, 100, true);
    wide.frameWidth = 200;
    const Case cases[] = {
        {"frame 0", kStrip, Strip(6, 100, true), 0, true, Rect(0, 0, 32, 32)},
        {"frame 2 ends the first row", kStrip, Strip(6, 100, true), 2, true, Rect(64, 0, 96, 32)},
        {"frame 4 is the second of the second row", kStrip, Strip(6, 100, true), 4, true,
         Rect(32, 32, 64, 64)},
        {"from x 16 two fit a row", kStrip, Strip(6, 100, true, 16), 2, true, Rect(16, 32, 48, 64)},
        {"a texture a pixel short holds two a row", "short.png", Strip(6, 100, true), 2, true,
         Rect(0, 32, 32, 64)},
        {"a frame wider than the texture stays on frame 0", kStrip, wide, 3, true, Rect(0, 0, 200, 32)},
        {"a negative frame is frame 0", kStrip, Strip(6, 100, true), -5, true, Rect(0, 0, 32, 32)},
        {"a frame without width draws nothing", kStrip, noWidth, 1, false, plat::RECT()},
        {"no texture draws nothing", "", Strip(6, 100, true), 1, false, plat::RECT()},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CSprite sprite(c.texture);
        sprite.AddAnimation("Strip", c.record, true);
        sprite.GetCurrentAnimation()->currentFrame = c.frame;
        const auto draws = Draws(sprite);
        ASSERT_EQ(draws.size(), c.drawn ? 1u : 0u);
        if (c.drawn)
        {
            EXPECT_EQ(Show(draws[0].rect), Show(c.rect));
        }
    }
}

TEST_F(SpriteTest, GetSourceRectIsFrameZeroEndingOnItsLastPixel)
{
    CSprite sprite(kStrip);
    plat::RECT rect = Rect(1, 2, 3, 4);
    sprite.GetSourceRect(rect);
    EXPECT_EQ(Show(rect), Show(plat::RECT())) << "no animation";
    const int centre[2] = {5, 6};
    sprite.AddGridAnimation("Grid", 32, 16, 3, 10, 20, 50, centre, true);
    sprite.GetSourceRect(rect);
    EXPECT_EQ(Show(rect), Show(Rect(10, 20, 41, 35)));
    const SpriteAnimation* grid = sprite.GetCurrentAnimation();
    ASSERT_NE(grid, nullptr);
    EXPECT_TRUE(grid->paused) << "grid animations start paused";
    EXPECT_EQ(grid->name, "Grid");
    EXPECT_EQ(sprite.GetCenterX(), 5);
    EXPECT_EQ(sprite.GetCenterY(), 6);
    EXPECT_FLOAT_EQ(sprite.GetWidth(), 32.0f);
    sprite.SetScale(2.0f, 0.5f, 1.0f);
    EXPECT_FLOAT_EQ(sprite.GetWidth(), 64.0f);
    EXPECT_FLOAT_EQ(sprite.GetHeight(), 8.0f);
}

TEST(SpriteFrames, StepByWholeFrameTimesAndStopOrWrapAtTheEnd)
{
    struct Case
    {
        const char* name;
        SpriteAnimation record;
        std::vector<int> updates; // milliseconds
        int frame;
        int accumulated;
    };
    SpriteAnimation paused = Strip(5, 100, true);
    paused.paused = true;
    const Case cases[] = {
        {"5 x 100 ms, 2 s, no loop: the last frame", Strip(5, 100, false), {2000}, 4, 0},
        {"5 x 100 ms, 2 s, looping: 20 mod 5", Strip(5, 100, true), {2000}, 0, 0},
        {"the remainder carries", Strip(5, 100, true), {35, 35, 35, 35, 35, 35, 35, 35, 35, 35}, 3, 50},
        {"short of a frame", Strip(5, 100, true), {99}, 0, 99},
        {"paused", paused, {1000}, 0, 0},
        {"no frames", Strip(0, 100, true), {1000}, 0, 0},
        {"a negative frame count", Strip(-3, 100, true), {1000}, 0, 0},
        {"no frame time", Strip(5, 0, true), {1000}, 0, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CSprite sprite;
        sprite.AddAnimation("Strip", c.record, true);
        for (int ms : c.updates)
            sprite.Update(ms);
        EXPECT_EQ(sprite.GetCurrentAnimation()->currentFrame, c.frame);
        EXPECT_EQ(sprite.GetCurrentAnimation()->accumulatedTime, c.accumulated);
    }
}

TEST(SpriteFrames, SetAnimationKeepsTheRunningOneRestartsTheOldAndRenamesOnlyWhenAsked)
{
    CSprite sprite;
    SpriteAnimation walk = Strip(5, 100, true);
    walk.name = "Walk";
    walk.centerX = 7;
    SpriteAnimation jump = Strip(5, 100, true);
    jump.name = "Jump";
    jump.centerX = 3;
    sprite.AddAnimation("Walk", walk, true);
    EXPECT_TRUE(sprite.AddAnimation("Jump", jump, false));
    EXPECT_FALSE(sprite.AddAnimation("Walk", jump, false)) << "a name in use keeps its record";
    EXPECT_EQ(sprite.GetAnimations().at("Walk").centerX, 7);
    sprite.Update(250);
    ASSERT_EQ(sprite.GetCurrentAnimation()->currentFrame, 2);

    sprite.SetAnimation("Walk");
    EXPECT_EQ(sprite.GetCurrentAnimation()->currentFrame, 2) << "the running animation keeps its frame";
    EXPECT_EQ(sprite.GetCurrentAnimation()->accumulatedTime, 50);

    sprite.SetAnimation("Jump");
    EXPECT_TRUE(sprite.IsCurrentAnimation("Jump"));
    EXPECT_EQ(sprite.GetCenterX(), 3);
    EXPECT_EQ(sprite.GetAnimations().at("Walk").currentFrame, 0) << "the old one restarts";
    EXPECT_EQ(sprite.GetAnimations().at("Walk").accumulatedTime, 0);

    sprite.SetAnimation("NoSuchAnimation");
    EXPECT_TRUE(sprite.IsCurrentAnimation("Jump")) << "an unknown name changes nothing";
    EXPECT_FALSE(sprite.IsCurrentAnimation(""));

    sprite.SetRenameCurrent(true);
    sprite.SetAnimation("PressedAnimation");
    EXPECT_TRUE(sprite.IsCurrentAnimation("PressedAnimation")) << "the current one takes the state name";
    EXPECT_EQ(sprite.GetAnimations().at("Jump").name, "PressedAnimation");
    sprite.SetAnimation("Jump");
    EXPECT_TRUE(sprite.IsCurrentAnimation("Jump")) << "chosen by its key it takes the key back";

    sprite.SetAnimation("null");
    EXPECT_EQ(sprite.GetCurrentAnimation(), nullptr);
    EXPECT_FLOAT_EQ(sprite.GetWidth(), 0.0f);
}

TEST(SpriteTree, DepthsGrowByGenerationAndUnitsAreFoundDepthFirst)
{
    CSprite root;
    auto* child = new CSprite();
    auto* grandchild = new CSprite();
    auto* other = new CSprite();
    ASSERT_TRUE(child->AddChild("OK", grandchild));
    ASSERT_TRUE(root.AddChild("b", child));
    ASSERT_TRUE(root.AddChild("a", other));
    EXPECT_EQ(grandchild->GetParent(), child);
    EXPECT_EQ(root.GetChildren().begin()->second.get(), other) << "name order";

    root.SetDepth(3);
    EXPECT_EQ(root.GetDepth(), 3);
    EXPECT_EQ(child->GetDepth(), 4);
    EXPECT_EQ(grandchild->GetDepth(), 5);
    EXPECT_TRUE(root.DepthLess(*child));
    EXPECT_FALSE(child->DepthLess(*other)) << "4 is not less than 4";

    EXPECT_EQ(root.FindChild("OK"), grandchild);
    EXPECT_EQ(root.FindChild("a"), other);
    EXPECT_EQ(root.FindChild("none"), nullptr);

    // A taken name: nothing changes and the caller keeps its unit.
    CSprite spare;
    EXPECT_FALSE(root.AddChild("a", &spare));
    EXPECT_EQ(root.FindChild("a"), other);
    EXPECT_EQ(spare.GetParent(), nullptr);

    // A unit already in a tree, or one above, cannot be taken again.
    testsupport::AssertCapture asserts;
    EXPECT_FALSE(other->AddChild("loop", &root));
    EXPECT_FALSE(other->AddChild("twice", grandchild));
    EXPECT_EQ(asserts.Reports().size(), 2u);

    root.SetVisible(false, true);
    EXPECT_FALSE(grandchild->IsVisible());
    root.SetVisible(true, false);
    EXPECT_FALSE(child->IsVisible());
    root.SetAlpha(0.25f, true);
    EXPECT_FLOAT_EQ(grandchild->GetAlpha(), 0.25f);
    root.SetAlpha(1.0f, false);
    EXPECT_FLOAT_EQ(child->GetAlpha(), 0.25f);
}

TEST(SpriteTree, InputGoesToTheFirstChildInNameOrderThatTakesIt)
{
    struct Taker : CSprite
    {
        Taker(bool takes, std::vector<std::string>* seen, std::string name)
            : takes(takes), seen(seen), who(std::move(name))
        {
        }
        bool HandleInput(const dorvo::input::InputEvent*, float) override
        {
            seen->push_back(who);
            return takes;
        }
        void Update(int ms) override
        {
            seen->push_back(who + " " + std::to_string(ms));
            CSprite::Update(ms);
        }
        bool takes;
        std::vector<std::string>* seen;
        std::string who;
    };
    std::vector<std::string> seen;
    CSprite root;
    root.AddChild("c", new Taker(true, &seen, "c"));
    root.AddChild("a", new Taker(false, &seen, "a"));
    root.AddChild("b", new Taker(true, &seen, "b"));
    EXPECT_TRUE(root.HandleInput(nullptr, 0.0f));
    EXPECT_EQ(seen, (std::vector<std::string>{"a", "b"}));
    seen.clear();
    root.Update(33);
    EXPECT_EQ(seen, (std::vector<std::string>{"a 33", "b 33", "c 33"}));
}

TEST_F(SpriteTest, MovingAParentMovesWhereItsChildrenDraw)
{
    auto* child = new CSprite(kStrip);
    auto* grandchild = new CSprite(kStrip);
    child->SetPosition(10, 20);
    grandchild->SetPosition(1, 2);
    // Built from the leaves up: the grandchild is filed before its parent has one.
    ASSERT_TRUE(child->AddChild("g", grandchild));
    CSprite parent(kStrip);
    parent.SetPosition(100, 50);
    ASSERT_TRUE(parent.AddChild("c", child));
    EXPECT_EQ(grandchild->GetAbsoluteX(), 111);
    EXPECT_EQ(grandchild->GetAbsoluteY(), 72);

    parent.SetPosition(200, 80);
    EXPECT_EQ(child->GetPositionX(), 10) << "the child's own position stays";
    EXPECT_EQ(child->GetOffsetX(), 200);
    for (CSprite* s : {child, grandchild})
        s->AddAnimation("Strip", Strip(6, 100, true), true);
    const auto draws = Draws(*child, *grandchild);
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_FLOAT_EQ(draws[0].matrix.m[3][0], 210.0f);
    EXPECT_FLOAT_EQ(draws[0].matrix.m[3][1], 100.0f);
    EXPECT_FLOAT_EQ(draws[1].matrix.m[3][0], 211.0f);
    EXPECT_FLOAT_EQ(draws[1].matrix.m[3][1], 102.0f);
}

TEST_F(SpriteTest, ColourChannelsBecomeBytesAndASkinTintsPlainSprites)
{
    CSprite sprite(kStrip);
    sprite.AddAnimation("Strip", Strip(6, 100, true), true);
    struct Case
    {
        const char* name;
        float r, g, b, a;
        bool skin;
        bool useSkin;
        plat::D3DCOLOR color;
    };
    const plat::D3DXCOLOR skin[dorvo::gfx::SKIN_ColorCount] = {
        {1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}, {0.5f, 0.5f, 0.5f, 1}, {0.2f, 0.4f, 0.6f, 0.1f}};
    const Case cases[] = {
        {"1.5, -0.2, 0.5", 1.5f, -0.2f, 0.5f, 1.0f, false, true, 0xFFFF0080u},
        {"half alpha", 1.0f, 1.0f, 1.0f, 0.5f, false, true, 0x80FFFFFFu},
        {"the skin's sprite colour with the sprite's alpha", 1.0f, 1.0f, 1.0f, 0.5f, true, true, 0x80336699u},
        {"its own colours when told so", 0.0f, 1.0f, 0.0f, 1.0f, true, false, 0xFF00FF00u},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        sprite.SetColor(c.r, c.g, c.b);
        sprite.SetAlpha(c.a, false);
        sprite.SetUseSkinColor(c.useSkin);
        dorvo::gfx::g_GuiSkinColors = c.skin ? skin : nullptr;
        const auto draws = Draws(sprite);
        dorvo::gfx::g_GuiSkinColors = nullptr;
        ASSERT_EQ(draws.size(), 1u);
        EXPECT_EQ(draws[0].color, c.color) << std::hex << draws[0].color;
    }
}

TEST_F(SpriteTest, TheTransformScalesAndTurnsAboutThePivotAndPutsItOnThePosition)
{
    struct Case
    {
        const char* name;
        float sx, sy, roll;
        float expected[4][4];
    };
    // Pivot (10, 20) on the absolute position (100, 50).
    const Case cases[] = {
        {"position only", 1, 1, 0, {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {90, 30, 0, 1}}},
        {"scale 2 by 3", 2, 3, 0, {{2, 0, 0, 0}, {0, 3, 0, 0}, {0, 0, 1, 0}, {80, -10, 0, 1}}},
        {"a quarter turn", 1, 1, 1.5707964f, {{0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 1, 0}, {120, 40, 0, 1}}},
        {"scaled, then turned",
         2,
         3,
         1.5707964f,
         {{0, 2, 0, 0}, {-3, 0, 0, 0}, {0, 0, 1, 0}, {160, 30, 0, 1}}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CSprite sprite(kStrip);
        SpriteAnimation record = Strip(6, 100, true);
        record.centerX = 10;
        record.centerY = 20;
        sprite.AddAnimation("Strip", record, true);
        sprite.SetPosition(60, 30);
        sprite.SetOffset(40, 20);
        sprite.SetScale(c.sx, c.sy, 1.0f);
        sprite.SetRotation(0.0f, 0.0f, c.roll);
        const auto draws = Draws(sprite);
        ASSERT_EQ(draws.size(), 1u);
        for (int r = 0; r < 4; ++r)
            for (int col = 0; col < 4; ++col)
                EXPECT_NEAR(draws[0].matrix.m[r][col], c.expected[r][col], 1e-4f) << r << ", " << col;
    }
}

TEST_F(SpriteTest, InterpolationsAreAppliedAndTheirHandlesClearedWhenDoneOrUnknown)
{
    common::CInterpolationMgr& manager = common::CInterpolationMgr::Instance();
    CSprite sprite;
    auto* child = new CSprite();
    sprite.AddChild("child", child);
    sprite.SetInterpolation(CSprite::IP_Position,
                            manager.AddVector3(math::Vector3(0, 0, 0), math::Vector3(101, -51, 0), 1.0f, 0));
    sprite.SetInterpolation(CSprite::IP_Alpha, manager.AddFloat(1.0f, 0.0f, 1.0f, 1));
    sprite.SetInterpolation(CSprite::IP_Red, manager.AddFloat(0.0f, 0.5f, 1.0f, 0));
    sprite.SetInterpolation(CSprite::IP_Green, manager.AddFloat(0.0f, 0.25f, 2.0f, 0));
    sprite.SetInterpolation(CSprite::IP_Blue, 987654);
    sprite.SetInterpolation(CSprite::IP_Scale,
                            manager.AddVector3(math::Vector3(1, 1, 1), math::Vector3(3, 5, 1), 1.0f, 0));

    plat::testclock::Advance(0.5);
    sprite.Update(0);
    EXPECT_EQ(sprite.GetPositionX(), 50) << "50.5 truncated";
    EXPECT_EQ(sprite.GetPositionY(), -25) << "-25.5 truncated toward zero";
    EXPECT_EQ(child->GetOffsetX(), 50);
    EXPECT_NEAR(sprite.GetAlpha(), 0.5f, 1e-5f);
    EXPECT_NEAR(child->GetAlpha(), 0.5f, 1e-5f) << "the alpha reaches the descendants";
    EXPECT_NEAR(sprite.GetRed(), 0.25f, 1e-5f);
    EXPECT_NEAR(sprite.GetScaleY(), 3.0f, 1e-5f);
    EXPECT_FLOAT_EQ(sprite.GetBlue(), 1.0f) << "an unknown id changes nothing";
    EXPECT_EQ(sprite.GetInterpolation(CSprite::IP_Blue), CSprite::kNoInterpolation);
    EXPECT_NE(sprite.GetInterpolation(CSprite::IP_Position), CSprite::kNoInterpolation);

    plat::testclock::Advance(0.6);
    sprite.Update(0);
    EXPECT_EQ(sprite.GetPositionX(), 101);
    EXPECT_FLOAT_EQ(sprite.GetAlpha(), 0.0f);
    EXPECT_FLOAT_EQ(sprite.GetScaleX(), 3.0f);
    for (auto which : {CSprite::IP_Position, CSprite::IP_Alpha, CSprite::IP_Red, CSprite::IP_Scale})
        EXPECT_EQ(sprite.GetInterpolation(which), CSprite::kNoInterpolation) << which;
    EXPECT_NE(sprite.GetInterpolation(CSprite::IP_Green), CSprite::kNoInterpolation) << "still running";
    EXPECT_NEAR(sprite.GetGreen(), 0.1375f, 1e-4f);
}

TEST(SpriteSave, WritesItsKindAndReadsNothing)
{
    TiXmlElement parent("Units");
    CSprite sprite;
    dorvo::gfx::CTextSprite text;
    EXPECT_TRUE(sprite.Serialize(&parent));
    EXPECT_TRUE(text.Save(&parent));
    ASSERT_NE(parent.FirstChildElement(), nullptr);
    EXPECT_STREQ(parent.FirstChildElement()->Value(), "Sprite");
    EXPECT_STREQ(parent.FirstChildElement()->NextSiblingElement()->Value(), "TextSprite");
    EXPECT_EQ(parent.FirstChildElement()->FirstChild(), nullptr);
    EXPECT_FALSE(sprite.Save(nullptr));
    TiXmlText words("x");
    EXPECT_FALSE(text.Save(&words));
    EXPECT_TRUE(sprite.Load(&parent));
    EXPECT_FALSE(sprite.Load(nullptr));
}
