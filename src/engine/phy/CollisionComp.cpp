#include "engine/phy/CollisionComp.h"

#include "common/HashName.h"
#include "common/XmlUtil.h"
#include "engine/Gob.h"
#include "engine/phy/ClothComp.h"
#include "engine/phy/CollisionHull.h"
#include "engine/phy/DynamicsEngine.h"
#include "engine/phy/FiniteXml.h"
#include "engine/phy/OBBHull.h"
#include "engine/phy/PhysicsComp.h"
#include "engine/phy/PlaneHull.h"
#include "engine/phy/SphereHull.h"
#include "engine/phy/TriangleHull.h"
#include "platform/log.h"

#include <tinyxml.h>

namespace dorvo
{
namespace phy
{
const char* const CollisionComp::kTypeName = "CollisionComp";

namespace
{
// By definition the hash of the registered name; the cloth component is found by it.
const std::uint32_t kClothCompTypeID = HashName("ClothComp");

// A new hull for the exact type text, or null.
CollisionHull* CreateHull(const std::string& type)
{
    if (type == "OBB")
        return new OBBHull();
    if (type == "Sphere")
        return new SphereHull();
    if (type == "Plane")
        return new PlaneHull();
    if (type == "Triangle")
        return new TriangleHull();
    return nullptr;
}
} // namespace

CollisionComp::CollisionComp() = default;

CollisionComp::~CollisionComp()
{
    delete hull;
    hull = nullptr;
    if (m_pOwner != nullptr)
        if (DynamicsEngine* engine = DynamicsEngine::IfAlive())
            engine->RemoveCollisionComp(m_ownerID);
}

bool CollisionComp::Serialize(TiXmlNode* parent)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    TiXmlElement component("Component");
    component.SetAttribute("name", GetTypeName().empty() ? std::string(kTypeName) : GetTypeName());
    TiXmlNode* element = parent->InsertEndChild(component);
    if (element == nullptr)
        return false;
    XmlWriteFloat(element, staticFriction, "StaticFriction");
    XmlWriteFloat(element, kineticFriction, "KineticFriction");
    XmlWriteFloat(element, coeffRes, "CoeffRes");
    XmlWriteBool(element, isTriggerHull, "IsTriggerHull");
    XmlWriteString(element, hullType, "HullType");
    if (hull != nullptr)
        hull->Serialize(element);
    return true;
}

bool CollisionComp::Deserialize(const TiXmlNode* node)
{
    if (node == nullptr || node->ToElement() == nullptr)
        return false;
    const TiXmlNode* child = XmlFirstChildElement(node);
    XmlReadFiniteFloat(XmlTakeElement(&child), &staticFriction, kTypeName, "StaticFriction");
    XmlReadFiniteFloat(XmlTakeElement(&child), &kineticFriction, kTypeName, "KineticFriction");
    XmlReadFiniteFloat(XmlTakeElement(&child), &coeffRes, kTypeName, "CoeffRes");
    XmlReadBool(XmlTakeElement(&child), &isTriggerHull);
    const TiXmlNode* hullTypeNode = XmlTakeElement(&child);
    XmlReadString(hullTypeNode, &hullType);

    delete hull; // a component loaded twice builds its hull afresh
    hull = CreateHull(hullType);
    if (hull == nullptr)
    {
        const std::string place = XmlPlace(hullTypeNode != nullptr ? hullTypeNode : node);
        DORVO_LOG("CollisionComp::Deserialize: %s: unknown HullType \"%s\" (expected \"OBB\", \"Sphere\", "
                  "\"Plane\" or \"Triangle\"); the object has no hull",
                  place.empty() ? "<collision component>" : place.c_str(), hullType.c_str());
        return true;
    }
    // A missing hull element leaves the hull at its zero values.
    hull->Deserialize(child);
    hull->owner = this;
    return true;
}

bool CollisionComp::Initialize(Gob* owner)
{
    Component::Initialize(owner);
    m_ownerPOV = GetPOVComp();
    m_ownerID = owner != nullptr ? owner->GetID() : 0;
    if (owner == nullptr)
        return true;
    DynamicsEngine::Instance().AddCollisionComp(m_ownerID, this);
    physicsComp = phy::GetPhysicsComp(owner);
    clothComp = dynamic_cast<ClothComp*>(owner->GetComponent(kClothCompTypeID));
    return true;
}

void CollisionComp::AddCollisionBeginFunctor(const std::string& name, const CollisionFunctor& functor)
{
    m_collisionBeginFunctors.emplace(name, functor);
}

void CollisionComp::AddCollisionFunctor(const std::string& name, const CollisionFunctor& functor)
{
    m_collisionFunctors.emplace(name, functor);
}

void CollisionComp::CallCollisionBeginFunctors(const CollisionFunctorData& data)
{
    CallTable(m_collisionBeginFunctors, data);
}

void CollisionComp::CallCollisionFunctors(const CollisionFunctorData& data)
{
    CallTable(m_collisionFunctors, data);
}

void CollisionComp::CallTable(const std::map<std::string, CollisionFunctor>& table,
                              const CollisionFunctorData& data)
{
    // A callback may register further ones; map iterators survive insertions.
    for (const auto& entry : table)
        if (entry.second)
            entry.second(data, m_ownerID);
}

void CollisionComp::IgnoreCollisionWith(CollisionComp* other)
{
    if (other == nullptr || hull == nullptr || other->hull == nullptr)
        return;
    hull->AddIgnore(other->hull);
    other->hull->AddIgnore(hull);
}
} // namespace phy
} // namespace dorvo
