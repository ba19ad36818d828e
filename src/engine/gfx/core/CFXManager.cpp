#include "engine/gfx/core/CFXManager.h"

#include "common/FaultTally.h"
#include "common/Singleton.h"
#include "engine/gfx/core/CGFXCore.h"
#include "platform/files.h"
#include "platform/log.h"

#include <iterator>

namespace dorvo
{
namespace gfx
{
namespace
{
// The common slots 0 to 3 are found by semantic, the rest by name.
const char* const kCommonSemantics[] = {"World", "WorldView", "WorldViewProjection", "WorldInverseTranspose"};
const char* const kCommonNames[] = {"g_MaterialAmbient", "g_MaterialDiffuse", "g_MaterialSpecular",
                                    "g_specular_power",  "g_TileFactor",      "g_ModelLightPos",
                                    "g_ModelLightDir"};
static_assert(std::size(kCommonSemantics) + std::size(kCommonNames) == FXH_CommonCount);

// In a file's list, this name stands for each of its elements' members in turn.
constexpr char kWaves[] = "g_Waves";
constexpr unsigned kWaveElements = 2;
const char* const kWaveMembers[] = {"m_freq", "m_amp", "m_phase", "m_dir"};

struct SFileParameters
{
    const char* file;
    std::vector<const char*> parameters; // from slot 11 on, by name
};

// Each file's own slots; a file not listed has only the common ones.
const std::vector<SFileParameters>& FileParameters()
{
    static const std::vector<SFileParameters> files = {
        {"TextureMapping.fx", {"g_Texture1", "g_SpecularMap", "g_UVAniDir"}},
        {"PickedEffect.fx", {"g_Texture1", "g_UVAniDir"}},
        {"Glow.fx", {"g_Texture1", "g_EmisiveMap"}},
        {"AnimatedGlow.fx", {"g_Texture1", "g_EmisiveMap", "g_AnimatedMap"}},
        {"Terrain.fx",
         {"g_TerrainBase1", "g_TerrainBase2", "g_TerrainBase3", "g_TerrainBlend", "g_SpecularMap"}},
        {"NormalMapping.fx", {"g_Texture1", "g_SpecularMap", "g_NormalMap", "g_HeightMap", "g_HeightScale"}},
        {"CartoonShading.fx", {"g_Texture1"}},
        {"Skybox.fx", {"g_SkyboxTexture"}},
        {"Water2.fx",
         {"g_BumpHeight",
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
          kWaves,
          "g_NormalMap",
          "g_ReflectionMap",
          "g_RefractionMap",
          "g_WaterAlpha",
          "g_CubeMap",
          "g_BumpScale",
          "g_dir1",
          "g_dir2"}},
        {"Billboard.fx", {"g_BillboardTexture"}},
        {"Particle.fx", {"g_ParticleTexture", "g_ParticleWVPMatArray"}},
        {"Flag.fx", {"g_Texture1"}},
        {"LenFlare.fx",
         {"g_LenFlareTexture1", "g_LenFlareTexture2", "g_LenFlareTexture3", "g_LenFlareTexture4",
          "g_LenToScreenCenterDirOffset"}},
        {"TextureMappingNoLight.fx", {"g_Texture1"}},
        {"MagneticField.fx", {"g_Texture1"}},
        {"LightBloom.fx", {"g_SrcMap1", "g_SrcMap2", "g_TexelKernel"}},
        {"Membrane.fx", {"g_Texture1", "g_MembraneMap"}},
        {"EnvMapping.fx", {"g_EnvMap"}},
        {"SkyDome.fx",
         {"g_CloundTex0", "g_CloudDensity", "g_HorizonFadeFactor", "g_SunVec", "g_SunColor", "g_SkyColor"}},
    };
    return files;
}

template <typename T> void ReleaseAndClear(T*& object)
{
    if (object)
        object->Release();
    object = nullptr;
}
} // namespace

CFXManager& CFXManager::Instance()
{
    return *common::Singleton<CFXManager>::Instance();
}

CFXManager::~CFXManager()
{
    Release();
}

bool CFXManager::Create(const std::string& effectFolder)
{
    Release();
    m_effectFolder = effectFolder;
    CGFXCore& core = CGFXCore::Instance();
    if (plat::FAILED(core.CreateEffectPool(&m_pPool)))
        m_pPool = nullptr;
    core.SetSharedParameterTarget(this);

    const std::string path = m_effectFolder + kSharedEffectFile;
    std::string errors;
    if (plat::FAILED(
            core.LoadEffect(path, nullptr, plat::D3DXSHADER_DEBUG, m_pPool, &m_pSharedEffect, &errors)) ||
        !m_pSharedEffect)
    {
        m_pSharedEffect = nullptr;
        DORVO_LOG("CFXManager::Create: %s: the shared effect did not load: %s; camera, light, fog and time "
                  "reach no effect",
                  path.c_str(), errors.c_str());
        m_sharedHandles.assign(SP_Count, nullptr);
        return false;
    }
    m_sharedHandles.clear();
    for (unsigned i = 0; i < SP_Count; ++i)
    {
        const char* name = SharedParameterName(static_cast<ESharedParameter>(i));
        m_sharedHandles.push_back(i <= SP_ViewProjection
                                      ? m_pSharedEffect->GetParameterBySemantic(nullptr, name)
                                      : m_pSharedEffect->GetParameterByName(nullptr, name));
    }
    return true;
}

FXHandleTable CFXManager::BuildHandleTable(plat::ID3DXEffect* effect, const std::string& fileName)
{
    FXHandleTable handles;
    if (!effect)
        return handles;
    for (const char* semantic : kCommonSemantics)
        handles.push_back(effect->GetParameterBySemantic(nullptr, semantic));
    for (const char* name : kCommonNames)
        handles.push_back(effect->GetParameterByName(nullptr, name));

    for (const SFileParameters& file : FileParameters())
    {
        if (fileName != file.file)
            continue;
        for (const char* name : file.parameters)
        {
            if (std::string(name) != kWaves)
            {
                handles.push_back(effect->GetParameterByName(nullptr, name));
                continue;
            }
            const plat::D3DXHANDLE waves = effect->GetParameterByName(nullptr, kWaves);
            for (unsigned element = 0; element < kWaveElements; ++element)
            {
                // A missing array (or element) leaves its members null; a null parent would
                // make the lookup search the top level instead.
                const plat::D3DXHANDLE wave = waves ? effect->GetParameterElement(waves, element) : nullptr;
                for (const char* member : kWaveMembers)
                    handles.push_back(wave ? effect->GetParameterByName(wave, member) : nullptr);
            }
        }
        break;
    }
    return handles;
}

void CFXManager::LoadEffects(const std::vector<std::string>& fileNames)
{
    CGFXCore& core = CGFXCore::Instance();
    common::FaultTally tally("CFXManager::LoadEffects", "the effect list");
    for (const std::string& name : fileNames)
    {
        // A second load of a name would only be dropped again: the first effect stays.
        if (m_effects.count(name))
            continue;
        if (!plat::IsConfinedName(name))
        {
            tally.Report("an effect name leaves the effect folder",
                         "CFXManager::LoadEffects: " + name.substr(0, 64) + (name.size() > 64 ? "..." : "") +
                             ": the name leaves the effect folder; the effect is left out");
            continue;
        }
        const std::string path = m_effectFolder + name;
        plat::ID3DXEffect* effect = nullptr;
        std::string errors;
        if (plat::FAILED(core.LoadEffect(path, nullptr, plat::D3DXSHADER_DEBUG, m_pPool, &effect, &errors)) ||
            !effect)
        {
            tally.Report("an effect did not load", "CFXManager::LoadEffects: " + path +
                                                       ": the effect did not load: " + errors +
                                                       "; it is left out");
            continue;
        }
        // A file cut short may still parse, as an effect with nothing to draw with: it is kept
        // for its parameters, but said, as a file that does not parse is. The shared values'
        // effect holds no technique by design.
        plat::D3DXEFFECT_DESC desc;
        if (name != kSharedEffectFile && (plat::FAILED(effect->GetDesc(&desc)) || desc.Techniques == 0))
            tally.Report(
                "an effect has no technique",
                "CFXManager::LoadEffects: " + path +
                    ": the effect holds no technique (is the file cut short?); nothing is drawn with it");
        SEffectRecord& record = m_effects[name];
        record.effect = effect;
        record.handles = BuildHandleTable(effect, name);
    }
}

plat::ID3DXEffect* CFXManager::SelectEffect(const std::string& fileName)
{
    ReleaseAndClear(m_pCurrentEffect);
    m_pCurrentHandles = nullptr;
    const auto found = m_effects.find(fileName);
    if (found == m_effects.end())
        return nullptr;
    m_pCurrentEffect = found->second.effect;
    m_pCurrentEffect->AddRef();
    m_pCurrentHandles = &found->second.handles;
    return m_pCurrentEffect;
}

plat::ID3DXEffect* CFXManager::GetEffect(const std::string& fileName) const
{
    const auto found = m_effects.find(fileName);
    return found == m_effects.end() ? nullptr : found->second.effect;
}

const FXHandleTable* CFXManager::GetHandles(const std::string& fileName) const
{
    const auto found = m_effects.find(fileName);
    return found == m_effects.end() ? nullptr : &found->second.handles;
}

void CFXManager::SetSharedParameters(plat::ID3DXEffect*) {}

void CFXManager::OnLostDevice()
{
    for (auto& entry : m_effects)
        entry.second.effect->OnLostDevice();
}

void CFXManager::OnResetDevice()
{
    for (auto& entry : m_effects)
        entry.second.effect->OnResetDevice();
}

void CFXManager::Release()
{
    for (auto& entry : m_effects)
        entry.second.effect->Release();
    m_effects.clear();
    ReleaseAndClear(m_pCurrentEffect);
    m_pCurrentHandles = nullptr;
    ReleaseAndClear(m_pSharedEffect);
    m_sharedHandles.clear();
    ReleaseAndClear(m_pPool);
    CGFXCore& core = CGFXCore::Instance();
    if (core.GetSharedParameterTarget() == this)
        core.SetSharedParameterTarget(nullptr);
}

plat::D3DXHANDLE CFXManager::SharedHandle(ESharedParameter parameter) const
{
    return m_pSharedEffect && parameter < m_sharedHandles.size() ? m_sharedHandles[parameter] : nullptr;
}

void CFXManager::SetMatrix(ESharedParameter parameter, const plat::D3DXMATRIX& value)
{
    if (plat::D3DXHANDLE handle = SharedHandle(parameter))
        m_pSharedEffect->SetMatrix(handle, &value);
}

void CFXManager::SetInt(ESharedParameter parameter, int value)
{
    if (plat::D3DXHANDLE handle = SharedHandle(parameter))
        m_pSharedEffect->SetInt(handle, value);
}

void CFXManager::SetFloat(ESharedParameter parameter, float value)
{
    if (plat::D3DXHANDLE handle = SharedHandle(parameter))
        m_pSharedEffect->SetFloat(handle, value);
}

void CFXManager::SetFloatArray(ESharedParameter parameter, const float* values, unsigned count)
{
    if (plat::D3DXHANDLE handle = SharedHandle(parameter))
        m_pSharedEffect->SetFloatArray(handle, values, count);
}
} // namespace gfx
} // namespace dorvo
