// ODE (Debian libode-dev, built in double precision) as a black-box reference: a hash space for
// the broad phase, dCollide for the contacts (up to 8 a pair) and dWorldQuickStep, one call a
// step of 1/30 s, with the scene's iteration count. Contacts take mu and bounce as the product of
// both sides (Coulomb friction through dContactApprox1, bouncing from an approach of 0.001 as
// ours); the world keeps ODE's default ERP and CFM and a contact surface layer of 0.001.
#pragma once

#include "EngineAdapter.h"

namespace physbench
{
class OdeAdapter : public EngineAdapter
{
public:
    // Surface layer, world units: how deep contacts may sink before they are pushed apart.
    static constexpr double kSurfaceLayer = 0.001;
    static constexpr int kMaxContacts = 8;

    OdeAdapter();
    ~OdeAdapter() override;

    const char* Name() const override { return "ode"; }
    bool Build(const BenchScene& scene, const EngineSettings& settings, std::string* error) override;
    StepTime Step() override;
    std::vector<BodySample> Bodies() const override;
    ContactCount Contacts() const override { return m_contacts; }

    // Called by ODE's broad phase for every pair of geoms whose boxes meet.
    void Near(void* a, void* b);

private:
    struct Surface
    {
        double friction = 0.0;
        double restitution = 0.0;
    };
    struct Body
    {
        void* body = nullptr; // dBodyID
        physcene::BodyPose pose;
    };
    void Clear();

    void* m_world = nullptr;        // dWorldID
    void* m_space = nullptr;        // dSpaceID
    void* m_contactGroup = nullptr; // dJointGroupID
    std::vector<Body> m_bodies;
    std::vector<Surface> m_surfaces; // one per geom, pointed at by the geom's data
    ContactCount m_contacts;
};
} // namespace physbench
