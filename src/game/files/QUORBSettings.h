// The settings that survive between runs in "QUORBSettings.xml" under XML_PATH: the graphics
// quality, the GUI skins, which room files are the game's own and which the player made, and the
// last profile used. The game holds one record; it is read once at start-up and written by
// "saveroom" and when the player quits.
#pragma once

#include "platform/d3dx9.h"

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

class TiXmlNode;

namespace QUORB
{
// A room file the game knows; a locked room is not loaded by "loadroom".
struct RoomEntry
{
    std::string name;
    bool locked = false;
};

// The five colours of a GUI skin, in the order of the GUI's skin colours.
using GameSkinColors = std::array<plat::D3DXCOLOR, 5>;

// The file: root "File" holding "QUORBSettings", whose children are taken by position: string
// "GraphicsQuality"; list "GameSkins" of "GameSkin" elements; uint "NumRoomsMadeByUs" and that
// many string "RoomFileName"; uint "NumRoomsMadeByPlayer" and that many; string "LastUsedProfile".
struct QUORBSettings
{
    static const char* const kFileName; // "QUORBSettings.xml"

    // Appends "QUORBSettings" in the file's order; the counts are the lists' sizes. False,
    // writing nothing, for a null or non-element parent.
    static bool Write(TiXmlNode* parent, const QUORBSettings& settings);
    // Reads the record from its element. A skin without a name or with unreadable colours is
    // skipped (one line), a second skin of a name keeps the first; a room name that is no safe
    // file name is left out (one line); the rooms made by us are filed in the room map locked,
    // the player's rooms are not filed there. A record that is not whole (a value missing, a
    // count above the largest list or above the names that follow) is malformed: one line, the
    // record becomes the defaults and the result is false.
    static bool Read(const TiXmlNode* node, QUORBSettings& settings);

    std::map<std::string, std::unique_ptr<GameSkinColors>> m_gameSkins;
    std::string GraphicsQuality = "Medium"; // "Low", "Medium" or "High"
    std::map<std::string, RoomEntry> m_roomMap;
    std::string LastUsedProfile;
    std::vector<std::string> m_roomsMadeByUs;
    std::vector<std::string> m_roomsMadeByPlayer;
};

// Reads the settings file into the record. A file that is missing, does not parse or holds a
// malformed record leaves the defaults ("Medium", no skins, empty lists) with one line in
// the log naming the file; false then.
bool LoadSettingsFile(QUORBSettings& settings, const std::string& path);
// Writes the record as the settings file through an atomic save, so a failed write leaves the
// old file. False (one line in the log) when it could not be written.
bool SaveSettingsFile(const QUORBSettings& settings, const std::string& path);
// The bytes SaveSettingsFile writes, for a group of files saved together; false when the record
// does not write.
bool SettingsFileBytes(const QUORBSettings& settings, std::string& bytes);
} // namespace QUORB
