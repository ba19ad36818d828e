// What the oct tree files: an object with a key and a world box. The engine's position
// component implements it (key = its game object's id, box = its world bounding box), so the
// foundation layer never needs to know game objects. The tree neither owns nor copies these.
#pragma once

#include "common/math/AABB.h"

#include <cstdint>

namespace common
{
class COctTree;
struct SOctNode;

class IOctTreeObject
{
public:
    IOctTreeObject() = default;
    // A copy is filed nowhere: where the original is filed is not copied.
    IOctTreeObject(const IOctTreeObject&) {}
    IOctTreeObject& operator=(const IOctTreeObject&) { return *this; }
    virtual ~IOctTreeObject() = default;

    // The key the object is filed under; unique among filed objects (a game object's id).
    virtual std::uint32_t GetOctTreeKey() const = 0;
    // The box the object is filed by, in world units; min <= max on every axis.
    virtual math::AABB GetOctTreeBox() const = 0;
    // The tree refused the object because its box does not lie inside the world box; it is not
    // filed. The position component kills its game object here, so objects that leave the
    // world are removed at the start of the next frame.
    virtual void OnOutsideWorld() = 0;

private:
    friend class COctTree;
    // Where the tree of that epoch (COctTree's) filed the object, null for nowhere; kept by the
    // tree so that re-filing a moving object needs no look-up by key. Another epoch: unknown.
    std::uint64_t m_OctTreeEpoch = 0;
    SOctNode* m_OctTreeNode = nullptr;
};
} // namespace common
