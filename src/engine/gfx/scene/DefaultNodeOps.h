// The operations of a drawing walk: geometry nodes are culled against the current viewport and
// queued for the renderer, effect nodes make their effect current, batch nodes bind their
// textures, partition nodes are culled by their box, transformation nodes are walked through.
#pragma once

#include "engine/gfx/scene/SceneNodeOps.h"

namespace dorvo
{
namespace gfx
{
class IGfxUnit;

class CDefaultGeometryNodeOp : public IGeometryNodeOp
{
public:
    CDefaultGeometryNodeOp* Clone() const override { return new CDefaultGeometryNodeOp; }
    // An always-visible unit is queued without a test. While the frame's visibility results
    // are valid, the node's last result decides without a test. Otherwise the unit's bounds are
    // tested against the current viewport's frustum; a secondary viewport draws only what the
    // main one found visible. A queued unit has its render record refreshed first.
    bool operator()(CGeometryNode& node) override;

    // The unit's bounds (sphere or box, by its bounding type) against the current viewport's
    // frustum. Any other bounding type, or no current viewport, is not visible.
    static bool IsInCurrentViewport(const IGfxUnit& unit);
};

class CDefaultTransformationNodeOp : public ITransformationNodeOp
{
public:
    CDefaultTransformationNodeOp* Clone() const override { return new CDefaultTransformationNodeOp; }
    bool operator()(CTransformationNode&) override { return true; }
};

class CDefaultEffectNodeOp : public IEffectNodeOp
{
public:
    CDefaultEffectNodeOp* Clone() const override { return new CDefaultEffectNodeOp; }
    // The node's effect file becomes the effect manager's current effect (none when it is not
    // loaded: the renderer then draws nothing of the node).
    bool operator()(CEffectNode& node) override;
};

class CDefaultBatchNodeOp : public IBatchNodeOp
{
public:
    CDefaultBatchNodeOp* Clone() const override { return new CDefaultBatchNodeOp; }
    // The batch's textures, for its technique, onto the current effect: once per batch, for all
    // of its units.
    bool operator()(CBatchNode& node) override;
};

class CDefaultSPINodeOp : public ISPINodeOp
{
public:
    CDefaultSPINodeOp* Clone() const override { return new CDefaultSPINodeOp; }
    // A loose node is always walked, an empty partition never; a partition otherwise when its
    // box meets the current viewport's frustum.
    bool operator()(CSPINode& node) override;
};
} // namespace gfx
} // namespace dorvo
