#include "game/widgets/CAcceleratorData.h"

#include "common/XmlUtil.h"
#include "engine/gfx/core/CGfxUnit.h"
#include "engine/gfx/mesh/GfxModelComp.h"
#include "engine/phy/FiniteXml.h"
#include "game/app/CQUORB.h"

namespace QUORB
{
namespace
{
// The belts: chevrons pointing along +u, and the same pointing along -u.
const char* const kBelt = "widgets/accelerator/accelerator_diffuse.png";
const char* const kReversedBelt = "widgets/accelerator/accelerator_reversed_diffuse.png";

// The texture runs against u on the front and left faces and with it on the right and back.
float FaceFactor()
{
    const CQUORB* game = CQUORB::Get();
    switch (game != nullptr ? game->GetFocusedFace() : -1)
    {
    case 0:
    case 3:
        return -1.0f;
    case 1:
    case 2:
        return 1.0f;
    default:
        return 0.0f;
    }
}
} // namespace

CAcceleratorData::CAcceleratorData(WidgetDataComp* owner) : IWidgetData(owner) {}

CAcceleratorData* CAcceleratorData::Clone() const
{
    return new CAcceleratorData(*this);
}

void CAcceleratorData::ApplyToGob()
{
    RefreshMagnetism();
    ApplySpeed(m_speedSetting / kSpeedPerScrollUnit);
}

void CAcceleratorData::ApplySpeed(float speed)
{
    dorvo::gfx::GfxModelComp* model = ModelOf(GetOwnerGob());
    dorvo::gfx::CGfxUnit* unit = model != nullptr ? model->GetUnit() : nullptr;
    if (unit == nullptr)
        return;
    const float rate = speed * m_directionSign * FaceFactor();
    unit->SetUVAnimDir(rate, 0.0f);
    // A positive rate moves the picture towards -u (the effect samples at u + rate x time). The
    // box shows u running to the right on some sides of the camera and to the left on others,
    // which the face factor evens out for the motion but not for the chevrons drawn on the
    // belt: they must point the way the belt runs, which is the way it pushes.
    unit->LoadTexture(rate > 0.0f ? kReversedBelt : kBelt, 0);
}

void CAcceleratorData::ReverseDirection()
{
    m_directionSign = -m_directionSign;
    ApplySpeed(m_speedSetting / kSpeedPerScrollUnit);
}

void CAcceleratorData::SetSpeedSetting(float setting)
{
    m_speedSetting = setting;
    ApplySpeed(setting / kSpeedPerScrollUnit);
}

bool CAcceleratorData::WriteOwnFields(TiXmlNode* element) const
{
    return XmlWriteVector3(element, direction, "Direction") &&
           XmlWriteFloat(element, m_speedSetting, "SpeedSetting");
}

void CAcceleratorData::ReadOwnFields(const TiXmlNode* first)
{
    if (first == nullptr)
        return;
    dorvo::phy::XmlReadFiniteVector3(first, &direction, GetTypeName(), "Direction");
    if (const TiXmlNode* speed = XmlNextSiblingElement(first))
        dorvo::phy::XmlReadFiniteFloat(speed, &m_speedSetting, GetTypeName(), "SpeedSetting");
}
} // namespace QUORB
