#include "engine/gfx/CPostProcessor.h"

#include "common/Singleton.h"
#include "engine/gfx/CGFXCore.h"

#include <cstdio>

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

CPostProcessor& CPostProcessor::Instance()
{
    return *common::Singleton<CPostProcessor>::Instance();
}

CPostProcessor::CPostProcessor()
{
    CreateTargets();
}

CPostProcessor::~CPostProcessor()
{
    ReleaseTargets();
}

bool CPostProcessor::CreateTargets()
{
    ReleaseTargets();
    CGFXCore& core = CGFXCore::Instance();
    plat::IDirect3DDevice9* device = core.GetDevice();
    if (!device)
        return false;
    const plat::D3DSURFACE_DESC desc = device->GetBackBufferDesc();
    if (plat::FAILED(core.GetDepthStencilSurface(&m_pDeviceDepth)))
        m_pDeviceDepth = nullptr;
    bool all = true;
    for (unsigned i = 0; i < kSceneTargetCount; ++i)
    {
        if (plat::FAILED(core.CreateRenderTargetTexture(desc.Width, desc.Height, desc.Format, &m_sceneTargets[i])))
            m_sceneTargets[i] = nullptr;
        if (plat::FAILED(core.CreateDepthStencilSurface(desc.Width, desc.Height, plat::D3DFMT_D24S8,
                                                        plat::D3DMULTISAMPLE_NONE, 0, 0, &m_sceneDepths[i])))
            m_sceneDepths[i] = nullptr;
        if (!m_sceneTargets[i] || !m_sceneDepths[i])
        {
            ReleaseAndNull(m_sceneTargets[i]);
            ReleaseAndNull(m_sceneDepths[i]);
            all = false;
        }
    }
    if (!all)
        std::fprintf(stderr, "CPostProcessor::CreateTargets - a scene target of %u x %u could not be made; "
                             "post-processing draws nothing into it.\n",
                     desc.Width, desc.Height);
    return all;
}

void CPostProcessor::ReleaseTargets()
{
    for (unsigned i = 0; i < kSceneTargetCount; ++i)
    {
        ReleaseAndNull(m_sceneTargets[i]);
        ReleaseAndNull(m_sceneDepths[i]);
    }
    ReleaseAndNull(m_pDeviceDepth);
}

bool CPostProcessor::SetTargets(unsigned index)
{
    if (index >= kSceneTargetCount || !m_sceneTargets[index])
        return false;
    CGFXCore& core = CGFXCore::Instance();
    plat::IDirect3DSurface9* surface = nullptr;
    if (plat::FAILED(core.GetSurfaceLevel(m_sceneTargets[index], 0, &surface)) || !surface)
        return false;
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

void CPostProcessor::OnLostDevice()
{
    ReleaseTargets();
}

void CPostProcessor::OnResetDevice()
{
    CreateTargets();
}

plat::IDirect3DTexture9* CPostProcessor::GetSceneTarget(unsigned index) const
{
    return index < kSceneTargetCount ? m_sceneTargets[index] : nullptr;
}

plat::IDirect3DSurface9* CPostProcessor::GetSceneDepth(unsigned index) const
{
    return index < kSceneTargetCount ? m_sceneDepths[index] : nullptr;
}
} // namespace gfx
} // namespace dorvo
