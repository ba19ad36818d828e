// What turns a controller's current animation into a matrix palette and posed vertices each
// frame, exchangeable behind this interface, and the two records a controller hands it: what to
// solve (the bone hierarchy, the animations, the tick rate) and where the results go (the
// vertices to pose and the palette). The records point at what others own.
#pragma once

#include "common/ICloneable.h"
#include "common/math/Matrix4.h"

#include <cstdint>

namespace dorvo
{
namespace gfx
{
class CAnimation;
class CMeshHierarchy;
struct GfxRenderBuffers;

struct SAnimationSolverState
{
    CMeshHierarchy* hierarchy = nullptr;
    CAnimation* current = nullptr;
    CAnimation* next = nullptr;
    bool restart = true;        // set until the first update
    std::uint32_t tickRate = 0; // ticks a second
};

struct SAnimationSolverOutput
{
    GfxRenderBuffers* vertices = nullptr; // the vertex arrays to pose
    math::Matrix4* palette = nullptr;     // one matrix for each bone, by the bone's index
    unsigned paletteLength = 0;
};

class ACAnimationSolver : public common::ICloneable
{
public:
    ~ACAnimationSolver() override = default;
    ACAnimationSolver* Clone() const override = 0;
    virtual void Solve(SAnimationSolverState& state, SAnimationSolverOutput& output,
                       float elapsedSeconds) = 0;
};
} // namespace gfx
} // namespace dorvo
