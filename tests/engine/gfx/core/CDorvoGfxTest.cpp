// The graphics facade on the headless device: how the configuration opens the device and fills
// the managers, the failure the user is told about, the order of its start-up, loss, reset and
// release, the frame (viewport passes by the render flags, the 2D layer in depth order, line
// strips), its console commands and screenshots of the finished frame.
#include "engine/gfx/core/CDorvoGfx.h"

#include "GfxTestWorld.h"
#include "LogCapture.h"
#include "PngPicture.h"
#include "TestSupport.h"
#include "common/ConsoleInterface.h"
#include "common/HashName.h"
#include "common/Singleton.h"
#include "engine/Component.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/SEngineConfigInfo.h"
#include "engine/gfx/core/CAtmosphereManager.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/core/CLightsManager.h"
#include "engine/gfx/core/CTextureManager.h"
#include "engine/gfx/core/MatrixConvert.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "engine/gfx/sprites/SpriteBatch.h"
#include "platform/files.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>

using dorvo::SEngineConfigInfo;
using dorvo::gfx::CDorvoGfx;
using dorvo::gfx::CGFXCore;
using plat::devicedebug::CallKind;
using Steps = std::vector<std::string>;

namespace
{
void RenderThroughGraphics(plat::IDirect3DDevice9*, double time, float dt, void*)
{
    CDorvoGfx::Instance().RenderFrame(time, dt);
}

class CDorvoGfxTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        plat::headless::Reset();
        plat::DXUTInit(false, false, false, true);
        gfx.SetRenderFlags(CDorvoGfx::kDefaultRenderFlags);
    }
    void TearDown() override
    {
        gfx.SetStepTrace(nullptr);
        GobManager::Instance().DestroyAllGobs();
        gfx.Release();
        gfx.SetRenderFlags(CDorvoGfx::kDefaultRenderFlags);
        plat::headless::Reset();
    }

    // One frame with the step trace and the call log on.
    Steps Frame()
    {
        Steps steps;
        gfx.SetStepTrace(&steps);
        plat::headless::ClearCallLog();
        plat::headless::SetCallLogging(true);
        gfx.RenderFrame(2.0, 0.033f);
        plat::headless::SetCallLogging(false);
        gfx.SetStepTrace(nullptr);
        return steps;
    }

    static std::size_t Count(const Steps& steps, const std::string& step)
    {
        return static_cast<std::size_t>(std::count(steps.begin(), steps.end(), step));
    }

    static void Run(const std::string& line)
    {
        common::ConsoleInterface::Instance().WriteToConsole(line, common::FF_Execute, true);
    }

    CDorvoGfx& gfx = CDorvoGfx::Instance();
};

std::string ReadText(const std::string& name)
{
    std::string text;
    if (std::FILE* file = plat::OpenFile(name, "rb"))
    {
        char buffer[256];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            text.append(buffer, got);
        std::fclose(file);
    }
    return text;
}
} // namespace

// First in this program, so it sees the facade as its constructor left it.
TEST(CDorvoGfxConstruction, RegistersItsCommandsWithTheirHelpAndSetsTheDefaultFlags)
{
    CDorvoGfx& gfx = CDorvoGfx::Instance();
    EXPECT_EQ(gfx.GetRenderFlags(), 0x000A007Fu);
    const std::pair<const char*, const char*> commands[] = {
        {"setwireframe", "Set Wireframe. Take in TRUE: wireframe, FALSE: solid"},
        {"setsgo", "Set Scenegraph Visibility Optimization. Take In TRUE: on, FALSE: off"},
        {"getsgo", "Get Scenegraph Visibility Optimization Mode. Return TRUE: on, FALSE: off"},
        {"getvpindex", "Get Current Viewport Index. Return The Index"},
        {"takescrshot", "Take A Screenshot. Take In OutputFileName [ OPTIONAL ]"},
        {"clearpp", "Clear The Post Processing Effects Queue"},
        {"removelastpp", "Remove The Last Post Processing Effect On The Queue"},
        {"togglepp", "Toggle Post Processing Effects"},
        {"togglewater", "Toggle Water Rendering"},
        {"qpp", "Queue A Post Processing Effect. Take In Name Of PP"},
        {"dumpwatermaps",
         "Dump The Water Maps To RefMap.png And RefracMap.png. Take In TRUE: on, FALSE: off"},
    };
    common::ConsoleInterface& console = common::ConsoleInterface::Instance();
    for (const auto& command : commands)
    {
        SCOPED_TRACE(command.first);
        EXPECT_NE(console.GetCommands().FindFunction(command.first), nullptr);
        auto help = console.GetHelpTexts().find(command.first);
        ASSERT_NE(help, console.GetHelpTexts().end());
        EXPECT_EQ(help->second, command.second);
    }
    // The five component names, the 2D one real.
    for (const char* name : {"GfxModelComp", "GfxWaterComp", "GfxTerrainComp", "Gfx2DComp", "GfxClothComp"})
        EXPECT_NE(GobManager::Instance().FindCreator(HashName(name)), nullptr) << name;
    Component* component = GobManager::Instance().CreateComponent(HashName("Gfx2DComp"));
    EXPECT_NE(dynamic_cast<dorvo::gfx::Gfx2DComp*>(component), nullptr);
    delete component;
}

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
    EXPECT_EQ(gfx.GetScreenWidth(), 800u);
    EXPECT_EQ(gfx.GetScreenHeight(), 600u);
    EXPECT_FALSE(gfx.IsWireframe());
    EXPECT_TRUE(gfx.GetDeviceOption());
}

TEST_F(CDorvoGfxTest, ALoadedRecordChoosesScreenFillFoldersAndFillsTheAtmosphereAndTheLights)
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
    dorvo::SEngineLight spot = light;
    spot.light.Type = plat::D3DLIGHT_SPOT;
    spot.index = 3;
    dorvo::SEngineLight outOfRange = light;
    outOfRange.index = dorvo::gfx::CLightsManager::kLightSlots;
    config.lights = {light, spot, outOfRange};

    testsupport::LogCapture logged;
    ASSERT_TRUE(gfx.Init(config));
    const std::string err = logged.Text();

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

    const dorvo::gfx::CAtmosphereManager& atmosphere = dorvo::gfx::CAtmosphereManager::Instance();
    EXPECT_EQ(atmosphere.GetFogColor(), (dorvo::gfx::CAtmosphereManager::Color{0.5f, 0.0f, 0.0f, 1.0f}));
    EXPECT_FLOAT_EQ(atmosphere.GetFogStart(), 200.0f);
    EXPECT_FLOAT_EQ(atmosphere.GetFogEnd(), 600.0f);
    EXPECT_FLOAT_EQ(atmosphere.GetFogDensity(), 0.002f);

    const dorvo::gfx::CLightsManager& lights = dorvo::gfx::CLightsManager::Instance();
    EXPECT_EQ(lights.GetLight().Type, plat::D3DLIGHT_DIRECTIONAL) << "slot 0 is the scene light";
    EXPECT_FLOAT_EQ(lights.GetLight().Direction.y, -1.0f);
    ASSERT_NE(lights.GetLight(3), nullptr);
    EXPECT_EQ(lights.GetLight(3)->Type, plat::D3DLIGHT_SPOT);
    EXPECT_EQ(lights.GetLight(1), nullptr);
    EXPECT_NE(err.find("light slot 8 does not exist"), std::string::npos) << err;
}

TEST_F(CDorvoGfxTest, InitTakesItsStepsInOrderAndMakesNothingAfterAFailedDevice)
{
    Steps steps;
    gfx.SetStepTrace(&steps);
    ASSERT_TRUE(gfx.Init(SEngineConfigInfo()));
    EXPECT_EQ(steps, (Steps{"settings", "folders", "device", "renderer", "effect manager", "texture manager",
                            "mesh manager", "fonts", "lights manager", "atmosphere manager", "water manager",
                            "post-processor", "particle manager", "effect files", "post-processing files",
                            "fog", "lights", "line"}));
    gfx.Release();

    steps.clear();
    plat::headless::FailNextDeviceCreation();
    testsupport::LogCapture logged;
    EXPECT_FALSE(gfx.Init(SEngineConfigInfo()));
    const std::string err = logged.Text();
    // The message box's text, also in the log as one line.
    EXPECT_TRUE(
        logged.Contains("MessageBoxW: Error: Failed To Create D3D Device! Please Check Your System Specs "
                        "Against The Minimum Requirements."))
        << err;
    EXPECT_EQ(plat::DXUTGetD3D9Device(), nullptr);
    EXPECT_EQ(steps, (Steps{"settings", "folders", "device"}));
    EXPECT_EQ(gfx.GetFonts()[0], nullptr);
    EXPECT_FALSE(common::Singleton<dorvo::gfx::CLightsManager>::Exists());
}

TEST_F(CDorvoGfxTest, LossResetAndReleaseReachTheHoldersInTheirOrder)
{
    ASSERT_TRUE(gfx.Init(SEngineConfigInfo()));
    const Steps deviceOrder{"core",           "effect manager", "water manager", "renderer",
                            "post-processor", "mesh manager",   "device units",  "particle manager",
                            "fonts",          "sprite batch",   "line"};
    Steps steps;
    gfx.SetStepTrace(&steps);
    gfx.OnLostDevice();
    EXPECT_TRUE(gfx.IsDeviceLost());
    EXPECT_EQ(steps, deviceOrder);
    steps.clear();
    gfx.OnResetDevice();
    EXPECT_FALSE(gfx.IsDeviceLost());
    EXPECT_EQ(steps, deviceOrder);

    steps.clear();
    gfx.Release();
    EXPECT_EQ(steps, (Steps{"scene graphs", "backdrop", "water and terrain lists", "line", "particle manager",
                            "post-processor", "water manager", "lights manager", "atmosphere manager",
                            "fonts", "sprite batch", "mesh manager", "texture manager", "effect manager",
                            "renderer", "core"}));
    EXPECT_FALSE(common::Singleton<dorvo::gfx::CLightsManager>::Exists());
    EXPECT_FALSE(common::Singleton<dorvo::gfx::CAtmosphereManager>::Exists());
    EXPECT_FALSE(common::Singleton<dorvo::gfx::CTextureManager>::Exists());
    EXPECT_FALSE(common::Singleton<CGFXCore>::Exists());
    EXPECT_EQ(dorvo::gfx::g_pSprite, nullptr);

    // A reset without a device does nothing.
    steps.clear();
    gfx.OnResetDevice();
    EXPECT_TRUE(steps.empty());
}

// A resize through the frame driver: every holder lets go of its default-pool resources before
// the reset (the device names any survivor) and draws again after it at the new size.
TEST_F(CDorvoGfxTest, DeviceLossAndResetLeaveNoDefaultPoolSurvivorAndEverythingDrawsAgain)
{
    ASSERT_TRUE(gfx.Init(SEngineConfigInfo()));
    plat::DXUTSetCallbackDeviceLost([](void*) { CDorvoGfx::Instance().OnLostDevice(); });
    plat::DXUTSetCallbackDeviceReset(
        [](plat::IDirect3DDevice9*, const plat::D3DSURFACE_DESC*, void*)
        {
            CDorvoGfx::Instance().OnResetDevice();
            return plat::S_OK;
        });
    std::vector<std::string> log;
    gfxtest::LogUnit unit("unit", 1, &log);
    gfx.SetRenderFlags(gfx.GetRenderFlags() | CDorvoGfx::RF_LINES);
    auto drawFrame = [&]()
    {
        gfx.SetScreenUnits({&unit});
        gfx.AddLineStrip({plat::D3DXVECTOR3{0, 0, 0}, plat::D3DXVECTOR3{1, 1, 1}},
                         plat::D3DXCOLOR(1, 1, 1, 1));
        plat::ID3DXSprite* batch = dorvo::gfx::GetSpriteBatch();
        ASSERT_NE(batch, nullptr);
        CGFXCore::Instance().BeginFrame();
        batch->Begin(plat::D3DXSPRITE_ALPHABLEND);
        plat::RECT rect;
        rect.left = 10;
        rect.top = 10;
        gfx.GetFonts()[4]->DrawTextW(batch, L"Reset", -1, &rect, plat::DT_NOCLIP, 0xFF000000u);
        batch->End();
        CGFXCore::Instance().EndScene();
        gfx.RenderFrame(1.0, 0.033f);
    };
    drawFrame();
    EXPECT_GT(plat::headless::LiveDefaultResources(), 0u) << "the batch's and the line's buffers";

    testsupport::LogCapture logged;
    plat::headless::InjectMessage(plat::WM_SIZE, 0, plat::MAKELPARAM(640, 480));
    plat::MSG msg;
    while (plat::PeekMessageW(&msg, nullptr, 0, 0, plat::PM_REMOVE))
        plat::DispatchMessageW(&msg);
    plat::DXUTRender3DEnvironment();
    const std::string err = logged.Text();
    EXPECT_EQ(err.find("still alive"), std::string::npos) << err;
    EXPECT_FALSE(gfx.IsDeviceLost());
    EXPECT_EQ(gfx.GetScreenWidth(), 640u);
    EXPECT_EQ(dorvo::gfx::GetScreenHeight(), 480u);
    EXPECT_EQ(CGFXCore::Instance().GetViewportRecord(0).viewport.Width, 640u);

    plat::headless::ClearCallLog();
    plat::headless::SetCallLogging(true);
    drawFrame();
    plat::headless::SetCallLogging(false);
    EXPECT_EQ(gfxtest::CallsOf(CallKind::Draw).size(), 2u) << "the text and the line drew again";
    EXPECT_EQ(gfxtest::CallsOf(CallKind::Line).size(), 1u);
}

TEST_F(CDorvoGfxTest, WhileTheDeviceIsLostAFrameDrawsNothingButStillEmptiesItsLists)
{
    ASSERT_TRUE(gfx.Init(SEngineConfigInfo()));
    std::vector<std::string> log;
    gfxtest::LogUnit unit("unit", 1, &log);
    gfx.SetScreenUnits({&unit});
    gfx.OnLostDevice();
    const Steps steps = Frame();
    EXPECT_TRUE(plat::headless::CallLog().empty());
    EXPECT_EQ(Count(steps, "begin frame"), 0u);
    EXPECT_EQ(steps.back(), "end frame");
    gfx.OnResetDevice();
    Frame();
    EXPECT_TRUE(gfxtest::Only(log, ":render").empty()) << "the lost frame's list was emptied";
}

// With the default flags: one pass of viewport 0 with the scene graphs, particles and the
// sprites; no post-processing; one sprite batch; the scene begun, cleared to opaque black and
// ended once.
TEST_F(CDorvoGfxTest, DefaultFlagsRunOnePassWithoutPostProcessingAndOneSpriteBatch)
{
    ASSERT_TRUE(gfx.Init(SEngineConfigInfo()));
    const Steps steps = Frame();
    EXPECT_EQ(steps,
              (Steps{"prepare frame", "sort 2D units", "water and terrain graphs", "begin frame",
                     "viewport 0", "water test", "scene", "terrain graph", "opaque graph", "water graph",
                     "transparent graph", "particles", "sprites", "end scene", "end frame"}));
    EXPECT_EQ(gfxtest::CallsOf(CallKind::BeginScene).size(), 1u);
    EXPECT_EQ(gfxtest::CallsOf(CallKind::EndScene).size(), 1u);
    EXPECT_EQ(gfxtest::CallsOf(CallKind::SpriteBegin).size(), 1u);
    EXPECT_EQ(gfxtest::CallsOf(CallKind::SpriteEnd).size(), 1u);
    const auto clears = gfxtest::CallsOf(CallKind::Clear);
    ASSERT_EQ(clears.size(), 1u);
    EXPECT_EQ(clears[0].color, 0xFF000000u) << "opaque black, whatever the fog";
    EXPECT_EQ(gfx.GetViewportIndex(), 0u);
}

TEST_F(CDorvoGfxTest, EachFlagSwitchesItsStepsOfThePass)
{
    ASSERT_TRUE(gfx.Init(SEngineConfigInfo()));
    struct Case
    {
        std::uint32_t flags;
        Steps pass; // the steps from "viewport 0" to the end of its 2D layer
    };
    const std::uint32_t base = CDorvoGfx::RF_VIEWPORT0;
    const Case cases[] = {
        {base, {"viewport 0", "scene"}},
        {base | CDorvoGfx::RF_POST_PROCESSING | CDorvoGfx::RF_SPRITES,
         {"viewport 0", "scene targets", "scene", "post-processing", "sprites"}},
        {base | CDorvoGfx::RF_MODELS | CDorvoGfx::RF_LINES,
         {"viewport 0", "scene", "opaque graph", "transparent graph", "lines"}},
        {base | CDorvoGfx::RF_TERRAIN | CDorvoGfx::RF_PARTICLES,
         {"viewport 0", "scene", "terrain graph", "particles"}},
        {base | CDorvoGfx::RF_WATER, {"viewport 0", "water test", "scene", "water graph"}},
        {CDorvoGfx::RF_SPRITES | CDorvoGfx::RF_MODELS, {}}, // no viewport at all
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << std::hex << c.flags);
        gfx.SetRenderFlags(c.flags);
        Steps steps = Frame();
        auto first = std::find(steps.begin(), steps.end(), "begin frame") + 1;
        auto last = std::find(steps.begin(), steps.end(), "end scene");
        EXPECT_EQ(Steps(first, last), c.pass);
        EXPECT_EQ(gfx.GetRenderFlags(), c.flags);
    }
}

// Secondary viewports: each made current before its clear (which stays inside it), run without
// post-processing or sprites, the second-viewport flag only for record 1; both flags are as they
// were afterwards. A record without a usable rectangle is skipped rather than clearing the main
// picture.
TEST_F(CDorvoGfxTest, SecondaryViewportsClearOnlyThemselvesAndGiveTheFlagsBack)
{
    ASSERT_TRUE(gfx.Init(SEngineConfigInfo()));
    CGFXCore& core = CGFXCore::Instance();
    core.GetViewportRecord(1).viewport = plat::D3DVIEWPORT9{600, 0, 200, 150, 0.0f, 1.0f};
    core.GetViewportRecord(2).viewport = plat::D3DVIEWPORT9{0, 450, 200, 150, 0.0f, 1.0f};
    // Record 3 keeps its empty rectangle.
    const std::uint32_t flags = CDorvoGfx::kDefaultRenderFlags | CDorvoGfx::RF_POST_PROCESSING |
                                CDorvoGfx::RF_VIEWPORT1 | CDorvoGfx::RF_VIEWPORT2 | CDorvoGfx::RF_VIEWPORT3;
    gfx.SetRenderFlags(flags);

    const Steps steps = Frame();
    EXPECT_EQ(gfx.GetRenderFlags(), flags);
    EXPECT_EQ(Count(steps, "viewport 0"), 1u);
    EXPECT_EQ(Count(steps, "viewport 1"), 1u);
    EXPECT_EQ(Count(steps, "viewport 2"), 1u);
    EXPECT_EQ(Count(steps, "viewport 3"), 0u);
    EXPECT_EQ(Count(steps, "viewport skipped"), 1u);
    EXPECT_EQ(Count(steps, "post-processing"), 1u) << "only the main pass";
    EXPECT_EQ(Count(steps, "sprites"), 1u) << "only the main pass";
    EXPECT_EQ(gfxtest::CallsOf(CallKind::SpriteBegin).size(), 1u);

    // On the back buffer (the main pass's post-processing clears its own targets).
    plat::IDirect3DSurface9* backBuffer = nullptr;
    ASSERT_TRUE(plat::SUCCEEDED(core.GetBackBuffer(0, 0, &backBuffer)));
    const unsigned backBufferNumber = plat::devicedebug::CreationNumber(backBuffer);
    backBuffer->Release();
    std::vector<plat::devicedebug::LoggedCall> clears;
    for (const plat::devicedebug::LoggedCall& call : gfxtest::CallsOf(CallKind::Clear))
        if (call.target == backBufferNumber)
            clears.push_back(call);
    ASSERT_EQ(clears.size(), 3u) << "the frame's and one for each usable secondary viewport";
    const plat::RECT expected[] = {{600, 0, 800, 150}, {0, 450, 200, 600}};
    for (int i = 0; i < 2; ++i)
    {
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(clears[i + 1].rect.left, expected[i].left);
        EXPECT_EQ(clears[i + 1].rect.top, expected[i].top);
        EXPECT_EQ(clears[i + 1].rect.right, expected[i].right);
        EXPECT_EQ(clears[i + 1].rect.bottom, expected[i].bottom);
        EXPECT_EQ(clears[i + 1].color, 0xFF000000u);
        EXPECT_EQ(clears[i + 1].flags,
                  static_cast<plat::DWORD>(plat::D3DCLEAR_TARGET | plat::D3DCLEAR_ZBUFFER));
    }
    EXPECT_FALSE(core.IsSecondViewport());
    EXPECT_EQ(gfx.GetViewportIndex(), 0u) << "record 0 is current again";
    plat::D3DVIEWPORT9 viewport{};
    plat::DXUTGetD3D9Device()->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, 800u);
}

// The game's units and those of two components in one list: ascending depth, and at equal
// depth the game's first, then the components by owner id, each in its collected order.
TEST_F(CDorvoGfxTest, TheGameAndTheComponentsUnitsDrawInDepthOrderTiesInCollectedOrder)
{
    ASSERT_TRUE(gfx.Init(SEngineConfigInfo()));
    gfxtest::Load2DTemplate();
    Gob* first = GobManager::Instance().CreateGob("Screen2D");
    Gob* second = GobManager::Instance().CreateGob("Screen2D");
    ASSERT_TRUE(first && second);
    auto* a = static_cast<dorvo::gfx::Gfx2DComp*>(first->GetComponent(dorvo::gfx::Gfx2DComp::StaticTypeID()));
    auto* b =
        static_cast<dorvo::gfx::Gfx2DComp*>(second->GetComponent(dorvo::gfx::Gfx2DComp::StaticTypeID()));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(gfx.Get2DComps().size(), 2u);

    std::vector<std::string> log;
    // Made in an order that is neither the drawing nor the name order.
    gfxtest::LogUnit b1("b1", 3, &log), a1("a1", 5, &log), g1("g1", 3, &log), g2("g2", 1, &log);
    auto* a2 = new gfxtest::LogUnit("a2", 3, &log); // a1's child, collected after it
    auto* a0 = new gfxtest::LogUnit("a0", 3, &log); // also a1's child, before a2 by name
    ASSERT_TRUE(b->AddUnit("b1", &b1, ""));
    ASSERT_TRUE(a->AddUnit("a1", &a1, ""));
    ASSERT_TRUE(a->AddUnit("a2", a2, "a1"));
    ASSERT_TRUE(a->AddUnit("a0", a0, "a1"));

    gfx.SetScreenUnits({&g1, &g2});
    Frame();
    EXPECT_EQ(gfxtest::Only(log, ":render"), (std::vector<std::string>{"g2", "g1", "a0", "a2", "b1", "a1"}));

    log.clear();
    Frame();
    EXPECT_EQ(gfxtest::Only(log, ":render"), (std::vector<std::string>{"a0", "a2", "b1", "a1"}))
        << "the game's list is for one frame";

    // The components leave the facade with their objects.
    a->RemoveUnit("a1");
    b->RemoveUnit("b1");
    GobManager::Instance().DestroyAllGobs();
    EXPECT_TRUE(gfx.Get2DComps().empty());
    log.clear();
    Frame();
    EXPECT_TRUE(log.empty());
}

TEST_F(CDorvoGfxTest, UnregisterTakesOutOnlyTheComponentItNames)
{
    dorvo::gfx::Gfx2DComp a, b;
    gfx.Register2DComp(&a, 40);
    gfx.Unregister2DComp(&b, 40);
    ASSERT_EQ(gfx.Get2DComps().count(40), 1u);
    EXPECT_EQ(gfx.Get2DComps().at(40), &a);
    gfx.Unregister2DComp(&a, 40);
    EXPECT_EQ(gfx.Get2DComps().count(40), 0u);
}

TEST_F(CDorvoGfxTest, TogglingWaterTwiceGivesItBackAndWithoutItNoWaterStepRuns)
{
    ASSERT_TRUE(gfx.Init(SEngineConfigInfo()));
    Run("togglewater");
    EXPECT_EQ(gfx.GetRenderFlags() & CDorvoGfx::RF_WATER, 0u);
    const Steps dry = Frame();
    EXPECT_EQ(Count(dry, "water test"), 0u);
    EXPECT_EQ(Count(dry, "water graph"), 0u);
    Run("togglewater");
    EXPECT_EQ(gfx.GetRenderFlags(), CDorvoGfx::kDefaultRenderFlags);
    EXPECT_EQ(Count(Frame(), "water test"), 1u);

    Run("togglepp");
    EXPECT_NE(gfx.GetRenderFlags() & CDorvoGfx::RF_POST_PROCESSING, 0u);
    Run("togglepp");
    EXPECT_EQ(gfx.GetRenderFlags(), CDorvoGfx::kDefaultRenderFlags);
}

TEST_F(CDorvoGfxTest, DeviceCommandsReachTheCoreAndThePostProcessingOnesAreAcceptedQuietly)
{
    ASSERT_TRUE(gfx.Init(SEngineConfigInfo()));
    common::ConsoleInterface& console = common::ConsoleInterface::Instance();
    Run("setwireframe true");
    EXPECT_TRUE(gfx.IsWireframe());
    Run("setwireframe false");
    EXPECT_EQ(CGFXCore::Instance().GetFillMode(), plat::D3DFILL_SOLID);
    Run("setsgo false");
    EXPECT_FALSE(gfx.GetSceneGraphOptimization());
    Run("setsgo true");
    EXPECT_TRUE(CGFXCore::Instance().GetVisibilityOptimization());
    CGFXCore::Instance().SetViewport(2);
    EXPECT_EQ(gfx.GetViewportIndex(), 2u);

    for (const char* line : {"getsgo", "getvpindex", "clearpp", "removelastpp", "qpp Bloom true"})
    {
        SCOPED_TRACE(line);
        console.ClearOutput();
        Run(line);
        ASSERT_FALSE(console.GetOutputLines().empty());
        const std::string name = std::string(line).substr(0, std::string(line).find(' '));
        EXPECT_EQ(console.GetOutputLines().front(), ">Function: " + name + " called successfully.");
    }
    console.ClearOutput();
    Run("qpp Bloom");
    EXPECT_EQ(console.GetOutputLines().front(),
              ">Function: qpp parameter list does not match function prototype.")
        << "only takescrshot may leave an argument out";
    EXPECT_EQ(gfx.GetRenderFlags(), CDorvoGfx::kDefaultRenderFlags);
}

// A strip is drawn with view x projection of the core, in its colour, only while lines are on,
// and lives for one frame either way.
TEST_F(CDorvoGfxTest, LineStripsDrawWithViewTimesProjectionOnlyWhileLinesAreOn)
{
    ASSERT_TRUE(gfx.Init(SEngineConfigInfo()));
    CGFXCore& core = CGFXCore::Instance();
    dorvo::gfx::SViewportRecord& record = core.GetViewportRecord(0);
    record.view =
        math::Matrix4::LookAtLH(math::Vector3(0, 2, -10), math::Vector3(0, 0, 0), math::Vector3(0, 1, 0));
    record.projection = math::Matrix4::PerspectiveFovLH(0.8f, 4.0f / 3.0f, 1.0f, 100.0f);
    const std::vector<plat::D3DXVECTOR3> strip{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}};

    gfx.AddLineStrip(strip, plat::D3DXCOLOR(1.5f, -0.2f, 0.5f, 1.0f));
    Frame();
    EXPECT_TRUE(gfxtest::CallsOf(CallKind::Line).empty()) << "lines are off by default";

    gfx.SetRenderFlags(CDorvoGfx::kDefaultRenderFlags | CDorvoGfx::RF_LINES);
    Frame();
    EXPECT_TRUE(gfxtest::CallsOf(CallKind::Line).empty()) << "the strip was for the frame it was added in";

    gfx.AddLineStrip(strip, plat::D3DXCOLOR(1.5f, -0.2f, 0.5f, 1.0f));
    gfx.AddLineStrip({{0, 0, 0}}, plat::D3DXCOLOR(1, 1, 1, 1)); // one point joins nothing
    Frame();
    const auto lines = gfxtest::CallsOf(CallKind::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].color, 0xFFFF0080u);
    EXPECT_EQ(lines[0].points.size(), 3u);
    const plat::D3DXMATRIX expected = dorvo::gfx::ToD3DXMatrix(record.projection * record.view);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_FLOAT_EQ(lines[0].matrix.m[r][c], expected.m[r][c]) << r << ", " << c;

    Frame();
    EXPECT_TRUE(gfxtest::CallsOf(CallKind::Line).empty());
}

TEST_F(CDorvoGfxTest, UpdateRunsTheLightUpdatersWithTheFrameTimes)
{
    struct Dimmer : dorvo::gfx::ILightUpdater
    {
        void Update(plat::D3DLIGHT9& light, double time, float dt) override
        {
            light.Range = static_cast<float>(time) + dt;
        }
    };
    gfx.Update(1.0, 0.5f); // before Init: no lights manager to update, none made
    EXPECT_FALSE(common::Singleton<dorvo::gfx::CLightsManager>::Exists());
    ASSERT_TRUE(gfx.Init(SEngineConfigInfo()));
    dorvo::gfx::CLightsManager::Instance().AddUpdater(std::make_unique<Dimmer>());
    gfx.Update(3.0, 0.25f);
    EXPECT_FLOAT_EQ(dorvo::gfx::CLightsManager::Instance().GetLight().Range, 3.25f);
}

std::vector<std::string> s_consoleLines;
void RecordConsoleLine(const std::string& line, common::Function_Flags flags)
{
    if (flags == common::FF_Display)
        s_consoleLines.push_back(line);
}

// A typed name that would write outside the run folder, over the game's data or into something
// that is no regular file is refused on the spot with one "ERROR:" line, nothing is written and
// the frames go on; a plain name still takes the picture.
TEST_F(CDorvoGfxTest, ScreenshotNamesThatLeaveTheRunFolderOrHitDataAreRefusedWithOneLine)
{
    namespace fs = std::filesystem;
    testsupport::TempWorkDir dir;
    fs::create_directories("files/xmlfiles");
    fs::create_directories("textures/hud");
    fs::create_directories("shots/folder.png");
    const auto write = [](const std::string& name, const std::string& text) { std::ofstream(name) << text; };
    write("files/xmlfiles/QUORBSettings.xml", "settings");
    write("textures/hud/AccIcon.png", "art");
    write("InitGame.lua", "script");
    ASSERT_EQ(::mkfifo("pipe.png", 0600), 0);
    const std::string outside = dir.Path() + "-outside.png";
    const std::string unique = fs::path(dir.Path()).filename().string(); // no other run's file counts
    const std::string escape = "../" + unique + "-escape.png";
    fs::create_symlink(outside, "link.png");
    fs::create_symlink(fs::temp_directory_path(), "away");
    SEngineConfigInfo config;
    config.texturePath = "textures/";
    ASSERT_TRUE(gfx.Init(config));
    plat::DXUTSetCallbackFrameRender(&RenderThroughGraphics);
    const auto previousHook = common::ConsoleInterface::SetLineHook(&RecordConsoleLine);

    const struct
    {
        std::string name;
        std::string why;
    } refused[] = {
        {"files/xmlfiles/QUORBSettings.xml", "a picture must be a .png, .bmp or .jpg file"},
        {"InitGame.lua", "a picture must be a .png, .bmp or .jpg file"},
        {"textures/hud/AccIcon.png", "the folder holds the game's data"},
        {"TEXTURES\\hud\\new.png", "the folder holds the game's data"},
        {escape, "the name leaves the run folder"},
        {outside, "the name leaves the run folder"},
        {"away/" + unique + ".png", "the name leaves the run folder"},
        {"pipe.png", "it is a FIFO, not a regular file"},
        {"link.png", "it is a symbolic link, not a regular file"},
        {"shots/folder.png", "it is a folder, not a regular file"},
    };
    for (const auto& entry : refused)
    {
        SCOPED_TRACE(entry.name);
        s_consoleLines.clear();
        const std::size_t refusals = common::ConsoleInterface::GetRefusalCount();
        Run("takescrshot " + entry.name);
        plat::DXUTRender3DEnvironment();
        EXPECT_EQ(common::ConsoleInterface::GetRefusalCount(), refusals + 1);
        const std::string expected = "ERROR: Cannot save a screenshot as " + entry.name + ": " + entry.why;
        EXPECT_EQ(std::count(s_consoleLines.begin(), s_consoleLines.end(), expected), 1)
            << ::testing::PrintToString(s_consoleLines);
    }
    common::ConsoleInterface::SetLineHook(previousHook);
    EXPECT_EQ(ReadText("files/xmlfiles/QUORBSettings.xml"), "settings");
    EXPECT_EQ(ReadText("textures/hud/AccIcon.png"), "art");
    EXPECT_EQ(ReadText("InitGame.lua"), "script");
    EXPECT_FALSE(fs::exists(escape));
    EXPECT_FALSE(fs::exists(outside));
    EXPECT_FALSE(fs::exists(fs::temp_directory_path() / (unique + ".png")));
    EXPECT_TRUE(fs::is_fifo("pipe.png"));

    Run("takescrshot plain.png");
    Run("takescrshot shots/Plain.PNG");
    Run("takescrshot bare");
    plat::DXUTRender3DEnvironment();
    EXPECT_EQ(testsupport::LoadPng("plain.png").width, 800);
    EXPECT_EQ(testsupport::LoadPng("bare.png").width, 800) << "a name without an ending is a PNG";
    EXPECT_EQ(testsupport::LoadPng("shots/Plain.PNG").width, 800);
    EXPECT_EQ(std::count_if(fs::directory_iterator("."), fs::directory_iterator(),
                            [](const fs::directory_entry& e)
                            { return e.path().filename().string().find(".tmp") != std::string::npos; }),
              0);
}

// Numbered shots count from 0 in an empty folder, a named one leaves the count alone, a file
// already there is never written over; a bare "takescrshot" numbers its file; every shot is
// the finished frame at the back buffer's size.
TEST_F(CDorvoGfxTest, ScreenshotsAreNumberedFromZeroNamedOnesKeepTheCountAndNothingIsOverwritten)
{
    testsupport::TempWorkDir dir;
    ASSERT_TRUE(gfx.Init(SEngineConfigInfo()));
    plat::DXUTSetCallbackFrameRender(&RenderThroughGraphics);

    gfx.TakeScreenShot("");
    EXPECT_TRUE(plat::ListFiles("*.png").empty()) << "nothing before a frame";
    plat::DXUTRender3DEnvironment();
    EXPECT_EQ(plat::ListFiles("*.png"), (std::vector<std::string>{"DorvoScrshot_0.png"}));

    gfx.TakeScreenShot("named.png");
    plat::DXUTRender3DEnvironment();
    gfx.TakeScreenShot("");
    plat::DXUTRender3DEnvironment();
    std::vector<std::string> files = plat::ListFiles("*.png");
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"DorvoScrshot_0.png", "DorvoScrshot_1.png", "named.png"}));

    // An earlier run's shot in the way: skipped, left as it was.
    {
        std::ofstream earlier("DorvoScrshot_2.png", std::ios::binary);
        earlier << "an earlier run's shot";
    }
    Run("takescrshot");
    plat::DXUTRender3DEnvironment();
    EXPECT_TRUE(plat::FileExists("DorvoScrshot_3.png"));
    EXPECT_EQ(ReadText("DorvoScrshot_2.png"), "an earlier run's shot");
    Run("takescrshot shot.png");
    plat::DXUTRender3DEnvironment();
    EXPECT_TRUE(plat::FileExists("shot.png"));
    plat::DXUTRender3DEnvironment();
    EXPECT_EQ(plat::ListFiles("*.png").size(), 6u) << "one request, one file";

    for (const char* name : {"DorvoScrshot_0.png", "named.png", "DorvoScrshot_3.png", "shot.png"})
    {
        SCOPED_TRACE(name);
        const testsupport::PngPicture png = testsupport::LoadPng(name);
        ASSERT_EQ(png.width, 800);
        ASSERT_EQ(png.height, 600);
        EXPECT_EQ(png.rgb[0], 0);
        EXPECT_EQ(png.rgb[png.rgb.size() / 2], 0) << "the frame cleared to black";
    }
}
