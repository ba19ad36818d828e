// The engine's animation solver: once a frame it poses a bound controller's hierarchy from the
// current animation's keys, writes the matrix palette (one matrix per bone, by bone index) and
// moves the vertices it poses. Keys are taken as evenly spaced over each track's time range and
// blended linearly; the interpolator keeps its time, in ticks, between frames. Cloned into every
// copy of a controller, so each unit plays its own time.
#pragma once

#include "common/math/Matrix4.h"
#include "common/math/VQS.h"
#include "engine/gfx/mesh/ACAnimationSolver.h"

#include <vector>

namespace dorvo
{
namespace gfx
{
class CBone;
class CBoneAnimation;

class CAniInterpolator : public ACAnimationSolver
{
public:
    // What a solve does, chosen at its start.
    enum EMode : unsigned
    {
        kRestart = 0, // time back to 0, the current animation evaluated
        kBlend = 1,   // current and next animation with blending asked for: time runs, nothing evaluated
        kPlay = 2,    // time advanced by the tick rate, the current animation evaluated
        kBindPose = 3 // no animation: the bind pose
    };

    CAniInterpolator() = default;
    ~CAniInterpolator() override = default;
    CAniInterpolator* Clone() const override;
    void Solve(SAnimationSolverState& state, SAnimationSolverOutput& output, float elapsedSeconds) override;

    unsigned GetMode() const { return m_mode; }
    float GetTime() const { return m_time; } // ticks
    void SetTime(float ticks) { m_time = ticks; }
    bool GetBlend() const { return m_blend; }
    void SetBlend(bool blend) { m_blend = blend; }

    // The blend of two keys' values at weight w (0 gives a, 1 gives b). Rotations are blended on
    // the same side of the sphere (b is negated when the two point apart) and normalised; a blend
    // that cancels out gives the identity.
    static math::VQS Blend(const math::VQS& a, const math::VQS& b, float w);
    // Scale, then rotation, then translation (row vectors).
    static math::Matrix4 ToMatrix(const math::VQS& value);
    // The time brought into a track's range: clamped when the animation does not loop, else
    // wrapped (past the end it goes on from the start). A range that is empty or ends at or
    // before 0 is not wrapped: its time is left as it is.
    static float WrapTime(float time, float start, float end, bool loop);
    // The track's value at a time inside its range. A track with one key, or with its keys all
    // at one time, shows its first key; a track without keys gives the default value.
    static math::VQS Evaluate(const CBoneAnimation& track, float time);

private:
    void BindPass(const CBone* bone, SAnimationSolverOutput& output) const;
    void EvaluateCurrent(const SAnimationSolverState& state, SAnimationSolverOutput& output);
    void HierarchyPass(const CBone* bone, const SAnimationSolverState& state, SAnimationSolverOutput& output);
    void SkinningPass(const SAnimationSolverState& state, SAnimationSolverOutput& output) const;

    bool m_blend = false;
    unsigned m_mode = kBindPose;
    float m_time = 0.0f;   // ticks
    math::Matrix4 m_world; // the running world matrix of the hierarchy walk
    std::vector<math::Matrix4> m_stack;
};
} // namespace gfx
} // namespace dorvo
