#include "game/widgets/WidgetDataComp.h"

#include "common/XmlUtil.h"
#include "game/files/GameFileReport.h"
#include "game/room/FindComp.h"
#include "game/widgets/IWidgetData.h"

#include <tinyxml.h>

namespace QUORB
{
const char* const WidgetDataComp::kTypeName = "WidgetDataComp";

WidgetDataComp::WidgetDataComp() = default;

WidgetDataComp::~WidgetDataComp() = default;

bool WidgetDataComp::Serialize(TiXmlNode* parent)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    TiXmlElement element("Component");
    element.SetAttribute("name", kTypeName);
    if (m_pData)
    {
        XmlWriteString(&element, m_pData->GetTypeName(), "Type");
        m_pData->Serialize(&element);
    }
    return parent->InsertEndChild(element) != nullptr;
}

bool WidgetDataComp::Deserialize(const TiXmlNode* node)
{
    if (node == nullptr || node->ToElement() == nullptr)
        return false;
    const TiXmlNode* type = XmlFirstChildElement(node);
    std::string typeName;
    XmlReadString(type, &typeName);
    // A name of no kind leaves the component without a record (an empty component has none).
    m_pData = IWidgetData::CreateByTypeName(typeName, this);
    if (m_pData)
        m_pData->Deserialize(XmlNextSiblingElement(type));
    else if (type != nullptr)
        ReportGameFileFault("WidgetDataComp::Deserialize", type,
                            "widget data type \"" + typeName +
                                "\" names no kind of widget data; the object has none");
    return true;
}

bool WidgetDataComp::Initialize(Gob* owner)
{
    Component::Initialize(owner);
    if (m_pData)
        m_pData->ApplyToGob();
    return true;
}

void WidgetDataComp::SetData(std::unique_ptr<IWidgetData> data)
{
    m_pData = std::move(data);
    if (m_pData)
        m_pData->SetOwner(this);
}

// clang-format off
CGravitySwitchData* WidgetDataComp::AsGravitySwitchData() const { return m_pData ? m_pData->AsGravitySwitchData() : nullptr; }
CPlatformData* WidgetDataComp::AsPlatformData() const { return m_pData ? m_pData->AsPlatformData() : nullptr; }
CBarData* WidgetDataComp::AsBarData() const { return m_pData ? m_pData->AsBarData() : nullptr; }
CMagnetData* WidgetDataComp::AsMagnetData() const { return m_pData ? m_pData->AsMagnetData() : nullptr; }
CAcceleratorData* WidgetDataComp::AsAcceleratorData() const { return m_pData ? m_pData->AsAcceleratorData() : nullptr; }
CQUORBData* WidgetDataComp::AsQUORBData() const { return m_pData ? m_pData->AsQUORBData() : nullptr; }
// clang-format on

WidgetDataComp* WidgetDataComp::Of(Gob* gob)
{
    return FindComp<WidgetDataComp>(gob);
}
} // namespace QUORB
