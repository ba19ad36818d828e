// The effect manager on the headless device: handle tables in each file's order, selecting,
// loading twice, failed files, device loss in name order, the shared values reaching every
// effect of the pool, and letting go of everything.
#include "EffectTestWorld.h"

#include "LogCapture.h"
#include "engine/gfx/core/CAtmosphereManager.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using dorvo::gfx::CFXManager;
using dorvo::gfx::FXHandleTable;
using fxtest::NameOf;

namespace
{
using CFXManagerTest = fxtest::HeadlessEffects;

// A file with the common parameters and the given further declarations.
std::string Effect(const std::string& declarations)
{
    return std::string(fxtest::kCommonParameters) + declarations;
}

plat::ULONG CountOf(plat::IUnknown* object)
{
    object->AddRef();
    return object->Release();
}
} // namespace

TEST_F(CFXManagerTest, Water2HasItsThirtyNineHandlesInTheTablesOrder)
{
    fxtest::CopyFixture("Water2.fx");
    fx.LoadEffects({"Water2.fx"});
    plat::ID3DXEffect* effect = fx.GetEffect("Water2.fx");
    const FXHandleTable* handles = fx.GetHandles("Water2.fx");
    ASSERT_NE(effect, nullptr);
    ASSERT_NE(handles, nullptr);
    ASSERT_EQ(handles->size(), 39u);

    const char* const expected[39] = {"g_World",
                                      "g_WorldView",
                                      "g_WorldViewProjection",
                                      "g_WorldInverseTranspose",
                                      "g_MaterialAmbient",
                                      "g_MaterialDiffuse",
                                      "g_MaterialSpecular",
                                      "g_specular_power",
                                      "g_TileFactor",
                                      "g_ModelLightPos",
                                      "g_ModelLightDir",
                                      "g_BumpHeight",
                                      "g_ReflectionUVDistortion",
                                      "g_WaterBlendWeight",
                                      "g_HDRMultiplier",
                                      "g_TextureScale",
                                      "g_BumpSpeed",
                                      "g_FresnelBias",
                                      "g_FresnelPower",
                                      "g_ShallowWaterColor",
                                      "g_DeepWaterColor",
                                      "g_WaveAmp",
                                      "g_WaveFreq",
                                      "m_freq",
                                      "m_amp",
                                      "m_phase",
                                      "m_dir",
                                      "m_freq",
                                      "m_amp",
                                      "m_phase",
                                      "m_dir",
                                      "g_NormalMap",
                                      "g_ReflectionMap",
                                      "g_RefractionMap",
                                      "g_WaterAlpha",
                                      "g_CubeMap",
                                      "g_BumpScale",
                                      "g_dir1",
                                      "g_dir2"};
    for (unsigned i = 0; i < 39; ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_EQ(NameOf(effect, (*handles)[i]), expected[i]);
    }

    // The wave members are those of element 0, then element 1: a value written through slot
    // 27 (element 1's "m_freq") is the sixth number of the array (elements of five numbers).
    ASSERT_TRUE(plat::SUCCEEDED(effect->SetFloat((*handles)[27], 7.5f)));
    ASSERT_TRUE(plat::SUCCEEDED(effect->SetFloat((*handles)[24], 0.125f))); // element 0's "m_amp"
    const std::vector<float> waves = fxtest::Floats(effect, "g_Waves", 10);
    EXPECT_FLOAT_EQ(waves[5], 7.5f);
    EXPECT_FLOAT_EQ(waves[1], 0.125f);
    EXPECT_FLOAT_EQ(waves[0], 1.0f) << "element 0's frequency keeps its default";
}

TEST_F(CFXManagerTest, ParametersAFileLacksAreNullHandlesInTheirPlaces)
{
    // No "g_WorldView" (slot 1) and no "g_SpecularMap" (slot 12); a file the tables do not
    // name has the common slots only.
    std::string lacking = Effect("texture g_Texture1;\nfloat2 g_UVAniDir;\n");
    lacking.replace(lacking.find("float4x4 g_WorldView : WorldView;"), 33, "");
    fxtest::WriteFx("TextureMapping.fx", lacking);
    fxtest::WriteFx("Unlisted.fx", Effect("texture g_Texture1;\n"));
    fx.LoadEffects({"TextureMapping.fx", "Unlisted.fx"});

    const FXHandleTable* handles = fx.GetHandles("TextureMapping.fx");
    ASSERT_NE(handles, nullptr);
    ASSERT_EQ(handles->size(), 14u);
    for (unsigned i = 0; i < 14; ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_EQ((*handles)[i] == nullptr, i == 1 || i == 12);
    }
    plat::ID3DXEffect* effect = fx.GetEffect("TextureMapping.fx");
    EXPECT_EQ(NameOf(effect, (*handles)[13]), "g_UVAniDir");
    EXPECT_TRUE(plat::FAILED(effect->SetFloat((*handles)[12], 1.0f))) << "a null handle sets nothing";

    ASSERT_NE(fx.GetHandles("Unlisted.fx"), nullptr);
    EXPECT_EQ(fx.GetHandles("Unlisted.fx")->size(), 11u);
}

TEST_F(CFXManagerTest, SelectingKeepsOneReferenceAndAnUnknownNameLeavesNothingCurrent)
{
    fxtest::CopyAuthored("Glow.fx");
    fxtest::CopyAuthored("TextureMappingNoLight.fx");
    fx.LoadEffects({"Glow.fx", "TextureMappingNoLight.fx"});
    plat::ID3DXEffect* glow = fx.GetEffect("Glow.fx");
    ASSERT_NE(glow, nullptr);
    const plat::ULONG loaded = CountOf(glow);

    EXPECT_EQ(fx.SelectEffect("Glow.fx"), glow);
    EXPECT_EQ(fx.GetCurrentEffect(), glow);
    EXPECT_EQ(fx.GetCurrentHandles(), fx.GetHandles("Glow.fx"));
    EXPECT_EQ(CountOf(glow), loaded + 1) << "the current effect holds a reference";
    EXPECT_EQ(fx.SelectEffect("Glow.fx"), glow);
    EXPECT_EQ(CountOf(glow), loaded + 1) << "selecting it again keeps the count";

    EXPECT_EQ(fx.SelectEffect("TextureMappingNoLight.fx"), fx.GetEffect("TextureMappingNoLight.fx"));
    EXPECT_EQ(CountOf(glow), loaded) << "the previous current effect is let go";

    for (const char* unknown : {"NoSuch.fx", "glow.fx", ""})
    {
        SCOPED_TRACE(unknown);
        fx.SelectEffect("Glow.fx");
        EXPECT_EQ(fx.SelectEffect(unknown), nullptr);
        EXPECT_EQ(fx.GetCurrentEffect(), nullptr);
        EXPECT_EQ(fx.GetCurrentHandles(), nullptr);
        EXPECT_EQ(CountOf(glow), loaded);
    }
}

TEST_F(CFXManagerTest, ANameLoadedTwiceKeepsItsFirstEffect)
{
    fxtest::WriteFx("A.fx", Effect("float g_Which = 1;\n"));
    fx.LoadEffects({"A.fx"});
    plat::ID3DXEffect* first = fx.GetEffect("A.fx");
    ASSERT_NE(first, nullptr);

    fxtest::WriteFx("A.fx", Effect("float g_Which = 2;\n"));
    testsupport::LogCapture logged;
    fx.LoadEffects({"A.fx", "A.fx"});
    const std::string err = logged.Text();
    EXPECT_EQ(fx.GetEffect("A.fx"), first);
    EXPECT_EQ(fx.GetEffectCount(), 1u);
    float which = 0.0f;
    first->GetFloat("g_Which", &which);
    EXPECT_FLOAT_EQ(which, 1.0f);
    EXPECT_TRUE(err.empty()) << err;
}

TEST_F(CFXManagerTest, DeviceLossAndResetReachEveryEffectOnceInNameOrder)
{
    for (const char* name : {"Zeta.fx", "Alpha.fx", "Mid.fx"})
        fxtest::WriteFx(name, Effect(""));
    fx.LoadEffects({"Zeta.fx", "Alpha.fx", "Mid.fx"});
    ASSERT_EQ(fx.GetEffectCount(), 3u);

    plat::headless::ClearCallLog();
    plat::headless::SetCallLogging(true);
    gfx.OnLostDevice();
    gfx.OnResetDevice();
    plat::headless::SetCallLogging(false);

    const std::vector<std::string> inOrder = {"Alpha.fx", "Mid.fx", "Zeta.fx"};
    EXPECT_EQ(fxtest::LoggedNames(plat::devicedebug::CallKind::EffectLost), inOrder)
        << "the shared-parameter effect is not among them";
    EXPECT_EQ(fxtest::LoggedNames(plat::devicedebug::CallKind::EffectReset), inOrder);
}

TEST_F(CFXManagerTest, AFileThatFailsIsReportedOnceWithItsTextAndTheOthersLoad)
{
    fxtest::WriteFx("A.fx", Effect(""));
    fxtest::WriteFx("Broken.fx", Effect("float g_Missing = 1\n"));
    fxtest::WriteFx("B.fx", Effect(""));
    testsupport::LogCapture logged;
    fx.LoadEffects({"A.fx", "Broken.fx", "Missing.fx", "B.fx"});
    const std::string err = logged.Text();

    EXPECT_NE(fx.GetEffect("A.fx"), nullptr);
    EXPECT_NE(fx.GetEffect("B.fx"), nullptr);
    EXPECT_EQ(fx.GetEffect("Broken.fx"), nullptr);
    EXPECT_EQ(fx.GetEffect("Missing.fx"), nullptr);
    EXPECT_EQ(fx.GetEffectCount(), 2u);
    EXPECT_EQ(fx.SelectEffect("Broken.fx"), nullptr);

    // One report each, with the parser's own line: the file and the line of the fault.
    const std::string broken = "CFXManager::LoadEffects: fx/Broken.fx: the effect did not load";
    const std::string missing = "CFXManager::LoadEffects: fx/Missing.fx: the effect did not load";
    ASSERT_NE(err.find(broken), std::string::npos) << err;
    EXPECT_EQ(err.find(broken, err.find(broken) + 1), std::string::npos) << err;
    EXPECT_NE(err.find("fx/Broken.fx:13: "), std::string::npos) << err;
    ASSERT_NE(err.find(missing), std::string::npos) << err;
    EXPECT_NE(err.find("fx/Missing.fx: cannot be read"), std::string::npos) << err;
}

// Effect names come from the engine configuration: one that leaves the effect folder is never
// read. A file cut short before its techniques still parses; it is kept for its parameters but
// said, as a file that does not parse is. A long list of bad names is a few lines.
TEST_F(CFXManagerTest, NamesOutsideTheEffectFolderAndEffectsWithoutATechniqueAreSaid)
{
    std::ifstream in(testsupport::RepoPath("data/fx/TextureMapping.fx"), std::ios::binary);
    const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    fxtest::WriteFx("Cut.fx", whole.substr(0, whole.find("technique")));
    fxtest::WriteFx("Whole.fx", whole);
    std::vector<std::string> names = {"Cut.fx", "Whole.fx"};
    for (int i = 0; i < 1000; ++i)
        names.push_back("../../../../etc/passwd" + std::to_string(i));
    testsupport::LogCapture logged;
    fx.LoadEffects(names);
    const std::string err = logged.Text();

    EXPECT_NE(fx.GetEffect("Cut.fx"), nullptr);
    EXPECT_EQ(fx.GetEffectCount(), 2u);
    EXPECT_TRUE(
        logged.Contains("CFXManager::LoadEffects: fx/Cut.fx: the effect holds no technique (is the file "
                        "cut short?); nothing is drawn with it"))
        << err;
    EXPECT_TRUE(
        logged.Contains("CFXManager::LoadEffects: ../../../../etc/passwd0: the name leaves the effect "
                        "folder; the effect is left out"))
        << err;
    EXPECT_TRUE(logged.Contains("CFXManager::LoadEffects: the effect list: and 997 more like (an effect name "
                                "leaves the effect folder); they are not shown"))
        << err;
    EXPECT_EQ(logged.Lines().size(), 5u) << err;
}

TEST_F(CFXManagerTest, WithoutDummyTheSharedHandlesAreNullAndTheCoreWritesNothing)
{
    std::filesystem::create_directories("empty");
    fxtest::WriteFx("A.fx", Effect("shared float g_time = 4;\n"));
    std::filesystem::copy_file("fx/A.fx", "empty/A.fx");
    CFXManager manager;
    testsupport::LogCapture logged;
    EXPECT_FALSE(manager.Create("empty/"));
    manager.LoadEffects({"A.fx"});
    const std::string err = logged.Text();
    EXPECT_NE(err.find("CFXManager::Create: empty/Dummy.fx: the shared effect did not load"),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("empty/Dummy.fx: cannot be read"), std::string::npos) << err;

    EXPECT_EQ(manager.GetSharedEffect(), nullptr);
    ASSERT_EQ(manager.GetSharedHandles().size(), 19u);
    for (plat::D3DXHANDLE handle : manager.GetSharedHandles())
        EXPECT_EQ(handle, nullptr);
    EXPECT_EQ(core.GetSharedParameterTarget(), &manager);

    // The core's writes go nowhere, and the effects keep loading into the pool.
    core.SetFrameTime(2.0, 0.5);
    core.BeginFrame();
    core.EndScene();
    core.SetView(math::Matrix4());
    ASSERT_NE(manager.GetEffect("A.fx"), nullptr);
    float time = 0.0f;
    manager.GetEffect("A.fx")->GetFloat("g_time", &time);
    EXPECT_FLOAT_EQ(time, 4.0f);

    manager.Release();
    EXPECT_EQ(core.GetSharedParameterTarget(), nullptr);
}

TEST_F(CFXManagerTest, SharedValuesTheCoreWritesAreReadBackFromTwoEffectsOfThePool)
{
    fxtest::CopyAuthored("TextureMapping.fx");
    fxtest::CopyAuthored("Glow.fx");
    fx.LoadEffects({"TextureMapping.fx", "Glow.fx"});
    ASSERT_EQ(fx.GetEffectCount(), 2u);

    // A view that moves by (1, 2, 3) and a projection that scales by (2, 3, 4): the inverse
    // moves back, and view then projection scales the moved point.
    math::Matrix4 view;
    view.SetTranslation(math::Vector3(1.0f, 2.0f, 3.0f));
    math::Matrix4 projection;
    projection.SetScale(math::Vector3(2.0f, 3.0f, 4.0f));
    core.SetProjection(projection);
    core.SetView(view);
    plat::D3DLIGHT9 light{};
    light.Type = plat::D3DLIGHT_DIRECTIONAL;
    light.Direction = {0.0f, -0.6f, 0.8f};
    light.Ambient = {0.1f, 0.2f, 0.3f, 1.0f};
    light.Diffuse = {0.7f, 0.6f, 0.5f, 1.0f};
    light.Specular = {0.9f, 0.9f, 0.9f, 1.0f};
    light.Falloff = 1.5f;
    light.Attenuation0 = 2.0f;
    light.Attenuation1 = 0.25f;
    light.Range = 300.0f;
    core.SetLight(light);
    dorvo::gfx::CAtmosphereManager& atmosphere = dorvo::gfx::CAtmosphereManager::Instance();
    atmosphere.SetFogStart(200.0f);
    atmosphere.SetFogEnd(600.0f);
    atmosphere.SetFogDensity(0.002f);
    atmosphere.SetFogColor({0.55f, 0.6f, 0.7f, 1.0f});
    core.SetFrameTime(12.5, 0.04f);
    core.BeginFrame();
    core.EndScene();

    struct Case
    {
        const char* name;
        std::vector<float> values;
    };
    const std::vector<Case> cases = {
        {"g_View", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1}},
        {"g_ViewInverse", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -1, -2, -3, 1}},
        {"g_ViewProjection", {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 2, 6, 12, 1}},
        {"g_ProjMat", {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1}},
        {"g_LightType", {3}},
        {"g_LightPos", {0.0f, -0.6f, 0.8f}},
        {"g_LightFalloff", {1.5f, 2.0f, 0.25f}},
        {"g_LightRange", {300.0f}},
        {"g_LightAmbient", {0.1f, 0.2f, 0.3f, 1.0f}},
        {"g_LightDiffuse", {0.7f, 0.6f, 0.5f, 1.0f}},
        {"g_LightSpecular", {0.9f, 0.9f, 0.9f, 1.0f}},
        {"g_fogstart", {200.0f}},
        {"g_fogend", {600.0f}},
        {"g_fogdensity", {0.002f}},
        {"g_fogcolor", {0.55f, 0.6f, 0.7f, 1.0f}},
        {"g_time", {12.5f}},
        {"g_ElapsedTime", {0.04f}},
        {"g_ShadowColor", {0.3f, 0.3f, 0.3f, 1.0f}},
    };
    for (const char* file : {"TextureMapping.fx", "Glow.fx"})
    {
        plat::ID3DXEffect* effect = fx.GetEffect(file);
        for (const Case& c : cases)
        {
            SCOPED_TRACE(std::string(file) + " " + c.name);
            const std::vector<float> got =
                fxtest::Floats(effect, c.name, static_cast<unsigned>(c.values.size()));
            for (std::size_t i = 0; i < c.values.size(); ++i)
                EXPECT_NEAR(got[i], c.values[i], 1e-5f) << "value " << i;
        }
    }
}

TEST_F(CFXManagerTest, ReleaseLetsGoOfEveryEffectThePoolAndTheCoresTarget)
{
    fxtest::CopyAuthored("Glow.fx");
    fx.LoadEffects({"Glow.fx"});
    plat::ID3DXEffect* glow = fx.SelectEffect("Glow.fx");
    ASSERT_NE(glow, nullptr);
    plat::ID3DXEffectPool* pool = fx.GetPool();
    ASSERT_NE(pool, nullptr);
    EXPECT_EQ(core.GetSharedParameterTarget(), &fx);
    glow->AddRef();
    pool->AddRef();

    fx.Release();
    EXPECT_EQ(fx.GetEffectCount(), 0u);
    EXPECT_EQ(fx.GetCurrentEffect(), nullptr);
    EXPECT_EQ(fx.GetSharedEffect(), nullptr);
    EXPECT_EQ(fx.GetPool(), nullptr);
    EXPECT_EQ(core.GetSharedParameterTarget(), nullptr);
    EXPECT_EQ(glow->Release(), 0u) << "the map's and the current reference are gone";
    EXPECT_EQ(pool->Release(), 0u) << "the manager's, Dummy.fx's and Glow.fx's references are gone";
}
