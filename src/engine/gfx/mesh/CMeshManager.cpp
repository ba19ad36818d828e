#include "engine/gfx/mesh/CMeshManager.h"

#include "common/Singleton.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/mesh/CAniInterpolator.h"
#include "engine/gfx/mesh/CAnimationController.h"
#include "engine/gfx/mesh/CMeshHierarchy.h"
#include "engine/gfx/mesh/CXFileParser.h"
#include "platform/files.h"
#include "platform/log.h"

namespace dorvo
{
namespace gfx
{
namespace
{
std::string& MeshFolder()
{
    static std::string folder;
    return folder;
}
} // namespace

void SetMeshFolder(const std::string& folder)
{
    MeshFolder() = folder;
}

const std::string& GetMeshFolder()
{
    return MeshFolder();
}

CMeshManager::SMeshInfo::SMeshInfo() = default;
CMeshManager::SMeshInfo::~SMeshInfo() = default;

CMeshManager& CMeshManager::Instance()
{
    return *common::Singleton<CMeshManager>::Instance();
}

CMeshManager::CMeshManager() : m_pParser(std::make_unique<CXFileParser>()) {}

CMeshManager::~CMeshManager() = default;

CMeshManager::SMeshInfo* CMeshManager::GetMesh(const std::string& name)
{
    auto found = m_meshes.find(name);
    if (found != m_meshes.end())
        return found->second.info;

    SEntry entry;
    std::string problem;
    entry.owned = Load(name, problem);
    entry.info = entry.owned.get();
    if (!entry.info)
    {
        // Said once: the name keeps standing for what is drawn in its place.
        entry.info = name == kInvalidMeshName ? nullptr : GetMesh(kInvalidMeshName);
        DORVO_LOG("CMeshManager::Load: %s; %s", problem.c_str(),
                  entry.info ? "\"Invalid.x\" is drawn in its place" : "nothing is drawn");
    }
    return m_meshes.emplace(name, std::move(entry)).first->second.info;
}

std::unique_ptr<CMeshManager::SMeshInfo> CMeshManager::Load(const std::string& name, std::string& problem)
{
    const std::string path = GetMeshFolder() + name;
    if (!plat::IsConfinedName(name))
    {
        problem = GetMeshFolder() + name.substr(0, 64) + (name.size() > 64 ? "..." : "") +
                  ": the name leaves the mesh folder";
        return nullptr;
    }
    std::unique_ptr<SMeshInfo> info = m_pParser->LoadMesh(path);
    if (!info)
    {
        problem = m_pParser->GetError();
        return nullptr;
    }
    CMeshHierarchy& hierarchy = *info->hierarchy;
    hierarchy.ApplySkinWeights();
    const bool onDevice = hierarchy.MergeBuffers();
    if (hierarchy.GetBuffers().indices.empty())
    {
        problem = path + ": no triangles to draw";
        return nullptr;
    }
    if (!onDevice)
        DORVO_LOG("CMeshManager::Load: %s: the mesh could not be put on the device; it is drawn once the "
                  "device is reset",
                  path.c_str());
    hierarchy.GetDeviceBuffers().geometryId = CGFXCore::NewGeometryId();
    hierarchy.GetShadowDeviceBuffers().geometryId = CGFXCore::NewGeometryId();
    if (info->controller)
        info->controller->SetSolver(std::make_unique<CAniInterpolator>());
    return info;
}

void CMeshManager::OnLostDevice()
{
    for (auto& entry : m_meshes)
        if (entry.second.owned)
            entry.second.owned->hierarchy->OnLostDevice();
}

void CMeshManager::OnResetDevice()
{
    for (auto& entry : m_meshes)
        if (entry.second.owned && !entry.second.owned->hierarchy->OnResetDevice())
            DORVO_LOG("CMeshManager::OnResetDevice: %s%s: the mesh could not be put back on the device; it "
                      "is drawn once the device is reset again",
                      GetMeshFolder().c_str(), entry.first.c_str());
}

void CMeshManager::Release()
{
    m_meshes.clear();
}

std::size_t CMeshManager::GetMeshCount() const
{
    std::size_t owned = 0;
    for (const auto& entry : m_meshes)
        owned += entry.second.owned ? 1 : 0;
    return owned;
}
} // namespace gfx
} // namespace dorvo
