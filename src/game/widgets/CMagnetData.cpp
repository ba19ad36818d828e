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
    {
        // Across the face only: the flat disc keeps its depth just behind the magnet, where a
        // depth scaled with it would put a strong field behind the room's wall.
        const float diameter = strength * kFieldDiameterPerStrength;
        field->SetScale(math::Vector3(diameter, diameter, 1.0f), true);
    }
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
