// The main road's worlds: the game with its splash chain, the committed settings naming a last
// used profile, and the profile files a test asks for, so the chain ends as it would for a
// returning player (or a new one).
#pragma once

#include "MenuTestWorld.h"
#include "TestSupport.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace mainroad
{
constexpr double kFrame = 1.0 / 30.0;
const char* const kSettingsFile = "files/xmlfiles/QUORBSettings.xml";
const char* const kProfileFolder = "files/profiles/";
// The room the committed settings list as ours; a profile that lists it unlocks it.
const char* const kOurRoom = "Tutorial.xml";

inline std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The committed settings (quality, the three skins, our rooms) with that last used profile.
inline std::string SettingsNaming(const std::string& lastUsed)
{
    std::string text = ReadWhole(testsupport::RepoPath("data/files/xmlfiles/QUORBSettings.xml"));
    const std::string empty = "<string name=\"LastUsedProfile\"></string>";
    const std::size_t at = text.find(empty);
    if (at != std::string::npos)
        text.replace(at, empty.size(), "<string name=\"LastUsedProfile\">" + lastUsed + "</string>");
    return text;
}

inline std::string ProfileListing(const std::vector<std::string>& rooms)
{
    std::string text = "<?xml version=\"1.0\" ?><File><Profile><uint name=\"NumUnlockedRooms\">" +
                       std::to_string(rooms.size()) + "</uint>";
    for (const std::string& room : rooms)
        text += "<string name=\"RoomFileName\">" + room + "</string>";
    return text + "</Profile></File>";
}

// The settings naming lastUsed and, for each name given, a profile file unlocking our room.
inline gametest::MenuTestSetup RoadSetup(const std::string& lastUsed,
                                         const std::vector<std::string>& profiles)
{
    gametest::MenuTestSetup setup;
    setup.splashes = true;
    setup.files[kSettingsFile] = SettingsNaming(lastUsed);
    for (const std::string& profile : profiles)
        setup.files[std::string(kProfileFolder) + profile] = ProfileListing({kOurRoom});
    // The folder is there even without profiles, as after the player deleted them all.
    if (profiles.empty())
        setup.files[std::string(kProfileFolder) + "notes.txt"] = "no profiles";
    return setup;
}

// The three splashes in the order they show.
inline const std::vector<std::string>& Splashes()
{
    static const std::vector<std::string> names = {"KeshSplashMenu", "VoskelSplashMenu", "GameSplashMenu"};
    return names;
}

// Frames until the test clock has reached the time.
inline void RunTo(gametest::MenuTestWorld& world, double time)
{
    while (world.Now() < time - 1e-9)
        world.Step();
}

// The requests a menu was sent (opening, closing, resetting, custom data, texts), in order;
// input broadcasts, hovers and the menu's own timed changes are left out.
inline std::vector<MessageName> Kinds(const gametest::MenuTestWorld& world, const std::string& menu)
{
    static const MessageName kRequests[] = {MSG_OpenMenu,       MSG_OpenMenuEx,      MSG_CloseMenu,
                                            MSG_OpenMenuForced, MSG_CloseMenuForced, MSG_ToggleMenu,
                                            MSG_ResetMenu,      MSG_SetCustomData,   MSG_SendTextMessage};
    std::vector<MessageName> kinds;
    for (const gametest::MenuMessage& message : world.MessagesTo(menu))
        if (std::find(std::begin(kRequests), std::end(kRequests), message.name) != std::end(kRequests))
            kinds.push_back(message.name);
    return kinds;
}
} // namespace mainroad
