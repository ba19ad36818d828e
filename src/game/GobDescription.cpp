#include "game/GobDescription.h"

#include "common/HashName.h"
#include "common/XmlUtil.h"
#include "engine/Component.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "game/GameFileReport.h"
#include "game/ObjectiveComp.h"

#include <array>

namespace QUORB
{
namespace
{
constexpr std::array<const char*, 6> kWidgetDataTypes = {"GravitySwitch", "Platform", "Bar",
                                                         "Accelerator",   "Magnet",   "QUORB"};

// Component seam: the gob's widget data and objective reach a description through the
// components' own serialisation, <Component name=".."> holding the record's kind ("Type" string
// or "ObjectiveID" int) and then the record's element, the same two children a description
// holds. Once the components hold record classes, FromGob clones the component's record and
// ApplyToGob installs a clone (owner set to the component) and calls the record's ApplyToGob.
Component* FindComponent(Gob* gob, const char* typeName)
{
    return gob != nullptr ? gob->GetComponent(HashName(typeName)) : nullptr;
}

// The record a component writes, or none when it holds no record of a known kind.
std::optional<SavedRecord> RecordOfComponent(Component& component, bool objective)
{
    TiXmlElement scratch("Scratch");
    if (!component.Serialize(&scratch))
        return std::nullopt;
    const TiXmlNode* kind = XmlFirstChildElement(XmlFirstChildElement(&scratch));
    const TiXmlNode* element = XmlNextSiblingElement(kind);
    if (kind == nullptr || element == nullptr)
        return std::nullopt;
    SavedRecord record;
    if (objective)
    {
        if (!XmlReadUint(kind, &record.typeFlag) || !GobDescription::IsObjectiveType(record.typeFlag))
            return std::nullopt;
    }
    else if (!XmlReadString(kind, &record.typeName) || !GobDescription::IsWidgetDataType(record.typeName))
        return std::nullopt;
    record.element = *element->ToElement();
    return record;
}

void InstallInComponent(Component& component, const SavedRecord& record, bool objective)
{
    TiXmlElement element("Component");
    element.SetAttribute("name", component.GetTypeName());
    if (objective)
        XmlWriteInt(&element, static_cast<int>(record.typeFlag), "ObjectiveID");
    else
        XmlWriteString(&element, record.typeName, "Type");
    element.InsertEndChild(record.element);
    component.Deserialize(&element);
}
} // namespace

bool GobDescription::IsWidgetDataType(const std::string& typeName)
{
    for (const char* name : kWidgetDataTypes)
        if (typeName == name)
            return true;
    return false;
}

bool GobDescription::IsObjectiveType(std::uint32_t flag)
{
    return flag == 1 || flag == 2 || flag == 4 || flag == 8 || flag == 16 || flag == 32;
}

void GobDescription::FromGob(Gob* gob, GobDescription& description)
{
    if (gob == nullptr)
        return;
    description.archetypeName = gob->GetArchetypeName();
    if (POVComp* pov = GetPOVComp(gob))
    {
        description.position = pov->GetPosition();
        description.orientation = pov->GetOrientation();
        description.scale = pov->GetScale();
    }
    if (Component* data = FindComponent(gob, "WidgetDataComp"))
        description.widgetData = RecordOfComponent(*data, false);
    if (ObjectiveComp* objectives = ObjectiveComp::Of(gob))
        description.objective.reset(
            objectives->GetObjective() != nullptr ? objectives->GetObjective()->Clone() : nullptr);
}

Gob* GobDescription::CreateGob(const GobDescription& description)
{
    Gob* gob = GobManager::Instance().CreateGob(description.archetypeName);
    if (gob == nullptr)
        return nullptr;
    if (POVComp* pov = GetPOVComp(gob))
    {
        pov->SetPosition(description.position, true);
        pov->SetOrientation(description.orientation, false);
        pov->SetScale(description.scale, true);
    }
    ApplyToGob(gob, description);
    return gob;
}

void GobDescription::ApplyToGob(Gob* gob, const GobDescription& description)
{
    if (description.widgetData)
        if (Component* data = FindComponent(gob, "WidgetDataComp"))
            InstallInComponent(*data, *description.widgetData, false);
    if (description.objective)
        if (ObjectiveComp* objectives = ObjectiveComp::Of(gob))
        {
            objectives->SetObjective(description.objective.Clone());
            objectives->ApplyObjectiveToGob();
        }
}

bool GobDescription::Read(const TiXmlNode* node, GobDescription& description)
{
    const TiXmlElement* element = node != nullptr ? node->ToElement() : nullptr;
    if (element == nullptr)
        return false;
    const TiXmlNode* child = XmlFirstChildElement(element);
    if (child == nullptr)
    {
        ReportGameFileFault(element, "the object description <" + element->ValueStr() + "> is empty");
        return false;
    }
    XmlReadString(child, &description.archetypeName);
    XmlReadVector3(child = XmlNextSiblingElement(child), &description.position);
    XmlReadQuaternion(child = XmlNextSiblingElement(child), &description.orientation);
    XmlReadVector3(child = XmlNextSiblingElement(child), &description.scale);

    bool hasWidgetData = false;
    XmlReadBool(child = XmlNextSiblingElement(child), &hasWidgetData);
    if (hasWidgetData)
    {
        std::string typeName;
        XmlReadString(child = XmlNextSiblingElement(child), &typeName);
        description.widgetData.reset();
        if (IsWidgetDataType(typeName))
        {
            // The record's own element follows its kind.
            const TiXmlNode* data = child = XmlNextSiblingElement(child);
            if (data != nullptr)
                description.widgetData = SavedRecord{typeName, 0, *data->ToElement()};
        }
        else if (child != nullptr)
            ReportGameFileFault(child, "widget data type \"" + typeName + "\" names no kind of widget data");
    }

    bool hasObjective = false;
    XmlReadBool(child = XmlNextSiblingElement(child), &hasObjective);
    if (hasObjective)
    {
        unsigned int flag = 0;
        XmlReadUint(child = XmlNextSiblingElement(child), &flag);
        description.objective.reset(IObjective::Create(flag));
        if (description.objective)
            description.objective->Deserialize(XmlNextSiblingElement(child));
        else if (child != nullptr)
            ReportGameFileFault(child,
                                "objective id " + std::to_string(flag) + " names no kind of objective");
    }
    return true;
}

bool GobDescription::Write(TiXmlNode* parent, const std::string& role, const GobDescription& description)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    TiXmlElement element("GobDescription");
    element.SetAttribute("name", role);
    XmlWriteString(&element, description.archetypeName, "Archetype");
    XmlWriteVector3(&element, description.position, "Position");
    XmlWriteQuaternion(&element, description.orientation, "Orientation");
    XmlWriteVector3(&element, description.scale, "Scale");
    XmlWriteBool(&element, description.widgetData.has_value(), "HasWidgetData");
    if (description.widgetData)
    {
        XmlWriteString(&element, description.widgetData->typeName, "Type");
        element.InsertEndChild(description.widgetData->element);
    }
    XmlWriteBool(&element, static_cast<bool>(description.objective), "HasObjective");
    if (description.objective)
    {
        XmlWriteInt(&element, static_cast<int>(description.objective->GetType()), "ObjectiveID");
        description.objective->Serialize(&element);
    }
    return parent->InsertEndChild(element) != nullptr;
}
} // namespace QUORB
