#include "engine/gfx/sprites/Gfx2DComp.h"

#include "common/Assert.h"
#include "common/loki/Functor.h"
#include "engine/Gob.h"
#include "engine/GobController.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/gui/CheckButton.h"
#include "engine/gfx/sprites/CTextSprite.h"

#include <tinyxml.h>

#include <algorithm>
#include <climits>

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

// dt * 1000 toward zero, a value past the int range (or NaN) kept out of the cast.
int WholeMilliseconds(float dt)
{
    const double ms = static_cast<double>(dt) * 1000.0;
    if (!(ms > static_cast<double>(INT_MIN)))
        return ms != ms ? 0 : INT_MIN;
    if (!(ms < static_cast<double>(INT_MAX)))
        return INT_MAX;
    return static_cast<int>(ms);
}
} // namespace

Gfx2DComp::Gfx2DComp() = default;

Gfx2DComp::~Gfx2DComp()
{
    // At exit the facade may be gone before the last objects are.
    if (m_registered)
        if (CDorvoGfx* gfx = CDorvoGfx::IfAlive())
            gfx->Unregister2DComp(this, m_registeredId);
}

bool Gfx2DComp::Serialize(TiXmlNode* parent)
{
    if (!parent || !parent->ToElement())
        return false;
    TiXmlElement element("Component");
    element.SetAttribute("name", kTypeName);
    return parent->InsertEndChild(element) != nullptr;
}

bool Gfx2DComp::Deserialize(const TiXmlNode* node)
{
    return node && node->ToElement();
}

bool Gfx2DComp::Initialize(Gob* owner)
{
    Component::Initialize(owner);
    m_depth = 0;
    if (m_pOwner && !m_registered)
    {
        m_registeredId = m_pOwner->GetID();
        m_registered = true;
        CDorvoGfx::Instance().Register2DComp(this, m_registeredId);
    }
    return true;
}

void Gfx2DComp::Update(float dt)
{
    const int ms = WholeMilliseconds(dt);
    for (auto& entry : m_units)
        entry.second->Update(ms);
}

bool Gfx2DComp::HandleInput(const input::InputEvent* event, float dt)
{
    for (auto& entry : m_units)
        if (entry.second->HandleInput(event, dt))
            return true;
    return false;
}

void Gfx2DComp::RegisterFunctions(GobController* controller)
{
    if (!controller)
        return;
    controller->RegisterComponentFunction(
        "GetCompDepth", Loki::NewObjFunctor(&Gfx2DComp::GetCompDepth).release(), StaticTypeID());
    controller->RegisterComponentFunction(
        "SetCompDepth", Loki::NewObjFunctor(&Gfx2DComp::SetCompDepth).release(), StaticTypeID());
}

bool Gfx2DComp::DepthLess(const Gfx2DComp* a, const Gfx2DComp* b)
{
    return a->GetCompDepth() < b->GetCompDepth();
}

bool Gfx2DComp::AddUnit(const std::string& name, IScreenUnit* unit, const std::string& parentName)
{
    if (!unit)
        return false;
    if (parentName.empty())
    {
        if (m_units.count(name) != 0)
            return false;
        unit->SetParent(nullptr);
        unit->SetOwner(this);
        unit->SetName(name);
        m_units.emplace(name, unit);
        return true;
    }
    IScreenUnit* parent = FindUnit(parentName);
    if (!parent)
        return false;
    unit->SetOwner(this);
    if (!parent->AddChild(name, unit))
        return false;
    unit->SetName(name);
    return true;
}

bool Gfx2DComp::AddUnit(IScreenUnit* unit, const std::string& parentName)
{
    return unit && AddUnit(std::string(unit->GetName()), unit, parentName);
}

bool Gfx2DComp::RemoveUnit(const std::string& name)
{
    return m_units.erase(name) != 0;
}

IScreenUnit* Gfx2DComp::FindUnit(const std::string& name) const
{
    auto found = m_units.find(name);
    if (found != m_units.end())
        return found->second;
    for (const auto& entry : m_units)
        if (IScreenUnit* deeper = entry.second->FindChild(name))
            return deeper;
    return nullptr;
}

CSprite* Gfx2DComp::GetSprite(const std::string& name) const
{
    return dynamic_cast<CSprite*>(FindUnit(name));
}

CButton* Gfx2DComp::GetButton(const std::string& name) const
{
    return dynamic_cast<CButton*>(FindUnit(name));
}

void Gfx2DComp::AddToGroup(const std::string& groupName, CheckButton* button)
{
    if (!button)
        return;
    RadioGroup& group = m_radioGroups[groupName];
    if (std::find(group.begin(), group.end(), button) == group.end())
        group.push_back(button);
}

void Gfx2DComp::AddToGroup(IScreenUnit* unit, const std::string& groupName)
{
    auto* button = dynamic_cast<CheckButton*>(unit);
    if (!DORVO_ASSERT(button, "Gfx2DComp::AddToGroup - only check buttons join a radio group."))
        return;
    AddToGroup(groupName, button);
}

void Gfx2DComp::UncheckOthersInGroup(const std::string& unitName, bool)
{
    for (auto& entry : m_radioGroups)
    {
        RadioGroup& group = entry.second;
        const bool member =
            std::any_of(group.begin(), group.end(),
                        [&](const CheckButton* button) { return button->GetName() == unitName; });
        if (!member)
            continue;
        // By index: an uncheck callback may add to the group.
        for (std::size_t i = 0; i < group.size(); ++i)
            if (group[i]->GetName() != unitName)
                group[i]->Uncheck();
        return;
    }
}

const Gfx2DComp::RadioGroup* Gfx2DComp::GetRadioGroup(const std::string& groupName) const
{
    auto found = m_radioGroups.find(groupName);
    return found != m_radioGroups.end() ? &found->second : nullptr;
}

CTextSprite* Gfx2DComp::GetTextSprite(const std::string& name) const
{
    return dynamic_cast<CTextSprite*>(FindUnit(name));
}

void Gfx2DComp::CollectUnits(std::vector<IScreenUnit*>& units) const
{
    for (const auto& entry : m_units)
        CollectTree(entry.second, units);
}

void Gfx2DComp::EditScrollList(IScreenUnit* unit, const std::string& listName, std::string unitName)
{
    ScrollList& list = m_scrollLists[listName];
    if (!unit)
        return;
    if (unitName.empty())
    {
        list.push_back(unit);
        return;
    }
    if (list.empty())
        return;
    auto before =
        std::find_if(list.begin(), list.end(),
                     [&](const IScreenUnit* member) { return member && member->GetName() == unitName; });
    list.insert(before, unit);
}

void Gfx2DComp::RemoveFromScrollList(const std::string& listName, const std::string& unitName)
{
    ScrollList& list = m_scrollLists[listName];
    auto found =
        std::find_if(list.begin(), list.end(),
                     [&](const IScreenUnit* member) { return member && member->GetName() == unitName; });
    if (found != list.end())
        list.erase(found);
}

const Gfx2DComp::ScrollList* Gfx2DComp::GetScrollList(const std::string& listName) const
{
    auto found = m_scrollLists.find(listName);
    return found != m_scrollLists.end() ? &found->second : nullptr;
}

Gfx2DComp::ScrollList* Gfx2DComp::GetScrollList(const std::string& listName)
{
    auto found = m_scrollLists.find(listName);
    return found != m_scrollLists.end() ? &found->second : nullptr;
}
} // namespace gfx
} // namespace dorvo
