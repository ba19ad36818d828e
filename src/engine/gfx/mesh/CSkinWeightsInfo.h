// One SkinWeights object of a loaded mesh: the bone that moves some of a skinned mesh's
// vertices, each vertex with its weight, and the bone's offset matrix. The indices address the
// vertices of the mesh bone the object was read under (meshBone, an observer).
#pragma once

#include "common/math/Matrix4.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dorvo
{
namespace gfx
{
class CBone;

class CSkinWeightsInfo
{
public:
    CSkinWeightsInfo() = default;
    virtual ~CSkinWeightsInfo() = default;

    unsigned GetWeightCount() const { return static_cast<unsigned>(vertexIndices.size()); }

    std::string boneName = "Invalid Bone Name"; // the influencing bone
    std::vector<std::uint32_t> vertexIndices;   // into meshBone's vertices
    std::vector<float> weights;                 // one for each vertex index
    math::Matrix4 offset;                       // model space to the influencing bone's space
    CBone* meshBone = nullptr;                  // whose mesh the indices address
};
} // namespace gfx
} // namespace dorvo
