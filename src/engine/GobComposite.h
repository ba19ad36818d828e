// The game object: its identity plus the components its template lists, in template order. The
// template controller that built it gives the layout (which component has which type id and
// which by-name function), so every object of one template is laid out alike. Owns its
// components; owned by the GobManager.
#pragma once

#include "engine/Gob.h"

#include <vector>

class TemplateGobController;
class ArchetypeGobController;

class GobComposite : public Gob
{
public:
    // Built only by a template controller, with the id the GobManager hands out.
    GobComposite(TemplateGobController* controller, std::uint32_t id);
    // Unregisters the name, then deletes the components in order.
    ~GobComposite() override;

    GobComposite(const GobComposite&) = delete;
    GobComposite& operator=(const GobComposite&) = delete;

    using Gob::CallFunction;
    // Looks `name` up with case; an unknown name does nothing and writes nothing.
    void CallFunction(const std::string& name, ParamStack& params, bool report) override;

    // Writes <Gob type="..."> with a "string" named "Name", then one "Component" per component.
    bool Serialize(TiXmlNode* parent) override;
    // Reads the name from the first child element (empty text keeps it), then each component
    // from the next sibling element in turn; components past the last element stay unchanged.
    // The "type" attribute is not read: the element must come from an object of this template.
    bool Deserialize(const TiXmlNode* node) override;

    void Init() override;
    const std::string& GetTypeName() const override;
    const std::string& GetTemplateName() const override;
    const std::string& GetName() const override { return m_Name; }
    const std::string& GetArchetypeName() const override;
    void SetTypeName(const std::string& name) override;
    void SetName(const std::string& name) override;
    std::uint32_t GetID() const override { return m_ID; }
    void Update(float dt) override;
    bool IsKilled() const override { return m_Killed; }
    void Kill() override { m_Killed = true; }
    const Component* GetComponent(std::uint32_t typeID) const override;
    Component* GetComponent(std::uint32_t typeID) override;
    bool GetFunctionSignature(const std::string& name, std::uint64_t* signature) const override;

    // Takes ownership; the controller fills the slots in template order.
    void AddComponent(Component* component);
    std::size_t GetComponentCount() const { return m_Components.size(); }
    Component* GetComponentAt(std::size_t index) const;

    TemplateGobController* GetController() const { return m_pController; }
    ArchetypeGobController* GetArchetype() const { return m_pArchetype; }
    void SetArchetype(ArchetypeGobController* archetype) { m_pArchetype = archetype; }

private:
    TemplateGobController* m_pController;           // not owned; outlives the object
    ArchetypeGobController* m_pArchetype = nullptr; // not owned; null unless made from an archetype
    std::uint32_t m_ID;
    std::string m_Name;
    bool m_Killed = false;
    // Owned, template order; a slot is null when its creator was missing, or while the object
    // is being deleted once its component is gone.
    std::vector<Component*> m_Components;
};
