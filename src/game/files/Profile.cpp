#include "game/files/Profile.h"

#include "common/XmlUtil.h"
#include "game/files/GameDataFiles.h"
#include "game/files/GameFileReport.h"
#include "game/files/IsSafeFileName.h"

#include <tinyxml.h>

namespace QUORB
{
bool Profile::Write(TiXmlNode* parent, const Profile& profile)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    TiXmlElement element("Profile");
    XmlWriteUint(&element, static_cast<unsigned int>(profile.unlockedRooms.size()), "NumUnlockedRooms");
    for (const std::string& room : profile.unlockedRooms)
        XmlWriteString(&element, room, "RoomFileName");
    return parent->InsertEndChild(element) != nullptr;
}

bool Profile::Read(const TiXmlNode* node, Profile& profile)
{
    const TiXmlElement* element = node != nullptr ? node->ToElement() : nullptr;
    if (element == nullptr)
        return false;
    const TiXmlNode* child = XmlFirstChildElement(element);
    if (child == nullptr)
    {
        ReportGameFileFault("Profile::Read", element,
                            "the profile record <" + element->ValueStr() +
                                "> is empty; nothing is read from it");
        return false;
    }
    profile.unlockedRooms.clear();
    unsigned int count = 0;
    XmlReadUint(child, &count);
    const std::uint32_t present = CheckedRecordCount(child, count, "NumUnlockedRooms");
    for (std::uint32_t i = 0; i < present; ++i)
    {
        if ((child = XmlNextSiblingElement(child)) == nullptr)
            break; // reported by CheckedRecordCount
        if (profile.unlockedRooms.size() == kMaxUnlockedRooms)
        {
            ReportGameFileFault("Profile::Read", child,
                                "the profile unlocks more than " + std::to_string(kMaxUnlockedRooms) +
                                    " rooms; the rest are left out");
            break;
        }
        std::string room;
        XmlReadString(child, &room);
        // Room names are file names below the room folder: none may lead out of it.
        if (!IsSafeFileName(room))
        {
            ReportGameFileFault("Profile::Read", child,
                                "the unlocked room \"" + room.substr(0, 64) +
                                    (room.size() > 64 ? "..." : "") +
                                    "\" is no usable file name; it is left out");
            continue;
        }
        profile.unlockedRooms.push_back(room);
    }
    return true;
}
} // namespace QUORB
