#include "engine/phy/BroadPhaseGrid.h"

#include "engine/phy/PairResult.h"

#include <algorithm>
#include <cmath>

namespace dorvo
{
namespace phy
{
namespace
{
constexpr float kReachSlack = 0.01f;
// Spheres this many times the median radius or larger are met by every query instead of
// widening every query to their size.
constexpr float kLargeFactor = 4.0f;
// At most this many cells a sphere (plus a few): the cells grow where the spheres spread wide.
constexpr double kCellsPerSphere = 4.0;
constexpr double kFewCells = 64.0;
// The range a query covers is widened by this much beyond the reach rule's own bound, far more
// than the rounding of the coordinates, so that no sphere in reach falls outside it.
constexpr double kRangeSlack = 1e-3;

float Factor(bool exactA, bool exactB)
{
    return exactA || exactB ? 1.01f : 3.01f;
}
} // namespace

bool SpheresOutOfReach(const float* centreA, float radiusA, bool exactA, const float* centreB, float radiusB,
                       bool exactB)
{
    const float reach = radiusA + radiusB + kCollisionMargin + kReachSlack;
    const float factor = Factor(exactA, exactB);
    const float dx = centreA[0] - centreB[0];
    const float dy = centreA[1] - centreB[1];
    const float dz = centreA[2] - centreB[2];
    // Summed in double and rounded once, as math::Vector3::LengthSquared does.
    const float squared = static_cast<float>(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy +
                                             static_cast<double>(dz) * dz);
    return squared > factor * reach * reach;
}

void BroadPhaseGrid::Build(const std::vector<Sphere>& spheres)
{
    m_exactSpheres.clear();
    m_inexactSpheres.clear();
    for (const Sphere& sphere : spheres)
        (sphere.exact ? m_exactSpheres : m_inexactSpheres).push_back(sphere);
    m_exact.exact = true;
    m_exact.Build(m_exactSpheres);
    m_inexact.exact = false;
    m_inexact.Build(m_inexactSpheres);
}

void BroadPhaseGrid::Clear()
{
    m_exactSpheres.clear();
    m_inexactSpheres.clear();
    m_exact.Build(m_exactSpheres);
    m_inexact.Build(m_inexactSpheres);
}

void BroadPhaseGrid::Gather(const float* centre, float radius, bool exact,
                            std::vector<std::uint32_t>& out) const
{
    m_exact.Gather(centre, radius, exact, out);
    m_inexact.Gather(centre, radius, exact, out);
}

void BroadPhaseGrid::Cells::Build(std::vector<Sphere>& input)
{
    spheres.clear();
    large.clear();
    first.clear();
    largest = 0.0f;
    count[0] = count[1] = count[2] = 0;
    if (input.empty())
        return;

    // The large ones apart, and any sphere that is not a number anywhere, which no cell can hold
    // (the reach rule lets it through to every body); the rest decide the cell size.
    radii.clear();
    for (const Sphere& sphere : input)
        radii.push_back(sphere.radius);
    std::nth_element(radii.begin(), radii.begin() + static_cast<std::ptrdiff_t>(radii.size() / 2),
                     radii.end());
    const float limit = std::max(radii[radii.size() / 2] * kLargeFactor, 1e-3f);
    auto inCells = [limit](const Sphere& sphere)
    {
        return std::isfinite(sphere.centre[0]) && std::isfinite(sphere.centre[1]) &&
               std::isfinite(sphere.centre[2]) && sphere.radius <= limit;
    };
    float low[3] = {0.0f, 0.0f, 0.0f};
    float high[3] = {0.0f, 0.0f, 0.0f};
    std::size_t filed = 0;
    for (const Sphere& sphere : input)
    {
        if (!inCells(sphere))
        {
            large.push_back(sphere);
            continue;
        }
        largest = std::max(largest, sphere.radius);
        for (int i = 0; i < 3; ++i)
        {
            low[i] = filed > 0 ? std::min(low[i], sphere.centre[i]) : sphere.centre[i];
            high[i] = filed > 0 ? std::max(high[i], sphere.centre[i]) : sphere.centre[i];
        }
        ++filed;
    }
    if (filed == 0)
        return;

    // Cells about a diameter wide, larger where that would make too many of them.
    const double most = std::max(kFewCells, kCellsPerSphere * static_cast<double>(filed));
    double size = std::max(2.0 * largest + kCollisionMargin, 0.25);
    double cells[3];
    for (;;)
    {
        double total = 1.0;
        for (int i = 0; i < 3; ++i)
        {
            cells[i] = std::floor((static_cast<double>(high[i]) - low[i]) / size) + 1.0;
            total *= cells[i];
        }
        if (total <= most)
            break;
        size *= std::max(1.1, std::cbrt(total / most));
    }
    inverseSize = static_cast<float>(1.0 / size);
    for (int i = 0; i < 3; ++i)
    {
        origin[i] = low[i];
        count[i] = static_cast<int>(cells[i]);
    }

    // Counting sort by cell; a query computes its range of cells the same way.
    const std::size_t total = static_cast<std::size_t>(count[0]) * count[1] * count[2];
    first.assign(total + 1, 0);
    placing.clear();
    for (const Sphere& sphere : input)
    {
        if (!inCells(sphere))
        {
            placing.push_back(0);
            continue;
        }
        int index[3];
        for (int i = 0; i < 3; ++i)
            index[i] = std::min(count[i] - 1,
                                static_cast<int>(std::floor((sphere.centre[i] - origin[i]) * inverseSize)));
        const std::uint32_t cell =
            static_cast<std::uint32_t>((index[2] * count[1] + index[1]) * count[0] + index[0]);
        placing.push_back(cell);
        ++first[cell + 1];
    }
    for (std::size_t cell = 0; cell < total; ++cell)
        first[cell + 1] += first[cell];
    spheres.resize(filed);
    // The next free place of each cell, then each sphere to its place.
    next.assign(first.begin(), first.end() - 1);
    for (std::size_t k = 0; k < input.size(); ++k)
        if (inCells(input[k]))
            spheres[next[placing[k]]++] = input[k];
}

void BroadPhaseGrid::Cells::Gather(const float* centre, float radius, bool exactA,
                                   std::vector<std::uint32_t>& out) const
{
    for (const Sphere& sphere : large)
        if (!SpheresOutOfReach(centre, radius, exactA, sphere.centre, sphere.radius, sphere.exact))
            out.push_back(sphere.id);
    if (spheres.empty())
        return;

    // No sphere of these cells lies further than this along any axis and within reach.
    const float reach = radius + largest + kCollisionMargin + kReachSlack;
    const double range =
        std::sqrt(static_cast<double>(Factor(exactA, exact))) * reach * (1.0 + 1e-4) + kRangeSlack;
    int low[3];
    int high[3];
    for (int i = 0; i < 3; ++i)
    {
        const float from = static_cast<float>(centre[i] - range);
        const float to = static_cast<float>(centre[i] + range);
        const double lowCell = std::floor((from - origin[i]) * inverseSize);
        const double highCell = std::floor((to - origin[i]) * inverseSize);
        if (!(highCell >= 0.0) || !(lowCell <= count[i] - 1))
            return;
        low[i] = static_cast<int>(std::max(0.0, lowCell));
        high[i] = static_cast<int>(std::min(static_cast<double>(count[i] - 1), highCell));
    }
    for (int z = low[2]; z <= high[2]; ++z)
        for (int y = low[1]; y <= high[1]; ++y)
        {
            const std::size_t row = static_cast<std::size_t>((z * count[1] + y) * count[0]);
            const std::uint32_t end = first[row + static_cast<std::size_t>(high[0]) + 1];
            for (std::uint32_t k = first[row + static_cast<std::size_t>(low[0])]; k < end; ++k)
            {
                const Sphere& sphere = spheres[k];
                if (!SpheresOutOfReach(centre, radius, exactA, sphere.centre, sphere.radius, sphere.exact))
                    out.push_back(sphere.id);
            }
        }
}
} // namespace phy
} // namespace dorvo
