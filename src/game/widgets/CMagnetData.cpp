#include "game/widgets/CMagnetData.h"

#include "common/XmlUtil.h"
#include "engine/POVComp.h"
#include "engine/phy/FiniteXml.h"

namespace QUORB
{
CMagnetData::CMagnetData(WidgetDataComp* owner) : IWidgetData(owner) {}

CMagnetData* CMagnetData::Clone() const
{
    return new CMagnetData(*this);
}

void CMagnetData::ApplyToGob()
{
    RefreshMagnetism();
}

void CMagnetData::UpdateFieldScale()
{
    if (POVComp* field = GetPOVComp(GetLinkedGob()))
        field->SetScale(math::Vector3(strength, strength, strength), true);
}

bool CMagnetData::WriteOwnFields(TiXmlNode* element) const
{
    return XmlWriteFloat(element, strength, "Strength");
}

void CMagnetData::ReadOwnFields(const TiXmlNode* first)
{
    if (first != nullptr)
        dorvo::phy::XmlReadFiniteFloat(first, &strength, GetTypeName(), "Strength");
}
} // namespace QUORB
