#include "engine/gfx/mesh/CMeshHierarchy.h"

#include "common/Assert.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/mesh/CBone.h"
#include "engine/gfx/mesh/CSkinWeightsInfo.h"

#include <algorithm>

namespace dorvo
{
namespace gfx
{
namespace
{
// 16-bit indices reach this many vertices.
constexpr std::size_t kMaxMergedVertices = 65536;
} // namespace

CMeshHierarchy::CMeshHierarchy()
{
    m_shadowDeviceBuffers.stride = kShadowVertexStride;
}

CMeshHierarchy::~CMeshHierarchy() = default;

CBone* CMeshHierarchy::GetBone(const std::string& name) const
{
    auto found = m_boneMap.find(name);
    return found == m_boneMap.end() ? nullptr : found->second;
}

bool CMeshHierarchy::AddBone(std::unique_ptr<CBone> bone)
{
    if (!bone)
        return false;
    CBone* added = bone.get();
    m_bones.push_back(std::move(bone));
    return m_boneMap.emplace(added->name, added).second;
}

const std::vector<CSkinWeightsInfo*>* CMeshHierarchy::GetSkinWeights(const std::string& meshBoneName) const
{
    auto found = m_skinWeights.find(meshBoneName);
    return found == m_skinWeights.end() ? nullptr : &found->second;
}

void CMeshHierarchy::AddSkinWeights(std::unique_ptr<CSkinWeightsInfo> info)
{
    if (!info ||
        !DORVO_ASSERT(info->meshBone, "CMeshHierarchy::AddSkinWeights - the record names no mesh bone"))
        return;
    info->meshBone->skinned = true;
    m_skinWeights[info->meshBone->name].push_back(info.get());
    m_skinWeightRecords.push_back(std::move(info));
}

void CMeshHierarchy::RemoveSkinWeights(const CSkinWeightsInfo* info)
{
    auto record =
        std::find_if(m_skinWeightRecords.begin(), m_skinWeightRecords.end(),
                     [info](const std::unique_ptr<CSkinWeightsInfo>& held) { return held.get() == info; });
    if (record == m_skinWeightRecords.end())
        return;
    CBone* meshBone = info->meshBone;
    auto filed = m_skinWeights.find(meshBone->name);
    if (filed != m_skinWeights.end())
    {
        filed->second.erase(std::remove(filed->second.begin(), filed->second.end(), info),
                            filed->second.end());
        if (filed->second.empty())
            m_skinWeights.erase(filed);
    }
    m_skinWeightRecords.erase(record);
    meshBone->skinned = std::any_of(m_skinWeightRecords.begin(), m_skinWeightRecords.end(),
                                    [meshBone](const std::unique_ptr<CSkinWeightsInfo>& held)
                                    { return held->meshBone == meshBone; });
}

void CMeshHierarchy::ApplySkinWeights()
{
    for (const auto& filed : m_skinWeights)
    {
        for (const CSkinWeightsInfo* info : filed.second)
        {
            CBone* bone = GetBone(info->boneName);
            if (!DORVO_ASSERT(bone, "CMeshHierarchy::ApplySkinWeights - a record names a bone the hierarchy "
                                    "does not hold; it is left out"))
                continue;
            bone->offset = info->offset;
            std::vector<SUnitVertex>& vertices = info->meshBone->mesh.vertices;
            const std::size_t pairs = std::min(info->vertexIndices.size(), info->weights.size());
            for (std::size_t k = 0; k < pairs; ++k)
            {
                const std::uint32_t v = info->vertexIndices[k];
                if (!DORVO_ASSERT(v < vertices.size(), "CMeshHierarchy::ApplySkinWeights - a record names a "
                                                       "vertex past its mesh; it is left out"))
                    continue;
                SUnitVertex& vertex = vertices[v];
                if (vertex.influenceCount >= 4)
                    continue;
                vertex.boneIndices[vertex.influenceCount] = bone->index;
                vertex.weights[vertex.influenceCount] = info->weights[k];
                ++vertex.influenceCount;
            }
        }
    }
}

std::vector<CBone*> CMeshHierarchy::BonesByName() const
{
    std::vector<CBone*> order;
    order.reserve(m_bones.size());
    for (const std::unique_ptr<CBone>& bone : m_bones)
        order.push_back(bone.get());
    std::stable_sort(order.begin(), order.end(),
                     [](const CBone* a, const CBone* b) { return a->name < b->name; });
    return order;
}

bool CMeshHierarchy::MergeBuffers()
{
    m_buffers.Clear();
    m_shadowBuffers.Clear();
    const std::vector<CBone*> order = BonesByName();
    auto skinned = std::find_if(order.begin(), order.end(), [](const CBone* bone) { return bone->skinned; });
    if (skinned != order.end())
    {
        // Skinned vertices are posed by their bones, not by the frame that holds them: that
        // mesh is drawn alone and keeps its arrays; the other meshes are not drawn.
        CBone& bone = **skinned;
        for (CBone* other : order)
            if (other != &bone)
            {
                other->mesh.Clear();
                other->shadow.Clear();
            }
        m_buffers = bone.mesh;
        bone.firstVertex = 0;
        bone.lastVertex = static_cast<int>(bone.mesh.vertices.size()) - 1;
        bone.firstIndex = 0;
        bone.lastIndex = static_cast<int>(bone.mesh.indices.size()) - 1;
    }
    else
    {
        std::size_t vertices = 0, indices = 0, shadowVertices = 0, shadowIndices = 0;
        for (const CBone* bone : order)
        {
            vertices += bone->mesh.vertices.size();
            indices += bone->mesh.indices.size();
            shadowVertices += bone->shadow.vertices.size();
            shadowIndices += bone->shadow.indices.size();
        }
        DORVO_ASSERT(vertices <= kMaxMergedVertices,
                     "CMeshHierarchy::MergeBuffers - more vertices than 16-bit "
                     "indices reach");
        m_buffers.vertices.reserve(vertices);
        m_buffers.indices.reserve(indices);
        m_shadowBuffers.vertices.reserve(shadowVertices);
        m_shadowBuffers.indices.reserve(shadowIndices);
        for (CBone* bone : order)
        {
            const std::size_t first = m_buffers.vertices.size();
            const std::size_t firstIndex = m_buffers.indices.size();
            m_buffers.vertices.insert(m_buffers.vertices.end(), bone->mesh.vertices.begin(),
                                      bone->mesh.vertices.end());
            for (std::uint16_t index : bone->mesh.indices)
                m_buffers.indices.push_back(static_cast<std::uint16_t>(index + first));
            bone->firstVertex = static_cast<int>(first);
            bone->lastVertex = static_cast<int>(m_buffers.vertices.size()) - 1;
            bone->firstIndex = static_cast<int>(firstIndex);
            bone->lastIndex = static_cast<int>(m_buffers.indices.size()) - 1;

            const std::size_t firstShadow = m_shadowBuffers.vertices.size();
            m_shadowBuffers.vertices.insert(m_shadowBuffers.vertices.end(), bone->shadow.vertices.begin(),
                                            bone->shadow.vertices.end());
            for (std::uint16_t index : bone->shadow.indices)
                m_shadowBuffers.indices.push_back(static_cast<std::uint16_t>(index + firstShadow));
            bone->mesh.Clear();
            bone->shadow.Clear();
        }
    }

    CGFXCore::ComputeVertexNormals(m_buffers);
    CGFXCore::ComputeTangentFrames(m_buffers);

    bool made = true;
    if (!m_shadowBuffers.vertices.empty() && UploadsShadowSet())
        made = MakeDeviceCopy(m_shadowDeviceBuffers, nullptr, &m_shadowBuffers);
    if (!m_buffers.indices.empty())
        made = MakeDeviceCopy(m_deviceBuffers, &m_buffers, nullptr) && made;
    return made;
}

bool CMeshHierarchy::MakeDeviceCopy(D3DRenderBuffers& device, const GfxRenderBuffers* buffers,
                                    const SVRenderBuffers* shadow)
{
    device.vertexCount = buffers ? buffers->VertexCount() : shadow->VertexCount();
    device.indexCount = buffers ? buffers->IndexCount() : shadow->IndexCount();
    CGFXCore& core = CGFXCore::Instance();
    if (!core.CreateRenderBuffers(device))
        return false;
    const bool filled =
        buffers ? core.FillRenderBuffers(device, *buffers) : core.FillRenderBuffers(device, *shadow);
    if (!filled)
        device.ReleaseBuffers();
    return filled;
}

void CMeshHierarchy::OnLostDevice()
{
    m_deviceBuffers.ReleaseBuffers();
    m_shadowDeviceBuffers.ReleaseBuffers();
}

bool CMeshHierarchy::OnResetDevice()
{
    bool made = true;
    if (m_deviceBuffers.vertexCount > 0)
        made = MakeDeviceCopy(m_deviceBuffers, &m_buffers, nullptr);
    if (m_shadowDeviceBuffers.vertexCount > 0)
        made = MakeDeviceCopy(m_shadowDeviceBuffers, nullptr, &m_shadowBuffers) && made;
    return made;
}
} // namespace gfx
} // namespace dorvo
