#include "engine/gfx/sprites/IScreenUnit.h"

#include "common/Assert.h"

namespace dorvo
{
namespace gfx
{
IScreenUnit::~IScreenUnit() = default;

bool IScreenUnit::Save(TiXmlNode*)
{
    return false;
}

bool IScreenUnit::Load(const TiXmlNode*)
{
    return false;
}

void IScreenUnit::OnLostDevice() {}

void IScreenUnit::OnResetDevice() {}

void IScreenUnit::Update(int ms)
{
    for (auto& child : m_children)
        child.second->Update(ms);
}

bool IScreenUnit::DepthLess(const IScreenUnit& other) const
{
    return GetDepth() < other.GetDepth();
}

bool IScreenUnit::HandleInput(const input::InputEvent* event, float dt)
{
    for (auto& child : m_children)
        if (child.second->HandleInput(event, dt))
            return true;
    return false;
}

void IScreenUnit::SetParent(IScreenUnit* parent)
{
    m_pParent = parent;
}

bool IScreenUnit::AddChild(const std::string& name, IScreenUnit* unit)
{
    if (!unit || m_children.count(name) != 0)
        return false;
    bool ancestor = false;
    for (const IScreenUnit* up = this; up && !ancestor; up = up->m_pParent)
        ancestor = up == unit;
    // Each unit has one owner: a unit in another tree, or one above this one, would be deleted
    // twice (or own itself).
    if (!DORVO_ASSERT(!ancestor && !unit->m_pParent,
                      "IScreenUnit::AddChild - the unit already has a parent or is this unit's ancestor."))
        return false;
    m_children.emplace(name, std::unique_ptr<IScreenUnit>(unit));
    unit->SetParent(this);
    unit->SetOwner(m_pOwner);
    return true;
}

IScreenUnit* IScreenUnit::FindChild(const std::string& name) const
{
    auto found = m_children.find(name);
    if (found != m_children.end())
        return found->second.get();
    for (const auto& child : m_children)
        if (IScreenUnit* deeper = child.second->FindChild(name))
            return deeper;
    return nullptr;
}
} // namespace gfx
} // namespace dorvo
