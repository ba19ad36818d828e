#include "engine/phy/ClothComp.h"

#include "LogCapture.h"
#include "PhysicsTestWorld.h"
#include "engine/GridComp.h"
#include "engine/phy/ClothParticle.h"
#include "engine/phy/ClothSpring.h"
#include "engine/phy/Force.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cmath>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

using dorvo::phy::ClothComp;
using dorvo::phy::ClothParticle;
using dorvo::phy::ClothSpring;
using dorvo::phy::DynamicsEngine;
using math::Vector3;
using phytest::CreateBody;
using phytest::Pov;

namespace
{
constexpr float kFrame = 1.0f / 30.0f;

ClothComp* ClothOf(Gob* gob)
{
    return gob != nullptr ? dynamic_cast<ClothComp*>(gob->GetComponent(HashName(ClothComp::kTypeName)))
                          : nullptr;
}

GridComp* GridOf(Gob* gob)
{
    return gob != nullptr ? dynamic_cast<GridComp*>(gob->GetComponent(HashName(GridComp::kTypeName)))
                          : nullptr;
}

// Column and row of a particle of the cloth.
std::pair<int, int> Where(const ClothComp& cloth, const ClothParticle* p)
{
    const auto index = static_cast<int>(p - &cloth.GetParticles()[0]);
    const auto width = static_cast<int>(cloth.GetWidth());
    return {index % width, index / width};
}

bool IsFinite(const Vector3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// A cloth that sags but holds: 0.1 kg particles on stiff, damped springs.
phytest::BodySpec HangingCloth(const Vector3& position, unsigned int span)
{
    phytest::BodySpec spec = phytest::Cloth(position, span, span);
    spec.clothMass = 0.1f * static_cast<float>(span * span);
    spec.stretchK = 50.0f;
    spec.shearK = 20.0f;
    spec.bendK = 10.0f;
    spec.dampingFactor = 1.0f;
    return spec;
}

std::vector<Vector3> Positions(const ClothComp& cloth)
{
    std::vector<Vector3> positions;
    for (std::size_t i = 0; i < cloth.GetParticles().GetElementCount(); ++i)
        positions.push_back(cloth.GetParticlePosition(i));
    return positions;
}

class ClothCompTest : public phytest::PhysicsTest
{
};
} // namespace

TEST_F(ClothCompTest, ATwoByTwoGridGivesFourPinnedParticlesAndSixSpringsInOrder)
{
    phytest::BodySpec spec = phytest::Cloth(Vector3(0, 5, 0), 2, 2);
    spec.spacingY = 2.0f;
    spec.clothMass = 4.0f;
    spec.stretchK = 10.0f;
    spec.shearK = 3.0f;
    spec.bendK = 0.5f;
    spec.dampingFactor = 0.25f;
    ClothComp* cloth = ClothOf(CreateBody(spec));
    ASSERT_NE(cloth, nullptr);
    ASSERT_TRUE(cloth->HasParticles());
    EXPECT_EQ(cloth->GetWidth(), 2u);
    EXPECT_EQ(cloth->GetHeight(), 2u);
    for (std::size_t i = 0; i < 4; ++i)
    {
        EXPECT_TRUE(cloth->GetParticles()[i].pinned) << i;
        EXPECT_FLOAT_EQ(cloth->GetParticles()[i].mass, 1.0f) << i;
    }

    struct Expected
    {
        std::pair<int, int> a, b;
        float stiffness;
        float rest;
    };
    const float diagonal = std::sqrt(5.0f);
    const Expected expected[] = {
        {{0, 0}, {1, 0}, 10.5f, 1.0f}, {{0, 0}, {0, 1}, 10.5f, 2.0f},    {{0, 0}, {1, 1}, 3.0f, diagonal},
        {{1, 0}, {1, 1}, 10.0f, 2.0f}, {{1, 0}, {0, 1}, 3.0f, diagonal}, {{0, 1}, {1, 1}, 10.5f, 1.0f},
    };
    ASSERT_EQ(cloth->GetSprings().size(), 6u);
    for (std::size_t i = 0; i < 6; ++i)
    {
        SCOPED_TRACE(i);
        const ClothSpring& spring = *cloth->GetSprings()[i];
        EXPECT_EQ(Where(*cloth, spring.a), expected[i].a);
        EXPECT_EQ(Where(*cloth, spring.b), expected[i].b);
        EXPECT_FLOAT_EQ(spring.stiffness, expected[i].stiffness);
        EXPECT_FLOAT_EQ(spring.restLength, expected[i].rest);
        EXPECT_FLOAT_EQ(spring.damping, 0.25f);
    }
}

TEST_F(ClothCompTest, EdgeSpringsTakeTheBendStiffnessAndBendSpringsSpanTwoParticles)
{
    // 3 x 1: both structural springs sit at an edge column (c = 0 and c = cols - 2).
    phytest::BodySpec row = phytest::Cloth(Vector3(0, 5, 0), 3, 1, 0.5f);
    row.stretchK = 10.0f;
    row.bendK = 2.0f;
    ClothComp* line = ClothOf(CreateBody(row));
    ASSERT_NE(line, nullptr);
    ASSERT_EQ(line->GetSprings().size(), 3u);
    const std::pair<std::pair<int, int>, std::pair<int, int>> ends[] = {
        {{0, 0}, {1, 0}}, {{0, 0}, {2, 0}}, {{1, 0}, {2, 0}}};
    const float stiffness[] = {12.0f, 2.0f, 12.0f};
    const float rest[] = {0.5f, 1.0f, 0.5f};
    for (std::size_t i = 0; i < 3; ++i)
    {
        SCOPED_TRACE(i);
        const ClothSpring& spring = *line->GetSprings()[i];
        EXPECT_EQ(Where(*line, spring.a), ends[i].first);
        EXPECT_EQ(Where(*line, spring.b), ends[i].second);
        EXPECT_FLOAT_EQ(spring.stiffness, stiffness[i]);
        EXPECT_FLOAT_EQ(spring.restLength, rest[i]);
    }
    EXPECT_FALSE(line->GetParticles()[1].pinned);

    // 4 x 4: the springs along z test the column, not the row.
    phytest::BodySpec square = phytest::Cloth(Vector3(0, 5, 0), 4, 4);
    square.stretchK = 10.0f;
    square.bendK = 2.0f;
    ClothComp* cloth = ClothOf(CreateBody(square));
    ASSERT_NE(cloth, nullptr);
    auto stiffnessOf = [cloth](std::pair<int, int> a, std::pair<int, int> b)
    {
        for (const auto& spring : cloth->GetSprings())
            if (Where(*cloth, spring->a) == a && Where(*cloth, spring->b) == b)
                return spring->stiffness;
        ADD_FAILURE() << "no spring";
        return -1.0f;
    };
    for (int r = 0; r < 3; ++r)
    {
        SCOPED_TRACE(r);
        EXPECT_FLOAT_EQ(stiffnessOf({0, r}, {0, r + 1}), 12.0f);
        EXPECT_FLOAT_EQ(stiffnessOf({1, r}, {1, r + 1}), 10.0f);
        EXPECT_FLOAT_EQ(stiffnessOf({2, r}, {2, r + 1}), 12.0f);
        EXPECT_FLOAT_EQ(stiffnessOf({3, r}, {3, r + 1}), 10.0f);
    }
    EXPECT_FLOAT_EQ(stiffnessOf({1, 3}, {2, 3}), 10.0f);
    EXPECT_FLOAT_EQ(stiffnessOf({2, 3}, {3, 3}), 12.0f);
}

TEST_F(ClothCompTest, TheMassIsSharedOutAndAZeroMassNeverMoves)
{
    phytest::BodySpec spec = phytest::Cloth(Vector3(0, 5, 0), 4, 2);
    spec.clothMass = 8.0f;
    ClothComp* cloth = ClothOf(CreateBody(spec));
    ASSERT_NE(cloth, nullptr);
    for (std::size_t i = 0; i < 8; ++i)
    {
        EXPECT_FLOAT_EQ(cloth->GetParticles()[i].mass, 1.0f);
        EXPECT_FLOAT_EQ(cloth->GetParticles()[i].inverseMass, 1.0f);
    }

    phytest::BodySpec weightlessSpec = HangingCloth(Vector3(10, 5, 0), 3);
    weightlessSpec.clothMass = 0.0f;
    Gob* weightless = CreateBody(weightlessSpec);
    ASSERT_NE(ClothOf(weightless), nullptr);
    engine.Update(kFrame);
    const std::vector<Vector3> start = Positions(*ClothOf(weightless));
    EXPECT_EQ(start[4], Vector3(2.5f, 0.0f, 2.5f)) << "the grid's point";
    for (int i = 0; i < 10; ++i)
        engine.Update(kFrame);
    EXPECT_EQ(ClothOf(weightless)->GetParticles()[4].inverseMass, 0.0f);
    EXPECT_EQ(Positions(*ClothOf(weightless)), start);
}

TEST_F(ClothCompTest, WithoutAGridOrWithASpanOfZeroNothingIsBuiltAndStepsAreSafe)
{
    phytest::BodySpec noGrid = HangingCloth(Vector3(0, 5, 0), 3);
    noGrid.clothGrid = false;
    phytest::BodySpec flat = HangingCloth(Vector3(5, 5, 0), 3);
    flat.spanX = 0;
    phytest::BodySpec thin = HangingCloth(Vector3(10, 5, 0), 3);
    thin.spanY = 0;
    for (const phytest::BodySpec& spec : {noGrid, flat, thin})
    {
        ClothComp* cloth = ClothOf(CreateBody(spec));
        ASSERT_NE(cloth, nullptr);
        EXPECT_FALSE(cloth->HasParticles());
        EXPECT_EQ(cloth->GetParticles().GetElementCount(), 0u);
        EXPECT_TRUE(cloth->GetSprings().empty());
    }
    EXPECT_EQ(engine.GetCloths().size(), 3u) << "an object's cloth is filed even when empty";
    for (int i = 0; i < 5; ++i)
        engine.Update(kFrame);
}

TEST_F(ClothCompTest, TheEngineFilesClothsByIdAndForgetsThemWithTheirObjects)
{
    Gob* first = CreateBody(HangingCloth(Vector3(0, 5, 0), 3));
    Gob* second = CreateBody(HangingCloth(Vector3(10, 5, 0), 3));
    ASSERT_EQ(engine.GetCloths().size(), 2u);
    EXPECT_EQ(engine.GetCloths().begin()->first, first->GetID());
    EXPECT_EQ(engine.GetCloths().begin()->second, ClothOf(first));
    GobManager::Instance().KillGob(first);
    GobManager::Instance().ProcessKillList();
    ASSERT_EQ(engine.GetCloths().size(), 1u);
    EXPECT_EQ(engine.GetCloths().begin()->second, ClothOf(second));
    engine.Update(kFrame);
}

TEST_F(ClothCompTest, EveryStepMovesTheClothByTheFixedClothStepWhateverTheFrame)
{
    // Gravity alone (no spring stiffness): after one step the free centre particle has fallen
    // for 0.016 s in an Euler step.
    for (float frame : {kFrame, 0.1f})
    {
        SCOPED_TRACE(frame);
        phytest::BodySpec spec = phytest::Cloth(Vector3(0, 5, 0), 3, 3);
        spec.clothMass = 9.0f;
        ClothComp* cloth = ClothOf(CreateBody(spec));
        ASSERT_NE(cloth, nullptr);
        engine.Update(frame);
        const ClothParticle& centre = cloth->GetParticles()[4];
        EXPECT_NEAR(centre.velocity.y, -9.8f * 0.016f, 1e-6f);
        EXPECT_NEAR(centre.position.y, -9.8f * 0.016f * 0.016f, 1e-7f);
        EXPECT_NEAR(cloth->GetParticles()[0].force.y, -9.8f, 1e-5f) << "a pinned particle takes forces";
        EXPECT_EQ(cloth->GetParticles()[0].position, Vector3(1.5f, 0.0f, 1.5f)) << "and ignores them";
        GobManager::Instance().DestroyAllGobs();
    }
}

TEST_F(ClothCompTest, WithoutGravityNothingMoves)
{
    engine.gravity = Vector3(0, 0, 0);
    ClothComp* cloth = ClothOf(CreateBody(HangingCloth(Vector3(0, 5, 0), 5)));
    ASSERT_NE(cloth, nullptr);
    engine.Update(kFrame);
    const std::vector<Vector3> start = Positions(*cloth);
    for (int step = 0; step < 100; ++step)
        engine.Update(kFrame);
    EXPECT_EQ(Positions(*cloth), start);
}

TEST_F(ClothCompTest, UnderGravityTheClothSagsSettlesAndTheGridFollows)
{
    Gob* gob = CreateBody(HangingCloth(Vector3(0, 5, 0), 5));
    ClothComp* cloth = ClothOf(gob);
    GridComp* grid = GridOf(gob);
    ASSERT_NE(cloth, nullptr);
    ASSERT_NE(grid, nullptr);
    const std::vector<Vector3> start(grid->GetPoints().GetData(), grid->GetPoints().GetData() + 25);
    const std::size_t corners[] = {0, 4, 20, 24};
    std::vector<float> centreHeights;
    for (int step = 1; step <= 300; ++step)
    {
        engine.Update(kFrame);
        for (std::size_t corner : corners)
            ASSERT_EQ(cloth->GetParticlePosition(corner), start[corner]) << "pinned, step " << step;
        for (std::size_t i = 0; i < 25; ++i)
        {
            ASSERT_TRUE(IsFinite(cloth->GetParticlePosition(i))) << step;
            ASSERT_EQ(grid->GetPoints()[i], cloth->GetParticlePosition(i)) << step << " " << i;
        }
        centreHeights.push_back(cloth->GetParticlePosition(12).y);
    }
    // Down along -y of its own frame, near its own column of x and z (the springs along z of
    // columns 0 and 3 are the stiffened ones, so the sheet leans a little towards x = 0).
    EXPECT_LT(centreHeights[29], -0.01f);
    EXPECT_LT(centreHeights.back(), -0.5f);
    EXPECT_NEAR(cloth->GetParticlePosition(12).x, 4.5f, 0.01f);
    EXPECT_NEAR(cloth->GetParticlePosition(12).z, 4.5f, 1e-4f);
    EXPECT_NEAR(centreHeights.back(), centreHeights[249], 1e-3f) << "settled";
    EXPECT_LT(cloth->GetParticles()[12].velocity.Length(), 1e-2f);
    // The damping reads how the particle moves now: at rest it is no longer pushed.
    EXPECT_GT(centreHeights.back(), -1.0f);
}

TEST_F(ClothCompTest, OnATurnedObjectTheClothSagsAlongTheWorldsGravity)
{
    phytest::BodySpec spec = HangingCloth(Vector3(0, 5, 0), 5);
    spec.orientation.SetFromAxisAngle(Vector3(1, 0, 0), math::kPi * 0.5f);
    Gob* gob = CreateBody(spec);
    ClothComp* cloth = ClothOf(gob);
    ASSERT_NE(cloth, nullptr);
    const Vector3 start = cloth->GetParticlePosition(12);
    EXPECT_EQ(start, Vector3(4.5f, 0.0f, 4.5f));
    for (int step = 0; step < 60; ++step)
        engine.Update(kFrame);
    const Vector3 local = cloth->GetParticlePosition(12) - start;
    EXPECT_NEAR(local.y, 0.0f, 1e-4f) << "the sheet hangs in its own plane";
    const Vector3 world = Pov(gob)->GetOrientation().Rotate(local);
    EXPECT_LT(world.y, -0.01f);
    EXPECT_NEAR(world.x, 0.0f, 0.01f * std::fabs(world.y));
    EXPECT_NEAR(world.z, 0.0f, 1e-4f);
}

TEST_F(ClothCompTest, CoincidentParticlesGiveNoNaN)
{
    phytest::BodySpec spec = HangingCloth(Vector3(0, 5, 0), 3);
    spec.spacingX = 0.0f;
    spec.spacingY = 0.0f;
    ClothComp* cloth = ClothOf(CreateBody(spec));
    ASSERT_NE(cloth, nullptr);
    for (int step = 0; step < 50; ++step)
        engine.Update(kFrame);
    for (std::size_t i = 0; i < 9; ++i)
        EXPECT_TRUE(IsFinite(cloth->GetParticlePosition(i))) << i;
    EXPECT_LT(cloth->GetParticlePosition(4).y, -0.005f) << "the free particles still fall";

    ClothParticle a;
    ClothParticle b;
    a.position = b.position = Vector3(1, 2, 3);
    a.velocity = Vector3(1, 0, 0);
    ClothSpring spring(&a, &b, 10.0f, 1.0f, 0.5f);
    spring.Apply(0.016f);
    EXPECT_EQ(a.force, Vector3());
    EXPECT_EQ(b.force, Vector3());
}

TEST_F(ClothCompTest, ASpringPullsTowardsItsRestLengthAndDampsTheApproach)
{
    ClothParticle a;
    ClothParticle b;
    b.position = Vector3(2, 0, 0);
    a.velocity = Vector3(1, 0, 0);
    ClothSpring spring(&a, &b, 3.0f, 0.5f, 1.0f);
    spring.Apply(0.016f);
    // Stretched by 1 (3 N towards b), closing at 1 (0.5 N away): 2.5 N on each, opposite.
    EXPECT_EQ(a.force, Vector3(2.5f, 0, 0));
    EXPECT_EQ(b.force, Vector3(-2.5f, 0, 0));
}

TEST_F(ClothCompTest, ParticlesTakeAnEulerStepThenVerletStepsThatKeepTheirVelocityCurrent)
{
    ClothParticle particle;
    particle.SetMass(2.0f);
    particle.force = Vector3(0, -2, 0);
    particle.Integrate(0.1f);
    EXPECT_FALSE(particle.firstStep);
    EXPECT_EQ(particle.velocity, Vector3(0, -0.1f, 0));
    EXPECT_EQ(particle.position, Vector3(0, -0.01f, 0));
    EXPECT_EQ(particle.previousPosition, Vector3());

    // Verlet: keeps 0.95 of the last move; the velocity follows the move.
    particle.Integrate(0.1f);
    EXPECT_NEAR(particle.position.y, -0.01f - 0.0095f - 0.01f, 1e-7f);
    EXPECT_NEAR(particle.velocity.y, (-0.0295f + 0.01f) / 0.1f, 1e-5f);
    particle.force = Vector3();
    for (int i = 0; i < 200; ++i)
        particle.Integrate(0.1f);
    EXPECT_LT(particle.velocity.Length(), 1e-4f) << "no force left: it coasts to rest";

    ClothParticle pinned;
    pinned.SetMass(1.0f);
    pinned.Pin();
    pinned.position = Vector3(1, 1, 1);
    pinned.force = Vector3(5, 5, 5);
    for (int i = 0; i < 3; ++i)
        pinned.Integrate(0.1f);
    EXPECT_FALSE(pinned.firstStep);
    EXPECT_EQ(pinned.position, Vector3(1, 1, 1));
    EXPECT_EQ(pinned.velocity, Vector3());

    ClothParticle weightless;
    weightless.SetMass(5e-8f);
    EXPECT_EQ(weightless.inverseMass, 0.0f);
}

TEST_F(ClothCompTest, TheFiveValuesMakeTheRoundTripAndUnusableOnesAreRefused)
{
    ClothComp saved;
    saved.mass = 2.5f;
    saved.stretchK = 40.0f;
    saved.shearK = 12.0f;
    saved.bendK = 3.5f;
    saved.dampingFactor = 0.75f;
    TiXmlElement parent("Gob");
    ASSERT_TRUE(saved.Serialize(&parent));
    const TiXmlElement* element = parent.FirstChildElement("Component");
    ASSERT_NE(element, nullptr);
    EXPECT_STREQ(element->Attribute("name"), "ClothComp");
    std::vector<std::string> names;
    for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
    {
        EXPECT_STREQ(child->Value(), "float");
        names.push_back(child->Attribute("name"));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Mass", "StretchK", "ShearK", "BendK", "DampingFactor"}));

    ClothComp loaded;
    ASSERT_TRUE(loaded.Deserialize(element));
    EXPECT_EQ(loaded.mass, 2.5f);
    EXPECT_EQ(loaded.stretchK, 40.0f);
    EXPECT_EQ(loaded.shearK, 12.0f);
    EXPECT_EQ(loaded.bendK, 3.5f);
    EXPECT_EQ(loaded.dampingFactor, 0.75f);
    ASSERT_EQ(loaded.GetForces().size(), 1u);
    EXPECT_EQ(loaded.GetForces().begin()->first, "Gravity");

    TiXmlDocument bad;
    bad.Parse(
        "<Component name=\"ClothComp\"><float name=\"Mass\">nan</float><float name=\"StretchK\">-5</float>"
        "<float name=\"ShearK\">7</float></Component>");
    testsupport::LogCapture logged;
    ASSERT_TRUE(loaded.Deserialize(bad.RootElement()));
    EXPECT_EQ(logged.Text(),
              "ClothComp::Deserialize: \"Mass\" is \"nan\", not a usable number; the value is kept\n"
              "ClothComp::Deserialize: \"StretchK\" is -5, which cannot be negative; the value is kept\n");
    EXPECT_EQ(loaded.mass, 2.5f);
    EXPECT_EQ(loaded.stretchK, 40.0f);
    EXPECT_EQ(loaded.shearK, 7.0f);
    EXPECT_EQ(loaded.bendK, 3.5f) << "a missing element keeps its value";
}

TEST_F(ClothCompTest, AClothWhoseNumbersRunAwayIsPutBackAtRestWithOneLine)
{
    phytest::BodySpec spec = phytest::Cloth(Vector3(0, 5, 0), 5, 5);
    spec.clothMass = 0.025f;
    spec.stretchK = 100000.0f;
    ClothComp* cloth = ClothOf(CreateBody(spec));
    ASSERT_NE(cloth, nullptr);
    GridComp* grid = GridOf(cloth->GetOwner());
    const std::vector<Vector3> rest = Positions(*cloth);
    for (int step = 0; step < 200; ++step)
        engine.Update(kFrame);
    EXPECT_TRUE(cloth->HasRunAway());
    EXPECT_EQ(Positions(*cloth), rest) << "back at rest";
    EXPECT_EQ(std::vector<Vector3>(grid->GetPoints().GetData(), grid->GetPoints().GetData() + 25), rest);
    int reports = 0;
    for (const std::string& line : phytest::ConsoleLines())
        if (line.find("ClothComp - ") != std::string::npos)
            ++reports;
    EXPECT_EQ(reports, 1);

    // The same cloth with a mass its springs can carry keeps moving.
    spec.clothMass = 2.5f;
    spec.stretchK = 50.0f;
    ClothComp* sound = ClothOf(CreateBody(spec));
    for (int step = 0; step < 200; ++step)
        engine.Update(kFrame);
    EXPECT_FALSE(sound->HasRunAway());
}
