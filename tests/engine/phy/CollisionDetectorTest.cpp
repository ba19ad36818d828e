#include "engine/phy/CollisionDetector.h"

#include "PhysicsTestWorld.h"
#include "engine/phy/ClothHull.h"
#include "engine/phy/CollisionInfo.h"
#include "engine/phy/OBBHull.h"
#include "engine/phy/PlaneHull.h"
#include "engine/phy/SphereHull.h"
#include "engine/phy/TriangleHull.h"
#include "physcene/SceneRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

using dorvo::phy::CollisionDetector;
using dorvo::phy::CollisionInfo;
using math::Vector3;
using physcene::CallbackState;

namespace
{
class CollisionDetectorTest : public phytest::PhysicsTest
{
protected:
    CollisionDetector& detector = *engine.GetCollisionDetector();

    // Builds the scene or fails the test with the runner's reason.
    void Build(physcene::SceneRunner& runner, const physcene::Scene& scene)
    {
        std::string error;
        ASSERT_TRUE(runner.Build(scene, &error)) << error;
    }
};

std::unique_ptr<CollisionInfo> Take(dorvo::phy::PairResult result)
{
    return std::unique_ptr<CollisionInfo>(result.IsSet() ? result.Get() : nullptr);
}
} // namespace

TEST_F(CollisionDetectorTest, TheEngineStartsTheDetectorWithTheHullClassesInTheirOrder)
{
    ASSERT_NE(engine.GetCollisionDetector(), nullptr);
    EXPECT_EQ(dorvo::phy::SphereHull::StaticClassIndex(), 0);
    EXPECT_EQ(dorvo::phy::OBBHull::StaticClassIndex(), 1);
    EXPECT_EQ(dorvo::phy::PlaneHull::StaticClassIndex(), 2);
    EXPECT_EQ(dorvo::phy::TriangleHull::StaticClassIndex(), 3);
    EXPECT_EQ(dorvo::phy::ClothHull::StaticClassIndex(), 4);
    const dorvo::phy::HullDispatcher& table = detector.GetDispatcher();
    ASSERT_EQ(table.GetRowCount(), 5u);
    const std::size_t rowSizes[] = {5, 5, 2, 2, 2};
    for (std::size_t row = 0; row < 5; ++row)
        EXPECT_EQ(table.GetRowSize(row), rowSizes[row]) << "row " << row;

    // Starting again refills the same cells.
    engine.Init();
    EXPECT_EQ(dorvo::phy::ClothHull::StaticClassIndex(), 4);
    EXPECT_EQ(table.GetRowCount(), 5u);
    EXPECT_EQ(table.GetRowSize(0), 5u);
}

TEST_F(CollisionDetectorTest, MirroredPairsNameTheSphereOrTheBoxFirstAndMissingPairsNeverCollide)
{
    dorvo::phy::SphereHull sphere;
    sphere.sphere.radius = 0.5f;
    dorvo::phy::OBBHull box;
    box.obb.orientation.SetIdentity();
    box.obb.halfExtent = Vector3(0.5f, 0.5f, 0.5f);
    box.obb.center = Vector3(0.0f, 0.4f, 0.0f);
    dorvo::phy::PlaneHull plane;
    plane.plane.normal = Vector3(0.0f, 1.0f, 0.0f);
    plane.plane.d = 0.05f; // y = -0.05, just under both
    dorvo::phy::PlaneHull otherPlane;
    otherPlane.plane.normal = Vector3(0.0f, 1.0f, 0.0f);
    dorvo::phy::TriangleHull triangle;
    triangle.worldTriangle.Set(Vector3(-5, 0, -5), Vector3(-5, 0, 5), Vector3(5, 0, -5));
    dorvo::phy::ClothHull cloth;

    struct Case
    {
        const char* name;
        dorvo::phy::CollisionHull& lhs;
        dorvo::phy::CollisionHull& rhs;
        dorvo::phy::CollisionHull* first; // null: no collision
    };
    const Case cases[] = {
        {"plane, sphere", plane, sphere, &sphere},
        {"box, sphere", box, sphere, &sphere},
        {"triangle, sphere", triangle, sphere, &sphere},
        {"plane, box", plane, box, &box},
        {"triangle, box", triangle, box, &box},
        {"plane, plane", plane, otherPlane, nullptr},
        {"triangle, plane", triangle, plane, nullptr},
        {"plane, triangle", plane, triangle, nullptr},
        {"triangle, triangle", triangle, triangle, nullptr},
        {"cloth, sphere", cloth, sphere, nullptr},
        {"cloth, cloth", cloth, cloth, nullptr},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::unique_ptr<CollisionInfo> info = Take(detector.Dispatch(c.lhs, c.rhs));
        if (c.first == nullptr)
        {
            EXPECT_EQ(info, nullptr);
            continue;
        }
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->hullA, c.first);
        EXPECT_EQ(info->hullB, c.first == &c.lhs ? &c.rhs : &c.lhs);
    }
}

TEST_F(CollisionDetectorTest, ARestingContactBeginsOnceAndIsReportedEveryStep)
{
    physcene::Scene scene;
    physcene::ObjectDesc table = physcene::Crate("table", Vector3(0, 0, 0), Vector3(4, 1, 4));
    table.body = false;
    physcene::ObjectDesc ball = physcene::Ball("ball", Vector3(0, 1.0f, 0));
    ball.restitution = 0.0f;
    scene.objects = {table, ball};
    physcene::SceneRunner runner;
    Build(runner, scene);
    const std::uint32_t tableID = runner.Id("table");
    const std::uint32_t ballID = runner.Id("ball");

    // 60 steps: two full contact windows of 0.75 s pass while the ball rests.
    for (int step = 1; step <= 60; ++step)
    {
        runner.Step();
        SCOPED_TRACE("step " + std::to_string(step));
        const physcene::StepRecord& record = runner.Last();
        ASSERT_EQ(record.infos.size(), 1u);
        EXPECT_EQ(record.infos[0].idA, ballID);
        EXPECT_EQ(record.CountCallbacks(CallbackState::EVERY, ballID), 1);
        EXPECT_EQ(record.CountCallbacks(CallbackState::EVERY, tableID), 1);
        const int begins = step == 1 ? 1 : 0;
        EXPECT_EQ(record.CountCallbacks(CallbackState::BEGIN, ballID), begins);
        EXPECT_EQ(record.CountCallbacks(CallbackState::BEGIN, tableID), begins);
    }
    EXPECT_NEAR(runner.Last().Find(ballID)->position.y, 1.0f, 0.03f);
}

TEST_F(CollisionDetectorTest, TheRecordFollowsTheDetectorAndTheNormalThePairTest)
{
    // A box resting on a fixed sphere: the detector meets the pair as (box, sphere), the
    // mirrored cell answers as (sphere, box).
    physcene::Scene scene;
    physcene::ObjectDesc post = physcene::Ball("post", Vector3(0, 0, 0));
    post.body = false;
    physcene::ObjectDesc box = physcene::Crate("box", Vector3(0, 1.0f, 0));
    box.restitution = 0.0f;
    scene.objects = {post, box};
    physcene::SceneRunner runner;
    Build(runner, scene);
    runner.Step();

    const physcene::StepRecord& record = runner.Last();
    ASSERT_EQ(record.infos.size(), 1u);
    EXPECT_EQ(record.infos[0].idA, runner.Id("post"));
    EXPECT_EQ(record.infos[0].idB, runner.Id("box"));
    ASSERT_EQ(record.callbacks.size(), 4u) << "every-contact and begin, each on both objects";
    for (const CallbackState& callback : record.callbacks)
    {
        EXPECT_EQ(callback.data.gobIdA, runner.Id("box"));
        EXPECT_EQ(callback.data.gobIdB, runner.Id("post"));
        EXPECT_NEAR(callback.data.normal.y, -1.0f, 1e-5f) << "from the box towards the sphere";
    }
    // Every-contact callbacks first, the detector's first object first.
    EXPECT_EQ(record.callbacks[0].kind, CallbackState::EVERY);
    EXPECT_EQ(record.callbacks[0].owner, runner.Id("box"));
    EXPECT_EQ(record.callbacks[1].owner, runner.Id("post"));
    EXPECT_EQ(record.callbacks[2].kind, CallbackState::BEGIN);
}

TEST_F(CollisionDetectorTest, TwoActiveBodiesAreReportedTwiceWithOppositeNormals)
{
    physcene::Scene scene;
    scene.gravity = Vector3();
    scene.objects = {physcene::Ball("left", Vector3(0, 5, 0)), physcene::Ball("right", Vector3(1.02f, 5, 0))};
    physcene::SceneRunner runner;
    Build(runner, scene);
    runner.Step();
    const physcene::StepRecord& record = runner.Last();
    ASSERT_EQ(record.infos.size(), 2u);
    EXPECT_EQ(record.infos[0].idA, runner.Id("left"));
    EXPECT_EQ(record.infos[1].idA, runner.Id("right"));
    EXPECT_NEAR(record.infos[0].normal.x, -1.0f, 1e-5f);
    EXPECT_NEAR(record.infos[1].normal.x, 1.0f, 1e-5f);
    // Both reports are the pair's first: the begin test reads the previous step's windows.
    for (const char* name : {"left", "right"})
    {
        SCOPED_TRACE(name);
        EXPECT_EQ(record.CountCallbacks(CallbackState::BEGIN, runner.Id(name)), 2);
        EXPECT_EQ(record.CountCallbacks(CallbackState::EVERY, runner.Id(name)), 2);
    }
}

TEST_F(CollisionDetectorTest, IgnoredPairsPassThrough)
{
    physcene::Scene scene;
    physcene::ObjectDesc ball = physcene::Ball("ball", Vector3(0, 1.0f, 0));
    ball.ignores = {"ground"};
    scene.objects = {physcene::Ground(), ball};
    physcene::SceneRunner runner;
    Build(runner, scene);
    runner.Run(30);
    for (const physcene::StepRecord& record : runner.Records())
    {
        EXPECT_TRUE(record.infos.empty());
        EXPECT_TRUE(record.callbacks.empty());
    }
    EXPECT_LT(runner.Last().Find(runner.Id("ball"))->position.y, -3.0f);
}

TEST_F(CollisionDetectorTest, OnlyAnAwakeBodyOpensATestAndOnlyTwoBodiesAtRestSkipOne)
{
    // A ground plane filed at the root; an immovable block on it with a ball resting on top; a
    // second ball on the ground; a third ball on top of the resting one.
    phytest::BodySpec groundSpec = phytest::Plane(Vector3(0, 1, 0), 0.0f);
    groundSpec.bounds = math::AABB(Vector3(-80, -1, -80), Vector3(140, 1, 140));
    phytest::CreateBody(groundSpec);
    phytest::BodySpec blockSpec = phytest::Box(Vector3(3, 0.5f, 0));
    blockSpec.immovable = true;
    Gob* block = phytest::CreateBody(blockSpec);
    Gob* ball = phytest::CreateBody(phytest::Sphere(Vector3(0, 0.5f, 0)));
    Gob* resting = phytest::CreateBody(phytest::Sphere(Vector3(3, 1.5f, 0)));
    Gob* pusher = phytest::CreateBody(phytest::Sphere(Vector3(3, 2.5f, 0)));
    for (Gob* gob : {block, ball, resting, pusher})
        phytest::Hull(gob)->UpdateFromBody();

    std::vector<CollisionInfo*> results;
    auto detect = [&](dorvo::phy::PhysicsComp* body)
    {
        for (CollisionInfo* info : results)
            delete info;
        results.clear();
        for (Gob* gob : {block, ball, resting, pusher})
            phytest::Hull(gob)->collisionInfos.clear();
        std::vector<dorvo::phy::PhysicsComp*> active{body};
        detector.DetectCollisions(active, results);
        return results.size();
    };

    EXPECT_EQ(detect(phytest::Body(ball)), 1u) << "the awake ball meets the ground";
    phytest::Body(ball)->frozen = true;
    EXPECT_EQ(detect(phytest::Body(ball)), 0u) << "a frozen body never opens a test";
    detector.DetectCollisionsForBody(phytest::Body(ball), results);
    EXPECT_TRUE(results.empty());

    // An awake body is tested against an immovable one and against a frozen one.
    phytest::Body(resting)->frozen = true;
    EXPECT_EQ(detect(phytest::Body(pusher)), 1u);
    EXPECT_EQ(results[0]->hullB, phytest::Hull(resting));
    phytest::Body(resting)->frozen = false;
    EXPECT_EQ(detect(phytest::Body(resting)), 2u) << "the block below and the ball above";
    EXPECT_EQ(results[0]->hullB, phytest::Hull(block));

    // Two bodies at rest skip each other; a fixed object without a body is still met.
    phytest::Body(resting)->frozen = true;
    EXPECT_EQ(detect(phytest::Body(block)), 1u);
    EXPECT_EQ(results[0]->hullA, phytest::Hull(block));
    EXPECT_EQ(results[0]->hullB->GetBody(), nullptr);
    for (CollisionInfo* info : results)
        delete info;
    results.clear();
    for (Gob* gob : {block, ball, resting, pusher})
        phytest::Hull(gob)->collisionInfos.clear();
}

TEST_F(CollisionDetectorTest, TheGridHandsEveryBodyTheTreesNeighboursAndNoOthers)
{
    // Boxes of the objects without the margin, so that the oct tree keeps apart two spheres in
    // neighbouring leaves whose surfaces are 0.02 apart: the reach rule lets them through, the
    // tree's relation must not.
    std::vector<Gob*> gobs;
    auto add = [&gobs](phytest::BodySpec spec)
    {
        gobs.push_back(phytest::CreateBody(spec));
        return gobs.back();
    };
    phytest::BodySpec ground = phytest::Plane(Vector3(0, 1, 0), 0.0f);
    ground.bounds = math::AABB(Vector3(-80, -1, -80), Vector3(140, 1, 140));
    add(ground);
    // The leaves are 15 wide along x and z: x = 15 is a leaf boundary.
    Gob* west = add(phytest::Sphere(Vector3(14.49f, 5, 7)));
    Gob* east = add(phytest::Sphere(Vector3(15.51f, 5, 7)));
    Gob* left = add(phytest::Sphere(Vector3(5, 5, 7)));
    Gob* right = add(phytest::Sphere(Vector3(6.02f, 5, 7)));
    // A wide table, far larger than the rest, and a slab without a bounding sphere.
    phytest::BodySpec table = phytest::Box(Vector3(40, 1, 40), Vector3(20, 1, 20));
    table.physics = false;
    Gob* wide = add(table);
    Gob* onTable = add(phytest::Sphere(Vector3(33, 1.98f, 33)));
    Gob* slab =
        add(phytest::Triangle(Vector3(70, 1, 70), Vector3(-3, 0, -3), Vector3(-3, 0, 3), Vector3(3, 0, 0)));
    Gob* onSlab = add(phytest::Sphere(Vector3(70, 1.48f, 70)));
    // A cloud of spheres and boxes over the table, some touching, across the split plane z = 45.
    std::mt19937 random(7);
    std::uniform_real_distribution<float> spot(32.0f, 48.0f);
    std::uniform_real_distribution<float> height(1.9f, 6.0f);
    for (int i = 0; i < 150; ++i)
    {
        const Vector3 at(spot(random), height(random), spot(random));
        add(i % 2 == 0 ? phytest::Sphere(at) : phytest::Box(at));
    }
    for (Gob* gob : gobs)
        if (dorvo::phy::CollisionHull* hull = phytest::Hull(gob))
            hull->UpdateFromBody();
    std::vector<dorvo::phy::PhysicsComp*> active;
    for (Gob* gob : gobs)
        if (dorvo::phy::PhysicsComp* body = phytest::Body(gob))
            active.push_back(body);

    struct Pair
    {
        const dorvo::phy::CollisionHull* a;
        const dorvo::phy::CollisionHull* b;
        std::size_t contacts;
        bool operator==(const Pair& other) const
        {
            return a == other.a && b == other.b && contacts == other.contacts;
        }
    };
    auto detect = [&](std::size_t gridFrom)
    {
        detector.SetGridFrom(gridFrom);
        std::vector<CollisionInfo*> results;
        detector.DetectCollisions(active, results);
        std::vector<Pair> pairs;
        for (CollisionInfo* info : results)
        {
            pairs.push_back(Pair{info->hullA, info->hullB, info->contacts.size()});
            delete info;
        }
        for (Gob* gob : gobs)
            if (dorvo::phy::CollisionHull* hull = phytest::Hull(gob))
                hull->collisionInfos.clear();
        return pairs;
    };
    const std::vector<Pair> byTree = detect(static_cast<std::size_t>(-1));
    const std::vector<Pair> byGrid = detect(0);
    detector.SetGridFrom(CollisionDetector::kGridFrom);
    EXPECT_GT(byTree.size(), 40u);
    EXPECT_TRUE(byGrid == byTree) << byGrid.size() << " pairs by the grid, " << byTree.size()
                                  << " by the tree";

    auto found = [&byGrid](Gob* a, Gob* b)
    {
        for (const Pair& pair : byGrid)
            if (pair.a == phytest::Hull(a) && pair.b == phytest::Hull(b))
                return true;
        return false;
    };
    EXPECT_TRUE(found(left, right)) << "0.02 apart in one leaf";
    EXPECT_FALSE(found(west, east)) << "0.02 apart in neighbouring leaves";
    EXPECT_TRUE(found(onSlab, slab)) << "on the slab";
    EXPECT_TRUE(found(onTable, wide)) << "on the table";
}

TEST_F(CollisionDetectorTest, APairNobodyListensToIsStillRememberedAndOneListenerHearsIt)
{
    physcene::Scene scene;
    physcene::ObjectDesc table = physcene::Crate("table", Vector3(0, 0, 0), Vector3(4, 1, 4));
    table.body = false;
    physcene::ObjectDesc ball = physcene::Ball("ball", Vector3(0, 1.0f, 0));
    ball.restitution = 0.0f;
    scene.objects = {table, ball};
    physcene::SceneRunner runner;
    runner.SetRecording(false); // no callbacks anywhere
    Build(runner, scene);
    runner.Run(2);

    // Callbacks registered on the ball once it rests: the contact began two steps ago, so only
    // the every-contact one runs.
    auto* ballComp = phytest::Collision(runner.Object("ball"));
    int begins = 0;
    int every = 0;
    dorvo::phy::CollisionFunctorData heard;
    ballComp->AddCollisionBeginFunctor("count", dorvo::phy::CollisionFunctor(
                                                    [&begins](dorvo::phy::CollisionFunctorData, unsigned int)
                                                    {
                                                        ++begins;
                                                        return true;
                                                    }));
    ballComp->AddCollisionFunctor("count",
                                  dorvo::phy::CollisionFunctor(
                                      [&every, &heard](dorvo::phy::CollisionFunctorData data, unsigned int)
                                      {
                                          ++every;
                                          heard = data;
                                          return true;
                                      }));
    runner.Step();
    EXPECT_EQ(begins, 0);
    EXPECT_EQ(every, 1);
    EXPECT_EQ(heard.gobIdA, runner.Id("ball"));
    EXPECT_EQ(heard.gobIdB, runner.Id("table"));
    EXPECT_NEAR(heard.normal.y, 1.0f, 1e-5f);
    EXPECT_NEAR(heard.contactPoint.y, 0.5f, 0.05f);
}

TEST_F(CollisionDetectorTest, AnObjectACallbackMovesDuringThePassIsMetWhereTheTreeNowHasIt)
{
    // x = 15 is a leaf boundary. The fixed ball `post` and the ball `late` touch across it, their
    // boxes in neighbouring leaves: unrelated. The first pair's callback shifts the post so that
    // its box straddles the boundary, which files it higher, related to `late`, whose detection
    // comes after the callback and must meet it, by the grid as by the tree.
    auto sphere = [](const Vector3& at, bool body)
    {
        phytest::BodySpec spec = phytest::Sphere(at);
        spec.physics = body;
        spec.forces.clear();
        return phytest::CreateBody(spec);
    };
    Gob* first = sphere(Vector3(5, 5, 7), true);
    Gob* second = sphere(Vector3(6.02f, 5, 7), true);
    Gob* post = sphere(Vector3(14.49f, 5, 7), false);
    Gob* late = sphere(Vector3(15.51f, 5, 7), true);
    const std::vector<Gob*> gobs{first, second, post, late};
    for (Gob* gob : gobs)
        phytest::Hull(gob)->UpdateFromBody();
    phytest::Collision(first)->AddCollisionFunctor(
        "shift", dorvo::phy::CollisionFunctor(
                     [post](dorvo::phy::CollisionFunctorData, unsigned int)
                     {
                         phytest::Pov(post)->SetPosition(Vector3(14.6f, 5, 7), true);
                         return true;
                     }));
    std::vector<dorvo::phy::PhysicsComp*> active{phytest::Body(first), phytest::Body(second),
                                                 phytest::Body(late)};

    auto detect = [&](std::size_t gridFrom)
    {
        phytest::Pov(post)->SetPosition(Vector3(14.49f, 5, 7), true);
        detector.SetGridFrom(gridFrom);
        std::vector<CollisionInfo*> results;
        detector.DetectCollisions(active, results);
        std::vector<std::pair<const dorvo::phy::CollisionHull*, const dorvo::phy::CollisionHull*>> pairs;
        for (CollisionInfo* info : results)
        {
            pairs.emplace_back(info->hullA, info->hullB);
            delete info;
        }
        for (Gob* gob : gobs)
            phytest::Hull(gob)->collisionInfos.clear();
        return pairs;
    };
    const auto byTree = detect(static_cast<std::size_t>(-1));
    const auto byGrid = detect(0);
    detector.SetGridFrom(CollisionDetector::kGridFrom);
    EXPECT_EQ(byGrid, byTree);
    const auto met = std::make_pair(static_cast<const dorvo::phy::CollisionHull*>(phytest::Hull(late)),
                                    static_cast<const dorvo::phy::CollisionHull*>(phytest::Hull(post)));
    EXPECT_NE(std::find(byGrid.begin(), byGrid.end(), met), byGrid.end());
}
