#include "engine/GobComposite.h"

#include "common/FunctionRegistry.h"
#include "common/XmlUtil.h"
#include "common/loki/BaseFunctor.h"
#include "engine/ArchetypeGobController.h"
#include "engine/Component.h"
#include "engine/GobManager.h"
#include "engine/TemplateGobController.h"

#include <tinyxml.h>

GobComposite::GobComposite(TemplateGobController* controller, std::uint32_t id)
    : m_pController(controller), m_ID(id)
{
}

GobComposite::~GobComposite()
{
    GobManager::Instance().UnregisterName(this);
    // Each slot is emptied before its component dies, so a destructor that looks a sibling up
    // gets null for one already gone instead of a freed component.
    for (Component*& slot : m_Components)
    {
        Component* component = slot;
        slot = nullptr;
        delete component;
    }
    m_Components.clear();
}

void GobComposite::CallFunction(const std::string& name, ParamStack& params, bool report)
{
    const int index = m_pController->FindFunctionComponent(name);
    if (index < 0)
        return;
    Component* component = GetComponentAt(static_cast<std::size_t>(index));
    if (component == nullptr)
        return;
    m_pController->GetFunctions().CallOnObject(name, component->GetCallTarget(), &params, report);
}

bool GobComposite::GetFunctionSignature(const std::string& name, std::uint64_t* signature) const
{
    const int index = m_pController->FindFunctionComponent(name);
    if (index < 0 || GetComponentAt(static_cast<std::size_t>(index)) == nullptr)
        return false;
    const Loki::BaseFunctor* functor = m_pController->GetFunctions().FindFunction(name);
    if (functor == nullptr)
        return false;
    if (signature != nullptr)
        *signature = functor->GetSignature();
    return true;
}

bool GobComposite::Serialize(TiXmlNode* parent)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    TiXmlElement element("Gob");
    element.SetAttribute("type", GetTypeName());
    TiXmlNode* gob = parent->InsertEndChild(element);
    if (gob == nullptr)
        return false;
    XmlWriteString(gob, m_Name, "Name");
    for (Component* component : m_Components)
    {
        if (component != nullptr)
            component->Serialize(gob);
    }
    return true;
}

bool GobComposite::Deserialize(const TiXmlNode* node)
{
    if (node == nullptr || node->ToElement() == nullptr)
        return false;
    const TiXmlNode* child = XmlFirstChildElement(node);
    std::string name;
    if (child != nullptr)
        XmlReadString(child, &name);
    // An empty text keeps the name. A new name would leave the old one's index entry behind
    // unless that is dropped first.
    if (!name.empty() && name != m_Name)
    {
        GobManager::Instance().UnregisterName(this);
        m_Name = name;
    }
    if (!m_Name.empty())
        GobManager::Instance().RegisterName(this);
    for (Component* component : m_Components)
    {
        child = XmlNextSiblingElement(child);
        if (child == nullptr)
            break;
        if (component != nullptr)
            component->Deserialize(child);
    }
    return true;
}

void GobComposite::Init()
{
    for (Component* component : m_Components)
    {
        if (component != nullptr)
            component->Initialize(this);
    }
}

const std::string& GobComposite::GetTypeName() const
{
    return m_pController->GetTypeName();
}

const std::string& GobComposite::GetTemplateName() const
{
    return m_pController->GetTemplateName();
}

const std::string& GobComposite::GetArchetypeName() const
{
    return m_pArchetype != nullptr ? m_pArchetype->GetName() : GetTypeName();
}

void GobComposite::SetTypeName(const std::string& name)
{
    m_pController->SetTypeName(name);
}

void GobComposite::SetName(const std::string& name)
{
    GobManager& manager = GobManager::Instance();
    manager.UnregisterName(this);
    m_Name = name;
    manager.RegisterName(this);
}

void GobComposite::Update(float dt)
{
    for (Component* component : m_Components)
    {
        if (component != nullptr)
            component->Update(dt);
    }
}

const Component* GobComposite::GetComponent(std::uint32_t typeID) const
{
    const int index = m_pController->FindComponent(typeID);
    return index < 0 ? nullptr : GetComponentAt(static_cast<std::size_t>(index));
}

Component* GobComposite::GetComponent(std::uint32_t typeID)
{
    const int index = m_pController->FindComponent(typeID);
    return index < 0 ? nullptr : GetComponentAt(static_cast<std::size_t>(index));
}

void GobComposite::AddComponent(Component* component)
{
    m_Components.push_back(component);
}

Component* GobComposite::GetComponentAt(std::size_t index) const
{
    return index < m_Components.size() ? m_Components[index] : nullptr;
}
