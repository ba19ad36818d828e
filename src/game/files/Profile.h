// A player's profile: its name (the profile's file name, not stored in the file) and the room
// files the player has unlocked, in order. Element "Profile": uint "NumUnlockedRooms", then
// that many string "RoomFileName".
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class TiXmlNode;

namespace QUORB
{
struct Profile
{
    // Rooms a profile may unlock: far more than the game has, few enough that a damaged file
    // cannot make one of tens of thousands.
    static constexpr std::size_t kMaxUnlockedRooms = 1024;

    // Appends the "Profile" element; false, writing nothing, for a null or non-element parent.
    static bool Write(TiXmlNode* parent, const Profile& profile);
    // Empties the list and reads the count and the names. False, with one line, for a null
    // element or one without children. Every name present is read whatever the count says: a
    // count that is missing, no number, or other than the names present is one line. A name that
    // is no safe file name is left out (one line), and past kMaxUnlockedRooms names the rest are
    // left out (one line); either marks the profile partlyRead.
    static bool Read(const TiXmlNode* node, Profile& profile);

    std::string name;
    std::vector<std::string> unlockedRooms;
    // Its file held rooms that were left out, or could not be read at all: saving this profile
    // over it would lose them, so the game leaves that file as it is.
    bool partlyRead = false;
};
} // namespace QUORB
