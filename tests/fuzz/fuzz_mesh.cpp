// Meshes: any bytes as a .X file asked of the mesh cache on the headless device, with "Invalid.x"
// beside it. Beyond "no crash" and no assertion: a record always comes back (the file's or
// "Invalid.x"); a loaded record is whole: at most 65,536 vertices, a triangle list whose indices
// name its vertices, finite normals and tangent frames, influences naming bones the hierarchy
// holds, every bone reachable from the root exactly once with ranges inside the merged arrays,
// skin weights naming bones it holds, animations filed under their names with tracks whose start
// is not after their end, and a device copy byte for byte the arrays in memory, also after a
// lost and reset device.
// Bounded run: 4000 inputs
#include "FuzzSupport.h"

#include "common/Assert.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/mesh/CAnimation.h"
#include "engine/gfx/mesh/CAnimationController.h"
#include "engine/gfx/mesh/CBone.h"
#include "engine/gfx/mesh/CMeshHierarchy.h"
#include "engine/gfx/mesh/CMeshManager.h"
#include "engine/gfx/mesh/CSkinWeightsInfo.h"
#include "platform/frame_driver.h"

#include <cmath>
#include <cstring>
#include <set>
#include <string>

using namespace dorvo::gfx;

namespace
{
const char* const kFile = "Fuzz.x";

void FailOnAssert(const common::AssertReport& report)
{
    fuzzsupport::Fail(std::string("assertion while loading a mesh: ") + report.text);
}

bool Finite(const float* values, int count)
{
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(values[i]))
            return false;
    return true;
}

template <typename Buffer> bool Holds(Buffer* buffer, const void* bytes, std::size_t size)
{
    void* data = nullptr;
    if (!buffer || plat::FAILED(buffer->Lock(0, 0, &data, plat::D3DLOCK_READONLY)))
        return false;
    const bool same = std::memcmp(data, bytes, size) == 0;
    buffer->Unlock();
    return same;
}

void CheckDeviceCopy(const CMeshHierarchy& hierarchy)
{
    const GfxRenderBuffers& buffers = hierarchy.GetBuffers();
    const D3DRenderBuffers& device = hierarchy.GetDeviceBuffers();
    FUZZ_CHECK(device.vertexCount == buffers.VertexCount() && device.indexCount == buffers.IndexCount(),
               "the device copy has other counts");
    FUZZ_CHECK(
        Holds(device.vertexBuffer, buffers.vertices.data(), buffers.vertices.size() * sizeof(SUnitVertex)),
        "the device's vertices differ");
    FUZZ_CHECK(Holds(device.indexBuffer, buffers.indices.data(), buffers.indices.size() * 2),
               "the device's indices differ");
}

void CheckBones(const CMeshHierarchy& hierarchy)
{
    const unsigned bones = hierarchy.GetBoneCount();
    std::set<const CBone*> met;
    // Depth first from the root along first children and next siblings.
    std::vector<const CBone*> stack;
    if (hierarchy.GetRoot())
        stack.push_back(hierarchy.GetRoot());
    while (!stack.empty())
    {
        const CBone* bone = stack.back();
        stack.pop_back();
        FUZZ_CHECK(met.insert(bone).second, "a bone is reached twice");
        FUZZ_CHECK(met.size() <= bones, "more bones reached than held");
        FUZZ_CHECK(bone->index < bones, "a bone's index is past the palette");
        if (bone->nextSibling)
            stack.push_back(bone->nextSibling);
        if (bone->firstChild)
        {
            FUZZ_CHECK(bone->firstChild->parent == bone, "a child does not know its parent");
            stack.push_back(bone->firstChild);
        }
        const int vertices = static_cast<int>(hierarchy.GetBuffers().VertexCount());
        const int indices = static_cast<int>(hierarchy.GetBuffers().IndexCount());
        FUZZ_CHECK(bone->firstVertex >= 0 && bone->lastVertex >= bone->firstVertex - 1 &&
                       bone->lastVertex < vertices,
                   "a bone's vertex range is outside the merged arrays");
        FUZZ_CHECK(bone->firstIndex >= 0 && bone->lastIndex >= bone->firstIndex - 1 &&
                       bone->lastIndex < indices,
                   "a bone's index range is outside the merged arrays");
    }
    FUZZ_CHECK(met.size() == bones, "a bone cannot be reached from the root");
    for (const auto& filed : hierarchy.GetBoneMap())
        FUZZ_CHECK(filed.second->name == filed.first, "a bone is filed under another name");
}

void CheckRecord(const CMeshManager::SMeshInfo& info)
{
    const CMeshHierarchy& hierarchy = *info.hierarchy;
    const GfxRenderBuffers& buffers = hierarchy.GetBuffers();
    FUZZ_CHECK(buffers.VertexCount() <= 65536, "more vertices than 16-bit indices reach");
    FUZZ_CHECK(buffers.IndexCount() > 0 && buffers.IndexCount() % 3 == 0, "not a triangle list");
    for (std::uint16_t index : buffers.indices)
        FUZZ_CHECK(index < buffers.VertexCount(), "an index past the vertices");
    for (const SUnitVertex& vertex : buffers.vertices)
    {
        FUZZ_CHECK(Finite(vertex.position, 3) && Finite(vertex.normal, 3) && Finite(vertex.uv, 2) &&
                       Finite(vertex.tangent, 3) && Finite(vertex.binormal, 3),
                   "a position, normal, texture coordinate or tangent frame is not finite");
        FUZZ_CHECK(vertex.influenceCount >= 0 && vertex.influenceCount <= 4, "more than four influences");
        for (int k = 0; k < vertex.influenceCount; ++k)
            FUZZ_CHECK(vertex.boneIndices[k] < hierarchy.GetBoneCount(), "an influence names no bone");
    }
    const SVRenderBuffers& shadow = hierarchy.GetShadowBuffers();
    for (std::uint16_t index : shadow.indices)
        FUZZ_CHECK(index < shadow.VertexCount(), "a shadow index past the shadow vertices");
    CheckBones(hierarchy);
    for (const auto& bone : hierarchy.GetBones())
        if (const auto* infos = hierarchy.GetSkinWeights(bone->name))
            for (const CSkinWeightsInfo* skin : *infos)
                FUZZ_CHECK(hierarchy.GetBone(skin->boneName), "skin weights name a bone the mesh lacks");

    if (const CAnimationController* controller = info.controller.get())
    {
        FUZZ_CHECK(controller->GetAnimationCount() > 0, "a controller without animations");
        FUZZ_CHECK(controller->GetAnimationNames().size() == controller->GetAnimationCount(),
                   "the name list and the animations disagree");
        for (const std::string& name : controller->GetAnimationNames())
        {
            const CAnimation* animation = controller->GetAnimation(name);
            FUZZ_CHECK(animation && animation->name == name, "an animation is not filed under its name");
            for (const CBoneAnimation& track : animation->tracks)
                FUZZ_CHECK(track.keys.empty() || track.startTime <= track.endTime,
                           "a track ends before it starts");
        }
    }
    CheckDeviceCopy(hierarchy);
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::Init();
    plat::DXUTInit(false, false, false, false);
    CGFXCore& core = CGFXCore::Instance();
    core.SetBackBufferSize(64, 64);
    if (!core.CreateDevice())
        fuzzsupport::Fail("no headless device");
    fuzzsupport::InWorkFolder here;
    fuzzsupport::WriteFile(kInvalidMeshName,
                           fuzzsupport::ReadFile(fuzzsupport::RepoPath("data/meshes/Invalid.x")));
    SetMeshFolder("");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzsupport::InWorkFolder here;
    fuzzsupport::WriteFile(kFile, std::string(reinterpret_cast<const char*>(data), size));
    CMeshManager& meshes = CMeshManager::Instance();
    const common::AssertHandler previous = common::SetAssertHandler(&FailOnAssert);
    CMeshManager::SMeshInfo* info = meshes.GetMesh(kFile);
    FUZZ_CHECK(info != nullptr, "no record, though \"Invalid.x\" is there");
    FUZZ_CHECK(meshes.GetMesh(kFile) == info, "asked again, the name gives another record");
    CheckRecord(*info);
    meshes.OnLostDevice();
    FUZZ_CHECK(!info->hierarchy->GetDeviceBuffers().vertexBuffer, "a device copy outlives the lost device");
    meshes.OnResetDevice();
    CheckDeviceCopy(*info->hierarchy);
    common::SetAssertHandler(previous);
    meshes.Release();
    return 0;
}
