// The mesh cache: every unit that draws a mesh asks for it by file name, the first request reads
// the .X file from the mesh folder and later ones get the same record. A file that cannot be
// read is said so once, in one line naming it and the problem, and its name then stands for the
// "Invalid.x" mesh (not a second copy of it). The cache keeps the meshes' device copies through
// device loss and reset. It owns every record it loaded; callers only look.
#pragma once

#include <map>
#include <memory>
#include <string>

namespace dorvo
{
namespace gfx
{
class CAnimationController;
class CMeshHierarchy;
class CXFileParser;

// The stand-in for a mesh that cannot be read.
constexpr char kInvalidMeshName[] = "Invalid.x";

// The folder every mesh name is read from (with its separator), one for the whole program; set
// at graphics start-up from the engine configuration's "MeshRelativePath". Empty until then.
void SetMeshFolder(const std::string& folder);
const std::string& GetMeshFolder();

class CMeshManager
{
public:
    // One loaded mesh: its hierarchy, and its animation sets when the file has any.
    struct SMeshInfo
    {
        SMeshInfo();
        virtual ~SMeshInfo();

        std::unique_ptr<CMeshHierarchy> hierarchy;
        std::unique_ptr<CAnimationController> controller; // null without animation sets
    };

    // The one cache of the program, made on first use.
    static CMeshManager& Instance();

    CMeshManager();
    virtual ~CMeshManager();

    CMeshManager(const CMeshManager&) = delete;
    CMeshManager& operator=(const CMeshManager&) = delete;

    // The mesh of that file (a name relative to the mesh folder), read on the first request. A
    // file that cannot be read gives the "Invalid.x" record; null only when that cannot be read
    // either (the unit then draws nothing).
    SMeshInfo* GetMesh(const std::string& name);

    // Around a device reset: every mesh lets go of its device copies, then makes and fills them
    // again from the arrays it keeps.
    void OnLostDevice();
    void OnResetDevice();

    // Destroys every record and forgets every name (the facade's release; also between tests).
    void Release();

    // Records the cache owns (a name that stands for "Invalid.x" owns none).
    std::size_t GetMeshCount() const;
    // Whether the name has been asked for (read, or reported and standing for "Invalid.x").
    bool IsKnown(const std::string& name) const { return m_meshes.count(name) != 0; }

private:
    struct SEntry
    {
        std::unique_ptr<SMeshInfo> owned; // null for a name that stands for another record
        SMeshInfo* info = nullptr;        // what the name gives
    };

    // The record of the file, merged and on the device; null with the problem as one line.
    std::unique_ptr<SMeshInfo> Load(const std::string& name, std::string& problem);

    std::map<std::string, SEntry> m_meshes;
    std::unique_ptr<CXFileParser> m_pParser;
};
} // namespace gfx
} // namespace dorvo
