#include "game/widgets/IWidgetData.h"

#include "common/XmlUtil.h"
#include "common/math/MathUtil.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/gfx/core/CGfxUnit.h"
#include "engine/gfx/core/CTextureHandle.h"
#include "engine/gfx/mesh/GfxModelComp.h"
#include "engine/phy/FiniteXml.h"
#include "engine/phy/PhysicsComp.h"
#include "game/app/CQUORB.h"
#include "game/files/WriteEnum.h"
#include "game/nodes/GobIDComp.h"
#include "game/room/FindComp.h"
#include "game/widgets/CAcceleratorData.h"
#include "game/widgets/CBarData.h"
#include "game/widgets/CGravitySwitchData.h"
#include "game/widgets/CMagnetData.h"
#include "game/widgets/CPlatformData.h"
#include "game/widgets/CQUORBData.h"
#include "game/widgets/WidgetDataComp.h"

#include <tinyxml.h>

namespace QUORB
{
IWidgetData::IWidgetData(WidgetDataComp* owner) : m_pOwner(owner) {}

IWidgetData::~IWidgetData() = default;

bool IWidgetData::IsModifiable() const
{
    return m_isModifiable;
}

void IWidgetData::SetModifiable(bool modifiable)
{
    m_isModifiable = modifiable;
}

int IWidgetData::GetMagnetism() const
{
    return m_magnetism;
}

void IWidgetData::SetMagnetism(int magnetism)
{
    m_magnetism = magnetism;
    UpdateMagneticFieldLook();
}

// clang-format off
const CGravitySwitchData* IWidgetData::AsGravitySwitchData() const { return nullptr; }
CGravitySwitchData* IWidgetData::AsGravitySwitchData() { return nullptr; }
const CPlatformData* IWidgetData::AsPlatformData() const { return nullptr; }
CPlatformData* IWidgetData::AsPlatformData() { return nullptr; }
const CBarData* IWidgetData::AsBarData() const { return nullptr; }
CBarData* IWidgetData::AsBarData() { return nullptr; }
const CMagnetData* IWidgetData::AsMagnetData() const { return nullptr; }
CMagnetData* IWidgetData::AsMagnetData() { return nullptr; }
const CAcceleratorData* IWidgetData::AsAcceleratorData() const { return nullptr; }
CAcceleratorData* IWidgetData::AsAcceleratorData() { return nullptr; }
const CQUORBData* IWidgetData::AsQUORBData() const { return nullptr; }
CQUORBData* IWidgetData::AsQUORBData() { return nullptr; }
// clang-format on

bool IWidgetData::Serialize(TiXmlNode* parent) const
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    TiXmlElement element(GetTypeName());
    TiXmlElement base("WidgetDataBase");
    // What a puzzle author places stays fixed for the player.
    XmlWriteBool(&base, IsCreatePuzzleMode() ? false : m_isModifiable, "IsModifiable");
    WriteEnum(&base, m_magnetism, "Magnetism");
    XmlWriteBool(&base, m_collideWithQUORB, "CollideWithQUORB");
    XmlWriteFloat(&base, m_density, "Density");
    element.InsertEndChild(base);
    if (!WriteOwnFields(&element))
        return false;
    return parent->InsertEndChild(element) != nullptr;
}

bool IWidgetData::Deserialize(const TiXmlNode* node)
{
    if (node == nullptr || node->ToElement() == nullptr)
        return false;
    const std::string where = GetTypeName();
    const TiXmlNode* base = XmlFirstChildElement(node);
    const TiXmlNode* field = XmlFirstChildElement(base);
    XmlReadBool(field, &m_isModifiable);
    // The author can edit every widget of a puzzle.
    if (IsCreatePuzzleMode())
        m_isModifiable = true;
    XmlReadInt(field = XmlNextSiblingElement(field), &m_magnetism);
    XmlReadBool(field = XmlNextSiblingElement(field), &m_collideWithQUORB);
    if (const TiXmlNode* density = XmlNextSiblingElement(field))
        dorvo::phy::XmlReadFiniteFloat(density, &m_density, where, "Density");
    ReadOwnFields(XmlNextSiblingElement(base));
    return true;
}

std::unique_ptr<IWidgetData> IWidgetData::CreateByTypeName(const std::string& typeName, WidgetDataComp* owner)
{
    // In the order the component compares them.
    if (typeName == "GravitySwitch")
        return std::make_unique<CGravitySwitchData>(owner);
    if (typeName == "Platform")
        return std::make_unique<CPlatformData>(owner);
    if (typeName == "Bar")
        return std::make_unique<CBarData>(owner);
    if (typeName == "Accelerator")
        return std::make_unique<CAcceleratorData>(owner);
    if (typeName == "Magnet")
        return std::make_unique<CMagnetData>(owner);
    if (typeName == "QUORB")
        return std::make_unique<CQUORBData>(owner);
    return nullptr;
}

bool IWidgetData::IsTypeName(const std::string& typeName)
{
    return CreateByTypeName(typeName, nullptr) != nullptr;
}

void IWidgetData::UpdateMagneticFieldLook()
{
    dorvo::gfx::GfxModelComp* field = ModelOf(GetLinkedGob());
    if (field == nullptr)
        return;
    switch (m_magnetism)
    {
    case kMagnetismNone:
        field->SetVisible(false);
        break;
    case kMagnetismPositive:
        field->SetVisible(true);
        LoadModelTexture(GetLinkedGob(), kPositiveFieldTexture);
        break;
    case kMagnetismNegative:
        field->SetVisible(true);
        LoadModelTexture(GetLinkedGob(), kNegativeFieldTexture);
        break;
    default:
        break;
    }
}

void IWidgetData::RefreshMagnetism()
{
    UpdateMagneticFieldLook();
    if (CMagnetData* magnet = AsMagnetData())
        magnet->UpdateFieldScale();
}

void IWidgetData::SetDensity(float density)
{
    m_density = density;
    Gob* gob = GetOwnerGob();
    if (auto* physics = FindComp<dorvo::phy::PhysicsComp>(gob))
        physics->SetDensity(density);
    if (math::FloatEqual(density, kWoodDensity))
        LoadModelTexture(gob, kWoodTexture);
    else if (math::FloatEqual(density, kMetalDensity))
        LoadModelTexture(gob, kMetalTexture);
}

Gob* IWidgetData::GetOwnerGob() const
{
    return m_pOwner != nullptr ? m_pOwner->GetOwner() : nullptr;
}

Gob* IWidgetData::GetLinkedGob() const
{
    const GobIDComp* link = FindComp<GobIDComp>(GetOwnerGob());
    return link != nullptr ? link->GetLinkedGob() : nullptr;
}

bool IWidgetData::WriteOwnFields(TiXmlNode*) const
{
    return true;
}

void IWidgetData::ReadOwnFields(const TiXmlNode*) {}

dorvo::gfx::GfxModelComp* IWidgetData::ModelOf(Gob* gob)
{
    return FindComp<dorvo::gfx::GfxModelComp>(gob);
}

void IWidgetData::LoadModelTexture(Gob* gob, const std::string& file)
{
    dorvo::gfx::GfxModelComp* model = ModelOf(gob);
    dorvo::gfx::CGfxUnit* unit = model != nullptr ? model->GetUnit() : nullptr;
    if (unit == nullptr)
        return;
    auto handle = std::make_unique<dorvo::gfx::CTextureHandle>();
    handle->Load(file);
    // The texture cache has said why the file could not be read; the old texture stays.
    if (handle->GetTexture() == nullptr)
        return;
    unit->SetTexture(std::move(handle), 0);
}
} // namespace QUORB
