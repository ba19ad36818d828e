// The room environment file: the fixed scene objects every room is built with. It has no record
// of its own; it is read straight into the room's list of environment gob ids. Element
// "RoomEnvironment": uint "NumEnvGobs", then that many "GobDescription" elements with the role
// "EnvDescription".
#pragma once

#include <cstdint>
#include <vector>

class TiXmlNode;

namespace QUORB
{
class RoomEnvironment
{
public:
    // Reads the count and creates one gob per description, storing the ids in order. Up to
    // kMaxStringListSize the list is exactly count long: a slot whose description is missing or
    // whose archetype builds nothing keeps id 0 (one line each). A larger count is malformed
    // (one line) and only the descriptions present are read. False, with one line, for a null
    // element or one without children.
    static bool Read(std::vector<std::uint32_t>& gobIDs, const TiXmlNode* node);
    // Appends the "RoomEnvironment" element describing the listed gobs (ids of no live gob are
    // left out). False, writing nothing, for a null or non-element parent.
    static bool Write(const std::vector<std::uint32_t>& gobIDs, TiXmlNode* parent);
};
} // namespace QUORB
