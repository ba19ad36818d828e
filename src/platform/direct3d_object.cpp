// The Direct3D object both devices hand out, and the caps they report.
#include "platform/device_base.h"

#include <algorithm>
#include <cstdio>

namespace plat
{
D3DCAPS9 PassingCaps(DWORD maxTextureSize)
{
    D3DCAPS9 caps;
    caps.DeviceType = D3DDEVTYPE_HAL;
    caps.PresentationIntervals = D3DPRESENT_INTERVAL_IMMEDIATE | D3DPRESENT_INTERVAL_ONE;
    caps.DevCaps = D3DDEVCAPS_DRAWPRIMTLVERTEX | D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_HWRASTERIZATION;
    caps.PrimitiveMiscCaps = D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW;
    caps.RasterCaps = D3DPRASTERCAPS_FOGVERTEX;
    caps.ShadeCaps = D3DPSHADECAPS_COLORGOURAUDRGB;
    caps.TextureCaps = D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_CUBEMAP | D3DPTEXTURECAPS_MIPMAP;
    caps.MaxTextureWidth = maxTextureSize;
    caps.MaxTextureHeight = maxTextureSize;
    caps.TextureOpCaps = D3DTEXOPCAPS_DISABLE | D3DTEXOPCAPS_SELECTARG1 | D3DTEXOPCAPS_SELECTARG2 |
                         D3DTEXOPCAPS_MODULATE | D3DTEXOPCAPS_ADD | D3DTEXOPCAPS_SUBTRACT;
    caps.MaxActiveLights = 8;
    caps.MaxUserClipPlanes = kMaxClipPlanes;
    caps.MaxSimultaneousTextures = kMaxTextureStages;
    caps.NumSimultaneousRTs = 1;
    caps.VertexShaderVersion = D3DVS_VERSION(3, 0);
    caps.PixelShaderVersion = D3DPS_VERSION(3, 0);
    return caps;
}
} // namespace plat

namespace plat::detail
{
// ---- Direct3DObject -----------------------------------------------------------------------------

Direct3DObject::Direct3DObject(std::vector<std::string> adapterDescriptions, const D3DCAPS9& caps,
                               std::vector<D3DFORMAT> unsupported)
    : m_adapters(std::move(adapterDescriptions)), m_caps(caps), m_unsupported(std::move(unsupported))
{
}

ULONG Direct3DObject::Release()
{
    const ULONG count = --m_count;
    if (count == 0)
        delete this;
    return count;
}

HRESULT Direct3DObject::GetAdapterIdentifier(UINT adapter, DWORD, D3DADAPTER_IDENTIFIER9* identifier)
{
    if (!identifier || adapter >= m_adapters.size())
        return D3DERR_INVALIDCALL;
    *identifier = D3DADAPTER_IDENTIFIER9();
    std::snprintf(identifier->Driver, sizeof identifier->Driver, "%s", "dorvo");
    std::snprintf(identifier->Description, sizeof identifier->Description, "%s", m_adapters[adapter].c_str());
    std::snprintf(identifier->DeviceName, sizeof identifier->DeviceName, "DISPLAY%u", adapter + 1);
    return S_OK;
}

HRESULT Direct3DObject::CheckDeviceFormat(UINT adapter, D3DDEVTYPE, D3DFORMAT, DWORD usage,
                                          D3DRESOURCETYPE type, D3DFORMAT checkFormat)
{
    if (adapter >= m_adapters.size())
        return D3DERR_INVALIDCALL;
    if (std::find(m_unsupported.begin(), m_unsupported.end(), checkFormat) != m_unsupported.end())
        return D3DERR_NOTAVAILABLE;
    const bool colour = checkFormat == D3DFMT_A8R8G8B8 || checkFormat == D3DFMT_X8R8G8B8;
    if (colour && (type == D3DRTYPE_TEXTURE || type == D3DRTYPE_SURFACE) && !(usage & D3DUSAGE_DEPTHSTENCIL))
        return S_OK;
    if (checkFormat == D3DFMT_D24S8 && type == D3DRTYPE_SURFACE && (usage & D3DUSAGE_DEPTHSTENCIL))
        return S_OK;
    return D3DERR_NOTAVAILABLE;
}

HRESULT Direct3DObject::GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS9* caps)
{
    if (!caps || adapter >= m_adapters.size())
        return D3DERR_INVALIDCALL;
    *caps = m_caps;
    caps->AdapterOrdinal = adapter;
    caps->DeviceType = deviceType;
    return S_OK;
}

} // namespace plat::detail
