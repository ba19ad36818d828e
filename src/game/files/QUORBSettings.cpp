#include "game/files/QUORBSettings.h"

#include "common/FaultTally.h"
#include "common/XmlFile.h"
#include "common/XmlQuietNumbers.h"
#include "common/XmlUtil.h"
#include "engine/ReadStringList.h"
#include "engine/gfx/gui/GameSkin.h"
#include "game/files/GameFileReport.h"
#include "game/files/IsSafeFileName.h"
#include "game/files/SaveXmlAtomically.h"
#include "platform/files.h"
#include "platform/log.h"

#include <tinyxml.h>

namespace QUORB
{
const char* const QUORBSettings::kFileName = "QUORBSettings.xml";

namespace
{
// The reader the lines about a settings record name, its helpers' included.
const char* const kReader = "QUORBSettings::Read";

// A name in quotes for a line, cut short when long.
std::string Quoted(const std::string& name)
{
    constexpr std::size_t kShown = 64;
    return "\"" + (name.size() <= kShown ? name : name.substr(0, kShown) + "...") + "\"";
}

// What made a settings record unusable, and where; reported once by Read.
struct Fault
{
    const TiXmlNode* node = nullptr;
    std::string what;
};

// A count element and the names after it. Returns the element after the last name, or null
// (the fault filled in) when the count is missing, above the largest list or above the names
// that follow. Names that are no safe file name are left out with one line each.
const TiXmlNode* ReadRoomNames(const TiXmlNode* countNode, const char* what, std::vector<std::string>& names,
                               Fault& fault)
{
    unsigned int count = 0;
    fault.node = countNode;
    const common::XmlQuietNumbers quiet; // the fault is the one line
    if (countNode == nullptr || !XmlReadUint(countNode, &count))
    {
        fault.what = std::string("no readable ") + what;
        return nullptr;
    }
    if (count > static_cast<unsigned int>(kMaxStringListSize))
    {
        fault.what = std::string(what) + " " + std::to_string(count) + " is above the largest count (" +
                     std::to_string(kMaxStringListSize) + ")";
        return nullptr;
    }
    const TiXmlNode* child = XmlNextSiblingElement(countNode);
    for (unsigned int i = 0; i < count; ++i, child = XmlNextSiblingElement(child))
    {
        std::string name;
        if (child == nullptr || !XmlReadString(child, &name))
        {
            fault.what = std::string(what) + " " + std::to_string(count) + " but only " + std::to_string(i) +
                         " room names follow";
            return nullptr;
        }
        if (!IsSafeFileName(name))
        {
            ReportGameFileFault(kReader, child,
                                "the room name " + Quoted(name) + " is no usable file name; it is left out");
            continue;
        }
        names.push_back(name);
    }
    return child;
}

// The "GameSkins" list into the skin map; false (the fault filled in) when the node is no
// readable list.
bool ReadSkins(const TiXmlNode* list, QUORBSettings& settings, Fault& fault)
{
    int size = 0;
    fault.node = list;
    if (list == nullptr || !XmlReadListSize(list, &size))
    {
        fault.what = "no readable GameSkins list";
        return false;
    }
    int present = 0;
    for (const TiXmlNode* child = XmlFirstChildElement(list);
         child != nullptr && present <= kMaxStringListSize; child = XmlNextSiblingElement(child))
        ++present;
    int count = size;
    if (size < 0 || size > kMaxStringListSize)
    {
        ReportGameFileFault(kReader, list,
                            "GameSkins size " + std::to_string(size) + " is outside 0 to " +
                                std::to_string(kMaxStringListSize) + "; the skins present are read");
        count = present < kMaxStringListSize ? present : kMaxStringListSize;
    }
    else if (present < size)
    {
        ReportGameFileFault(kReader, list,
                            "GameSkins size " + std::to_string(size) + " but only " +
                                std::to_string(present) + " skins follow; those are read");
        count = present;
    }
    const TiXmlNode* child = XmlFirstChildElement(list);
    for (int i = 0; i < count && child != nullptr; ++i, child = XmlNextSiblingElement(child))
    {
        std::string name;
        auto colors = std::make_unique<GameSkinColors>();
        if (!XmlReadNameAttribute(child, &name) || name.empty())
        {
            ReportGameFileFault(kReader, child, "a game skin has no name; it is skipped");
            continue;
        }
        bool readable = false;
        {
            const common::XmlQuietNumbers quiet; // the line below is the one about the skin
            readable = dorvo::gfx::ReadGameSkin(child, colors->data());
        }
        if (!readable)
        {
            ReportGameFileFault(kReader, child,
                                "the game skin " + Quoted(name) + " has unreadable colours; it is skipped");
            continue;
        }
        if (!settings.m_gameSkins.emplace(name, std::move(colors)).second)
            ReportGameFileFault(kReader, child, "a second game skin " + Quoted(name) + "; the first is kept");
    }
    return true;
}
} // namespace

bool QUORBSettings::Write(TiXmlNode* parent, const QUORBSettings& settings)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    TiXmlElement element("QUORBSettings");
    XmlWriteString(&element, settings.GraphicsQuality, "GraphicsQuality");
    TiXmlNode* skins =
        XmlWriteListElement(&element, "GameSkins", static_cast<int>(settings.m_gameSkins.size()));
    for (const auto& skin : settings.m_gameSkins)
        dorvo::gfx::WriteGameSkin(skins, skin.second->data(), skin.first);
    XmlWriteUint(&element, static_cast<unsigned int>(settings.m_roomsMadeByUs.size()), "NumRoomsMadeByUs");
    for (const std::string& room : settings.m_roomsMadeByUs)
        XmlWriteString(&element, room, "RoomFileName");
    XmlWriteUint(&element, static_cast<unsigned int>(settings.m_roomsMadeByPlayer.size()),
                 "NumRoomsMadeByPlayer");
    for (const std::string& room : settings.m_roomsMadeByPlayer)
        XmlWriteString(&element, room, "RoomFileName");
    XmlWriteString(&element, settings.LastUsedProfile, "LastUsedProfile");
    return parent->InsertEndChild(element) != nullptr;
}

bool QUORBSettings::Read(const TiXmlNode* node, QUORBSettings& settings)
{
    QUORBSettings read;
    Fault fault;
    fault.node = node;
    const TiXmlNode* quality = XmlFirstChildElement(node);
    const TiXmlNode* skins = XmlNextSiblingElement(quality);
    const TiXmlNode* lastUsed = nullptr;
    if (quality == nullptr || !XmlReadString(quality, &read.GraphicsQuality))
        fault.what = "no readable GraphicsQuality";
    else if (ReadSkins(skins, read, fault))
    {
        const TiXmlNode* next =
            ReadRoomNames(XmlNextSiblingElement(skins), "NumRoomsMadeByUs", read.m_roomsMadeByUs, fault);
        if (fault.what.empty())
            lastUsed = ReadRoomNames(next, "NumRoomsMadeByPlayer", read.m_roomsMadeByPlayer, fault);
        if (fault.what.empty() && (lastUsed == nullptr || !XmlReadString(lastUsed, &read.LastUsedProfile)))
        {
            fault = Fault{lastUsed != nullptr ? lastUsed : node, "no readable LastUsedProfile"};
            lastUsed = nullptr;
        }
    }
    if (lastUsed == nullptr)
    {
        if (node != nullptr)
            ReportGameFileFault(kReader, fault.node != nullptr ? fault.node : node,
                                "the settings are not whole (" + fault.what + "); the defaults are used");
        settings = QUORBSettings();
        return false;
    }
    // The last profile is loaded by name from the profile folder: one that could leave it is
    // forgotten (the player is asked for a profile, as at the first start).
    if (!read.LastUsedProfile.empty() && !IsSafeFileName(read.LastUsedProfile))
    {
        ReportGameFileFault(kReader, lastUsed,
                            "the last profile " + Quoted(read.LastUsedProfile) +
                                " is no usable file name; no profile is loaded");
        read.LastUsedProfile.clear();
    }
    for (const std::string& room : read.m_roomsMadeByUs)
        read.m_roomMap.emplace(room, RoomEntry{room, true});
    settings = std::move(read);
    return true;
}

bool LoadSettingsFile(QUORBSettings& settings, const std::string& path)
{
    common::FaultTally tally("LoadSettingsFile", path); // a flood of one fault is a few lines
    TiXmlDocument document;
    std::string error;
    if (!XmlLoadFile(path, document, error))
    {
        DORVO_LOG("LoadSettingsFile: %s; the default settings are used", error.c_str());
        settings = QUORBSettings();
        return false;
    }
    document.SetValue(path);
    const TiXmlElement* root = document.RootElement();
    const TiXmlElement* record = root != nullptr ? root->FirstChildElement() : nullptr;
    if (record == nullptr)
    {
        ReportGameFileFault("LoadSettingsFile",
                            root != nullptr ? static_cast<const TiXmlNode*>(root) : &document,
                            "the file holds no settings record; the defaults are used");
        settings = QUORBSettings();
        return false;
    }
    return QUORBSettings::Read(record, settings);
}

bool SettingsFileBytes(const QUORBSettings& settings, std::string& bytes)
{
    TiXmlDocument document;
    document.InsertEndChild(TiXmlDeclaration("1.0", "", ""));
    TiXmlNode* root = document.InsertEndChild(TiXmlElement("File"));
    if (!QUORBSettings::Write(root, settings))
        return false;
    XmlKeepTexts(root);
    return XmlDocumentBytes(document, bytes);
}

bool SaveSettingsFile(const QUORBSettings& settings, const std::string& path)
{
    std::string bytes;
    if (!SettingsFileBytes(settings, bytes))
        return false;
    std::string error;
    if (!plat::SaveRunFile(path, bytes, plat::SaveKind::Data, error))
    {
        DORVO_LOG("SaveSettingsFile: %s; the old file is kept", error.c_str());
        return false;
    }
    return true;
}
} // namespace QUORB
