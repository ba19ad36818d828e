// The graphics facade on the headless device: how the configuration opens the device, the
// failure the user is told about, and screenshots of the finished frame.
#include "engine/gfx/CDorvoGfx.h"

#include "TestSupport.h"
#include "engine/SEngineConfigInfo.h"
#include "engine/gfx/CGFXCore.h"
#include "engine/gfx/SpriteBatch.h"
#include "platform/files.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <stb_image.h>

#include <cstdio>
#include <string>
#include <vector>

using dorvo::SEngineConfigInfo;
using dorvo::gfx::CDorvoGfx;

namespace
{
void RenderThroughGraphics(plat::IDirect3DDevice9*, double, float, void*)
{
    CDorvoGfx::Instance().Render();
}

class CDorvoGfxTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        plat::headless::Reset();
        plat::DXUTInit(false, false, false, true);
    }
    void TearDown() override
    {
        gfx.Release();
        plat::headless::Reset();
    }

    CDorvoGfx& gfx = CDorvoGfx::Instance();
};

struct Png
{
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
};

Png ReadPng(const std::string& name)
{
    Png png;
    int channels = 0;
    unsigned char* data = stbi_load(name.c_str(), &png.width, &png.height, &channels, 3);
    if (data)
    {
        png.rgb.assign(data, data + static_cast<std::size_t>(png.width) * png.height * 3);
        stbi_image_free(data);
    }
    return png;
}
} // namespace

TEST_F(CDorvoGfxTest, DefaultsOpenAWindowed800By600SolidDeviceWhateverTheRecordHolds)
{
    SEngineConfigInfo config; // use defaults
    config.fullScreen = true;
    config.screenWidth = 1024;
    config.screenHeight = 768;
    config.wireframe = true;
    config.deviceOption = false;
    ASSERT_TRUE(gfx.Init(config));

    EXPECT_TRUE(plat::headless::HasWindow());
    EXPECT_FALSE(plat::headless::IsFullScreen());
    EXPECT_EQ(plat::headless::BackBufferWidth(), 800u);
    EXPECT_EQ(plat::headless::BackBufferHeight(), 600u);
    EXPECT_FALSE(gfx.IsWireframe());
    EXPECT_TRUE(gfx.GetDeviceOption());
}

TEST_F(CDorvoGfxTest, ALoadedRecordChoosesScreenFillFoldersFogAndLights)
{
    SEngineConfigInfo config;
    config.useDefaults = false;
    config.fullScreen = true;
    config.screenWidth = 1024;
    config.screenHeight = 768;
    config.wireframe = true;
    config.deviceOption = false;
    config.texturePath = "tex/";
    config.fxPath = "fx/";
    config.meshPath = "mesh/";
    config.fxFiles = {"A.fx", "B.fx"};
    config.postProcessFxFiles = {"Bloom.fx"};
    config.fogColor[0] = 0.5f;
    config.fogColor[3] = 1.0f;
    config.fogStart = 200.0f;
    config.fogEnd = 600.0f;
    config.fogDensity = 0.002f;
    dorvo::SEngineLight light;
    light.light.Type = plat::D3DLIGHT_DIRECTIONAL;
    light.light.Direction.y = -1.0f;
    light.index = 0;
    dorvo::SEngineLight outOfRange = light;
    outOfRange.index = CDorvoGfx::kMaxLights;
    config.lights = {light, outOfRange};

    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(gfx.Init(config));
    const std::string err = ::testing::internal::GetCapturedStderr();

    EXPECT_TRUE(plat::headless::IsFullScreen());
    EXPECT_EQ(plat::headless::BackBufferWidth(), 1024u);
    EXPECT_EQ(plat::headless::BackBufferHeight(), 768u);
    EXPECT_TRUE(gfx.IsWireframe());
    EXPECT_FALSE(gfx.GetDeviceOption());
    EXPECT_EQ(gfx.GetTexturePath(), "tex/");
    EXPECT_EQ(gfx.GetEffectPath(), "fx/");
    EXPECT_EQ(gfx.GetMeshPath(), "mesh/");
    EXPECT_EQ(gfx.GetEffectFiles(), (std::vector<std::string>{"A.fx", "B.fx"}));
    EXPECT_EQ(gfx.GetPostProcessEffectFiles(), (std::vector<std::string>{"Bloom.fx"}));
    EXPECT_EQ(gfx.GetFogColor(), (std::array<float, 4>{0.5f, 0.0f, 0.0f, 1.0f}));
    EXPECT_FLOAT_EQ(gfx.GetFogStart(), 200.0f);
    EXPECT_FLOAT_EQ(gfx.GetFogEnd(), 600.0f);
    EXPECT_FLOAT_EQ(gfx.GetFogDensity(), 0.002f);
    ASSERT_NE(gfx.GetLight(0), nullptr);
    EXPECT_EQ(gfx.GetLight(0)->Type, plat::D3DLIGHT_DIRECTIONAL);
    EXPECT_FLOAT_EQ(gfx.GetLight(0)->Direction.y, -1.0f);
    EXPECT_EQ(gfx.GetLight(1), nullptr);
    EXPECT_NE(err.find("light slot 8 does not exist"), std::string::npos) << err;
}

TEST_F(CDorvoGfxTest, AFailedDeviceShowsTheErrorBoxAndReturnsFalse)
{
    plat::headless::FailNextDeviceCreation();
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(gfx.Init(SEngineConfigInfo()));
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(
        err.find("Error: Failed To Create D3D Device!\nPlease Check Your System Specs Against The Minimum "
                 "Requirements."),
        std::string::npos)
        << err;
    EXPECT_EQ(plat::DXUTGetD3D9Device(), nullptr);
}

TEST_F(CDorvoGfxTest, LostAndResetFollowTheDevice)
{
    ASSERT_TRUE(gfx.Init(SEngineConfigInfo()));
    EXPECT_FALSE(gfx.IsDeviceLost());
    gfx.OnLostDevice();
    EXPECT_TRUE(gfx.IsDeviceLost());
    gfx.OnResetDevice();
    EXPECT_FALSE(gfx.IsDeviceLost());
}

TEST_F(CDorvoGfxTest, ScreenshotsSaveTheNextFinishedFrameWithoutOverwritingEarlierOnes)
{
    testsupport::TempWorkDir dir;
    {
        std::FILE* earlier = plat::OpenFile("DorvoScrshot_0.png", "wb");
        ASSERT_NE(earlier, nullptr);
        std::fputs("an earlier run's shot", earlier);
        std::fclose(earlier);
    }
    SEngineConfigInfo config;
    config.fogColor[0] = 1.0f; // the frame clears to the fog colour: red
    ASSERT_TRUE(gfx.Init(config));
    plat::DXUTSetCallbackFrameRender(&RenderThroughGraphics);

    gfx.TakeScreenShot("");
    gfx.TakeScreenShot("named.png");
    EXPECT_EQ(plat::ListFiles("*.png"), (std::vector<std::string>{"DorvoScrshot_0.png"}))
        << "nothing before a frame";

    plat::DXUTRender3DEnvironment();
    std::vector<std::string> files = plat::ListFiles("*.png");
    ASSERT_EQ(files.size(), 3u) << ::testing::PrintToString(files);
    std::string numbered = files[0] == "DorvoScrshot_0.png" ? files[1] : files[0];
    EXPECT_EQ(numbered.rfind("DorvoScrshot_", 0), 0u) << numbered;
    EXPECT_NE(std::find(files.begin(), files.end(), "named.png"), files.end());

    for (const std::string& name : {numbered, std::string("named.png")})
    {
        SCOPED_TRACE(name);
        Png png = ReadPng(name);
        ASSERT_EQ(png.width, 800);
        ASSERT_EQ(png.height, 600);
        EXPECT_EQ(png.rgb[0], 255);
        EXPECT_EQ(png.rgb[1], 0);
        EXPECT_EQ(png.rgb[png.rgb.size() - 1], 0);
    }

    plat::DXUTRender3DEnvironment();
    EXPECT_EQ(plat::ListFiles("*.png").size(), 3u) << "one request, one file";
}

// A resize through the frame driver: the core, the fonts and the sprite batch let go of their
// device-pool resources before the reset and draw again after it at the new size.
TEST_F(CDorvoGfxTest, DeviceLossAndResetReachTheCoreTheFontsAndTheSpriteBatch)
{
    ASSERT_TRUE(gfx.Init(SEngineConfigInfo()));
    plat::DXUTSetCallbackDeviceLost([](void*) { CDorvoGfx::Instance().OnLostDevice(); });
    plat::DXUTSetCallbackDeviceReset(
        [](plat::IDirect3DDevice9*, const plat::D3DSURFACE_DESC*, void*)
        {
            CDorvoGfx::Instance().OnResetDevice();
            return plat::S_OK;
        });
    auto drawText = []()
    {
        dorvo::gfx::CGFXCore& core = dorvo::gfx::CGFXCore::Instance();
        plat::ID3DXSprite* batch = dorvo::gfx::GetSpriteBatch();
        core.BeginFrame();
        batch->Begin(plat::D3DXSPRITE_ALPHABLEND);
        plat::RECT rect;
        rect.left = 10;
        rect.top = 10;
        CDorvoGfx::Instance().GetFonts()[4]->DrawTextW(batch, L"Reset", -1, &rect, plat::DT_NOCLIP, 0xFF000000u);
        batch->End();
        core.EndScene();
    };
    drawText();
    EXPECT_GT(plat::headless::LiveDefaultResources(), 0u) << "the batch's buffers";

    ::testing::internal::CaptureStderr();
    plat::headless::InjectMessage(plat::WM_SIZE, 0, plat::MAKELPARAM(640, 480));
    plat::MSG msg;
    while (plat::PeekMessageW(&msg, nullptr, 0, 0, plat::PM_REMOVE))
        plat::DispatchMessageW(&msg);
    plat::DXUTRender3DEnvironment();
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.find("still alive"), std::string::npos) << err;
    EXPECT_FALSE(gfx.IsDeviceLost());
    EXPECT_EQ(gfx.GetWidth(), 640);
    EXPECT_EQ(dorvo::gfx::GetScreenHeight(), 480u);
    EXPECT_EQ(dorvo::gfx::CGFXCore::Instance().GetViewportRecord(0).viewport.Width, 640u);

    plat::headless::SetCallLogging(true);
    drawText();
    unsigned draws = 0;
    for (const auto& call : plat::headless::CallLog())
        draws += call.kind == plat::devicedebug::CallKind::Draw ? 1 : 0;
    EXPECT_EQ(draws, 1u) << "the text drew again after the reset";
}
