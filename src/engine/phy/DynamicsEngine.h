// The one physics world of the program. It knows every rigid body (PhysicsComp), cloth and
// enabled constraint, owns the collision detector and the collision results of the current
// step, keeps the force creators by type name, and runs the fixed-order step. The shell starts
// it once (Init registers the physics component creators, the detector's pair tests, the console
// commands and the built-in forces); the game steps it every frame with a fixed 1/30 s and
// writes `paused` and `gravity` directly. Bodies, cloths, constraints and creators belong to
// others.
#pragma once

#include "common/math/Vector3.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

template <class T> class DefaultCreator;

namespace dorvo
{
namespace phy
{
class ClothComp;
class CollisionComp;
class CollisionDetector;
class CollisionInfo;
class Constraint;
class Force;
class PhysicsComp;

class DynamicsEngine
{
public:
    // Seconds every cloth pass steps, whatever the frame: the cloths were tuned for it.
    static constexpr float kClothStep = 0.016f;
    // Sweeps of the collision pass and of the contact pass after construction and Reset: the
    // game's setting, which the committed physics hashes were taken with.
    static constexpr unsigned int kDefaultSteps = 6;

    // Made on first use, destroyed at program exit.
    static DynamicsEngine& Instance();
    // The engine, or null once it has been destroyed at exit (components torn down later by
    // other statics ask this instead of Instance).
    static DynamicsEngine* IfAlive();

    // Start-up registration: the "PhysicsComp", "CollisionComp" and "ClothComp" creators, the
    // collision detector's pair tests, the console commands "collisionSteps", "contactSteps",
    // "performShock" and "allowFreeze", and the force creators "Gravity" and "DragForce".
    // Running it again changes nothing (the pair tests refill the same cells).
    void Init();
    // Back to the state after Init for a fresh world: default settings and gravity, not paused,
    // the active, broken and result lists emptied. Call it after GobManager::DestroyAllGobs,
    // whose destructors take the bodies and cloths out.
    void Reset();

    // One step of dt seconds (the game passes 1/30; more than 0.1 runs 0.1). Nothing while
    // paused or for a negative dt.
    void Update(float dt);
    // The fixed-order step; Update calls it.
    void Step(float dt);

    // Whether Init has run.
    bool IsInitialised() const { return m_initialised; }

    // Registration services of the components, constraints and cloth.
    void AddBody(std::uint32_t id, PhysicsComp* body); // an id filed already keeps its entry
    void RemoveBody(std::uint32_t id);
    void AddCloth(std::uint32_t id, ClothComp* cloth);
    void RemoveCloth(std::uint32_t id);
    // Collision components are filed with the collision detector; without one nothing happens.
    void AddCollisionComp(std::uint32_t id, CollisionComp* comp);
    void RemoveCollisionComp(std::uint32_t id);
    void AddConstraint(Constraint* constraint);         // once
    void RemoveConstraint(Constraint* constraint);      // keeps the order of the rest
    void QueueBrokenConstraint(Constraint* constraint); // once

    // The creator is a static of its registrar and is not owned; a name filed already keeps its
    // first creator.
    void RegisterForceCreator(const std::string& name, DefaultCreator<Force>* creator);
    // A new force of that type name, owned by the caller; null for a name without a creator.
    Force* CreateForce(const std::string& name) const;

    // Wakes a frozen body that is not immovable: clears its frozen flag and freeze timer, adds
    // it once to this step's active bodies and detects its contacts, appending them to this
    // step's results; a frozen neighbour whose force pushes into the woken body wakes too.
    void WakeBody(PhysicsComp* body);

    // The console settings. Turning freezing off wakes every frozen body and restarts every
    // freeze timer, so nothing stays frozen for ever.
    void SetCollisionSteps(unsigned int steps);
    void SetContactSteps(unsigned int steps);
    void SetPerformShock(bool perform);
    void SetAllowFreeze(bool allow);
    unsigned int GetCollisionSteps() const { return m_collisionSteps; } // sweeps of the collision pass
    unsigned int GetContactSteps() const { return m_contactSteps; }     // sweeps of the contact pass
    bool GetPerformShock() const { return m_performShock; }
    bool GetAllowFreeze() const { return m_allowFreeze; }

    // Every body and cloth by owner id; id order makes runs repeat exactly.
    const std::map<std::uint32_t, PhysicsComp*>& GetBodies() const { return m_bodies; }
    const std::map<std::uint32_t, ClothComp*>& GetCloths() const { return m_cloths; }
    // The bodies taking part in the current (or last) step.
    const std::vector<PhysicsComp*>& GetActiveBodies() const { return m_activeBodies; }
    const std::vector<Constraint*>& GetConstraints() const { return m_constraints; }
    const std::vector<Constraint*>& GetBrokenConstraints() const { return m_brokenConstraints; }
    // The contact pairs of the current step, owned by the engine.
    const std::vector<CollisionInfo*>& GetCollisionInfos() const { return m_collisionInfos; }
    // Null only when it could not be made; the collision sub-steps are then skipped.
    CollisionDetector* GetCollisionDetector() const { return m_collisionDetector.get(); }

    // The passes over the contact pairs: the collision pass with restitution (every info
    // prepared first), the contact pass without it (reusing the collision pass's preparation).
    enum Pass
    {
        PASS_Collision,
        PASS_Contact,
    };
    // Prepares the constraints, then `iterations` alternating sweeps over the infos, each
    // followed by the constraints and, with freezing on, the frozen-body test; infos added by
    // bodies woken in a sweep are prepared before the next one. dt in seconds.
    void ProcessCollisions(float dt, unsigned int iterations, Pass pass);
    // Wakes every frozen body moving past the speed thresholds; a disturbed one that stays
    // under them is stopped and no longer disturbed.
    void CheckFrozenBodies();
    // Settles stacks bottom-up along gravity: bodies resting on fixed ground are resolved first
    // and then held fixed while the bodies on them are resolved. Only the bodies this pass
    // marks fixed are released at its end, so `immovable` after it equals `immovable` before.
    void PerformShockPropagation(float dt);
    // Orders the bodies along the strictly dominant axis of gravity, furthest along gravity
    // first; with no dominant axis (zero gravity or a tie) the order stays. Equal keys keep
    // their order.
    void SortBodiesAlongGravity(std::vector<PhysicsComp*>& bodies) const;
    // Awake bodies wake the frozen bodies they rest on once they have moved away, and remember
    // the frozen bodies they touch now.
    void TrackFrozenContacts();

    // Set by the game while the player builds a puzzle; the world stands still.
    bool paused = false;
    // World units per second squared; the game turns it with gravity switches.
    math::Vector3 gravity;

private:
    DynamicsEngine();
    ~DynamicsEngine();
    DynamicsEngine(const DynamicsEngine&) = delete;
    DynamicsEngine& operator=(const DynamicsEngine&) = delete;

    // Sub-steps of Step.
    // Steps 1 to 4 body after body: gathers the active bodies (whose hulls follow them), reads
    // every body from its object, saves the state of those taking part and applies the forces.
    void StartBodies(float dt);
    void DetectCollisions(float dt);
    // Sleep damping, the velocity clamp and the integration of every active body, and every
    // body's write-back, in one walk over the bodies (freezing off, active bodies in id order).
    void FinishBodies(float dt);
    void DisableBrokenConstraints();
    void DeleteCollisionInfos();
    // Prepares the infos from `first` on for a pass.
    void PrepareInfos(float dt, std::size_t first, Pass pass);

    std::map<std::uint32_t, PhysicsComp*> m_bodies; // not owned
    // The same bodies in the same (id) order, for the step's passes over all of them; the map
    // stays for lookups and for the passes that may wake bodies, whose callbacks could file more.
    std::vector<PhysicsComp*> m_bodyList;
    std::vector<std::uint32_t> m_bodyIds; // their ids
    std::uint64_t m_bodyChanges = 0;      // bodies filed or taken out, ever
    // Calls `visit` on every body in id order as a walk of the map does, also when a visit files
    // or takes out bodies: the walk then goes on at the first id above the one just visited.
    template <class Visit> void ForEachBody(Visit&& visit);
    std::vector<PhysicsComp*> m_activeBodies;
    // Whether m_activeBodies is the subsequence of m_bodyList that StartBodies took: no
    // body woken since was appended out of id order.
    bool m_activeInBodyOrder = true;
    std::map<std::uint32_t, ClothComp*> m_cloths; // not owned
    std::vector<Constraint*> m_constraints;       // enabled ones, not owned
    std::vector<Constraint*> m_brokenConstraints; // disabled at the end of the step
    std::unique_ptr<CollisionDetector> m_collisionDetector;
    std::vector<CollisionInfo*> m_collisionInfos; // owned
    unsigned int m_collisionSteps;
    unsigned int m_contactSteps;
    bool m_performShock;
    bool m_allowFreeze;
    std::map<std::string, DefaultCreator<Force>*> m_forceCreators; // not owned
    bool m_initialised = false;
};
} // namespace phy
} // namespace dorvo
