// The settings that survive between runs in "QUORBSettings.xml" under XML_PATH: the graphics
// quality, the GUI skins, which room files are the game's own and which the player made, and the
// last profile used. The game holds one record; reading and writing the file come with the
// settings file's operations.
#pragma once

#include "platform/d3dx9.h"

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

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

struct QUORBSettings
{
    static const char* const kFileName; // "QUORBSettings.xml"

    std::map<std::string, std::unique_ptr<GameSkinColors>> m_gameSkins;
    std::string GraphicsQuality = "Medium"; // "Low", "Medium" or "High"
    std::map<std::string, RoomEntry> m_roomMap;
    std::string LastUsedProfile;
    std::vector<std::string> m_roomsMadeByUs;
    std::vector<std::string> m_roomsMadeByPlayer;
};

// Reads the settings file into the record; a missing or unreadable file leaves the record as it
// was. The file's reader comes with the settings operations; until then nothing is read.
bool LoadSettingsFile(QUORBSettings& settings, const std::string& path);
} // namespace QUORB
