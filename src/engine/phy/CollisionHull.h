// The shape through which an object's CollisionComp takes part in collision detection, with
// the bookkeeping every shape shares: the owning component, the hulls it never collides with,
// the collision results of the current step and the ids of the objects touched in the current
// contact window (the detector fires a begin-of-contact callback only for objects the previous
// window had not seen). Concrete hulls wrap one shape each, follow their body every step, give
// the body its inertia and volume, and load and save their own element. The CollisionComp owns
// its hull; the results belong to the dynamics engine.
#pragma once

#include "engine/Serializable.h"

#include <cstdint>
#include <vector>

class POVComp;

namespace math
{
class Quaternion;
class Vector3;
} // namespace math

namespace dorvo
{
namespace phy
{
class CollisionComp;
class CollisionInfo;
class PhysicsComp;

class CollisionHull : public Serializable
{
public:
    // A contact window closes once its timer passes this, in seconds.
    static constexpr float kContactWindow = 0.75f;

    CollisionHull();
    // Takes itself off the ignore lists of the hulls it ignores.
    virtual ~CollisionHull() = 0;

    CollisionHull(const CollisionHull&) = delete;
    CollisionHull& operator=(const CollisionHull&) = delete;

    // Follows the body (or, without one, the object's POVComp). Nothing in the base.
    virtual void UpdateFromBody();
    // Gives the body the inertia of this shape for its mass. Nothing in the base.
    virtual void SetBodyInertia();
    // Cubic world units; the body's mass from density is volume * density. 0 in the base.
    virtual float GetVolume();
    // A sphere holding the shape as it is now (world units), and whether the shape is that
    // very sphere; false for shapes without one (planes, triangles, cloth, the base). The
    // detector passes over neighbours too far away for any pair test before it tests the rest.
    virtual bool GetBoundingSphere(math::Vector3& centre, float& radius, bool& exact) const;
    // The class's row and column in the detector's pair table: -1 until the table names the
    // class, then fixed for the run.
    virtual int& GetClassIndex();
    static int& StaticClassIndex();

    // Ignoring is mutual: both hulls list each other, so either one's death clears both lists.
    void AddIgnore(CollisionHull* other);
    bool Ignores(const CollisionHull* other) const
    {
        // Most hulls ignore nobody; the detector asks for every candidate pair.
        return !ignoreList.empty() && IgnoresListed(other);
    }
    // Rolls the contact window at the end of a step; dt in seconds.
    void AgeContacts(float dt);
    // Whether the previous window had seen the object.
    bool HadContactWith(std::uint32_t gobID) const;
    void AddContact(std::uint32_t gobID);

    // The owner's body, or null (no owner, or an object without a PhysicsComp).
    PhysicsComp* GetBody() const;

    CollisionComp* owner = nullptr;             // set when the component loads the hull
    std::vector<CollisionHull*> ignoreList;     // not owned
    std::vector<CollisionInfo*> collisionInfos; // this step's results involving the hull, not owned
    // Objects touched in the current window, ascending and each once: a sorted array, since a
    // body touches few objects and the window is rolled for every hull every step.
    std::vector<std::uint32_t> contacts;
    std::vector<std::uint32_t> previousContacts; // contacts as they were at the last AgeContacts
    float contactTimer = 0.0f;                   // seconds since the window began

protected:
    // The pose the hull follows: the body's when there is one, else the object's POVComp's.
    // False when there is neither.
    bool GetPose(math::Vector3& position, math::Quaternion& orientation) const;
    // The object's POVComp, or null.
    POVComp* GetPOV() const;
    // After a size change: the mass follows the new volume for a body that uses density, then
    // the inertia follows the mass.
    void OnSizeChanged();

private:
    bool IgnoresListed(const CollisionHull* other) const;
    void RemoveIgnore(const CollisionHull* other);
};
} // namespace phy
} // namespace dorvo
