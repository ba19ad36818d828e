// The game's small XML files (rooms, room environments, puzzles, profiles): the common frame (a
// declaration version "1.0" and one root "File" holding the record element), the string list
// writer, and the loaders and savers. A loader that cannot open or parse its file writes one
// line and leaves the record as it was; a saver writes atomically (plat::WriteFileAtomically)
// and returns whether the file was written. Paths come from the callers (ROOM_PATH and the
// others).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TiXmlNode;

namespace QUORB
{
class CPuzzle;
struct Profile;
struct RoomData;

// Appends <list name=listName size=N> holding one string element per item, named itemName.
// False, writing nothing, for a null or non-element parent.
bool WriteStringList(TiXmlNode* parent, const std::string& listName, const std::string& itemName,
                     const std::vector<std::string>& items);

// How many records a reader takes after a count element (the "NumEnvGobs" kind): the count
// itself up to kMaxStringListSize, with one line when fewer elements follow it; a larger count is
// malformed: one line, and no more than kMaxStringListSize of the elements present are read, so
// nothing is sized from it.
std::uint32_t CheckedRecordCount(const TiXmlNode* countNode, std::uint32_t count, const std::string& what);

bool LoadRoomDataFile(RoomData& record, const std::string& path);
bool SaveRoomDataFile(const RoomData& record, const std::string& path);
// Creates the environment's gobs and lists their ids (see RoomEnvironment::Read).
bool LoadEnvironmentFile(std::vector<std::uint32_t>& gobIDs, const std::string& path);
// Writes the listed gobs as an environment file.
bool SaveEnvironmentFile(const std::vector<std::uint32_t>& gobIDs, const std::string& path);
// Reads a puzzle file into the puzzle (CPuzzle::Read); a file that cannot be opened or parsed
// leaves the puzzle as it was.
bool LoadPuzzleFile(CPuzzle& puzzle, const std::string& path);
// Writes the puzzle's live objects as a puzzle file (CPuzzle::Write).
bool SavePuzzleFile(const CPuzzle& puzzle, const std::string& path);
bool LoadProfileFile(Profile& profile, const std::string& path);
bool SaveProfileFile(const Profile& profile, const std::string& path);

// The bytes the savers above write, for files saved as a group (plat::WriteFilesAtomically);
// false when the record does not write.
bool PuzzleFileBytes(const CPuzzle& puzzle, std::string& bytes);
bool RoomDataFileBytes(const RoomData& record, std::string& bytes);
bool ProfileFileBytes(const Profile& profile, std::string& bytes);
} // namespace QUORB
