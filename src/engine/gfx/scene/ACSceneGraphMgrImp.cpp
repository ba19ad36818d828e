#include "engine/gfx/scene/ACSceneGraphMgrImp.h"

#include "engine/gfx/scene/ACSceneNode.h"

#include <algorithm>

namespace dorvo
{
namespace gfx
{
ACSceneGraphMgrImp::ACSceneGraphMgrImp(std::string name) : m_name(std::move(name)) {}

ACSceneGraphMgrImp::~ACSceneGraphMgrImp()
{
    // Not virtual here: the tree is this class's to delete.
    ACSceneGraphMgrImp::Clear();
}

bool ACSceneGraphMgrImp::SetGeometryNodeOp(std::unique_ptr<IGeometryNodeOp> op)
{
    return m_visitor.SetGeometryNodeOp(std::move(op));
}

bool ACSceneGraphMgrImp::SetTransformationNodeOp(std::unique_ptr<ITransformationNodeOp> op)
{
    return m_visitor.SetTransformationNodeOp(std::move(op));
}

bool ACSceneGraphMgrImp::SetEffectNodeOp(std::unique_ptr<IEffectNodeOp> op)
{
    return m_visitor.SetEffectNodeOp(std::move(op));
}

bool ACSceneGraphMgrImp::SetBatchNodeOp(std::unique_ptr<IBatchNodeOp> op)
{
    return m_visitor.SetBatchNodeOp(std::move(op));
}

bool ACSceneGraphMgrImp::SetSPINodeOp(std::unique_ptr<ISPINodeOp> op)
{
    return m_visitor.SetSPINodeOp(std::move(op));
}

unsigned ACSceneGraphMgrImp::GetDepth() const
{
    return GetSubtreeDepth(m_pRoot);
}

void ACSceneGraphMgrImp::Clear()
{
    DeleteSubtree(m_pRoot);
    m_pRoot = nullptr;
    ZeroCounters();
}

void ACSceneGraphMgrImp::SetSpacePartitions(const std::vector<SSpacePartition>& partitions)
{
    m_spacePartitions = partitions;
}

void ACSceneGraphMgrImp::DeleteSubtree(ACSceneNode* node)
{
    if (!node)
        return;
    for (ACSceneNode* child : node->GetChildren())
        DeleteSubtree(child);
    node->ClearChildren();
    delete node;
}

unsigned ACSceneGraphMgrImp::GetSubtreeDepth(const ACSceneNode* node) const
{
    if (!node)
        return 0;
    unsigned deepest = 0;
    for (const ACSceneNode* child : node->GetChildren())
        deepest = std::max(deepest, GetSubtreeDepth(child));
    return 1 + deepest;
}

void ACSceneGraphMgrImp::Dump(std::ostream& out, const ACSceneNode* node) const
{
    DumpLevel(out, node, 0);
}

void ACSceneGraphMgrImp::DumpLevel(std::ostream& out, const ACSceneNode* node, unsigned level) const
{
    if (!node)
        return;
    out << std::string(level, '\t') << "Node ID: " << ACSceneNode::TypeName(node->GetType()) << ">>>>>";
    node->DumpInfo(out);
    out << '\n';
    for (const ACSceneNode* child : node->GetChildren())
        DumpLevel(out, child, level + 1);
}

void ACSceneGraphMgrImp::AddNode(ACSceneNode* parent, ACSceneNode* node)
{
    if (parent)
        parent->AddChild(node);
    else
        m_pRoot = node;
    ++m_nodeCount;
    switch (node->GetType())
    {
    case ACSceneNode::TRANSFORMATION:
        ++m_transformationNodeCount;
        break;
    case ACSceneNode::GEOMETRY:
        ++m_geometryNodeCount;
        break;
    case ACSceneNode::EFFECT:
        ++m_effectNodeCount;
        break;
    case ACSceneNode::BATCH:
        ++m_batchNodeCount;
        break;
    case ACSceneNode::SPI:
        ++m_spiNodeCount;
        break;
    default:
        break;
    }
}

void ACSceneGraphMgrImp::ZeroCounters()
{
    m_nodeCount = m_geometryNodeCount = m_transformationNodeCount = 0;
    m_effectNodeCount = m_batchNodeCount = m_spiNodeCount = 0;
}
} // namespace gfx
} // namespace dorvo
