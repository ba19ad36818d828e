#include "engine/gfx/core/CRenderer.h"

#include "common/Singleton.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/core/CFXManager.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/core/D3DRenderBuffers.h"
#include "engine/gfx/core/IGfxUnit.h"
#include "engine/gfx/core/SRenderRecord.h"
#include "engine/gfx/postprocess/CPostProcessor.h"
#include "platform/log.h"

#include <algorithm>
#include <utility>

namespace dorvo
{
namespace gfx
{
CRenderer& CRenderer::Instance()
{
    return *common::Singleton<CRenderer>::Instance();
}

CRenderer::~CRenderer() = default;

void CRenderer::Queue(IGfxUnit* unit)
{
    if (unit)
        m_queue.push_back(unit);
}

void CRenderer::ResetCounters()
{
    m_objectsDrawn = 0;
    m_trianglesDrawn = 0;
    m_flushCount = 0;
}

void CRenderer::SortQueue()
{
    if (m_sortMode != SORT_BackToFront && m_sortMode != SORT_FrontToBack)
        return;
    // Each unit's depth once, not once per comparison.
    std::vector<std::pair<float, IGfxUnit*>> keyed;
    keyed.reserve(m_queue.size());
    for (IGfxUnit* unit : m_queue)
        keyed.emplace_back(unit->GetViewDepth(), unit);
    if (m_sortMode == SORT_BackToFront)
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto& a, const auto& b) { return a.first > b.first; });
    else
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < keyed.size(); ++i)
        m_queue[i] = keyed[i].second;
}

void CRenderer::Flush()
{
    if (m_queue.empty())
        return;
    SortQueue();

    CFXManager& fx = CFXManager::Instance();
    plat::ID3DXEffect* effect = fx.GetCurrentEffect();
    const FXHandleTable* handles = fx.GetCurrentHandles();
    if (!effect || !handles)
    {
        // The effect node's file is not loaded: its units cannot be drawn.
        const std::string& file = m_queue.front()->GetFXFile();
        if (m_reportedEffects.insert(file).second)
            DORVO_LOG("CRenderer::Flush: %s: the effect is not loaded; its units are not drawn",
                      file.c_str());
        m_queue.clear();
        return;
    }

    CGFXCore& core = CGFXCore::Instance();
    const std::string& technique = m_queue.front()->GetTechnique();
    effect->SetTechnique(technique.c_str());
    plat::UINT passes = 0;
    effect->Begin(&passes, 0);

    const CDorvoGfx* gfx = CDorvoGfx::IfAlive();
    const bool intoSceneTargets =
        gfx && (gfx->GetRenderFlags() & CDorvoGfx::RF_POST_PROCESSING) && !m_singlePass;
    unsigned used = intoSceneTargets ? passes : 1;
    if (used > kMaxScenePasses)
    {
        if (m_reportedTechniques.insert(technique).second)
            DORVO_LOG("CRenderer::Flush: technique \"%s\": it has %u passes; only the first %u are drawn "
                      "into the scene targets",
                      technique.c_str(), used, kMaxScenePasses);
        used = kMaxScenePasses;
    }

    const plat::DWORD fillMode = static_cast<plat::DWORD>(core.GetFillMode());
    for (unsigned pass = 0; pass < used; ++pass)
    {
        if (intoSceneTargets)
            CPostProcessor::Instance().SelectSceneTarget(pass);
        effect->BeginPass(pass);
        for (IGfxUnit* unit : m_queue)
        {
            const SRenderRecord* source = unit->GetRenderRecord();
            if (!source || !source->buffers)
                continue; // nothing to draw with
            const SRenderRecord record = *source;
            core.BindObjectParameters(record, effect, *handles);
            core.BindTechniqueParameters(record, effect, *handles);
            if (unit->IsWireframe())
                core.SetRenderState(plat::D3DRS_FILLMODE, plat::D3DFILL_WIREFRAME);
            core.BindGeometryBuffer(*record.buffers, kUnitVertexStride);
            effect->CommitChanges();
            const unsigned triangles = record.buffers->indexCount / 3;
            core.DrawIndexedPrimitive(plat::D3DPT_TRIANGLELIST, 0, 0, record.buffers->vertexCount, 0,
                                      triangles);
            m_trianglesDrawn += triangles;
            core.SetRenderState(plat::D3DRS_FILLMODE, fillMode);
        }
        effect->EndPass();
    }
    effect->End();
    m_objectsDrawn += static_cast<std::uint32_t>(m_queue.size());
    ++m_flushCount;
    m_queue.clear();
}
} // namespace gfx
} // namespace dorvo
