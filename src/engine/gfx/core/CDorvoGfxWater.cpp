// The facade's water: the water unit list, the visibility test at the start of a viewport pass
// and the reflection and refraction maps.
#include "engine/gfx/core/CDorvoGfx.h"

#include "common/Singleton.h"
#include "common/math/Plane.h"
#include "engine/gfx/core/CFXManager.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/core/CLightsManager.h"
#include "engine/gfx/core/CRenderer.h"
#include "engine/gfx/core/IGfxUnit.h"
#include "engine/gfx/scene/CSceneGraphMgr.h"
#include "engine/gfx/scene/DefaultNodeOps.h"
#include "engine/gfx/water/CWaterManager.h"
#include "engine/gfx/water/WaterVisibilityNodeOps.h"

#include <algorithm>
#include <cmath>

namespace dorvo
{
namespace gfx
{
namespace
{
constexpr plat::D3DCOLOR kOpaqueBlack = 0xFF000000u;
constexpr unsigned kWavyEffect = 41; // "Wavy.fx": the picture waves while the eye is under water
// How far each map's clip plane reaches past the water line (world units), so no seam shows
// where the two maps meet.
constexpr float kClipOverlap = 0.5f;
// Where the planar water technique takes the reflection and refraction maps in its effect's
// handle table (the core binds them there for every water draw).
constexpr unsigned kReflectionMapHandle = 32;
constexpr unsigned kRefractionMapHandle = 33;

template <class T> void ReleaseAndNull(T*& object)
{
    if (object)
        object->Release();
    object = nullptr;
}

// The plane (kept where plane.x + d >= 0) in the clip space of the matrix (world to clip).
void ClipPlane(const math::Plane& plane, const math::Matrix4& worldToClip, float (&out)[4])
{
    const math::Plane clip = plane.Transform(worldToClip.GetInverse().GetTranspose());
    out[0] = clip.normal.x;
    out[1] = clip.normal.y;
    out[2] = clip.normal.z;
    out[3] = clip.d;
}
} // namespace

void CDorvoGfx::AddWaterUnit(IGfxUnit* unit)
{
    if (!unit || std::find(m_waterUnits.begin(), m_waterUnits.end(), unit) != m_waterUnits.end())
        return;
    m_waterUnits.push_back(unit);
    m_waterTriangles += unit->GetTriangleCount();
}

void CDorvoGfx::RemoveWaterUnit(IGfxUnit* unit)
{
    auto found = std::find(m_waterUnits.begin(), m_waterUnits.end(), unit);
    if (found == m_waterUnits.end())
        return;
    const unsigned triangles = unit->GetTriangleCount();
    m_waterTriangles -= std::min(triangles, m_waterTriangles);
    m_waterUnits.erase(found);
}

void CDorvoGfx::ReleaseWaterMapBindings()
{
    if (!common::Singleton<CFXManager>::Exists())
        return;
    const CFXManager& effects = CFXManager::Instance();
    for (IGfxUnit* unit : m_waterUnits)
    {
        plat::ID3DXEffect* effect = effects.GetEffect(unit->GetFXFile());
        const FXHandleTable* handles = effects.GetHandles(unit->GetFXFile());
        if (!effect || !handles)
            continue;
        for (unsigned index : {kReflectionMapHandle, kRefractionMapHandle})
            if (index < handles->size() && (*handles)[index])
                effect->SetTexture((*handles)[index], nullptr);
    }
}

void CDorvoGfx::SetDumpWaterMaps(bool dump)
{
    if (dump)
        m_renderFlags |= RF_DUMP_REFLECTION | RF_DUMP_REFRACTION;
    else
        m_renderFlags &= ~(RF_DUMP_REFLECTION | RF_DUMP_REFRACTION);
}

void CDorvoGfx::InstallWaterOperations(bool visibilityTest)
{
    CSceneGraphMgr* graph = GetSceneGraph(SG_WATER);
    if (!graph)
        return;
    if (visibilityTest)
    {
        graph->SetGeometryNodeOp(std::make_unique<CWaterVisibilityTestGeometryNodeOp>());
        graph->SetEffectNodeOp(std::make_unique<CWaterVisibilityTestEffectNodeOp>());
        graph->SetBatchNodeOp(std::make_unique<CWaterVisibilityTestBatchNodeOp>());
    }
    else
    {
        graph->SetGeometryNodeOp(std::make_unique<CDefaultGeometryNodeOp>());
        graph->SetEffectNodeOp(std::make_unique<CDefaultEffectNodeOp>());
        graph->SetBatchNodeOp(std::make_unique<CDefaultBatchNodeOp>());
    }
}

void CDorvoGfx::RunWaterTest()
{
    CWaterManager& water = CWaterManager::Instance();
    const SViewportRecord* record = CGFXCore::Instance().GetCurrentViewport();
    bool underwater = false;
    math::Plane plane;
    if (record && water.GetWaterPlane(plane) && plane.SignedDistance(record->eye) < 0.0f)
    {
        underwater = true;
        // Only while post-processing runs: otherwise the one-frame effects would pile up in the
        // queue and run all at once when it returns.
        if (m_renderFlags & RF_POST_PROCESSING)
            QueuePostProcess(kWavyEffect, true);
    }
    TraverseSceneGraph(SG_WATER);
    if (water.IsWaterVisible())
        RenderWaterMaps(underwater);
}

void CDorvoGfx::RenderWaterMaps(bool underwater)
{
    CWaterManager& water = CWaterManager::Instance();
    CGFXCore& core = CGFXCore::Instance();
    const SViewportRecord* record = core.GetCurrentViewport();
    math::Plane plane;
    // Without active water there is no plane to draw the maps about.
    if (!record || !water.GetWaterPlane(plane))
        return;
    Trace("water maps");

    // 1. Everything into the current target in one pass while the maps are drawn.
    CRenderer& renderer = CRenderer::Instance();
    renderer.SetSinglePass(true);
    const math::Matrix4 view = core.GetView();
    const math::Matrix4 projection = core.GetProjection();
    plat::IDirect3DSurface9* savedTarget = nullptr;
    plat::IDirect3DSurface9* savedDepth = nullptr;
    if (plat::FAILED(core.GetRenderTarget(0, &savedTarget)))
        savedTarget = nullptr;
    if (plat::FAILED(core.GetDepthStencilSurface(&savedDepth)))
        savedDepth = nullptr;
    const plat::D3DVIEWPORT9 savedViewport = record->viewport;

    // 2. Above water the scene is mirrored in the plane; below it, seen as it is. Each map keeps
    // its own half of the world, measured on the plane turned towards the eye: the reflection
    // the eye's side, the refraction the far side, each reaching a little past the water line.
    // Each plane goes into clip space through its own pass's view and projection.
    plane = plane.GetNormalized();
    const math::Matrix4 reflection = underwater ? math::Matrix4() : math::Matrix4::Reflect(plane);
    const math::Matrix4 reflectedView = view * reflection; // the mirror first, then the view
    math::Plane eyeSide = plane;
    if (underwater)
    {
        eyeSide.normal = -plane.normal;
        eyeSide.d = -plane.d;
    }
    math::Plane farSide;
    farSide.normal = -eyeSide.normal;
    farSide.d = -eyeSide.d + kClipOverlap;
    eyeSide.d += kClipOverlap;
    float reflectionClip[4];
    float refractionClip[4];
    ClipPlane(eyeSide, projection * reflectedView, reflectionClip);
    ClipPlane(farSide, projection * view, refractionClip);

    const bool haveLights = common::Singleton<CLightsManager>::Exists();
    const plat::D3DLIGHT9 savedLight = haveLights ? CLightsManager::Instance().GetLight() : plat::D3DLIGHT9{};

    plat::IDirect3DSurface9* reflectionSurface = water.GetReflectionSurface();
    plat::IDirect3DSurface9* refractionSurface = water.GetRefractionSurface();
    core.SetRenderState(plat::D3DRS_CLIPPLANEENABLE, 2); // user clip plane 1 alone

    // Draws the scene's terrain and models (and the backdrop) into one map.
    auto drawMap =
        [&](plat::IDirect3DSurface9* surface, plat::IDirect3DSurface9* depth, const float(&clip)[4])
    {
        core.SetClipPlane(1, clip);
        core.SetRenderTarget(0, surface);
        core.SetDepthStencilSurface(depth);
        plat::D3DSURFACE_DESC desc{};
        surface->GetDesc(&desc);
        core.ApplyViewport(plat::D3DVIEWPORT9{0, 0, desc.Width, desc.Height, 0.0f, 1.0f});
        core.Clear(plat::D3DCLEAR_TARGET | plat::D3DCLEAR_ZBUFFER | plat::D3DCLEAR_STENCIL, kOpaqueBlack,
                   1.0f, 0);
    };
    auto drawBackdrop = [&]()
    {
        renderer.SetSortMode(CRenderer::SORT_FrontToBack);
        RenderBackdrop();
    };
    auto traverse = [&]()
    {
        if (m_renderFlags & RF_TERRAIN)
            TraverseSceneGraph(SG_TERRAIN);
        if (m_renderFlags & RF_MODELS)
        {
            TraverseSceneGraph(SG_OPAQUE);
            TraverseSceneGraph(SG_TRANSPARENT);
        }
        renderer.SetSortMode(CRenderer::SORT_BackToFront);
    };

    // 3. The reflection.
    core.SetView(reflectedView);
    if (reflectionSurface && water.GetReflectionDepth())
    {
        Trace("reflection map");
        drawMap(reflectionSurface, water.GetReflectionDepth(), reflectionClip);
        if (!underwater && haveLights)
        {
            // The light's direction is mirrored as a direction: the plane's offset plays no part.
            plat::D3DLIGHT9 light = savedLight;
            const math::Vector3 direction(light.Direction.x, light.Direction.y, light.Direction.z);
            math::Vector3 mirrored = reflection.TransformDirection(direction);
            const float length = mirrored.Length();
            if (length > 0.0f)
                mirrored = mirrored * (1.0f / length);
            light.Direction = {mirrored.x, mirrored.y, mirrored.z};
            CLightsManager::Instance().SetLight(light);
            core.SetLight(light);
        }
        drawBackdrop();
        if (!underwater)
            core.SetRenderState(plat::D3DRS_CULLMODE, plat::D3DCULL_CW);
        traverse();
    }

    // 4. The refraction, with the eye's own view and light.
    if (haveLights)
    {
        CLightsManager::Instance().SetLight(savedLight);
        core.SetLight(savedLight);
    }
    core.SetView(view);
    if (refractionSurface && water.GetRefractionDepth())
    {
        Trace("refraction map");
        drawMap(refractionSurface, water.GetRefractionDepth(), refractionClip);
        core.SetRenderState(plat::D3DRS_CULLMODE, plat::D3DCULL_CCW);
        drawBackdrop();
        traverse();
    }

    // 5. Back to the frame's target, depth and viewport; the dumps when asked for.
    core.SetRenderState(plat::D3DRS_CLIPPLANEENABLE, 0);
    core.SetRenderState(plat::D3DRS_CULLMODE, plat::D3DCULL_CCW);
    core.SetRenderTarget(0, savedTarget);
    core.SetDepthStencilSurface(savedDepth);
    if ((m_renderFlags & RF_DUMP_REFLECTION) && reflectionSurface)
        core.SaveSurface("RefMap.png", plat::D3DXIFF_PNG, reflectionSurface);
    if ((m_renderFlags & RF_DUMP_REFRACTION) && refractionSurface)
        core.SaveSurface("RefracMap.png", plat::D3DXIFF_PNG, refractionSurface);
    core.ApplyViewport(savedViewport);
    ReleaseAndNull(savedTarget);
    ReleaseAndNull(savedDepth);
    ReleaseAndNull(reflectionSurface);
    ReleaseAndNull(refractionSurface);
    renderer.SetSinglePass(false);
}
} // namespace gfx
} // namespace dorvo
