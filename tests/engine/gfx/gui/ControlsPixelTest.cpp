// Controls drawn through the real OpenGL device on Xvfb with a skin installed: a button's
// centre in the unpressed, over and pressed colours of the skin, and an edit box showing its
// typed text with the caret. The pictures are saved under screenshots/ in the build folder.
// Skipped, with a message, where Xvfb is not installed.
#include "PixelTestFixture.h"
#include "VirtualDisplay.h"

#include "ControlTestKit.h"
#include "GfxTestWorld.h"
#include "engine/gfx/gui/CButton.h"
#include "engine/gfx/gui/EditBox.h"
#include "engine/gfx/gui/GuiSkinColors.h"
#include "engine/gfx/sprites/CTextSprite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <utility>

using dorvo::gfx::CButton;
using dorvo::gfx::CTextSprite;
using dorvo::gfx::EditBox;
using dorvo::gfx::IScreenUnit;
using dorvo::gfx::SpriteAnimation;
using gfxtest::Rgb;
using namespace controltest;
namespace input = dorvo::input;

namespace
{
constexpr int kWidth = 400;
constexpr int kHeight = 300;
constexpr char kTextures[] = "textures/";

const plat::D3DXCOLOR kSkin[5] = {
    {0.9f, 0.1f, 0.1f, 1.0f}, // pressed: red
    {0.1f, 0.7f, 0.1f, 1.0f}, // unpressed: green
    {0.1f, 0.2f, 0.9f, 1.0f}, // over: blue
    {0.5f, 0.5f, 0.5f, 1.0f}, // disabled
    {0.8f, 0.8f, 0.8f, 1.0f}, // sprites: light grey
};

class ControlsPixelTest : public gfxtest::PixelTestFixture
{
protected:
    ControlsPixelTest() : PixelTestFixture(kWidth, kHeight) {}

    void SetUp() override
    {
        PixelTestFixture::SetUp();
        if (!Ready())
            return;
        std::filesystem::create_directories(std::string(kTextures) + "hud");
        std::filesystem::copy_file(testsupport::RepoPath("data/textures/hud/WhiteBlock.png"),
                                   std::string(kTextures) + "hud/WhiteBlock.png");
        SetWindowConfig(kTextures);
        ASSERT_TRUE(gfx.Init(config));
        ASSERT_TRUE(TakeDevice());
        dorvo::gfx::g_GuiSkinColors = kSkin;
    }

    void TearDown() override
    {
        dorvo::gfx::g_GuiSkinColors = nullptr;
        ExpectNoGLErrors();
        StopDevice();
    }

    // One frame of the units and their descendants in depth order, saved under the name.
    void DrawFrame(std::vector<IScreenUnit*> roots, const std::string& picture)
    {
        std::vector<IScreenUnit*> units;
        std::function<void(IScreenUnit*)> collect = [&](IScreenUnit* unit)
        {
            units.push_back(unit);
            for (const auto& child : unit->GetChildren())
                collect(child.second.get());
        };
        for (IScreenUnit* root : roots)
            collect(root);
        ASSERT_NO_FATAL_FAILURE(DrawScreenUnits(std::move(units)));
        ASSERT_TRUE(device->ReadBackBuffer(pixels));
        ASSERT_TRUE(testsupport::SaveBackBuffer(device, picture));
    }

    void ExpectSkin(int x, int y, const plat::D3DXCOLOR& want) const
    {
        ExpectAt(x, y,
                 {static_cast<int>(want.r * 255 + 0.5f), static_cast<int>(want.g * 255 + 0.5f),
                  static_cast<int>(want.b * 255 + 0.5f)});
    }

    // Pixels clearly darker than the box (the text pulses between black and dark grey while edited) in the
    // rectangle (right and bottom exclusive).
    int Dark(int left, int top, int right, int bottom) const
    {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
            {
                const Rgb c = At(x, y);
                count += c.r + c.g + c.b < 3 * 200 ? 1 : 0;
            }
        return count;
    }
};
} // namespace

TEST_F(ControlsPixelTest, AButtonShowsTheSkinColourOfItsState)
{
    // One 32 x 32 white record, its top-left corner at (150, 80).
    Pointer pointer;
    const int position[2] = {150, 80};
    CButton button("hud/WhiteBlock.png", Record(32, 32), position, nullptr, nullptr, nullptr, nullptr,
                   nullptr, new SteeredHitTest(pointer));
    const int cx = 150 + 16, cy = 80 + 16;

    button.Update(33);
    DrawFrame({&button}, "controls_button_unpressed.png");
    ExpectSkin(cx, cy, kSkin[dorvo::gfx::SKIN_Unpressed]);
    ExpectSkin(150, 80, kSkin[dorvo::gfx::SKIN_Unpressed]);
    ExpectSkin(181, 111, kSkin[dorvo::gfx::SKIN_Unpressed]);
    EXPECT_EQ(At(149, 80).g, 0) << "nothing drawn left of the corner";
    EXPECT_EQ(At(150, 79).g, 0) << "nothing drawn above the corner";

    pointer.inside = true;
    button.Update(33);
    DrawFrame({&button}, "controls_button_over.png");
    ExpectSkin(cx, cy, kSkin[dorvo::gfx::SKIN_Over]);

    const input::InputEvent down = Event(input::MOUSE_BUTTON_0, 1);
    ASSERT_TRUE(button.HandleInput(&down, 0.033f));
    button.Update(33);
    DrawFrame({&button}, "controls_button_pressed.png");
    ExpectSkin(cx, cy, kSkin[dorvo::gfx::SKIN_Pressed]);
}

TEST_F(ControlsPixelTest, AnEditBoxShowsItsTypedTextAndCaret)
{
    // A light box with its own colour, 240 x 32 at (80, 120), the text 8 pixels in.
    SpriteAnimation background = Record(32, 32);
    background.hasColor = true;
    background.red = background.green = background.blue = 0.95f;
    const float ink[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    const int textAt[2] = {8, 8};
    auto* text = new CTextSprite("", dorvo::gfx::STextStyle(0, ink), textAt, 0);
    EditBox box("hud/WhiteBlock.png", background, text, nullptr, nullptr, 80, 120, "Name", 12, "");
    box.SetScale(240.0f / 32.0f, 1.0f, 1.0f);
    ASSERT_TRUE(box.AddChild("NameText", text));
    box.OnClick();
    // Each key as the platform gives it: its press, the character the layout types, its release.
    const std::pair<std::uint32_t, char> keys[] = {{35u, 'H'}, {23u, 'i'}, {57u, ' '}, {17u, 'w'}};
    for (const auto& key : keys)
    {
        const input::InputEvent press = Event(key.first, 1), typed = Event(input::TEXT_INPUT, key.second),
                                release = Event(key.first, 0);
        box.HandleInput(&press, 0.0f);
        box.HandleInput(&typed, 0.0f);
        box.HandleInput(&release, 0.0f);
    }
    ASSERT_EQ(text->GetText(), "Hi w|");
    box.Update(0);
    DrawFrame({&box}, "controls_editbox_caret.png");
    ExpectSkin(300, 140, plat::D3DXCOLOR(0.95f, 0.95f, 0.95f, 1.0f));
    const int withCaret = Dark(80, 120, 320, 152);
    EXPECT_GT(withCaret, 40) << "the text shows";

    // Half a second on the caret is hidden: the same text, fewer dark pixels.
    plat::testclock::Advance(0.6);
    box.Update(600);
    ASSERT_EQ(text->GetText(), "Hi w ");
    DrawFrame({&box}, "controls_editbox_blink.png");
    const int withoutCaret = Dark(80, 120, 320, 152);
    EXPECT_GT(withoutCaret, 30);
    EXPECT_GE(withCaret - withoutCaret, 8) << "the caret is a line of dark pixels";
}
