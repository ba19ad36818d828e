#include "engine/gfx/terrain/GfxTerrainComp.h"

#include "common/XmlUtil.h"
#include "common/math/AABB.h"
#include "common/math/Sphere.h"
#include "engine/Gob.h"
#include "engine/POVComp.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/core/GfxFields.h"
#include "engine/gfx/terrain/CGfxTerrain.h"
#include "platform/log.h"

#include <tinyxml.h>

namespace dorvo
{
namespace gfx
{
GfxTerrainComp::GfxTerrainComp() = default;

GfxTerrainComp::~GfxTerrainComp()
{
    DestroyUnit();
}

void GfxTerrainComp::ListFields(GfxFields& fields)
{
    fields(m_FXFile, "FXFile");
    fields(m_Technique, "Technique");
    fields.Textures();
    fields(m_HeightMap, "HeightMap");
    fields.VisibilityFlags();
    fields(m_TileFactor, "TileFactor");
    fields(m_BuildBSPTree, "BuildBSPTree");
    fields(m_Amplitude, "Amplitude");
    fields.Special([this](TiXmlNode* element) { WriteGrid(element, m_Grid, "Grid"); },
                   [this](const TiXmlNode* element) { ReadGrid(element, m_Grid); });
}

bool GfxTerrainComp::Serialize(TiXmlNode* parent)
{
    return GfxFields::Write(parent, *this);
}

bool GfxTerrainComp::Deserialize(const TiXmlNode* node)
{
    return GfxFields::Read(node, *this);
}

bool GfxTerrainComp::Initialize(Gob* owner)
{
    Component::Initialize(owner);
    DestroyUnit();
    if (m_HeightMap.empty() || !GridIsUsable())
        return true;
    if (!GetPOVComp())
    {
        // The unit is placed by the owner's transform: without one there is nothing to draw at.
        DORVO_LOG("GfxTerrainComp::Initialize: object \"%s\": the object has no POVComp; its terrain \"%s\" "
                  "is not drawn",
                  ObjectName(GetOwner()).c_str(), m_HeightMap.c_str());
        return true;
    }
    CreateUnit();
    return true;
}

bool GfxTerrainComp::GridIsUsable() const
{
    const long long vertices = static_cast<long long>(m_Grid.numVertsPerRow) * m_Grid.numVertsPerCol;
    const char* why = nullptr;
    if (m_Grid.numVertsPerRow < 2 || m_Grid.numVertsPerCol < 2)
        why = "fewer than 2 rows or columns of vertices";
    else if (vertices > kMaxVertices)
        why = "more than 65536 vertices";
    if (!why)
        return true;
    DORVO_LOG("GfxTerrainComp::GridIsUsable: object \"%s\": the grid of %d x %d vertices has %s; the terrain "
              "\"%s\" is not drawn",
              ObjectName(GetOwner()).c_str(), m_Grid.numVertsPerRow, m_Grid.numVertsPerCol, why,
              m_HeightMap.c_str());
    return false;
}

void GfxTerrainComp::CreateUnit()
{
    // 1.
    POVComp* pov = GetPOVComp();
    auto unit = std::make_unique<CGfxTerrain>();
    math::Sphere sphere = pov->GetLocalBoundingSphere();
    math::AABB box = pov->GetLocalBoundingBox();
    if (!unit->CreateGeometry(this, &sphere, &box, m_HeightMap, m_BuildBSPTree))
        return;
    // 2.
    pov->SetBoundingSphere(sphere);
    pov->SetBoundingBox(box);
    pov->SetModelName(m_HeightMap);
    // 3.
    LoadTexturesInto(*unit, kTypeName, ObjectName(GetOwner()));
    m_pUnit = std::move(unit);
    CDorvoGfx::Instance().AddTerrainUnit(m_pUnit.get());
}

void GfxTerrainComp::DestroyUnit()
{
    if (!m_pUnit)
        return;
    if (CDorvoGfx* gfx = CDorvoGfx::IfAlive())
        gfx->RemoveTerrainUnit(m_pUnit.get());
    m_pUnit.reset();
}
} // namespace gfx
} // namespace dorvo
