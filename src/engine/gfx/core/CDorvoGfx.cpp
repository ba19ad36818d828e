#include "engine/gfx/core/CDorvoGfx.h"

#include "common/COctTree.h"
#include "common/ConsoleInterface.h"
#include "common/SOctNode.h"
#include "common/Singleton.h"
#include "common/loki/Functor.h"
#include "common/math/Matrix4.h"
#include "engine/DefaultCompCreator.h"
#include "engine/Gob.h"
#include "engine/POVComp.h"
#include "engine/SEngineConfigInfo.h"
#include "engine/gfx/core/CAtmosphereManager.h"
#include "engine/gfx/core/CFXManager.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/core/CGfxUnit.h"
#include "engine/gfx/core/CLightsManager.h"
#include "engine/gfx/core/CRenderer.h"
#include "engine/gfx/core/CTextureManager.h"
#include "engine/gfx/core/IGfxUnit.h"
#include "engine/gfx/core/MatrixConvert.h"
#include "engine/gfx/mesh/CMeshManager.h"
#include "engine/gfx/mesh/GfxModelComp.h"
#include "engine/gfx/particles/CParticleManager.h"
#include "engine/gfx/postprocess/CPostProcessor.h"
#include "engine/gfx/postprocess/PostProcessIds.h"
#include "engine/gfx/scene/CSceneGraphMgr.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "engine/gfx/sprites/IScreenUnit.h"
#include "engine/gfx/sprites/SpriteBatch.h"
#include "engine/gfx/terrain/CGfxCloth.h"
#include "engine/gfx/terrain/GfxClothComp.h"
#include "engine/gfx/terrain/GfxTerrainComp.h"
#include "engine/gfx/water/CWaterManager.h"
#include "engine/gfx/water/GfxWaterComp.h"
#include "platform/files.h"
#include "platform/frame_driver.h"
#include "platform/log.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <new>

namespace dorvo
{
namespace gfx
{
namespace
{
constexpr unsigned kDefaultWidth = 800; // pixels
constexpr unsigned kDefaultHeight = 600;
constexpr plat::D3DCOLOR kOpaqueBlack = 0xFF000000u;

CDorvoGfx* s_pAlive = nullptr;

const char* const kViewportSteps[CGFXCore::kViewportCount] = {"viewport 0", "viewport 1", "viewport 2",
                                                              "viewport 3"};

plat::D3DXFONT_DESCW FontDesc(std::int32_t height, plat::UINT width, plat::UINT weight, const wchar_t* face)
{
    plat::D3DXFONT_DESCW desc;
    desc.Height = height;
    desc.Width = width;
    desc.Weight = weight;
    desc.MipLevels = 1;
    desc.Italic = 0;
    desc.CharSet = 0;         // ANSI
    desc.OutputPrecision = 8; // outline
    desc.Quality = 4;         // antialiased
    desc.PitchAndFamily = 0;
    for (std::size_t i = 0; face[i] && i + 1 < sizeof desc.FaceName / sizeof desc.FaceName[0]; ++i)
        desc.FaceName[i] = face[i];
    return desc;
}

const plat::D3DXFONT_DESCW kFontDescs[CDorvoGfx::kFontCount] = {
    FontDesc(16, 10, 400, L"Arial"),
    FontDesc(16, 10, 700, L"Arial"),
    FontDesc(16, 10, 400, L"Times New Roman"),
    FontDesc(16, 10, 700, L"Times New Roman"),
    FontDesc(25, 10, 400, L"Ravie"),
    FontDesc(40, 25, 400, L"Ravie"),
    FontDesc(16, 8, 400, L"Arial"),
};

template <class T> void DestroySingleton()
{
    common::Singleton<T>::Destroy();
}
} // namespace

CDorvoGfx& CDorvoGfx::Instance()
{
    static CDorvoGfx instance;
    return instance;
}

CDorvoGfx* CDorvoGfx::IfAlive()
{
    return s_pAlive;
}

CDorvoGfx::CDorvoGfx()
{
    s_pAlive = this;
    MakeSceneGraphs();
    m_renderFlags |= kDefaultRenderFlags;
    RegisterComponentCreators();
    RegisterConsoleCommands();
}

CDorvoGfx::~CDorvoGfx()
{
    // At process exit. Once the frame driver has shut the device down, letting go only frees
    // memory. A device still alive here means the program is leaving without shutting down (an
    // X error ends it, say), its context perhaps gone: its objects are left to the system.
    if (!plat::DXUTGetD3D9Device())
        Release();
    s_pAlive = nullptr;
}

const plat::D3DXFONT_DESCW& CDorvoGfx::GetFontDesc(std::size_t index)
{
    return kFontDescs[index < kFontCount ? index : 0];
}

void CDorvoGfx::RegisterComponentCreators()
{
    RegisterComponentType<GfxModelComp>(GfxModelComp::kTypeName);
    RegisterComponentType<GfxWaterComp>(GfxWaterComp::kTypeName);
    RegisterComponentType<GfxTerrainComp>(GfxTerrainComp::kTypeName);
    RegisterComponentType<Gfx2DComp>(Gfx2DComp::kTypeName);
    RegisterComponentType<GfxClothComp>(GfxClothComp::kTypeName);
}

void CDorvoGfx::MakeSceneGraphs()
{
    for (std::unique_ptr<CSceneGraphMgr>& graph : m_sceneGraphs)
    {
        if (graph)
            continue;
        try
        {
            graph = std::make_unique<CSceneGraphMgr>();
        }
        catch (const std::bad_alloc&)
        {
            DORVO_LOG("CDorvoGfx::MakeSceneGraphs: no memory for a scene graph; the frame goes without it");
            return; // the rest stay absent too
        }
    }
}

CSceneGraphMgr* CDorvoGfx::GetSceneGraph(unsigned index) const
{
    return index < SG_COUNT ? m_sceneGraphs[index].get() : nullptr;
}

void CDorvoGfx::SetSceneGraph(unsigned index, std::unique_ptr<CSceneGraphMgr> graph)
{
    if (index < SG_COUNT)
        m_sceneGraphs[index] = std::move(graph);
}

void CDorvoGfx::TraverseSceneGraph(unsigned index)
{
    if (CSceneGraphMgr* graph = GetSceneGraph(index))
        graph->Traverse();
}

void CDorvoGfx::RegisterConsoleCommands()
{
    common::ConsoleInterface& console = common::ConsoleInterface::Instance();
    console.RegisterCommand("setwireframe", Loki::NewFunctor(this, &CDorvoGfx::SetWireframe).release(),
                            "Set Wireframe. Take in TRUE: wireframe, FALSE: solid");
    console.RegisterCommand("setsgo", Loki::NewFunctor(this, &CDorvoGfx::SetSceneGraphOptimization).release(),
                            "Set Scenegraph Visibility Optimization. Take In TRUE: on, FALSE: off");
    console.RegisterCommand("getsgo", Loki::NewFunctor(this, &CDorvoGfx::GetSceneGraphOptimization).release(),
                            "Get Scenegraph Visibility Optimization Mode. Return TRUE: on, FALSE: off");
    console.RegisterCommand("getvpindex", Loki::NewFunctor(this, &CDorvoGfx::GetViewportIndex).release(),
                            "Get Current Viewport Index. Return The Index");
    // The only command whose last argument may be left out: a bare "takescrshot" numbers its file.
    console.RegisterCommand("takescrshot", Loki::NewFunctor(this, &CDorvoGfx::TakeScreenShot).release(),
                            "Take A Screenshot. Take In OutputFileName [ OPTIONAL ]", true);
    console.RegisterCommand("clearpp", Loki::NewFunctor(this, &CDorvoGfx::ClearPostProcesses).release(),
                            "Clear The Post Processing Effects Queue");
    console.RegisterCommand("removelastpp",
                            Loki::NewFunctor(this, &CDorvoGfx::RemoveLastPostProcess).release(),
                            "Remove The Last Post Processing Effect On The Queue");
    console.RegisterCommand("togglepp", Loki::NewFunctor(this, &CDorvoGfx::TogglePostProcessing).release(),
                            "Toggle Post Processing Effects");
    console.RegisterCommand("togglewater", Loki::NewFunctor(this, &CDorvoGfx::ToggleWater).release(),
                            "Toggle Water Rendering");
    console.RegisterCommand("qpp", Loki::NewFunctor(this, &CDorvoGfx::QueuePostProcessByName).release(),
                            "Queue A Post Processing Effect. Take In Name Of PP");
    console.RegisterCommand(
        "dumpwatermaps", Loki::NewFunctor(this, &CDorvoGfx::SetDumpWaterMaps).release(),
        "Dump The Water Maps To RefMap.png And RefracMap.png. Take In TRUE: on, FALSE: off");
}

// ---- Start-up, device loss and shutdown ---------------------------------------------------------

bool CDorvoGfx::Init(const SEngineConfigInfo& config)
{
    // The engine reads its data from these folders: no picture or log is written into them.
    for (const std::string* folder :
         {&config.meshPath, &config.fxPath, &config.texturePath, &config.soundsPath})
        plat::ProtectDataFolder(*folder);
    // 1. The device settings.
    Trace("settings");
    CGFXCore& core = CGFXCore::Instance();
    if (config.useDefaults)
    {
        core.SetFullScreen(false);
        core.SetBackBufferSize(kDefaultWidth, kDefaultHeight);
        core.SetMultisampleAntialias(true);
        core.SetFillMode(plat::D3DFILL_SOLID);
    }
    else
    {
        core.SetFullScreen(config.fullScreen);
        core.SetBackBufferSize(static_cast<unsigned>(config.screenWidth),
                               static_cast<unsigned>(config.screenHeight));
        core.SetMultisampleAntialias(config.deviceOption);
        core.SetFillMode(config.wireframe ? plat::D3DFILL_WIREFRAME : plat::D3DFILL_SOLID);
    }

    // 2. The folders.
    Trace("folders");
    m_texturePath = config.texturePath;
    m_effectPath = config.fxPath;
    m_meshPath = config.meshPath;
    SetMeshFolder(m_meshPath);

    // 3. The device. What an earlier device held goes before the new one is made.
    Trace("device");
    ReleaseFonts();
    ReleaseSpriteBatch();
    ReleaseLine();
    plat::DXUTSetCallbackPrePresent(&CDorvoGfx::OnPrePresent, this);
    if (!core.CreateDevice())
        return false;
    m_deviceLost = false;

    // 4. The managers, in this order.
    Trace("renderer");
    CRenderer::Instance();
    // The scene graphs a Release let go of.
    MakeSceneGraphs();
    Trace("effect manager");
    // The effect pool and the shared values' effect, before anything draws.
    CFXManager::Instance().Create(m_effectPath);
    Trace("texture manager");
    CTextureManager::Instance();
    Trace("mesh manager");
    CMeshManager::Instance();
    Trace("fonts");
    CreateFonts();
    Trace("lights manager");
    CLightsManager& lights = CLightsManager::Instance();
    Trace("atmosphere manager");
    CAtmosphereManager& atmosphere = CAtmosphereManager::Instance();
    Trace("water manager");
    // Made with its targets; one kept from an earlier device makes them on this one.
    if (common::Singleton<CWaterManager>::Exists())
        CWaterManager::Instance().CreateTargets();
    else
        CWaterManager::Instance();
    Trace("post-processor");
    // Made with its targets, quad and final effect; one kept from an earlier device makes them
    // anew on this one.
    if (common::Singleton<CPostProcessor>::Exists())
        CPostProcessor::Instance().OnNewDevice();
    else
        CPostProcessor::Instance();
    Trace("particle manager");
    // One kept from before makes its buffers on the new device.
    if (common::Singleton<CParticleManager>::Exists())
        CParticleManager::Instance().CreateBuffers();
    else
        CParticleManager::Instance();

    // 5. The effect files.
    Trace("effect files");
    m_effectFiles = config.fxFiles;
    CFXManager::Instance().LoadEffects(m_effectFiles);
    Trace("post-processing files");
    m_postProcessEffectFiles = config.postProcessFxFiles;
    CPostProcessor::Instance().LoadPostProcesses(m_postProcessEffectFiles);

    // 6. The fog.
    Trace("fog");
    atmosphere.SetFogColor({config.fogColor[0], config.fogColor[1], config.fogColor[2], config.fogColor[3]});
    atmosphere.SetFogStart(config.fogStart);
    atmosphere.SetFogEnd(config.fogEnd);
    atmosphere.SetFogDensity(config.fogDensity);

    // 7. The lights, each into the slot it names.
    Trace("lights");
    for (const SEngineLight& light : config.lights)
    {
        if (!lights.SetLight(light.index, light.light))
            DORVO_LOG("CDorvoGfx::Init: light slot %u does not exist (slots 0 to %zu); the light is ignored",
                      light.index, CLightsManager::kLightSlots - 1);
    }

    // 8. The line object.
    Trace("line");
    if (plat::FAILED(core.CreateLine(&m_pLine)))
    {
        m_pLine = nullptr;
        DORVO_LOG("CDorvoGfx::Init: the line object could not be made; no lines are drawn");
    }
    return true;
}

void CDorvoGfx::OnLostDevice()
{
    m_deviceLost = true;
    Trace("core");
    CGFXCore::Instance().OnLostDevice();
    Trace("effect manager");
    CFXManager::Instance().OnLostDevice();
    Trace("water manager");
    ReleaseWaterMapBindings();
    if (common::Singleton<CWaterManager>::Exists())
        CWaterManager::Instance().ReleaseTargets();
    Trace("renderer");
    // The renderer holds nothing on the device.
    Trace("post-processor");
    if (common::Singleton<CPostProcessor>::Exists())
        CPostProcessor::Instance().OnLostDevice();
    Trace("mesh manager");
    if (common::Singleton<CMeshManager>::Exists())
        CMeshManager::Instance().OnLostDevice();
    Trace("device units");
    for (CGfxUnit* unit : m_deviceUnits)
        unit->OnLostDevice();
    Trace("particle manager");
    // Its buffers are in the default pool.
    if (common::Singleton<CParticleManager>::Exists())
        CParticleManager::Instance().ReleaseBuffers();
    Trace("fonts");
    for (plat::ID3DXFont* font : m_fonts)
        if (font)
            font->OnLostDevice();
    Trace("sprite batch");
    if (g_pSprite)
        g_pSprite->OnLostDevice();
    Trace("line");
    if (m_pLine)
        m_pLine->OnLostDevice();
}

void CDorvoGfx::OnResetDevice()
{
    m_deviceLost = false;
    CGFXCore& core = CGFXCore::Instance();
    if (!core.GetDevice())
        return;
    Trace("core");
    core.OnResetDevice();
    Trace("effect manager");
    CFXManager::Instance().OnResetDevice();
    Trace("water manager");
    if (common::Singleton<CWaterManager>::Exists())
        CWaterManager::Instance().CreateTargets();
    Trace("renderer");
    // The renderer holds nothing on the device.
    Trace("post-processor");
    if (common::Singleton<CPostProcessor>::Exists())
        CPostProcessor::Instance().OnResetDevice();
    Trace("mesh manager");
    if (common::Singleton<CMeshManager>::Exists())
        CMeshManager::Instance().OnResetDevice();
    Trace("device units");
    for (CGfxUnit* unit : m_deviceUnits)
        if (!unit->OnResetDevice())
            DORVO_LOG("CDorvoGfx::OnResetDevice: mesh \"%s\": the unit's buffers could not be made again; it "
                      "is drawn once the device is reset",
                      unit->GetMeshName().c_str());
    Trace("particle manager");
    if (common::Singleton<CParticleManager>::Exists())
        CParticleManager::Instance().CreateBuffers();
    Trace("fonts");
    for (plat::ID3DXFont* font : m_fonts)
        if (font)
            font->OnResetDevice();
    Trace("sprite batch");
    if (g_pSprite)
        g_pSprite->OnResetDevice();
    Trace("line");
    if (m_pLine)
        m_pLine->OnResetDevice();
}

void CDorvoGfx::Release()
{
    Trace("scene graphs");
    for (std::unique_ptr<CSceneGraphMgr>& graph : m_sceneGraphs)
        graph.reset();
    Trace("backdrop");
    m_pBackdrop.reset();
    Trace("water and terrain lists");
    // The lists only point at their components' units, which those components free.
    m_terrainUnits.clear();
    m_terrainUnitTriangles.clear();
    m_terrainCount = 0;
    m_terrainTriangles = 0;
    m_waterUnits.clear();
    m_waterTriangles = 0;
    Trace("line");
    ReleaseLine();
    m_lineStrips.clear();
    m_sorted2DUnits.clear();

    // The managers, each gone (a later Init makes them again).
    Trace("particle manager");
    DestroySingleton<CParticleManager>();
    Trace("post-processor");
    DestroySingleton<CPostProcessor>();
    Trace("water manager");
    DestroySingleton<CWaterManager>();
    Trace("lights manager");
    DestroySingleton<CLightsManager>();
    Trace("atmosphere manager");
    DestroySingleton<CAtmosphereManager>();
    Trace("fonts");
    ReleaseFonts();
    Trace("sprite batch");
    ReleaseSpriteBatch();
    Trace("mesh manager");
    if (common::Singleton<CMeshManager>::Exists())
        CMeshManager::Instance().Release();
    DestroySingleton<CMeshManager>();
    Trace("texture manager");
    DestroySingleton<CTextureManager>();
    Trace("effect manager");
    DestroySingleton<CFXManager>();
    Trace("renderer");
    DestroySingleton<CRenderer>();
    Trace("core");
    DestroySingleton<CGFXCore>();
}

bool CDorvoGfx::CreateFonts()
{
    CGFXCore& core = CGFXCore::Instance();
    bool all = true;
    for (std::size_t i = 0; i < kFontCount; ++i)
    {
        if (m_fonts[i])
            m_fonts[i]->Release();
        m_fonts[i] = nullptr;
        if (plat::FAILED(core.CreateFont(kFontDescs[i], &m_fonts[i])))
        {
            m_fonts[i] = nullptr;
            all = false;
        }
    }
    return all;
}

void CDorvoGfx::ReleaseFonts()
{
    for (plat::ID3DXFont*& font : m_fonts)
    {
        if (font)
            font->Release();
        font = nullptr;
    }
}

void CDorvoGfx::ReleaseLine()
{
    if (m_pLine)
        m_pLine->Release();
    m_pLine = nullptr;
}

// ---- The frame ------------------------------------------------------------------------------------

void CDorvoGfx::Update(double time, float dt)
{
    // The particles first.
    if (common::Singleton<CParticleManager>::Exists())
        CParticleManager::Instance().Update(dt);
    if (common::Singleton<CLightsManager>::Exists())
        CLightsManager::Instance().Update(time, dt);
}

void CDorvoGfx::SetScreenUnits(const std::vector<IScreenUnit*>& units)
{
    m_sorted2DUnits.assign(units.begin(), units.end());
    m_sorted2DUnits.erase(std::remove(m_sorted2DUnits.begin(), m_sorted2DUnits.end(), nullptr),
                          m_sorted2DUnits.end());
    std::stable_sort(m_sorted2DUnits.begin(), m_sorted2DUnits.end(),
                     [](const IScreenUnit* a, const IScreenUnit* b) { return a->DepthLess(*b); });
}

void CDorvoGfx::AddLineStrip(const std::vector<plat::D3DXVECTOR3>& points, const plat::D3DXCOLOR& color)
{
    if (points.size() < 2)
        return; // nothing to join
    m_lineStrips.push_back(SLineStrip{points, color});
}

void CDorvoGfx::Register2DComp(Gfx2DComp* component, std::uint32_t id)
{
    if (component)
        m_2DComps[id] = component;
}

void CDorvoGfx::Unregister2DComp(Gfx2DComp* component, std::uint32_t id)
{
    auto found = m_2DComps.find(id);
    if (found != m_2DComps.end() && found->second == component)
        m_2DComps.erase(found);
}

void CDorvoGfx::RegisterDeviceUnit(CGfxUnit* unit)
{
    if (unit && std::find(m_deviceUnits.begin(), m_deviceUnits.end(), unit) == m_deviceUnits.end())
        m_deviceUnits.push_back(unit);
}

void CDorvoGfx::UnregisterDeviceUnit(CGfxUnit* unit)
{
    m_deviceUnits.erase(std::remove(m_deviceUnits.begin(), m_deviceUnits.end(), unit), m_deviceUnits.end());
}

void CDorvoGfx::AddTerrainUnit(IGfxUnit* unit)
{
    if (!unit || std::find(m_terrainUnits.begin(), m_terrainUnits.end(), unit) != m_terrainUnits.end())
        return;
    const unsigned triangles = unit->GetTriangleCount();
    m_terrainUnits.push_back(unit);
    m_terrainUnitTriangles.push_back(triangles);
    ++m_terrainCount;
    m_terrainTriangles += triangles;
}

void CDorvoGfx::RemoveTerrainUnit(IGfxUnit* unit)
{
    const auto found = std::find(m_terrainUnits.begin(), m_terrainUnits.end(), unit);
    if (found == m_terrainUnits.end())
        return;
    const auto index = found - m_terrainUnits.begin();
    --m_terrainCount;
    m_terrainTriangles -= m_terrainUnitTriangles[static_cast<std::size_t>(index)];
    m_terrainUnits.erase(found);
    m_terrainUnitTriangles.erase(m_terrainUnitTriangles.begin() + index);
}

void CDorvoGfx::RenderFrame(double time, float dt)
{
    CGFXCore& core = CGFXCore::Instance();
    // 1 and 2: what the frame draws.
    PrepareFrame();
    Sort2DUnits();
    // 3. TERRAIN: scene graph 0 is cleared when the terrain unit list is empty, else built
    // from it; scene graph 1 likewise from the water unit list.
    Trace("water and terrain graphs");
    if (CSceneGraphMgr* terrain = GetSceneGraph(SG_TERRAIN))
    {
        if (m_terrainUnits.empty())
            terrain->Clear();
        else
            terrain->Build(m_terrainUnits);
    }
    if (CSceneGraphMgr* water = GetSceneGraph(SG_WATER))
    {
        if (m_waterUnits.empty())
            water->Clear();
        else
            water->Build(m_waterUnits);
    }

    if (core.GetDevice() && !m_deviceLost)
    {
        // 4. The frame's time, the scene begun and cleared, the scene light.
        Trace("begin frame");
        core.SetFrameTime(time, dt);
        core.BeginFrame();
        if (common::Singleton<CLightsManager>::Exists())
            core.SetLight(CLightsManager::Instance().GetLight());

        // 5. The main viewport.
        if (m_renderFlags & RF_VIEWPORT0)
            RenderViewport(time, dt, 0);

        // 6. The secondary viewports: no post-processing and no sprites of their own.
        for (unsigned i = 1; i < CGFXCore::kViewportCount; ++i)
        {
            if (!(m_renderFlags & (RF_VIEWPORT0 << i)))
                continue;
            const std::uint32_t kept = m_renderFlags & (RF_POST_PROCESSING | RF_SPRITES);
            m_renderFlags &= ~(RF_POST_PROCESSING | RF_SPRITES);
            // The viewport is made current before its clear, so the clear stays inside it; a
            // record without a usable rectangle would leave the main one set, and its pass is
            // skipped instead of wiping the main picture.
            core.SetViewport(i);
            if (plat::SUCCEEDED(core.ApplyViewport(core.GetViewportRecord(i).viewport)))
            {
                // Target and depth, as the pass needs them fresh.
                core.Clear(plat::D3DCLEAR_TARGET | plat::D3DCLEAR_ZBUFFER, kOpaqueBlack, 1.0f, 0);
                core.SetSecondViewport(i == 1);
                RenderViewport(time, dt, i);
                core.SetSecondViewport(false);
            }
            else
                Trace("viewport skipped");
            m_renderFlags = (m_renderFlags & ~(RF_POST_PROCESSING | RF_SPRITES)) | kept;
        }

        // 7. Record 0 current again (its view, projection and viewport), the scene ended.
        Trace("end scene");
        core.SetViewport(0);
        core.EndScene();
    }
    // 8.
    EndFrame();
}

void CDorvoGfx::PrepareFrame()
{
    Trace("prepare frame");
    if (common::Singleton<CRenderer>::Exists())
        CRenderer::Instance().ResetCounters();
    m_opaqueUnits.clear();
    m_transparentUnits.clear();
    const auto start = std::chrono::steady_clock::now();
    GatherVisibleUnits(m_opaqueUnits, m_transparentUnits);
    m_gatherSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m_gatheredCount = m_opaqueUnits.size() + m_transparentUnits.size();
    if (CSceneGraphMgr* opaque = GetSceneGraph(SG_OPAQUE))
        opaque->Build(m_opaqueUnits);
    if (CSceneGraphMgr* transparent = GetSceneGraph(SG_TRANSPARENT))
        transparent->Build(m_transparentUnits);
}

namespace
{
bool BoxesOverlap(const math::AABB& a, const math::AABB& b)
{
    return a.min.x <= b.max.x && a.max.x >= b.min.x && a.min.y <= b.max.y && a.max.y >= b.min.y &&
           a.min.z <= b.max.z && a.max.z >= b.min.z;
}

bool BoxInside(const math::AABB& inner, const math::AABB& outer)
{
    return inner.min.x >= outer.min.x && inner.max.x <= outer.max.x && inner.min.y >= outer.min.y &&
           inner.max.y <= outer.max.y && inner.min.z >= outer.min.z && inner.max.z <= outer.max.z;
}

// Every node under `node` (itself included) whose box overlaps the box; below a node that lies
// inside it, every node without a test. Branches holding no object are passed over.
void CollectOctreeNodes(const common::SOctNode& node, const math::AABB& box, bool inside,
                        std::vector<const common::SOctNode*>& out)
{
    if (node.m_SubtreeCount == 0)
        return;
    if (!inside)
    {
        if (!BoxesOverlap(node.m_Box, box))
            return;
        inside = BoxInside(node.m_Box, box);
    }
    out.push_back(&node);
    if (!node.IsLeaf())
        for (int i = 0; i < common::SOctNode::kChildCount; ++i)
            CollectOctreeNodes(*node.GetChild(i), box, inside, out);
}
} // namespace

void CDorvoGfx::GatherVisibleUnits(std::vector<IGfxUnit*>& opaque, std::vector<IGfxUnit*>& transparent) const
{
    const SViewportRecord* viewport = CGFXCore::Instance().GetCurrentViewport();
    const common::SOctNode* root = common::COctTree::Global().GetRoot();
    if (!viewport || !root)
        return;
    const math::AABB& frustumBox = viewport->frustum.GetBounds();
    std::vector<const common::SOctNode*> nodes;
    CollectOctreeNodes(*root, frustumBox, false, nodes);

    // By object id, so every run builds the same graphs.
    std::vector<std::pair<std::uint32_t, IGfxUnit*>> found;
    for (const common::SOctNode* node : nodes)
        for (const auto& entry : node->m_Objects)
        {
            const POVComp* pov = POVComp::FromOctTreeObject(entry.second);
            const Gob* owner = pov ? pov->GetOwner() : nullptr;
            if (!owner)
                continue;
            const auto* model =
                static_cast<const GfxModelComp*>(owner->GetComponent(GfxModelComp::StaticTypeID()));
            IGfxUnit* unit = model ? model->GetUnit() : nullptr;
            // A GfxClothComp's unit is taken when the object has no model.
            if (!model)
                if (const auto* cloth =
                        static_cast<const GfxClothComp*>(owner->GetComponent(GfxClothComp::StaticTypeID())))
                    unit = cloth->GetUnit();
            if (!unit || !unit->IsVisible())
                continue;
            math::AABB box;
            unit->GetBoundingBox(box);
            if (!BoxesOverlap(box, frustumBox))
                continue;
            found.emplace_back(entry.first, unit);
        }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& entry : found)
        (entry.second->IsTransparent() ? transparent : opaque).push_back(entry.second);
}

void CDorvoGfx::SetBackdropUnit(std::unique_ptr<IGfxUnit> unit)
{
    m_pBackdrop = std::move(unit);
}

void CDorvoGfx::RenderBackdrop()
{
    if (!m_pBackdrop)
        return;
    Trace("backdrop");
    m_pBackdrop->PrepareMatrices();
    CFXManager& fx = CFXManager::Instance();
    // Drawn with its own effect, whatever the graphs left current.
    plat::ID3DXEffect* effect = fx.SelectEffect(m_pBackdrop->GetFXFile());
    fx.SetSharedParameters(effect);
    CRenderer& renderer = CRenderer::Instance();
    renderer.Queue(m_pBackdrop.get());
    if (!renderer.IsQueueEmpty())
        renderer.Flush();
    CGFXCore::Instance().SetRenderState(plat::D3DRS_CULLMODE, plat::D3DCULL_CCW);
}

void CDorvoGfx::Sort2DUnits()
{
    Trace("sort 2D units");
    // After the game's units, in the map's order (by owner id), so equal depths draw in the same
    // order on every run.
    for (const auto& entry : m_2DComps)
        entry.second->CollectUnits(m_sorted2DUnits);
    std::stable_sort(m_sorted2DUnits.begin(), m_sorted2DUnits.end(),
                     [](const IScreenUnit* a, const IScreenUnit* b) { return a->DepthLess(*b); });
}

void CDorvoGfx::RenderViewport(double time, float dt, unsigned index)
{
    Trace(kViewportSteps[index]);
    CGFXCore& core = CGFXCore::Instance();
    core.SetVertexDeclaration(VD_General);
    core.SetViewport(index);
    CRenderer& renderer = CRenderer::Instance();
    renderer.SetSortMode(CRenderer::SORT_FrontToBack);
    InstallWaterOperations(true);
    if (m_renderFlags & RF_WATER)
    {
        Trace("water test");
        RunWaterTest();
    }
    InstallWaterOperations(false);
    if (m_renderFlags & RF_POST_PROCESSING)
    {
        Trace("scene targets");
        // All four cleared; target 0 stays current for what is drawn outside the render queue.
        CPostProcessor& post = CPostProcessor::Instance();
        for (unsigned i = 0; i < CPostProcessor::kSceneTargetCount; ++i)
            post.BindSceneTarget(i);
        post.SelectSceneTarget(0);
    }
    RenderScene(time, dt, true);
    if (m_renderFlags & RF_PARTICLES)
    {
        Trace("particles");
        renderer.SetSortMode(CRenderer::SORT_BackToFront);
        core.SetVertexDeclaration(VD_Particle);
        if (common::Singleton<CParticleManager>::Exists())
            CParticleManager::Instance().Render();
        renderer.SetSortMode(CRenderer::SORT_FrontToBack);
    }
    if (m_renderFlags & RF_POST_PROCESSING)
    {
        Trace("post-processing");
        core.SetVertexDeclaration(VD_ScreenQuad);
        // The chain ends on the back buffer, where the 2D layer goes.
        CPostProcessor::Instance().RunChain();
    }
    Render2D(time, dt);
}

void CDorvoGfx::RenderScene(double, float, bool withTransparent)
{
    Trace("scene");
    RenderBackdrop();
    if (m_renderFlags & RF_TERRAIN)
    {
        Trace("terrain graph");
        TraverseSceneGraph(SG_TERRAIN);
    }
    if (m_renderFlags & RF_MODELS)
    {
        Trace("opaque graph");
        TraverseSceneGraph(SG_OPAQUE);
    }
    if (m_renderFlags & RF_WATER)
    {
        Trace("water graph");
        TraverseSceneGraph(SG_WATER);
    }
    CRenderer::Instance().SetSortMode(CRenderer::SORT_BackToFront);
    if (withTransparent && (m_renderFlags & RF_MODELS))
    {
        Trace("transparent graph");
        TraverseSceneGraph(SG_TRANSPARENT);
    }
    CGFXCore& core = CGFXCore::Instance();
    if (core.GetVisibilityOptimization())
        core.SetVisibilityValid(true);
}

void CDorvoGfx::Render2D(double time, float dt)
{
    CGFXCore& core = CGFXCore::Instance();
    plat::D3DXMATRIX viewProjection;
    if (m_renderFlags & RF_LINES)
        viewProjection = ToD3DXMatrix(core.GetProjection() * core.GetView());

    if (m_renderFlags & RF_SPRITES)
    {
        Trace("sprites");
        if (plat::ID3DXSprite* batch = GetSpriteBatch())
        {
            batch->Begin(plat::D3DXSPRITE_ALPHABLEND);
            for (IScreenUnit* unit : m_sorted2DUnits)
                unit->Render(time, dt);
            batch->End();
        }
    }

    if (m_renderFlags & RF_LINES)
    {
        Trace("lines");
        if (m_pLine)
            for (const SLineStrip& strip : m_lineStrips)
                m_pLine->DrawTransform(strip.points.data(), static_cast<plat::DWORD>(strip.points.size()),
                                       &viewProjection, static_cast<plat::D3DCOLOR>(strip.color));
    }
}

void CDorvoGfx::EndFrame()
{
    Trace("end frame");
    m_sorted2DUnits.clear();
    // A strip is for one frame, drawn or not: strips added while lines are off do not pile up.
    m_lineStrips.clear();
    if (common::Singleton<CWaterManager>::Exists())
        CWaterManager::Instance().SetWaterVisible(false);
}

// ---- Post-processing ----------------------------------------------------------------------------

void CDorvoGfx::QueuePostProcess(unsigned id, bool oneFrame)
{
    for (std::string& file : PostProcessFilesOfId(id))
        CPostProcessor::Instance().Queue(CPPInstance(std::move(file), oneFrame));
}

void CDorvoGfx::QueuePostProcessByName(std::string name, bool oneFrame)
{
    unsigned id = 0;
    if (PostProcessIdOfName(name, id))
        QueuePostProcess(id, oneFrame);
}

void CDorvoGfx::RemoveLastPostProcess()
{
    CPostProcessor::Instance().RemoveLastPostProcess();
}

void CDorvoGfx::ClearPostProcesses()
{
    CPostProcessor::Instance().ClearQueue();
}

// ---- The device core's settings ------------------------------------------------------------------

void CDorvoGfx::SetWireframe(bool wireframe)
{
    CGFXCore::Instance().SetFillMode(wireframe ? plat::D3DFILL_WIREFRAME : plat::D3DFILL_SOLID);
}

void CDorvoGfx::SetSceneGraphOptimization(bool on)
{
    CGFXCore::Instance().SetVisibilityOptimization(on);
}

bool CDorvoGfx::GetSceneGraphOptimization() const
{
    return CGFXCore::Instance().GetVisibilityOptimization();
}

unsigned CDorvoGfx::GetViewportIndex() const
{
    return CGFXCore::Instance().GetCurrentViewportIndex();
}

bool CDorvoGfx::IsWindowed() const
{
    return !CGFXCore::Instance().IsFullScreen();
}

unsigned CDorvoGfx::GetScreenWidth() const
{
    return CGFXCore::Instance().GetScreenWidth();
}

unsigned CDorvoGfx::GetScreenHeight() const
{
    return CGFXCore::Instance().GetScreenHeight();
}

bool CDorvoGfx::IsWireframe() const
{
    return CGFXCore::Instance().GetFillMode() == plat::D3DFILL_WIREFRAME;
}

bool CDorvoGfx::GetDeviceOption() const
{
    return CGFXCore::Instance().GetMultisampleAntialias();
}

// ---- Screenshots -----------------------------------------------------------------------------------

void CDorvoGfx::TakeScreenShot(std::string fileName)
{
    // A name typed without an ending is a picture all the same: it is saved as a PNG.
    const std::size_t base = fileName.find_last_of("/\\");
    if (!fileName.empty() &&
        fileName.find('.', base == std::string::npos ? 0 : base + 1) == std::string::npos)
        fileName += ".png";
    // A typed name is checked now, so the player reads why it was refused.
    const std::string why =
        fileName.empty() ? std::string() : plat::SaveRefusal(fileName, plat::SaveKind::Image);
    if (!why.empty())
    {
        const std::string shown = fileName.size() > 64 ? fileName.substr(0, 64) + "..." : fileName;
        common::ConsoleInterface::ShowLine("ERROR: Cannot save a screenshot as " + shown + ": " + why);
        return;
    }
    m_pendingScreenShots.push_back(std::move(fileName));
}

void CDorvoGfx::OnPrePresent(plat::IDirect3DDevice9*, void* context)
{
    static_cast<CDorvoGfx*>(context)->SaveScreenShots();
}

std::string CDorvoGfx::NextScreenShotName()
{
    // Earlier screenshots in the folder are kept: the number goes on past every used one.
    std::string name;
    do
        name = "DorvoScrshot_" + std::to_string(m_screenShotNumber++) + ".png";
    while (plat::FileExists(name));
    return name;
}

void CDorvoGfx::SaveScreenShots()
{
    if (m_pendingScreenShots.empty())
        return;
    std::vector<std::string> names;
    names.swap(m_pendingScreenShots);

    CGFXCore& core = CGFXCore::Instance();
    plat::IDirect3DSurface9* backBuffer = nullptr;
    if (plat::FAILED(core.GetBackBuffer(0, 0, &backBuffer)) || !backBuffer)
    {
        DORVO_LOG("CDorvoGfx::SaveScreenShots: the back buffer could not be read; no screenshot is taken");
        return;
    }
    for (std::string& name : names)
    {
        if (name.empty())
            name = NextScreenShotName();
        if (plat::FAILED(core.SaveSurface(name, plat::D3DXIFF_PNG, backBuffer)))
            DORVO_LOG("CDorvoGfx::SaveScreenShots: %s: the screenshot could not be written; it is not taken",
                      name.c_str());
    }
    backBuffer->Release();
}

void CDorvoGfx::Trace(const char* step)
{
    if (m_pTrace)
        m_pTrace->emplace_back(step);
}
} // namespace gfx
} // namespace dorvo
