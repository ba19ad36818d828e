#include "BulletAdapter.h"

#include <btBulletDynamicsCommon.h>

namespace physbench
{
namespace
{
constexpr btScalar kStep = btScalar(1.0) / btScalar(30.0);

btVector3 ToBullet(const math::Vector3& v)
{
    return btVector3(v.x, v.y, v.z);
}

math::Vector3 FromBullet(const btVector3& v)
{
    return math::Vector3(v.x(), v.y(), v.z());
}
} // namespace

BulletAdapter::BulletAdapter() = default;

BulletAdapter::~BulletAdapter()
{
    Clear();
}

void BulletAdapter::Clear()
{
    if (m_world)
    {
        for (auto& joint : m_joints)
            m_world->removeConstraint(joint.get());
        for (auto& body : m_owned)
            m_world->removeRigidBody(body.get());
    }
    m_joints.clear();
    m_owned.clear();
    m_bodies.clear();
    m_shapes.clear();
    m_world.reset();
    m_solver.reset();
    m_broadphase.reset();
    m_dispatcher.reset();
    m_configuration.reset();
}

bool BulletAdapter::Build(const BenchScene& scene, const EngineSettings& settings, std::string* error)
{
    Clear();
    m_configuration = std::make_unique<btDefaultCollisionConfiguration>();
    m_dispatcher = std::make_unique<btCollisionDispatcher>(m_configuration.get());
    m_broadphase = std::make_unique<btDbvtBroadphase>();
    m_solver = std::make_unique<btSequentialImpulseConstraintSolver>();
    m_world = std::make_unique<btDiscreteDynamicsWorld>(m_dispatcher.get(), m_broadphase.get(),
                                                        m_solver.get(), m_configuration.get());
    m_world->setGravity(ToBullet(scene.scene.gravity));
    m_world->getSolverInfo().m_numIterations = settings.referenceIterations;

    std::vector<std::pair<std::string, btRigidBody*>> named;
    for (const physcene::ObjectDesc& desc : scene.scene.objects)
    {
        btCollisionShape* shape = nullptr;
        Body body;
        switch (desc.shape)
        {
        case physcene::Shape::Plane:
            // Ours: n.p + d = 0; Bullet's plane: n.p = constant.
            shape = new btStaticPlaneShape(ToBullet(desc.planeNormal), -desc.planeD);
            break;
        case physcene::Shape::Sphere:
            shape = new btSphereShape(desc.scale.x * 0.5f);
            body.pose.shape = physcene::Shape::Sphere;
            body.pose.halfSize = math::Vector3(desc.scale.x * 0.5f, 0.0f, 0.0f);
            break;
        case physcene::Shape::Box:
            shape = new btBoxShape(ToBullet(desc.scale * 0.5f));
            body.pose.shape = physcene::Shape::Box;
            body.pose.halfSize = desc.scale * 0.5f;
            break;
        case physcene::Shape::Triangle:
            *error = "object \"" + desc.name + "\": the reference adapters take no triangles";
            return false;
        }
        m_shapes.emplace_back(shape);
        const bool dynamic = desc.body && desc.shape != physcene::Shape::Plane && !desc.immovable;
        const btScalar mass = dynamic ? desc.mass : 0.0f;
        btVector3 inertia(0, 0, 0);
        if (dynamic)
        {
            if (settings.ourInertia)
                inertia = ToBullet(OurInertia(desc));
            else
                shape->calculateLocalInertia(mass, inertia);
        }
        btRigidBody::btRigidBodyConstructionInfo info(mass, nullptr, shape, inertia);
        info.m_startWorldTransform.setIdentity();
        if (desc.shape != physcene::Shape::Plane)
        {
            info.m_startWorldTransform.setOrigin(ToBullet(desc.position));
            info.m_startWorldTransform.setRotation(
                btQuaternion(desc.orientation.x, desc.orientation.y, desc.orientation.z, desc.orientation.w));
        }
        info.m_friction = desc.kineticFriction;
        info.m_restitution = desc.restitution;
        auto rigid = std::make_unique<btRigidBody>(info);
        if (dynamic)
        {
            rigid->setLinearVelocity(ToBullet(desc.velocity));
            rigid->setAngularVelocity(ToBullet(desc.angularVelocity));
            if (!desc.gravity)
                rigid->setFlags(rigid->getFlags() | BT_DISABLE_WORLD_GRAVITY);
            if (!settings.sleep)
                rigid->setActivationState(DISABLE_DEACTIVATION);
            body.body = rigid.get();
            body.pose.mass = desc.mass;
            body.pose.inertia = math::Vector3(inertia.x(), inertia.y(), inertia.z());
            m_bodies.push_back(body);
            named.emplace_back(desc.name, rigid.get());
        }
        m_world->addRigidBody(rigid.get());
        if (!desc.gravity && dynamic)
            rigid->setGravity(btVector3(0, 0, 0));
        m_owned.push_back(std::move(rigid));
    }
    for (const Joint& joint : scene.joints)
    {
        btRigidBody* body = nullptr;
        for (const auto& entry : named)
            if (entry.first == joint.body)
                body = entry.second;
        if (body == nullptr)
        {
            *error = "joint on \"" + joint.body + "\", which has no body";
            return false;
        }
        auto constraint = std::make_unique<btPoint2PointConstraint>(*body, ToBullet(joint.anchor));
        constraint->setPivotB(ToBullet(joint.pivot));
        m_world->addConstraint(constraint.get());
        m_joints.push_back(std::move(constraint));
    }
    return true;
}

StepTime BulletAdapter::Step()
{
    const StepClock clock;
    m_world->stepSimulation(kStep, 0);
    return clock.Stop();
}

std::vector<BodySample> BulletAdapter::Bodies() const
{
    std::vector<BodySample> samples;
    samples.reserve(m_bodies.size());
    for (const Body& body : m_bodies)
    {
        BodySample sample;
        sample.pose = body.pose;
        const btTransform& transform = body.body->getWorldTransform();
        sample.pose.position = FromBullet(transform.getOrigin());
        const btQuaternion q = transform.getRotation();
        sample.pose.orientation = math::Quaternion(q.w(), q.x(), q.y(), q.z());
        sample.pose.velocity = FromBullet(body.body->getLinearVelocity());
        sample.pose.angularVelocity = FromBullet(body.body->getAngularVelocity());
        samples.push_back(sample);
    }
    return samples;
}

ContactCount BulletAdapter::Contacts() const
{
    ContactCount count;
    const int manifolds = m_dispatcher->getNumManifolds();
    for (int i = 0; i < manifolds; ++i)
    {
        const int points = m_dispatcher->getManifoldByIndexInternal(i)->getNumContacts();
        count.points += points;
        if (points > 0)
            ++count.pairs;
    }
    count.uniquePairs = count.pairs;
    return count;
}
} // namespace physbench
