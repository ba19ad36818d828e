#include "engine/gfx/scene/CDefaultSceneGraphMgrImp.h"

#include "common/ACTimer.h"
#include "common/MemMgr/OAException.h"
#include "engine/gfx/core/CRenderer.h"
#include "engine/gfx/core/IGfxUnit.h"
#include "platform/log.h"

#include <new>
#include <utility>

namespace dorvo
{
namespace gfx
{
namespace
{
// Nodes made for one unit and not yet in the tree, each with the parent it goes under, in the
// order they were made (parents first). Whatever is still pending when the unit fails is freed.
class CPendingNodes
{
public:
    ~CPendingNodes()
    {
        for (auto& entry : m_nodes)
            delete entry.second; // a pending node has no children of its own yet
    }

    template <class Node, class... Args> Node* Make(ACSceneNode* parent, Args&&... args)
    {
        m_nodes.reserve(m_nodes.size() + 1);
        Node* node = new Node(std::forward<Args>(args)...);
        m_nodes.emplace_back(parent, node);
        return node;
    }

    // The new children of a pending parent (they are not in its child list yet).
    std::vector<ACSceneNode*> ChildrenOf(const ACSceneNode* parent) const
    {
        std::vector<ACSceneNode*> children;
        for (const auto& entry : m_nodes)
            if (entry.first == parent)
                children.push_back(entry.second);
        return children;
    }

    bool IsPending(const ACSceneNode* node) const
    {
        for (const auto& entry : m_nodes)
            if (entry.second == node)
                return true;
        return false;
    }

    // Hands every node to add(parent, node), parents first, and forgets them.
    template <class Add> void Attach(Add add)
    {
        for (auto& entry : m_nodes)
        {
            add(entry.first, entry.second);
            entry.second = nullptr; // the tree's now
        }
        m_nodes.clear();
    }

private:
    std::vector<std::pair<ACSceneNode*, ACSceneNode*>> m_nodes;
};

float SecondsSince(std::int64_t start)
{
    return common::TicksToSeconds(common::ReadTimerCounter() - start);
}

void ReportLeftOut(const std::string& graph, const IGfxUnit* unit, const char* what)
{
    DORVO_LOG("%s::Build: mesh \"%s\": no memory for its scene node (%s); it is left out of this frame",
              graph.c_str(), unit ? unit->GetMeshName().c_str() : "", what);
}
} // namespace

CDefaultSceneGraphMgrImp::CDefaultSceneGraphMgrImp() : ACSceneGraphMgrImp(kName) {}

void CDefaultSceneGraphMgrImp::Build(const std::vector<IGfxUnit*>& units)
{
    const std::int64_t start = common::ReadTimerCounter();
    Clear();
    try
    {
        AddNode(nullptr, new CTransformationNode(math::Matrix4()));
    }
    catch (const std::exception& error)
    {
        // No root: the graph stays empty and draws nothing this frame.
        for (IGfxUnit* unit : units)
            if (unit)
                ReportLeftOut(GetName(), unit, error.what());
    }
    if (GetRoot())
        for (IGfxUnit* unit : units)
            if (unit)
            {
                try
                {
                    Insert(*unit);
                }
                catch (const std::exception& error)
                {
                    ReportLeftOut(GetName(), unit, error.what());
                }
            }
    SetBuildTime(SecondsSince(start));
}

void CDefaultSceneGraphMgrImp::Insert(IGfxUnit& unit)
{
    CPendingNodes pending;
    ACSceneNode* root = GetRoot();

    // 1 and 2: the effect node of the unit's technique, or a new one with a node per partition.
    ACSceneNode* effect = nullptr;
    for (ACSceneNode* child : root->GetChildren())
        if (child->GetType() == ACSceneNode::EFFECT &&
            static_cast<CEffectNode*>(child)->GetTechnique() == unit.GetTechnique())
        {
            effect = child;
            break;
        }
    if (!effect)
    {
        effect = pending.Make<CEffectNode>(root, unit);
        for (const SSpacePartition& partition : GetSpacePartitions())
            pending.Make<CSPINode>(effect, partition);
    }

    // 3 and 4: through the partitions, into the first that encloses the unit, else the loose one.
    ACSceneNode* parent = effect;
    if (!GetSpacePartitions().empty())
    {
        math::Sphere sphere;
        unit.GetBoundingSphere(sphere);
        const std::vector<ACSceneNode*> partitions =
            pending.IsPending(effect) ? pending.ChildrenOf(effect) : effect->GetChildren();
        ACSceneNode* loose = nullptr;
        parent = nullptr;
        for (ACSceneNode* child : partitions)
        {
            if (child->GetType() != ACSceneNode::SPI)
                continue;
            CSPINode* spi = static_cast<CSPINode*>(child);
            if (spi->Encloses(sphere))
            {
                parent = spi;
                break;
            }
            if (!loose && spi->IsLoose())
                loose = spi;
        }
        if (!parent)
            parent = loose ? loose : pending.Make<CSPINode>(effect, unit);
    }

    // 5: the first batch the unit matches, or a new one.
    ACSceneNode* batch = nullptr;
    if (!pending.IsPending(parent))
        for (ACSceneNode* child : parent->GetChildren())
            if (child->GetType() == ACSceneNode::BATCH && static_cast<CBatchNode*>(child)->Matches(unit))
            {
                batch = child;
                break;
            }
    if (!batch)
        batch = pending.Make<CBatchNode>(parent, unit);

    // 6: the unit's own geometry node with its transformation under it.
    ACSceneNode* geometry = pending.Make<CGeometryNode>(batch, &unit);
    pending.Make<CTransformationNode>(geometry, unit);

    pending.Attach([this](ACSceneNode* to, ACSceneNode* node) { AddNode(to, node); });
}

void CDefaultSceneGraphMgrImp::Traverse()
{
    const std::int64_t start = common::ReadTimerCounter();
    if (ACSceneNode* root = GetRoot())
        Visit(*root);
    SetTraverseTime(SecondsSince(start));
}

void CDefaultSceneGraphMgrImp::Visit(ACSceneNode& node)
{
    if (!node.Accept(GetVisitor()))
        return;
    for (ACSceneNode* child : node.GetChildren())
        Visit(*child);
    if (node.GetType() == ACSceneNode::BATCH)
    {
        CRenderer& renderer = CRenderer::Instance();
        if (!renderer.IsQueueEmpty())
            renderer.Flush();
    }
}
} // namespace gfx
} // namespace dorvo
