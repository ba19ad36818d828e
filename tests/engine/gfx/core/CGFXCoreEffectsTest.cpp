// The device core's bindings of a unit's draw on the headless device: which texture slot and
// which value reach which parameter for each technique (every texture parameter of the effect
// checked, so a binding too many shows as well as one missing), the object matrices and the
// material, and slots past an effect's handle table.
#include "EffectTestWorld.h"

#include "LogCapture.h"
#include "engine/gfx/core/CAtmosphereManager.h"
#include "engine/gfx/core/MatrixConvert.h"
#include "engine/gfx/core/SMaterial.h"
#include "engine/gfx/core/SRenderRecord.h"
#include "engine/gfx/water/CWaterManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

using dorvo::gfx::CAtmosphereManager;
using dorvo::gfx::FXHandleTable;
using dorvo::gfx::SMaterial;
using dorvo::gfx::SRenderRecord;

namespace
{
// Where a texture parameter's value should come from after the bindings.
enum Source
{
    T0,
    T1,
    T2,
    T3,
    T4,
    T5,
    TerrainBlend,
    Sky,
    EnvironmentMap,
    WaterReflection, // the water manager's maps
    WaterRefraction,
    Cleared, // null
};

class CGFXCoreEffectsTest : public fxtest::HeadlessEffects
{
protected:
    void SetUp() override
    {
        HeadlessEffects::SetUp();
        for (plat::IDirect3DTexture9*& texture : textures)
            texture = MakeTexture();
        stale = MakeTexture();
        CAtmosphereManager::Instance().SetEnvironmentMap(textures[EnvironmentMap]);

        fxtest::CopyAuthored("TextureMapping.fx");
        fxtest::CopyAuthored("PickedEffect.fx");
        fxtest::CopyAuthored("Glow.fx");
        fxtest::CopyAuthored("AnimatedGlow.fx");
        fxtest::CopyAuthored("TextureMappingNoLight.fx");
        fxtest::CopyFixture("Water2.fx");
        const std::string common = fxtest::kCommonParameters;
        fxtest::WriteFx("NormalMapping.fx",
                        common + "texture g_Texture1; texture g_SpecularMap; texture g_NormalMap;"
                                 " texture g_HeightMap; float g_HeightScale = 0.5;\n");
        fxtest::WriteFx("Terrain.fx",
                        common + "texture g_TerrainBase1; texture g_TerrainBase2; texture g_TerrainBase3;"
                                 " texture g_TerrainBlend; texture g_SpecularMap;\n");
        fxtest::WriteFx("SkyDome.fx",
                        common + "texture g_CloundTex0; float g_CloudDensity; float g_HorizonFadeFactor;"
                                 " float4 g_SunVec; float4 g_SunColor; float4 g_SkyColor;\n");
        fxtest::WriteFx("EnvMapping.fx", common + "texture g_EnvMap; texture g_Twelfth;\n");
        fx.LoadEffects({"TextureMapping.fx", "PickedEffect.fx", "Glow.fx", "AnimatedGlow.fx",
                        "TextureMappingNoLight.fx", "Water2.fx", "NormalMapping.fx", "Terrain.fx",
                        "SkyDome.fx", "EnvMapping.fx"});
        ASSERT_EQ(fx.GetEffectCount(), 10u);

        record.technique = &technique;
        record.tileFactor = 3.0f;
        record.uvAnimation = {0.25f, -0.5f};
        for (unsigned i = 0; i < SRenderRecord::kTextureSlots; ++i)
            record.textures[i] = textures[i];
        record.terrainBlend = textures[TerrainBlend];
        record.skyTexture = textures[Sky];
        record.water = {0.45f, 0.07f, 0.15f, 2.5f, 0.6f, 0.8f, -0.8f, 0.6f}; // none a default of Water2.fx
    }

    void TearDown() override
    {
        CAtmosphereManager::Instance().SetEnvironmentMap(nullptr);
        for (plat::IDirect3DTexture9* texture : textures)
            texture->Release();
        stale->Release();
        HeadlessEffects::TearDown();
    }

    plat::IDirect3DTexture9* MakeTexture()
    {
        plat::IDirect3DTexture9* texture = nullptr;
        EXPECT_TRUE(plat::SUCCEEDED(device->CreateTexture(1, 1, 1, 0, plat::D3DFMT_A8R8G8B8,
                                                          plat::D3DPOOL_MANAGED, &texture, nullptr)));
        return texture;
    }

    // Every texture parameter of the effect, by name.
    static std::vector<std::string> TextureParameters(plat::ID3DXEffect* effect)
    {
        std::vector<std::string> names;
        plat::D3DXEFFECT_DESC desc;
        effect->GetDesc(&desc);
        for (plat::UINT i = 0; i < desc.Parameters; ++i)
        {
            plat::D3DXPARAMETER_DESC parameter;
            effect->GetParameterDesc(effect->GetParameter(nullptr, i), &parameter);
            if (parameter.Type == plat::D3DXPT_TEXTURE)
                names.push_back(parameter.Name);
        }
        return names;
    }

    static plat::IDirect3DBaseTexture9* TextureOf(plat::ID3DXEffect* effect, const std::string& name)
    {
        plat::IDirect3DBaseTexture9* texture = nullptr;
        effect->GetTexture(name.c_str(), &texture);
        if (texture)
            texture->Release();
        return texture;
    }

    // The three bindings the render queue makes for each unit.
    void BindAll(plat::ID3DXEffect* effect, const FXHandleTable& handles)
    {
        core.BindObjectParameters(record, effect, handles);
        core.BindTechniqueTextures(record, effect, handles);
        core.BindTechniqueParameters(record, effect, handles);
    }

    plat::IDirect3DTexture9* textures[Cleared] = {};
    plat::IDirect3DTexture9* stale = nullptr; // what every texture parameter holds before
    std::string technique;
    SRenderRecord record;
};
} // namespace

TEST_F(CGFXCoreEffectsTest, EachTechniqueBindsItsSlotsAndValuesAndNothingElse)
{
    struct Case
    {
        const char* technique;
        const char* file;
        std::map<std::string, Source> textures; // the others keep what they held
        std::map<std::string, std::vector<float>> values;
    };
    const std::vector<Case> cases = {
        {"TextureMapping",
         "TextureMapping.fx",
         {{"g_Texture1", T0}, {"g_SpecularMap", T2}},
         {{"g_UVAniDir", {0.25f, -0.5f}}}},
        {"ClothTextureMapping",
         "TextureMapping.fx",
         {{"g_Texture1", T0}, {"g_SpecularMap", T2}},
         {{"g_UVAniDir", {0.0f, 0.0f}}}},
        {"PickedEffect", "PickedEffect.fx", {{"g_Texture1", T0}}, {{"g_UVAniDir", {0.25f, -0.5f}}}},
        {"ClothPickedEffect", "PickedEffect.fx", {{"g_Texture1", T0}}, {{"g_UVAniDir", {0.0f, 0.0f}}}},
        {"Glow", "Glow.fx", {{"g_Texture1", T0}, {"g_EmisiveMap", T5}}, {}},
        {"ClothGlow", "Glow.fx", {{"g_Texture1", T0}, {"g_EmisiveMap", T5}}, {}},
        {"AnimatedGlow",
         "AnimatedGlow.fx",
         {{"g_Texture1", T0}, {"g_EmisiveMap", T5}, {"g_AnimatedMap", T1}},
         {}},
        {"ClothAnimatedGlow",
         "AnimatedGlow.fx",
         {{"g_Texture1", T0}, {"g_EmisiveMap", T5}, {"g_AnimatedMap", T1}},
         {}},
        {"TextureMappingNoLight", "TextureMappingNoLight.fx", {{"g_Texture1", T0}}, {}},
        {"ClothTextureMappingNoLight", "TextureMappingNoLight.fx", {{"g_Texture1", T0}}, {}},
        {"OverlayTextureMappingNoLight", "TextureMappingNoLight.fx", {{"g_Texture1", T0}}, {}},
        {"ParallaxMapping",
         "NormalMapping.fx",
         {{"g_Texture1", T0}, {"g_SpecularMap", T2}, {"g_NormalMap", T3}, {"g_HeightMap", T4}},
         {{"g_HeightScale", {0.03f}}}},
        {"NormalMapping",
         "NormalMapping.fx",
         {{"g_Texture1", T0}, {"g_SpecularMap", T2}, {"g_NormalMap", T3}},
         {{"g_HeightScale", {0.5f}}}},
        {"RenderTerrain",
         "Terrain.fx",
         {{"g_TerrainBase1", T0},
          {"g_TerrainBase2", T1},
          {"g_TerrainBase3", T3},
          {"g_SpecularMap", T2},
          {"g_TerrainBlend", TerrainBlend}},
         {}},
        {"SkyDome",
         "SkyDome.fx",
         {{"g_CloundTex0", Sky}},
         {{"g_CloudDensity", {0.29f}},
          {"g_HorizonFadeFactor", {0.08f}},
          {"g_SunVec", {0.0f, 1.0f, 0.0f, 1.0f}},
          {"g_SunColor", {1.0f, 1.0f, 1.0f, 1.0f}},
          {"g_SkyColor", {0.0f, 0.5f, 1.0f, 1.0f}}}},
        {"RenderPlanarWater",
         "Water2.fx",
         {{"g_NormalMap", T3}, {"g_ReflectionMap", WaterReflection}, {"g_RefractionMap", WaterRefraction}},
         {{"g_BumpScale", {0.45f}},
          {"g_ReflectionUVDistortion", {0.07f}},
          {"g_FresnelBias", {0.15f}},
          {"g_FresnelPower", {2.5f}},
          {"g_dir1", {0.6f, 0.8f}},
          {"g_dir2", {-0.8f, 0.6f}}}},
        {"RenderSplineWater", "Water2.fx", {{"g_NormalMap", T3}}, {}},
        {"EnvrMapping", "EnvMapping.fx", {{"g_EnvMap", EnvironmentMap}}, {}},
        // Not in the tables (nor in another case): only the common slots.
        {"NoSuchTechnique", "TextureMapping.fx", {}, {{"g_UVAniDir", {0.0f, 0.0f}}}},
        {"textureMapping", "TextureMapping.fx", {}, {{"g_UVAniDir", {0.0f, 0.0f}}}},
    };
    testsupport::LogCapture logged;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.technique);
        technique = c.technique;
        plat::ID3DXEffect* effect = fx.GetEffect(c.file);
        const FXHandleTable* handles = fx.GetHandles(c.file);
        ASSERT_NE(effect, nullptr);
        ASSERT_NE(handles, nullptr);
        for (const std::string& name : TextureParameters(effect))
            effect->SetTexture(name.c_str(), stale);
        effect->SetFloat("g_TileFactor", 1.0f);
        effect->SetFloatArray("g_UVAniDir", std::vector<float>{0.0f, 0.0f}.data(), 2);
        effect->SetFloat("g_HeightScale", 0.5f);

        BindAll(effect, *handles);

        for (const std::string& name : TextureParameters(effect))
        {
            SCOPED_TRACE(name);
            const auto wanted = c.textures.find(name);
            plat::IDirect3DBaseTexture9* expected = stale;
            if (wanted != c.textures.end())
            {
                if (wanted->second == WaterReflection)
                    expected = dorvo::gfx::CWaterManager::Instance().GetReflectionTexture();
                else if (wanted->second == WaterRefraction)
                    expected = dorvo::gfx::CWaterManager::Instance().GetRefractionTexture();
                else
                    expected = wanted->second == Cleared ? nullptr : textures[wanted->second];
            }
            EXPECT_EQ(TextureOf(effect, name), expected);
        }
        for (const auto& [name, values] : c.values)
        {
            SCOPED_TRACE(name);
            const std::vector<float> got =
                fxtest::Floats(effect, name.c_str(), static_cast<unsigned>(values.size()));
            for (std::size_t i = 0; i < values.size(); ++i)
                EXPECT_FLOAT_EQ(got[i], values[i]) << "value " << i;
        }
        EXPECT_EQ(fxtest::Floats(effect, "g_TileFactor", 1)[0], 3.0f)
            << "every technique gets the tile factor";
    }
    const std::string err = logged.Text();
    // "EnvrMapping"'s slot 12 lies past "EnvMapping.fx"'s twelve handles; nothing else did.
    EXPECT_NE(err.find("technique \"EnvrMapping\": it binds parameter 12"), std::string::npos) << err;
    EXPECT_EQ(logged.Lines().size(), 1u) << err;
    EXPECT_EQ(TextureOf(fx.GetEffect("EnvMapping.fx"), "g_Twelfth"), stale);
}

TEST_F(CGFXCoreEffectsTest, ASlotPastTheTableIsSkippedAndReportedOncePerTechniqueAndSlot)
{
    technique = "ClothAnimatedGlow";
    plat::ID3DXEffect* effect = fx.GetEffect("AnimatedGlow.fx");
    FXHandleTable shortTable = *fx.GetHandles("AnimatedGlow.fx");
    shortTable.resize(13); // slot 13 ("g_AnimatedMap") is gone
    effect->SetTexture("g_AnimatedMap", stale);

    testsupport::LogCapture logged;
    core.BindTechniqueTextures(record, effect, shortTable);
    core.BindTechniqueTextures(record, effect, shortTable);
    technique = "AnimatedGlow";
    core.BindTechniqueTextures(record, effect, shortTable);
    const std::string err = logged.Text();

    EXPECT_EQ(TextureOf(effect, "g_Texture1"), textures[T0]);
    EXPECT_EQ(TextureOf(effect, "g_EmisiveMap"), textures[T5]);
    EXPECT_EQ(TextureOf(effect, "g_AnimatedMap"), stale);
    EXPECT_EQ(
        err,
        "CGFXCore::BindingHandle: technique \"ClothAnimatedGlow\": it binds parameter 13, but its effect's "
        "handle table has only 13 entries; that binding is skipped\n"
        "CGFXCore::BindingHandle: technique \"AnimatedGlow\": it binds parameter 13, but its effect's handle "
        "table has only 13 entries; that binding is skipped\n");

    // A table too short for even the common slots loses those too, and nothing breaks.
    technique = "Glow";
    logged.Clear();
    BindAll(effect, FXHandleTable{});
    BindAll(nullptr, *fx.GetHandles("Glow.fx"));
    const std::string shortErr = logged.Text();
    EXPECT_NE(shortErr.find("technique \"Glow\": it binds parameter 0,"), std::string::npos) << shortErr;
}

TEST_F(CGFXCoreEffectsTest, ObjectParametersAreTheRecordsMatricesAndMaterial)
{
    technique = "TextureMapping";
    // A world that stretches unevenly, turns and moves; a view that turns and moves.
    math::Matrix4 scale, turn, move;
    scale.SetScale(math::Vector3(2.0f, 0.5f, 4.0f));
    turn.SetRotationAxis(1.0f, 2.0f, 0.5f, 0.7f);
    move.SetTranslation(math::Vector3(3.0f, -1.0f, 5.0f));
    record.world = move * turn * scale;
    record.view =
        math::Matrix4::LookAtLH(math::Vector3(0, 5, -10), math::Vector3(0, 0, 0), math::Vector3(0, 1, 0));
    record.worldViewProjection.SetScale(math::Vector3(7.0f, 8.0f, 9.0f)); // the record's own, whatever it is
    plat::ID3DXEffect* effect = fx.GetEffect("TextureMapping.fx");
    const FXHandleTable& handles = *fx.GetHandles("TextureMapping.fx");
    const plat::D3DXVECTOR4 ownDiffuse{0.5f, 0.5f, 0.5f, 0.5f};
    effect->SetVector("g_MaterialDiffuse", &ownDiffuse);

    core.BindObjectParameters(record, effect, handles);

    auto matrix = [&](const char* name)
    {
        plat::D3DXMATRIX m;
        effect->GetMatrix(name, &m);
        return dorvo::gfx::FromD3DXMatrix(m);
    };
    const math::Vector3 p(0.3f, -0.7f, 1.1f);
    const math::Vector3 expectedView = record.view.TransformPoint(record.world.TransformPoint(p));
    const math::Vector3 gotView = matrix("g_WorldView").TransformPoint(p);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(gotView[i], expectedView[i], 1e-4f) << "world, then view; axis " << i;
    EXPECT_EQ(matrix("g_World").GetTranslation().x, 3.0f);
    EXPECT_EQ(matrix("g_WorldViewProjection")[0][0], 7.0f);
    EXPECT_EQ(matrix("g_WorldViewProjection")[2][2], 9.0f);

    // Normals through the inverse transpose stay perpendicular to the surface under an
    // uneven scale: a surface's tangents through the world, its normal through the matrix.
    const math::Matrix4 normals = matrix("g_WorldInverseTranspose");
    const math::Vector3 normal(1.0f, 1.0f, 1.0f);
    const math::Vector3 tangents[2] = {{1.0f, -1.0f, 0.0f}, {0.0f, 1.0f, -1.0f}};
    const math::Vector3 n = normals.TransformDirection(normal);
    for (const math::Vector3& t : tangents)
    {
        const math::Vector3 tw = record.world.TransformDirection(t);
        EXPECT_NEAR(n.Dot(tw) / (n.Length() * tw.Length()), 0.0f, 1e-5f);
    }
    const math::Vector3 plain = record.world.TransformDirection(normal);
    EXPECT_GT(std::fabs(plain.Dot(record.world.TransformDirection(tangents[0]))), 0.1f)
        << "the world matrix itself would tilt the normal";

    EXPECT_EQ(fxtest::Floats(effect, "g_MaterialDiffuse", 4), (std::vector<float>{0.5f, 0.5f, 0.5f, 0.5f}))
        << "without a material the effect keeps its own";
    SMaterial material;
    material.ambient = {0.1f, 0.2f, 0.3f, 0.4f};
    material.diffuse = {0.5f, 0.6f, 0.7f, 0.8f};
    material.specular = {0.9f, 1.0f, 0.25f, 0.75f};
    material.specularPower = 17.0f;
    record.material = &material;
    core.BindObjectParameters(record, effect, handles);
    EXPECT_EQ(fxtest::Floats(effect, "g_MaterialAmbient", 4), (std::vector<float>{0.1f, 0.2f, 0.3f, 0.4f}));
    EXPECT_EQ(fxtest::Floats(effect, "g_MaterialDiffuse", 4), (std::vector<float>{0.5f, 0.6f, 0.7f, 0.8f}));
    EXPECT_EQ(fxtest::Floats(effect, "g_MaterialSpecular", 4),
              (std::vector<float>{0.9f, 1.0f, 0.25f, 0.75f}));
    EXPECT_EQ(fxtest::Floats(effect, "g_specular_power", 1)[0], 17.0f);
}
