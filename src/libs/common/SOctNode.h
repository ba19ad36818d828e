// One region of the oct tree. The tree builds every node at once and owns them all; the picker
// and the renderer walk nodes through their box, children and object map, so this layout is
// read directly by code outside the tree (it only reads it).
#pragma once

#include "common/math/AABB.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace common
{
class IOctTreeObject;

struct SOctNode
{
    static constexpr int kChildCount = 8;

    // Child index of the lower (0) or upper (1) half on each axis.
    static constexpr int ChildIndex(int xHalf, int yHalf, int zHalf) { return 4 * xHalf + 2 * yHalf + zHalf; }

    bool IsLeaf() const { return !m_Children[0]; }
    SOctNode* GetChild(int index) const { return m_Children[index].get(); }

    math::AABB m_Box; // the region, world units
    // Objects filed here under their keys (game-object ids); not owned.
    std::unordered_map<std::uint32_t, IOctTreeObject*> m_Objects;
    // The same keys in a plain array, in no particular order, for walks that only want the keys
    // (the collision broad phase asks for every body's neighbours every step).
    std::vector<std::uint32_t> m_Keys;
    // All null (a leaf) or all set, at ChildIndex(x half, y half, z half).
    std::array<std::unique_ptr<SOctNode>, kChildCount> m_Children;
    SOctNode* m_pParent = nullptr; // null for the root
    // Objects filed here and in every node below; the tree keeps it, so walks can pass over
    // empty branches.
    std::size_t m_SubtreeCount = 0;
};
} // namespace common
