// A scene graph: a tree of nodes built from a list of graphics units every frame and walked with
// the visitor's node operations, once per pass. This base keeps the tree, the node counters, the
// visitor, the name, the space partitions and the measured build and traverse times; an
// implementation says how units become nodes (Build) and how the tree is walked (Traverse). The
// graph owns its tree and deletes it, children first, at every Build and Clear.
#pragma once

#include "engine/gfx/scene/CSceneGraphVisitor.h"
#include "engine/gfx/scene/SceneNodes.h"

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace dorvo
{
namespace gfx
{
class ACSceneNode;
class IGfxUnit;

class ACSceneGraphMgrImp
{
public:
    explicit ACSceneGraphMgrImp(std::string name);
    // Clear, then the partitions, the name and the visitor with its operations.
    virtual ~ACSceneGraphMgrImp();

    ACSceneGraphMgrImp(const ACSceneGraphMgrImp&) = delete;
    ACSceneGraphMgrImp& operator=(const ACSceneGraphMgrImp&) = delete;

    // Throws the old tree away and builds one from the units (not owned; they must outlive the
    // next Build or Clear). Null entries are passed over.
    virtual void Build(const std::vector<IGfxUnit*>& units) = 0;
    // Walks the tree with the installed operations; drawing walks draw as they go.
    virtual void Traverse() = 0;

    // Each replaces the operation for its kind, deleting the old one exactly once. A null
    // operation is refused (false) and the installed one stays.
    virtual bool SetGeometryNodeOp(std::unique_ptr<IGeometryNodeOp> op);
    virtual bool SetTransformationNodeOp(std::unique_ptr<ITransformationNodeOp> op);
    virtual bool SetEffectNodeOp(std::unique_ptr<IEffectNodeOp> op);
    virtual bool SetBatchNodeOp(std::unique_ptr<IBatchNodeOp> op);
    virtual bool SetSPINodeOp(std::unique_ptr<ISPINodeOp> op);

    virtual std::uint32_t GetNodeCount() const { return m_nodeCount; }
    virtual std::uint32_t GetGeometryNodeCount() const { return m_geometryNodeCount; }
    virtual std::uint32_t GetTransformationNodeCount() const { return m_transformationNodeCount; }
    virtual std::uint32_t GetEffectNodeCount() const { return m_effectNodeCount; }
    virtual std::uint32_t GetBatchNodeCount() const { return m_batchNodeCount; }
    virtual std::uint32_t GetSPINodeCount() const { return m_spiNodeCount; }
    // Levels of the tree: 0 empty, 1 for the root alone.
    virtual unsigned GetDepth() const;
    virtual const std::string& GetName() const { return m_name; }
    // Seconds the last Build and the last Traverse took (0 before the first), read by the
    // graphics benchmark.
    virtual float GetBuildTime() const { return m_buildTime; }
    virtual float GetTraverseTime() const { return m_traverseTime; }
    // Deletes the tree and zeroes the counters.
    virtual void Clear();
    // A copy of the partitions replaces the ones held; the next Build sorts units into them.
    virtual void SetSpacePartitions(const std::vector<SSpacePartition>& partitions);
    // The node and everything below it, children first, through the object allocator. The
    // counters are left alone (Clear and Build zero them).
    virtual void DeleteSubtree(ACSceneNode* node);
    // 0 for null, 1 for a node without children, else 1 + its deepest child's.
    virtual unsigned GetSubtreeDepth(const ACSceneNode* node) const;
    // One line per node, depth first, each indented by a tab per level below the node given:
    // "Node ID: <KIND>>>>>><the node's own detail>".
    virtual void Dump(std::ostream& out, const ACSceneNode* node) const;

    ACSceneNode* GetRoot() const { return m_pRoot; }
    const std::vector<SSpacePartition>& GetSpacePartitions() const { return m_spacePartitions; }
    CSceneGraphVisitor& GetVisitor() { return m_visitor; }

protected:
    // The node under the parent, or as the root when parent is null (the root slot of an
    // empty graph); the counters go up.
    void AddNode(ACSceneNode* parent, ACSceneNode* node);
    void ZeroCounters();
    void SetRoot(ACSceneNode* root) { m_pRoot = root; }
    void SetBuildTime(float seconds) { m_buildTime = seconds; }
    void SetTraverseTime(float seconds) { m_traverseTime = seconds; }

private:
    void DumpLevel(std::ostream& out, const ACSceneNode* node, unsigned level) const;

    std::uint32_t m_nodeCount = 0;
    std::uint32_t m_geometryNodeCount = 0;
    std::uint32_t m_transformationNodeCount = 0;
    std::uint32_t m_effectNodeCount = 0;
    std::uint32_t m_batchNodeCount = 0;
    std::uint32_t m_spiNodeCount = 0;
    float m_buildTime = 0.0f;    // seconds
    float m_traverseTime = 0.0f; // seconds
    ACSceneNode* m_pRoot = nullptr;
    CSceneGraphVisitor m_visitor;
    std::string m_name;
    std::vector<SSpacePartition> m_spacePartitions;
};
} // namespace gfx
} // namespace dorvo
