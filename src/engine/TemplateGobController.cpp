#include "engine/TemplateGobController.h"

#include "common/loki/BaseFunctor.h"
#include "engine/DefaultCreator.h"
#include "engine/GobComposite.h"
#include "engine/GobManager.h"

TemplateGobController::TemplateGobController() = default;
TemplateGobController::~TemplateGobController() = default;

Gob* TemplateGobController::CreateGob(std::uint32_t id)
{
    GobComposite* gob = new GobComposite(this, id);
    GobManager& manager = GobManager::Instance();
    for (std::uint32_t typeID : m_ComponentTypes)
        gob->AddComponent(manager.CreateComponent(typeID));
    return gob;
}

void TemplateGobController::RegisterComponentFunction(const std::string& name, Loki::BaseFunctor* functor,
                                                      std::uint32_t typeID)
{
    const auto component = m_ComponentIndex.find(typeID);
    if (component == m_ComponentIndex.end() || m_FunctionIndex.count(name) != 0)
    {
        delete functor;
        return;
    }
    // The registry ignores case; filing the name only when it kept this functor stops a name
    // that differs in case from reaching another class's member with this component.
    if (m_Functions.RegisterFunction(name, functor))
        m_FunctionIndex.emplace(name, component->second);
}

void TemplateGobController::RegisterFunction(const std::string& name, Loki::BaseFunctor* functor)
{
    m_Functions.RegisterFunction(name, functor);
}

void TemplateGobController::AddComponentType(std::uint32_t typeID, DefaultCreator<Component>* creator)
{
    const unsigned index = static_cast<unsigned>(m_ComponentTypes.size());
    m_ComponentTypes.push_back(typeID);
    m_ComponentIndex.emplace(typeID, index);
    if (creator != nullptr)
        creator->RegisterFunctions(this);
}

int TemplateGobController::FindComponent(std::uint32_t typeID) const
{
    const auto found = m_ComponentIndex.find(typeID);
    return found == m_ComponentIndex.end() ? -1 : static_cast<int>(found->second);
}

int TemplateGobController::FindFunctionComponent(const std::string& name) const
{
    const auto found = m_FunctionIndex.find(name);
    return found == m_FunctionIndex.end() ? -1 : static_cast<int>(found->second);
}
