#include "engine/gfx/gui/CGuiManager.h"

#include "engine/gfx/sprites/IScreenUnit.h"

namespace dorvo
{
namespace gfx
{
namespace
{
void CollectTree(IScreenUnit* unit, std::vector<IScreenUnit*>& units)
{
    units.push_back(unit);
    for (const auto& child : unit->GetChildren())
        CollectTree(child.second.get(), units);
}
} // namespace

CGuiManager::CGuiManager() = default;

CGuiManager::~CGuiManager() = default;

bool CGuiManager::Add(const std::string& name, std::unique_ptr<IScreenUnit> unit)
{
    if (!unit || m_units.count(name) != 0)
        return false;
    unit->SetName(name);
    m_units.emplace(name, std::move(unit));
    return true;
}

IScreenUnit* CGuiManager::Find(const std::string& name) const
{
    auto found = m_units.find(name);
    return found != m_units.end() ? found->second.get() : nullptr;
}

void CGuiManager::QueueRemoval(const std::string& name)
{
    m_removals.push_back(name);
}

void CGuiManager::Update(int ms)
{
    for (auto& entry : m_units)
        entry.second->Update(ms);
    for (const std::string& name : m_removals)
        m_units.erase(name);
    m_removals.clear();
    // The children too: a unit draws only itself, its owner draws its tree.
    m_frameUnits.clear();
    for (auto& entry : m_units)
        CollectTree(entry.second.get(), m_frameUnits);
}

bool CGuiManager::HandleInput(const input::InputEvent* event, float dt)
{
    for (auto& entry : m_units)
        if (entry.second->HandleInput(event, dt))
            return true;
    return false;
}

void CGuiManager::OnLostDevice()
{
    for (auto& entry : m_units)
        entry.second->OnLostDevice();
}

void CGuiManager::OnResetDevice()
{
    for (auto& entry : m_units)
        entry.second->OnResetDevice();
}
} // namespace gfx
} // namespace dorvo
