#include "game/room/GobDescription.h"

#include "common/HashName.h"
#include "common/XmlQuietNumbers.h"
#include "common/XmlUtil.h"
#include "engine/Component.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "game/files/GameFileReport.h"
#include "game/objectives/ObjectiveComp.h"
#include "game/widgets/WidgetDataComp.h"

#include "common/math/MathUtil.h"

#include <array>
#include <sstream>

namespace QUORB
{
namespace
{
bool IsUsableVector(const math::Vector3& v)
{
    return math::IsValidFloat(v.x) && math::IsValidFloat(v.y) && math::IsValidFloat(v.z);
}

// A rotation: four finite numbers, not all (nearly) zero.
bool IsUsableRotation(const math::Quaternion& q)
{
    constexpr float kSmallestLengthSquared = 1e-6f;
    return math::IsValidFloat(q.w) && math::IsValidFloat(q.x) && math::IsValidFloat(q.y) &&
           math::IsValidFloat(q.z) && q.LengthSquared() > kSmallestLengthSquared;
}

// The value kept, for the report line: a rotation in the file's order, w last.
std::string KeptText(const math::Vector3& v)
{
    std::ostringstream text;
    text << v;
    return text.str();
}

std::string KeptText(const math::Quaternion& q)
{
    std::ostringstream text;
    text << "(x " << q.x << ", y " << q.y << ", z " << q.z << ", w " << q.w << ")";
    return text.str();
}

// One transform field of a description: taken only when the element reads whole and holds a
// usable value; otherwise one line names the file, the line and the field, and the field keeps
// what it had (a fresh description's origin, no turn, scale 1). A missing element is said by
// the caller's count of what it read.
template <typename Value, typename Reader, typename Usable>
void ReadTransformField(const TiXmlNode* node, Value& field, const char* fieldName, const char* want,
                        Reader read, Usable usable)
{
    if (node == nullptr)
        return;
    Value value = field;
    const common::XmlQuietNumbers quiet; // the line below is the one about this field
    if (read(node, &value) && usable(value))
    {
        field = value;
        return;
    }
    ReportGameFileFault("GobDescription::Read", node,
                        std::string("the description's ") + fieldName + " is not " + want + "; " +
                            KeptText(field) + " is kept");
}
} // namespace

bool GobDescription::IsWidgetDataType(const std::string& typeName)
{
    return IWidgetData::IsTypeName(typeName);
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
    if (const WidgetDataComp* data = WidgetDataComp::Of(gob))
    {
        // The copy belongs to the description, not to the component.
        description.widgetData.reset(data->GetData() != nullptr ? data->GetData()->Clone() : nullptr);
        if (description.widgetData)
            description.widgetData->SetOwner(nullptr);
    }
    if (const ObjectiveComp* objectives = ObjectiveComp::Of(gob))
    {
        // The copy belongs to the description, not to the component.
        description.objective.reset(
            objectives->GetObjective() != nullptr ? objectives->GetObjective()->Clone() : nullptr);
        if (description.objective)
            description.objective->SetOwner(nullptr);
    }
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
        if (WidgetDataComp* data = WidgetDataComp::Of(gob))
        {
            data->SetData(description.widgetData.clone());
            data->GetData()->ApplyToGob();
        }
    if (description.objective)
        if (ObjectiveComp* objectives = ObjectiveComp::Of(gob))
        {
            objectives->SetObjective(description.objective.clone());
            objectives->GetObjective()->ApplyToGob();
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
        ReportGameFileFault("GobDescription::Read", element,
                            "the object description <" + element->ValueStr() +
                                "> is empty; nothing is read from it");
        return false;
    }
    XmlReadString(child, &description.archetypeName);
    // Nothing that is not a finite number of sensible size reaches the world.
    ReadTransformField(child = XmlNextSiblingElement(child), description.position, "Position",
                       "three numbers within +-1e6", XmlReadVector3, IsUsableVector);
    ReadTransformField(child = XmlNextSiblingElement(child), description.orientation, "Orientation",
                       "a rotation (four numbers within +-1e6, not all zero)", XmlReadQuaternion,
                       IsUsableRotation);
    ReadTransformField(child = XmlNextSiblingElement(child), description.scale, "Scale",
                       "three numbers within +-1e6", XmlReadVector3, IsUsableVector);

    bool hasWidgetData = false;
    XmlReadBool(child = XmlNextSiblingElement(child), &hasWidgetData);
    if (hasWidgetData)
    {
        std::string typeName;
        XmlReadString(child = XmlNextSiblingElement(child), &typeName);
        description.widgetData = IWidgetData::CreateByTypeName(typeName, nullptr);
        if (description.widgetData)
        {
            // The record's own element follows its kind.
            const TiXmlNode* data = child = XmlNextSiblingElement(child);
            description.widgetData->Deserialize(data);
        }
        else if (child != nullptr)
            ReportGameFileFault("GobDescription::Read", child,
                                "widget data type \"" + typeName +
                                    "\" names no kind of widget data; the object has none");
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
            ReportGameFileFault("GobDescription::Read", child,
                                "objective id " + std::to_string(flag) +
                                    " names no kind of objective; the object has none");
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
    XmlWriteBool(&element, static_cast<bool>(description.widgetData), "HasWidgetData");
    if (description.widgetData)
    {
        XmlWriteString(&element, description.widgetData->GetTypeName(), "Type");
        description.widgetData->Serialize(&element);
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
