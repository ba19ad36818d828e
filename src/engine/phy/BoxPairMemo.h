// What the box-box test of a pair leaves, within one detection pass, for the test of the same
// pair in the other order: a detection pass meets every pair of two awake boxes from both sides,
// and most of what the second test computes the first has computed already. Kept are whether a
// face axis separated the boxes (a face axis separates them in either order: the same six axes,
// the same projections, a symmetric test), the projections of both boxes on the fifteen axes
// (the second order's edge axes are the first's negated, their projections the first's mirrored),
// and the points where each box's edges cross the other box, which the clipping merges in the
// order each test takes them. Each entry holds a copy of both boxes and answers only while the
// boxes are bitwise the same, so a result drawn from it is the result of the test itself. The
// collision detector owns the memo and empties it at the start of every pass.
#pragma once

#include "engine/phy/Float3.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace dorvo
{
namespace phy
{
class OBBHull;

class BoxPairMemo
{
public:
    // A box as the test reads it: its axes (the orientation's rows), half extents and centre.
    struct Box
    {
        Float3 axis[3];
        float e[3];
        Float3 centre;
    };

    static constexpr int kAxes = 15;

    // The projections of both boxes ([0] the first, [1] the second) on the first order's axes,
    // with the centre's projection each was formed from.
    struct Projections
    {
        float min[2][kAxes];
        float max[2][kAxes];
        float centre[2][kAxes];
    };

    // The points where the edges of one box, in the other's frame, cross the other's faces, back
    // in the world, before any merging, edge by edge (at most 2 an edge), for the edges a test
    // has clipped: [0] the second box's edges against the first (the first order's first
    // clipping pass), [1] the first box's against the second.
    struct Crossings
    {
        Float3 point[12][2];
        unsigned char count[12];
        int edges = 0; // the first `edges` edges are here
    };

    // What a pair that no axis separated leaves: the projections, and the crossings the test
    // clipped.
    struct Overlap
    {
        Projections projections;
        Crossings crossings[2];
    };

    struct Entry
    {
        const OBBHull* first = nullptr; // the order in which the pair was tested
        const OBBHull* second = nullptr;
        Box firstBox;
        Box secondBox;
        bool faceSeparated = false; // nothing else is kept then
        std::uint32_t overlap = 0;  // otherwise its Overlap's index + 1; 0 for none
    };

    // Forgets every entry.
    void Clear();
    // The entry of the pair tested as (first, second), or null.
    const Entry* Find(const OBBHull* first, const OBBHull* second) const;
    // A new entry for (first, second); valid until the next Add or Clear.
    Entry& Add(const OBBHull* first, const OBBHull* second);
    // A new overlap for the entry; valid until the next AddOverlap or Clear.
    Overlap& AddOverlap(Entry& entry);
    const Overlap* GetOverlap(const Entry& entry) const
    {
        return entry.overlap != 0 ? &m_overlaps[entry.overlap - 1] : nullptr;
    }

private:
    static std::size_t Slot(const OBBHull* first, const OBBHull* second, std::size_t mask);
    void Grow();

    std::vector<Entry> m_entries;
    std::vector<Overlap> m_overlaps;
    std::vector<std::uint32_t> m_slots; // open addressing: entry index + 1, 0 for empty
};
} // namespace phy
} // namespace dorvo
