// A screen of 300 idle buttons updates, hit-tests, takes mouse moves and draws without allocating
// once the first frames are done: this program counts every allocation made while they work.
#include "AllocationCount.h"
#include "ControlTestKit.h"
#include "GfxTestWorld.h"
#include "engine/gfx/gui/CButton.h"

#include <gtest/gtest.h>

using dorvo::gfx::CButton;
using namespace controltest;

class ButtonAllocationTest : public gfxtest::HeadlessGfx
{
protected:
    Counts clicks, held, notOver;
};

TEST_F(ButtonAllocationTest, IdleButtonsWorkWithoutAllocating)
{
    ASSERT_TRUE(gfxtest::WriteStrip(std::string(kTextureFolder) + "strip.png", 3, 2, 32));
    // Every third button has the pointer resting on it; some carry all four records.
    Pointer over, away;
    over.inside = true;
    const dorvo::gfx::SpriteAnimation pressed = Record(32, 32), lit = Record(32, 32);
    std::vector<std::unique_ptr<CButton>> buttons;
    for (int i = 0; i < 300; ++i)
    {
        const int position[2] = {(i % 20) * 40, (i / 20) * 40};
        const bool full = i % 2 == 0;
        buttons.push_back(std::make_unique<CButton>(
            "strip.png", Record(32, 32), position, nullptr, full ? &pressed : nullptr, full ? &lit : nullptr,
            nullptr, new CountingPress(clicks), new SteeredHitTest(i % 3 ? away : over),
            new CountingHeldOver(held, 0.5f), new CountingHeldOver(notOver, 0.0f)));
        buttons.back()->AddHotKey(dorvo::input::KEY_F1);
    }

    dorvo::gfx::CGFXCore& core = dorvo::gfx::CGFXCore::Instance();
    plat::ID3DXSprite* batch = dorvo::gfx::GetSpriteBatch();
    ASSERT_NE(batch, nullptr);
    const dorvo::input::InputEvent move = Event(dorvo::input::MOUSE_X, 3);
    const auto frame = [&]
    {
        plat::testclock::Advance(1.0 / 30.0);
        for (auto& button : buttons)
        {
            button->Update(33);
            button->HandleInput(&move, 0.033f);
        }
        core.BeginFrame();
        batch->Begin(plat::D3DXSPRITE_ALPHABLEND);
        for (auto& button : buttons)
            button->Render(1.0, 0.033f);
        batch->End();
        core.EndScene();
    };
    for (int i = 0; i < 30; ++i)
        frame(); // past the held-over delay
    EXPECT_EQ(held.calls, 100);
    EXPECT_EQ(notOver.calls, 200);

    testsupport::StartCountingAllocations();
    for (int i = 0; i < 10; ++i)
        frame();
    EXPECT_EQ(testsupport::StopCountingAllocations(), 0u);
    EXPECT_EQ(clicks.calls, 0);
}
