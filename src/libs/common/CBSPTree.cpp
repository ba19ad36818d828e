#include "common/CBSPTree.h"

#include "common/Assert.h"

#include <cmath>
#include <cstddef>
#include <limits>

namespace common
{
namespace
{
// The split axis of the next node built anywhere in the process: 0 x, 1 y, 2 z.
int s_nextSplitAxis = 0;

// Vertices this close to a splitting plane count as lying on it (2^-23, the float epsilon).
constexpr float kOnPlane = std::numeric_limits<float>::epsilon();

int SideOf(const math::Plane& plane, const math::Vector3& vertex)
{
    const float s = plane.SignedDistance(vertex);
    if (s > kOnPlane)
    {
        return 1;
    }
    if (s < -kOnPlane)
    {
        return -1;
    }
    return 0;
}

// Closes a polygon of three or four vertices into one or two triangles that keep the source
// triangle's normal: a thin piece would otherwise get the zero normal and could not be hit.
void AppendPieces(const std::vector<math::Vector3>& polygon, const math::Vector3& normal,
                  std::vector<math::Triangle>& out)
{
    if (polygon.size() < 3)
    {
        return;
    }
    out.emplace_back(polygon[0], polygon[1], polygon[2]);
    out.back().normal = normal;
    if (polygon.size() == 4)
    {
        out.emplace_back(polygon[2], polygon[3], polygon[0]);
        out.back().normal = normal;
    }
}
} // namespace

CBSPTree::~CBSPTree()
{
    DeleteNode(m_root);
}

int CBSPTree::GetNextSplitAxis()
{
    return s_nextSplitAxis;
}

void CBSPTree::Build(const std::vector<math::Triangle>& triangles)
{
    // The triangles are copied before the old tree goes, so a caller may rebuild from one of
    // this tree's own leaf lists.
    std::vector<math::Triangle> kept;
    kept.reserve(triangles.size());
    for (const math::Triangle& triangle : triangles)
    {
        const float area = (triangle.v1 - triangle.v0).Cross(triangle.v2 - triangle.v0).Length() * 0.5f;
        if (!math::FloatEqual(area, 0.0f))
        {
            kept.push_back(triangle);
        }
    }
    if (m_root != nullptr)
    {
        DeleteNode(m_root);
    }
    if (!kept.empty())
    {
        m_root = BuildNode(kept, 0);
    }
}

void CBSPTree::DeleteNode(SBSPNode* node)
{
    if (node == nullptr)
    {
        return;
    }
    DeleteNode(node->front);
    DeleteNode(node->back);
    if (node == m_root)
    {
        m_root = nullptr;
    }
    delete node;
    if (DORVO_ASSERT(m_nodeCount > 0, "CBSPTree::DeleteNode - deleted a node this tree did not count."))
    {
        --m_nodeCount;
    }
}

SBSPNode* CBSPTree::BuildNode(const std::vector<math::Triangle>& triangles, int depth)
{
    if (triangles.empty())
    {
        return nullptr;
    }
    auto* node = new SBSPNode; // owned by this tree until DeleteNode
    ++m_nodeCount;
    if (triangles.size() < kLeafThreshold || depth >= kMaxDepth)
    {
        node->triangles = triangles;
        return node;
    }
    node->plane = ChooseSplitPlane(triangles);
    std::vector<math::Triangle> front;
    std::vector<math::Triangle> back;
    for (const math::Triangle& triangle : triangles)
    {
        switch (ClassifyTriangle(node->plane, triangle))
        {
        case 0:
            front.push_back(triangle);
            break;
        case 1:
            back.push_back(triangle);
            break;
        default:
            SplitTriangle(node->plane, triangle, front, back);
            break;
        }
    }
    // The front subtree is built completely before the back one: the shared axis counter
    // depends on that order.
    node->front = BuildNode(front, depth + 1);
    node->back = BuildNode(back, depth + 1);
    return node;
}

math::Plane CBSPTree::ChooseSplitPlane(const std::vector<math::Triangle>& triangles)
{
    const float inf = std::numeric_limits<float>::infinity();
    math::Vector3 min(inf, inf, inf);
    math::Vector3 max(-inf, -inf, -inf);
    for (const math::Triangle& triangle : triangles)
    {
        for (int i = 0; i < 3; ++i)
        {
            for (int axis = 0; axis < 3; ++axis)
            {
                min[axis] = std::fmin(min[axis], triangle[i][axis]);
                max[axis] = std::fmax(max[axis], triangle[i][axis]);
            }
        }
    }
    const math::Vector3 centre = (min + max) * 0.5f;
    math::Vector3 normal;
    normal[s_nextSplitAxis] = 1.0f;
    s_nextSplitAxis = (s_nextSplitAxis + 1) % 3;
    return math::Plane(normal, centre);
}

int CBSPTree::ClassifyTriangle(const math::Plane& plane, const math::Triangle& triangle)
{
    bool anyFront = false;
    bool anyBack = false;
    for (int i = 0; i < 3; ++i)
    {
        const int side = SideOf(plane, triangle[i]);
        anyFront = anyFront || side > 0;
        anyBack = anyBack || side < 0;
    }
    if (anyFront && anyBack)
    {
        return 2;
    }
    return anyBack ? 1 : 0;
}

void CBSPTree::SplitTriangle(const math::Plane& plane, const math::Triangle& triangle,
                             std::vector<math::Triangle>& front, std::vector<math::Triangle>& back)
{
    const int side[3] = {SideOf(plane, triangle[0]), SideOf(plane, triangle[1]), SideOf(plane, triangle[2])};
    const int kind = ClassifyTriangle(plane, triangle);
    if (kind != 2)
    {
        // Nothing to cut: the whole triangle goes where the classification puts it.
        (kind == 1 ? back : front).push_back(triangle);
        return;
    }
    // Walk the edges from the first vertex off the plane. A vertex on the plane belongs to both
    // sides and the walk changes side there; an edge whose ends lie strictly on opposite sides
    // is cut and the cut point belongs to both. Each side closes into 3 or 4 vertices.
    int start = 0;
    while (side[start] == 0)
    {
        ++start;
    }
    std::vector<math::Vector3> polygons[2]; // 0 front, 1 back
    int current = side[start] > 0 ? 0 : 1;
    for (int k = 0; k < 3; ++k)
    {
        const int ia = (start + k) % 3;
        const int ib = (start + k + 1) % 3;
        const math::Vector3& a = triangle[ia];
        const math::Vector3& b = triangle[ib];
        polygons[current].push_back(a);
        if (side[ia] == 0)
        {
            current = 1 - current;
            polygons[current].push_back(a);
        }
        else if (side[ia] * side[ib] < 0)
        {
            float t = 0.0f;
            if (!plane.IntersectSegment(a, b, t))
            {
                // Rounding put the crossing a hair outside [0, 1]; the signed distances still
                // place it between the two ends.
                const float sa = plane.SignedDistance(a);
                t = sa / (sa - plane.SignedDistance(b));
            }
            const math::Vector3 cut = a + (b - a) * t;
            polygons[current].push_back(cut);
            current = 1 - current;
            polygons[current].push_back(cut);
        }
    }
    AppendPieces(polygons[0], triangle.normal, front);
    AppendPieces(polygons[1], triangle.normal, back);
}
} // namespace common
