#include "engine/gfx/mesh/CAniInterpolator.h"

#include "engine/gfx/core/GfxRenderBuffers.h"
#include "engine/gfx/mesh/CAnimation.h"
#include "engine/gfx/mesh/CBone.h"
#include "engine/gfx/mesh/CMeshHierarchy.h"

#include <algorithm>
#include <cmath>

namespace dorvo
{
namespace gfx
{
namespace
{
math::Vector3 PositionOf(const SUnitVertex& vertex)
{
    return math::Vector3(vertex.position[0], vertex.position[1], vertex.position[2]);
}

void SetPosition(SUnitVertex& vertex, const math::Vector3& position)
{
    vertex.position[0] = position.x;
    vertex.position[1] = position.y;
    vertex.position[2] = position.z;
}
} // namespace

CAniInterpolator* CAniInterpolator::Clone() const
{
    auto* copy = new CAniInterpolator();
    copy->m_blend = m_blend;
    copy->m_mode = m_mode;
    copy->m_time = m_time;
    copy->m_world = m_world;
    return copy;
}

math::VQS CAniInterpolator::Blend(const math::VQS& a, const math::VQS& b, float w)
{
    const float keep = 1.0f - w;
    math::VQS result;
    result.translation = a.translation * keep + b.translation * w;
    // q and -q are one rotation: blending across them would pass through zero.
    math::CQuaternion other = b.rotation;
    const float dot = a.rotation.w * other.w + a.rotation.v.Dot(other.v);
    if (dot < 0.0f)
        other = other * -1.0f;
    result.rotation = a.rotation * keep + other * w;
    const float normSquared = result.rotation.w * result.rotation.w + result.rotation.v.LengthSquared();
    if (normSquared > 0.0f && std::isfinite(normSquared))
        result.rotation.Normalize();
    else
        result.rotation.SetIdentity();
    result.scale = a.scale * keep + b.scale * w;
    return result;
}

math::Matrix4 CAniInterpolator::ToMatrix(const math::VQS& value)
{
    const float w = value.rotation.w;
    const float x = value.rotation.v.x;
    const float y = value.rotation.v.y;
    const float z = value.rotation.v.z;
    const float s = value.scale;
    const math::Vector3& t = value.translation;
    return math::Matrix4(
        s * (1.0f - 2.0f * (y * y + z * z)), s * 2.0f * (x * y + w * z), s * 2.0f * (x * z - w * y),
        0.0f, //
        s * 2.0f * (x * y - w * z), s * (1.0f - 2.0f * (x * x + z * z)), s * 2.0f * (y * z + w * x),
        0.0f, //
        s * 2.0f * (x * z + w * y), s * 2.0f * (y * z - w * x), s * (1.0f - 2.0f * (x * x + y * y)),
        0.0f, //
        t.x, t.y, t.z, 1.0f);
}

float CAniInterpolator::WrapTime(float time, float start, float end, bool loop)
{
    if (!std::isfinite(time))
        return start;
    if (!loop)
        return std::max(start, std::min(time, end));
    // A range that is empty, or ends at or before 0, would never bring the time into it.
    if (!(end > 0.0f) || !(end > start))
        return time;
    if (time > end)
    {
        // Past the end, the end is taken off until the time is no later than it.
        time = std::fmod(time, end);
        if (time <= 0.0f)
            time = end;
    }
    if (time < start)
    {
        // Before the start, the time goes on from the end by what it lacks.
        const float span = end - start;
        time += std::ceil((start - time) / span) * span;
        time = std::min(std::max(time, start), end);
    }
    return time;
}

math::VQS CAniInterpolator::Evaluate(const CBoneAnimation& track, float time)
{
    if (track.keys.empty())
        return math::VQS();
    const float start = track.startTime;
    const float end = track.endTime;
    if (track.keys.size() == 1 || !(end > start))
        return track.keys.front().value;
    const double scaled = (static_cast<double>(time) - start) / (static_cast<double>(end) - start);
    const float u = std::max(0.0f, std::min(static_cast<float>(scaled), 1.0f));
    const std::size_t last = track.keys.size() - 1;
    const float f = static_cast<float>(last) * u;
    const std::size_t i0 = std::min(static_cast<std::size_t>(f), last);
    const std::size_t i1 = std::min(static_cast<std::size_t>(std::ceil(f)), last);
    return Blend(track.keys[i0].value, track.keys[i1].value, f - static_cast<float>(i0));
}

void CAniInterpolator::Solve(SAnimationSolverState& state, SAnimationSolverOutput& output,
                             float elapsedSeconds)
{
    // 1. The mode.
    if (!state.current && !state.next)
        m_mode = kBindPose;
    else if (!state.restart)
        m_mode = kPlay;
    else if (!state.next || !m_blend)
        m_mode = kRestart;
    else
        m_mode = kBlend;

    // 2 and 3. The bind pose into the palette.
    m_world.SetIdentity();
    m_stack.clear();
    const CBone* root = state.hierarchy ? state.hierarchy->GetRoot() : nullptr;
    BindPass(root, output);

    // 4. The time.
    if (m_mode == kRestart)
        m_time = 0.0f;
    else if (m_mode == kBlend || m_mode == kPlay)
        m_time += static_cast<float>(state.tickRate) * elapsedSeconds;

    // 5. The current animation over the bind pose.
    if ((m_mode == kRestart || m_mode == kPlay) && state.current)
        EvaluateCurrent(state, output);

    // 6 and 7.
    HierarchyPass(root, state, output);
    m_stack.clear();
    SkinningPass(state, output);
}

void CAniInterpolator::BindPass(const CBone* bone, SAnimationSolverOutput& output) const
{
    for (; bone; bone = bone->nextSibling)
    {
        if (bone->index < output.paletteLength)
            output.palette[bone->index] = bone->local;
        BindPass(bone->firstChild, output);
    }
}

void CAniInterpolator::EvaluateCurrent(const SAnimationSolverState& state, SAnimationSolverOutput& output)
{
    if (!state.hierarchy)
        return;
    const CAnimation& animation = *state.current;
    for (const CBoneAnimation& track : animation.tracks)
    {
        const CBone* bone = state.hierarchy->GetBone(track.boneName);
        if (!bone)
            continue;
        m_time = WrapTime(m_time, track.startTime, track.endTime, animation.loop);
        if (bone->index < output.paletteLength)
            output.palette[bone->index] = ToMatrix(Evaluate(track, m_time));
    }
}

void CAniInterpolator::HierarchyPass(const CBone* bone, const SAnimationSolverState& state,
                                     SAnimationSolverOutput& output)
{
    const GfxRenderBuffers* merged = state.hierarchy ? &state.hierarchy->GetBuffers() : nullptr;
    for (; bone; bone = bone->nextSibling)
    {
        const bool inPalette = bone->index < output.paletteLength;
        m_stack.push_back(m_world);
        if (!bone->meshFrame)
        {
            if (inPalette)
            {
                // palette[i] is the bone's local matrix: its world matrix is local, then the parent's.
                m_world = m_world * output.palette[bone->index];
                output.palette[bone->index] = m_world * bone->offset;
            }
            else
                m_world = m_world * bone->local;
            if (output.vertices && merged)
            {
                const long long count = static_cast<long long>(
                    std::min(output.vertices->vertices.size(), merged->vertices.size()));
                const long long first = std::max(0LL, static_cast<long long>(bone->firstVertex));
                const long long last = std::min(count - 1, static_cast<long long>(bone->lastVertex));
                for (long long v = first; v <= last; ++v)
                    SetPosition(
                        output.vertices->vertices[static_cast<std::size_t>(v)],
                        m_world.TransformPoint(PositionOf(merged->vertices[static_cast<std::size_t>(v)])));
            }
        }
        else if (inPalette)
        {
            // Its vertices are in model space already.
            output.palette[bone->index] = bone->offset;
        }
        HierarchyPass(bone->firstChild, state, output);
        m_world = m_stack.back();
        m_stack.pop_back();
    }
}

void CAniInterpolator::SkinningPass(const SAnimationSolverState& state, SAnimationSolverOutput& output) const
{
    if (!output.vertices)
        return;
    std::vector<SUnitVertex>& posed = output.vertices->vertices;
    // From the bind positions the mesh keeps, so no pose builds on the last one.
    const std::vector<SUnitVertex>* bind =
        state.hierarchy ? &state.hierarchy->GetBuffers().vertices : nullptr;
    const std::size_t count = bind ? std::min(posed.size(), bind->size()) : posed.size();
    for (std::size_t v = 0; v < count; ++v)
    {
        const SUnitVertex& source = bind ? (*bind)[v] : posed[v];
        if (source.influenceCount <= 0)
            continue;
        const math::Vector3 position = PositionOf(source);
        const int influences = std::min(source.influenceCount, 4);
        math::Vector3 sum(0.0f, 0.0f, 0.0f);
        for (int k = 0; k < influences; ++k)
            if (source.boneIndices[k] < output.paletteLength)
                sum += output.palette[source.boneIndices[k]].TransformPoint(position) * source.weights[k];
        SetPosition(posed[v], sum);
    }
}
} // namespace gfx
} // namespace dorvo
