#include "engine/gfx/core/CGfxUnit.h"

#include "common/CBSPTree.h"
#include "common/CBSPTreeMgr.h"
#include "common/math/AABB.h"
#include "common/math/Sphere.h"
#include "common/math/Triangle.h"
#include "engine/POVComp.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/core/CTextureHandle.h"
#include "engine/gfx/core/GfxUnitFields.h"
#include "engine/gfx/mesh/CAnimationController.h"
#include "engine/gfx/mesh/CMeshHierarchy.h"
#include "engine/gfx/mesh/CMeshManager.h"
#include "engine/gfx/mesh/GfxModelComp.h"
#include "platform/log.h"

namespace dorvo
{
namespace gfx
{
namespace
{
const std::string kNoName;

math::Vector3 PositionOf(const SUnitVertex& vertex)
{
    return math::Vector3(vertex.position[0], vertex.position[1], vertex.position[2]);
}
} // namespace

CGfxUnit::CGfxUnit() = default;

CGfxUnit::~CGfxUnit()
{
    ReleaseResources();
}

// ---- The component's fields ------------------------------------------------------------------

const std::string& CGfxUnit::GetFXFile() const
{
    return m_pModel ? m_pModel->GetFXFile() : kNoName;
}

const std::string& CGfxUnit::GetTechnique() const
{
    return m_pModel ? m_pModel->GetTechnique() : kNoName;
}

const std::string& CGfxUnit::GetMeshName() const
{
    return m_pModel ? m_pModel->GetXFile() : kNoName;
}

void CGfxUnit::SetFXFile(const std::string& fxFile)
{
    if (m_pModel)
        m_pModel->SetFXFile(fxFile);
}

void CGfxUnit::SetTechnique(const std::string& technique)
{
    if (m_pModel)
        m_pModel->SetTechnique(technique);
}

bool CGfxUnit::IsTransparent() const
{
    return m_pModel && m_pModel->IsTransparent();
}

void CGfxUnit::SetTransparent(bool transparent)
{
    if (m_pModel)
        m_pModel->SetTransparent(transparent);
}

bool CGfxUnit::IsAlwaysVisible() const
{
    const GfxUnitFields* fields = GetUnitFields();
    return fields && fields->IsAlwaysVisible();
}

bool CGfxUnit::IsWireframe() const
{
    return m_pModel && m_pModel->IsWireframe();
}

bool CGfxUnit::IsVisible() const
{
    const GfxUnitFields* fields = GetUnitFields();
    return fields && fields->IsVisible();
}

bool CGfxUnit::IsShadowCaster() const
{
    const GfxUnitFields* fields = GetUnitFields();
    return fields && fields->IsShadowCaster();
}

const GfxUnitFields* CGfxUnit::GetUnitFields() const
{
    return m_pModel;
}

// ---- Placement and bounds ------------------------------------------------------------------------

POVComp* CGfxUnit::GetPOV() const
{
    return m_pModel ? m_pModel->GetPOVComp() : nullptr;
}

void CGfxUnit::GetWorldMatrix(math::Matrix4& world) const
{
    const POVComp* pov = GetPOV();
    world = pov ? pov->GetWorldMatrix() : math::Matrix4();
}

std::uint32_t CGfxUnit::GetBoundingType() const
{
    const POVComp* pov = GetPOV();
    return pov ? pov->GetBVType() : BOUNDING_Sphere;
}

void CGfxUnit::GetBoundingSphere(math::Sphere& sphere) const
{
    if (const POVComp* pov = GetPOV())
        sphere = pov->GetBoundingSphere();
}

void CGfxUnit::GetBoundingBox(math::AABB& box) const
{
    if (const POVComp* pov = GetPOV())
        box = pov->GetBoundingBox();
}

bool CGfxUnit::Overlaps(const IGfxUnit& other) const
{
    math::Sphere mine;
    math::Sphere theirs;
    GetBoundingSphere(mine);
    other.GetBoundingSphere(theirs);
    return mine.Intersects(theirs);
}

bool CGfxUnit::Overlaps(const IGfxUnit* other) const
{
    return other && Overlaps(*other);
}

float CGfxUnit::GetViewDepth() const
{
    const POVComp* pov = GetPOV();
    if (!pov)
        return 0.0f;
    const CGFXCore& core = CGFXCore::Instance();
    // View, then projection.
    const math::Vector4 clip =
        (core.GetProjection() * core.GetView()).Transform(math::Vector4(pov->GetPosition()));
    return clip.w != 0.0f ? clip.z / clip.w : clip.z;
}

// ---- Textures ------------------------------------------------------------------------------------

CTextureHandle* CGfxUnit::GetTexture(unsigned stage) const
{
    return stage < kTextureStages ? m_textures[stage].get() : nullptr;
}

void CGfxUnit::LoadTexture(const std::string& file, unsigned stage)
{
    if (stage >= kTextureStages)
    {
        DORVO_LOG(
            "CGfxUnit::LoadTexture: %s: stage %u does not exist (stages 0 to %u); the texture is not loaded",
            file.c_str(), stage, kTextureStages - 1);
        return;
    }
    auto handle = std::make_unique<CTextureHandle>();
    handle->Load(file);
    // The cache has said why the file could not be read.
    handle->UseWhiteIfMissing();
    SetTexture(std::move(handle), stage);
}

void CGfxUnit::SetTexture(std::unique_ptr<CTextureHandle> handle, unsigned stage)
{
    if (stage >= kTextureStages)
        return;
    m_textures[stage] = std::move(handle);
    m_record.textures[stage] = m_textures[stage] ? m_textures[stage]->GetTexture() : nullptr;
}

// ---- Building and drawing ------------------------------------------------------------------------

unsigned CGfxUnit::GetTriangleCount() const
{
    if (m_pDeviceBuffers)
        return m_pDeviceBuffers->indexCount / 3;
    if (m_pMeshDeviceBuffers && m_pMeshDeviceBuffers->indexCount)
        return m_pMeshDeviceBuffers->indexCount / 3;
    return m_pMeshBuffers ? m_pMeshBuffers->IndexCount() / 3 : 0;
}

bool CGfxUnit::Build(Component* component, math::Sphere* sphere, math::AABB* box, bool buildBSP)
{
    // 1.
    ReleaseResources();
    m_pModel = dynamic_cast<GfxModelComp*>(component);
    if (!m_pModel)
        return false;

    // 2. The cache has said why a file could not be read, once, and gives "Invalid.x" instead.
    const std::string& name = GetMeshName();
    CMeshManager::SMeshInfo* info = CMeshManager::Instance().GetMesh(name);
    if (!info || !info->hierarchy)
        return false;
    CMeshHierarchy& hierarchy = *info->hierarchy;

    // 3. An animated mesh: the unit's own controller, vertex copy and device buffers.
    if (info->controller)
    {
        m_pController = std::make_unique<CAnimationController>(*info->controller);
        m_pController->BindToHierarchy(&hierarchy);
        m_buffers = hierarchy.GetBuffers();
        m_pController->SetOutputVertices(&m_buffers);
        m_pDeviceBuffers = std::make_unique<D3DRenderBuffers>();
        m_pDeviceBuffers->vertexCount = m_buffers.VertexCount();
        m_pDeviceBuffers->indexCount = m_buffers.IndexCount();
        if (!OnResetDevice())
            DORVO_LOG("CGfxUnit::Build: mesh \"%s\": the animated mesh's buffers could not be made on the "
                      "device; it is drawn once the device is reset",
                      name.c_str());
        if (CDorvoGfx* gfx = CDorvoGfx::IfAlive())
        {
            gfx->RegisterDeviceUnit(this);
            m_registered = true;
        }
    }

    // 4.
    m_pMeshBuffers = &hierarchy.GetBuffers();
    m_pMeshDeviceBuffers = &hierarchy.GetDeviceBuffers();

    // 5.
    ComputeBounds(*m_pMeshBuffers, sphere, box);

    // 6. One tree per mesh.
    if (buildBSP)
        AddBSPTree(name, *m_pMeshBuffers);
    return true;
}

void CGfxUnit::ComputeBounds(const GfxRenderBuffers& buffers, math::Sphere* sphere, math::AABB* box)
{
    if (sphere)
        CGFXCore::ComputeBoundingSphere(buffers.vertices.data(), buffers.VertexCount(), *sphere);
    if (box)
        CGFXCore::ComputeBoundingBox(buffers.vertices.data(), buffers.VertexCount(), *box);
}

void CGfxUnit::AddBSPTree(const std::string& name, const GfxRenderBuffers& buffers)
{
    common::CBSPTreeMgr& trees = common::CBSPTreeMgr::Instance();
    if (trees.GetTree(name))
        return;
    std::vector<math::Triangle> triangles;
    triangles.reserve(buffers.indices.size() / 3);
    for (std::size_t i = 0; i + 2 < buffers.indices.size(); i += 3)
    {
        const std::size_t a = buffers.indices[i], b = buffers.indices[i + 1], c = buffers.indices[i + 2];
        if (a < buffers.vertices.size() && b < buffers.vertices.size() && c < buffers.vertices.size())
            triangles.emplace_back(PositionOf(buffers.vertices[a]), PositionOf(buffers.vertices[b]),
                                   PositionOf(buffers.vertices[c]));
    }
    auto tree = std::make_unique<common::CBSPTree>();
    tree->Build(triangles);
    trees.AddTree(name, std::move(tree));
}

void CGfxUnit::FillGridIndices(GfxRenderBuffers& buffers, unsigned rows, unsigned columns)
{
    buffers.indices.clear();
    buffers.indices.reserve(static_cast<std::size_t>(rows - 1) * (columns - 1) * 6);
    for (unsigned r = 0; r + 1 < rows; ++r)
        for (unsigned c = 0; c + 1 < columns; ++c)
        {
            const auto p = static_cast<std::uint16_t>(r * columns + c);
            const auto q = static_cast<std::uint16_t>(p + columns);
            buffers.indices.insert(buffers.indices.end(),
                                   {p, static_cast<std::uint16_t>(p + 1), q, q,
                                    static_cast<std::uint16_t>(p + 1), static_cast<std::uint16_t>(q + 1)});
        }
}

void CGfxUnit::PrepareRecordMatrices()
{
    const CGFXCore& core = CGFXCore::Instance();
    m_record.view = core.GetView();
    m_record.projection = core.GetProjection();
    GetWorldMatrix(m_record.world);
    // World, then view, then projection.
    m_record.worldViewProjection = m_record.projection * m_record.view * m_record.world;
}

void CGfxUnit::PrepareMatrices()
{
    PrepareRecordMatrices();
    if (m_pModel)
    {
        m_record.fxFile = &m_pModel->GetFXFile();
        m_record.technique = &m_pModel->GetTechnique();
        m_record.material = &m_pModel->GetMaterial();
        m_record.tileFactor = m_pModel->GetTileFactor();
    }
    else
    {
        m_record.fxFile = &kNoName;
        m_record.technique = &kNoName;
        m_record.material = nullptr;
    }
    m_record.buffers = m_pDeviceBuffers ? m_pDeviceBuffers.get() : m_pMeshDeviceBuffers;
}

void CGfxUnit::UpdateAnimation(float, float dt)
{
    if (!m_pController)
        return;
    m_pController->Update(dt);
    RefillDeviceBuffers();
}

bool CGfxUnit::AdoptOwnBuffers()
{
    m_pDeviceBuffers = std::make_unique<D3DRenderBuffers>();
    m_pDeviceBuffers->vertexCount = m_buffers.VertexCount();
    m_pDeviceBuffers->indexCount = m_buffers.IndexCount();
    if (!m_registered)
        if (CDorvoGfx* gfx = CDorvoGfx::IfAlive())
        {
            gfx->RegisterDeviceUnit(this);
            m_registered = true;
        }
    return OnResetDevice();
}

void CGfxUnit::ReleaseOwnBuffers()
{
    if (m_registered)
    {
        if (CDorvoGfx* gfx = CDorvoGfx::IfAlive())
            gfx->UnregisterDeviceUnit(this);
        m_registered = false;
    }
    m_pDeviceBuffers.reset();
    m_buffers.Clear();
    m_record.buffers = nullptr;
}

bool CGfxUnit::RefillDeviceBuffers()
{
    if (!m_pDeviceBuffers || !m_pDeviceBuffers->vertexBuffer)
        return false;
    return CGFXCore::Instance().FillRenderBuffers(*m_pDeviceBuffers, m_buffers);
}

void CGfxUnit::SetUserWord(std::uint32_t word)
{
    m_userWord = word;
    m_hasUserWord = true;
}

void CGfxUnit::SetUVAnimDir(float u, float v)
{
    m_record.uvAnimation = {u, v};
}

void CGfxUnit::ReleaseResources()
{
    for (auto& texture : m_textures)
        texture.reset();
    m_record.textures.fill(nullptr);
    m_pController.reset();
    ReleaseOwnBuffers();
    m_pMeshBuffers = nullptr;
    m_pMeshDeviceBuffers = nullptr;
    m_pModel = nullptr;
}

// ---- Device loss and reset -----------------------------------------------------------------------

void CGfxUnit::OnLostDevice()
{
    if (m_pDeviceBuffers)
        m_pDeviceBuffers->ReleaseBuffers();
}

bool CGfxUnit::OnResetDevice()
{
    if (!m_pDeviceBuffers)
        return true;
    return CGFXCore::Instance().CreateRenderBuffers(*m_pDeviceBuffers) && RefillDeviceBuffers();
}
} // namespace gfx
} // namespace dorvo
