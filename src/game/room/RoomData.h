// The room file's record: the room's name (left empty by the room's save, ignored on loading),
// its puzzle file names in face order, the scene light and two flags read into the record and
// not applied. Element "RoomData": string "Name", list "Puzzles" of string "PuzzleName",
// "Light", bool "EnableLightBloom", bool "EnableShadow", read back by position.
#pragma once

#include "platform/d3d9types.h"

#include <string>
#include <vector>

class TiXmlNode;

namespace QUORB
{
struct RoomData
{
    RoomData();

    // Appends the "RoomData" element; false, writing nothing, for a null or non-element parent.
    static bool Write(TiXmlNode* parent, const RoomData& record);
    // False, with one line, for a null element or one without children; fields past a missing
    // or bad child keep their values.
    static bool Read(const TiXmlNode* node, RoomData& record);

    std::string name;
    std::vector<std::string> puzzleNames;
    plat::D3DLIGHT9 light;
    bool enableLightBloom = false;
    bool enableShadow = false;
};
} // namespace QUORB
