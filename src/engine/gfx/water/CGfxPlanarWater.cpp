#include "engine/gfx/water/CGfxPlanarWater.h"

#include "common/math/AABB.h"
#include "common/math/Sphere.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/core/CTextureHandle.h"
#include "engine/gfx/water/GfxWaterComp.h"
#include "platform/log.h"

namespace dorvo
{
namespace gfx
{
namespace
{
const std::string kNoName;

// The quad's corners: position x, z and texture coordinates u, v.
struct SCorner
{
    float x, z, u, v;
};
constexpr SCorner kCorners[4] = {
    {-0.5f, 0.5f, 0.0f, 0.0f},
    {0.5f, 0.5f, 1.0f, 0.0f},
    {0.5f, -0.5f, 1.0f, 1.0f},
    {-0.5f, -0.5f, 0.0f, 1.0f},
};
constexpr std::uint16_t kIndices[6] = {0, 1, 2, 0, 2, 3};
} // namespace

CGfxPlanarWater::CGfxPlanarWater() = default;

CGfxPlanarWater::~CGfxPlanarWater()
{
    ReleaseGeometry();
}

void CGfxPlanarWater::ReleaseGeometry()
{
    if (m_registered)
    {
        if (CDorvoGfx* gfx = CDorvoGfx::IfAlive())
            gfx->UnregisterDeviceUnit(this);
        m_registered = false;
    }
    m_pBuffers.reset();
    m_quad.Clear();
    m_record.buffers = nullptr;
}

bool CGfxPlanarWater::CreateGeometry(GfxWaterComp* owner, math::Sphere* sphere, math::AABB* box, unsigned,
                                     bool buildBSP)
{
    // 1.
    ReleaseGeometry();
    m_pWater = owner;

    // 2. Facing up, u along x, v down the quad.
    m_quad.vertices.resize(4);
    for (int i = 0; i < 4; ++i)
    {
        SUnitVertex& vertex = m_quad.vertices[i];
        vertex.position[0] = kCorners[i].x;
        vertex.position[2] = kCorners[i].z;
        vertex.normal[1] = 1.0f;
        vertex.uv[0] = kCorners[i].u;
        vertex.uv[1] = kCorners[i].v;
        vertex.tangent[0] = 1.0f;
        vertex.binormal[2] = -1.0f;
    }
    m_quad.indices.assign(std::begin(kIndices), std::end(kIndices));

    // 3. Buffers with a geometry id of their own, following the device through the facade.
    m_pBuffers = std::make_unique<D3DRenderBuffers>();
    m_pBuffers->vertexCount = m_quad.VertexCount();
    m_pBuffers->indexCount = m_quad.IndexCount();
    const bool made = OnResetDevice();
    if (CDorvoGfx* gfx = CDorvoGfx::IfAlive())
    {
        gfx->RegisterDeviceUnit(this);
        m_registered = true;
    }

    // 4.
    ComputeBounds(m_quad, sphere, box);

    // 5. One tree for every planar water.
    if (buildBSP)
        AddBSPTree(kBSPTreeName, m_quad);
    if (!made && CGFXCore::Instance().GetDevice())
        DORVO_LOG("CGfxPlanarWater::CreateGeometry: the water's buffers could not be made on the device; it "
                  "is drawn once the device is reset");
    return true;
}

void CGfxPlanarWater::ComputeWaterPlane()
{
    if (GetWaterType() == GfxWaterComp::WATER_FixedPlane)
        return;
    math::Matrix4 world;
    GetWorldMatrix(world);
    math::Plane local;
    local.normal = math::Vector3(0.0f, 1.0f, 0.0f);
    local.d = 0.0f;
    m_plane = local.Transform(world.GetInverse().GetTranspose()).GetNormalized();
}

void CGfxPlanarWater::PrepareMatrices()
{
    const CGFXCore& core = CGFXCore::Instance();
    m_record.buffers = m_pBuffers && m_pBuffers->vertexBuffer ? m_pBuffers.get() : nullptr;
    m_record.view = core.GetView();
    m_record.projection = core.GetProjection();
    GetWorldMatrix(m_record.world);
    // World, then view, then projection.
    m_record.worldViewProjection = m_record.projection * m_record.view * m_record.world;
    if (m_pWater)
    {
        m_record.fxFile = &m_pWater->GetFXFile();
        m_record.technique = &m_pWater->GetTechnique();
        m_record.material = &m_pWater->GetMaterial();
        m_record.water = m_pWater->GetNoWaveInfo();
    }
    else
    {
        m_record.fxFile = &kNoName;
        m_record.technique = &kNoName;
        m_record.material = nullptr;
        m_record.water = NoWaveInfo();
    }
    m_record.tileFactor = 1.0f;
    for (unsigned stage = 0; stage < kTextureStages; ++stage)
    {
        const CTextureHandle* handle = GetTexture(stage);
        m_record.textures[stage] = handle ? handle->GetTexture() : nullptr;
    }
}

unsigned CGfxPlanarWater::GetTriangleCount() const
{
    return m_quad.IndexCount() / 3;
}

void CGfxPlanarWater::ReleaseResources()
{
    CGfxUnit::ReleaseResources();
    ReleaseGeometry();
    m_record.textures.fill(nullptr);
    m_pWater = nullptr;
}

void CGfxPlanarWater::OnLostDevice()
{
    if (m_pBuffers)
        m_pBuffers->ReleaseBuffers();
}

bool CGfxPlanarWater::OnResetDevice()
{
    if (!m_pBuffers)
        return true;
    CGFXCore& core = CGFXCore::Instance();
    return core.CreateRenderBuffers(*m_pBuffers) && core.FillRenderBuffers(*m_pBuffers, m_quad);
}
} // namespace gfx
} // namespace dorvo
