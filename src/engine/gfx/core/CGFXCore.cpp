#include "engine/gfx/core/CGFXCore.h"

#include "common/Assert.h"
#include "common/Singleton.h"
#include "common/math/AABB.h"
#include "common/math/MathUtil.h"
#include "common/math/Sphere.h"
#include "engine/CDorvoCamera.h"
#include "engine/CPicker.h"
#include "engine/gfx/core/CAtmosphereManager.h"
#include "engine/gfx/core/D3DRenderBuffers.h"
#include "engine/gfx/core/ISharedEffectParameters.h"
#include "engine/gfx/core/MatrixConvert.h"
#include "platform/frame_driver.h"

#include <cmath>
#include <cstring>

namespace dorvo
{
namespace gfx
{
namespace
{
constexpr wchar_t kDeviceFailureText[] =
    L"Failed To Create D3D Device!\nPlease Check Your System Specs Against The Minimum Requirements.";
// The adapter the performance tool puts in front of the real one.
constexpr char kPerfHudDescription[] = "NVIDIA NVPerfHUD";
constexpr plat::D3DCOLOR kClearColor = 0xFF000000u; // opaque black
constexpr float kShadowColor[4] = {0.3f, 0.3f, 0.3f, 1.0f};
// How far a flat side of a bounding box is pushed out, world units, so that flat geometry still
// has a box with volume.
constexpr float kFlatBoxMargin = 0.01f;

// The minimum the game asks of a device.
constexpr plat::DWORD kDevCapsMask = plat::D3DDEVCAPS_HWRASTERIZATION | plat::D3DDEVCAPS_HWTRANSFORMANDLIGHT |
                                     plat::D3DDEVCAPS_DRAWPRIMTLVERTEX;
constexpr plat::DWORD kCullCapsMask = plat::D3DPMISCCAPS_CULLCW | plat::D3DPMISCCAPS_CULLCCW;
constexpr plat::DWORD kTextureCapsMask =
    plat::D3DPTEXTURECAPS_ALPHA | plat::D3DPTEXTURECAPS_CUBEMAP | plat::D3DPTEXTURECAPS_MIPMAP;
constexpr plat::DWORD kTextureOpMask = 0x24E;
constexpr plat::DWORD kMinTextureSize = 1024; // pixels
constexpr plat::DWORD kMinActiveLights = 4;

using plat::D3DDECLTYPE_D3DCOLOR;
using plat::D3DDECLTYPE_FLOAT2;
using plat::D3DDECLTYPE_FLOAT3;
using plat::D3DDECLTYPE_FLOAT4;
const plat::D3DVERTEXELEMENT9 kGeneralElements[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, 0, plat::D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_FLOAT3, 0, plat::D3DDECLUSAGE_NORMAL, 0},
    {0, 24, D3DDECLTYPE_FLOAT2, 0, plat::D3DDECLUSAGE_TEXCOORD, 0},
    {0, 32, D3DDECLTYPE_FLOAT3, 0, plat::D3DDECLUSAGE_TANGENT, 0},
    {0, 44, D3DDECLTYPE_FLOAT3, 0, plat::D3DDECLUSAGE_BINORMAL, 0},
    {0, 56, D3DDECLTYPE_D3DCOLOR, 0, plat::D3DDECLUSAGE_COLOR, 0},
    plat::D3DDECL_END(),
};
const plat::D3DVERTEXELEMENT9 kShadowElements[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, 0, plat::D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_FLOAT3, 0, plat::D3DDECLUSAGE_NORMAL, 0},
    plat::D3DDECL_END(),
};
const plat::D3DVERTEXELEMENT9 kScreenQuadElements[] = {
    {0, 0, D3DDECLTYPE_FLOAT4, 0, plat::D3DDECLUSAGE_POSITIONT, 0},
    {0, 16, D3DDECLTYPE_FLOAT2, 0, plat::D3DDECLUSAGE_TEXCOORD, 0},
    {0, 24, D3DDECLTYPE_FLOAT2, 0, plat::D3DDECLUSAGE_TEXCOORD, 1},
    plat::D3DDECL_END(),
};
const plat::D3DVERTEXELEMENT9 kParticleElements[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, 0, plat::D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_FLOAT3, 0, plat::D3DDECLUSAGE_TEXCOORD, 0},
    {0, 24, D3DDECLTYPE_D3DCOLOR, 0, plat::D3DDECLUSAGE_COLOR, 0},
    plat::D3DDECL_END(),
};
const plat::D3DVERTEXELEMENT9* const kDeclarations[VD_Count] = {kGeneralElements, kShadowElements,
                                                                kScreenQuadElements, kParticleElements};

// The core the picker's unproject hook reads: the last one made that still lives.
const CGFXCore* s_pHookedCore = nullptr;

bool UnprojectThroughCore(const math::Vector3& screen, math::Vector3& world)
{
    return s_pHookedCore && s_pHookedCore->Unproject(screen, world);
}

unsigned s_nextGeometryId = 1;

template <typename T> void ReleaseAndClear(T*& object)
{
    if (object)
        object->Release();
    object = nullptr;
}

// The least and greatest position over the vertices (count > 0).
void PositionExtent(const void* vertices, unsigned count, math::Vector3& least, math::Vector3& greatest)
{
    const auto* bytes = static_cast<const unsigned char*>(vertices);
    for (unsigned i = 0; i < count; ++i)
    {
        float p[3];
        std::memcpy(p, bytes + static_cast<std::size_t>(i) * kUnitVertexStride, sizeof p);
        for (int axis = 0; axis < 3; ++axis)
        {
            if (i == 0 || p[axis] < least[axis])
                least[axis] = p[axis];
            if (i == 0 || p[axis] > greatest[axis])
                greatest[axis] = p[axis];
        }
    }
}

plat::HRESULT NoDevice()
{
    return plat::D3DERR_INVALIDCALL;
}
} // namespace

CGFXCore& CGFXCore::Instance()
{
    return *common::Singleton<CGFXCore>::Instance();
}

CGFXCore::CGFXCore()
{
    s_pHookedCore = this;
    CPicker::SetUnprojectHook(&UnprojectThroughCore);
}

CGFXCore::~CGFXCore()
{
    Release();
    if (s_pHookedCore == this)
    {
        s_pHookedCore = nullptr;
        CPicker::SetUnprojectHook(nullptr);
    }
}

void CGFXCore::SetBackBufferSize(unsigned width, unsigned height)
{
    m_backBufferWidth = width;
    m_backBufferHeight = height;
}

// ---- Device lifetime ----------------------------------------------------------------------------

bool CGFXCore::CreateDevice()
{
    Release();
    const plat::HRESULT hr = plat::DXUTCreateDevice(
        plat::D3DADAPTER_DEFAULT, !m_fullScreen, static_cast<int>(m_backBufferWidth),
        static_cast<int>(m_backBufferHeight), &CGFXCore::TestDevice, &CGFXCore::ModifyDeviceSettings, this);
    if (plat::FAILED(hr))
    {
        plat::MessageBoxW(plat::DXUTGetHWND(), kDeviceFailureText, L"Error", plat::MB_OK);
        return false;
    }
    m_pD3D = plat::DXUTGetD3DObject();
    if (m_pD3D)
        m_pD3D->AddRef();
    m_pDevice = plat::DXUTGetD3D9Device();
    if (m_pDevice)
        m_pDevice->AddRef();
    m_presentParameters = plat::DXUTGetDeviceSettings().pp;
    // The settings callback may have changed the size, and a full-screen device takes the mode
    // it was given: the size the device really has is the one every pass works with.
    ReadBackBufferSize();
    ReadDeviceViewport();
    m_pCurrentViewport = &m_viewports[0];
    CreateDeclarations();
    return true;
}

bool CGFXCore::TestDevice(plat::D3DCAPS9* caps, plat::D3DFORMAT adapterFormat,
                          plat::D3DFORMAT backBufferFormat, bool, void* context)
{
    plat::IDirect3D9* d3d = plat::DXUTGetD3DObject();
    if (!caps || !d3d)
        return false;
    if (plat::FAILED(d3d->CheckDeviceFormat(caps->AdapterOrdinal, caps->DeviceType, adapterFormat,
                                            plat::D3DUSAGE_QUERY_POSTPIXELSHADER_BLENDING,
                                            plat::D3DRTYPE_TEXTURE, backBufferFormat)))
        return false;
    const bool passes =
        (caps->PresentationIntervals &
         (plat::D3DPRESENT_INTERVAL_IMMEDIATE | plat::D3DPRESENT_INTERVAL_ONE)) != 0 &&
        (caps->DevCaps & kDevCapsMask) != 0 && (caps->PrimitiveMiscCaps & kCullCapsMask) != 0 &&
        (caps->RasterCaps & plat::D3DPRASTERCAPS_FOGVERTEX) != 0 &&
        (caps->ShadeCaps & plat::D3DPSHADECAPS_COLORGOURAUDRGB) != 0 &&
        (caps->TextureCaps & kTextureCapsMask) != 0 && caps->MaxTextureWidth >= kMinTextureSize &&
        caps->MaxTextureHeight >= kMinTextureSize && (caps->TextureOpCaps & kTextureOpMask) != 0 &&
        caps->MaxActiveLights >= kMinActiveLights && caps->VertexShaderVersion >= plat::D3DVS_VERSION(2, 0) &&
        caps->PixelShaderVersion >= plat::D3DPS_VERSION(2, 0);
    if (passes && context)
        ++static_cast<CGFXCore*>(context)->m_acceptedDevices;
    return passes;
}

bool CGFXCore::ModifyDeviceSettings(plat::DXUTDeviceSettings* settings, const plat::D3DCAPS9*, void*)
{
    if (!settings)
        return false;
    settings->AdapterOrdinal = plat::D3DADAPTER_DEFAULT;
    settings->DeviceType = plat::D3DDEVTYPE_HAL;
    if (plat::IDirect3D9* d3d = plat::DXUTGetD3DObject())
    {
        const plat::UINT adapters = d3d->GetAdapterCount();
        for (plat::UINT i = 0; i < adapters; ++i)
        {
            plat::D3DADAPTER_IDENTIFIER9 identifier;
            if (plat::FAILED(d3d->GetAdapterIdentifier(i, 0, &identifier)))
                continue;
            // The description need not end inside its array.
            const std::string description(identifier.Description,
                                          strnlen(identifier.Description, sizeof identifier.Description));
            if (description == kPerfHudDescription)
            {
                settings->AdapterOrdinal = i;
                settings->DeviceType = plat::D3DDEVTYPE_REF;
                break;
            }
        }
    }
    settings->pp.BackBufferFormat = plat::D3DFMT_A8R8G8B8;
    settings->pp.SwapEffect = plat::D3DSWAPEFFECT_DISCARD;
    settings->pp.EnableAutoDepthStencil = 1;
    settings->pp.AutoDepthStencilFormat = plat::D3DFMT_D24S8;
    settings->pp.PresentationInterval = plat::D3DPRESENT_INTERVAL_IMMEDIATE;
    return true;
}

void CGFXCore::OnLostDevice()
{
    ReleaseDeclarations();
}

void CGFXCore::OnResetDevice()
{
    if (!m_pDevice)
        return;
    // The frame driver has already given the device its new back buffer; resetting it again
    // with the parameters kept from creation would undo a resize or a full-screen toggle.
    CreateDeclarations();
    ReadBackBufferSize();
    ReadDeviceViewport();
}

void CGFXCore::Release()
{
    ReleaseDeclarations();
    ReleaseAndClear(m_pDevice);
    ReleaseAndClear(m_pD3D);
    m_lastGeometryId = 0;
}

plat::IDirect3DVertexDeclaration9* CGFXCore::GetDeclaration(EVertexDeclaration which) const
{
    return which < VD_Count ? m_declarations[which] : nullptr;
}

void CGFXCore::CreateDeclarations()
{
    ReleaseDeclarations();
    if (!m_pDevice)
        return;
    for (unsigned i = 0; i < VD_Count; ++i)
    {
        m_pDevice->CreateVertexDeclaration(kDeclarations[i], &m_declarations[i]);
        if (i == VD_General)
            m_pDevice->SetVertexDeclaration(m_declarations[i]);
    }
}

void CGFXCore::ReleaseDeclarations()
{
    for (plat::IDirect3DVertexDeclaration9*& declaration : m_declarations)
        ReleaseAndClear(declaration);
}

void CGFXCore::ReadBackBufferSize()
{
    plat::IDirect3DSurface9* back = nullptr;
    if (!m_pDevice || plat::FAILED(m_pDevice->GetBackBuffer(0, 0, plat::D3DBACKBUFFER_TYPE_MONO, &back)))
        return;
    plat::D3DSURFACE_DESC desc;
    if (plat::SUCCEEDED(back->GetDesc(&desc)))
        SetBackBufferSize(desc.Width, desc.Height);
    back->Release();
}

void CGFXCore::ReadDeviceViewport()
{
    if (m_pDevice)
        m_pDevice->GetViewport(&m_viewports[0].viewport);
}

// ---- Frame ------------------------------------------------------------------------------------------

void CGFXCore::SetFrameTime(double time, float dt)
{
    m_frameTime = time;
    m_frameDt = dt;
}

void CGFXCore::BeginFrame()
{
    SetRenderState(plat::D3DRS_CULLMODE, plat::D3DCULL_CCW);
    SetRenderState(plat::D3DRS_MULTISAMPLEANTIALIAS, m_multisampleAntialias ? 1 : 0);
    SetRenderState(plat::D3DRS_FILLMODE, m_fillMode);
    SetVertexDeclaration(VD_General);
    if (m_pDevice)
        m_pDevice->BeginScene();
    Clear(plat::D3DCLEAR_TARGET | plat::D3DCLEAR_ZBUFFER | plat::D3DCLEAR_STENCIL, kClearColor, 1.0f, 0);

    if (!m_pSharedParameters)
        return;
    const CAtmosphereManager& atmosphere = CAtmosphereManager::Instance();
    m_pSharedParameters->SetFloat(SP_FogStart, atmosphere.GetFogStart());
    m_pSharedParameters->SetFloat(SP_FogEnd, atmosphere.GetFogEnd());
    m_pSharedParameters->SetFloat(SP_FogDensity, atmosphere.GetFogDensity());
    m_pSharedParameters->SetFloatArray(SP_FogColor, atmosphere.GetFogColor().data(), 4);
    m_pSharedParameters->SetFloat(SP_Time, static_cast<float>(m_frameTime));
    m_pSharedParameters->SetFloat(SP_ElapsedTime, m_frameDt);
    m_pSharedParameters->SetFloatArray(SP_ShadowColor, kShadowColor, 4);
}

void CGFXCore::SetViewport(unsigned index)
{
    if (!DORVO_ASSERT(index < kViewportCount, "CGFXCore::SetViewport - viewport index out of range."))
        return;
    m_pCurrentViewport = &m_viewports[index];
    SetView(m_pCurrentViewport->view);
    SetProjection(m_pCurrentViewport->projection);
    if (m_pDevice)
        ApplyViewport(m_pCurrentViewport->viewport);
}

void CGFXCore::SetView(const math::Matrix4& view)
{
    m_view = view;
    m_visibilityValid = false;
    if (!m_pSharedParameters)
        return;
    m_pSharedParameters->SetMatrix(SP_ViewInverse, ToD3DXMatrix(m_view.GetInverse()));
    m_pSharedParameters->SetMatrix(SP_View, ToD3DXMatrix(m_view));
    WriteViewProjection();
}

void CGFXCore::SetProjection(const math::Matrix4& projection)
{
    m_projection = projection;
    if (!m_pSharedParameters)
        return;
    m_pSharedParameters->SetMatrix(SP_ProjMat, ToD3DXMatrix(m_projection));
    WriteViewProjection();
}

void CGFXCore::WriteViewProjection()
{
    // View first, then projection: with our product order that is projection * view.
    m_pSharedParameters->SetMatrix(SP_ViewProjection, ToD3DXMatrix(m_projection * m_view));
}

void CGFXCore::SetLight(const plat::D3DLIGHT9& light)
{
    if (!m_pSharedParameters)
        return;
    ISharedEffectParameters& shared = *m_pSharedParameters;
    shared.SetInt(SP_LightType, static_cast<int>(light.Type));
    // The effects read a directional light's direction where others read the position.
    const plat::D3DVECTOR& where =
        light.Type == plat::D3DLIGHT_DIRECTIONAL ? light.Direction : light.Position;
    const float position[3] = {where.x, where.y, where.z};
    shared.SetFloatArray(SP_LightPos, position, 3);
    const float falloff[3] = {light.Falloff, light.Attenuation0, light.Attenuation1};
    shared.SetFloatArray(SP_LightFalloff, falloff, 3);
    shared.SetFloat(SP_LightRange, light.Range);
    const float ambient[4] = {light.Ambient.r, light.Ambient.g, light.Ambient.b, light.Ambient.a};
    shared.SetFloatArray(SP_LightAmbient, ambient, 4);
    const float diffuse[4] = {light.Diffuse.r, light.Diffuse.g, light.Diffuse.b, light.Diffuse.a};
    shared.SetFloatArray(SP_LightDiffuse, diffuse, 4);
    const float specular[4] = {light.Specular.r, light.Specular.g, light.Specular.b, light.Specular.a};
    shared.SetFloatArray(SP_LightSpecular, specular, 4);
}

void CGFXCore::EndScene()
{
    if (m_pDevice)
        m_pDevice->EndScene();
    m_lastGeometryId = 0;
}

void CGFXCore::SetViewCamera(const CDorvoCamera& camera, unsigned index)
{
    SViewportRecord& record = GetViewportRecord(index);
    camera.ComputeViewMatrix(record.view);
    camera.ComputeProjectionMatrix(record.projection);
    // The eye the view is built from (a followed body's position), so frustum and view agree.
    record.eye = camera.GetEyePosition();
    record.lookAt = camera.GetLookAt();
    record.frustum.SetView(record.eye, record.lookAt, camera.GetUpVector(), camera.GetFar(),
                           camera.GetNear());
    if (!math::FloatEqual(camera.GetFieldOfView(), record.fieldOfView) ||
        !math::FloatEqual(camera.GetAspect(), record.aspect))
    {
        record.fieldOfView = camera.GetFieldOfView();
        record.aspect = camera.GetAspect();
        const float vertical = std::tan(record.fieldOfView * 0.5f);
        record.frustum.SetSpread(vertical * record.aspect, vertical);
    }
}

SViewportRecord& CGFXCore::GetViewportRecord(unsigned index)
{
    if (!DORVO_ASSERT(index < kViewportCount, "CGFXCore::GetViewportRecord - viewport index out of range."))
        return m_viewports[0];
    return m_viewports[index];
}

const SViewportRecord& CGFXCore::GetViewportRecord(unsigned index) const
{
    return const_cast<CGFXCore*>(this)->GetViewportRecord(index);
}

unsigned CGFXCore::GetCurrentViewportIndex() const
{
    return m_pCurrentViewport ? static_cast<unsigned>(m_pCurrentViewport - m_viewports.data()) : 0;
}

bool CGFXCore::Unproject(const math::Vector3& screen, math::Vector3& world) const
{
    if (!m_pCurrentViewport)
        return false;
    const plat::D3DVIEWPORT9& viewport = m_pCurrentViewport->viewport;
    if (viewport.Width == 0 || viewport.Height == 0)
        return false;
    // The depth is divided by the range's width; a flat range would give NaN.
    const float maxZ = math::FloatEqual(viewport.MinZ, viewport.MaxZ) ? viewport.MinZ + 1.0f : viewport.MaxZ;
    world = math::Unproject(screen, static_cast<float>(viewport.X), static_cast<float>(viewport.Y),
                            static_cast<float>(viewport.Width), static_cast<float>(viewport.Height),
                            viewport.MinZ, maxZ, m_projection, m_view, math::Matrix4());
    return true;
}

// ---- Geometry ------------------------------------------------------------------------------------

unsigned CGFXCore::NewGeometryId()
{
    return s_nextGeometryId++;
}

void CGFXCore::BindGeometryBuffer(const D3DRenderBuffers& buffers, unsigned stride)
{
    if (buffers.geometryId == m_lastGeometryId)
        return;
    m_lastGeometryId = buffers.geometryId;
    SetStreamSource(0, buffers.vertexBuffer, 0, stride);
    SetIndices(buffers.indexBuffer);
}

bool CGFXCore::ComputeBoundingSphere(const void* vertices, unsigned count, math::Sphere& sphere)
{
    if (!vertices || count == 0)
        return false;
    math::Vector3 least, greatest;
    PositionExtent(vertices, count, least, greatest);
    const math::Vector3 centre((least.x + greatest.x) * 0.5f, (least.y + greatest.y) * 0.5f,
                               (least.z + greatest.z) * 0.5f);
    sphere.center = centre;
    sphere.radius = (greatest - centre).Length();
    return true;
}

bool CGFXCore::ComputeBoundingBox(const void* vertices, unsigned count, math::AABB& box)
{
    if (!vertices || count == 0)
        return false;
    math::Vector3 least, greatest;
    PositionExtent(vertices, count, least, greatest);
    for (int axis = 0; axis < 3; ++axis)
    {
        if (math::FloatEqual(least[axis], greatest[axis]))
        {
            least[axis] -= kFlatBoxMargin;
            greatest[axis] += kFlatBoxMargin;
        }
    }
    box.min = least;
    box.max = greatest;
    return true;
}

// ---- Thin wrappers ---------------------------------------------------------------------------------

plat::HRESULT CGFXCore::Clear(plat::DWORD flags, plat::D3DCOLOR color, float z, plat::DWORD stencil)
{
    return m_pDevice ? m_pDevice->Clear(0, nullptr, flags, color, z, stencil) : NoDevice();
}

plat::HRESULT CGFXCore::Present(const plat::RECT* sourceRect, const plat::RECT* destRect, plat::HWND window,
                                const void* dirtyRegion)
{
    return m_pDevice ? m_pDevice->Present(sourceRect, destRect, window, dirtyRegion) : NoDevice();
}

plat::HRESULT CGFXCore::SetRenderState(plat::D3DRENDERSTATETYPE state, plat::DWORD value)
{
    return m_pDevice ? m_pDevice->SetRenderState(state, value) : NoDevice();
}

plat::HRESULT CGFXCore::SetRenderTarget(plat::DWORD index, plat::IDirect3DSurface9* surface)
{
    return m_pDevice ? m_pDevice->SetRenderTarget(index, surface) : NoDevice();
}

plat::HRESULT CGFXCore::GetRenderTarget(plat::DWORD index, plat::IDirect3DSurface9** surface)
{
    return m_pDevice ? m_pDevice->GetRenderTarget(index, surface) : NoDevice();
}

plat::HRESULT CGFXCore::SetDepthStencilSurface(plat::IDirect3DSurface9* surface)
{
    return m_pDevice ? m_pDevice->SetDepthStencilSurface(surface) : NoDevice();
}

plat::HRESULT CGFXCore::GetDepthStencilSurface(plat::IDirect3DSurface9** surface)
{
    return m_pDevice ? m_pDevice->GetDepthStencilSurface(surface) : NoDevice();
}

plat::HRESULT CGFXCore::CreateDepthStencilSurface(plat::UINT width, plat::UINT height, plat::D3DFORMAT format,
                                                  plat::D3DMULTISAMPLE_TYPE multiSample, plat::DWORD quality,
                                                  plat::BOOL discard, plat::IDirect3DSurface9** surface)
{
    return m_pDevice ? m_pDevice->CreateDepthStencilSurface(width, height, format, multiSample, quality,
                                                            discard, surface, nullptr)
                     : NoDevice();
}

plat::HRESULT CGFXCore::CreateRenderTargetTexture(plat::UINT width, plat::UINT height, plat::D3DFORMAT format,
                                                  plat::IDirect3DTexture9** texture)
{
    return m_pDevice ? m_pDevice->CreateTexture(width, height, 1, plat::D3DUSAGE_RENDERTARGET, format,
                                                plat::D3DPOOL_DEFAULT, texture, nullptr)
                     : NoDevice();
}

plat::HRESULT CGFXCore::CreateVertexBuffer(plat::UINT length, plat::DWORD usage, plat::DWORD fvf,
                                           plat::D3DPOOL pool, plat::IDirect3DVertexBuffer9** buffer)
{
    return m_pDevice ? m_pDevice->CreateVertexBuffer(length, usage, fvf, pool, buffer, nullptr) : NoDevice();
}

plat::HRESULT CGFXCore::CreateIndexBuffer(plat::UINT length, plat::DWORD usage, plat::D3DFORMAT format,
                                          plat::D3DPOOL pool, plat::IDirect3DIndexBuffer9** buffer)
{
    return m_pDevice ? m_pDevice->CreateIndexBuffer(length, usage, format, pool, buffer, nullptr)
                     : NoDevice();
}

plat::HRESULT CGFXCore::SetStreamSource(plat::UINT stream, plat::IDirect3DVertexBuffer9* buffer,
                                        plat::UINT offset, plat::UINT stride)
{
    return m_pDevice ? m_pDevice->SetStreamSource(stream, buffer, offset, stride) : NoDevice();
}

plat::HRESULT CGFXCore::SetIndices(plat::IDirect3DIndexBuffer9* indices)
{
    return m_pDevice ? m_pDevice->SetIndices(indices) : NoDevice();
}

plat::HRESULT CGFXCore::DrawIndexedPrimitive(plat::D3DPRIMITIVETYPE type, int baseVertex, plat::UINT minIndex,
                                             plat::UINT vertexCount, plat::UINT startIndex,
                                             plat::UINT primitiveCount)
{
    return m_pDevice ? m_pDevice->DrawIndexedPrimitive(type, baseVertex, minIndex, vertexCount, startIndex,
                                                       primitiveCount)
                     : NoDevice();
}

plat::HRESULT CGFXCore::DrawPrimitiveUP(plat::D3DPRIMITIVETYPE type, plat::UINT primitiveCount,
                                        const void* vertices, plat::UINT stride)
{
    return m_pDevice ? m_pDevice->DrawPrimitiveUP(type, primitiveCount, vertices, stride) : NoDevice();
}

plat::HRESULT CGFXCore::ApplyViewport(const plat::D3DVIEWPORT9& viewport)
{
    return m_pDevice ? m_pDevice->SetViewport(&viewport) : NoDevice();
}

plat::HRESULT CGFXCore::SetVertexDeclaration(plat::IDirect3DVertexDeclaration9* declaration)
{
    return m_pDevice ? m_pDevice->SetVertexDeclaration(declaration) : NoDevice();
}

plat::HRESULT CGFXCore::SetVertexDeclaration(EVertexDeclaration which)
{
    return SetVertexDeclaration(GetDeclaration(which));
}

plat::HRESULT CGFXCore::StretchRect(plat::IDirect3DSurface9* source, const plat::RECT* sourceRect,
                                    plat::IDirect3DSurface9* dest, const plat::RECT* destRect,
                                    plat::D3DTEXTUREFILTERTYPE filter)
{
    return m_pDevice ? m_pDevice->StretchRect(source, sourceRect, dest, destRect, filter) : NoDevice();
}

plat::HRESULT CGFXCore::GetBackBuffer(plat::UINT swapChain, plat::UINT index,
                                      plat::IDirect3DSurface9** surface)
{
    return m_pDevice ? m_pDevice->GetBackBuffer(swapChain, index, plat::D3DBACKBUFFER_TYPE_MONO, surface)
                     : NoDevice();
}

plat::HRESULT CGFXCore::SetClipPlane(plat::DWORD index, const float* plane)
{
    return m_pDevice ? m_pDevice->SetClipPlane(index, plane) : NoDevice();
}

plat::HRESULT CGFXCore::GetClipPlane(plat::DWORD index, float* plane)
{
    return m_pDevice ? m_pDevice->GetClipPlane(index, plane) : NoDevice();
}

plat::HRESULT CGFXCore::LockWhole(plat::IDirect3DVertexBuffer9* buffer, plat::DWORD flags, void** data)
{
    return buffer ? buffer->Lock(0, 0, data, flags) : plat::D3DERR_INVALIDCALL;
}

plat::HRESULT CGFXCore::LockWhole(plat::IDirect3DIndexBuffer9* buffer, plat::DWORD flags, void** data)
{
    return buffer ? buffer->Lock(0, 0, data, flags) : plat::D3DERR_INVALIDCALL;
}

plat::HRESULT CGFXCore::Unlock(plat::IDirect3DVertexBuffer9* buffer)
{
    return buffer ? buffer->Unlock() : plat::D3DERR_INVALIDCALL;
}

plat::HRESULT CGFXCore::Unlock(plat::IDirect3DIndexBuffer9* buffer)
{
    return buffer ? buffer->Unlock() : plat::D3DERR_INVALIDCALL;
}

plat::HRESULT CGFXCore::GetSurfaceLevel(plat::IDirect3DTexture9* texture, plat::UINT level,
                                        plat::IDirect3DSurface9** surface)
{
    return texture ? texture->GetSurfaceLevel(level, surface) : plat::D3DERR_INVALIDCALL;
}

plat::HRESULT CGFXCore::CreateSprite(plat::ID3DXSprite** sprite)
{
    return m_pDevice ? plat::D3DXCreateSprite(m_pDevice, sprite) : NoDevice();
}

plat::HRESULT CGFXCore::CreateFont(const plat::D3DXFONT_DESCW& desc, plat::ID3DXFont** font)
{
    return m_pDevice ? plat::D3DXCreateFontIndirectW(m_pDevice, &desc, font) : NoDevice();
}

plat::HRESULT CGFXCore::CreateLine(plat::ID3DXLine** line)
{
    return m_pDevice ? plat::D3DXCreateLine(m_pDevice, line) : NoDevice();
}

plat::HRESULT CGFXCore::CreateTextureFromFile(const std::string& fileName, plat::IDirect3DTexture9** texture)
{
    return m_pDevice ? plat::D3DXCreateTextureFromFileW(m_pDevice, plat::ToWide(fileName).c_str(), texture)
                     : NoDevice();
}

plat::HRESULT CGFXCore::SaveSurface(const std::string& fileName, plat::D3DXIMAGE_FILEFORMAT format,
                                    plat::IDirect3DSurface9* surface)
{
    return plat::D3DXSaveSurfaceToFileW(plat::ToWide(fileName).c_str(), format, surface, nullptr, nullptr);
}

// ---- Free functions ------------------------------------------------------------------------------

unsigned GetScreenWidth()
{
    return CGFXCore::Instance().GetScreenWidth();
}

unsigned GetScreenHeight()
{
    return CGFXCore::Instance().GetScreenHeight();
}
} // namespace gfx
} // namespace dorvo
