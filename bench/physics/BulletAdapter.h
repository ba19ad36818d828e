// Bullet (Debian libbullet-dev, single precision like ours) as a black-box reference: a
// discrete dynamics world with the default collision configuration, the dynamic AABB tree
// broad phase and the sequential-impulse solver, stepped by stepSimulation(1/30, 0) so that
// every call is exactly one step of 1/30 s. Friction and restitution combine as the product of
// both sides (Bullet's default); shapes keep Bullet's default collision margin.
#pragma once

#include "EngineAdapter.h"

#include <memory>

class btBroadphaseInterface;
class btCollisionDispatcher;
class btCollisionShape;
class btDefaultCollisionConfiguration;
class btDiscreteDynamicsWorld;
class btRigidBody;
class btSequentialImpulseConstraintSolver;
class btTypedConstraint;

namespace physbench
{
class BulletAdapter : public EngineAdapter
{
public:
    BulletAdapter();
    ~BulletAdapter() override;

    const char* Name() const override { return "bullet"; }
    bool Build(const BenchScene& scene, const EngineSettings& settings, std::string* error) override;
    StepTime Step() override;
    std::vector<BodySample> Bodies() const override;
    ContactCount Contacts() const override;

private:
    struct Body
    {
        btRigidBody* body = nullptr; // owned by this adapter, added to the world
        physcene::BodyPose pose;     // shape, size, mass and inertia; the state is read per step
    };
    void Clear();

    std::unique_ptr<btDefaultCollisionConfiguration> m_configuration;
    std::unique_ptr<btCollisionDispatcher> m_dispatcher;
    std::unique_ptr<btBroadphaseInterface> m_broadphase;
    std::unique_ptr<btSequentialImpulseConstraintSolver> m_solver;
    std::unique_ptr<btDiscreteDynamicsWorld> m_world;
    std::vector<std::unique_ptr<btCollisionShape>> m_shapes;
    std::vector<std::unique_ptr<btRigidBody>> m_owned; // every body, static ones too
    std::vector<std::unique_ptr<btTypedConstraint>> m_joints;
    std::vector<Body> m_bodies;
};
} // namespace physbench
