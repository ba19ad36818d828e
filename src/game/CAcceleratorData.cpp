#include "game/CAcceleratorData.h"

#include "common/XmlUtil.h"
#include "engine/gfx/CGfxUnit.h"
#include "engine/gfx/GfxModelComp.h"
#include "engine/phy/FiniteXml.h"
#include "game/CQUORB.h"

namespace QUORB
{
namespace
{
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
    if (dorvo::gfx::CGfxUnit* unit = model != nullptr ? model->GetUnit() : nullptr)
        unit->SetUVAnimDir(speed * m_directionSign * FaceFactor(), 0.0f);
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
