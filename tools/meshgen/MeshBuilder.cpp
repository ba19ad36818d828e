#include "MeshBuilder.h"

#include <cmath>

namespace meshgen
{
namespace
{
constexpr double kPi = 3.14159265358979323846;

Vec3 Normalized(const Vec3& v)
{
    const double length = std::sqrt(Dot(v, v));
    return length > 0.0 ? v * (1.0 / length) : v;
}

// Turns the canonical y axis of a shape onto the wanted axis without mirroring it.
Vec3 OntoAxis(Axis axis, const Vec3& p)
{
    switch (axis)
    {
    case Axis::X:
        return {p.y, -p.x, p.z};
    case Axis::Z:
        return {p.x, -p.z, p.y};
    case Axis::Y:
        break;
    }
    return p;
}

// Two triangles over a quad given in screen order seen from outside.
void AddQuad(MeshGeometry& geometry, uint32_t bottomLeft, uint32_t topLeft, uint32_t topRight,
             uint32_t bottomRight, const Vec3& outward)
{
    geometry.AddTriangle(bottomLeft, topLeft, topRight, outward);
    geometry.AddTriangle(bottomLeft, topRight, bottomRight, outward);
}
} // namespace

Vec3 RightOf(const QuadFrame& frame)
{
    return Cross(frame.up, frame.normal * -1.0);
}

void AddQuadGrid(MeshGeometry& geometry, const QuadFrame& frame, int columns, int rows, double u0, double v0,
                 double u1, double v1)
{
    const Vec3 right = RightOf(frame);
    const uint32_t first = static_cast<uint32_t>(geometry.vertices.size());
    for (int row = 0; row <= rows; ++row)
    {
        const double t = static_cast<double>(row) / rows; // 0 at the top
        for (int column = 0; column <= columns; ++column)
        {
            const double s = static_cast<double>(column) / columns; // 0 at the left
            const Vec3 position =
                frame.centre + right * ((s - 0.5) * frame.width) + frame.up * ((0.5 - t) * frame.height);
            geometry.AddVertex(position, u0 + (u1 - u0) * s, v0 + (v1 - v0) * t);
        }
    }
    const int stride = columns + 1;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
        {
            const uint32_t topLeft = first + static_cast<uint32_t>(row * stride + column);
            const uint32_t bottomLeft = topLeft + static_cast<uint32_t>(stride);
            AddQuad(geometry, bottomLeft, topLeft, topLeft + 1, bottomLeft + 1, frame.normal);
        }
}

void AddBox(MeshGeometry& geometry, const Vec3& centre, const Vec3& size)
{
    const Vec3 half = size * 0.5;
    const QuadFrame sides[] = {
        {centre + Vec3{0, 0, -half.z}, {0, 0, -1}, {0, 1, 0}, size.x, size.y},
        {centre + Vec3{half.x, 0, 0}, {1, 0, 0}, {0, 1, 0}, size.z, size.y},
        {centre + Vec3{0, 0, half.z}, {0, 0, 1}, {0, 1, 0}, size.x, size.y},
        {centre + Vec3{-half.x, 0, 0}, {-1, 0, 0}, {0, 1, 0}, size.z, size.y},
        {centre + Vec3{0, half.y, 0}, {0, 1, 0}, {0, 0, 1}, size.x, size.z},
        {centre + Vec3{0, -half.y, 0}, {0, -1, 0}, {0, 0, -1}, size.x, size.z},
    };
    for (const QuadFrame& side : sides)
        AddQuadGrid(geometry, side, 1, 1, 0.0, 0.0, 1.0, 1.0);
}

void AddCylinder(MeshGeometry& geometry, Axis axis, double radius, double length, int sides)
{
    const double half = 0.5 * length;
    auto rim = [&](int i, double y)
    {
        const double angle = 2.0 * kPi * i / sides;
        return Vec3{radius * std::cos(angle), y, radius * std::sin(angle)};
    };

    // Side: two rings with a seam vertex at each end.
    const uint32_t top = static_cast<uint32_t>(geometry.vertices.size());
    for (int i = 0; i <= sides; ++i)
        geometry.AddVertex(OntoAxis(axis, rim(i, half)), static_cast<double>(i) / sides, 0.0);
    const uint32_t bottom = static_cast<uint32_t>(geometry.vertices.size());
    for (int i = 0; i <= sides; ++i)
        geometry.AddVertex(OntoAxis(axis, rim(i, -half)), static_cast<double>(i) / sides, 1.0);
    for (int i = 0; i < sides; ++i)
    {
        const Vec3 middle = rim(i, 0.0) + rim(i + 1, 0.0);
        const Vec3 outward = OntoAxis(axis, middle);
        const uint32_t a = static_cast<uint32_t>(i);
        AddQuad(geometry, bottom + a, top + a, top + a + 1, bottom + a + 1, outward);
    }

    // Caps, mapped flat as seen from the positive and the negative end.
    for (const double end : {half, -half})
    {
        const Vec3 outward = OntoAxis(axis, {0.0, end, 0.0});
        const uint32_t centre = geometry.AddVertex(OntoAxis(axis, {0.0, end, 0.0}), 0.5, 0.5);
        const uint32_t ring = static_cast<uint32_t>(geometry.vertices.size());
        for (int i = 0; i < sides; ++i)
        {
            const Vec3 p = rim(i, end);
            const double v = end > 0.0 ? 0.5 - p.z / (2.0 * radius) : 0.5 + p.z / (2.0 * radius);
            geometry.AddVertex(OntoAxis(axis, p), 0.5 + p.x / (2.0 * radius), v);
        }
        for (int i = 0; i < sides; ++i)
            geometry.AddTriangle(centre, ring + static_cast<uint32_t>(i),
                                 ring + static_cast<uint32_t>((i + 1) % sides), outward);
    }
}

void AddSphere(MeshGeometry& geometry, double radius, int slices, int stacks)
{
    // Longitude 0 looks along -x, so the seam is at the back of objects that face +x.
    auto point = [&](double longitude, double polar)
    {
        return Vec3{-radius * std::sin(polar) * std::cos(longitude), radius * std::cos(polar),
                    -radius * std::sin(polar) * std::sin(longitude)};
    };
    const uint32_t northPoles = static_cast<uint32_t>(geometry.vertices.size());
    for (int i = 0; i < slices; ++i)
        geometry.AddVertex({0.0, radius, 0.0}, (i + 0.5) / slices, 0.0);
    const uint32_t rings = static_cast<uint32_t>(geometry.vertices.size());
    for (int j = 1; j < stacks; ++j)
        for (int i = 0; i <= slices; ++i)
            geometry.AddVertex(point(2.0 * kPi * i / slices, kPi * j / stacks),
                               static_cast<double>(i) / slices, static_cast<double>(j) / stacks);
    const uint32_t southPoles = static_cast<uint32_t>(geometry.vertices.size());
    for (int i = 0; i < slices; ++i)
        geometry.AddVertex({0.0, -radius, 0.0}, (i + 0.5) / slices, 1.0);

    const uint32_t stride = static_cast<uint32_t>(slices + 1);
    auto ringVertex = [&](int j, int i)
    { return rings + static_cast<uint32_t>(j - 1) * stride + static_cast<uint32_t>(i); };
    auto outwardOf = [&](uint32_t a, uint32_t b, uint32_t c)
    { return geometry.vertices[a].position + geometry.vertices[b].position + geometry.vertices[c].position; };
    for (int i = 0; i < slices; ++i)
    {
        const uint32_t pole = northPoles + static_cast<uint32_t>(i);
        geometry.AddTriangle(pole, ringVertex(1, i), ringVertex(1, i + 1),
                             outwardOf(pole, ringVertex(1, i), ringVertex(1, i + 1)));
    }
    for (int j = 1; j < stacks - 1; ++j)
        for (int i = 0; i < slices; ++i)
        {
            const uint32_t topLeft = ringVertex(j, i);
            const uint32_t bottomLeft = ringVertex(j + 1, i);
            const Vec3 outward =
                outwardOf(topLeft, bottomLeft, topLeft + 1) + geometry.vertices[bottomLeft + 1].position;
            AddQuad(geometry, bottomLeft, topLeft, topLeft + 1, bottomLeft + 1, outward);
        }
    for (int i = 0; i < slices; ++i)
    {
        const uint32_t pole = southPoles + static_cast<uint32_t>(i);
        geometry.AddTriangle(pole, ringVertex(stacks - 1, i), ringVertex(stacks - 1, i + 1),
                             outwardOf(pole, ringVertex(stacks - 1, i), ringVertex(stacks - 1, i + 1)));
    }
}

void AddDisc(MeshGeometry& geometry, const Vec3& centre, const Vec3& normal, const Vec3& up, double radius,
             int sides)
{
    const QuadFrame frame{centre, normal, up, 2.0 * radius, 2.0 * radius};
    const Vec3 right = RightOf(frame);
    const uint32_t middle = geometry.AddVertex(centre, 0.5, 0.5);
    const uint32_t ring = static_cast<uint32_t>(geometry.vertices.size());
    for (int i = 0; i < sides; ++i)
    {
        const double angle = 2.0 * kPi * i / sides;
        const double s = std::cos(angle);
        const double t = std::sin(angle);
        geometry.AddVertex(centre + right * (radius * s) + up * (radius * t), 0.5 + 0.5 * s, 0.5 - 0.5 * t);
    }
    for (int i = 0; i < sides; ++i)
        geometry.AddTriangle(middle, ring + static_cast<uint32_t>(i),
                             ring + static_cast<uint32_t>((i + 1) % sides), normal);
}

void AddTorus(MeshGeometry& geometry, const Vec3& centre, const Vec3& axis, const Vec3& up,
              double majorRadius, double minorRadius, int rings, int sides)
{
    const Vec3 a = Normalized(axis);
    const Vec3 right = Cross(up, a * -1.0);
    std::vector<Vec3> outwards;
    const uint32_t first = static_cast<uint32_t>(geometry.vertices.size());
    for (int i = 0; i <= rings; ++i)
    {
        const double angle = 2.0 * kPi * i / rings;
        const Vec3 radial = up * std::cos(angle) + right * std::sin(angle);
        const Vec3 tubeCentre = centre + radial * majorRadius;
        for (int j = 0; j <= sides; ++j)
        {
            const double tube = 2.0 * kPi * j / sides;
            const Vec3 outward = radial * std::cos(tube) + a * std::sin(tube);
            geometry.AddVertex(tubeCentre + outward * minorRadius, static_cast<double>(i) / rings,
                               static_cast<double>(j) / sides);
            outwards.push_back(outward);
        }
    }
    const uint32_t stride = static_cast<uint32_t>(sides + 1);
    for (int i = 0; i < rings; ++i)
        for (int j = 0; j < sides; ++j)
        {
            const uint32_t p = static_cast<uint32_t>(i) * stride + static_cast<uint32_t>(j);
            const Vec3 outward =
                outwards[p] + outwards[p + 1] + outwards[p + stride] + outwards[p + stride + 1];
            AddQuad(geometry, first + p, first + p + 1, first + p + stride + 1, first + p + stride, outward);
        }
}

void AddExtrudedBand(MeshGeometry& geometry, const std::vector<Point2>& outer,
                     const std::vector<Point2>& inner, double zFront, double zBack)
{
    const size_t count = outer.size();
    auto at = [](const Point2& p, double z) { return Vec3{p.x, p.y, z}; };

    // Front and back faces.
    for (const double z : {zFront, zBack})
    {
        const Vec3 outward{0.0, 0.0, z == zFront ? -1.0 : 1.0};
        const uint32_t first = static_cast<uint32_t>(geometry.vertices.size());
        for (size_t k = 0; k < count; ++k)
        {
            geometry.AddVertex(at(outer[k], z), 0.0, 0.0);
            geometry.AddVertex(at(inner[k], z), 0.0, 0.0);
        }
        for (size_t k = 0; k + 1 < count; ++k)
        {
            const uint32_t o = first + static_cast<uint32_t>(2 * k);
            AddQuad(geometry, o, o + 1, o + 3, o + 2, outward);
        }
    }

    // The two walls, smooth along the curves; each faces away from the other curve.
    for (int wall = 0; wall < 2; ++wall)
    {
        const std::vector<Point2>& curve = wall == 0 ? outer : inner;
        const std::vector<Point2>& other = wall == 0 ? inner : outer;
        const uint32_t first = static_cast<uint32_t>(geometry.vertices.size());
        for (size_t k = 0; k < count; ++k)
        {
            geometry.AddVertex(at(curve[k], zFront), 0.0, 0.0);
            geometry.AddVertex(at(curve[k], zBack), 0.0, 0.0);
        }
        for (size_t k = 0; k + 1 < count; ++k)
        {
            const Vec3 away =
                at(curve[k], 0.0) + at(curve[k + 1], 0.0) - at(other[k], 0.0) - at(other[k + 1], 0.0);
            const uint32_t c = first + static_cast<uint32_t>(2 * k);
            AddQuad(geometry, c, c + 1, c + 3, c + 2, away);
        }
    }

    // End caps.
    for (const size_t k : {size_t{0}, count - 1})
    {
        const size_t next = k == 0 ? 1 : count - 2;
        const Vec3 away = at(outer[k], 0.0) + at(inner[k], 0.0) - at(outer[next], 0.0) - at(inner[next], 0.0);
        const uint32_t o = geometry.AddVertex(at(outer[k], zFront), 0.0, 0.0);
        geometry.AddVertex(at(outer[k], zBack), 0.0, 0.0);
        geometry.AddVertex(at(inner[k], zBack), 0.0, 0.0);
        geometry.AddVertex(at(inner[k], zFront), 0.0, 0.0);
        AddQuad(geometry, o, o + 1, o + 2, o + 3, away);
    }
}

void AddExtrudedConvex(MeshGeometry& geometry, const QuadFrame& frame, const std::vector<Point2>& outline,
                       double depth)
{
    const Vec3 right = RightOf(frame);
    const size_t count = outline.size();
    Point2 middle;
    for (const Point2& p : outline)
    {
        middle.x += p.x / count;
        middle.y += p.y / count;
    }
    auto at = [&](const Point2& p, double offset)
    { return frame.centre + right * p.x + frame.up * p.y + frame.normal * offset; };

    for (const double offset : {0.5 * depth, -0.5 * depth})
    {
        const Vec3 outward = frame.normal * offset;
        const uint32_t first = static_cast<uint32_t>(geometry.vertices.size());
        for (const Point2& p : outline)
            geometry.AddVertex(at(p, offset), 0.0, 0.0);
        for (size_t k = 1; k + 1 < count; ++k)
            geometry.AddTriangle(first, first + static_cast<uint32_t>(k),
                                 first + static_cast<uint32_t>(k + 1), outward);
    }
    for (size_t k = 0; k < count; ++k)
    {
        const Point2& p = outline[k];
        const Point2& q = outline[(k + 1) % count];
        const Vec3 away =
            at({0.5 * (p.x + q.x) - middle.x, 0.5 * (p.y + q.y) - middle.y}, 0.0) - frame.centre;
        const uint32_t a = geometry.AddVertex(at(p, 0.5 * depth), 0.0, 0.0);
        geometry.AddVertex(at(p, -0.5 * depth), 0.0, 0.0);
        geometry.AddVertex(at(q, -0.5 * depth), 0.0, 0.0);
        geometry.AddVertex(at(q, 0.5 * depth), 0.0, 0.0);
        AddQuad(geometry, a, a + 1, a + 2, a + 3, away);
    }
}

void ProjectTexture(MeshGeometry& geometry, std::size_t firstVertex, const QuadFrame& frame)
{
    const Vec3 right = RightOf(frame);
    for (std::size_t i = firstVertex; i < geometry.vertices.size(); ++i)
    {
        Vertex& vertex = geometry.vertices[i];
        const Vec3 offset = vertex.position - frame.centre;
        vertex.u = 0.5 + Dot(offset, right) / frame.width;
        vertex.v = 0.5 - Dot(offset, frame.up) / frame.height;
    }
}
} // namespace meshgen
