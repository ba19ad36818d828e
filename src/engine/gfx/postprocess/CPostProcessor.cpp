#include "engine/gfx/postprocess/CPostProcessor.h"

#include "common/Singleton.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/postprocess/CPostProcess.h"
#include "platform/files.h"
#include "platform/log.h"

#include <utility>

namespace dorvo
{
namespace gfx
{
namespace
{
constexpr plat::D3DCOLOR kOpaqueBlack = 0xFF000000u;

template <class T> void ReleaseAndNull(T*& object)
{
    if (object)
        object->Release();
    object = nullptr;
}
} // namespace

// ---- The screen quad ------------------------------------------------------------------------------

void SScreenQuad::Build(unsigned width, unsigned height)
{
    const float right = static_cast<float>(width) - 0.5f;
    const float bottom = static_cast<float>(height) - 0.5f;
    const float xs[4] = {-0.5f, right, -0.5f, right};
    const float ys[4] = {-0.5f, -0.5f, bottom, bottom};
    for (unsigned i = 0; i < 4; ++i)
    {
        const float u = (i & 1) ? 1.0f : 0.0f;
        const float v = (i & 2) ? 1.0f : 0.0f;
        corners[i] = SScreenQuadVertex{xs[i], ys[i], 0.0f, 1.0f, u, v, u, v};
    }
}

void SScreenQuad::ScalePositions(float sx, float sy)
{
    for (unsigned i = 0; i < 4; ++i)
    {
        if (i & 1) // right edge
            corners[i].x = (corners[i].x + 0.5f) * sx - 0.5f;
        if (i & 2) // bottom edge
            corners[i].y = (corners[i].y + 0.5f) * sy - 0.5f;
    }
}

void SScreenQuad::ScaleTexCoords(float sx, float sy)
{
    for (unsigned i = 0; i < 4; ++i)
    {
        if (i & 1)
            corners[i].u0 *= sx;
        if (i & 2)
            corners[i].v0 *= sy;
    }
}

// ---- Life ------------------------------------------------------------------------------------------

CPostProcessor& CPostProcessor::Instance()
{
    return *common::Singleton<CPostProcessor>::Instance();
}

CPostProcessor::CPostProcessor()
{
    CreateTargets();
    BuildScreenQuad();
    const CDorvoGfx* gfx = CDorvoGfx::IfAlive();
    LoadFinalEffect(gfx ? gfx->GetEffectPath() : std::string());
}

CPostProcessor::~CPostProcessor()
{
    ReleaseTargets();
    ReleasePostProcesses();
    ReleaseAndNull(m_pFinalEffect);
}

void CPostProcessor::OnNewDevice()
{
    ReleasePostProcesses();
    CreateTargets();
    BuildScreenQuad();
    LoadFinalEffect(m_effectFolder);
}

// ---- Targets ---------------------------------------------------------------------------------------

bool CPostProcessor::CreateTargets()
{
    ReleaseTargets();
    m_source = 0;
    m_destination = 1;
    CGFXCore& core = CGFXCore::Instance();
    plat::IDirect3DDevice9* device = core.GetDevice();
    if (!device)
        return false;
    const plat::D3DSURFACE_DESC desc = device->GetBackBufferDesc();
    if (plat::FAILED(core.GetDepthStencilSurface(&m_pDeviceDepth)))
        m_pDeviceDepth = nullptr;

    auto makeTexture = [&](plat::IDirect3DTexture9*& texture)
    {
        if (plat::FAILED(core.CreateRenderTargetTexture(desc.Width, desc.Height, desc.Format, &texture)))
            texture = nullptr;
        return texture != nullptr;
    };
    auto makeDepth = [&](plat::IDirect3DSurface9*& surface)
    {
        if (plat::FAILED(core.CreateDepthStencilSurface(desc.Width, desc.Height, plat::D3DFMT_D24S8,
                                                        plat::D3DMULTISAMPLE_NONE, 0, 0, &surface)))
            surface = nullptr;
        return surface != nullptr;
    };
    // A target goes with its depth surface, or neither is kept.
    auto makePair = [&](plat::IDirect3DTexture9*& texture, plat::IDirect3DSurface9*& depth)
    {
        const bool made = makeTexture(texture) & makeDepth(depth);
        if (!made)
        {
            ReleaseAndNull(texture);
            ReleaseAndNull(depth);
        }
        return made;
    };

    bool all = true;
    for (unsigned i = 0; i < 2; ++i)
        all &= makePair(m_pingPong[i], m_pingPongDepths[i]);
    for (unsigned i = 0; i < kSceneTargetCount; ++i)
        all &= makePair(m_sceneTargets[i], m_sceneDepths[i]);
    for (unsigned i = 0; i < kSavedTargetCount; ++i)
        all &= makeTexture(m_savedTargets[i]);
    if (!all)
        DORVO_LOG("CPostProcessor::CreateTargets: a target of %u x %u could not be made; post-processing "
                  "draws nothing into it",
                  desc.Width, desc.Height);
    return all;
}

void CPostProcessor::ReleaseTargets()
{
    for (unsigned i = 0; i < 2; ++i)
    {
        ReleaseAndNull(m_pingPong[i]);
        ReleaseAndNull(m_pingPongDepths[i]);
    }
    for (unsigned i = 0; i < kSceneTargetCount; ++i)
    {
        ReleaseAndNull(m_sceneTargets[i]);
        ReleaseAndNull(m_sceneDepths[i]);
    }
    for (plat::IDirect3DTexture9*& saved : m_savedTargets)
        ReleaseAndNull(saved);
    ReleaseAndNull(m_pDeviceDepth);
}

plat::IDirect3DSurface9* CPostProcessor::SurfaceOf(plat::IDirect3DTexture9* texture)
{
    plat::IDirect3DSurface9* surface = nullptr;
    if (!texture || plat::FAILED(CGFXCore::Instance().GetSurfaceLevel(texture, 0, &surface)))
        return nullptr;
    return surface;
}

bool CPostProcessor::SetTargets(unsigned index)
{
    if (index >= kSceneTargetCount || !m_sceneTargets[index])
        return false;
    plat::IDirect3DSurface9* surface = SurfaceOf(m_sceneTargets[index]);
    if (!surface)
        return false;
    CGFXCore& core = CGFXCore::Instance();
    core.SetRenderTarget(0, surface);
    surface->Release();
    core.SetDepthStencilSurface(m_sceneDepths[index]);
    return true;
}

void CPostProcessor::BindSceneTarget(unsigned index)
{
    if (SetTargets(index))
        CGFXCore::Instance().Clear(plat::D3DCLEAR_TARGET | plat::D3DCLEAR_ZBUFFER | plat::D3DCLEAR_STENCIL,
                                   kOpaqueBlack, 1.0f, 0);
}

void CPostProcessor::SelectSceneTarget(unsigned index)
{
    SetTargets(index);
}

void CPostProcessor::RestoreBackBuffer()
{
    CGFXCore& core = CGFXCore::Instance();
    plat::IDirect3DSurface9* backBuffer = nullptr;
    if (plat::SUCCEEDED(core.GetBackBuffer(0, 0, &backBuffer)) && backBuffer)
    {
        core.SetRenderTarget(0, backBuffer);
        backBuffer->Release();
    }
    if (m_pDeviceDepth)
        core.SetDepthStencilSurface(m_pDeviceDepth);
}

void CPostProcessor::BuildScreenQuad()
{
    CGFXCore& core = CGFXCore::Instance();
    unsigned width = core.GetScreenWidth();
    unsigned height = core.GetScreenHeight();
    if (plat::IDirect3DDevice9* device = core.GetDevice())
    {
        const plat::D3DSURFACE_DESC desc = device->GetBackBufferDesc();
        width = desc.Width;
        height = desc.Height;
    }
    m_quad.Build(width, height);
    m_quadScale = {1.0f, 1.0f};
}

// ---- Effects ---------------------------------------------------------------------------------------

bool CPostProcessor::LoadFinalEffect(const std::string& effectFolder)
{
    m_effectFolder = effectFolder;
    ReleaseAndNull(m_pFinalEffect);
    m_finalTechnique = nullptr;
    m_finalTexture = nullptr;
    m_reportedNoFinal = false;
    m_finalProblem.clear();
    const std::string path = m_effectFolder + kFinalEffectFile;
    std::string errors;
    if (plat::FAILED(CGFXCore::Instance().LoadEffect(path, nullptr, plat::D3DXSHADER_DEBUG, nullptr,
                                                     &m_pFinalEffect, &errors)) ||
        !m_pFinalEffect)
    {
        // Said when a chain first needs it: a program that never post-processes hears nothing.
        m_pFinalEffect = nullptr;
        m_finalProblem = "\"" + path + "\" did not load (" + errors.substr(0, errors.find('\n')) + ")";
        return false;
    }
    m_finalTechnique = m_pFinalEffect->GetTechniqueByName(kFinalTechnique);
    m_finalTexture = m_pFinalEffect->GetParameterByName(nullptr, kFinalTexture);
    if (!m_finalTechnique)
        m_finalProblem = "\"" + path + "\" has no technique \"" + kFinalTechnique + "\"";
    return m_finalTechnique != nullptr;
}

void CPostProcessor::LoadPostProcesses(const std::vector<std::string>& fileNames)
{
    for (const std::string& name : fileNames)
        LoadPostProcess(name);
}

bool CPostProcessor::LoadPostProcess(const std::string& fileName)
{
    if (m_cache.count(fileName))
        return true;
    auto effect = std::make_unique<CPostProcess>();
    std::string why;
    // The names come from the engine configuration and post-processing instances, which players
    // may edit: one that leaves the effect folder is refused like a file that does not load.
    if (!plat::IsConfinedName(fileName))
        why = (fileName.size() > 64 ? fileName.substr(0, 64) + "..." : fileName) +
              ": the name leaves the effect folder";
    if (!why.empty() || !effect->Init(m_effectFolder + fileName, &why))
    {
        // Once per name, however often it is queued.
        if (m_reportedFiles.insert(fileName).second)
            DORVO_LOG("CPostProcessor::LoadPostProcess: %s; its post-processing instances are dropped",
                      why.c_str());
        return false;
    }
    m_cache.emplace(fileName, std::move(effect));
    return true;
}

CPostProcess* CPostProcessor::FindPostProcess(const std::string& fileName) const
{
    const auto found = m_cache.find(fileName);
    return found == m_cache.end() ? nullptr : found->second.get();
}

void CPostProcessor::ReleasePostProcesses()
{
    m_cache.clear();
}

// ---- Queue -----------------------------------------------------------------------------------------

void CPostProcessor::Queue(const CPPInstance& instance)
{
    m_queue.push_back(instance);
}

void CPostProcessor::ClearQueue()
{
    while (!m_queue.empty())
        m_queue.pop_front();
}

void CPostProcessor::RemoveLastPostProcess()
{
    if (!m_queue.empty())
        m_queue.back().SetDropAfterRun(true);
}

// ---- The chain -------------------------------------------------------------------------------------

void CPostProcessor::RunChain()
{
    CGFXCore& core = CGFXCore::Instance();
    // Every chain starts from A, so the last result's texture follows from the runs alone.
    m_source = 0;
    m_destination = 1;
    plat::IDirect3DSurface9* scene = SurfaceOf(m_sceneTargets[0]);
    plat::IDirect3DSurface9* first = SurfaceOf(m_pingPong[m_source]);
    if (!scene || !first || !m_pingPong[m_destination])
    {
        // Targets missing (not made, or the device lost): nothing to read or write.
        ReleaseAndNull(scene);
        ReleaseAndNull(first);
        RestoreBackBuffer();
        return;
    }
    core.StretchRect(scene, nullptr, first, nullptr, plat::D3DTEXF_NONE);
    scene->Release();
    first->Release();
    // The quads fill their targets whatever the scene was drawn with: in lines ("setwireframe")
    // they would leave all but their edges black.
    core.SetRenderState(plat::D3DRS_FILLMODE, plat::D3DFILL_SOLID);
    // A scene in lines is shown as drawn: the outlines of the game's qualities would darken
    // every line. The effects wait; one-frame instances leave as after their run.
    const bool inLines = core.GetFillMode() == plat::D3DFILL_WIREFRAME;

    while (!m_queue.empty())
    {
        const CPPInstance& instance = m_queue.front();
        if (inLines)
        {
            if (!instance.GetDropAfterRun())
                m_keep.push_back(instance);
            m_queue.pop_front();
            continue;
        }
        CPostProcess* effect = FindPostProcess(instance.GetEffectFile());
        if (!effect && LoadPostProcess(instance.GetEffectFile()))
            effect = FindPostProcess(instance.GetEffectFile());
        if (effect && RunInstance(instance, *effect))
        {
            if (!instance.GetDropAfterRun())
                m_keep.push_back(instance);
            std::swap(m_source, m_destination);
        }
        m_queue.pop_front();
    }

    DrawFinal();
    core.SetRenderState(plat::D3DRS_FILLMODE, static_cast<plat::DWORD>(core.GetFillMode()));
    m_queue.swap(m_keep);
    m_keep.clear();
}

bool CPostProcessor::RunInstance(const CPPInstance& instance, CPostProcess& post)
{
    plat::ID3DXEffect* effect = post.GetEffect();
    plat::IDirect3DSurface9* destination = SurfaceOf(m_pingPong[m_destination]);
    if (!effect || !destination)
    {
        ReleaseAndNull(destination);
        return false;
    }
    CGFXCore& core = CGFXCore::Instance();
    core.SetRenderTarget(0, destination);
    core.SetDepthStencilSurface(m_pingPongDepths[m_destination]);
    core.Clear(plat::D3DCLEAR_TARGET | plat::D3DCLEAR_ZBUFFER | plat::D3DCLEAR_STENCIL, kOpaqueBlack, 1.0f,
               0);

    // The textures it reads.
    for (unsigned i = 0; i < CPostProcess::kSceneCount; ++i)
        if (post.GetSceneUsage(i) == 1)
            effect->SetTexture(post.GetSceneHandle(i), m_sceneTargets[i]);
    if (post.GetSourceUsage(0) == 1)
        effect->SetTexture(post.GetSourceHandle(0), m_pingPong[m_source]);
    for (unsigned i = 0; i < CPostProcess::kSavedCount; ++i)
        if (post.GetSavedUsage(i) == 1)
            effect->SetTexture(post.GetSavedHandle(i), m_savedTargets[i]);

    // Its parameters: the instance's own values where it has them, else the file's defaults.
    for (unsigned i = 0; i < CPostProcess::kParameterCount; ++i)
    {
        const plat::D3DXHANDLE handle = post.GetParameterHandle(i);
        const int size = post.GetParameterSize(i);
        if (!handle || size <= 0)
            continue;
        const std::array<float, 4> value =
            instance.UsesOwnValue(i) ? instance.GetParameter(i) : post.GetParameterDefault(i);
        effect->SetFloatArray(handle, value.data(), static_cast<plat::UINT>(size));
    }

    if (post.IsQuadScaled())
    {
        m_quad.ScalePositions(post.GetQuadScaleX(), post.GetQuadScaleY());
        m_quadScale[0] *= post.GetQuadScaleX();
        m_quadScale[1] *= post.GetQuadScaleY();
    }
    effect->SetFloat("g_time", static_cast<float>(core.GetFrameTime()));
    effect->SetFloat("g_ElapsedTime", core.GetFrameDt());
    effect->SetTechnique(post.GetTechnique());
    DrawQuad(effect);
    if (m_pTrace)
        m_pTrace->push_back(SChainStep{instance.GetEffectFile(), m_source, m_destination, m_quad});
    if (post.IsQuadScaled())
        m_quad.ScaleTexCoords(post.GetQuadScaleX(), post.GetQuadScaleY());

    const int save = post.GetSaveOutputIndex();
    if (save == 0 || save == 1)
        if (plat::IDirect3DSurface9* saved = SurfaceOf(m_savedTargets[save]))
        {
            core.StretchRect(destination, nullptr, saved, nullptr, plat::D3DTEXF_LINEAR);
            saved->Release();
        }
    destination->Release();

    // The effect lets go of the targets, so none outlives a device loss through it.
    for (unsigned i = 0; i < CPostProcess::kSceneCount; ++i)
        effect->SetTexture(post.GetSceneHandle(i), nullptr);
    for (unsigned i = 0; i < CPostProcess::kSourceCount; ++i)
        effect->SetTexture(post.GetSourceHandle(i), nullptr);
    for (unsigned i = 0; i < CPostProcess::kSavedCount; ++i)
        effect->SetTexture(post.GetSavedHandle(i), nullptr);
    return true;
}

void CPostProcessor::DrawQuad(plat::ID3DXEffect* effect)
{
    CGFXCore& core = CGFXCore::Instance();
    plat::UINT passes = 0;
    if (plat::FAILED(effect->Begin(&passes, 0)))
        return;
    for (plat::UINT pass = 0; pass < passes; ++pass)
    {
        effect->BeginPass(pass);
        core.DrawPrimitiveUP(plat::D3DPT_TRIANGLESTRIP, 2, m_quad.corners.data(), sizeof(SScreenQuadVertex));
        effect->EndPass();
    }
    effect->End();
}

void CPostProcessor::DrawFinal()
{
    RestoreBackBuffer();
    // Made anew rather than scaled back, so no rounding piles up from frame to frame.
    BuildScreenQuad();
    if (m_pFinalEffect && m_finalTechnique)
    {
        m_pFinalEffect->SetTechnique(m_finalTechnique);
        m_pFinalEffect->SetTexture(m_finalTexture, m_pingPong[m_source]);
        DrawQuad(m_pFinalEffect);
        m_pFinalEffect->SetTexture(m_finalTexture, nullptr);
        return;
    }
    if (!m_reportedNoFinal)
    {
        DORVO_LOG("CPostProcessor::DrawFinal: %s; the last result is copied to the back buffer instead",
                  m_finalProblem.c_str());
        m_reportedNoFinal = true;
    }
    CGFXCore& core = CGFXCore::Instance();
    plat::IDirect3DSurface9* result = SurfaceOf(m_pingPong[m_source]);
    plat::IDirect3DSurface9* backBuffer = nullptr;
    if (result && plat::SUCCEEDED(core.GetBackBuffer(0, 0, &backBuffer)) && backBuffer)
        core.StretchRect(result, nullptr, backBuffer, nullptr, plat::D3DTEXF_LINEAR);
    ReleaseAndNull(backBuffer);
    ReleaseAndNull(result);
}

// ---- Device ----------------------------------------------------------------------------------------

void CPostProcessor::OnLostDevice()
{
    ReleaseTargets();
    if (m_pFinalEffect)
        m_pFinalEffect->OnLostDevice();
    for (auto& entry : m_cache)
        if (plat::ID3DXEffect* effect = entry.second->GetEffect())
            effect->OnLostDevice();
}

void CPostProcessor::OnResetDevice()
{
    CreateTargets();
    BuildScreenQuad();
    if (m_pFinalEffect)
        m_pFinalEffect->OnResetDevice();
    // The pixel offsets hold for the old back-buffer size until converted again.
    for (auto& entry : m_cache)
    {
        if (plat::ID3DXEffect* effect = entry.second->GetEffect())
            effect->OnResetDevice();
        entry.second->ConvertPixelsToTexels();
    }
}

// ---- What tests read -------------------------------------------------------------------------------

plat::IDirect3DTexture9* CPostProcessor::GetSceneTarget(unsigned index) const
{
    return index < kSceneTargetCount ? m_sceneTargets[index] : nullptr;
}

plat::IDirect3DSurface9* CPostProcessor::GetSceneDepth(unsigned index) const
{
    return index < kSceneTargetCount ? m_sceneDepths[index] : nullptr;
}

plat::IDirect3DTexture9* CPostProcessor::GetSavedTarget(unsigned index) const
{
    return index < kSavedTargetCount ? m_savedTargets[index] : nullptr;
}

plat::IDirect3DTexture9* CPostProcessor::GetPingPong(unsigned index) const
{
    return index < 2 ? m_pingPong[index] : nullptr;
}

plat::IDirect3DSurface9* CPostProcessor::GetPingPongDepth(unsigned index) const
{
    return index < 2 ? m_pingPongDepths[index] : nullptr;
}
} // namespace gfx
} // namespace dorvo
