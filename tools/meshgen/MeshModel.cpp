#include "MeshModel.h"

#include <utility>

namespace meshgen
{
Matrix Identity()
{
    return {1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0};
}

Matrix Translation(const Vec3& offset)
{
    Matrix m = Identity();
    m[12] = offset.x;
    m[13] = offset.y;
    m[14] = offset.z;
    return m;
}

uint32_t MeshGeometry::AddVertex(const Vec3& position, double u, double v)
{
    vertices.push_back({position, u, v});
    return static_cast<uint32_t>(vertices.size() - 1);
}

void MeshGeometry::AddTriangle(uint32_t a, uint32_t b, uint32_t c, const Vec3& outward)
{
    const Vec3& pa = vertices[a].position;
    const Vec3 normal = Cross(vertices[b].position - pa, vertices[c].position - pa);
    if (Dot(normal, outward) < 0.0)
        std::swap(b, c);
    triangles.push_back({a, b, c});
}
} // namespace meshgen
