// A node of a scene graph: a list of child nodes and the node's kind. Nodes hold data only; what
// a walk does at a node is decided by the visitor's operation for its kind, which Accept calls.
// The graph that built the tree destroys it (children first); destroying one node frees its
// list, not its children. Concrete nodes come from the pooled allocators (MemMgr::CMngObj).
#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

namespace dorvo
{
namespace gfx
{
class CSceneGraphVisitor;

class ACSceneNode
{
public:
    // The dump prints these names.
    enum ENodeType : std::uint32_t
    {
        TRANSFORMATION = 0,
        GEOMETRY = 1,
        EFFECT = 2,
        BASE = 3, // what every node is until its own constructor runs
        BATCH = 4,
        SPI = 5,
    };

    ACSceneNode() = default;
    virtual ~ACSceneNode();

    ACSceneNode(const ACSceneNode&) = delete;
    ACSceneNode& operator=(const ACSceneNode&) = delete;

    // The visitor's operation for this node's kind: true lets the walk descend.
    virtual bool Accept(CSceneGraphVisitor& visitor) = 0;
    // The kind's own part of a dump line.
    virtual void DumpInfo(std::ostream& out) const = 0;
    virtual std::size_t GetChildCount() const { return m_children.size(); }

    ENodeType GetType() const { return m_type; }
    // The name the dump prints; empty for a value outside the kinds.
    static const char* TypeName(std::uint32_t type);

    // Appended last; the node does not own it (the graph deletes subtrees).
    void AddChild(ACSceneNode* child) { m_children.push_back(child); }
    const std::vector<ACSceneNode*>& GetChildren() const { return m_children; }
    void ClearChildren() { std::vector<ACSceneNode*>().swap(m_children); }

protected:
    void SetType(ENodeType type) { m_type = type; }

private:
    std::vector<ACSceneNode*> m_children;
    ENodeType m_type = BASE;
};
} // namespace gfx
} // namespace dorvo
