// Turns a .X file (text, binary or compressed) into a mesh record: its frames into a bone tree,
// its meshes into the bones' vertex and index arrays (faces of more than three corners as fans),
// its texture coordinates, duplication indices (the shadow set), skin weights and materials, and
// its animation sets into an animation controller. The file is read by the platform's .X reader,
// which has checked every count and index inside each object; this checks what joins objects (a
// duplication or skin-weight object against the Mesh it is applied to, written in it or reached
// through a reference, an animation's later key objects against its first) and what one file may
// hold, since 16-bit indices reach 65,536 vertices; positions (in model space for the first Mesh)
// and texture coordinates must lie within the program's range for sound values (+-1,000,000), so
// normals and tangent frames come out finite. Any breach refuses the file. Texture coordinates,
// duplication indices and skin weights apply to the Mesh they are written in or referenced from;
// written anywhere else they wait to be referenced and do nothing. A texture-coordinate or
// duplication list shorter than its Mesh fills the vertices it lists (the others keep (0, 0) and
// are their own originals).
#pragma once

#include "engine/gfx/mesh/CMeshManager.h"

#include <memory>
#include <string>

namespace dorvo
{
namespace gfx
{
class CXFileParser
{
public:
    // What one file may hold.
    static constexpr unsigned kMaxVertices = 65536;   // all its Mesh objects together
    static constexpr unsigned kMaxTriangles = 262144; // after fan triangulation
    static constexpr unsigned kMaxFrames = 65536;
    static constexpr unsigned kMaxAnimationKeys = 1000000;
    static constexpr unsigned kMaxSkinWeights = 1000000; // vertex and weight pairs

    CXFileParser() = default;
    virtual ~CXFileParser() = default;

    // A new record of the file at the path (the mesh folder's path, through the path helper):
    // the bones numbered in file order, the top-level frames under no parent with the last one
    // as the root, the first Mesh's positions moved into model space, the skin weights filed
    // but not yet applied, the meshes not yet merged, and a controller only when the file has
    // animation sets. Null when the file cannot be read or breaks a rule; GetError() then is one
    // line, "path:line: reason" (the line left out when the file as a whole is at fault).
    // Problems the mesh survives are said as they are met, one line each, and reading goes on:
    // a SkinWeights naming no frame (its weights are left out), a second Frame or AnimationSet
    // of one name (lookups find the first), texture coordinates or duplication indices for more
    // vertices than their Mesh has (the extra ones are left out). Places are lines, or byte
    // offsets in a binary file.
    std::unique_ptr<CMeshManager::SMeshInfo> LoadMesh(const std::string& path);
    const std::string& GetError() const { return m_error; }

    // Frames and Mesh objects met in the last file.
    unsigned GetBoneCounter() const { return m_boneCounter; }
    unsigned GetMeshCounter() const { return m_meshCounter; }

    // "No Name " and the next number of the one counter the whole program shares, for objects
    // that need a name and have none.
    static std::string NextUnnamedName();

private:
    class Load;

    unsigned m_boneCounter = 0;
    unsigned m_meshCounter = 0;
    std::string m_error;
};
} // namespace gfx
} // namespace dorvo
