#include "game/objectives/CWaterControl.h"

#include "common/XmlUtil.h"
#include "engine/Gob.h"
#include "engine/POVComp.h"
#include "engine/phy/FiniteXml.h"
#include "game/app/CQUORB.h"
#include "game/nodes/GobIDComp.h"

#include <tinyxml.h>

namespace QUORB
{
IObjective* CWaterControl::Clone() const
{
    return new CWaterControl(*this);
}

// The marker shows where the water will stand: straight above or below the objective. A water
// objective without a live linked marker (a damaged file, a marker already gone) has nothing to
// show it with and is left as it is.
void CWaterControl::ApplyToGob()
{
    Gob* gob = GetOwnerGob();
    const GobIDComp* link = GobIDComp::Of(gob);
    Gob* marker = link != nullptr ? link->GetLinkedGob() : nullptr;
    POVComp* markerPov = marker != nullptr ? GetPOVComp(marker) : nullptr;
    const POVComp* pov = gob != nullptr ? GetPOVComp(gob) : nullptr;
    if (markerPov == nullptr || pov == nullptr)
        return;
    const math::Vector3 position = pov->GetPosition();
    markerPov->SetPosition(math::Vector3(position.x, m_endWaterLevel, position.z), true);
}

void CWaterControl::Begin()
{
    if (CQUORB* game = CQUORB::Get())
        game->LerpWaterLevel(m_endWaterLevel, m_timeInterval);
}

void CWaterControl::WriteValues(TiXmlElement& element) const
{
    XmlWriteFloat(&element, m_beginWaterLevel, "BeginWaterLevel");
    XmlWriteFloat(&element, m_endWaterLevel, "EndWaterLevel");
    XmlWriteFloat(&element, m_timeInterval, "TimeInterval");
}

void CWaterControl::ReadValues(const TiXmlElement& element)
{
    const TiXmlNode* child = XmlFirstChildElement(&element);
    using dorvo::phy::XmlReadFiniteFloat;
    XmlReadFiniteFloat(child, &m_beginWaterLevel, GetElementName(), "BeginWaterLevel");
    XmlReadFiniteFloat(child = XmlNextSiblingElement(child), &m_endWaterLevel, GetElementName(),
                       "EndWaterLevel");
    XmlReadFiniteFloat(XmlNextSiblingElement(child), &m_timeInterval, GetElementName(), "TimeInterval");
}
} // namespace QUORB
