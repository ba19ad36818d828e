#include "game/CPuzzle.h"

#include "engine/Gob.h"
#include "engine/GobManager.h"

#include <algorithm>

namespace QUORB
{
namespace
{
void RemoveId(std::vector<std::uint32_t>& ids, std::uint32_t id)
{
    const auto found = std::find(ids.begin(), ids.end(), id);
    if (found != ids.end())
        ids.erase(found);
}
} // namespace

CPuzzle::CPuzzle() : m_loadedSnapshot(std::make_unique<PuzzleSnapshot>()) {}

CPuzzle::~CPuzzle() = default;

void CPuzzle::Update(double, float) {}

void CPuzzle::RemoveWidget(std::uint32_t id)
{
    RemoveId(m_widgetIDs, id);
}

void CPuzzle::RemoveQuorb(std::uint32_t id)
{
    RemoveId(m_quorbIDs, id);
}

void CPuzzle::AddObjective(std::uint32_t id)
{
    if (Gob* gob = GobManager::Instance().GetGob(id))
        m_objectives.push_back(PuzzleObjectiveEntry{gob, true, false});
}

void CPuzzle::RemoveObjective(std::uint32_t id)
{
    m_objectives.erase(std::remove_if(m_objectives.begin(), m_objectives.end(),
                                      [id](const PuzzleObjectiveEntry& entry)
                                      { return entry.gob != nullptr && entry.gob->GetID() == id; }),
                       m_objectives.end());
}
} // namespace QUORB
