// The controller of one template file: the component type ids in file order, where each type
// and each by-name function sits in that list, and the functions themselves. Objects built here
// hold a pointer to it and resolve GetComponent and CallFunction through it.
#pragma once

#include "common/FunctionRegistry.h"
#include "engine/GobController.h"

#include <unordered_map>
#include <vector>

template <class T> class DefaultCreator;
class Component;

class TemplateGobController : public GobController
{
public:
    TemplateGobController();
    ~TemplateGobController() override;

    // A GobComposite with one component per listed type, made by GobManager::CreateComponent.
    Gob* CreateGob(std::uint32_t id) override;
    // Files `name` (case kept) against the component of that type id. A name the template has
    // already, or one the registry refuses because it differs only in case from a kept one, is
    // not filed and its functor is freed, so a name always reaches the functor filed with it.
    void RegisterComponentFunction(const std::string& name, Loki::BaseFunctor* functor,
                                   std::uint32_t typeID) override;
    // Into the registry only: no component, so objects never reach it by name.
    void RegisterFunction(const std::string& name, Loki::BaseFunctor* functor) override;
    const std::string& GetTypeName() const override { return m_TypeName; }

    // Appends the type at index = current count (a type listed twice keeps its first index but
    // still gets a second component), then lets the creator register the class's functions.
    void AddComponentType(std::uint32_t typeID, DefaultCreator<Component>* creator);

    void SetTypeName(const std::string& name) { m_TypeName = name; }
    const std::string& GetTemplateName() const { return m_TemplateName; }
    void SetTemplateName(const std::string& name) { m_TemplateName = name; }

    // Index into the component list, or -1.
    int FindComponent(std::uint32_t typeID) const;
    int FindFunctionComponent(const std::string& name) const; // exact case
    FunctionRegistry& GetFunctions() { return m_Functions; }
    const FunctionRegistry& GetFunctions() const { return m_Functions; }
    const std::vector<std::uint32_t>& GetComponentTypes() const { return m_ComponentTypes; }

private:
    FunctionRegistry m_Functions;
    std::string m_TypeName;
    std::string m_TemplateName;
    std::unordered_map<std::uint32_t, unsigned> m_ComponentIndex;
    std::unordered_map<std::string, unsigned> m_FunctionIndex;
    std::vector<std::uint32_t> m_ComponentTypes;
};
