#include "OdeAdapter.h"

#include <ode/ode.h>

namespace physbench
{
namespace
{
constexpr dReal kStep = dReal(1.0) / dReal(30.0);
constexpr dReal kBounceSpeed = 0.001; // the least approach that bounces, as our threshold

void NearCallback(void* data, dGeomID a, dGeomID b)
{
    static_cast<OdeAdapter*>(data)->Near(a, b);
}

void InitOnce()
{
    static const bool s_initialised = [] { return dInitODE2(0) != 0; }();
    (void)s_initialised;
}
} // namespace

OdeAdapter::OdeAdapter()
{
    InitOnce();
}

OdeAdapter::~OdeAdapter()
{
    Clear();
}

void OdeAdapter::Clear()
{
    if (m_contactGroup != nullptr)
        dJointGroupDestroy(static_cast<dJointGroupID>(m_contactGroup));
    if (m_space != nullptr)
        dSpaceDestroy(static_cast<dSpaceID>(m_space)); // with its geoms
    if (m_world != nullptr)
        dWorldDestroy(static_cast<dWorldID>(m_world)); // with its bodies and joints
    m_contactGroup = nullptr;
    m_space = nullptr;
    m_world = nullptr;
    m_bodies.clear();
    m_surfaces.clear();
}

bool OdeAdapter::Build(const BenchScene& scene, const EngineSettings& settings, std::string* error)
{
    Clear();
    dWorldID world = dWorldCreate();
    dSpaceID space = dHashSpaceCreate(nullptr);
    m_world = world;
    m_space = space;
    m_contactGroup = dJointGroupCreate(0);
    const math::Vector3& g = scene.scene.gravity;
    dWorldSetGravity(world, g.x, g.y, g.z);
    dWorldSetQuickStepNumIterations(world, settings.referenceIterations);
    dWorldSetContactSurfaceLayer(world, kSurfaceLayer);
    dWorldSetAutoDisableFlag(world, settings.sleep ? 1 : 0);

    // Geoms point at their surfaces: reserve so that the pointers stay put.
    m_surfaces.reserve(scene.scene.objects.size());
    std::vector<std::pair<std::string, dBodyID>> named;
    for (const physcene::ObjectDesc& desc : scene.scene.objects)
    {
        dGeomID geom = nullptr;
        Body body;
        switch (desc.shape)
        {
        case physcene::Shape::Plane:
            // Ours: n.p + d = 0; ODE's plane: n.p = d.
            geom =
                dCreatePlane(space, desc.planeNormal.x, desc.planeNormal.y, desc.planeNormal.z, -desc.planeD);
            break;
        case physcene::Shape::Sphere:
            geom = dCreateSphere(space, desc.scale.x * 0.5);
            body.pose.shape = physcene::Shape::Sphere;
            body.pose.halfSize = math::Vector3(desc.scale.x * 0.5f, 0.0f, 0.0f);
            break;
        case physcene::Shape::Box:
            geom = dCreateBox(space, desc.scale.x, desc.scale.y, desc.scale.z);
            body.pose.shape = physcene::Shape::Box;
            body.pose.halfSize = desc.scale * 0.5f;
            break;
        case physcene::Shape::Triangle:
            *error = "object \"" + desc.name + "\": the reference adapters take no triangles";
            return false;
        }
        m_surfaces.push_back(Surface{desc.kineticFriction, desc.restitution});
        dGeomSetData(geom, &m_surfaces.back());
        const bool dynamic = desc.body && desc.shape != physcene::Shape::Plane && !desc.immovable;
        if (!dynamic)
        {
            if (desc.shape != physcene::Shape::Plane)
            {
                dGeomSetPosition(geom, desc.position.x, desc.position.y, desc.position.z);
                const dQuaternion q = {desc.orientation.w, desc.orientation.x, desc.orientation.y,
                                       desc.orientation.z};
                dGeomSetQuaternion(geom, q);
            }
            continue;
        }
        dBodyID rigid = dBodyCreate(world);
        dMass mass;
        if (settings.ourInertia)
        {
            const math::Vector3 inertia = OurInertia(desc);
            dMassSetParameters(&mass, desc.mass, 0, 0, 0, inertia.x, inertia.y, inertia.z, 0, 0, 0);
        }
        else if (desc.shape == physcene::Shape::Sphere)
            dMassSetSphereTotal(&mass, desc.mass, desc.scale.x * 0.5);
        else
            dMassSetBoxTotal(&mass, desc.mass, desc.scale.x, desc.scale.y, desc.scale.z);
        dBodySetMass(rigid, &mass);
        dGeomSetBody(geom, rigid);
        dBodySetPosition(rigid, desc.position.x, desc.position.y, desc.position.z);
        const dQuaternion q = {desc.orientation.w, desc.orientation.x, desc.orientation.y,
                               desc.orientation.z};
        dBodySetQuaternion(rigid, q);
        dBodySetLinearVel(rigid, desc.velocity.x, desc.velocity.y, desc.velocity.z);
        dBodySetAngularVel(rigid, desc.angularVelocity.x, desc.angularVelocity.y, desc.angularVelocity.z);
        if (!desc.gravity)
            dBodySetGravityMode(rigid, 0);
        body.body = rigid;
        body.pose.mass = static_cast<float>(mass.mass);
        body.pose.inertia = math::Vector3(static_cast<float>(mass.I[0]), static_cast<float>(mass.I[5]),
                                          static_cast<float>(mass.I[10]));
        m_bodies.push_back(body);
        named.emplace_back(desc.name, rigid);
    }
    for (const Joint& joint : scene.joints)
    {
        dBodyID body = nullptr;
        for (const auto& entry : named)
            if (entry.first == joint.body)
                body = entry.second;
        if (body == nullptr)
        {
            *error = "joint on \"" + joint.body + "\", which has no body";
            return false;
        }
        dJointID ball = dJointCreateBall(world, nullptr);
        dJointAttach(ball, body, nullptr);
        dJointSetBallAnchor(ball, joint.pivot.x, joint.pivot.y, joint.pivot.z);
    }
    return true;
}

void OdeAdapter::Near(void* a, void* b)
{
    dGeomID geomA = static_cast<dGeomID>(a);
    dGeomID geomB = static_cast<dGeomID>(b);
    dBodyID bodyA = dGeomGetBody(geomA);
    dBodyID bodyB = dGeomGetBody(geomB);
    if (bodyA == nullptr && bodyB == nullptr)
        return;
    dContact contacts[kMaxContacts];
    const int count = dCollide(geomA, geomB, kMaxContacts, &contacts[0].geom, sizeof(dContact));
    if (count <= 0)
        return;
    const auto* surfaceA = static_cast<const Surface*>(dGeomGetData(geomA));
    const auto* surfaceB = static_cast<const Surface*>(dGeomGetData(geomB));
    m_contacts.points += count;
    ++m_contacts.pairs;
    ++m_contacts.uniquePairs;
    for (int i = 0; i < count; ++i)
    {
        dSurfaceParameters& surface = contacts[i].surface;
        surface.mode = dContactBounce | dContactApprox1;
        surface.mu = surfaceA->friction * surfaceB->friction;
        surface.bounce = surfaceA->restitution * surfaceB->restitution;
        surface.bounce_vel = kBounceSpeed;
        dJointID joint = dJointCreateContact(static_cast<dWorldID>(m_world),
                                             static_cast<dJointGroupID>(m_contactGroup), &contacts[i]);
        dJointAttach(joint, bodyA, bodyB);
    }
}

StepTime OdeAdapter::Step()
{
    m_contacts = ContactCount();
    const StepClock clock;
    dSpaceCollide(static_cast<dSpaceID>(m_space), this, &NearCallback);
    dWorldQuickStep(static_cast<dWorldID>(m_world), kStep);
    dJointGroupEmpty(static_cast<dJointGroupID>(m_contactGroup));
    return clock.Stop();
}

std::vector<BodySample> OdeAdapter::Bodies() const
{
    std::vector<BodySample> samples;
    samples.reserve(m_bodies.size());
    for (const Body& body : m_bodies)
    {
        dBodyID id = static_cast<dBodyID>(body.body);
        BodySample sample;
        sample.pose = body.pose;
        const dReal* p = dBodyGetPosition(id);
        const dReal* q = dBodyGetQuaternion(id);
        const dReal* v = dBodyGetLinearVel(id);
        const dReal* w = dBodyGetAngularVel(id);
        sample.pose.position = math::Vector3(float(p[0]), float(p[1]), float(p[2]));
        sample.pose.orientation = math::Quaternion(float(q[0]), float(q[1]), float(q[2]), float(q[3]));
        sample.pose.velocity = math::Vector3(float(v[0]), float(v[1]), float(v[2]));
        sample.pose.angularVelocity = math::Vector3(float(w[0]), float(w[1]), float(w[2]));
        samples.push_back(sample);
    }
    return samples;
}
} // namespace physbench
