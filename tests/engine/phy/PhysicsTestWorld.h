// The shared ground of the physics tests: a fixture that gives every test a fresh world (the
// game's oct tree, no objects, the dynamics engine back at its defaults and started) and helpers
// that build test objects the way the game does, from a template and an archetype file written
// for the occasion and loaded through the GobManager (the scene library's body templates).
//
//   phytest::BodySpec ball = phytest::Sphere(math::Vector3(0, 10, 0));
//   Gob* gob = phytest::CreateBody(ball);
//   phytest::Body(gob)->velocity ...
#pragma once

#include "TestSupport.h"
#include "common/COctTree.h"
#include "common/ConsoleInterface.h"
#include "common/HashName.h"
#include "common/XmlUtil.h"
#include "common/math/AABB.h"
#include "common/math/Quaternion.h"
#include "common/math/Sphere.h"
#include "common/math/Vector3.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/RegisterCoreComponentTypes.h"
#include "engine/phy/CollisionComp.h"
#include "engine/phy/CollisionHull.h"
#include "engine/phy/DynamicsEngine.h"
#include "engine/phy/PhysicsComp.h"
#include "physcene/BodyTemplates.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>
#include <vector>

namespace phytest
{
// The body specs and their builders live in the scene library, which the benchmark shares.
using physcene::BodySpec;
using physcene::Box;
using physcene::Cloth;
using physcene::Plane;
using physcene::Sphere;
using physcene::Triangle;
using physcene::WriteBodyComponents;

// A template of its own for the body description, written into the working folder; returns the
// archetype's name.
inline std::string LoadBodyTemplate(const BodySpec& spec)
{
    const std::string name = physcene::LoadBodyTemplate(spec);
    EXPECT_FALSE(name.empty());
    return name;
}

// A new, initialised object from a template of its own.
inline Gob* CreateBody(const BodySpec& spec)
{
    Gob* gob = GobManager::Instance().CreateGob(phytest::LoadBodyTemplate(spec));
    EXPECT_NE(gob, nullptr);
    return gob;
}

inline dorvo::phy::PhysicsComp* Body(Gob* gob)
{
    return dorvo::phy::GetPhysicsComp(gob);
}

inline dorvo::phy::CollisionComp* Collision(Gob* gob)
{
    return gob != nullptr ? dynamic_cast<dorvo::phy::CollisionComp*>(
                                gob->GetComponent(HashName(dorvo::phy::CollisionComp::kTypeName)))
                          : nullptr;
}

inline dorvo::phy::CollisionHull* Hull(Gob* gob)
{
    dorvo::phy::CollisionComp* comp = Collision(gob);
    return comp != nullptr ? comp->GetHull() : nullptr;
}

inline POVComp* Pov(Gob* gob)
{
    return GetPOVComp(gob);
}

// The game's world: depth 4 over (-90, -90, -90) to (150, 630, 150), no objects, the engine at
// its defaults and started, the console empty.
inline void ResetPhysicsWorld()
{
    physcene::ResetWorld();
}

// The console's output lines, oldest first.
inline std::vector<std::string> ConsoleLines()
{
    const auto& lines = common::ConsoleInterface::Instance().GetOutputLines();
    return std::vector<std::string>(lines.begin(), lines.end());
}

// Every physics test starts in a fresh world inside a temporary working folder, which holds the
// template files its bodies are made from.
class PhysicsTest : public ::testing::Test
{
protected:
    void SetUp() override { ResetPhysicsWorld(); }
    void TearDown() override
    {
        GobManager::Instance().DestroyAllGobs();
        dorvo::phy::DynamicsEngine::Instance().Reset();
    }

    dorvo::phy::DynamicsEngine& engine = dorvo::phy::DynamicsEngine::Instance();
    testsupport::TempWorkDir dir;
};
} // namespace phytest
