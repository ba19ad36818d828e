// The busy screen the 2D benchmark measures, checked on the headless device: all its units and
// the open console drawn in one sprite batch, in few draws, every frame alike.
#include "Screen2DScene.h"

#include "GfxTestWorld.h"
#include "engine/gfx/core/CDorvoGfx.h"

#include <gtest/gtest.h>

using plat::devicedebug::CallKind;

TEST(Screen2DScene, TenMenusAndTheOpenConsoleDrawInOneBatch)
{
    plat::headless::Reset();
    plat::DXUTInit(false, false, false, true);
    dorvo::SEngineConfigInfo config;
    config.texturePath = testsupport::RepoPath("data/textures/");
    dorvo::gfx::CDorvoGfx& gfx = dorvo::gfx::CDorvoGfx::Instance();
    ASSERT_TRUE(gfx.Init(config));
    {
        testsupport::Screen2DScene scene;
        ASSERT_TRUE(scene.Build());
        for (int frame = 0; frame < 2; ++frame)
        {
            SCOPED_TRACE(frame);
            plat::headless::ClearCallLog();
            plat::headless::SetCallLogging(true);
            scene.Update(0.033f);
            scene.Render(1.0, 0.033f);
            plat::headless::SetCallLogging(false);
            EXPECT_EQ(gfxtest::CallsOf(CallKind::SpriteBegin).size(), 1u);
            // Ten panels and 190 icons, and the console's two windows; 100 labels, 24 history
            // lines and the input line.
            EXPECT_EQ(gfxtest::CallsOf(CallKind::SpriteDraw).size(), 10u + 190u + 2u);
            std::size_t texts = 0; // the measurements of the first layouts aside
            for (const auto& call : gfxtest::CallsOf(CallKind::DrawText))
                texts += (call.flags & plat::DT_CALCRECT) == 0 ? 1 : 0;
            EXPECT_EQ(texts, 100u + 24u + 1u);
            EXPECT_LE(gfxtest::CallsOf(CallKind::Draw).size(), 40u) << "batched";
        }
    }
    GobManager::Instance().ProcessKillList();
    gfx.Release();
    plat::headless::Reset();
}
