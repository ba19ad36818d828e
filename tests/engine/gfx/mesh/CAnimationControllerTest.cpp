// Animation data as the .X loader reads it (keys, tracks, sets, ticks per second) and the
// controller that holds it: adding, copying and clearing.
#include "engine/gfx/mesh/CAnimationController.h"

#include "MeshTestWorld.h"
#include "engine/gfx/mesh/CAnimation.h"
#include "engine/gfx/mesh/CMeshHierarchy.h"

#include <gtest/gtest.h>

#include <cmath>

using dorvo::gfx::ACAnimationSolver;
using dorvo::gfx::CAnimation;
using dorvo::gfx::CAnimationController;
using dorvo::gfx::CBoneAnimation;
using dorvo::gfx::CMeshManager;

namespace
{
class AnimationData : public gfxtest::MeshWorld
{
protected:
    const CAnimationController& Controller(const std::string& name, std::string* said = nullptr)
    {
        static const CAnimationController none;
        CMeshManager::SMeshInfo* info = Get(name, said);
        EXPECT_TRUE(info && info->controller) << name;
        return info && info->controller ? *info->controller : none;
    }
};

std::vector<float> Rotation(const math::VQS& value)
{
    return {value.rotation.w, value.rotation.v.x, value.rotation.v.y, value.rotation.v.z};
}

std::vector<float> Translation(const math::VQS& value)
{
    return {value.translation.x, value.translation.y, value.translation.z};
}

// Counts its copies; what a solver does is not looked at here.
class CountingSolver : public ACAnimationSolver
{
public:
    explicit CountingSolver(int* clones) : m_clones(clones) {}
    CountingSolver* Clone() const override
    {
        ++*m_clones;
        return new CountingSolver(m_clones);
    }
    void Solve(dorvo::gfx::SAnimationSolverState&, dorvo::gfx::SAnimationSolverOutput&, float) override {}

private:
    int* m_clones;
};

std::unique_ptr<CAnimation> Animation(const std::string& name, float keyTime)
{
    auto animation = std::make_unique<CAnimation>();
    animation->name = name;
    CBoneAnimation track;
    track.boneName = "Arm";
    track.keys.emplace_back(keyTime, math::VQS());
    animation->tracks.push_back(track);
    return animation;
}
} // namespace

// The Arm's three AnimationKey objects (rotation, scale, position) fill the same three keys;
// rotations turn the other way and are normalised; a track spans its smallest to largest time.
TEST_F(AnimationData, KeysOfOneTrackAreFilledByEachKeyObject)
{
    const CAnimationController& controller = Controller("SkinnedTwoBones.x");
    EXPECT_EQ(controller.GetTicksPerSecond(), 4800u);
    EXPECT_EQ(controller.GetAnimationNames(), (std::vector<std::string>{"Wave"}));
    const CAnimation& wave = *controller.GetAnimation("Wave");
    EXPECT_TRUE(wave.loop);
    ASSERT_EQ(wave.tracks.size(), 2u);

    const CBoneAnimation& arm = wave.tracks[0];
    EXPECT_EQ(arm.boneName, "Arm");
    ASSERT_EQ(arm.keys.size(), 3u);
    EXPECT_EQ(arm.startTime, 0.0f);
    EXPECT_EQ(arm.endTime, 4800.0f);
    const float times[] = {0, 2400, 4800};
    const float half = std::sqrt(0.5f);
    for (int i = 0; i < 3; ++i)
    {
        SCOPED_TRACE(i);
        const math::VQS& value = arm.keys[i].value;
        EXPECT_EQ(arm.keys[i].time, times[i]);
        EXPECT_EQ(value.scale, i == 1 ? 1.5f : 1.0f);
        EXPECT_EQ(Translation(value), (std::vector<float>{0, i == 1 ? 1.5f : 1.0f, 0}));
    }
    const std::vector<float> turned = Rotation(arm.keys[1].value);
    EXPECT_NEAR(turned[0], half, 1e-6f);
    EXPECT_EQ(turned[1], 0.0f);
    EXPECT_EQ(turned[2], 0.0f);
    EXPECT_NEAR(turned[3], -half, 1e-6f); // (w, -x, -y, -z)
    EXPECT_EQ(Rotation(arm.keys[0].value), (std::vector<float>{1, 0, 0, 0}));

    const CBoneAnimation& root = wave.tracks[1];
    EXPECT_EQ(root.boneName, "Root");
    ASSERT_EQ(root.keys.size(), 1u);
    EXPECT_EQ(root.startTime, 0.0f);
    EXPECT_EQ(root.endTime, 0.0f);
}

TEST_F(AnimationData, KeyValuesByTypeAndWhatIsLeftAlone)
{
    WriteMesh("Keys.x", R"(xof 0303txt 0032
AnimTicksPerSecond { 30; }
Frame Bone { Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; } }
Animation Alone { { Bone } AnimationKey { 2; 1; 5;3;9,9,9;;; } }
AnimationSet Late {
 Animation {
  { Bone }
  AnimationKey { 0; 2; 30;4;2,0,0,0;;, 10;4;0,3,4,0;;; }
  AnimationKey { 4; 2; 50;16;1,0,0,0,0,1,0,0,0,0,1,0,7,7,7,1;;, 20;16;1,0,0,0,0,1,0,0,0,0,1,0,7,7,7,1;;; }
  AnimationKey { 1; 1; 40;3;2,3,4;;; }
 }
 Animation Empty { }
}
AnimationSet Late { Animation { { Bone } AnimationKey { 2; 1; 0;3;1,1,1;;; } } }
)");
    std::string said;
    const CAnimationController& controller = Controller("Keys.x", &said);
    // The second set of one name is said and left out; the first stays.
    EXPECT_EQ(Lines(said), 1) << said;
    EXPECT_NE(said.find("meshes/Keys.x:14: a second AnimationSet named \"Late\""), std::string::npos) << said;
    EXPECT_EQ(controller.GetTicksPerSecond(), 30u);
    ASSERT_EQ(controller.GetAnimationNames(), (std::vector<std::string>{"Late"}));
    const CAnimation& late = *controller.GetAnimation("Late");
    ASSERT_EQ(late.tracks.size(), 2u); // the Animation outside every set is not read

    const CBoneAnimation& track = late.tracks[0];
    ASSERT_EQ(track.keys.size(), 2u);
    // Times come from the last object to write them; matrix keys give their time only; a later
    // object with fewer keys fills the first ones.
    EXPECT_EQ(track.keys[0].time, 40.0f);
    EXPECT_EQ(track.keys[1].time, 20.0f);
    EXPECT_EQ(track.startTime, 20.0f);
    EXPECT_EQ(track.endTime, 40.0f);
    EXPECT_EQ(Rotation(track.keys[0].value), (std::vector<float>{1, 0, 0, 0}));
    EXPECT_EQ(Rotation(track.keys[1].value), (std::vector<float>{0, -0.6f, -0.8f, 0}));
    EXPECT_EQ(track.keys[0].value.scale, 2.0f); // y and z scales are not used
    EXPECT_EQ(track.keys[1].value.scale, 1.0f);
    EXPECT_EQ(Translation(track.keys[0].value), (std::vector<float>{0, 0, 0}));

    const CBoneAnimation& empty = late.tracks[1];
    EXPECT_EQ(empty.boneName, "Invalid Bone Name");
    EXPECT_TRUE(empty.keys.empty());
    EXPECT_EQ(empty.startTime, 0.0f);
    EXPECT_EQ(empty.endTime, 1.0f);
}

// A copy owns copies of everything: the animations, the solver and the palette, with its
// records pointing at its own.
TEST(CAnimationController, ACopyOwnsCopiesOfEverything)
{
    int clones = 0;
    auto original = std::make_unique<CAnimationController>();
    EXPECT_TRUE(original->AddAnimation(Animation("Wave", 10.0f)));
    EXPECT_TRUE(original->AddAnimation(Animation("Bow", 20.0f)));
    EXPECT_FALSE(original->AddAnimation(Animation("Wave", 30.0f)));
    EXPECT_EQ(original->GetAnimation("Wave")->tracks[0].keys[0].time, 10.0f);
    original->SetSolver(std::make_unique<CountingSolver>(&clones));
    original->SetTicksPerSecond(4800);
    original->GetPalette().resize(3);
    original->GetPalette()[2].SetTranslation(math::Vector3(1, 2, 3));
    dorvo::gfx::CMeshHierarchy hierarchy;
    dorvo::gfx::GfxRenderBuffers vertices;
    original->GetState().hierarchy = &hierarchy;
    original->GetState().current = original->GetAnimation("Bow");
    original->GetState().restart = false;
    original->GetOutput().vertices = &vertices;
    original->GetOutput().palette = original->GetPalette().data();
    original->GetOutput().paletteLength = 3;

    CAnimationController copy(*original);
    CAnimationController assigned;
    assigned.AddAnimation(Animation("Old", 1.0f));
    assigned = copy;
    original.reset(); // nothing of the copies may point into it

    for (const CAnimationController* c : {&copy, &assigned})
    {
        EXPECT_EQ(c->GetAnimationNames(), (std::vector<std::string>{"Wave", "Bow"}));
        ASSERT_NE(c->GetAnimation("Bow"), nullptr);
        EXPECT_EQ(c->GetAnimation("Bow")->tracks[0].keys[0].time, 20.0f);
        EXPECT_EQ(c->GetAnimation("Old"), nullptr);
        EXPECT_EQ(c->GetState().current, c->GetAnimation("Bow"));
        EXPECT_EQ(c->GetState().next, nullptr);
        EXPECT_EQ(c->GetState().hierarchy, &hierarchy);
        EXPECT_FALSE(c->GetState().restart);
        EXPECT_EQ(c->GetOutput().vertices, &vertices);
        EXPECT_EQ(c->GetOutput().palette, c->GetPalette().data());
        EXPECT_EQ(c->GetOutput().paletteLength, 3u);
        EXPECT_EQ(c->GetPalette()[2].GetTranslation().z, 3.0f);
        EXPECT_EQ(c->GetTicksPerSecond(), 4800u);
        EXPECT_NE(c->GetSolver(), nullptr);
    }
    EXPECT_EQ(clones, 2);
    EXPECT_NE(copy.GetSolver(), assigned.GetSolver());

    copy.Clear();
    EXPECT_EQ(copy.GetAnimationCount(), 0u);
    EXPECT_TRUE(copy.GetAnimationNames().empty());
    EXPECT_EQ(copy.GetSolver(), nullptr);
    EXPECT_EQ(copy.GetState().current, nullptr);
    EXPECT_EQ(copy.GetOutput().palette, nullptr);
    EXPECT_TRUE(copy.GetPalette().empty());
}
