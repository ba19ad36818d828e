#include "game/widgets/CGravitySwitchData.h"

#include "common/XmlUtil.h"
#include "engine/phy/FiniteXml.h"

namespace QUORB
{
CGravitySwitchData::CGravitySwitchData(WidgetDataComp* owner)
    : IWidgetData(owner), direction(0.0f, -1.0f, 0.0f)
{
}

CGravitySwitchData* CGravitySwitchData::Clone() const
{
    return new CGravitySwitchData(*this);
}

void CGravitySwitchData::ApplyToGob() {}

bool CGravitySwitchData::WriteOwnFields(TiXmlNode* element) const
{
    return XmlWriteVector3(element, direction, "Direction");
}

void CGravitySwitchData::ReadOwnFields(const TiXmlNode* first)
{
    if (first != nullptr)
        dorvo::phy::XmlReadFiniteVector3(first, &direction, GetTypeName(), "Direction");
}
} // namespace QUORB
