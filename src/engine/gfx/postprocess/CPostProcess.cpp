#include "engine/gfx/postprocess/CPostProcess.h"

#include "engine/gfx/core/CGFXCore.h"
#include "platform/log.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace dorvo
{
namespace gfx
{
namespace
{
constexpr std::size_t kNameBuffer = 256;

std::string Indexed(const char* format, unsigned index)
{
    char name[kNameBuffer];
    std::snprintf(name, sizeof name, format, index);
    return name;
}

// The integer annotation of the object; 0 when it is absent or not a number.
int IntAnnotation(plat::ID3DXEffect* effect, plat::D3DXHANDLE object, const std::string& name)
{
    const plat::D3DXHANDLE annotation = effect->GetAnnotationByName(object, name.c_str());
    std::int32_t value = 0;
    if (!annotation || plat::FAILED(effect->GetInt(annotation, &value)))
        return 0;
    return value;
}

bool StringAnnotation(plat::ID3DXEffect* effect, plat::D3DXHANDLE object, const char* name, std::string& out)
{
    const plat::D3DXHANDLE annotation = effect->GetAnnotationByName(object, name);
    const char* text = nullptr;
    if (!annotation || plat::FAILED(effect->GetString(annotation, &text)) || !text)
        return false;
    out = text;
    return true;
}
} // namespace

CPostProcess::~CPostProcess()
{
    if (m_pEffect)
        m_pEffect->Release();
}

bool CPostProcess::Init(const std::string& path, std::string* why)
{
    m_path = path;
    std::string errors;
    if (plat::FAILED(CGFXCore::Instance().LoadEffect(path, nullptr, plat::D3DXSHADER_DEBUG, nullptr,
                                                     &m_pEffect, &errors)) ||
        !m_pEffect)
    {
        m_pEffect = nullptr;
        if (why)
            *why = "\"" + path + "\" did not load: " + errors.substr(0, errors.find('\n'));
        else
            DORVO_LOG("CPostProcess::Init: %s: the effect did not load: %s; it cannot run", path.c_str(),
                      errors.c_str());
        return false;
    }
    plat::ID3DXEffect* effect = m_pEffect;
    m_technique = effect->GetTechniqueByName(kTechnique);
    if (!m_technique)
    {
        const std::string text = "\"" + path + "\" has no technique \"" + kTechnique + "\"";
        if (why)
            *why = text;
        else
            DORVO_LOG("CPostProcess::Init: %s; it cannot run", text.c_str());
        return false;
    }

    for (unsigned i = 0; i < kSourceCount; ++i)
    {
        m_sourceHandles[i] = effect->GetParameterByName(nullptr, Indexed("g_SrcTex%d", i).c_str());
        m_sourceUsages[i] = IntAnnotation(effect, m_technique, Indexed("SrcTex%dUsage", i));
    }
    for (unsigned i = 0; i < kSceneCount; ++i)
    {
        m_sceneHandles[i] = effect->GetParameterByName(nullptr, Indexed("g_SrcSceneTex%d", i).c_str());
        m_sceneUsages[i] = IntAnnotation(effect, m_technique, Indexed("SrcSceneTex%dUsage", i));
    }
    for (unsigned i = 0; i < kSavedCount; ++i)
    {
        m_savedHandles[i] = effect->GetParameterByName(nullptr, Indexed("g_SrcSavedTex%d", i).c_str());
        m_savedUsages[i] = IntAnnotation(effect, m_technique, Indexed("SrcSavedTex%dUsage", i));
    }

    for (unsigned i = 0; i < kParameterCount; ++i)
    {
        if (StringAnnotation(effect, m_technique, Indexed("Param%dName", i).c_str(), m_parameterNames[i]))
            m_parameterHandles[i] = effect->GetParameterByName(nullptr, m_parameterNames[i].c_str());
        StringAnnotation(effect, m_technique, Indexed("Param%dDesc", i).c_str(), m_parameterDescs[i]);
        const std::string sizeName = Indexed("Param%dSize", i);
        if (effect->GetAnnotationByName(m_technique, sizeName.c_str()))
            // The chain sets up to four floats from a four-float value; more would read past it.
            m_parameterSizes[i] = std::clamp(IntAnnotation(effect, m_technique, sizeName), 0, 4);
        const plat::D3DXHANDLE value =
            effect->GetAnnotationByName(m_technique, Indexed("Param%dDefaultVal", i).c_str());
        if (value)
        {
            std::array<float, 4> floats{};
            if (plat::SUCCEEDED(effect->GetFloatArray(value, floats.data(), 4)))
                m_parameterDefaults[i] = floats;
        }
    }

    float scale = 1.0f;
    if (const plat::D3DXHANDLE x = effect->GetAnnotationByName(m_technique, "ScrQuadScaleX"))
    {
        m_quadScaled = true;
        if (plat::SUCCEEDED(effect->GetFloat(x, &scale)))
            m_quadScaleX = scale;
    }
    if (const plat::D3DXHANDLE y = effect->GetAnnotationByName(m_technique, "ScrQuadScaleY"))
    {
        m_quadScaled = true;
        if (plat::SUCCEEDED(effect->GetFloat(y, &scale)))
            m_quadScaleY = scale;
    }
    if (const plat::D3DXHANDLE save =
            effect->GetAnnotationByName(m_technique, "SaveOutputBackToTextureIndex"))
    {
        std::int32_t index = -1;
        if (plat::SUCCEEDED(effect->GetInt(save, &index)))
            m_saveOutputIndex = index;
    }

    ConvertPixelsToTexels();
    return true;
}

void CPostProcess::ConvertPixelsToTexels()
{
    if (!m_pEffect)
        return;
    const CGFXCore& core = CGFXCore::Instance();
    const float width = static_cast<float>(std::max(core.GetScreenWidth(), 1u));
    const float height = static_cast<float>(std::max(core.GetScreenHeight(), 1u));
    for (unsigned index = 0;; ++index)
    {
        const plat::D3DXHANDLE target = m_pEffect->GetParameter(nullptr, index);
        if (!target)
            break;
        std::string sourceName;
        if (!StringAnnotation(m_pEffect, target, "ConvertPixelsToTexels", sourceName))
            continue;
        const plat::D3DXHANDLE source = m_pEffect->GetParameterByName(nullptr, sourceName.c_str());
        plat::D3DXPARAMETER_DESC desc;
        if (!source || plat::FAILED(m_pEffect->GetParameterDesc(source, &desc)))
            continue;
        std::vector<float> values(desc.Bytes / 4);
        if (values.empty() || plat::FAILED(m_pEffect->GetFloatArray(source, values.data(),
                                                                    static_cast<plat::UINT>(values.size()))))
            continue;
        for (std::size_t i = 0; i + 1 < values.size(); i += 2)
        {
            values[i] /= width;
            values[i + 1] /= height;
        }
        m_pEffect->SetFloatArray(target, values.data(), static_cast<plat::UINT>(values.size()));
    }
}

const std::string& CPostProcess::GetParameterName(unsigned i) const
{
    static const std::string empty;
    return i < kParameterCount ? m_parameterNames[i] : empty;
}

const std::string& CPostProcess::GetParameterDesc(unsigned i) const
{
    static const std::string empty;
    return i < kParameterCount ? m_parameterDescs[i] : empty;
}

std::array<float, 4> CPostProcess::GetParameterDefault(unsigned i) const
{
    return i < kParameterCount ? m_parameterDefaults[i] : std::array<float, 4>{};
}
} // namespace gfx
} // namespace dorvo
