#include "game/CWaterControl.h"

#include "common/XmlUtil.h"
#include "game/CQUORB.h"

#include <tinyxml.h>

namespace QUORB
{
IObjective* CWaterControl::Clone() const
{
    return new CWaterControl(*this);
}

void CWaterControl::ApplyToGob() {}

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
    XmlReadFloat(child, &m_beginWaterLevel);
    XmlReadFloat(child = XmlNextSiblingElement(child), &m_endWaterLevel);
    XmlReadFloat(XmlNextSiblingElement(child), &m_timeInterval);
}
} // namespace QUORB
