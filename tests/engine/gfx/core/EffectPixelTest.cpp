// The committed scene effects on the real OpenGL device under Xvfb with Mesa's software
// renderer, made, loaded and bound by the engine itself (facade, effect manager, device core):
// every file compiles and links; quads drawn as the render queue draws units show each effect's
// look (texels exactly without light; ambient plus diffuse; the emissive map added; the pick
// highlight; the animated glow; linear fog), a near quad hides a far one, the top of clip
// space is the top of the picture, and clip plane 1 cuts where it should. Pictures under
// screenshots/ in the build folder. Skipped, with a message, where Xvfb is not installed.
#include "PixelTestFixture.h"
#include "VirtualDisplay.h"

#include "EffectScene.h"
#include "GfxTestWorld.h"
#include "LogCapture.h"
#include "engine/gfx/core/CAtmosphereManager.h"
#include "engine/gfx/core/SMaterial.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

using dorvo::gfx::CAtmosphereManager;
using dorvo::gfx::CFXManager;
using dorvo::gfx::CGFXCore;
using dorvo::gfx::SRenderRecord;
using gfxtest::Rgb;

namespace
{
constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kQuad = 64; // pixels
constexpr char kTextures[] = "textures/";

// The 64 x 64 texture whose texels are all different.
plat::D3DCOLOR Texel(unsigned x, unsigned y)
{
    return plat::D3DCOLOR_XRGB(x * 4, y * 4, (x * 7 + y * 13) & 0xFF);
}

class EffectPixelTest : public gfxtest::PixelTestFixture
{
protected:
    EffectPixelTest() : PixelTestFixture(kWidth, kHeight) {}

    void SetUp() override
    {
        PixelTestFixture::SetUp();
        if (!Ready())
            return;
        const std::string t = kTextures;
        ASSERT_TRUE(gfxtest::WritePng(t + "texels.png", kQuad, kQuad, Texel));
        ASSERT_TRUE(gfxtest::WritePng(t + "white.png", 8, 8, [](unsigned, unsigned) { return 0xFFFFFFFFu; }));
        ASSERT_TRUE(gfxtest::WritePng(t + "grey.png", 8, 8, [](unsigned, unsigned) { return 0xFF808080u; }));
        ASSERT_TRUE(gfxtest::WritePng(t + "emissive.png", 8, 8,
                                      [](unsigned x, unsigned)
                                      { return x < 4 ? 0xFF000000u : 0xFF006000u; }));
        ASSERT_TRUE(gfxtest::WritePng(t + "glow.png", 8, 8, [](unsigned, unsigned) { return 0xFF004000u; }));
        ASSERT_TRUE(gfxtest::WritePng(t + "red.png", 8, 8, [](unsigned, unsigned) { return 0xFFFF0000u; }));
        ASSERT_TRUE(gfxtest::WritePng(t + "blue.png", 8, 8, [](unsigned, unsigned) { return 0xFF0000FFu; }));
        ASSERT_TRUE(gfxtest::WritePng(t + "green.png", 8, 8, [](unsigned, unsigned) { return 0xFF00FF00u; }));

        SetWindowConfig(kTextures);
        config.fxPath = testsupport::RepoPath("data/fx") + "/";
        config.fxFiles = {"TextureMapping.fx", "PickedEffect.fx", "Glow.fx", "AnimatedGlow.fx",
                          "TextureMappingNoLight.fx"};
        testsupport::LogCapture logged;
        const bool started = gfx.Init(config);
        initErrors = logged.Text();
        ASSERT_TRUE(started);
        ASSERT_TRUE(TakeDevice());
        programsAtInit = plat::devicedebug::Statistics(device).effectPrograms;
        ASSERT_TRUE(fxscene::MakeUnitQuad(quad));
        for (const char* name : {"texels", "white", "grey", "emissive", "glow", "red", "blue", "green"})
        {
            plat::IDirect3DTexture9* texture = nullptr;
            ASSERT_TRUE(plat::SUCCEEDED(core.CreateTextureFromFile(t + name + ".png", &texture))) << name;
            textureByName[name] = texture;
        }
        plat::devicedebug::ResetStatistics(device);
    }

    void TearDown() override
    {
        ExpectNoGLErrors();
        for (auto& entry : textureByName)
            entry.second->Release();
        quad.Release();
        CAtmosphereManager::Instance().SetFogStart(0.0f);
        CAtmosphereManager::Instance().SetFogEnd(0.0f);
        StopDevice();
    }

    // The frame's shared values: identity camera (clip space is world space), the known
    // directional light, no fog unless a test sets it, the time given.
    void BeginFrame(double time = 0.0)
    {
        core.SetFrameTime(time, 0.033f);
        core.BeginFrame();
        core.SetView(math::Matrix4());
        core.SetProjection(math::Matrix4());
        plat::D3DLIGHT9 light{};
        light.Type = plat::D3DLIGHT_DIRECTIONAL;
        light.Direction = {0.0f, -0.8f, 0.6f}; // 0.6 of it falls on a quad facing the eye
        light.Ambient = {0.2f, 0.25f, 0.3f, 1.0f};
        light.Diffuse = {0.5f, 0.5f, 0.5f, 1.0f};
        light.Specular = {1.0f, 1.0f, 1.0f, 1.0f};
        core.SetLight(light);
    }

    // Ambient plus 0.6 of the diffuse light, times a texel channel (0 to 255).
    static Rgb Lit(int texel)
    {
        const float light[3] = {0.2f + 0.5f * 0.6f, 0.25f + 0.5f * 0.6f, 0.3f + 0.5f * 0.6f};
        return {static_cast<int>(std::lround(texel * light[0])),
                static_cast<int>(std::lround(texel * light[1])),
                static_cast<int>(std::lround(texel * light[2]))};
    }

    // A record of the quad over the pixel rectangle at depth z, drawn with the file's first
    // technique, textures T0, T5 and T1 as given.
    SRenderRecord& Unit(const std::string& file, const std::string& technique, const math::Matrix4& world,
                        const char* t0, const char* t5 = nullptr, const char* t1 = nullptr)
    {
        names.push_back(std::make_unique<std::string>(file));
        const std::string* fxFile = names.back().get();
        names.push_back(std::make_unique<std::string>(technique));
        const std::string* techniqueName = names.back().get();
        records.push_back(std::make_unique<SRenderRecord>());
        SRenderRecord& record = *records.back();
        record.fxFile = fxFile;
        record.technique = techniqueName;
        fxscene::Place(record, world);
        record.buffers = &quad;
        record.textures[0] = t0 ? textureByName.at(t0) : nullptr;
        record.textures[5] = t5 ? textureByName.at(t5) : nullptr;
        record.textures[1] = t1 ? textureByName.at(t1) : nullptr;
        return record;
    }

    math::Matrix4 Pixels(int left, int top, float z = 0.5f) const
    {
        return fxscene::PixelRect(left, top, kQuad, kQuad, kWidth, kHeight, z);
    }

    void Draw(const SRenderRecord& record) { ASSERT_TRUE(fxscene::DrawBatch({&record})); }

    // Ends the scene, reads the picture back and saves it.
    void Finish(const std::string& name)
    {
        core.EndScene();
        ReadBack(name);
    }

    // Every pixel of the 64 x 64 square at (left, top) within the tolerance of the colour.
    void ExpectSquare(int left, int top, Rgb want, int tolerance, const char* what) const
    {
        int wrong = 0;
        Rgb first{};
        for (int y = top; y < top + kQuad; ++y)
            for (int x = left; x < left + kQuad; ++x)
            {
                const Rgb got = At(x, y);
                if (std::abs(got.r - want.r) > tolerance || std::abs(got.g - want.g) > tolerance ||
                    std::abs(got.b - want.b) > tolerance)
                {
                    if (wrong++ == 0)
                        first = got;
                }
            }
        EXPECT_EQ(wrong, 0) << what << ": first wrong pixel " << first.r << ", " << first.g << ", " << first.b
                            << ", wanted " << want.r << ", " << want.g << ", " << want.b;
    }

    CGFXCore& core = CGFXCore::Instance();
    CFXManager& fx = CFXManager::Instance();
    std::string initErrors;
    unsigned programsAtInit = 0;
    dorvo::gfx::D3DRenderBuffers quad;
    std::map<std::string, plat::IDirect3DTexture9*> textureByName;
    std::vector<std::unique_ptr<std::string>> names;
    std::vector<std::unique_ptr<SRenderRecord>> records;
};
} // namespace

TEST_F(EffectPixelTest, EveryCommittedEffectCompilesAndLinksOnLlvmpipe)
{
    // The run-time log announces itself on its first use; nothing else may be said.
    const std::string logStart = "Runtime Log Begin\n";
    if (initErrors.rfind(logStart, 0) == 0)
        initErrors.erase(0, logStart.size());
    EXPECT_TRUE(initErrors.empty()) << initErrors;
    EXPECT_EQ(fx.GetEffectCount(), 5u);
    EXPECT_NE(fx.GetSharedEffect(), nullptr);
    EXPECT_EQ(programsAtInit, 12u)
        << "five files of two one-pass techniques, the plain texture's overlay and the "
           "post-processor's PPScene.fx; Dummy.fx has none";

    // And each again, file by file, into the same pool (so their shared types still agree).
    for (const auto& entry : std::filesystem::directory_iterator(testsupport::RepoPath("data/fx")))
    {
        SCOPED_TRACE(entry.path().filename().string());
        plat::ID3DXEffect* effect = nullptr;
        std::string errors;
        EXPECT_TRUE(plat::SUCCEEDED(core.LoadEffect(entry.path().string(), nullptr, plat::D3DXSHADER_DEBUG,
                                                    fx.GetPool(), &effect, &errors)));
        EXPECT_TRUE(errors.empty()) << errors;
        if (effect)
            effect->Release();
    }
}

TEST_F(EffectPixelTest, EachEffectShowsItsLook)
{
    // pulse = 1 at this time: the pick highlight at its strongest.
    const double peak = 3.14159265358979 / 12.0;
    BeginFrame(peak);
    Draw(Unit("TextureMappingNoLight.fx", "TextureMappingNoLight", Pixels(8, 16), "texels"));
    Draw(Unit("TextureMapping.fx", "TextureMapping", Pixels(88, 16), "white"));
    Draw(Unit("Glow.fx", "Glow", Pixels(168, 16), "grey", "emissive"));
    Draw(Unit("PickedEffect.fx", "PickedEffect", Pixels(8, 120), "white"));
    Draw(Unit("AnimatedGlow.fx", "AnimatedGlow", Pixels(88, 120), "grey", "glow", "white"));
    Draw(Unit("TextureMappingNoLight.fx", "ClothTextureMappingNoLight", Pixels(168, 120), "texels"));
    Finish("fx_authored_looks.png");

    // TextureMappingNoLight: the texture's own colours, texel for texel (once more as cloth).
    for (int left : {8, 168})
    {
        const int top = left == 8 ? 16 : 120;
        int wrong = 0;
        for (int y = 0; y < kQuad; ++y)
            for (int x = 0; x < kQuad; ++x)
            {
                const plat::D3DCOLOR want = Texel(static_cast<unsigned>(x), static_cast<unsigned>(y));
                wrong += (pixels[static_cast<std::size_t>(top + y) * kWidth + left + x] & 0xFFFFFFu) !=
                                 (want & 0xFFFFFFu)
                             ? 1
                             : 0;
            }
        EXPECT_EQ(wrong, 0) << "texels differing in the square at " << left << ", " << top;
    }
    // TextureMapping: a white texture under ambient plus diffuse light, no specular map.
    ExpectSquare(88, 16, Lit(255), 2, "TextureMapping");
    // Glow: the lit grey texture, plus the emissive map's green on its right half.
    const Rgb grey = Lit(128);
    ExpectAt(168 + 10, 40, grey);
    ExpectAt(168 + 54, 40, {grey.r, grey.g + 0x60, grey.b});
    // PickedEffect: lit white plus the full highlight (1, 0.8, 0.2) x 0.55, clamped.
    const Rgb white = Lit(255);
    ExpectSquare(8, 120,
                 {std::min(255, white.r + 140), std::min(255, white.g + 112), std::min(255, white.b + 28)}, 3,
                 "PickedEffect");
    // AnimatedGlow: lit grey plus the glow, doubled where the (white) animated map passes.
    ExpectSquare(88, 120, {grey.r, std::min(255, grey.g + 2 * 0x40), grey.b}, 3, "AnimatedGlow");
    // Nothing drawn between the squares.
    ExpectAt(80, 50, {0, 0, 0}, 0);
    ExpectAt(160, 150, {0, 0, 0}, 0);
}

TEST_F(EffectPixelTest, TextureMappingFadesLinearlyIntoTheFog)
{
    CAtmosphereManager& atmosphere = CAtmosphereManager::Instance();
    atmosphere.SetFogStart(0.2f);
    atmosphere.SetFogEnd(0.8f);
    atmosphere.SetFogColor({0.0f, 0.0f, 1.0f, 1.0f});
    BeginFrame();
    // In front of the fog, halfway into it, past its end (view depth = z here).
    Draw(Unit("TextureMapping.fx", "TextureMapping", Pixels(8, 16, 0.1f), "white"));
    Draw(Unit("TextureMapping.fx", "TextureMapping", Pixels(88, 16, 0.5f), "white"));
    Draw(Unit("TextureMapping.fx", "TextureMapping", Pixels(168, 16, 0.9f), "white"));
    Finish("fx_fog.png");

    const Rgb clear = Lit(255);
    ExpectSquare(8, 16, clear, 2, "before the fog");
    ExpectSquare(88, 16, {(clear.r + 1) / 2, (clear.g + 1) / 2, (clear.b + 255) / 2}, 2, "halfway");
    ExpectSquare(168, 16, {0, 0, 255}, 2, "past the end");
}

TEST_F(EffectPixelTest, DepthTheTopOfClipSpaceAndClipPlaneOne)
{
    BeginFrame();
    // Upper half of clip space (y 0.2 to 0.8): rows 24 to 96 of the 240.
    Draw(Unit("TextureMappingNoLight.fx", "TextureMappingNoLight",
              fxscene::ClipRect(-0.9f, 0.2f, -0.4f, 0.8f, 0.5f), "green"));
    // Near red first, then a far blue one over the same place: the red stays.
    Draw(Unit("TextureMappingNoLight.fx", "TextureMappingNoLight",
              fxscene::ClipRect(-0.3f, -0.5f, 0.2f, 0.5f, 0.3f), "red"));
    Draw(Unit("TextureMappingNoLight.fx", "TextureMappingNoLight",
              fxscene::ClipRect(-0.35f, -0.6f, 0.25f, 0.6f, 0.7f), "blue"));
    // Clip plane 1 keeps x >= 0.6 w: a quad from x 0.3 to 1 is cut at pixel column 256.
    const float plane[4] = {1.0f, 0.0f, 0.0f, -0.6f};
    core.SetClipPlane(1, plane);
    core.SetRenderState(plat::D3DRS_CLIPPLANEENABLE, 2);
    Draw(Unit("TextureMappingNoLight.fx", "TextureMappingNoLight",
              fxscene::ClipRect(0.3f, -0.5f, 1.0f, 0.5f, 0.5f), "green"));
    core.SetRenderState(plat::D3DRS_CLIPPLANEENABLE, 0);
    Finish("fx_depth_y_clip.png");

    ExpectAt(30, 30, {0, 255, 0});
    ExpectAt(30, 90, {0, 255, 0});
    ExpectAt(30, 20, {0, 0, 0});
    ExpectAt(30, 100, {0, 0, 0});
    ExpectAt(30, 200, {0, 0, 0}); // nothing in the lower half

    ExpectAt(130, 120, {255, 0, 0}); // the near quad hides the far one
    ExpectAt(106, 120, {0, 0, 255}); // the far one shows around it

    ExpectAt(254, 120, {0, 0, 0});
    ExpectAt(258, 120, {0, 255, 0});
    ExpectAt(300, 120, {0, 255, 0});
}

TEST_F(EffectPixelTest, TheSpecularMapShowsTheHighlightWhereLightReflectsIntoTheEye)
{
    BeginFrame();
    // Light from behind the eye, straight at quads facing it: the highlight is brightest where
    // the line of sight meets the surface square on, at the picture's centre.
    plat::D3DLIGHT9 light{};
    light.Type = plat::D3DLIGHT_DIRECTIONAL;
    light.Direction = {0.0f, 0.0f, 1.0f};
    light.Ambient = {0.1f, 0.1f, 0.1f, 1.0f};
    light.Diffuse = {0.4f, 0.4f, 0.4f, 1.0f};
    light.Specular = {1.0f, 1.0f, 1.0f, 1.0f};
    core.SetLight(light);
    dorvo::gfx::SMaterial shiny;
    shiny.specularPower = 32.0f;
    SRenderRecord& lit = Unit("TextureMapping.fx", "TextureMapping",
                              fxscene::ClipRect(-0.5f, -0.5f, 0.5f, 0.5f, 0.5f), "grey");
    lit.material = &shiny;
    lit.textures[2] = textureByName.at("white"); // the specular map
    Draw(lit);
    Finish("fx_specular.png");

    // At the centre: (0.1 + 0.4) x grey plus the whole highlight: white.
    ExpectAt(160, 120, {255, 255, 255}, 3);
    // Towards the edge the highlight fades, down to the plain lit grey (0.5 x 128) at most.
    const Rgb edge = At(85, 120);
    EXPECT_LT(edge.r, 120);
    EXPECT_GE(edge.r, 64 - 2);

    // Without a specular map (T2 empty) there is no highlight at all.
    BeginFrame();
    core.SetLight(light);
    lit.textures[2] = nullptr;
    Draw(lit);
    Finish("fx_specular_none.png");
    ExpectAt(160, 120, {64, 64, 64}, 2);
}
