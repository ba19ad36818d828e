// The operations a scene-graph walk runs, one per node kind, owned here. It starts with the five
// default ones (cull and queue, descend, select the effect, bind the batch's textures, cull the
// partition). A kind whose operation could not be made, or was never given one, is walked
// through: the walk descends and nothing else happens.
#pragma once

#include "engine/gfx/scene/SceneNodeOps.h"

#include <memory>

namespace dorvo
{
namespace gfx
{
class CSceneGraphVisitor
{
public:
    // The five default operations, in the order geometry, transformation, effect, batch, SPI;
    // one that cannot be allocated is left empty.
    CSceneGraphVisitor();
    ~CSceneGraphVisitor();

    CSceneGraphVisitor(const CSceneGraphVisitor&) = delete;
    CSceneGraphVisitor& operator=(const CSceneGraphVisitor&) = delete;

    // Each deletes the operation held for its kind and takes the new one. A null operation is
    // refused (false) and the one held stays.
    bool SetGeometryNodeOp(std::unique_ptr<IGeometryNodeOp> op);
    bool SetTransformationNodeOp(std::unique_ptr<ITransformationNodeOp> op);
    bool SetEffectNodeOp(std::unique_ptr<IEffectNodeOp> op);
    bool SetBatchNodeOp(std::unique_ptr<IBatchNodeOp> op);
    bool SetSPINodeOp(std::unique_ptr<ISPINodeOp> op);

    IGeometryNodeOp* GetGeometryNodeOp() const { return m_geometry.get(); }
    ITransformationNodeOp* GetTransformationNodeOp() const { return m_transformation.get(); }
    IEffectNodeOp* GetEffectNodeOp() const { return m_effect.get(); }
    IBatchNodeOp* GetBatchNodeOp() const { return m_batch.get(); }
    ISPINodeOp* GetSPINodeOp() const { return m_spi.get(); }

    // The installed operation's answer; true without one.
    bool Visit(CGeometryNode& node);
    bool Visit(CTransformationNode& node);
    bool Visit(CEffectNode& node);
    bool Visit(CBatchNode& node);
    bool Visit(CSPINode& node);

private:
    std::unique_ptr<IGeometryNodeOp> m_geometry;
    std::unique_ptr<ITransformationNodeOp> m_transformation;
    std::unique_ptr<IEffectNodeOp> m_effect;
    std::unique_ptr<IBatchNodeOp> m_batch;
    std::unique_ptr<ISPINodeOp> m_spi;
};
} // namespace gfx
} // namespace dorvo
