#include "engine/gfx/terrain/CGfxCloth.h"

#include "common/math/AABB.h"
#include "common/math/Sphere.h"
#include "engine/GridComp.h"
#include "engine/POVComp.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/mesh/CMeshManager.h"
#include "engine/gfx/terrain/GfxClothComp.h"

namespace dorvo
{
namespace gfx
{
namespace
{
const std::string kNoName;
const std::string kNoMesh = kInvalidMeshName;
const std::string kTreeName = "Cloth";

void SetPosition(SUnitVertex& vertex, const math::Vector3& point)
{
    vertex.position[0] = point.x;
    vertex.position[1] = point.y;
    vertex.position[2] = point.z;
}
} // namespace

CGfxCloth::CGfxCloth() = default;

CGfxCloth::~CGfxCloth() = default;

const std::string& CGfxCloth::GetFXFile() const
{
    return m_pCloth ? m_pCloth->GetEffectFile() : kNoName;
}

const std::string& CGfxCloth::GetTechnique() const
{
    return m_pCloth ? m_pCloth->GetTechnique() : kNoName;
}

const std::string& CGfxCloth::GetMeshName() const
{
    return kNoMesh;
}

void CGfxCloth::SetFXFile(const std::string& fxFile)
{
    if (m_pCloth)
        m_pCloth->SetFXFile(fxFile);
}

void CGfxCloth::SetTechnique(const std::string& technique)
{
    if (m_pCloth)
        m_pCloth->SetTechnique(technique);
}

bool CGfxCloth::IsTransparent() const
{
    return m_pCloth && m_pCloth->IsTransparent();
}

void CGfxCloth::SetTransparent(bool transparent)
{
    if (m_pCloth)
        m_pCloth->SetTransparent(transparent);
}

bool CGfxCloth::IsWireframe() const
{
    return m_pCloth && m_pCloth->IsWireframe();
}

POVComp* CGfxCloth::GetPOV() const
{
    return m_pCloth ? m_pCloth->GetPOVComp() : nullptr;
}

const GfxUnitFields* CGfxCloth::GetUnitFields() const
{
    return m_pCloth;
}

bool CGfxCloth::Build(Component* component, math::Sphere* sphere, math::AABB* box, bool buildBSP)
{
    return CreateGeometry(dynamic_cast<GfxClothComp*>(component), sphere, box, buildBSP);
}

void CGfxCloth::ReleaseResources()
{
    m_pCloth = nullptr;
    m_width = 0;
    m_height = 0;
    CGfxUnit::ReleaseResources();
}

bool CGfxCloth::CreateGeometry(GfxClothComp* component, math::Sphere* sphere, math::AABB* box, bool buildBSP)
{
    ReleaseOwnBuffers();
    m_pCloth = component;
    m_width = 0;
    m_height = 0;
    // 1. W x H points, point (i, j) at j x W + i.
    const GridComp* grid = component ? component->GetGrid() : nullptr;
    if (!grid)
        return false;
    const Array2D<math::Vector3>& points = grid->GetPoints();
    const std::uint64_t W = grid->GetSpanX();
    const std::uint64_t H = grid->GetSpanY();
    if (W < 2 || H < 2 || W * H > GfxClothComp::kMaxParticles || points.GetElementCount() < W * H)
        return false;
    m_width = static_cast<unsigned>(W);
    m_height = static_cast<unsigned>(H);

    // 2. Vertex i x H + j from point (i, j); each reciprocal once, in double.
    GfxRenderBuffers& buffers = OwnBuffers();
    buffers.vertices.assign(static_cast<std::size_t>(W * H), SUnitVertex());
    const double uStep = 1.0 / static_cast<double>(H - 1);
    const double vStep = 1.0 / static_cast<double>(W - 1);
    for (unsigned i = 0; i < m_width; ++i)
        for (unsigned j = 0; j < m_height; ++j)
        {
            SUnitVertex& v = buffers.vertices[static_cast<std::size_t>(i) * m_height + j];
            SetPosition(v, points[static_cast<std::size_t>(j) * m_width + i]);
            v.uv[0] = static_cast<float>(j * uStep);
            v.uv[1] = static_cast<float>(i * vStep);
            v.normal[1] = 1.0f;
            v.tangent[0] = 1.0f;
            v.binormal[2] = -1.0f;
        }

    // 3. Two triangles per cell.
    FillGridIndices(buffers, m_width, m_height);

    // 4. They follow loss and reset from here on (made at the next reset if the device cannot
    // make them now).
    AdoptOwnBuffers();

    // 5.
    ComputeBounds(buffers, sphere, box);

    // 6. One tree for every cloth: the first one's rest shape.
    if (buildBSP)
        AddBSPTree(kTreeName, buffers);
    return true;
}

void CGfxCloth::UpdateAnimation(float, float)
{
    const GridComp* grid = m_pCloth ? m_pCloth->GetGrid() : nullptr;
    GfxRenderBuffers& buffers = OwnBuffers();
    // A grid built again with other spans no longer matches the vertices.
    if (!grid || grid->GetSpanX() != m_width || grid->GetSpanY() != m_height ||
        grid->GetPoints().GetElementCount() < static_cast<std::size_t>(m_width) * m_height ||
        buffers.vertices.size() != static_cast<std::size_t>(m_width) * m_height)
        return;
    // 1.
    const Array2D<math::Vector3>& points = grid->GetPoints();
    for (unsigned i = 0; i < m_width; ++i)
        for (unsigned j = 0; j < m_height; ++j)
            SetPosition(buffers.vertices[static_cast<std::size_t>(i) * m_height + j],
                        points[static_cast<std::size_t>(j) * m_width + i]);
    // 2.
    CGFXCore::ComputeVertexNormals(buffers);
    CGFXCore::ComputeTangentFrames(buffers);
    // 3.
    RefillDeviceBuffers();
    // 4.
    if (POVComp* pov = GetPOV())
    {
        math::AABB box;
        math::Sphere sphere;
        CGFXCore::ComputeBoundingBox(buffers.vertices.data(), buffers.VertexCount(), box);
        CGFXCore::ComputeBoundingSphere(buffers.vertices.data(), buffers.VertexCount(), sphere);
        pov->SetBoundingBox(box);
        pov->SetBoundingSphere(sphere);
    }
}

void CGfxCloth::PrepareMatrices()
{
    SRenderRecord& record = Record();
    // 1.
    record.buffers = GetOwnDeviceBuffers();
    // 2.
    PrepareRecordMatrices();
    // 3.
    record.fxFile = &GetFXFile();
    record.technique = &GetTechnique();
    record.material = m_pCloth ? &m_pCloth->GetMaterial() : nullptr;
    record.tileFactor = 1.0f;
}
} // namespace gfx
} // namespace dorvo
