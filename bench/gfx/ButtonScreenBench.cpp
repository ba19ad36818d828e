// A screen of 300 idle buttons (half of them with all four state records, every third under the
// pointer, each with a hit test, hot key, held-over and not-over callbacks) updated, offered a
// mouse move and drawn through the sprite batch on the headless device: the CPU cost of a full
// menu screen of controls. Goal: inside the 2D frame's 2 ms.
#include "common/InputEvent.h"
#include "engine/SEngineConfigInfo.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/gui/CButton.h"
#include "engine/gfx/gui/HeldOverFunct.h"
#include "engine/gfx/gui/PointInsideFunct.h"
#include "engine/gfx/sprites/SpriteBatch.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace
{
class FixedHit : public dorvo::gfx::PointInsideFunct
{
public:
    explicit FixedHit(bool inside) : m_inside(inside) {}
    bool operator()(const plat::POINT&) override { return m_inside; }

private:
    bool m_inside;
};

class Quiet : public dorvo::gfx::HeldOverFunct
{
public:
    explicit Quiet(float seconds) { delay = seconds; }
    void operator()() override {}
};

void BM_Buttons300Headless(benchmark::State& state)
{
    ::setenv("DORVO_HEADLESS", "1", 1);
    plat::headless::Reset();
    plat::DXUTInit(false, false, false, false);
    dorvo::SEngineConfigInfo config; // windowed 800 x 600
    config.texturePath = std::string(DORVO_SOURCE_DIR) + "/data/textures/";
    config.fxPath = std::string(DORVO_SOURCE_DIR) + "/data/fx/";
    dorvo::gfx::CDorvoGfx& gfx = dorvo::gfx::CDorvoGfx::Instance();
    if (!gfx.Init(config))
    {
        state.SkipWithError("no headless device");
        return;
    }
    {
        dorvo::gfx::SpriteAnimation record;
        record.frameWidth = 32;
        record.frameHeight = 32;
        record.frameCount = 1;
        std::vector<std::unique_ptr<dorvo::gfx::CButton>> buttons;
        for (int i = 0; i < 300; ++i)
        {
            const int position[2] = {(i % 20) * 40, (i / 20) * 40};
            const bool full = i % 2 == 0;
            buttons.push_back(std::make_unique<dorvo::gfx::CButton>(
                "hud/WhiteBlock.png", record, position, nullptr, full ? &record : nullptr,
                full ? &record : nullptr, full ? &record : nullptr, nullptr, new FixedHit(i % 3 == 0),
                new Quiet(0.5f), new Quiet(0.0f)));
            buttons.back()->AddHotKey(dorvo::input::KEY_F1);
        }
        dorvo::gfx::CGFXCore& core = dorvo::gfx::CGFXCore::Instance();
        plat::ID3DXSprite* batch = dorvo::gfx::GetSpriteBatch();
        dorvo::input::InputEvent move;
        move.code = dorvo::input::MOUSE_X;
        move.value = 3;
        for (auto _ : state)
        {
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
        }
    }
    gfx.Release();
    plat::DXUTShutdown();
}
} // namespace

BENCHMARK(BM_Buttons300Headless)->Unit(benchmark::kMillisecond);
