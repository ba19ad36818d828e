// The component that makes an object take part in collision detection. It carries the
// object's surface (friction and restitution, multiplied with the other object's for a pair),
// the trigger flag (a trigger is reported but never pushed), owns the collision hull built
// from "HullType" when it loads, and keeps the game's named collision callbacks: those called
// when a contact with another object begins and those called on every step of a contact.
#pragma once

#include "common/loki/Functor.h"
#include "engine/ComponentBase.h"
#include "engine/phy/CollisionFunctorData.h"

#include <cstdint>
#include <map>
#include <string>

class Gob;
class POVComp;

namespace dorvo
{
namespace phy
{
class ClothComp;
class CollisionHull;
class PhysicsComp;

// A collision callback: the pair's record and the id of the object whose component calls it;
// the result is ignored.
typedef Loki::Functor<bool, Loki::Seq<CollisionFunctorData, unsigned int>> CollisionFunctor;

class CollisionComp : public ComponentBase<CollisionComp>
{
public:
    static const char* const kTypeName; // "CollisionComp"

    // Friction 1 and 1, restitution 1, no trigger, no hull.
    CollisionComp();
    // Deletes the hull and leaves the engine.
    ~CollisionComp() override;

    // <Component name="CollisionComp">: "float" StaticFriction, KineticFriction, CoeffRes, "bool"
    // IsTriggerHull, "string" HullType, then the hull's own element. Read back by position;
    // "HullType" is "OBB", "Sphere", "Plane" or "Triangle" (exact case); any other text leaves
    // the component without a hull, which counts as no collision component wherever a hull is
    // used, and is reported on standard error.
    bool Serialize(TiXmlNode* parent) override;
    bool Deserialize(const TiXmlNode* node) override;

    // Files the component with the engine and links the object's PhysicsComp and ClothComp.
    bool Initialize(Gob* owner) override;

    // The first callback registered under a name stays.
    void AddCollisionBeginFunctor(const std::string& name, const CollisionFunctor& functor);
    void AddCollisionFunctor(const std::string& name, const CollisionFunctor& functor);
    // Calls every callback of the table in ascending name order (byte order) with a copy of the
    // record and the owner's id.
    void CallCollisionBeginFunctors(const CollisionFunctorData& data);
    void CallCollisionFunctors(const CollisionFunctorData& data);
    // Whether any callback of either kind is registered: without one on either object the
    // detector builds no record for a pair.
    bool HasCollisionFunctors() const
    {
        return !m_collisionBeginFunctors.empty() || !m_collisionFunctors.empty();
    }

    // The two hulls never collide from now on. Nothing when either component has no hull.
    void IgnoreCollisionWith(CollisionComp* other);

    CollisionHull* GetHull() const { return hull; }
    PhysicsComp* GetPhysicsComp() const { return physicsComp; }
    // The owner's position component as Initialize found it (the hulls read it every step).
    POVComp* GetOwnerPOV() const { return m_ownerPOV; }
    // The owner's id, kept from Initialize (0 before).
    std::uint32_t GetOwnerID() const { return m_ownerID; }

    float staticFriction = 1.0f;
    float kineticFriction = 1.0f;
    float coeffRes = 1.0f;              // coefficient of restitution
    bool isTriggerHull = false;         // detected and reported, never pushed
    std::string hullType;               // as loaded
    CollisionHull* hull = nullptr;      // owned; built by Deserialize
    PhysicsComp* physicsComp = nullptr; // the owner's, linked by Initialize
    ClothComp* clothComp = nullptr;     // the owner's cloth, linked by Initialize

private:
    void CallTable(const std::map<std::string, CollisionFunctor>& table, const CollisionFunctorData& data);

    std::map<std::string, CollisionFunctor> m_collisionBeginFunctors;
    std::map<std::string, CollisionFunctor> m_collisionFunctors;
    POVComp* m_ownerPOV = nullptr;
    std::uint32_t m_ownerID = 0;
};
} // namespace phy
} // namespace dorvo
