#include "engine/GobManager.h"

#include "common/ConsoleInterface.h"
#include "common/HashName.h"
#include "common/ParamStack.h"
#include "common/ValueText.h"
#include "common/loki/Functor.h"
#include "common/math/Vector3.h"
#include "engine/ArchetypeGobController.h"
#include "engine/Component.h"
#include "engine/DefaultCreator.h"
#include "engine/Gob.h"
#include "engine/GobTemplateDesc.h"
#include "engine/POVComp.h"
#include "engine/TemplateGobController.h"
#include "platform/log.h"

#include <algorithm>

GobManager& GobManager::Instance()
{
    static GobManager manager;
    return manager;
}

GobManager::GobManager()
{
    // The console is built first so that it is destroyed after the manager: objects deleted at
    // exit may still write to it.
    common::ConsoleInterface::Instance();
    common::ConsoleInterface::SetObjectCallHook(&GobManager::CallObjectFromConsole);
}

GobManager::~GobManager()
{
    // Objects still alive at exit hold pointers to the controllers: they go first.
    DestroyAllGobs();
    const auto previous = common::ConsoleInterface::SetObjectCallHook(nullptr);
    if (previous != &GobManager::CallObjectFromConsole)
        common::ConsoleInterface::SetObjectCallHook(previous);
    m_Templates.clear();
    m_Controllers.clear();
}

void GobManager::RegisterCreator(std::uint32_t typeID, DefaultCreator<Component>* creator)
{
    m_Creators.emplace(typeID, creator);
}

Component* GobManager::CreateComponent(std::uint32_t typeID)
{
    const auto found = m_Creators.find(typeID);
    if (found == m_Creators.end() || found->second == nullptr)
    {
        common::ConsoleInterface::ShowLine("Failed to find the creator of the specified component!");
        return nullptr;
    }
    return found->second->Create();
}

void GobManager::LoadTemplate(const std::string& fileName)
{
    GobTemplateDesc desc;
    std::string error;
    if (!desc.LoadFile(fileName, error))
        DORVO_LOG("GobManager::LoadTemplate: %s; an empty template is filed under the empty name",
                  error.c_str());

    auto controller = std::make_unique<TemplateGobController>();
    controller->SetTypeName(desc.m_TypeName);
    controller->SetTemplateName(desc.m_TemplateName);
    for (const std::string& typeName : desc.m_ComponentTypes)
    {
        const std::uint32_t typeID = HashName(typeName.c_str());
        const auto creator = m_Creators.find(typeID);
        if (creator == m_Creators.end())
        {
            // The console stays silent: start-up output there is part of what the player sees.
            DORVO_LOG("GobManager::LoadTemplate: %s: template \"%s\" names the unregistered component "
                      "\"%s\"; the template is dropped",
                      fileName.c_str(), desc.m_TypeName.c_str(), typeName.c_str());
            return;
        }
        controller->AddComponentType(typeID, creator->second);
    }

    TemplateGobController* base = controller.get();
    m_Controllers.push_back(std::move(controller));
    for (const GobTemplateDesc::Archetype& entry : desc.m_Archetypes)
    {
        if (m_Templates.count(entry.name) != 0)
            continue;
        m_Controllers.push_back(std::make_unique<ArchetypeGobController>(base, entry.fileName, entry.name));
        m_Templates.emplace(entry.name, m_Controllers.back().get());
    }
    // A taken type name keeps its first controller; this one lives on as its archetypes' base.
    m_Templates.emplace(base->GetTypeName(), base);
}

GobController* GobManager::FindController(const std::string& name) const
{
    const auto found = m_Templates.find(name);
    return found == m_Templates.end() ? nullptr : found->second;
}

std::vector<std::string> GobManager::GetTemplateNames() const
{
    std::vector<std::string> names;
    for (const auto& entry : m_Templates)
        names.push_back(entry.first);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::uint32_t> GobManager::GetCreatorTypeIDs() const
{
    std::vector<std::uint32_t> ids;
    for (const auto& entry : m_Creators)
        ids.push_back(entry.first);
    std::sort(ids.begin(), ids.end());
    return ids;
}

DefaultCreator<Component>* GobManager::FindCreator(std::uint32_t typeID) const
{
    const auto found = m_Creators.find(typeID);
    return found == m_Creators.end() ? nullptr : found->second;
}

void GobManager::ResetTemplates()
{
    DestroyAllGobs();
    m_Names.clear();
    m_Templates.clear();
    m_Controllers.clear();
}

Gob* GobManager::CreateFromTemplate(const std::string& name)
{
    GobController* controller = FindController(name);
    if (controller == nullptr)
        return nullptr;
    Gob* gob = controller->CreateGob(m_NextID);
    if (gob == nullptr)
        return nullptr;
    m_Gobs[m_NextID] = gob;
    ++m_NextID;
    return gob;
}

Gob* GobManager::CreateGob(std::string name)
{
    Gob* gob = CreateFromTemplate(name);
    if (gob != nullptr)
        gob->Init();
    return gob;
}

Gob* GobManager::CreateGobAtPos(std::string name, math::Vector3 position, bool notify)
{
    Gob* gob = CreateGob(std::move(name));
    if (gob == nullptr)
        return nullptr;
    if (POVComp* pov = GetPOVComp(gob))
        pov->SetPosition(position, notify);
    return gob;
}

Gob* GobManager::GetGob(std::uint32_t id) const
{
    const auto found = m_Gobs.find(id);
    return found == m_Gobs.end() ? nullptr : found->second;
}

Gob* GobManager::GetGobByName(const std::string& name) const
{
    const auto found = m_Names.find(name);
    return found == m_Names.end() ? nullptr : found->second;
}

void GobManager::RegisterName(Gob* gob)
{
    if (gob != nullptr && !gob->GetName().empty())
        m_Names.emplace(gob->GetName(), gob);
}

void GobManager::UnregisterName(Gob* gob)
{
    if (gob == nullptr || gob->GetName().empty())
        return;
    const auto found = m_Names.find(gob->GetName());
    if (found != m_Names.end() && found->second == gob)
        m_Names.erase(found);
}

void GobManager::KillGob(Gob* gob)
{
    if (gob == nullptr)
        return;
    if (!IsOnKillList(gob))
        m_KillList.push_back(gob);
    gob->Kill();
}

void GobManager::KillGobByID(std::uint32_t id)
{
    KillGob(GetGob(id));
}

bool GobManager::IsOnKillList(const Gob* gob) const
{
    return std::find(m_KillList.begin(), m_KillList.end(), gob) != m_KillList.end();
}

void GobManager::ProcessKillList()
{
    const std::size_t count = m_KillList.size();
    for (std::size_t i = 0; i < count; ++i)
    {
        // Read by index: destructors may append (never remove) entries.
        Gob* gob = m_KillList[i];
        const auto filed = m_Gobs.find(gob->GetID());
        if (filed != m_Gobs.end() && filed->second == gob)
            m_Gobs.erase(filed);
        delete gob;
    }
    m_KillList.erase(m_KillList.begin(), m_KillList.begin() + static_cast<std::ptrdiff_t>(count));
}

void GobManager::Update(float dt)
{
    // Updates may create or kill objects; walking a copy of the ids keeps the pass valid.
    m_UpdateIDs.clear();
    for (const auto& entry : m_Gobs)
        m_UpdateIDs.push_back(entry.first);
    for (std::uint32_t id : m_UpdateIDs)
    {
        if (Gob* gob = GetGob(id))
            gob->Update(dt);
    }
}

void GobManager::DestroyAllGobs()
{
    // Detached first: a destructor that looks objects up or kills one finds nothing to reach.
    std::map<std::uint32_t, Gob*> gobs;
    gobs.swap(m_Gobs);
    m_KillList.clear();
    m_NextID = 1;
    for (auto& entry : gobs)
    {
        delete entry.second;
        entry.second = nullptr;
    }
    // Entries queued during the deletions can only name objects that are gone now.
    m_KillList.erase(std::remove_if(m_KillList.begin(), m_KillList.end(),
                                    [this](Gob* gob)
                                    {
                                        for (const auto& entry : m_Gobs)
                                            if (entry.second == gob)
                                                return false;
                                        return true;
                                    }),
                     m_KillList.end());
}

std::uint32_t GobManager::NumberOfGobs()
{
    const std::uint32_t count = GetCount();
    common::ConsoleInterface::ShowLine("There are " + std::to_string(count) + " total game objects.");
    return count;
}

void GobManager::RegisterConsoleCommands()
{
    common::ConsoleInterface& console = common::ConsoleInterface::Instance();
    console.RegisterCommand("NumberOfGobs", Loki::NewFunctor(this, &GobManager::NumberOfGobs).release(),
                            "The number of game objects in the world.");
    console.RegisterCommand("CreateGob", Loki::NewFunctor(this, &GobManager::CreateGob).release(),
                            "Create a game object of the specified type.");
    console.RegisterCommand("CreateGobAtPos", Loki::NewFunctor(this, &GobManager::CreateGobAtPos).release(),
                            "Create a game object of the specified type at the position.");
}

bool GobManager::CallObjectFromConsole(const std::string& object, const std::string& function,
                                       ParamStack& params, bool report)
{
    GobManager& manager = Instance();
    Gob* gob = common::IsIntegerText(object)
                   ? manager.GetGob(static_cast<std::uint32_t>(common::TextToInt(object)))
                   : manager.GetGobByName(object);
    if (gob == nullptr)
        return false;
    std::uint64_t signature = 0;
    if (gob->GetFunctionSignature(function, &signature))
        common::ConsoleInterface::MatchWholeNumbers(params, signature);
    gob->CallFunction(function, params, report);
    return true;
}
