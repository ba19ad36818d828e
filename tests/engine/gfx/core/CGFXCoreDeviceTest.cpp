// The device core with a device (headless): the acceptance test as a table of caps, the
// device settings, the declarations, the frame's states, the shared effect values, geometry
// binding and what a reset through the frame driver leaves.
#include "engine/gfx/core/CGFXCore.h"

#include "LogCapture.h"
#include "TestSupport.h"
#include "engine/gfx/core/CAtmosphereManager.h"
#include "engine/gfx/core/D3DRenderBuffers.h"
#include "engine/gfx/core/ISharedEffectParameters.h"
#include "engine/gfx/core/MatrixConvert.h"
#include "platform/device_debug.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using dorvo::gfx::CGFXCore;
using dorvo::gfx::D3DRenderBuffers;
using dorvo::gfx::ESharedParameter;
using plat::devicedebug::CallKind;
using namespace plat;

namespace
{
// The message box's text as the log has it: one line.
constexpr char kFailureBox[] =
    "MessageBoxW: Error: Failed To Create D3D Device! Please Check Your System Specs "
    "Against The Minimum Requirements.";

class CoreDeviceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        headless::Reset();
        DXUTInit(false, false, false, true);
    }
    void TearDown() override
    {
        core.Release();
        headless::Reset();
    }

    // What the engine's loop does with the queue between frames.
    static void DispatchAll()
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message != WM_QUIT)
        {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    CGFXCore core;
};

// Records what the core writes, in order, as the effect manager would receive it.
class RecordingParameters : public dorvo::gfx::ISharedEffectParameters
{
public:
    struct Write
    {
        std::string name;
        std::vector<float> values;
    };

    void SetMatrix(ESharedParameter p, const D3DXMATRIX& value) override
    {
        Add(p, std::vector<float>(&value.m[0][0], &value.m[0][0] + 16));
    }
    void SetInt(ESharedParameter p, int value) override { Add(p, {static_cast<float>(value)}); }
    void SetFloat(ESharedParameter p, float value) override { Add(p, {value}); }
    void SetFloatArray(ESharedParameter p, const float* values, unsigned count) override
    {
        Add(p, std::vector<float>(values, values + count));
    }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const Write& w : writes)
            names.push_back(w.name);
        return names;
    }
    const Write* Find(const std::string& name) const
    {
        for (const Write& w : writes)
            if (w.name == name)
                return &w;
        return nullptr;
    }

    std::vector<Write> writes;

private:
    void Add(ESharedParameter p, std::vector<float> values)
    {
        writes.push_back({dorvo::gfx::SharedParameterName(p), std::move(values)});
    }
};
} // namespace

TEST_F(CoreDeviceTest, AcceptsOnlyDevicesThatMeetTheMinimum)
{
    struct Case
    {
        const char* name;
        void (*change)(D3DCAPS9& caps);
        bool accepted;
    };
    const Case cases[] = {
        {"every cap", [](D3DCAPS9&) {}, true},
        {"shader model 2.0 exactly",
         [](D3DCAPS9& c)
         {
             c.VertexShaderVersion = D3DVS_VERSION(2, 0);
             c.PixelShaderVersion = D3DPS_VERSION(2, 0);
         },
         true},
        {"pixel shader 1.4", [](D3DCAPS9& c) { c.PixelShaderVersion = D3DPS_VERSION(1, 4); }, false},
        {"vertex shader 1.1", [](D3DCAPS9& c) { c.VertexShaderVersion = D3DVS_VERSION(1, 1); }, false},
        {"largest texture 512 x 512",
         [](D3DCAPS9& c)
         {
             c.MaxTextureWidth = 512;
             c.MaxTextureHeight = 512;
         },
         false},
        {"textures 512 wide only", [](D3DCAPS9& c) { c.MaxTextureWidth = 512; }, false},
        {"no presentation interval", [](D3DCAPS9& c) { c.PresentationIntervals = 0; }, false},
        {"interval one only", [](D3DCAPS9& c) { c.PresentationIntervals = D3DPRESENT_INTERVAL_ONE; }, true},
        {"no device caps", [](D3DCAPS9& c) { c.DevCaps = 0; }, false},
        {"transformed vertices only", [](D3DCAPS9& c) { c.DevCaps = D3DDEVCAPS_DRAWPRIMTLVERTEX; }, true},
        {"no culling", [](D3DCAPS9& c) { c.PrimitiveMiscCaps = D3DPMISCCAPS_CULLNONE; }, false},
        {"no vertex fog", [](D3DCAPS9& c) { c.RasterCaps = 0; }, false},
        {"no Gouraud shading", [](D3DCAPS9& c) { c.ShadeCaps = 0; }, false},
        {"no texture caps", [](D3DCAPS9& c) { c.TextureCaps = 0; }, false},
        {"cube maps only", [](D3DCAPS9& c) { c.TextureCaps = D3DPTEXTURECAPS_CUBEMAP; }, true},
        {"only the disable texture op", [](D3DCAPS9& c) { c.TextureOpCaps = D3DTEXOPCAPS_DISABLE; }, false},
        {"three lights", [](D3DCAPS9& c) { c.MaxActiveLights = 3; }, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        headless::Reset();
        DXUTInit(false, false, false, true);
        D3DCAPS9 caps = PassingCaps(8192);
        c.change(caps);
        headless::SetCaps(caps);
        CGFXCore tested;
        testsupport::LogCapture logged;
        const bool made = tested.CreateDevice();
        const std::string err = logged.Text();
        EXPECT_EQ(made, c.accepted);
        EXPECT_EQ(tested.GetAcceptedDeviceCount(), c.accepted ? 1u : 0u);
        EXPECT_EQ(tested.GetDevice() != nullptr, c.accepted);
        if (!c.accepted)
        {
            EXPECT_NE(err.find("no device is acceptable"), std::string::npos) << err;
            EXPECT_NE(err.find(kFailureBox), std::string::npos) << err;
            EXPECT_EQ(DXUTGetD3D9Device(), nullptr);
        }
        tested.Release();
    }
}

TEST_F(CoreDeviceTest, ABackBufferFormatTheAdapterCannotBlendIntoIsRefused)
{
    headless::SetUnsupportedFormats({D3DFMT_X8R8G8B8});
    testsupport::LogCapture logged;
    EXPECT_FALSE(core.CreateDevice());
    const std::string err = logged.Text();
    EXPECT_NE(err.find(kFailureBox), std::string::npos) << err;
    EXPECT_EQ(core.GetAcceptedDeviceCount(), 0u);
}

TEST_F(CoreDeviceTest, ThePerformanceToolsAdapterGetsTheReferenceDeviceAndTheSettingsAreFixed)
{
    struct Case
    {
        const char* name;
        std::vector<std::string> adapters;
        UINT adapter;
        D3DDEVTYPE type;
    };
    const Case cases[] = {
        {"one adapter", {"Dorvo headless device"}, 0, D3DDEVTYPE_HAL},
        {"the tool second", {"Dorvo headless device", "NVIDIA NVPerfHUD"}, 1, D3DDEVTYPE_REF},
        {"the tool first", {"NVIDIA NVPerfHUD", "Dorvo headless device"}, 0, D3DDEVTYPE_REF},
        {"a name that only begins alike", {"Dorvo headless device", "NVIDIA NVPerfHUD 2"}, 0, D3DDEVTYPE_HAL},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        headless::Reset();
        DXUTInit(false, false, false, true);
        headless::SetAdapters(c.adapters);
        ASSERT_TRUE(core.CreateDevice());
        const DXUTDeviceSettings settings = DXUTGetDeviceSettings();
        EXPECT_EQ(settings.AdapterOrdinal, c.adapter);
        EXPECT_EQ(settings.DeviceType, c.type);
        EXPECT_EQ(settings.pp.BackBufferFormat, D3DFMT_A8R8G8B8);
        EXPECT_EQ(settings.pp.SwapEffect, D3DSWAPEFFECT_DISCARD);
        EXPECT_EQ(settings.pp.EnableAutoDepthStencil, 1);
        EXPECT_EQ(settings.pp.AutoDepthStencilFormat, D3DFMT_D24S8);
        EXPECT_EQ(settings.pp.PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
        EXPECT_EQ(core.GetPresentParameters().BackBufferFormat, D3DFMT_A8R8G8B8);
        core.Release();
    }
}

TEST_F(CoreDeviceTest, CreationKeepsTheDeviceTheBackBufferSizeRecordZeroAndFourDeclarations)
{
    core.SetBackBufferSize(640, 400);
    ASSERT_TRUE(core.CreateDevice());
    EXPECT_EQ(core.GetDevice(), DXUTGetD3D9Device());
    EXPECT_EQ(core.GetDirect3D(), DXUTGetD3DObject());
    EXPECT_EQ(dorvo::gfx::GetScreenWidth(), CGFXCore::Instance().GetScreenWidth());
    EXPECT_EQ(core.GetScreenWidth(), 640u);
    EXPECT_EQ(core.GetScreenHeight(), 400u);
    ASSERT_EQ(core.GetCurrentViewport(), &core.GetViewportRecord(0));
    const D3DVIEWPORT9& viewport = core.GetViewportRecord(0).viewport;
    EXPECT_EQ(viewport.Width, 640u);
    EXPECT_EQ(viewport.Height, 400u);
    EXPECT_FLOAT_EQ(viewport.MaxZ, 1.0f);

    IDirect3DVertexDeclaration9* bound = nullptr;
    core.GetDevice()->GetVertexDeclaration(&bound);
    EXPECT_EQ(bound, core.GetDeclaration(dorvo::gfx::VD_General));
    if (bound)
        bound->Release();

    // Stream, offset, type, usage, usage index of each declaration, in the core's order.
    using E = std::vector<std::vector<int>>;
    const E expected[] = {
        {{0, 0, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_POSITION, 0},
         {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 0},
         {0, 24, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD, 0},
         {0, 32, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_TANGENT, 0},
         {0, 44, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_BINORMAL, 0},
         {0, 56, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 0}},
        {{0, 0, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_POSITION, 0},
         {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 0}},
        {{0, 0, D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_POSITIONT, 0},
         {0, 16, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD, 0},
         {0, 24, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD, 1}},
        {{0, 0, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_POSITION, 0},
         {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_TEXCOORD, 0},
         {0, 24, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 0}},
    };
    for (unsigned i = 0; i < dorvo::gfx::VD_Count; ++i)
    {
        SCOPED_TRACE(i);
        IDirect3DVertexDeclaration9* declaration =
            core.GetDeclaration(static_cast<dorvo::gfx::EVertexDeclaration>(i));
        ASSERT_NE(declaration, nullptr);
        D3DVERTEXELEMENT9 elements[16];
        UINT count = 16;
        ASSERT_TRUE(SUCCEEDED(declaration->GetDeclaration(elements, &count)));
        E got;
        for (UINT e = 0; e + 1 < count; ++e)
            got.push_back({elements[e].Stream, elements[e].Offset, elements[e].Type, elements[e].Usage,
                           elements[e].UsageIndex});
        EXPECT_EQ(got, expected[i]);
    }
}

TEST_F(CoreDeviceTest, AResizeThroughTheFrameDriverResetsTheDeviceOnceAndTheCoreFollows)
{
    ASSERT_TRUE(core.CreateDevice());
    DXUTSetCallbackDeviceLost([](void* c) { static_cast<CGFXCore*>(c)->OnLostDevice(); }, &core);
    DXUTSetCallbackDeviceReset(
        [](IDirect3DDevice9*, const D3DSURFACE_DESC*, void* c)
        {
            static_cast<CGFXCore*>(c)->OnResetDevice();
            return S_OK;
        },
        &core);
    IDirect3DVertexDeclaration9* before = core.GetDeclaration(dorvo::gfx::VD_General);
    devicedebug::ResetStatistics(core.GetDevice());

    headless::InjectMessage(WM_SIZE, 0, MAKELPARAM(1024, 700));
    DispatchAll();
    DXUTRender3DEnvironment();

    EXPECT_EQ(devicedebug::Statistics(core.GetDevice()).resets, 1u);
    EXPECT_EQ(headless::BackBufferWidth(), 1024u) << "the core did not reset the device back";
    EXPECT_EQ(core.GetScreenWidth(), 1024u);
    EXPECT_EQ(core.GetScreenHeight(), 700u);
    const D3DVIEWPORT9& viewport = core.GetViewportRecord(0).viewport;
    EXPECT_EQ(viewport.Width, 1024u);
    EXPECT_EQ(viewport.Height, 700u);
    EXPECT_NE(core.GetDeclaration(dorvo::gfx::VD_General), nullptr);
    IDirect3DVertexDeclaration9* bound = nullptr;
    core.GetDevice()->GetVertexDeclaration(&bound);
    EXPECT_EQ(bound, core.GetDeclaration(dorvo::gfx::VD_General)) << "set again after the reset";
    if (bound)
        bound->Release();
    unsigned liveDeclarations = 0;
    for (const devicedebug::ResourceInfo& info : headless::Resources())
        if (info.kind == devicedebug::ResourceKind::VertexDeclaration && info.live)
            ++liveDeclarations;
    EXPECT_EQ(liveDeclarations, 4u) << "the old ones were let go at device loss";
    (void)before;
}

TEST_F(CoreDeviceTest, ResetDoesNothingBeforeTheCoreHasADevice)
{
    core.OnResetDevice();
    EXPECT_EQ(core.GetDeclaration(dorvo::gfx::VD_General), nullptr);
    EXPECT_EQ(core.Clear(D3DCLEAR_TARGET, 0, 1.0f, 0), D3DERR_INVALIDCALL);
}

TEST_F(CoreDeviceTest, BeginFrameSetsTheStatesBeginsAndClearsToOpaqueBlack)
{
    core.SetFillMode(D3DFILL_WIREFRAME);
    core.SetMultisampleAntialias(false);
    ASSERT_TRUE(core.CreateDevice());
    core.GetDevice()->SetVertexDeclaration(core.GetDeclaration(dorvo::gfx::VD_Particle));
    headless::SetCallLogging(true);
    core.BeginFrame();
    core.EndScene();
    DWORD cull = 0, fill = 0, msaa = 1;
    core.GetDevice()->GetRenderState(D3DRS_CULLMODE, &cull);
    core.GetDevice()->GetRenderState(D3DRS_FILLMODE, &fill);
    core.GetDevice()->GetRenderState(D3DRS_MULTISAMPLEANTIALIAS, &msaa);
    EXPECT_EQ(cull, static_cast<DWORD>(D3DCULL_CCW));
    EXPECT_EQ(fill, static_cast<DWORD>(D3DFILL_WIREFRAME));
    EXPECT_EQ(msaa, 0u);
    IDirect3DVertexDeclaration9* bound = nullptr;
    core.GetDevice()->GetVertexDeclaration(&bound);
    EXPECT_EQ(bound, core.GetDeclaration(dorvo::gfx::VD_General));
    if (bound)
        bound->Release();
    const auto& log = headless::CallLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].kind, CallKind::BeginScene);
    EXPECT_EQ(log[1].kind, CallKind::Clear);
    EXPECT_EQ(log[1].flags, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL);
    EXPECT_EQ(log[1].color, 0xFF000000u);
    EXPECT_EQ(log[2].kind, CallKind::EndScene);
}

TEST_F(CoreDeviceTest, TheSharedValuesAreWrittenInTheirOrderWithTheirValues)
{
    RecordingParameters shared;
    core.SetSharedParameterTarget(&shared);
    ASSERT_TRUE(core.CreateDevice());
    dorvo::gfx::CAtmosphereManager& atmosphere = dorvo::gfx::CAtmosphereManager::Instance();
    atmosphere.SetFogStart(100.0f);
    atmosphere.SetFogEnd(400.0f);
    atmosphere.SetFogDensity(0.01f);
    atmosphere.SetFogColor({0.1f, 0.2f, 0.3f, 1.0f});
    core.SetFrameTime(12.5, 0.033f);
    core.BeginFrame();
    core.EndScene();
    EXPECT_EQ(shared.Names(),
              (std::vector<std::string>{"g_fogstart", "g_fogend", "g_fogdensity", "g_fogcolor", "g_time",
                                        "g_ElapsedTime", "g_ShadowColor"}));
    EXPECT_EQ(shared.Find("g_fogend")->values, std::vector<float>{400.0f});
    EXPECT_EQ(shared.Find("g_fogcolor")->values, (std::vector<float>{0.1f, 0.2f, 0.3f, 1.0f}));
    EXPECT_EQ(shared.Find("g_time")->values, std::vector<float>{12.5f});
    EXPECT_EQ(shared.Find("g_ElapsedTime")->values, std::vector<float>{0.033f});
    EXPECT_EQ(shared.Find("g_ShadowColor")->values, (std::vector<float>{0.3f, 0.3f, 0.3f, 1.0f}));

    // The camera: a new view clears the reuse mark and writes its inverse, itself and the
    // product; a projection writes itself and the product, view first.
    const math::Matrix4 view =
        math::Matrix4::LookAtLH(math::Vector3(3, 4, -10), math::Vector3(0, 1, 0), math::Vector3(0, 1, 0));
    const math::Matrix4 projection = math::Matrix4::PerspectiveFovLH(0.8f, 1.5f, 1.0f, 500.0f);
    core.SetVisibilityValid(true);
    shared.writes.clear();
    core.SetProjection(projection);
    core.SetView(view);
    EXPECT_FALSE(core.IsVisibilityValid());
    EXPECT_EQ(shared.Names(), (std::vector<std::string>{"g_ProjMat", "ViewProjection", "ViewInverse", "View",
                                                        "ViewProjection"}));
    auto matrix = [](const RecordingParameters::Write& w)
    {
        D3DXMATRIX m;
        std::copy(w.values.begin(), w.values.end(), &m.m[0][0]);
        return dorvo::gfx::FromD3DXMatrix(m);
    };
    const math::Vector3 point(2.0f, -1.0f, 7.0f);
    const math::Vector4 expected =
        projection.Transform(view.Transform(math::Vector4(point.x, point.y, point.z, 1)));
    const math::Vector4 got = matrix(shared.writes[4]).Transform(math::Vector4(point.x, point.y, point.z, 1));
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(got[i], expected[i], 1e-3f) << i;
    const math::Matrix4 identity = matrix(shared.writes[2]) * view;
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(identity.m[i], math::Matrix4().m[i], 1e-4f) << i;
    EXPECT_EQ(matrix(shared.writes[3]).m[12], view.m[12]);
    core.SetSharedParameterTarget(nullptr);
}

TEST_F(CoreDeviceTest, ALightWritesItsSevenSharedValues)
{
    RecordingParameters shared;
    core.SetSharedParameterTarget(&shared);
    D3DLIGHT9 light;
    light.Diffuse = {0.9f, 0.8f, 0.7f, 1.0f};
    light.Specular = {0.5f, 0.5f, 0.5f, 1.0f};
    light.Ambient = {0.1f, 0.2f, 0.3f, 1.0f};
    light.Position = {1.0f, 2.0f, 3.0f};
    light.Direction = {0.0f, -1.0f, 0.0f};
    light.Range = 250.0f;
    light.Falloff = 1.5f;
    light.Attenuation0 = 0.25f;
    light.Attenuation1 = 0.125f;
    light.Attenuation2 = 9.0f;
    struct Case
    {
        D3DLIGHTTYPE type;
        std::vector<float> position;
    };
    const Case cases[] = {{D3DLIGHT_POINT, {1.0f, 2.0f, 3.0f}}, {D3DLIGHT_DIRECTIONAL, {0.0f, -1.0f, 0.0f}}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.type);
        light.Type = c.type;
        shared.writes.clear();
        core.SetLight(light);
        EXPECT_EQ(shared.Names(),
                  (std::vector<std::string>{"g_LightType", "g_LightPos", "g_LightFalloff", "g_LightRange",
                                            "g_LightAmbient", "g_LightDiffuse", "g_LightSpecular"}));
        EXPECT_EQ(shared.Find("g_LightType")->values, std::vector<float>{static_cast<float>(c.type)});
        EXPECT_EQ(shared.Find("g_LightPos")->values, c.position);
        EXPECT_EQ(shared.Find("g_LightFalloff")->values, (std::vector<float>{1.5f, 0.25f, 0.125f}));
        EXPECT_EQ(shared.Find("g_LightRange")->values, std::vector<float>{250.0f});
        EXPECT_EQ(shared.Find("g_LightAmbient")->values, (std::vector<float>{0.1f, 0.2f, 0.3f, 1.0f}));
        EXPECT_EQ(shared.Find("g_LightDiffuse")->values, (std::vector<float>{0.9f, 0.8f, 0.7f, 1.0f}));
        EXPECT_EQ(shared.Find("g_LightSpecular")->values, (std::vector<float>{0.5f, 0.5f, 0.5f, 1.0f}));
    }
    core.SetSharedParameterTarget(nullptr);
}

TEST_F(CoreDeviceTest, GeometryIsBoundOncePerIdUntilTheSceneEnds)
{
    ASSERT_TRUE(core.CreateDevice());
    D3DRenderBuffers a, b;
    EXPECT_NE(a.geometryId, 0u);
    EXPECT_NE(a.geometryId, b.geometryId);
    for (D3DRenderBuffers* buffers : {&a, &b})
    {
        ASSERT_TRUE(SUCCEEDED(core.CreateVertexBuffer(4 * 96, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, 0,
                                                      D3DPOOL_DEFAULT, &buffers->vertexBuffer)));
        ASSERT_TRUE(
            SUCCEEDED(core.CreateIndexBuffer(6 * 2, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                             D3DPOOL_DEFAULT, &buffers->indexBuffer)));
        buffers->vertexCount = 4;
        buffers->indexCount = 6;
    }
    headless::SetCallLogging(true);
    core.BeginFrame();
    core.BindGeometryBuffer(a, 96);
    core.BindGeometryBuffer(a, 96);
    core.BindGeometryBuffer(b, 96);
    core.BindGeometryBuffer(b, 96);
    core.EndScene();
    EXPECT_EQ(core.GetLastGeometryId(), 0u);
    core.BindGeometryBuffer(b, 96);
    headless::SetCallLogging(false);

    const unsigned va = devicedebug::CreationNumber(a.vertexBuffer);
    const unsigned ia = devicedebug::CreationNumber(a.indexBuffer);
    const unsigned vb = devicedebug::CreationNumber(b.vertexBuffer);
    const unsigned ib = devicedebug::CreationNumber(b.indexBuffer);
    std::vector<std::pair<CallKind, unsigned>> binds;
    for (const devicedebug::LoggedCall& call : headless::CallLog())
    {
        if (call.kind == CallKind::SetStreamSource)
        {
            EXPECT_EQ(call.flags, 96u);
            EXPECT_EQ(call.size, 0);
        }
        if (call.kind == CallKind::SetStreamSource || call.kind == CallKind::SetIndices ||
            call.kind == CallKind::EndScene)
            binds.push_back({call.kind, call.source});
    }
    const std::vector<std::pair<CallKind, unsigned>> expected = {
        {CallKind::SetStreamSource, va}, {CallKind::SetIndices, ia}, {CallKind::SetStreamSource, vb},
        {CallKind::SetIndices, ib},      {CallKind::EndScene, 0},    {CallKind::SetStreamSource, vb},
        {CallKind::SetIndices, ib},
    };
    EXPECT_EQ(binds, expected);

    a.Release();
    EXPECT_EQ(a.vertexBuffer, nullptr);
    EXPECT_EQ(a.vertexCount, 0u);
    EXPECT_EQ(a.indexCount, 0u);
}
