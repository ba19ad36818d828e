#include "engine/gfx/water/CWaterManager.h"

#include "common/Singleton.h"
#include "engine/Gob.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/water/GfxWaterComp.h"
#include "platform/log.h"

namespace dorvo
{
namespace gfx
{
namespace
{
template <class T> void ReleaseAndNull(T*& object)
{
    if (object)
        object->Release();
    object = nullptr;
}

plat::IDirect3DSurface9* TopLevel(plat::IDirect3DTexture9* texture)
{
    plat::IDirect3DSurface9* surface = nullptr;
    if (!texture || plat::FAILED(CGFXCore::Instance().GetSurfaceLevel(texture, 0, &surface)))
        return nullptr;
    return surface;
}
} // namespace

CWaterManager& CWaterManager::Instance()
{
    return *common::Singleton<CWaterManager>::Instance();
}

CWaterManager::CWaterManager()
{
    CreateTargets();
}

CWaterManager::~CWaterManager()
{
    ReleaseTargets();
}

bool CWaterManager::CreateTargets()
{
    ReleaseTargets();
    CGFXCore& core = CGFXCore::Instance();
    plat::IDirect3DDevice9* device = core.GetDevice();
    if (!device)
        return false;
    const plat::D3DSURFACE_DESC desc = device->GetBackBufferDesc();
    // A map goes with its depth surface, or neither is kept. The depth surfaces are not
    // multisampled whatever the back buffer is: a texture target never is, and the two must
    // agree to be drawn into together.
    auto makePair = [&](plat::IDirect3DTexture9*& texture, plat::IDirect3DSurface9*& depth)
    {
        if (plat::FAILED(core.CreateRenderTargetTexture(desc.Width, desc.Height, desc.Format, &texture)))
            texture = nullptr;
        if (plat::FAILED(core.CreateDepthStencilSurface(desc.Width, desc.Height, plat::D3DFMT_D24S8,
                                                        plat::D3DMULTISAMPLE_NONE, 0, 0, &depth)))
            depth = nullptr;
        if (texture && depth)
            return true;
        ReleaseAndNull(texture);
        ReleaseAndNull(depth);
        return false;
    };
    const bool reflection = makePair(m_pReflection, m_pReflectionDepth);
    const bool refraction = makePair(m_pRefraction, m_pRefractionDepth);
    if (!reflection || !refraction)
        DORVO_LOG("CWaterManager::CreateTargets: the %s map of %u x %u could not be made; the water shows "
                  "nothing in its place",
                  !reflection ? "reflection" : "refraction", desc.Width, desc.Height);
    return reflection && refraction;
}

void CWaterManager::ReleaseTargets()
{
    ReleaseAndNull(m_pReflection);
    ReleaseAndNull(m_pRefraction);
    ReleaseAndNull(m_pReflectionDepth);
    ReleaseAndNull(m_pRefractionDepth);
}

plat::IDirect3DSurface9* CWaterManager::GetReflectionSurface() const
{
    return TopLevel(m_pReflection);
}

plat::IDirect3DSurface9* CWaterManager::GetRefractionSurface() const
{
    return TopLevel(m_pRefraction);
}

void CWaterManager::ForgetWater(const GfxWaterComp* water)
{
    if (water && m_pActiveWater == water)
        m_pActiveWater = nullptr;
}

bool CWaterManager::GetWaterPlane(math::Plane& plane) const
{
    return m_pActiveWater && m_pActiveWater->GetWaterPlane(plane);
}

std::uint32_t CWaterManager::GetWaterGobID() const
{
    const Gob* owner = m_pActiveWater ? m_pActiveWater->GetOwner() : nullptr;
    return owner ? owner->GetID() : 0;
}

math::Matrix4 CWaterManager::GetReflectionMatrix() const
{
    math::Plane plane;
    if (!GetWaterPlane(plane))
        return math::Matrix4();
    return math::Matrix4::Reflect(plane);
}
} // namespace gfx
} // namespace dorvo
