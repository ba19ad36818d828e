#include "engine/phy/BoxPairMemo.h"

#include <algorithm>

namespace dorvo
{
namespace phy
{
namespace
{
constexpr std::size_t kFirstSlots = 256;
} // namespace

void BoxPairMemo::Clear()
{
    m_entries.clear();
    m_overlaps.clear();
    std::fill(m_slots.begin(), m_slots.end(), 0u);
}

std::size_t BoxPairMemo::Slot(const OBBHull* first, const OBBHull* second, std::size_t mask)
{
    const auto a = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(first));
    const auto b = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(second));
    std::uint64_t h = (a >> 4) * 0x9e3779b97f4a7c15ull ^ (b >> 4) * 0xc2b2ae3d27d4eb4full;
    h ^= h >> 29;
    return static_cast<std::size_t>(h) & mask;
}

const BoxPairMemo::Entry* BoxPairMemo::Find(const OBBHull* first, const OBBHull* second) const
{
    if (m_slots.empty())
        return nullptr;
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t slot = Slot(first, second, mask);; slot = (slot + 1) & mask)
    {
        const std::uint32_t index = m_slots[slot];
        if (index == 0)
            return nullptr;
        const Entry& entry = m_entries[index - 1];
        if (entry.first == first && entry.second == second)
            return &entry;
    }
}

BoxPairMemo::Entry& BoxPairMemo::Add(const OBBHull* first, const OBBHull* second)
{
    // At most half full, so that a search always meets an empty slot.
    if (2 * (m_entries.size() + 1) > m_slots.size())
        Grow();
    m_entries.emplace_back();
    Entry& entry = m_entries.back();
    entry.first = first;
    entry.second = second;
    const std::size_t mask = m_slots.size() - 1;
    std::size_t slot = Slot(first, second, mask);
    while (m_slots[slot] != 0)
        slot = (slot + 1) & mask;
    m_slots[slot] = static_cast<std::uint32_t>(m_entries.size());
    return entry;
}

BoxPairMemo::Overlap& BoxPairMemo::AddOverlap(Entry& entry)
{
    m_overlaps.emplace_back();
    entry.overlap = static_cast<std::uint32_t>(m_overlaps.size());
    return m_overlaps.back();
}

void BoxPairMemo::Grow()
{
    m_slots.assign(std::max(kFirstSlots, 2 * m_slots.size()), 0u);
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = 0; i < m_entries.size(); ++i)
    {
        std::size_t slot = Slot(m_entries[i].first, m_entries[i].second, mask);
        while (m_slots[slot] != 0)
            slot = (slot + 1) & mask;
        m_slots[slot] = static_cast<std::uint32_t>(i + 1);
    }
}
} // namespace phy
} // namespace dorvo
