#include "game/room/RoomData.h"

#include "common/XmlQuietNumbers.h"
#include "common/XmlUtil.h"
#include "engine/ReadStringList.h"
#include "engine/gfx/core/LightXml.h"
#include "game/files/GameDataFiles.h"
#include "game/files/GameFileReport.h"

#include <tinyxml.h>

namespace QUORB
{
RoomData::RoomData() : light{} {}

bool RoomData::Write(TiXmlNode* parent, const RoomData& record)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    TiXmlElement element("RoomData");
    XmlWriteString(&element, record.name, "Name");
    WriteStringList(&element, "Puzzles", "PuzzleName", record.puzzleNames);
    dorvo::gfx::WriteLight(&element, record.light, "Light");
    XmlWriteBool(&element, record.enableLightBloom, "EnableLightBloom");
    XmlWriteBool(&element, record.enableShadow, "EnableShadow");
    return parent->InsertEndChild(element) != nullptr;
}

bool RoomData::Read(const TiXmlNode* node, RoomData& record)
{
    const TiXmlElement* element = node != nullptr ? node->ToElement() : nullptr;
    if (element == nullptr)
        return false;
    const TiXmlNode* child = XmlFirstChildElement(element);
    if (child == nullptr)
    {
        ReportGameFileFault("RoomData::Read", element,
                            "the room record <" + element->ValueStr() +
                                "> is empty; nothing is read from it");
        return false;
    }
    XmlReadString(child, &record.name);
    child = XmlNextSiblingElement(child);
    if (child != nullptr)
        ReadStringList(child, record.puzzleNames);
    child = XmlNextSiblingElement(child);
    const bool lightRead = [&]
    {
        const common::XmlQuietNumbers quiet; // the line below is the one about the light
        return child == nullptr || dorvo::gfx::ReadLight(child, record.light);
    }();
    if (!lightRead)
        ReportGameFileFault("RoomData::Read", child,
                            "the room's light is not a light record; the light stays as it was");
    XmlReadBool(child = XmlNextSiblingElement(child), &record.enableLightBloom);
    XmlReadBool(child = XmlNextSiblingElement(child), &record.enableShadow);
    return true;
}
} // namespace QUORB
