#include "common/COctTree.h"

#include "common/IOctTreeObject.h"
#include "common/Singleton.h"

namespace common
{
namespace
{
constexpr int kDefaultDepth = 4;
math::AABB DefaultWorldBox()
{
    return math::AABB(math::Vector3(-100.0f, -100.0f, -100.0f), math::Vector3(100.0f, 100.0f, 100.0f));
}

bool Overlaps(const math::AABB& a, const math::AABB& b)
{
    for (int i = 0; i < 3; ++i)
    {
        if (a.min[i] > b.max[i] || a.max[i] < b.min[i])
        {
            return false;
        }
    }
    return true;
}

void CollectFrom(const SOctNode& node, const std::function<bool(const SOctNode&)>& test,
                 std::vector<const SOctNode*>& out)
{
    if (!test(node))
    {
        return;
    }
    out.push_back(&node);
    for (const auto& child : node.m_Children)
    {
        if (child)
        {
            CollectFrom(*child, test, out);
        }
    }
}

void AppendOthers(const SOctNode& node, std::uint32_t key, std::vector<std::uint32_t>& out)
{
    for (const std::uint32_t other : node.m_Keys)
    {
        if (other != key)
        {
            out.push_back(other);
        }
    }
}

void CollectSubtree(const SOctNode& node, std::uint32_t key, std::vector<std::uint32_t>& out)
{
    AppendOthers(node, key, out);
    for (const auto& child : node.m_Children)
    {
        // Empty branches add nothing; most of a deep tree is empty.
        if (child && child->m_SubtreeCount > 0)
        {
            CollectSubtree(*child, key, out);
        }
    }
}

// Keeps the node's key array and the object counts of the node and every node above it.
void CountFiled(SOctNode* node, std::uint32_t key, bool added)
{
    if (added)
    {
        node->m_Keys.push_back(key);
    }
    else
    {
        std::vector<std::uint32_t>& keys = node->m_Keys;
        for (std::size_t i = 0; i < keys.size(); ++i)
        {
            if (keys[i] == key)
            {
                keys[i] = keys.back();
                keys.pop_back();
                break;
            }
        }
    }
    for (; node; node = node->m_pParent)
    {
        if (added)
        {
            ++node->m_SubtreeCount;
        }
        else
        {
            --node->m_SubtreeCount;
        }
    }
}
} // namespace

COctTree::COctTree() : COctTree(kDefaultDepth, DefaultWorldBox()) {}

COctTree::COctTree(int depth, const math::AABB& worldBox)
    : m_Depth(depth), m_WorldBox(worldBox), m_Epoch(NewEpoch())
{
}

std::uint64_t COctTree::NewEpoch()
{
    static std::uint64_t s_last = 0;
    return ++s_last;
}

void COctTree::NoteFiled(IOctTreeObject* object, SOctNode* node) const
{
    object->m_OctTreeEpoch = m_Epoch;
    object->m_OctTreeNode = node;
}

COctTree::~COctTree() = default;

COctTree& COctTree::Global()
{
    return *Singleton<COctTree>::Instance();
}

void COctTree::Rebuild()
{
    ++m_Changes;
    m_Epoch = NewEpoch();
    m_Index.clear();
    m_pRoot.reset();
    m_pRoot = std::make_unique<SOctNode>();
    m_pRoot->m_Box = m_WorldBox;
    BuildChildren(*m_pRoot, m_Depth);
}

void COctTree::BuildChildren(SOctNode& node, int levels)
{
    if (levels < 1)
    {
        return;
    }
    const math::Vector3 half((node.m_Box.max.x - node.m_Box.min.x) * 0.5f,
                             (node.m_Box.max.y - node.m_Box.min.y) * 0.5f,
                             (node.m_Box.max.z - node.m_Box.min.z) * 0.5f);
    // The corner advances by adding the half extent in float, so the children's faces are
    // exactly the values later containment tests compare against.
    int index = 0;
    float x = node.m_Box.min.x;
    for (int xHalf = 0; xHalf < 2; ++xHalf, x += half.x)
    {
        float y = node.m_Box.min.y;
        for (int yHalf = 0; yHalf < 2; ++yHalf, y += half.y)
        {
            float z = node.m_Box.min.z;
            for (int zHalf = 0; zHalf < 2; ++zHalf, z += half.z)
            {
                auto child = std::make_unique<SOctNode>();
                child->m_Box.min.Set(x, y, z);
                child->m_Box.max.Set(x + half.x, y + half.y, z + half.z);
                child->m_pParent = &node;
                BuildChildren(*child, levels - 1);
                node.m_Children[index++] = std::move(child);
            }
        }
    }
}

void COctTree::Add(IOctTreeObject* object)
{
    if (!object || !m_pRoot)
    {
        return;
    }
    // A second add of a filed key re-files it: the old node must not keep a stale pointer.
    const std::uint32_t key = object->GetOctTreeKey();
    const auto filed = m_Index.find(key);
    if (filed != m_Index.end())
    {
        const auto entry = filed->second->m_Objects.find(key);
        if (entry != filed->second->m_Objects.end())
        {
            if (entry->second != object)
            {
                m_Epoch = NewEpoch(); // the object filed under the key is not told
            }
            filed->second->m_Objects.erase(entry);
            CountFiled(filed->second, key, false);
        }
        m_Index.erase(filed);
        ++m_Changes;
    }
    NoteFiled(object, nullptr);
    const math::AABB box = object->GetOctTreeBox();
    if (!InsertIntoNode(*m_pRoot, object, box))
    {
        object->OnOutsideWorld();
    }
}

bool COctTree::InsertIntoNode(SOctNode& node, IOctTreeObject* object, const math::AABB& box)
{
    if (!node.m_Box.Contains(box))
    {
        return false;
    }
    // A box straddling a split plane stays here; one touching a plane goes to the lower child.
    for (const auto& child : node.m_Children)
    {
        if (child && InsertIntoNode(*child, object, box))
        {
            return true;
        }
    }
    AddToNode(node, object);
    return true;
}

void COctTree::AddToNode(SOctNode& node, IOctTreeObject* object)
{
    const std::uint32_t key = object->GetOctTreeKey();
    if (node.m_Objects.emplace(key, object).second)
    {
        CountFiled(&node, key, true);
    }
    m_Index.emplace(key, &node);
    NoteFiled(object, &node);
    ++m_Changes;
}

SOctNode* COctTree::FindFiledNode(const IOctTreeObject* object) const
{
    if (!object)
    {
        return nullptr;
    }
    if (object->m_OctTreeEpoch == m_Epoch)
    {
        return object->m_OctTreeNode;
    }
    const auto filed = m_Index.find(object->GetOctTreeKey());
    if (filed == m_Index.end())
    {
        return nullptr;
    }
    // Another object may hold the key now (it was added later); this one is then not filed.
    const auto entry = filed->second->m_Objects.find(filed->first);
    if (entry == filed->second->m_Objects.end() || entry->second != object)
    {
        return nullptr;
    }
    return filed->second;
}

void COctTree::Update(IOctTreeObject* object)
{
    SOctNode* node = FindFiledNode(object);
    if (!node)
    {
        return;
    }
    const math::AABB box = object->GetOctTreeBox();
    if (node->m_Box.Contains(box))
    {
        bool fitsChild = false;
        for (const auto& child : node->m_Children)
        {
            if (child && child->m_Box.Contains(box))
            {
                fitsChild = true;
                break;
            }
        }
        if (!fitsChild)
        {
            return;
        }
    }
    Remove(object);
    Add(object);
}

void COctTree::Remove(IOctTreeObject* object)
{
    SOctNode* node = FindFiledNode(object);
    if (!node)
    {
        return;
    }
    const std::uint32_t key = object->GetOctTreeKey();
    if (node->m_Objects.erase(key) > 0)
    {
        CountFiled(node, key, false);
    }
    m_Index.erase(key);
    NoteFiled(object, nullptr);
    ++m_Changes;
}

void COctTree::GetNeighbours(std::uint32_t key, std::vector<std::uint32_t>& out) const
{
    const auto filed = m_Index.find(key);
    if (filed == m_Index.end())
    {
        return;
    }
    const SOctNode* node = filed->second;
    for (const auto& child : node->m_Children)
    {
        if (child && child->m_SubtreeCount > 0)
        {
            CollectSubtree(*child, key, out);
        }
    }
    // The enclosing nodes only, not their other children: those cannot overlap this object.
    for (const SOctNode* up = node; up; up = up->m_pParent)
    {
        AppendOthers(*up, key, out);
    }
}

const SOctNode* COctTree::FindNode(std::uint32_t key) const
{
    const auto filed = m_Index.find(key);
    return filed == m_Index.end() ? nullptr : filed->second;
}

void COctTree::CollectNodes(const std::function<bool(const SOctNode&)>& test,
                            std::vector<const SOctNode*>& out) const
{
    if (m_pRoot && test)
    {
        CollectFrom(*m_pRoot, test, out);
    }
}

void COctTree::CollectNodesOverlapping(const math::AABB& box, std::vector<const SOctNode*>& out) const
{
    CollectNodes([&box](const SOctNode& node) { return Overlaps(node.m_Box, box); }, out);
}
} // namespace common
