// One frame of a loaded mesh: its name, its place in the bone tree, its local and offset
// matrices, the slot of its matrix in an animation palette, and the part of the merged vertex
// and index arrays that came from its own meshes. While the file is read the bone holds those
// meshes itself; merging moves them into the hierarchy. The hierarchy owns every bone; the tree
// links are observers.
#pragma once

#include "common/math/Matrix4.h"
#include "engine/gfx/core/GfxRenderBuffers.h"
#include "engine/gfx/core/SVRenderBuffers.h"

#include <string>

namespace dorvo
{
namespace gfx
{
class CBone
{
public:
    CBone() = default;
    virtual ~CBone() = default;

    CBone(const CBone&) = delete;
    CBone& operator=(const CBone&) = delete;

    std::string name = "No Name Bone";
    // Its own vertices and indices in the merged arrays, first to last; last = first - 1 when
    // it has none (the default 0 and -1).
    int firstVertex = 0;
    int lastVertex = -1;
    int firstIndex = 0;
    int lastIndex = -1;
    // Its meshes while the file is read (emptied by the merge, kept by a skinned bone).
    GfxRenderBuffers mesh;
    SVRenderBuffers shadow;
    math::Matrix4 local;  // the frame's transform relative to its parent
    math::Matrix4 offset; // from model space to the bone's space, for skinning
    CBone* firstChild = nullptr;
    CBone* nextSibling = nullptr;
    CBone* parent = nullptr; // null for a top-level bone
    unsigned index = 0;      // its palette slot: the frames of a file are numbered in file order
    bool skinned = false;    // its mesh carries skin weights
    bool meshFrame = false;  // it holds the file's first mesh, whose positions are in model space
};
} // namespace gfx
} // namespace dorvo
