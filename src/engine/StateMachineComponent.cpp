#include "engine/StateMachineComponent.h"

#include "common/ParamStack.h"
#include "common/Singleton.h"
#include "common/XmlUtil.h"
#include "engine/DefaultCompCreator.h"
#include "engine/Gob.h"
#include "statemachine/Database.h"

#include <tinyxml.h>

void StateMachineComponent::RegisterType()
{
    RegisterComponentType<StateMachineComponent>("StateMachineComponent");
}

StateMachineComponent::StateMachineComponent(std::uint32_t machineType) : m_machineType(machineType) {}

StateMachineComponent::~StateMachineComponent()
{
    ClearStateMachines();
    if (m_stored)
    {
        Database* database = common::Singleton<Database>::Instance();
        // Remove goes by id: make sure the entry under our id is this component and not another
        // object's that was stored first.
        if (database->FindById(GetObjectId()) == this)
        {
            database->Remove(GetObjectId());
        }
    }
}

bool StateMachineComponent::Serialize(TiXmlNode* parent)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
    {
        return false;
    }
    TiXmlElement element("Component");
    element.SetAttribute("name", GetTypeName());
    TiXmlNode* component = parent->InsertEndChild(element);
    if (component == nullptr)
    {
        return false;
    }
    XmlWriteUint(component, m_machineType, "Type");
    return true;
}

bool StateMachineComponent::Deserialize(const TiXmlNode* node)
{
    if (node == nullptr || node->ToElement() == nullptr)
    {
        return false;
    }
    unsigned int machineType = m_machineType;
    if (!XmlReadUint(XmlFirstChildElement(node), &machineType))
    {
        return false;
    }
    m_machineType = machineType;
    return true;
}

bool StateMachineComponent::Initialize(Gob* owner)
{
    Component::Initialize(owner);
    if (m_pOwner == nullptr || m_stored)
    {
        return true;
    }
    SetObjectId(m_pOwner->GetID());
    Database* database = common::Singleton<Database>::Instance();
    database->Store(this);
    m_stored = database->FindById(GetObjectId()) == this;
    return true;
}

void StateMachineComponent::Update(float)
{
    UpdateStateMachines();
}

std::string StateMachineComponent::GetObjectName() const
{
    return m_pOwner ? m_pOwner->GetName() : std::string();
}

int StateMachineComponent::GetDepth() const
{
    if (m_pOwner == nullptr)
    {
        return kNoDepth;
    }
    // An object without a 2D component has no such function, and the stack stays empty.
    ParamStack params;
    m_pOwner->CallFunction("GetCompDepth", params, false);
    if (params.IsEmpty())
    {
        return kNoDepth;
    }
    int depth = kNoDepth;
    params.Pop(depth);
    return depth;
}
