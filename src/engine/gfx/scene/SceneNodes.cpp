#include "engine/gfx/scene/SceneNodes.h"

#include "engine/gfx/core/CTextureHandle.h"
#include "engine/gfx/core/IGfxUnit.h"
#include "engine/gfx/scene/CSceneGraphVisitor.h"

namespace dorvo
{
namespace gfx
{
// ---- Geometry ----

CGeometryNode::CGeometryNode(IGfxUnit* unit) : m_pUnit(unit)
{
    SetType(GEOMETRY);
}

bool CGeometryNode::Accept(CSceneGraphVisitor& visitor)
{
    return visitor.Visit(*this);
}

void CGeometryNode::DumpInfo(std::ostream& out) const
{
    out << ".X File Name: ";
    if (m_pUnit)
        out << m_pUnit->GetMeshName();
}

// ---- Transformation ----

CTransformationNode::CTransformationNode(const math::Matrix4& matrix) : m_matrix(matrix)
{
    SetType(TRANSFORMATION);
}

CTransformationNode::CTransformationNode(const IGfxUnit& unit)
{
    unit.GetWorldMatrix(m_matrix);
    SetType(TRANSFORMATION);
}

bool CTransformationNode::Accept(CSceneGraphVisitor& visitor)
{
    return visitor.Visit(*this);
}

void CTransformationNode::DumpInfo(std::ostream& out) const
{
    out << "Matrix of form [row1, row2, row3, row4]: [ ";
    for (int row = 0; row < 4; ++row)
        out << '(' << m_matrix[row][0] << ',' << m_matrix[row][1] << ',' << m_matrix[row][2] << ','
            << m_matrix[row][3] << ')';
    out << " ]";
}

// ---- Effect ----

CEffectNode::CEffectNode(const IGfxUnit& unit) : m_fxFile(unit.GetFXFile()), m_technique(unit.GetTechnique())
{
    SetType(EFFECT);
}

bool CEffectNode::Accept(CSceneGraphVisitor& visitor)
{
    return visitor.Visit(*this);
}

void CEffectNode::DumpInfo(std::ostream& out) const
{
    out << "Effect File Name: " << m_fxFile;
}

// ---- Batch ----

CBatchNode::CBatchNode(const IGfxUnit& unit) : m_technique(unit.GetTechnique())
{
    for (unsigned i = 0; i < kTextureCount; ++i)
        m_textures[i] = unit.GetTexture(i);
    SetType(BATCH);
}

bool CBatchNode::Accept(CSceneGraphVisitor& visitor)
{
    return visitor.Visit(*this);
}

void CBatchNode::DumpInfo(std::ostream& out) const
{
    for (unsigned i = 0; i < kTextureCount; ++i)
        if (m_textures[i])
            out << "Texture #" << i << " File Name: " << m_textures[i]->GetFileName() << '\n';
}

bool CBatchNode::Matches(const IGfxUnit& unit) const
{
    const CTextureHandle* t0 = unit.GetTexture(0);
    const CTextureHandle* t3 = unit.GetTexture(3);
    if (!t0 && !t3)
        return true;
    if (t0 && m_textures[0] && m_textures[0]->GetFileName() == t0->GetFileName())
        return true;
    return t3 && m_textures[3] && m_textures[3]->GetFileName() == t3->GetFileName();
}

// ---- Space partition ----

CSPINode::CSPINode(const SSpacePartition& partition)
    : m_sphere(partition.sphere), m_box(partition.box), m_loose(false)
{
    SetType(SPI);
}

CSPINode::CSPINode(const IGfxUnit& unit) : m_loose(true)
{
    unit.GetBoundingSphere(m_sphere);
    SetType(SPI);
}

bool CSPINode::Accept(CSceneGraphVisitor& visitor)
{
    return visitor.Visit(*this);
}

void CSPINode::DumpInfo(std::ostream& out) const
{
    out << "WorldSpaceBS's Center: [" << m_sphere.center.x << ", " << m_sphere.center.y << ", "
        << m_sphere.center.z << '\n'
        << "WorldSpaceBS's Radius: " << m_sphere.radius << '\n';
}

bool CSPINode::Encloses(const math::Sphere& sphere) const
{
    return m_loose ? m_sphere.Contains(sphere) : m_box.ContainsSphere(sphere);
}
} // namespace gfx
} // namespace dorvo
