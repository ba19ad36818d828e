#include "engine/gfx/scene/CSceneGraphVisitor.h"

#include "engine/gfx/scene/DefaultNodeOps.h"

#include <new>

namespace dorvo
{
namespace gfx
{
namespace
{
template <class Op> std::unique_ptr<Op> MakeOrNothing()
{
    try
    {
        return std::make_unique<Op>();
    }
    catch (const std::bad_alloc&)
    {
        return nullptr;
    }
}

template <class Op> bool Install(std::unique_ptr<Op>& slot, std::unique_ptr<Op> op)
{
    if (!op)
        return false;
    slot = std::move(op);
    return true;
}
} // namespace

CSceneGraphVisitor::CSceneGraphVisitor()
    : m_geometry(MakeOrNothing<CDefaultGeometryNodeOp>()),
      m_transformation(MakeOrNothing<CDefaultTransformationNodeOp>()),
      m_effect(MakeOrNothing<CDefaultEffectNodeOp>()), m_batch(MakeOrNothing<CDefaultBatchNodeOp>()),
      m_spi(MakeOrNothing<CDefaultSPINodeOp>())
{
}

CSceneGraphVisitor::~CSceneGraphVisitor() = default;

bool CSceneGraphVisitor::SetGeometryNodeOp(std::unique_ptr<IGeometryNodeOp> op)
{
    return Install(m_geometry, std::move(op));
}

bool CSceneGraphVisitor::SetTransformationNodeOp(std::unique_ptr<ITransformationNodeOp> op)
{
    return Install(m_transformation, std::move(op));
}

bool CSceneGraphVisitor::SetEffectNodeOp(std::unique_ptr<IEffectNodeOp> op)
{
    return Install(m_effect, std::move(op));
}

bool CSceneGraphVisitor::SetBatchNodeOp(std::unique_ptr<IBatchNodeOp> op)
{
    return Install(m_batch, std::move(op));
}

bool CSceneGraphVisitor::SetSPINodeOp(std::unique_ptr<ISPINodeOp> op)
{
    return Install(m_spi, std::move(op));
}

bool CSceneGraphVisitor::Visit(CGeometryNode& node)
{
    return m_geometry ? (*m_geometry)(node) : true;
}

bool CSceneGraphVisitor::Visit(CTransformationNode& node)
{
    return m_transformation ? (*m_transformation)(node) : true;
}

bool CSceneGraphVisitor::Visit(CEffectNode& node)
{
    return m_effect ? (*m_effect)(node) : true;
}

bool CSceneGraphVisitor::Visit(CBatchNode& node)
{
    return m_batch ? (*m_batch)(node) : true;
}

bool CSceneGraphVisitor::Visit(CSPINode& node)
{
    return m_spi ? (*m_spi)(node) : true;
}
} // namespace gfx
} // namespace dorvo
