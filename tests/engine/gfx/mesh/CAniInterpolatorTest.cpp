// Playing animations: the interpolator's modes, its time, the evaluation and blending of keys,
// the palette and the posed vertices, on the hand-written two-bone strip and the game's arm.
#include "engine/gfx/mesh/CAniInterpolator.h"

#include "MeshTestWorld.h"
#include "engine/gfx/mesh/CAnimation.h"
#include "engine/gfx/mesh/CAnimationController.h"
#include "engine/gfx/mesh/CBone.h"
#include "engine/gfx/mesh/CMeshHierarchy.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

using dorvo::gfx::CAniInterpolator;
using dorvo::gfx::CAnimation;
using dorvo::gfx::CAnimationController;
using dorvo::gfx::CBoneAnimation;
using dorvo::gfx::CMeshManager;
using dorvo::gfx::GfxRenderBuffers;

namespace
{
math::VQS Turn(float angle, float x = 0.0f)
{
    // About z.
    return math::VQS(math::Vector3(x, 0.0f, 0.0f),
                     math::CQuaternion(std::cos(angle / 2), 0.0f, 0.0f, std::sin(angle / 2)), 1.0f);
}

CBoneAnimation Track(std::vector<float> times, std::vector<float> xs)
{
    CBoneAnimation track;
    track.boneName = "B";
    for (std::size_t i = 0; i < times.size(); ++i)
        track.keys.emplace_back(
            times[i], math::VQS(math::Vector3(xs[i], 0.0f, 0.0f), math::CQuaternion(1, 0, 0, 0), 1.0f));
    track.startTime = times.empty() ? 0.0f : *std::min_element(times.begin(), times.end());
    track.endTime = times.empty() ? 1.0f : *std::max_element(times.begin(), times.end());
    return track;
}

class Animated : public gfxtest::MeshWorld
{
protected:
    void SetUp() override
    {
        gfxtest::MeshWorld::SetUp();
        std::filesystem::copy_file(testsupport::RepoPath("data/meshes/Arm.x"),
                                   std::string(kMeshFolder) + "Arm.x");
    }

    // The mesh's controller copied, bound and posing its own copy of the merged vertices, as a
    // unit plays it.
    void Play(const std::string& mesh)
    {
        info = Get(mesh);
        ASSERT_TRUE(info && info->controller) << mesh;
        controller = std::make_unique<CAnimationController>(*info->controller);
        posed = info->hierarchy->GetBuffers();
        controller->BindToHierarchy(info->hierarchy.get());
        controller->SetOutputVertices(&posed);
    }

    CAniInterpolator& Solver() { return *static_cast<CAniInterpolator*>(controller->GetSolver()); }

    std::vector<math::Vector3> Positions() const
    {
        std::vector<math::Vector3> out;
        for (const auto& vertex : posed.vertices)
            out.emplace_back(vertex.position[0], vertex.position[1], vertex.position[2]);
        return out;
    }

    static float Farthest(const std::vector<math::Vector3>& a, const std::vector<math::Vector3>& b)
    {
        float most = 0.0f;
        for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
            most = std::max(most, (a[i] - b[i]).Length());
        return most;
    }

    CMeshManager::SMeshInfo* info = nullptr;
    std::unique_ptr<CAnimationController> controller;
    GfxRenderBuffers posed;
};
} // namespace

// Every loaded controller gets an interpolator; each copy plays on a clone with a time of its own.
TEST_F(Animated, LoadedControllersSolveWithTheirOwnInterpolator)
{
    Play("SkinnedTwoBones.x");
    ASSERT_NE(dynamic_cast<CAniInterpolator*>(info->controller->GetSolver()), nullptr);
    ASSERT_NE(controller->GetSolver(), info->controller->GetSolver());
    ASSERT_TRUE(controller->SetAnimation("Wave"));
    controller->Update(0.0f);
    controller->Update(0.1f);
    EXPECT_FLOAT_EQ(Solver().GetTime(), 480.0f);
    EXPECT_FLOAT_EQ(static_cast<CAniInterpolator*>(info->controller->GetSolver())->GetTime(), 0.0f);
}

// Bind pose, then the first update after an animation is chosen starts it at time 0, later ones
// advance it; an unknown name changes nothing.
TEST_F(Animated, ModesRunBindPoseThenRestartThenPlay)
{
    Play("SkinnedTwoBones.x");
    controller->Update(0.1f);
    EXPECT_EQ(Solver().GetMode(), CAniInterpolator::kBindPose);
    EXPECT_FLOAT_EQ(Solver().GetTime(), 0.0f);

    EXPECT_FALSE(controller->SetAnimation("Nope"));
    EXPECT_EQ(controller->GetState().current, nullptr);
    EXPECT_FALSE(controller->GetState().restart);

    ASSERT_TRUE(controller->SetAnimation("Wave"));
    EXPECT_EQ(controller->GetState().current, controller->GetAnimation("Wave"));
    EXPECT_EQ(controller->GetState().next, nullptr);
    Solver().SetTime(50.0f);
    controller->Update(0.1f);
    EXPECT_EQ(Solver().GetMode(), CAniInterpolator::kRestart);
    EXPECT_FLOAT_EQ(Solver().GetTime(), 0.0f);
    controller->Update(0.1f);
    EXPECT_EQ(Solver().GetMode(), CAniInterpolator::kPlay);
    EXPECT_FLOAT_EQ(Solver().GetTime(), 480.0f);
    EXPECT_FALSE(controller->GetState().restart);
}

// In the bind pose a bone's palette matrix is its offset times its world matrix (identity here,
// as the offsets undo the bones' places), so vertices stay where they were loaded; a vertex
// whose four weights sum to 0.95 is drawn at 0.95 of its place: nothing renormalises.
TEST_F(Animated, BindPoseKeepsPositionsAndWeightsAreNotRenormalised)
{
    Play("SkinnedTwoBones.x");
    const std::vector<math::Vector3> loaded = Positions();
    for (int frame = 0; frame < 3; ++frame)
        controller->Update(1.0f / 30.0f);
    ASSERT_EQ(controller->GetOutput().paletteLength, info->hierarchy->GetBoneCount());
    for (unsigned i = 0; i < controller->GetOutput().paletteLength; ++i)
        for (int e = 0; e < 16; ++e)
            EXPECT_NEAR(controller->GetOutput().palette[i].m[e], math::Matrix4().m[e], 1e-6f)
                << i << " " << e;
    const std::vector<math::Vector3> now = Positions();
    const auto& vertices = info->hierarchy->GetBuffers().vertices;
    for (std::size_t v = 0; v < now.size(); ++v)
    {
        SCOPED_TRACE(v);
        float sum = 0.0f;
        for (int k = 0; k < vertices[v].influenceCount; ++k)
            sum += vertices[v].weights[k];
        const float expected = vertices[v].influenceCount > 0 ? sum : 1.0f;
        EXPECT_NEAR(now[v].x, loaded[v].x * expected, 1e-5f);
        EXPECT_NEAR(now[v].y, loaded[v].y * expected, 1e-5f);
    }
    EXPECT_EQ(vertices[2].influenceCount, 4);
    EXPECT_NEAR(now[2].y, loaded[2].y * 0.95f, 1e-5f);
}

// The arm bends within a quarter loop and is back where it started after each full loop, however
// many: every pose starts from the bind positions, never from the last pose.
TEST_F(Animated, ArmComesBackAfterEveryLoopWithoutDrift)
{
    Play("Arm.x");
    ASSERT_TRUE(controller->SetAnimation("Bend"));
    controller->Update(0.0f);
    const std::vector<math::Vector3> first = Positions();
    const int framesPerLoop = 60; // two seconds at 30 a second
    for (int frame = 0; frame < framesPerLoop / 4; ++frame)
        controller->Update(1.0f / 30.0f);
    EXPECT_GT(Farthest(Positions(), first), 0.1f) << "the arm moves";
    for (int frame = framesPerLoop / 4; frame < framesPerLoop; ++frame)
        controller->Update(1.0f / 30.0f);
    EXPECT_LT(Farthest(Positions(), first), 1e-4f) << "one loop";
    for (int frame = 0; frame < 4 * framesPerLoop; ++frame)
        controller->Update(1.0f / 30.0f);
    EXPECT_LT(Farthest(Positions(), first), 1e-4f) << "five loops";
}

// A hierarchy with a name twice gets one palette matrix per bone, not per name.
TEST_F(Animated, PaletteHasOneMatrixPerBoneMade)
{
    std::string said;
    CMeshManager::SMeshInfo* twins = Get("TwinFrames.x", &said);
    ASSERT_NE(twins, nullptr);
    CAnimationController bound;
    bound.BindToHierarchy(twins->hierarchy.get());
    EXPECT_EQ(bound.GetOutput().paletteLength, twins->hierarchy->GetBoneCount());
    EXPECT_GT(twins->hierarchy->GetBoneCount(), twins->hierarchy->GetBoneMap().size());
    EXPECT_EQ(bound.GetOutput().palette, bound.GetPalette().data());
    bound.BindToHierarchy(nullptr);
    EXPECT_EQ(bound.GetOutput().paletteLength, 0u);
    EXPECT_EQ(bound.GetOutput().palette, nullptr);
}

// The time of a track: clamped without looping, wrapped with it; the ranges that could never be
// wrapped into are left alone instead of looping for ever.
TEST(AniInterpolatorTime, WrapsClampsAndNeverLoopsForever)
{
    struct Case
    {
        const char* what;
        float time, start, end;
        bool loop;
        float expected;
    };
    const Case cases[] = {
        {"inside", 5.0f, 0.0f, 10.0f, true, 5.0f},
        {"end + 1 from a start of 0", 11.0f, 0.0f, 10.0f, true, 1.0f},
        {"three loops on", 31.0f, 0.0f, 10.0f, true, 1.0f},
        {"exactly two ends", 20.0f, 0.0f, 10.0f, true, 10.0f},
        {"before a later start", 3.0f, 4.0f, 10.0f, true, 9.0f},
        {"past the end, then before the start", 12.0f, 4.0f, 10.0f, true, 8.0f},
        {"far past the end", 1.0e9f, 0.0f, 10.0f, true,
         std::fmod(1.0e9f, 10.0f) == 0 ? 10.0f : std::fmod(1.0e9f, 10.0f)},
        {"clamped past the end", 12.0f, 0.0f, 10.0f, false, 10.0f},
        {"clamped before the start", 1.0f, 4.0f, 10.0f, false, 4.0f},
        {"looping, end 0", 5.0f, 0.0f, 0.0f, true, 5.0f},
        {"looping, end below 0", 5.0f, -3.0f, -1.0f, true, 5.0f},
        {"looping, start = end", 2.0f, 4.0f, 4.0f, true, 2.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        EXPECT_FLOAT_EQ(CAniInterpolator::WrapTime(c.time, c.start, c.end, c.loop), c.expected);
    }
}

// Keys as evenly spaced values over the track's range, and the tracks that would divide by zero.
TEST(AniInterpolatorKeys, EvaluatesEvenlySpacedKeysAndDegenerateTracks)
{
    struct Case
    {
        const char* what;
        CBoneAnimation track;
        float time;
        float expectedX;
    };
    const Case cases[] = {
        {"first key", Track({0, 10, 20}, {0, 4, 8}), 0.0f, 0.0f},
        {"between keys", Track({0, 10, 20}, {0, 4, 8}), 15.0f, 6.0f},
        {"last key", Track({0, 10, 20}, {0, 4, 8}), 20.0f, 8.0f},
        {"key times are not read", Track({0, 2, 20}, {0, 4, 8}), 10.0f, 4.0f},
        {"one key", Track({7}, {3}), 9.0f, 3.0f},
        {"start = end", Track({5, 5, 5}, {1, 2, 3}), 5.0f, 1.0f},
        {"no keys", Track({}, {}), 3.0f, 0.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        const math::VQS value = CAniInterpolator::Evaluate(c.track, c.time);
        EXPECT_FLOAT_EQ(value.translation.x, c.expectedX);
        EXPECT_TRUE(std::isfinite(value.rotation.w));
    }
}

// Rotations are blended on one side of the sphere: q and -q halfway is q, not a zero quaternion;
// a blend that cancels out is the identity.
TEST(AniInterpolatorKeys, BlendKeepsRotationsOnOneSide)
{
    const math::VQS a = Turn(0.5f);
    math::VQS negated = a;
    negated.rotation = a.rotation * -1.0f;
    const math::VQS half = CAniInterpolator::Blend(a, negated, 0.5f);
    EXPECT_NEAR(half.rotation.w, a.rotation.w, 1e-6f);
    EXPECT_NEAR(half.rotation.v.z, a.rotation.v.z, 1e-6f);

    const math::VQS quarter = CAniInterpolator::Blend(Turn(0.0f, 0.0f), Turn(1.0f, 4.0f), 0.25f);
    EXPECT_FLOAT_EQ(quarter.translation.x, 1.0f);
    const float norm =
        std::sqrt(quarter.rotation.w * quarter.rotation.w + quarter.rotation.v.LengthSquared());
    EXPECT_NEAR(norm, 1.0f, 1e-6f);

    math::VQS zero;
    zero.rotation = math::CQuaternion(0, 0, 0, 0);
    const math::VQS none = CAniInterpolator::Blend(zero, zero, 0.5f);
    EXPECT_FLOAT_EQ(none.rotation.w, 1.0f);
    EXPECT_FLOAT_EQ(none.rotation.v.LengthSquared(), 0.0f);
}

// Scale, then rotation, then translation, as row vectors: (1, 0, 0) scaled by 2, turned a quarter
// about z and moved by (5, 0, 0) lands on (5, 2, 0).
TEST(AniInterpolatorKeys, MatrixScalesTurnsThenMoves)
{
    math::VQS value = Turn(static_cast<float>(M_PI / 2), 5.0f);
    value.scale = 2.0f;
    const math::Vector3 moved = CAniInterpolator::ToMatrix(value).TransformPoint(math::Vector3(1, 0, 0));
    EXPECT_NEAR(moved.x, 5.0f, 1e-5f);
    EXPECT_NEAR(moved.y, 2.0f, 1e-5f);
    EXPECT_NEAR(moved.z, 0.0f, 1e-5f);
}

// Two tracks share the interpolator's time: the later-starting track wraps what the first left,
// and a clamped animation past its end holds its last key with the time kept at the end.
TEST_F(Animated, TracksShareOneTimeAndClampedAnimationsHoldTheirLastKey)
{
    Play("SkinnedTwoBones.x");
    CAnimation& wave = *controller->GetAnimation("Wave");
    ASSERT_EQ(wave.tracks.size(), 2u);
    ASSERT_TRUE(controller->SetAnimation("Wave"));
    controller->Update(0.0f);

    wave.loop = false;
    const float end = std::max(wave.tracks[0].endTime, wave.tracks[1].endTime);
    Solver().SetTime(end + 1000.0f);
    controller->Update(0.0f);
    EXPECT_FLOAT_EQ(Solver().GetTime(), std::min(wave.tracks[0].endTime, wave.tracks[1].endTime));

    // A second track that starts later than the time the first leaves wraps it.
    wave.loop = true;
    wave.tracks[1].startTime = wave.tracks[0].endTime / 2;
    wave.tracks[1].endTime = wave.tracks[0].endTime;
    Solver().SetTime(wave.tracks[0].endTime / 4);
    controller->Update(0.0f);
    EXPECT_FLOAT_EQ(Solver().GetTime(), wave.tracks[0].endTime * 0.75f);
}
