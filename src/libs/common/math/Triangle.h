// Triangle: the triangle hull's shape and the BSP tree's geometry. The normal follows the
// corners counter-clockwise: (V1 - V0) x (V2 - V0), normalised (zero for a degenerate one).
// The vertices can also be reached by index; the index table points into the object itself,
// so a copy rebinds it rather than copying the pointers.
#pragma once

#include "common/math/Vector3.h"

namespace math
{
class Triangle
{
public:
    Triangle(); // all zero
    Triangle(const Vector3& a, const Vector3& b, const Vector3& c);
    Triangle(const Triangle& other);
    Triangle& operator=(const Triangle& other);

    // Writes the three vertices and recomputes the normal.
    void Set(const Vector3& a, const Vector3& b, const Vector3& c);
    void ComputeNormal();

    // Vertex 0, 1 or 2.
    Vector3& operator[](int index) { return *m_vertices[index]; }
    const Vector3& operator[](int index) const { return *m_vertices[index]; }

    // The smallest and largest of V0.axis, V1.axis, V2.axis.
    void ProjectOntoAxis(float& min, float& max, const Vector3& axis) const;
    // True when p projected on the triangle's plane lies inside or on an edge.
    bool ContainsPoint(const Vector3& p) const;
    // Squared distance from p to the triangle; s and t (when not null) receive the closest
    // point's parameters V0 + s(V1 - V0) + t(V2 - V0). A degenerate triangle gives +infinity
    // and leaves s and t unwritten.
    float SquaredDistance(const Vector3& p, float* s, float* t) const;
    // V0 + s(V1 - V0) + t(V2 - V0).
    Vector3 PointAt(float s, float t) const;
    Vector3 GetCentroid() const;

    Vector3 v0;
    Vector3 v1;
    Vector3 v2;
    Vector3 normal;

private:
    void BindVertices();

    Vector3* m_vertices[3];
};
} // namespace math
