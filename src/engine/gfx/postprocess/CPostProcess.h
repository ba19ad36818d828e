// One post-processing effect file, loaded without an effect pool, and what its annotations tell
// the post-processor: which of the previous result, the four scene targets and the two saved
// targets it reads, its ten parameters (names, descriptions, sizes, defaults), the scale of its
// screen quad and the saved target its output is copied into. It also turns pixel offsets the
// file declares into texel offsets for the back buffer's size. Owns its effect.
#pragma once

#include "platform/d3dx9.h"

#include <array>
#include <string>

namespace dorvo
{
namespace gfx
{
class CPostProcess
{
public:
    static constexpr unsigned kSourceCount = 4;
    static constexpr unsigned kSceneCount = 4;
    static constexpr unsigned kSavedCount = 2;
    static constexpr unsigned kParameterCount = 10;
    // The technique every post-processing file runs.
    static constexpr char kTechnique[] = "PostProcess";

    CPostProcess() = default;
    // Releases the effect.
    virtual ~CPostProcess();
    CPostProcess(const CPostProcess&) = delete;
    CPostProcess& operator=(const CPostProcess&) = delete;

    // Loads the effect from path (as given) on the device core's device without a pool, reads
    // the handles and annotations, then ConvertPixelsToTexels. Missing handles and annotations
    // keep their initial values silently. False when the effect does not load or has no
    // "PostProcess" technique (such a file cannot run): why, in one line naming the file,
    // goes into *why when asked for, else to the log with the compiler's text.
    bool Init(const std::string& path, std::string* why = nullptr);

    // For every parameter P with the string annotation "ConvertPixelsToTexels" naming a
    // parameter Q: Q's floats, each pair divided by the back buffer's width and height (a last
    // odd float copied unchanged), into P. Called again after every reset.
    void ConvertPixelsToTexels();

    const std::string& GetPath() const { return m_path; }
    plat::ID3DXEffect* GetEffect() const { return m_pEffect; }
    plat::D3DXHANDLE GetTechnique() const { return m_technique; }

    plat::D3DXHANDLE GetSourceHandle(unsigned i) const
    {
        return i < kSourceCount ? m_sourceHandles[i] : nullptr;
    }
    int GetSourceUsage(unsigned i) const { return i < kSourceCount ? m_sourceUsages[i] : 0; }
    plat::D3DXHANDLE GetSceneHandle(unsigned i) const
    {
        return i < kSceneCount ? m_sceneHandles[i] : nullptr;
    }
    int GetSceneUsage(unsigned i) const { return i < kSceneCount ? m_sceneUsages[i] : 0; }
    plat::D3DXHANDLE GetSavedHandle(unsigned i) const
    {
        return i < kSavedCount ? m_savedHandles[i] : nullptr;
    }
    int GetSavedUsage(unsigned i) const { return i < kSavedCount ? m_savedUsages[i] : 0; }

    // Parameter i (0 to 9); an index out of range gives the initial values.
    const std::string& GetParameterName(unsigned i) const;
    const std::string& GetParameterDesc(unsigned i) const;
    plat::D3DXHANDLE GetParameterHandle(unsigned i) const
    {
        return i < kParameterCount ? m_parameterHandles[i] : nullptr;
    }
    // Floats the chain sets, 0 to 4 (the annotation's value, clamped to that range).
    int GetParameterSize(unsigned i) const { return i < kParameterCount ? m_parameterSizes[i] : 0; }
    std::array<float, 4> GetParameterDefault(unsigned i) const;

    bool IsQuadScaled() const { return m_quadScaled; }
    float GetQuadScaleX() const { return m_quadScaleX; }
    float GetQuadScaleY() const { return m_quadScaleY; }
    // 0 or 1: the output is copied into that saved target; anything else (-1 by default): no copy.
    int GetSaveOutputIndex() const { return m_saveOutputIndex; }

private:
    std::string m_path;
    plat::ID3DXEffect* m_pEffect = nullptr; // one reference owned
    plat::D3DXHANDLE m_technique = nullptr;
    std::array<plat::D3DXHANDLE, kSourceCount> m_sourceHandles{};
    std::array<int, kSourceCount> m_sourceUsages{};
    std::array<plat::D3DXHANDLE, kSceneCount> m_sceneHandles{};
    std::array<int, kSceneCount> m_sceneUsages{};
    std::array<plat::D3DXHANDLE, kSavedCount> m_savedHandles{};
    std::array<int, kSavedCount> m_savedUsages{};
    std::array<std::string, kParameterCount> m_parameterNames;
    std::array<std::string, kParameterCount> m_parameterDescs;
    std::array<plat::D3DXHANDLE, kParameterCount> m_parameterHandles{};
    std::array<int, kParameterCount> m_parameterSizes{};
    std::array<std::array<float, 4>, kParameterCount> m_parameterDefaults{};
    bool m_quadScaled = false;
    float m_quadScaleX = 1.0f;
    float m_quadScaleY = 1.0f;
    int m_saveOutputIndex = -1;
};
} // namespace gfx
} // namespace dorvo
