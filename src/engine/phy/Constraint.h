// A constraint ties bodies together inside the dynamics engine's impulse loop: once per pass it
// is prepared, then solved in every sweep between the contact impulses. It takes part only while
// enabled; enabling files it with the engine. A broken constraint keeps acting for the rest of
// the step and is disabled at its end. The game component that holds a constraint owns it.
// Concrete constraints add themselves to their bodies' constraint lists and take themselves off
// again, so a dying body can tell each of them it is gone (DetachBody).
#pragma once

namespace dorvo
{
namespace phy
{
class PhysicsComp;

class Constraint
{
public:
    Constraint() = default;
    // Disables the constraint when it is enabled.
    virtual ~Constraint();

    Constraint(const Constraint&) = delete;
    Constraint& operator=(const Constraint&) = delete;

    // Once per pass, before the sweeps; dt in seconds. Nothing in the base.
    virtual void Prepare(float dt);
    // One sweep; true when an impulse was applied.
    virtual bool Solve(float dt) = 0;
    // The body is being destroyed: the constraint must forget it. Nothing in the base.
    virtual void DetachBody(PhysicsComp* body);
    // Open hooks; nothing in the engine or the game calls them yet.
    virtual void AttachBody(PhysicsComp* body);
    virtual bool AllowsContact(PhysicsComp* a, PhysicsComp* b) const;

    // Sets the flag and files the constraint with the engine; nothing when enabled already.
    void Enable();
    // Clears the flag and takes it out of the engine; nothing when not enabled.
    void Disable();
    // Queues it to be disabled at the end of the current step (once, however often it breaks).
    void Break();

    bool IsEnabled() const { return m_enabled; }

private:
    bool m_enabled = false;
};
} // namespace phy
} // namespace dorvo
