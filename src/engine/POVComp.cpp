#include "engine/POVComp.h"

#include "common/COctTree.h"
#include "common/HashName.h"
#include "common/XmlUtil.h"
#include "common/loki/Functor.h"
#include "engine/Gob.h"
#include "engine/GobController.h"
#include "engine/GobManager.h"

#include <tinyxml.h>

#include <algorithm>
#include <cmath>
#include <cstring>

const char* const POVComp::kTypeName = "POVComp";

namespace
{
// By definition the hash of the registered name, usable before the class is registered.
std::uint32_t POVCompTypeID()
{
    static const std::uint32_t s_typeID = HashName(POVComp::kTypeName);
    return s_typeID;
}
} // namespace

POVComp::POVComp() : m_Orientation(1.0f, 0.0f, 0.0f, 0.0f), m_Scale(1.0f, 1.0f, 1.0f) {}

POVComp::~POVComp()
{
    common::COctTree::Global().Remove(this);
}

bool POVComp::Serialize(TiXmlNode* parent)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
    {
        return false;
    }
    TiXmlElement element("Component");
    element.SetAttribute("name", GetTypeName().empty() ? std::string(kTypeName) : GetTypeName());
    XmlWriteVector3(&element, m_Position, "Position");
    XmlWriteQuaternion(&element, m_Orientation, "Orientation");
    XmlWriteVector3(&element, m_Velocity, "Velocity");
    XmlWriteVector3(&element, m_Scale, "Scale");
    XmlWriteSphere(&element, m_LocalSphere, "BoundingSphere");
    XmlWriteAABB(&element, m_LocalBox, "BoundingAABB");
    XmlWriteInt(&element, static_cast<int>(m_BVType), "BVType");
    return parent->InsertEndChild(element) != nullptr;
}

bool POVComp::Deserialize(const TiXmlNode* node)
{
    if (node == nullptr || node->ToElement() == nullptr)
    {
        return false;
    }
    // By position; the fields whose element is missing keep their values.
    const TiXmlNode* child = XmlFirstChildElement(node);
    if (child)
    {
        XmlReadVector3(child, &m_Position);
        child = XmlNextSiblingElement(child);
    }
    if (child)
    {
        XmlReadQuaternion(child, &m_Orientation);
        child = XmlNextSiblingElement(child);
    }
    if (child)
    {
        XmlReadVector3(child, &m_Velocity);
        child = XmlNextSiblingElement(child);
    }
    if (child)
    {
        XmlReadVector3(child, &m_Scale);
        child = XmlNextSiblingElement(child);
    }
    if (child)
    {
        XmlReadSphere(child, &m_LocalSphere);
        child = XmlNextSiblingElement(child);
    }
    if (child)
    {
        XmlReadAABB(child, &m_LocalBox);
        child = XmlNextSiblingElement(child);
    }
    if (child)
    {
        XmlReadUint(child, &m_BVType);
    }
    return true;
}

bool POVComp::Initialize(Gob* owner)
{
    Component::Initialize(owner);
    m_OctTreeKey = owner != nullptr ? owner->GetID() : 0;
    common::COctTree::Global().Add(this);
    FiledFrom(m_FiledFrom);
    m_HasFiledFrom = true;
    return true;
}

void POVComp::FiledFrom(float* from) const
{
    const float values[kFiledFrom] = {m_Position.x,     m_Position.y,     m_Position.z,     m_Orientation.w,
                                      m_Orientation.x,  m_Orientation.y,  m_Orientation.z,  m_Scale.x,
                                      m_Scale.y,        m_Scale.z,        m_LocalBox.min.x, m_LocalBox.min.y,
                                      m_LocalBox.min.z, m_LocalBox.max.x, m_LocalBox.max.y, m_LocalBox.max.z};
    std::memcpy(from, values, sizeof values);
}

void POVComp::Refile()
{
    // Only this component files itself, so a box of the same numbers lies where the tree put it.
    float from[kFiledFrom];
    FiledFrom(from);
    if (m_HasFiledFrom && std::memcmp(from, m_FiledFrom, sizeof from) == 0)
    {
        return;
    }
    std::memcpy(m_FiledFrom, from, sizeof from);
    m_HasFiledFrom = true;
    common::COctTree::Global().Update(this);
}

void POVComp::SetPosition(math::Vector3 position, bool notify)
{
    m_Position = position;
    if (notify)
    {
        Refile();
    }
}

void POVComp::SetOrientation(math::Quaternion orientation, bool notify)
{
    m_Orientation = orientation;
    if (notify)
    {
        Refile();
    }
}

void POVComp::SetVelocity(math::Vector3 velocity)
{
    m_Velocity = velocity;
}

void POVComp::SetScale(math::Vector3 scale, bool notify)
{
    m_Scale = scale;
    if (notify)
    {
        Refile();
    }
}

void POVComp::SetBoundingSphere(math::Sphere sphere)
{
    m_LocalSphere = sphere;
}

void POVComp::SetBoundingBox(math::AABB box)
{
    m_LocalBox = box;
    Refile();
}

math::Sphere POVComp::GetBoundingSphere() const
{
    // By size, so a mirrored object (negative scale) keeps a positive radius.
    const float s = std::max({std::fabs(m_Scale.x), std::fabs(m_Scale.y), std::fabs(m_Scale.z)});
    return math::Sphere(m_Position + m_LocalSphere.center, m_LocalSphere.radius * s);
}

math::AABB POVComp::GetBoundingBox() const
{
    // Row j of R is the image of local axis j; each local axis adds its turned and scaled
    // extent to every world axis, the smaller end to min.
    const math::Matrix4 r = m_Orientation.ToMatrix4();
    math::AABB box(m_Position, m_Position);
    for (int i = 0; i < 3; ++i)
    {
        for (int j = 0; j < 3; ++j)
        {
            const float a = r[j][i] * m_LocalBox.min[j] * m_Scale[j];
            const float b = r[j][i] * m_LocalBox.max[j] * m_Scale[j];
            if (b > a)
            {
                box.min[i] += a;
                box.max[i] += b;
            }
            else
            {
                box.min[i] += b;
                box.max[i] += a;
            }
        }
    }
    return box;
}

math::Matrix4 POVComp::GetWorldMatrix() const
{
    math::Matrix4 world = m_Orientation.ToMatrix4();
    for (int row = 0; row < 3; ++row)
    {
        for (int column = 0; column < 3; ++column)
        {
            world[row][column] *= m_Scale[row];
        }
    }
    world.m[12] = m_Position.x;
    world.m[13] = m_Position.y;
    world.m[14] = m_Position.z;
    return world;
}

void POVComp::RegisterFunctions(GobController* controller)
{
    if (controller == nullptr)
    {
        return;
    }
    const std::uint32_t typeID = StaticTypeID() != 0 ? StaticTypeID() : POVCompTypeID();
    controller->RegisterComponentFunction("SetPosition", Loki::NewObjFunctor(&POVComp::SetPosition).release(),
                                          typeID);
    controller->RegisterComponentFunction("GetPosition", Loki::NewObjFunctor(&POVComp::GetPosition).release(),
                                          typeID);
    controller->RegisterComponentFunction("SetOrientation",
                                          Loki::NewObjFunctor(&POVComp::SetOrientation).release(), typeID);
    controller->RegisterComponentFunction("GetOrientation",
                                          Loki::NewObjFunctor(&POVComp::GetOrientation).release(), typeID);
    controller->RegisterComponentFunction("SetVelocity", Loki::NewObjFunctor(&POVComp::SetVelocity).release(),
                                          typeID);
    controller->RegisterComponentFunction("GetVelocity", Loki::NewObjFunctor(&POVComp::GetVelocity).release(),
                                          typeID);
    controller->RegisterComponentFunction("SetScale", Loki::NewObjFunctor(&POVComp::SetScale).release(),
                                          typeID);
    controller->RegisterComponentFunction("GetScale", Loki::NewObjFunctor(&POVComp::GetScale).release(),
                                          typeID);
}

POVComp* POVComp::FromOctTreeObject(common::IOctTreeObject* object)
{
    return dynamic_cast<POVComp*>(object);
}

void POVComp::OnOutsideWorld()
{
    // Objects that leave the world are destroyed at the start of the next frame.
    GobManager::Instance().KillGobByID(m_OctTreeKey);
}

POVComp* Component::GetPOVComp() const
{
    return dynamic_cast<POVComp*>(m_pPOV);
}

POVComp* GetPOVComp(Gob* gob)
{
    return gob != nullptr ? dynamic_cast<POVComp*>(gob->GetComponent(POVCompTypeID())) : nullptr;
}

const POVComp* GetPOVComp(const Gob* gob)
{
    return gob != nullptr ? dynamic_cast<const POVComp*>(gob->GetComponent(POVCompTypeID())) : nullptr;
}
