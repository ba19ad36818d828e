#include "engine/gfx/mesh/GfxModelComp.h"

#include "common/XmlUtil.h"
#include "common/math/AABB.h"
#include "common/math/Sphere.h"
#include "engine/Gob.h"
#include "engine/POVComp.h"
#include "engine/gfx/core/CGfxUnit.h"
#include "engine/gfx/core/MaterialXml.h"
#include "engine/gfx/core/XmlReadNext.h"
#include "platform/log.h"

#include <tinyxml.h>

namespace dorvo
{
namespace gfx
{
GfxModelComp::GfxModelComp() = default;

GfxModelComp::~GfxModelComp() = default;

bool GfxModelComp::Serialize(TiXmlNode* parent)
{
    if (!parent || !parent->ToElement())
        return false;
    TiXmlElement element("Component");
    element.SetAttribute("name", GetTypeName().empty() ? std::string(kTypeName) : GetTypeName());
    XmlWriteString(&element, m_XFile, "XFile");
    XmlWriteString(&element, m_FXFile, "FXFile");
    XmlWriteString(&element, m_Technique, "Technique");
    WriteTextures(&element);
    WriteVisibilityFlags(&element);
    XmlWriteFloat(&element, m_TileFactor, "TileFactor");
    XmlWriteBool(&element, m_BuildBSPTree, "BuildBSPTree");
    XmlWriteBool(&element, m_IsTransparent, "IsTransparent");
    WriteMaterial(&element, m_Material, "Material");
    return parent->InsertEndChild(element) != nullptr;
}

bool GfxModelComp::Deserialize(const TiXmlNode* node)
{
    if (!node || !node->ToElement())
        return false;
    // By position, in the order written.
    const TiXmlNode* child = XmlFirstChildElement(node);
    child = ReadNext(child, &m_XFile);
    child = ReadNext(child, &m_FXFile);
    child = ReadNext(child, &m_Technique);
    child = ReadNext(child, &m_Textures);
    child = ReadVisibilityFlags(child);
    child = ReadNext(child, &m_TileFactor);
    child = ReadNext(child, &m_BuildBSPTree);
    child = ReadNext(child, &m_IsTransparent);
    if (child)
        ReadMaterial(child, m_Material);
    return true;
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
