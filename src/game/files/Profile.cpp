#include "game/files/Profile.h"

#include "common/XmlQuietNumbers.h"
#include "common/XmlUtil.h"
#include "engine/ReadStringList.h"
#include "game/files/GameFileReport.h"
#include "game/files/IsSafeFileName.h"

#include <tinyxml.h>

#include <cstdint>

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

namespace
{
std::string Shown(const std::string& text)
{
    return "\"" + text.substr(0, 64) + (text.size() > 64 ? "..." : "") + "\"";
}
} // namespace

bool Profile::Read(const TiXmlNode* node, Profile& profile)
{
    const TiXmlElement* element = node != nullptr ? node->ToElement() : nullptr;
    if (element == nullptr)
        return false;
    const TiXmlNode* countNode = XmlFirstChildElement(element);
    if (countNode == nullptr)
    {
        ReportGameFileFault("Profile::Read", element,
                            "the profile record <" + element->ValueStr() +
                                "> is empty; nothing is read from it");
        return false;
    }
    profile.unlockedRooms.clear();
    profile.partlyRead = false;
    // The count only says how many rooms to expect: the entries that are there are read whatever
    // it says, so a damaged count costs the player none of their rooms.
    unsigned int count = 0;
    bool counted = false;
    {
        const common::XmlQuietNumbers quiet; // the line below is the one about the count
        counted = XmlReadUint(countNode, &count);
    }
    const TiXmlNode* first = XmlNextSiblingElement(countNode);
    if (!counted && countNode->ValueStr() == "string")
        first = countNode; // no count at all: the list starts with a room
    std::uint32_t present = 0;
    const auto limit = static_cast<std::uint32_t>(kMaxStringListSize);
    for (const TiXmlNode* child = first; child != nullptr; child = XmlNextSiblingElement(child))
    {
        if (present == limit || profile.unlockedRooms.size() == kMaxUnlockedRooms)
        {
            ReportGameFileFault("Profile::Read", child,
                                "the profile unlocks more than " +
                                    std::to_string(present == limit ? present : kMaxUnlockedRooms) +
                                    " rooms; the rest are left out");
            profile.partlyRead = true;
            break;
        }
        ++present;
        std::string room;
        XmlReadString(child, &room);
        // Room names are file names below the room folder: none may lead out of it.
        if (!IsSafeFileName(room))
        {
            ReportGameFileFault("Profile::Read", child,
                                "the unlocked room " + Shown(room) +
                                    " is no usable file name; it is left out");
            profile.partlyRead = true;
            continue;
        }
        profile.unlockedRooms.push_back(room);
    }
    if (!counted)
    {
        std::string text;
        XmlReadString(countNode, &text);
        ReportGameFileFault("Profile::Read", countNode,
                            std::string("the room count NumUnlockedRooms ") +
                                (first == countNode
                                     ? "is missing"
                                     : (text.empty() ? "is empty" : Shown(text) + " is not a count")) +
                                "; the " + std::to_string(present) + " room entries present are read");
    }
    else if (count != present && !profile.partlyRead)
        ReportGameFileFault("Profile::Read", countNode,
                            "NumUnlockedRooms " + std::to_string(count) + " but " + std::to_string(present) +
                                " room entries follow; the " + std::to_string(present) + " present are read");
    return true;
}
} // namespace QUORB
