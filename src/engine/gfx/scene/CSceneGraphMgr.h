// A scene graph as the facade holds it: a small handle over the implementation that does the
// work (a CDefaultSceneGraphMgrImp unless another is given), owned here and forwarded to.
#pragma once

#include "engine/gfx/scene/ACSceneGraphMgrImp.h"

#include <memory>

namespace dorvo
{
namespace gfx
{
class CSceneGraphMgr
{
public:
    // Null: a CDefaultSceneGraphMgrImp.
    explicit CSceneGraphMgr(std::unique_ptr<ACSceneGraphMgrImp> implementation = nullptr);
    virtual ~CSceneGraphMgr();

    CSceneGraphMgr(const CSceneGraphMgr&) = delete;
    CSceneGraphMgr& operator=(const CSceneGraphMgr&) = delete;

    void Build(const std::vector<IGfxUnit*>& units) { m_pImp->Build(units); }
    void Traverse() { m_pImp->Traverse(); }
    bool SetGeometryNodeOp(std::unique_ptr<IGeometryNodeOp> op)
    {
        return m_pImp->SetGeometryNodeOp(std::move(op));
    }
    bool SetTransformationNodeOp(std::unique_ptr<ITransformationNodeOp> op)
    {
        return m_pImp->SetTransformationNodeOp(std::move(op));
    }
    bool SetEffectNodeOp(std::unique_ptr<IEffectNodeOp> op) { return m_pImp->SetEffectNodeOp(std::move(op)); }
    bool SetBatchNodeOp(std::unique_ptr<IBatchNodeOp> op) { return m_pImp->SetBatchNodeOp(std::move(op)); }
    bool SetSPINodeOp(std::unique_ptr<ISPINodeOp> op) { return m_pImp->SetSPINodeOp(std::move(op)); }
    std::uint32_t GetNodeCount() const { return m_pImp->GetNodeCount(); }
    std::uint32_t GetGeometryNodeCount() const { return m_pImp->GetGeometryNodeCount(); }
    std::uint32_t GetTransformationNodeCount() const { return m_pImp->GetTransformationNodeCount(); }
    std::uint32_t GetEffectNodeCount() const { return m_pImp->GetEffectNodeCount(); }
    std::uint32_t GetBatchNodeCount() const { return m_pImp->GetBatchNodeCount(); }
    std::uint32_t GetSPINodeCount() const { return m_pImp->GetSPINodeCount(); }
    unsigned GetDepth() const { return m_pImp->GetDepth(); }
    const std::string& GetName() const { return m_pImp->GetName(); }
    float GetBuildTime() const { return m_pImp->GetBuildTime(); }
    float GetTraverseTime() const { return m_pImp->GetTraverseTime(); }
    void Clear() { m_pImp->Clear(); }
    void SetSpacePartitions(const std::vector<SSpacePartition>& partitions)
    {
        m_pImp->SetSpacePartitions(partitions);
    }
    void Dump(std::ostream& out) const { m_pImp->Dump(out, m_pImp->GetRoot()); }

    ACSceneGraphMgrImp& GetImplementation() const { return *m_pImp; }

private:
    std::unique_ptr<ACSceneGraphMgrImp> m_pImp; // never null
};
} // namespace gfx
} // namespace dorvo
