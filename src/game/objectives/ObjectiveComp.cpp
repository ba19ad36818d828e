#include "game/objectives/ObjectiveComp.h"

#include "game/room/FindComp.h"

#include <tinyxml.h>

namespace QUORB
{
const char* const ObjectiveComp::kTypeName = "ObjectiveComp";

ObjectiveComp::ObjectiveComp() = default;

ObjectiveComp::~ObjectiveComp() = default;

bool ObjectiveComp::Serialize(TiXmlNode* parent)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    TiXmlElement element("Component");
    element.SetAttribute("name", GetTypeName());
    return parent->InsertEndChild(element) != nullptr;
}

bool ObjectiveComp::Deserialize(const TiXmlNode* node)
{
    return node != nullptr && node->ToElement() != nullptr;
}

ObjectiveComp* ObjectiveComp::Of(Gob* gob)
{
    return FindComp<ObjectiveComp>(gob);
}

void ObjectiveComp::SetObjective(std::unique_ptr<IObjective> objective)
{
    m_pObjective = std::move(objective);
    if (m_pObjective)
        m_pObjective->SetOwner(this);
}

void ObjectiveComp::ApplyObjectiveToGob()
{
    if (m_pObjective)
        m_pObjective->ApplyToGob();
}

#define QUORB_OBJECTIVE_DOWNCAST(Class, Name)                                                                \
    Class* ObjectiveComp::Name()                                                                             \
    {                                                                                                        \
        return m_pObjective ? m_pObjective->Name() : nullptr;                                                \
    }                                                                                                        \
    const Class* ObjectiveComp::Name() const                                                                 \
    {                                                                                                        \
        return m_pObjective ? static_cast<const IObjective&>(*m_pObjective).Name() : nullptr;                \
    }

QUORB_OBJECTIVE_DOWNCAST(CGetToLocation, AsGetToLocation)
QUORB_OBJECTIVE_DOWNCAST(CTimeLimit, AsTimeLimit)
QUORB_OBJECTIVE_DOWNCAST(CWaterControl, AsWaterControl)
QUORB_OBJECTIVE_DOWNCAST(CTarget, AsTarget)
QUORB_OBJECTIVE_DOWNCAST(CSquashQuorbi, AsSquashQuorbi)
QUORB_OBJECTIVE_DOWNCAST(CCauseDestruction, AsCauseDestruction)

#undef QUORB_OBJECTIVE_DOWNCAST
} // namespace QUORB
