#include "engine/gfx/terrain/CGfxTerrain.h"

#include "common/math/AABB.h"
#include "common/math/Sphere.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/core/CTextureHandle.h"
#include "engine/gfx/mesh/CMeshManager.h"
#include "engine/gfx/terrain/GfxTerrainComp.h"

namespace dorvo
{
namespace gfx
{
namespace
{
const std::string kNoName;
const std::string kNoMesh = kInvalidMeshName;
} // namespace

CGfxTerrain::CGfxTerrain() = default;

CGfxTerrain::~CGfxTerrain() = default;

const std::string& CGfxTerrain::GetFXFile() const
{
    return m_pTerrain ? m_pTerrain->GetFXFile() : kNoName;
}

const std::string& CGfxTerrain::GetTechnique() const
{
    return m_pTerrain ? m_pTerrain->GetTechnique() : kNoName;
}

const std::string& CGfxTerrain::GetMeshName() const
{
    return kNoMesh;
}

void CGfxTerrain::SetFXFile(const std::string& fxFile)
{
    if (m_pTerrain)
        m_pTerrain->SetFXFile(fxFile);
}

void CGfxTerrain::SetTechnique(const std::string& technique)
{
    if (m_pTerrain)
        m_pTerrain->SetTechnique(technique);
}

bool CGfxTerrain::IsWireframe() const
{
    return m_pTerrain && m_pTerrain->IsWireframe();
}

POVComp* CGfxTerrain::GetPOV() const
{
    return m_pTerrain ? m_pTerrain->GetPOVComp() : nullptr;
}

const GfxUnitFields* CGfxTerrain::GetUnitFields() const
{
    return m_pTerrain;
}

bool CGfxTerrain::Build(Component* component, math::Sphere* sphere, math::AABB* box, bool buildBSP)
{
    auto* terrain = dynamic_cast<GfxTerrainComp*>(component);
    return CreateGeometry(terrain, sphere, box, terrain ? terrain->GetHeightMap() : kNoName, buildBSP);
}

void CGfxTerrain::ReleaseResources()
{
    std::vector<float>().swap(m_heights);
    m_pTerrain = nullptr;
    CGfxUnit::ReleaseResources();
}

bool CGfxTerrain::CreateGeometry(GfxTerrainComp* component, math::Sphere* sphere, math::AABB* box,
                                 const std::string& heightMap, bool buildBSP)
{
    // 1.
    std::vector<float>().swap(m_heights);
    ReleaseOwnBuffers();
    m_pTerrain = component;
    if (!component)
        return false;

    // 2. Rows along z, each of cols vertices along x.
    const SGrid& grid = component->GetGrid();
    if (grid.numVertsPerRow < 2 || grid.numVertsPerCol < 2 ||
        static_cast<long long>(grid.numVertsPerRow) * grid.numVertsPerCol > GfxTerrainComp::kMaxVertices)
        return false;
    const unsigned rows = static_cast<unsigned>(grid.numVertsPerRow);
    const unsigned cols = static_cast<unsigned>(grid.numVertsPerCol);
    const float s = grid.cellSpacing;
    const float h = component->GetAmplitude();
    const float width = static_cast<float>(cols - 1) * s;
    const float depth = static_cast<float>(rows - 1) * s;

    // 3. A map smaller than the grid leaves the rest at 0; one that cannot be read, all of it.
    m_heights.assign(static_cast<std::size_t>(rows) * cols, 0.0f);
    CGFXCore::Instance().ReadHeightMap(heightMap, m_heights, cols, rows);

    // 4.
    GfxRenderBuffers& buffers = OwnBuffers();
    buffers.vertices.assign(m_heights.size(), SUnitVertex());
    for (unsigned r = 0; r < rows; ++r)
        for (unsigned c = 0; c < cols; ++c)
        {
            const std::size_t i = static_cast<std::size_t>(r) * cols + c;
            SUnitVertex& v = buffers.vertices[i];
            v.position[0] = -width / 2.0f + static_cast<float>(c) * s;
            v.position[1] = m_heights[i] * h;
            v.position[2] = depth / 2.0f - static_cast<float>(r) * s;
            v.uv[0] = static_cast<float>(c) / static_cast<float>(cols - 1);
            v.uv[1] = static_cast<float>(r) / static_cast<float>(rows - 1);
        }

    // 5. Two triangles per cell.
    FillGridIndices(buffers, rows, cols);

    // 6.
    CGFXCore::ComputeVertexNormals(buffers);
    CGFXCore::ComputeTangentFrames(buffers);

    // 7. The device buffers follow loss and reset from here on; they are made at the next reset
    // when the device cannot make them now.
    AdoptOwnBuffers();

    // 8.
    ComputeBounds(buffers, sphere, box);

    // 9. One tree per height map.
    if (buildBSP)
        AddBSPTree(heightMap, buffers);
    return true;
}

void CGfxTerrain::PrepareMatrices()
{
    // 1.
    PrepareRecordMatrices();
    SRenderRecord& record = Record();
    // 2.
    record.material = m_pTerrain ? &m_pTerrain->GetMaterial() : nullptr;
    record.fxFile = &GetFXFile();
    record.technique = &GetTechnique();
    // 3.
    const CTextureHandle* blend = GetTexture(4);
    record.terrainBlend = blend ? blend->GetTexture() : nullptr;
    record.tileFactor = m_pTerrain ? m_pTerrain->GetTileFactor() : 1.0f;
    record.buffers = GetOwnDeviceBuffers();
}
} // namespace gfx
} // namespace dorvo
