#include "game/room/RoomEnvironment.h"

#include "common/XmlUtil.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "game/files/GameDataFiles.h"
#include "game/files/GameFileReport.h"
#include "game/room/GobDescription.h"

#include <tinyxml.h>

namespace QUORB
{
bool RoomEnvironment::Read(std::vector<std::uint32_t>& gobIDs, const TiXmlNode* node)
{
    const TiXmlElement* element = node != nullptr ? node->ToElement() : nullptr;
    if (element == nullptr)
        return false;
    const TiXmlNode* child = XmlFirstChildElement(element);
    if (child == nullptr)
    {
        ReportGameFileFault("RoomEnvironment::Read", element,
                            "the room environment <" + element->ValueStr() +
                                "> is empty; nothing is read from it");
        return false;
    }
    unsigned int count = 0;
    XmlReadUint(child, &count);
    const std::uint32_t slots = CheckedRecordCount(child, count, "NumEnvGobs");
    gobIDs.assign(slots, 0);
    for (std::uint32_t i = 0; i < slots; ++i)
    {
        child = XmlNextSiblingElement(child);
        if (child == nullptr)
            break; // reported by CheckedRecordCount
        GobDescription description;
        if (!GobDescription::Read(child, description))
            continue;
        if (Gob* gob = GobDescription::CreateGob(description))
            gobIDs[i] = gob->GetID();
        else
            ReportGameFileFault("RoomEnvironment::Read", child,
                                "no object is built under the archetype \"" + description.archetypeName +
                                    "\"; the description is skipped");
    }
    return true;
}

bool RoomEnvironment::Write(const std::vector<std::uint32_t>& gobIDs, TiXmlNode* parent)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    std::vector<Gob*> gobs;
    for (std::uint32_t id : gobIDs)
        if (Gob* gob = GobManager::Instance().GetGob(id))
            gobs.push_back(gob);
    TiXmlElement element("RoomEnvironment");
    XmlWriteUint(&element, static_cast<unsigned int>(gobs.size()), "NumEnvGobs");
    for (Gob* gob : gobs)
    {
        GobDescription description;
        GobDescription::FromGob(gob, description);
        GobDescription::Write(&element, "EnvDescription", description);
    }
    return parent->InsertEndChild(element) != nullptr;
}
} // namespace QUORB
