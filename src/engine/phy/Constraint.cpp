#include "engine/phy/Constraint.h"

#include "engine/phy/DynamicsEngine.h"

namespace dorvo
{
namespace phy
{
Constraint::~Constraint()
{
    Disable();
}

void Constraint::Prepare(float) {}

void Constraint::DetachBody(PhysicsComp*) {}

void Constraint::AttachBody(PhysicsComp*) {}

bool Constraint::AllowsContact(PhysicsComp*, PhysicsComp*) const
{
    return true;
}

void Constraint::Enable()
{
    if (m_enabled)
        return;
    m_enabled = true;
    DynamicsEngine::Instance().AddConstraint(this);
}

void Constraint::Disable()
{
    if (!m_enabled)
        return;
    m_enabled = false;
    // A constraint that outlives the engine (a static torn down later) has nothing to leave.
    if (DynamicsEngine* engine = DynamicsEngine::IfAlive())
        engine->RemoveConstraint(this);
}

void Constraint::Break()
{
    DynamicsEngine::Instance().QueueBrokenConstraint(this);
}
} // namespace phy
} // namespace dorvo
