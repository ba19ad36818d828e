#include "engine/phy/CollisionHull.h"

#include "common/math/Quaternion.h"
#include "common/math/Vector3.h"
#include "engine/POVComp.h"
#include "engine/phy/CollisionComp.h"
#include "engine/phy/PhysicsComp.h"

#include <algorithm>

namespace dorvo
{
namespace phy
{
CollisionHull::CollisionHull() = default;

CollisionHull::~CollisionHull()
{
    // A new hull at this address must not inherit anybody's "ignore".
    const std::vector<CollisionHull*> others = ignoreList;
    ignoreList.clear();
    for (CollisionHull* other : others)
        other->RemoveIgnore(this);
}

void CollisionHull::UpdateFromBody() {}

void CollisionHull::SetBodyInertia() {}

bool CollisionHull::GetBoundingSphere(math::Vector3&, float&, bool&) const
{
    return false;
}

float CollisionHull::GetVolume()
{
    return 0.0f;
}

int& CollisionHull::GetClassIndex()
{
    return StaticClassIndex();
}

int& CollisionHull::StaticClassIndex()
{
    static int s_index = -1;
    return s_index;
}

void CollisionHull::AddIgnore(CollisionHull* other)
{
    if (other == nullptr || other == this)
        return;
    if (std::find(ignoreList.begin(), ignoreList.end(), other) == ignoreList.end())
        ignoreList.push_back(other);
    if (std::find(other->ignoreList.begin(), other->ignoreList.end(), this) == other->ignoreList.end())
        other->ignoreList.push_back(this);
}

bool CollisionHull::IgnoresListed(const CollisionHull* other) const
{
    return std::find(ignoreList.begin(), ignoreList.end(), other) != ignoreList.end();
}

void CollisionHull::RemoveIgnore(const CollisionHull* other)
{
    const auto found = std::find(ignoreList.begin(), ignoreList.end(), other);
    if (found != ignoreList.end())
        ignoreList.erase(found);
}

void CollisionHull::AgeContacts(float dt)
{
    // Most steps touch the same objects as the last: the copy would rebuild the same set.
    if (previousContacts != contacts)
        previousContacts = contacts;
    contactTimer += dt;
    if (contactTimer > kContactWindow)
    {
        contacts.clear();
        contactTimer = 0.0f;
    }
}

bool CollisionHull::HadContactWith(std::uint32_t gobID) const
{
    return std::binary_search(previousContacts.begin(), previousContacts.end(), gobID);
}

void CollisionHull::AddContact(std::uint32_t gobID)
{
    const auto at = std::lower_bound(contacts.begin(), contacts.end(), gobID);
    if (at == contacts.end() || *at != gobID)
        contacts.insert(at, gobID);
}

PhysicsComp* CollisionHull::GetBody() const
{
    return owner != nullptr ? owner->GetPhysicsComp() : nullptr;
}

POVComp* CollisionHull::GetPOV() const
{
    return owner != nullptr ? owner->GetOwnerPOV() : nullptr;
}

bool CollisionHull::GetPose(math::Vector3& position, math::Quaternion& orientation) const
{
    if (const PhysicsComp* body = GetBody())
    {
        position = body->position;
        orientation = body->orientation;
        return true;
    }
    if (const POVComp* pov = GetPOV())
    {
        position = pov->GetPosition();
        orientation = pov->GetOrientation();
        return true;
    }
    return false;
}

void CollisionHull::OnSizeChanged()
{
    PhysicsComp* body = GetBody();
    if (body != nullptr && body->useDensity)
        body->SetDensity(body->GetDensity());
    SetBodyInertia();
}
} // namespace phy
} // namespace dorvo
