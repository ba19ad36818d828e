#include "game/objectives/IObjective.h"

#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "game/app/CQUORB.h"
#include "game/manipulator/PlayArea.h"
#include "game/objectives/CCauseDestruction.h"
#include "game/objectives/CGetToLocation.h"
#include "game/objectives/CSquashQuorbi.h"
#include "game/objectives/CTarget.h"
#include "game/objectives/CTimeLimit.h"
#include "game/objectives/CWaterControl.h"
#include "game/objectives/ObjectiveComp.h"
#include "game/room/CPuzzle.h"

#include <tinyxml.h>

namespace QUORB
{
IObjective* IObjective::Create(std::uint32_t typeFlag)
{
    switch (typeFlag)
    {
    case CGetToLocation::kType:
        return new CGetToLocation();
    case CCauseDestruction::kType:
        return new CCauseDestruction();
    case CSquashQuorbi::kType:
        return new CSquashQuorbi();
    case CTimeLimit::kType:
        return new CTimeLimit();
    case CWaterControl::kType:
        return new CWaterControl();
    case CTarget::kType:
        return new CTarget();
    default:
        return nullptr;
    }
}

IObjective::~IObjective() = default;

bool IObjective::CheckQuorbs() const
{
    return false;
}

bool IObjective::Serialize(TiXmlNode* parent)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    TiXmlElement element(GetElementName());
    WriteValues(element);
    return parent->InsertEndChild(element) != nullptr;
}

bool IObjective::Deserialize(const TiXmlNode* node)
{
    const TiXmlElement* element = node != nullptr ? node->ToElement() : nullptr;
    if (element == nullptr)
        return false;
    ReadValues(*element);
    return true;
}

void IObjective::WriteValues(TiXmlElement&) const {}

void IObjective::ReadValues(const TiXmlElement&) {}

Gob* IObjective::GetOwnerGob() const
{
    return m_pOwner != nullptr ? m_pOwner->GetOwner() : nullptr;
}

std::vector<Gob*> IObjective::GetQuorbGobs()
{
    std::vector<Gob*> quorbs;
    CQUORB* game = CQUORB::Get();
    const CPuzzle* puzzle = game != nullptr ? game->GetFocusedPuzzle() : nullptr;
    if (puzzle == nullptr)
        return quorbs;
    for (std::uint32_t id : puzzle->GetQuorbIDs())
        if (Gob* gob = GobManager::Instance().GetGob(id))
            if (GetPOVComp(gob) != nullptr)
                quorbs.push_back(gob);
    return quorbs;
}

bool IObjective::GetSphere(const Gob* gob, math::Sphere& sphere)
{
    const POVComp* pov = gob != nullptr ? GetPOVComp(gob) : nullptr;
    if (pov == nullptr)
        return false;
    sphere = math::Sphere(pov->GetPosition(), pov->GetScale().x * 0.5f);
    return true;
}

bool IObjective::AnyQuorbOutsidePlayArea()
{
    const std::vector<Gob*> quorbs = GetQuorbGobs();
    if (quorbs.empty())
        return true;
    for (const Gob* quorb : quorbs)
        if (!IsInsidePlayArea(GetPOVComp(quorb)->GetPosition()))
            return true;
    return false;
}
} // namespace QUORB
