// Whole scenes replayed headless through the scene runner, as the game's frame steps them:
// objects fall, land, bounce, rest, stack, freeze and wake, meet head on, pass through
// triggers and through what they ignore, slide against friction, and survive bad templates.
// Every scene here gives the same numbers on every run.
#include "physcene/SceneRunner.h"

#include "PhysicsTestWorld.h"
#include "common/FunctionFlags.h"
#include "engine/phy/CollisionHull.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

using math::Quaternion;
using math::Vector3;
using physcene::BodyState;
using physcene::CallbackState;
using physcene::ObjectDesc;
using physcene::Scene;
using physcene::SceneRunner;
using physcene::StepRecord;

namespace
{
constexpr float kDegree = math::kPi / 180.0f;

class PhysicsScenes : public phytest::PhysicsTest
{
protected:
    void Build(const Scene& scene)
    {
        std::string error;
        ASSERT_TRUE(runner.Build(scene, &error)) << error;
    }
    const BodyState& State(const std::string& name, const StepRecord& record)
    {
        const BodyState* state = record.Find(runner.Id(name));
        EXPECT_NE(state, nullptr) << name;
        static const BodyState s_none;
        return state != nullptr ? *state : s_none;
    }
    const BodyState& Now(const std::string& name) { return State(name, runner.Last()); }

    SceneRunner runner;
};

Scene GroundScene()
{
    Scene scene;
    scene.objects.push_back(physcene::Ground());
    return scene;
}

// Angle between the body's up axis and the world's, radians.
float Tilt(const Quaternion& q)
{
    return std::acos(std::min(1.0f, q.Rotate(Vector3(0, 1, 0)).y));
}

// Angle of the turn from the identity, radians.
float TurnAngle(const Quaternion& q)
{
    return 2.0f * std::acos(std::min(1.0f, std::fabs(q.w)));
}

float Sideways(const Vector3& a, const Vector3& b)
{
    return std::hypot(a.x - b.x, a.z - b.z);
}

// Whether an info of the record joins the two objects, either way round.
bool Touching(const StepRecord& record, std::uint32_t a, std::uint32_t b)
{
    for (const physcene::InfoState& info : record.infos)
        if ((info.idA == a && info.idB == b) || (info.idA == b && info.idB == a))
            return true;
    return false;
}

bool Involves(const StepRecord& record, std::uint32_t id)
{
    for (const physcene::InfoState& info : record.infos)
        if (info.idA == id || info.idB == id)
            return true;
    return false;
}

// The heights at which an upward flight turned back down.
std::vector<float> Apexes(const std::vector<StepRecord>& records, std::uint32_t id)
{
    std::vector<float> apexes;
    float height = 0.0f;
    float speed = 0.0f;
    for (const StepRecord& record : records)
    {
        const BodyState* state = record.Find(id);
        if (state == nullptr)
            break;
        if (speed > 0.0f && state->velocity.y <= 0.0f)
            apexes.push_back(std::max(height, state->position.y));
        height = state->position.y;
        speed = state->velocity.y;
    }
    return apexes;
}

void Type(const std::string& line)
{
    common::ConsoleInterface::Instance().WriteToConsole(line, common::FF_Execute, true);
}

Scene Stack(bool allowFreeze)
{
    Scene scene = GroundScene();
    scene.allowFreeze = allowFreeze;
    const float heights[] = {0.51f, 1.52f, 2.53f, 3.54f, 4.55f};
    for (int i = 0; i < 5; ++i)
    {
        ObjectDesc box = physcene::Crate("box" + std::to_string(i), Vector3(0, heights[i], 0));
        box.restitution = 0.0f;
        scene.objects.push_back(box);
    }
    return scene;
}

// The stack stands: upright within `tilt`, the top within `drift` of its start, every box
// over the one below, no box sunk into another or the ground and none hopped off.
void ExpectStanding(SceneRunner& runner, float tilt, float drift)
{
    const StepRecord& record = runner.Last();
    std::vector<BodyState> boxes;
    for (int i = 0; i < 5; ++i)
        boxes.push_back(*record.Find(runner.Id("box" + std::to_string(i))));
    for (int i = 0; i < 5; ++i)
    {
        SCOPED_TRACE("box " + std::to_string(i));
        EXPECT_LT(Tilt(boxes[i].orientation), tilt * kDegree);
        EXPECT_NEAR(boxes[i].position.y, 0.5f + 1.0f * i, 0.1f) << "neither sunk nor hopped";
        if (i > 0)
        {
            EXPECT_LT(Sideways(boxes[i].position, boxes[i - 1].position), 0.25f);
        }
    }
    EXPECT_LT(Sideways(boxes[4].position, Vector3()), drift);
    EXPECT_LT(physcene::MeasurePenetration(runner.Poses(), runner.Grounds()).max, 0.05f);
}
} // namespace

TEST_F(PhysicsScenes, FreeFallIsUntouchedByThePrediction)
{
    Scene scene;
    scene.objects.push_back(physcene::Ball("ball", Vector3(0, 10, 0)));
    Build(scene);
    runner.Step();
    EXPECT_NEAR(Now("ball").velocity.y, -0.326667f, 1e-5f);
    EXPECT_NEAR(Now("ball").position.y, 9.989111f, 1e-5f);
    runner.Run(29);
    EXPECT_NEAR(Now("ball").velocity.y, -9.8f, 1e-4f);
    EXPECT_NEAR(Now("ball").position.y, 4.936667f, 1e-4f);
}

TEST_F(PhysicsScenes, ADroppedBallLandsRestsAndFreezes)
{
    Scene scene = GroundScene();
    ObjectDesc ball = physcene::Ball("ball", Vector3(0, 10, 0));
    ball.restitution = 0.0f;
    scene.objects.push_back(ball);
    Build(scene);
    runner.Run(200);
    const std::vector<StepRecord>& records = runner.Records();
    const auto landing = std::find_if(records.begin(), records.end(),
                                      [](const StepRecord& record) { return !record.infos.empty(); });
    ASSERT_NE(landing, records.end());
    EXPECT_NEAR(landing->step, 42, 2);

    const BodyState& rest = State("ball", records[89]);
    EXPECT_NEAR(rest.position.y, 0.511f, 0.02f);
    EXPECT_LT(rest.velocity.Length(), 0.02f);
    const auto frozen =
        std::find_if(records.begin(), records.end(),
                     [this](const StepRecord& record) { return State("ball", record).frozen; });
    ASSERT_NE(frozen, records.end());
    EXPECT_GE(frozen->step, 120);
    EXPECT_LE(frozen->step, 160);
    for (auto record = frozen; record != records.end(); ++record)
    {
        EXPECT_TRUE(State("ball", *record).frozen);
        EXPECT_EQ(std::memcmp(State("ball", *record).position.v, State("ball", *frozen).position.v,
                              sizeof(float) * 3),
                  0)
            << "step " << record->step;
    }

    // The game's setting: never frozen, still resting.
    scene.allowFreeze = false;
    Build(scene);
    runner.Run(600);
    for (std::size_t i = 89; i < runner.Records().size(); ++i)
    {
        const BodyState& state = State("ball", runner.Records()[i]);
        ASSERT_FALSE(state.frozen);
        ASSERT_GE(state.position.y, 0.49f) << "step " << i + 1;
        ASSERT_LE(state.position.y, 0.53f) << "step " << i + 1;
    }
}

TEST_F(PhysicsScenes, AnElasticBallBouncesLowerEachTimeAndNotAtAllWithoutCollisionSweeps)
{
    Scene scene = GroundScene();
    scene.objects.push_back(physcene::Ball("ball", Vector3(0, 5, 0))); // restitution 1 on both
    Build(scene);
    runner.Run(300);
    const std::vector<float> apexes = Apexes(runner.Records(), runner.Id("ball"));
    ASSERT_GE(apexes.size(), 4u);
    const float expected[] = {4.70f, 4.40f, 4.12f};
    float previous = 5.0f;
    for (std::size_t i = 0; i < apexes.size(); ++i)
    {
        SCOPED_TRACE("bounce " + std::to_string(i + 1));
        if (i < 3)
        {
            EXPECT_NEAR(apexes[i], expected[i], 0.02f);
        }
        EXPECT_LT(apexes[i], previous);
        EXPECT_GE(apexes[i], 0.9f * previous);
        previous = apexes[i];
    }

    scene.collisionSteps = 0;
    Build(scene);
    runner.Run(120);
    const std::vector<StepRecord>& records = runner.Records();
    const auto landing = std::find_if(records.begin(), records.end(),
                                      [](const StepRecord& record) { return !record.infos.empty(); });
    ASSERT_NE(landing, records.end());
    float highest = 0.0f;
    for (auto record = landing; record != records.end(); ++record)
        highest = std::max(highest, State("ball", *record).position.y);
    EXPECT_LT(highest, 0.6f);
}

TEST_F(PhysicsScenes, BoxesOfAnyMassRestAlike)
{
    std::vector<float> heights;
    for (const float mass : {0.1f, 1.0f, 10.0f})
    {
        SCOPED_TRACE("mass " + std::to_string(mass));
        Scene scene = GroundScene();
        ObjectDesc box = physcene::Crate("box", Vector3(0, 0.6f, 0));
        box.mass = mass;
        scene.objects.push_back(box);
        Build(scene);
        runner.Run(90);
        const float settled = State("box", runner.Records()[29]).position.y;
        for (std::size_t i = 30; i < runner.Records().size(); ++i)
        {
            const StepRecord& record = runner.Records()[i];
            ASSERT_EQ(record.infos.size(), 1u);
            EXPECT_EQ(record.infos[0].contacts.size(), 4u) << "step " << record.step;
            EXPECT_LT(State("box", record).position.y, settled + 0.01f) << "step " << record.step;
        }
        EXPECT_LT(TurnAngle(Now("box").orientation), 1.0f * kDegree);
        heights.push_back(Now("box").position.y);
    }
    EXPECT_NEAR(heights[0], 0.514f, 0.005f);
    for (const float height : heights)
        EXPECT_NEAR(height, heights[0], 0.005f);
}

TEST_F(PhysicsScenes, AStackOfFiveStandsWithoutFreezing)
{
    Build(Stack(false));
    runner.Run(300);
    ExpectStanding(runner, 6.0f, 0.5f);
}

TEST_F(PhysicsScenes, AFrozenStackWakesUnderADroppedBallAndSettlesAgain)
{
    Build(Stack(true));
    runner.Run(250);
    ExpectStanding(runner, 3.0f, 0.25f);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(Now("box" + std::to_string(i)).frozen) << i;

    // Dropped from 3 above the top box.
    const float top = Now("box4").position.y + 0.5f;
    std::string error;
    ASSERT_TRUE(runner.Add(physcene::Ball("ball", Vector3(0, top + 3.0f + 0.5f, 0)), &error)) << error;
    const std::uint32_t ball = runner.Id("ball");
    const std::uint32_t topBox = runner.Id("box4");
    int impact = 0;
    while (runner.StepCount() < 400)
    {
        runner.Step();
        if (impact == 0 && Touching(runner.Last(), ball, topBox))
        {
            impact = runner.StepCount();
            EXPECT_FALSE(Now("box4").frozen) << "woken in the step of impact";
        }
    }
    EXPECT_GT(impact, 250);
    for (int i = 0; i < 5; ++i)
        EXPECT_LT(Now("box" + std::to_string(i)).velocity.Length(), 0.02f) << i;
    ExpectStanding(runner, 3.0f, 0.25f);
}

TEST_F(PhysicsScenes, SpheresMeetingHeadOnSwapTheirVelocities)
{
    Scene scene;
    scene.gravity = Vector3();
    ObjectDesc left = physcene::Ball("left", Vector3(-2, 5, 0));
    left.velocity = Vector3(2, 0, 0);
    ObjectDesc right = physcene::Ball("right", Vector3(2, 5, 0));
    right.velocity = Vector3(-2, 0, 0);
    scene.objects = {left, right};
    Build(scene);
    const std::uint32_t a = runner.Id("left");
    const std::uint32_t b = runner.Id("right");

    int first = 0;
    while (runner.StepCount() < 90)
    {
        runner.Step();
        const StepRecord& record = runner.Last();
        const float momentum = State("left", record).velocity.x + State("right", record).velocity.x;
        EXPECT_NEAR(momentum, 0.0f, 1e-4f) << "step " << record.step;
        if (first != 0 || record.infos.empty())
            continue;
        first = record.step;
        // Both reports are the pair's first: each sphere's callbacks run twice.
        for (const std::uint32_t id : {a, b})
        {
            EXPECT_EQ(record.CountCallbacks(CallbackState::BEGIN, id), 2);
            EXPECT_EQ(record.CountCallbacks(CallbackState::EVERY, id), 2);
        }
        const CallbackState& report = record.callbacks.front();
        EXPECT_EQ(report.data.gobIdA, a);
        EXPECT_EQ(report.data.gobIdB, b);
        EXPECT_NEAR(report.data.impulse.x, -4.0f, 1e-4f) << "the normal, from right to left, times 4";
        EXPECT_NEAR(report.data.impulse.y, 0.0f, 1e-5f);
    }
    ASSERT_GT(first, 0);
    for (const StepRecord& record : runner.Records())
        if (record.step > first)
        {
            EXPECT_EQ(record.CountCallbacks(CallbackState::BEGIN, a), 0) << "step " << record.step;
        }
    EXPECT_NEAR(Now("left").velocity.x, -2.0f, 1e-3f);
    EXPECT_NEAR(Now("right").velocity.x, 2.0f, 1e-3f);
    EXPECT_EQ(Now("left").angularVelocity.Length(), 0.0f);
    EXPECT_EQ(Now("right").angularVelocity.Length(), 0.0f);
}

TEST_F(PhysicsScenes, ATriggerReportsWithoutPushing)
{
    Scene scene;
    ObjectDesc trigger = physcene::Crate("trigger", Vector3(0, 5, 0), Vector3(2, 2, 2));
    trigger.body = false;
    trigger.trigger = true;
    // A twin far off falls freely beside the one that passes the trigger.
    scene.objects = {trigger, physcene::Ball("ball", Vector3(0, 10, 0)),
                     physcene::Ball("twin", Vector3(20, 10, 0))};
    Build(scene);
    runner.Run(60);
    const std::uint32_t ball = runner.Id("ball");
    int overlapping = 0;
    int begins = 0;
    for (const StepRecord& record : runner.Records())
    {
        SCOPED_TRACE("step " + std::to_string(record.step));
        const BodyState& state = State("ball", record);
        const BodyState& twin = State("twin", record);
        ASSERT_EQ(state.velocity.y, twin.velocity.y) << "exactly free fall";
        ASSERT_EQ(state.position.y, twin.position.y);
        const bool inside = Touching(record, ball, runner.Id("trigger"));
        overlapping += inside ? 1 : 0;
        begins += record.CountCallbacks(CallbackState::BEGIN, ball);
        EXPECT_EQ(record.CountCallbacks(CallbackState::EVERY, ball), inside ? 1 : 0);
    }
    EXPECT_GT(overlapping, 5);
    EXPECT_EQ(begins, 1);
}

TEST_F(PhysicsScenes, ABallThatIgnoresTheGroundFallsOutOfTheWorldAndIsDeleted)
{
    Scene scene = GroundScene();
    ObjectDesc ball = physcene::Ball("ball", Vector3(0, 10, 0));
    ball.ignores = {"ground"};
    scene.objects.push_back(ball);
    Build(scene);
    int killed = 0;
    while (killed == 0 && runner.StepCount() < 200)
    {
        runner.Step();
        EXPECT_TRUE(runner.Last().infos.empty());
        Gob* gob = runner.Object("ball");
        ASSERT_NE(gob, nullptr);
        if (GobManager::Instance().IsOnKillList(gob))
            killed = runner.StepCount();
    }
    EXPECT_NEAR(killed, 135, 3);
    runner.Step();
    EXPECT_EQ(runner.Object("ball"), nullptr);
    EXPECT_EQ(runner.Last().Find(runner.Id("ball")), nullptr);
}

TEST_F(PhysicsScenes, ABoxSlidesToAStopAgainstFrictionAndKeepsGoingWithout)
{
    struct Case
    {
        float friction;
        int steps;
    };
    for (const Case& c : {Case{0.5f, 200}, Case{0.0f, 60}})
    {
        SCOPED_TRACE("friction " + std::to_string(c.friction));
        Scene scene = GroundScene();
        scene.objects[0].staticFriction = scene.objects[0].kineticFriction = c.friction;
        ObjectDesc box = physcene::Crate("box", Vector3(0, 0.5f, 0));
        box.staticFriction = box.kineticFriction = c.friction;
        box.velocity = Vector3(3, 0, 0);
        scene.objects.push_back(box);
        Build(scene);
        runner.Run(c.steps);
        if (c.friction > 0.0f)
        {
            // v^2 / (2 mu g) = 1.84 with mu = 0.5 * 0.5.
            EXPECT_GE(Now("box").position.x, 1.6f);
            EXPECT_LE(Now("box").position.x, 2.0f);
            EXPECT_LT(Now("box").velocity.Length(), 0.01f);
            continue;
        }
        for (const StepRecord& record : runner.Records())
            EXPECT_NEAR(State("box", record).velocity.Length(), 3.0f, 0.03f) << "step " << record.step;
    }
}

TEST_F(PhysicsScenes, ConsoleLinesTypedBetweenFramesActFromTheNextStep)
{
    Scene scene = GroundScene();
    ObjectDesc ball = physcene::Ball("ball", Vector3(0, 10, 0));
    ball.restitution = 0.0f;
    scene.objects.push_back(ball);
    // Left alone, the resting ball freezes.
    Build(scene);
    runner.Run(200);
    const std::vector<StepRecord> untouched = runner.Records();
    ASSERT_TRUE(State("ball", untouched.back()).frozen);

    Build(scene);
    runner.Run(60); // resting, not yet frozen
    for (const char* line :
         {"collisionSteps 3", "collisionSteps -1", "contactSteps 0", "performShock off", "allowFreeze f"})
        Type(line);
    EXPECT_EQ(engine.GetCollisionSteps(), 3u);
    EXPECT_EQ(engine.GetContactSteps(), 0u);
    EXPECT_FALSE(engine.GetPerformShock());
    EXPECT_FALSE(engine.GetAllowFreeze());
    runner.Run(30);
    for (int i = 0; i < 60; ++i)
        ASSERT_EQ(std::memcmp(State("ball", runner.Records()[i]).position.v,
                              State("ball", untouched[i]).position.v, sizeof(float) * 3),
                  0);
    EXPECT_NE(State("ball", runner.Records()[60]).position.y, State("ball", untouched[60]).position.y)
        << "the next step runs with the new settings";
    // Without the contact pass nothing takes out the approach gravity adds after the collision
    // pass: the ball sinks, slowly, since the collision pass pushes back at up to 0.2 per second.
    for (std::size_t i = 61; i < runner.Records().size(); ++i)
    {
        const BodyState& state = State("ball", runner.Records()[i]);
        EXPECT_FALSE(state.frozen);
        EXPECT_LT(state.position.y, State("ball", runner.Records()[i - 1]).position.y) << "step " << i + 1;
    }
    const float sunk = Now("ball").position.y;
    EXPECT_LT(sunk, 0.47f);
    EXPECT_GT(sunk, 0.3f);

    Type("contactSteps 6");
    runner.Run(90);
    EXPECT_NEAR(Now("ball").position.y, 0.511f, 0.02f) << "pushed back out";
    EXPECT_FALSE(Now("ball").frozen);
}

TEST_F(PhysicsScenes, ABadHullTypeNeverCollides)
{
    Scene scene = GroundScene();
    ObjectDesc falling = physcene::Crate("falling", Vector3(0, 2, 0));
    falling.hullTypeText = "obb";
    ObjectDesc shelf = physcene::Crate("shelf", Vector3(5, 1, 0));
    shelf.body = false;
    shelf.hullTypeText = "obb";
    ObjectDesc ball = physcene::Ball("ball", Vector3(5, 3, 0));
    ball.restitution = 0.0f;
    scene.objects = {scene.objects[0], falling, shelf, ball};
    Build(scene);
    runner.Run(100);
    for (const StepRecord& record : runner.Records())
    {
        EXPECT_FALSE(Involves(record, runner.Id("falling")));
        EXPECT_FALSE(Involves(record, runner.Id("shelf")));
    }
    EXPECT_LT(Now("falling").position.y, -10.0f);
    EXPECT_NEAR(Now("ball").position.y, 0.51f, 0.02f) << "fell through the shelf onto the ground";
}

TEST_F(PhysicsScenes, KillingAFrozenBodyThatAnotherRemembersIsSafe)
{
    Scene scene = GroundScene();
    ObjectDesc box = physcene::Crate("box", Vector3(0, 0.5f, 0), Vector3(3, 1, 3));
    box.restitution = 0.0f;
    ObjectDesc ball = physcene::Ball("ball", Vector3(0, 1.5f, 0));
    ball.restitution = 0.0f;
    scene.objects.push_back(box);
    scene.objects.push_back(ball);
    Build(scene);
    runner.Run(150);
    ASSERT_TRUE(Now("box").frozen);
    ASSERT_TRUE(Now("ball").frozen);
    runner.Body("ball")->Wake();
    runner.Step();
    ASSERT_FALSE(Now("ball").frozen);
    ASSERT_EQ(runner.Body("ball")->GetFrozenContacts().size(), 1u);

    GobManager::Instance().KillGob(runner.Object("box"));
    runner.Run(60);
    EXPECT_EQ(runner.Object("box"), nullptr);
    EXPECT_TRUE(runner.Body("ball")->GetFrozenContacts().empty());
    EXPECT_NEAR(Now("ball").position.y, 0.51f, 0.02f) << "fell onto the ground";
}

TEST_F(PhysicsScenes, AnImmovableTemplateStaysImmovableUnderShockPropagation)
{
    Scene scene;
    ObjectDesc block = physcene::Crate("block", Vector3(0, 0, 0), Vector3(2, 1, 2));
    block.immovable = true;
    ObjectDesc ball = physcene::Ball("ball", Vector3(0, 1.0f, 0));
    ball.restitution = 0.0f;
    scene.objects = {block, ball};
    Build(scene);
    for (int i = 0; i < 100; ++i)
    {
        runner.Step();
        ASSERT_TRUE(runner.Body("block")->immovable) << "step " << i + 1;
        ASSERT_FALSE(runner.Body("ball")->immovable) << "step " << i + 1;
        ASSERT_EQ(Now("block").position.y, 0.0f);
    }
    EXPECT_NEAR(Now("ball").position.y, 1.0f, 0.03f);
}

TEST_F(PhysicsScenes, ASpinningBodyTurnsAboutTheWorldAxisItSpinsAbout)
{
    Scene scene;
    scene.gravity = Vector3();
    ObjectDesc box = physcene::Crate("box", Vector3(0, 5, 0));
    const float half = std::sqrt(0.5f);
    box.orientation = Quaternion(half, 0, half, 0); // 90 degrees about y
    box.angularVelocity = Vector3(1, 0, 0);
    scene.objects.push_back(box);
    Build(scene);
    runner.Run(30);
    const Vector3 up = Now("box").orientation.Rotate(Vector3(0, 1, 0));
    EXPECT_NEAR(up.x, 0.0f, 1e-3f);
    EXPECT_NEAR(up.y, std::cos(1.0f), 1e-3f);
    EXPECT_NEAR(up.z, std::sin(1.0f), 1e-3f);
}

TEST_F(PhysicsScenes, EveryRunOfAScenePlaysTheSameBitForBit)
{
    auto play = [this]
    {
        Scene scene = Stack(false);
        ObjectDesc ball = physcene::Ball("ball", Vector3(0.2f, 8, 0.1f));
        ball.velocity = Vector3(0.5f, 0, 0);
        scene.objects.push_back(ball);
        Build(scene);
        runner.Run(150);
        std::vector<float> numbers;
        for (const StepRecord& record : runner.Records())
            for (const BodyState& body : record.bodies)
            {
                numbers.insert(numbers.end(), body.position.v, body.position.v + 3);
                numbers.insert(numbers.end(), body.velocity.v, body.velocity.v + 3);
                numbers.insert(numbers.end(), body.angularVelocity.v, body.angularVelocity.v + 3);
                numbers.insert(numbers.end(), {body.orientation.w, body.orientation.x, body.orientation.y,
                                               body.orientation.z});
            }
        return numbers;
    };
    const std::vector<float> first = play();
    const std::vector<float> second = play();
    ASSERT_EQ(first.size(), second.size());
    EXPECT_EQ(std::memcmp(first.data(), second.data(), first.size() * sizeof(float)), 0);
}
