// Shape builders that append to a MeshGeometry: flat quads and grids, boxes, cylinders, spheres,
// discs, tori and extruded outlines. Every builder winds its triangles clockwise seen from the
// outside of the shape (Direct3D's front faces in our left-handed, y-up world) and gives each
// flat side its own vertices, so that normals computed from the triangles stay sharp at edges.
#pragma once

#include "MeshModel.h"

#include <cstddef>
#include <vector>

namespace meshgen
{
// A rectangle seen from its front: centre, the normal pointing at the viewer, the direction
// that is up on screen, and its size along right and up. Right is derived: Cross(up, -normal).
struct QuadFrame
{
    Vec3 centre;
    Vec3 normal;
    Vec3 up;
    double width = 1.0;
    double height = 1.0;
};

Vec3 RightOf(const QuadFrame& frame);

// A grid of columns x rows cells over the quad; texture coordinates run from (u0, v0) at the
// top left to (u1, v1) at the bottom right, so tiling is a range past 1.
void AddQuadGrid(MeshGeometry& geometry, const QuadFrame& frame, int columns, int rows, double u0, double v0,
                 double u1, double v1);

// An axis-aligned box; each side carries the whole texture, upright seen from outside (the top
// and bottom as seen from above and below with +z up).
void AddBox(MeshGeometry& geometry, const Vec3& centre, const Vec3& size);

enum class Axis
{
    X,
    Y,
    Z,
};

// A capped cylinder centred at the origin along an axis. The side's u runs once around, its v
// from 0 at the positive end to 1 at the other; the caps are mapped flat.
void AddCylinder(MeshGeometry& geometry, Axis axis, double radius, double length, int sides);

// A sphere centred at the origin: u once around (0.5 facing +x, the seam at -x), v from 0 at the
// top pole to 1 at the bottom one. stacks counts the bands from pole to pole.
void AddSphere(MeshGeometry& geometry, double radius, int slices, int stacks);

// A flat round disc facing along normal.
void AddDisc(MeshGeometry& geometry, const Vec3& centre, const Vec3& normal, const Vec3& up, double radius,
             int sides);

// A ring tube around the axis through centre: majorRadius to the middle of the tube,
// minorRadius the tube's own. up gives the ring's start direction.
void AddTorus(MeshGeometry& geometry, const Vec3& centre, const Vec3& axis, const Vec3& up,
              double majorRadius, double minorRadius, int rings, int sides);

struct Point2
{
    double x = 0.0;
    double y = 0.0;
};

// A band between two open curves in the xy plane (outer[k] faces inner[k]), extruded from
// z = zFront (its face toward -z) to zBack > zFront, closed at both ends of the curves.
void AddExtrudedBand(MeshGeometry& geometry, const std::vector<Point2>& outer,
                     const std::vector<Point2>& inner, double zFront, double zBack);

// A convex outline (x along the frame's right, y along its up, counter-clockwise or clockwise)
// extruded through the frame's plane by depth, its front face toward the frame's normal.
void AddExtrudedConvex(MeshGeometry& geometry, const QuadFrame& frame, const std::vector<Point2>& outline,
                       double depth);

// Replaces the texture coordinates of the vertices from firstVertex on by a flat projection
// seen from the front of frame: the frame's rectangle covers the texture exactly once.
void ProjectTexture(MeshGeometry& geometry, std::size_t firstVertex, const QuadFrame& frame);
} // namespace meshgen
