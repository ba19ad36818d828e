// Small components for the object-model tests: fields that serialise, by-name functions of
// every argument kind the console types, and destructors and updates that call back into the
// GobManager. Registered under names no game data uses, beside the real "POVComp".
#pragma once

#include "common/XmlUtil.h"
#include "common/loki/Functor.h"
#include "common/math/Vector3.h"
#include "engine/ComponentBase.h"
#include "engine/DefaultCompCreator.h"
#include "engine/Gob.h"
#include "engine/GobController.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"

#include <tinyxml.h>

#include <string>
#include <utility>
#include <vector>

namespace enginetest
{
// Fields in file order: "uint" Value, "float" Speed, "string" Label.
class CounterComp : public ComponentBase<CounterComp>
{
public:
    unsigned m_Value = 0;
    float m_Speed = 0.0f;
    std::string m_Label;
    math::Vector3 m_Moved{0.0f, 0.0f, 0.0f};
    bool m_MoveFlag = false;
    int m_Updates = 0;
    float m_LastDt = 0.0f;
    int m_Initializations = 0;

    bool Serialize(TiXmlNode* parent) override
    {
        if (parent == nullptr || parent->ToElement() == nullptr)
            return false;
        TiXmlElement element("Component");
        element.SetAttribute("name", GetTypeName());
        TiXmlNode* node = parent->InsertEndChild(element);
        XmlWriteUint(node, m_Value, "Value");
        XmlWriteFloat(node, m_Speed, "Speed");
        XmlWriteString(node, m_Label, "Label");
        return true;
    }
    bool Deserialize(const TiXmlNode* node) override
    {
        if (node == nullptr || node->ToElement() == nullptr)
            return false;
        const TiXmlNode* child = XmlFirstChildElement(node);
        if (child != nullptr)
            XmlReadUint(child, &m_Value);
        if (child != nullptr && (child = XmlNextSiblingElement(child)) != nullptr)
            XmlReadFloat(child, &m_Speed);
        if (child != nullptr && (child = XmlNextSiblingElement(child)) != nullptr)
            XmlReadString(child, &m_Label);
        return true;
    }
    bool Initialize(Gob* owner) override
    {
        ++m_Initializations;
        return Component::Initialize(owner);
    }
    void Update(float dt) override
    {
        ++m_Updates;
        m_LastDt = dt;
    }

    void SetValue(unsigned value) { m_Value = value; }
    unsigned GetValue() const { return m_Value; }
    void SetLabel(std::string label) { m_Label = label; }
    void Move(math::Vector3 by, bool flag)
    {
        m_Moved = by;
        m_MoveFlag = flag;
    }

    static void RegisterFunctions(GobController* controller)
    {
        controller->RegisterComponentFunction(
            "SetValue", Loki::NewObjFunctor(&CounterComp::SetValue).release(), StaticTypeID());
        controller->RegisterComponentFunction(
            "GetValue", Loki::NewObjFunctor(&CounterComp::GetValue).release(), StaticTypeID());
        controller->RegisterComponentFunction(
            "SetLabel", Loki::NewObjFunctor(&CounterComp::SetLabel).release(), StaticTypeID());
        controller->RegisterComponentFunction("Move", Loki::NewObjFunctor(&CounterComp::Move).release(),
                                              StaticTypeID());
    }
};

// One "string" field, Tag; registers "GetTag" and, to collide with CounterComp, "setvalue".
class TagComp : public ComponentBase<TagComp>
{
public:
    std::string m_Tag = "default";
    int m_SetValueCalls = 0;

    bool Serialize(TiXmlNode* parent) override
    {
        if (parent == nullptr || parent->ToElement() == nullptr)
            return false;
        TiXmlElement element("Component");
        element.SetAttribute("name", GetTypeName());
        XmlWriteString(parent->InsertEndChild(element), m_Tag, "Tag");
        return true;
    }
    bool Deserialize(const TiXmlNode* node) override
    {
        if (node == nullptr || node->ToElement() == nullptr)
            return false;
        XmlReadString(XmlFirstChildElement(node), &m_Tag);
        return true;
    }
    std::string GetTag() const { return m_Tag; }
    void SetValueLower(unsigned) { ++m_SetValueCalls; }

    static void RegisterFunctions(GobController* controller)
    {
        controller->RegisterComponentFunction("GetTag", Loki::NewObjFunctor(&TagComp::GetTag).release(),
                                              StaticTypeID());
        controller->RegisterComponentFunction(
            "setvalue", Loki::NewObjFunctor(&TagComp::SetValueLower).release(), StaticTypeID());
    }
};

// Kills the object with id m_Victim when it is deleted; creates one object of m_SpawnName on
// its first Update.
class CallbackComp : public ComponentBase<CallbackComp>
{
public:
    std::uint32_t m_Victim = 0;
    std::string m_SpawnName;
    static inline int s_Destroyed = 0;

    ~CallbackComp() override
    {
        ++s_Destroyed;
        if (m_Victim != 0)
            GobManager::Instance().KillGobByID(m_Victim);
    }
    bool Serialize(TiXmlNode*) override { return false; }
    bool Deserialize(const TiXmlNode*) override { return false; }
    void Update(float) override
    {
        if (!m_SpawnName.empty())
        {
            const std::string name = m_SpawnName;
            m_SpawnName.clear();
            GobManager::Instance().CreateGob(name);
        }
    }
};

inline void RegisterTestComponents()
{
    RegisterComponentType<CounterComp>("CounterComp");
    RegisterComponentType<TagComp>("TagComp");
    RegisterComponentType<CallbackComp>("CallbackComp");
    RegisterComponentType<POVComp>("POVComp");
}

// A template file in the working folder; the component list's "size" is its true count unless
// `componentSize` gives another text.
inline void WriteTemplate(const std::string& file, const std::string& type, const std::string& templateName,
                          const std::vector<std::string>& components,
                          const std::vector<std::pair<std::string, std::string>>& archetypes = {},
                          const std::string& componentSize = "")
{
    TiXmlDocument document;
    TiXmlElement root("File");
    TiXmlElement templ("Template");
    XmlWriteString(&templ, type, "TypeName");
    XmlWriteString(&templ, templateName, "TemplateName");
    TiXmlNode* list = XmlWriteListElement(&templ, "Components", static_cast<int>(components.size()));
    if (!componentSize.empty())
        list->ToElement()->SetAttribute("size", componentSize);
    for (const std::string& component : components)
        XmlWriteString(list, component, "");
    TiXmlNode* entries = XmlWriteListElement(&templ, "Archetypes", static_cast<int>(archetypes.size()));
    for (const auto& entry : archetypes)
    {
        TiXmlNode* pair = XmlWritePairElement(entries, "");
        XmlWriteString(pair, entry.first, "First");
        XmlWriteString(pair, entry.second, "Second");
    }
    root.InsertEndChild(templ);
    document.InsertEndChild(root);
    document.SaveFile(file);
}
} // namespace enginetest
