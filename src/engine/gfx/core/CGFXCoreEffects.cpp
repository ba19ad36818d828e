// The device core's effect services: making effects and the pool, and binding a unit's draw to
// its effect by the effect's handle table. Which texture slot and which per-technique value go
// to which handle is decided by the technique name alone (exact, first row wins), so these
// tables and the effect manager's per-file handle order must agree.
#include "engine/gfx/core/CGFXCore.h"

#include "common/Singleton.h"
#include "engine/gfx/core/CAtmosphereManager.h"
#include "engine/gfx/core/MatrixConvert.h"
#include "engine/gfx/core/SMaterial.h"
#include "engine/gfx/core/SRenderRecord.h"
#include "engine/gfx/water/CWaterManager.h"
#include "platform/log.h"
#include "platform/win32.h"

#include <vector>

namespace dorvo
{
namespace gfx
{
namespace
{
// "ParallaxMapping" always draws with this height scale, whatever its file says.
constexpr float kParallaxHeightScale = 0.03f;

// Where a bound texture comes from: one of the record's six slots, or the atmosphere's
// environment map.
enum ETextureSource : unsigned
{
    TS_T0,
    TS_T1,
    TS_T2,
    TS_T3,
    TS_T4,
    TS_T5,
    TS_EnvironmentMap
};

struct STextureBinding
{
    unsigned index; // in the effect's handle table
    ETextureSource source;
};

struct STextureRow
{
    std::vector<const char*> techniques;
    std::vector<STextureBinding> bindings;
};

// The texture bindings by technique; the first row naming the technique applies.
const std::vector<STextureRow>& TextureRows()
{
    static const std::vector<STextureRow> rows = {
        {{"TextureMapping", "ClothTextureMapping"}, {{11, TS_T0}, {12, TS_T2}}},
        {{"PickedEffect", "ClothPickedEffect"}, {{11, TS_T0}}},
        {{"Glow", "ClothGlow"}, {{11, TS_T0}, {12, TS_T5}}},
        {{"AnimatedGlow", "ClothAnimatedGlow"}, {{11, TS_T0}, {12, TS_T5}, {13, TS_T1}}},
        {{"RenderTerrain"}, {{11, TS_T0}, {12, TS_T1}, {13, TS_T3}, {15, TS_T2}}},
        {{"NormalMapping", "ClothNormalMapping"}, {{11, TS_T0}, {12, TS_T2}, {13, TS_T3}}},
        {{"ParallaxMapping"}, {{11, TS_T0}, {12, TS_T2}, {13, TS_T3}, {14, TS_T4}}},
        {{"CartoonShading", "ClothCartoonShading", "RenderSkybox", "RenderBillboard", "RenderParticle",
          "TextureMappingNoLight", "ClothTextureMappingNoLight", "OverlayTextureMappingNoLight",
          "MagneticField", "RenderFlag"},
         {{11, TS_T0}}},
        {{"RenderPlanarWaveWater", "RenderSplineWater", "RenderPlanarWater"}, {{31, TS_T3}}},
        {{"RenderLenFlare"}, {{11, TS_T0}, {12, TS_T1}, {13, TS_T3}, {14, TS_T4}}},
        {{"Membrane", "ClothMembrane"}, {{11, TS_T0}, {12, TS_T5}}},
        // "EnvMapping.fx" lists only "g_EnvMap" after the common slots, so slot 12 lies past
        // its table: that binding is skipped (and reported) like any other such slot.
        {{"EnvrMapping"}, {{11, TS_EnvironmentMap}, {12, TS_T2}}},
    };
    return rows;
}

const STextureRow* FindTextureRow(const std::string& technique)
{
    for (const STextureRow& row : TextureRows())
        for (const char* name : row.techniques)
            if (technique == name)
                return &row;
    return nullptr;
}

const std::string& TechniqueOf(const SRenderRecord& record)
{
    static const std::string kNone;
    return record.technique ? *record.technique : kNone;
}

plat::D3DXVECTOR4 ToVector(const plat::D3DXCOLOR& color)
{
    return {color.r, color.g, color.b, color.a};
}
} // namespace

plat::HRESULT CGFXCore::CreateEffectPool(plat::ID3DXEffectPool** pool)
{
    return plat::D3DXCreateEffectPool(pool);
}

plat::HRESULT CGFXCore::LoadEffect(const std::string& fileName, const plat::D3DXMACRO* defines,
                                   plat::DWORD flags, plat::ID3DXEffectPool* pool, plat::ID3DXEffect** effect,
                                   std::string* errors)
{
    if (effect)
        *effect = nullptr;
    if (!m_pDevice)
    {
        if (errors)
            *errors = fileName + ": there is no device to make the effect on";
        return plat::D3DERR_INVALIDCALL;
    }
    // Without a string to hand the text to, the platform writes it to the log itself.
    plat::ID3DXBuffer* buffer = nullptr;
    const plat::HRESULT hr =
        plat::D3DXCreateEffectFromFileW(m_pDevice, plat::ToWide(fileName).c_str(), defines, nullptr, flags,
                                        pool, effect, errors ? &buffer : nullptr);
    if (buffer)
    {
        if (errors)
            *errors = static_cast<const char*>(buffer->GetBufferPointer());
        buffer->Release();
    }
    return hr;
}

plat::D3DXHANDLE CGFXCore::BindingHandle(const FXHandleTable& handles, unsigned index,
                                         const std::string& technique)
{
    if (index < handles.size())
        return handles[index];
    if (m_reportedBindings.insert({technique, index}).second)
        DORVO_LOG("CGFXCore::BindingHandle: technique \"%s\": it binds parameter %u, but its effect's handle "
                  "table has only %zu entries; that binding is skipped",
                  technique.c_str(), index, handles.size());
    return nullptr;
}

void CGFXCore::BindObjectParameters(const SRenderRecord& record, plat::ID3DXEffect* effect,
                                    const FXHandleTable& handles)
{
    if (!effect)
        return;
    const std::string& technique = TechniqueOf(record);
    auto handle = [&](unsigned index) { return BindingHandle(handles, index, technique); };

    const plat::D3DXMATRIX world = ToD3DXMatrix(record.world);
    effect->SetMatrix(handle(FXH_World), &world);
    // World, then view: with our product order that is view * world.
    const plat::D3DXMATRIX worldView = ToD3DXMatrix(record.view * record.world);
    effect->SetMatrix(handle(FXH_WorldView), &worldView);
    const plat::D3DXMATRIX worldViewProjection = ToD3DXMatrix(record.worldViewProjection);
    effect->SetMatrix(handle(FXH_WorldViewProjection), &worldViewProjection);
    const plat::D3DXMATRIX worldInverseTranspose = ToD3DXMatrix(record.world.GetInverse().GetTranspose());
    effect->SetMatrix(handle(FXH_WorldInverseTranspose), &worldInverseTranspose);

    if (!record.material)
        return;
    const SMaterial& material = *record.material;
    const plat::D3DXVECTOR4 ambient = ToVector(material.ambient);
    const plat::D3DXVECTOR4 diffuse = ToVector(material.diffuse);
    const plat::D3DXVECTOR4 specular = ToVector(material.specular);
    effect->SetVector(handle(FXH_MaterialAmbient), &ambient);
    effect->SetVector(handle(FXH_MaterialDiffuse), &diffuse);
    effect->SetVector(handle(FXH_MaterialSpecular), &specular);
    effect->SetFloat(handle(FXH_SpecularPower), material.specularPower);
}

void CGFXCore::BindTechniqueTextures(const SRenderRecord& record, plat::ID3DXEffect* effect,
                                     const FXHandleTable& handles)
{
    if (!effect)
        return;
    const std::string& technique = TechniqueOf(record);
    const STextureRow* row = FindTextureRow(technique);
    if (!row)
        return;
    for (const STextureBinding& binding : row->bindings)
    {
        plat::IDirect3DTexture9* texture = binding.source == TS_EnvironmentMap
                                               ? CAtmosphereManager::Instance().GetEnvironmentMap()
                                               : record.textures[binding.source];
        effect->SetTexture(BindingHandle(handles, binding.index, technique), texture);
    }
}

void CGFXCore::BindTechniqueParameters(const SRenderRecord& record, plat::ID3DXEffect* effect,
                                       const FXHandleTable& handles)
{
    if (!effect)
        return;
    const std::string& technique = TechniqueOf(record);
    auto handle = [&](unsigned index) { return BindingHandle(handles, index, technique); };

    effect->SetFloat(handle(FXH_TileFactor), record.tileFactor);
    // The names differ, so the first matching row is the only one.
    if (technique == "ParallaxMapping")
        effect->SetFloat(handle(15), kParallaxHeightScale);
    else if (technique == "TextureMapping")
        effect->SetFloatArray(handle(13), record.uvAnimation.data(), 2);
    else if (technique == "PickedEffect")
        effect->SetFloatArray(handle(12), record.uvAnimation.data(), 2);
    else if (technique == "RenderTerrain")
        effect->SetTexture(handle(14), record.terrainBlend);
    else if (technique == "RenderPlanarWater")
    {
        const NoWaveInfo& water = record.water;
        effect->SetFloat(handle(36), water.bumpScale);
        effect->SetFloat(handle(12), water.refUVDistortion);
        effect->SetFloat(handle(17), water.fresnelBias);
        effect->SetFloat(handle(18), water.fresnelPower);
        const float dir1[2] = {water.dir1X, water.dir1Z};
        const float dir2[2] = {water.dir2X, water.dir2Z};
        effect->SetFloatArray(handle(37), dir1, 2);
        effect->SetFloatArray(handle(38), dir2, 2);
        // The water manager's maps (none before it exists).
        const bool maps = common::Singleton<CWaterManager>::Exists();
        effect->SetTexture(handle(32), maps ? CWaterManager::Instance().GetReflectionTexture() : nullptr);
        effect->SetTexture(handle(33), maps ? CWaterManager::Instance().GetRefractionTexture() : nullptr);
    }
    else if (technique == "SkyDome")
    {
        const CAtmosphereManager& atmosphere = CAtmosphereManager::Instance();
        effect->SetTexture(handle(11), record.skyTexture);
        effect->SetFloat(handle(12), atmosphere.GetCloudDensity());
        effect->SetFloat(handle(13), atmosphere.GetHorizonFadeFactor());
        effect->SetFloatArray(handle(14), atmosphere.GetSunVector().data(), 4);
        effect->SetFloatArray(handle(15), atmosphere.GetSunColor().data(), 4);
        effect->SetFloatArray(handle(16), atmosphere.GetSkyColor().data(), 4);
    }
}
} // namespace gfx
} // namespace dorvo
