#include "engine/gfx/terrain/GfxClothComp.h"

#include "common/HashName.h"
#include "common/XmlUtil.h"
#include "common/math/AABB.h"
#include "common/math/Sphere.h"
#include "engine/Gob.h"
#include "engine/GridComp.h"
#include "engine/POVComp.h"
#include "engine/gfx/core/GfxFields.h"
#include "engine/gfx/terrain/CGfxCloth.h"
#include "engine/phy/ClothComp.h"
#include "platform/log.h"

#include <tinyxml.h>

#include <cctype>

namespace dorvo
{
namespace gfx
{
namespace
{
// Whether the name ends in ".fx", in any case.
bool EndsInFx(const std::string& name)
{
    const std::size_t n = name.size();
    return n >= 3 && name[n - 3] == '.' && std::tolower(static_cast<unsigned char>(name[n - 2])) == 'f' &&
           std::tolower(static_cast<unsigned char>(name[n - 1])) == 'x';
}

// Whether the file name (after its last folder separator) has a dot.
bool HasExtension(const std::string& name)
{
    const std::size_t slash = name.find_last_of("/\\");
    const std::size_t dot = name.find_last_of('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}
} // namespace

GfxClothComp::GfxClothComp() = default;

GfxClothComp::~GfxClothComp() = default;

std::string GfxClothComp::TechniqueFor(const std::string& fxFile)
{
    return "Cloth" + (EndsInFx(fxFile) ? fxFile.substr(0, fxFile.size() - 3) : fxFile);
}

std::string GfxClothComp::EffectFileFor(const std::string& fxFile)
{
    return fxFile.empty() || HasExtension(fxFile) ? fxFile : fxFile + ".fx";
}

void GfxClothComp::SetFXFile(const std::string& file)
{
    m_FXFile = file;
    m_EffectFile = EffectFileFor(file);
    m_Technique = TechniqueFor(file);
}

void GfxClothComp::ListFields(GfxFields& fields)
{
    fields(m_FXFile, "FXFile");
    fields.Textures();
    fields.VisibilityFlags();
    fields(m_TileFactor, "TileFactor");
    fields(m_BuildBSPTree, "BuildBSPTree");
    fields(m_IsTransparent, "IsTransparent");
    fields.Material(m_Material, "Material");
}

bool GfxClothComp::Serialize(TiXmlNode* parent)
{
    return GfxFields::Write(parent, *this);
}

bool GfxClothComp::Deserialize(const TiXmlNode* node)
{
    return GfxFields::Read(node, *this);
}

bool GfxClothComp::Initialize(Gob* owner)
{
    Component::Initialize(owner);
    m_pUnit.reset();
    m_pGrid = nullptr;
    m_waitingForPoints = false;
    SetFXFile(m_FXFile);
    // The components exist already, in whatever order the template lists them; the grid's
    // points may come only with its own initialisation, after this one.
    Component* cloth = owner ? owner->GetComponent(HashName(phy::ClothComp::kTypeName)) : nullptr;
    Component* grid = owner ? owner->GetComponent(HashName(GridComp::kTypeName)) : nullptr;
    if (!dynamic_cast<phy::ClothComp*>(cloth) || !dynamic_cast<GridComp*>(grid))
    {
        DORVO_LOG("GfxClothComp::Initialize: object \"%s\": the object has no ClothComp and GridComp to "
                  "draw; it shows no cloth",
                  ObjectName(GetOwner()).c_str());
        return true;
    }
    if (!GetPOVComp())
    {
        DORVO_LOG(
            "GfxClothComp::Initialize: object \"%s\": the object has no POVComp; its cloth is not drawn",
            ObjectName(GetOwner()).c_str());
        return true;
    }
    m_pGrid = static_cast<GridComp*>(grid);
    m_waitingForPoints = true;
    TryCreateUnit();
    return true;
}

bool GfxClothComp::TryCreateUnit()
{
    if (!m_waitingForPoints || !m_pGrid)
        return false;
    const std::uint64_t W = m_pGrid->GetSpanX();
    const std::uint64_t H = m_pGrid->GetSpanY();
    if (m_pGrid->GetPoints().IsEmpty() || m_pGrid->GetPoints().GetElementCount() < W * H)
        return false;
    // From here on the grid has its points: the unit is made now or never.
    m_waitingForPoints = false;
    if (W < 2 || H < 2 || W * H > kMaxParticles)
    {
        DORVO_LOG("GfxClothComp::TryCreateUnit: object \"%s\": the cloth of %llu x %llu points has %s; it is "
                  "not drawn",
                  ObjectName(GetOwner()).c_str(), static_cast<unsigned long long>(W),
                  static_cast<unsigned long long>(H),
                  W < 2 || H < 2 ? "fewer than 2 points along a side" : "more than 65536 points");
        return false;
    }
    // 1.
    POVComp* pov = GetPOVComp();
    auto unit = std::make_unique<CGfxCloth>();
    math::Sphere sphere = pov->GetLocalBoundingSphere();
    math::AABB box = pov->GetLocalBoundingBox();
    if (!unit->CreateGeometry(this, &sphere, &box, m_BuildBSPTree))
        return false;
    // 2.
    pov->SetBoundingSphere(sphere);
    pov->SetBoundingBox(box);
    pov->SetModelName("Cloth");
    // 3.
    LoadTexturesInto(*unit, kTypeName, ObjectName(GetOwner()));
    m_pUnit = std::move(unit);
    return true;
}

void GfxClothComp::Update(float dt)
{
    if (!m_pUnit)
        TryCreateUnit();
    if (m_pUnit)
        m_pUnit->UpdateAnimation(0.0f, dt);
}
} // namespace gfx
} // namespace dorvo
