#include "engine/gfx/mesh/GfxModelComp.h"

#include "common/XmlUtil.h"
#include "common/math/AABB.h"
#include "common/math/Sphere.h"
#include "engine/Gob.h"
#include "engine/POVComp.h"
#include "engine/gfx/core/CGfxUnit.h"
#include "engine/gfx/core/GfxFields.h"
#include "platform/log.h"

#include <tinyxml.h>

namespace dorvo
{
namespace gfx
{
GfxModelComp::GfxModelComp() = default;

GfxModelComp::~GfxModelComp() = default;

void GfxModelComp::ListFields(GfxFields& fields)
{
    fields(m_XFile, "XFile");
    fields(m_FXFile, "FXFile");
    fields(m_Technique, "Technique");
    fields.Textures();
    fields.VisibilityFlags();
    fields(m_TileFactor, "TileFactor");
    fields(m_BuildBSPTree, "BuildBSPTree");
    fields(m_IsTransparent, "IsTransparent");
    fields.Material(m_Material, "Material");
}

bool GfxModelComp::Serialize(TiXmlNode* parent)
{
    return GfxFields::Write(parent, *this);
}

bool GfxModelComp::Deserialize(const TiXmlNode* node)
{
    return GfxFields::Read(node, *this);
}

bool GfxModelComp::Initialize(Gob* owner)
{
    Component::Initialize(owner);
    m_pUnit.reset();
    if (m_XFile.empty())
        return true;
    if (!GetPOVComp())
    {
        // The unit is placed by the owner's transform: without one there is nothing to draw at.
        DORVO_LOG("GfxModelComp::Initialize: template \"%s\": the object has no POVComp; its model \"%s\" is "
                  "not drawn",
                  owner ? owner->GetTemplateName().c_str() : "", m_XFile.c_str());
        return true;
    }
    CreateUnit();
    return true;
}

void GfxModelComp::CreateUnit()
{
    POVComp* pov = GetPOVComp();
    auto unit = std::make_unique<CGfxUnit>();
    math::Sphere sphere = pov->GetLocalBoundingSphere();
    math::AABB box = pov->GetLocalBoundingBox();
    unit->Build(this, &sphere, &box, m_BuildBSPTree);
    pov->SetBoundingSphere(sphere);
    pov->SetBoundingBox(box);
    pov->SetModelName(m_XFile);
    LoadTexturesInto(*unit, kTypeName, GetOwnerName());
    m_pUnit = std::move(unit);
}

void GfxModelComp::Update(float dt)
{
    if (m_pUnit)
        m_pUnit->UpdateAnimation(0.0f, dt);
}

void GfxModelComp::RestoreSavedEffect()
{
    if (!m_SavedFXFile.empty())
        m_FXFile = m_SavedFXFile;
}

void GfxModelComp::RestoreSavedTechnique()
{
    if (!m_SavedTechnique.empty())
        m_Technique = m_SavedTechnique;
}
} // namespace gfx
} // namespace dorvo
