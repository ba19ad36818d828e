// The candidates of one detection pass without walking the oct tree: every hull's bounding sphere,
// taken once when the pass begins, filed by its centre in a uniform grid (one for the spheres that
// are their shape, one for those that only hold it), so that a body meets only the spheres near
// enough for the reach rule below to let them through, and never the whole column of the tree
// above it. Spheres much larger than the rest stand in a list that every body meets. The grid
// holds copies of the spheres, no pointers; the collision detector builds it at the start of a
// pass and drops it at the end, and applies the oct tree's own relation to what it gathers.
#pragma once

#include <cstdint>
#include <vector>

namespace dorvo
{
namespace phy
{
// Whether a shape held by the sphere B lies beyond the reach of every pair test with a shape held
// by the sphere A. Spheres and sphere-box pairs touch only within the margin of their bounding
// spheres; two boxes are separated by a face axis once their centres lie more than sqrt(3) times
// the sum of their radii and the margin apart (see the box-box test). The slack lies far beyond
// float rounding, so a neighbour passed over here is one the test would refuse.
bool SpheresOutOfReach(const float* centreA, float radiusA, bool exactA, const float* centreB, float radiusB,
                       bool exactB);

class BroadPhaseGrid
{
public:
    // One hull's bounding sphere as the pass took it.
    struct Sphere
    {
        std::uint32_t id = 0; // the object's id
        float centre[3] = {0.0f, 0.0f, 0.0f};
        float radius = 0.0f;
        bool exact = false; // the shape is the sphere
    };

    // Files the spheres (any order; an id once), replacing what was filed.
    void Build(const std::vector<Sphere>& spheres);
    // Empties the grid; Gather then finds nothing.
    void Clear();

    // Appends the id of every filed sphere within reach of the sphere A (SpheresOutOfReach false),
    // each once, in no particular order. A's centre and radius must be finite numbers.
    void Gather(const float* centre, float radius, bool exact, std::vector<std::uint32_t>& out) const;

private:
    // Spheres of one kind (exact or not) by the cell of their centre.
    struct Cells
    {
        void Build(std::vector<Sphere>& spheres);
        void Gather(const float* centre, float radius, bool exact, std::vector<std::uint32_t>& out) const;

        bool exact = false;
        float largest = 0.0f; // the largest radius filed in the cells
        float origin[3] = {0.0f, 0.0f, 0.0f};
        float inverseSize = 1.0f; // cells per world unit
        int count[3] = {0, 0, 0};
        std::vector<std::uint32_t> first; // per cell, the index of its first sphere; one more at the end
        std::vector<Sphere> spheres;      // sorted by cell
        std::vector<Sphere> large;        // met by every query
        // Building: the radii, each sphere's cell, each cell's next free place.
        std::vector<float> radii;
        std::vector<std::uint32_t> placing;
        std::vector<std::uint32_t> next;
    };

    Cells m_exact;
    Cells m_inexact;
    // Kept between passes so that building reuses their storage.
    std::vector<Sphere> m_exactSpheres;
    std::vector<Sphere> m_inexactSpheres;
};
} // namespace phy
} // namespace dorvo
