// The one check for every name that becomes a file name below one of the game's folders,
// whether it comes from a console line, a menu or a file: such a name can never leave its
// folder, name a hidden or special file, or carry characters the file system would mangle.
#pragma once

#include <string>
#include <vector>

namespace QUORB
{
constexpr std::size_t kMaxFileNameLength = 64; // bytes, the ".xml" included

// False for a name that is empty once a trailing ".xml" (any case) is stripped, longer than
// kMaxFileNameLength, holding '/', '\\', ':', '*', '?', '"', '<', '>', '|' or a control character,
// beginning with '.' or containing "..".
bool IsSafeFileName(const std::string& name);

// Whether two names are the same but for the case of their ASCII letters, as the file system
// matches names.
bool EqualsIgnoringCase(const std::string& a, const std::string& b);

// The kinds of file a name can be given to.
enum class FileKind
{
    Profile,
    Room,
    Puzzle,
};

// Names the game keeps for itself, compared ignoring case (the file system matches names so):
// the profile "Blank.xml" (every new profile's template), the room "EmptyRoom.xml", the rooms
// made by us while madeByUs is clear (so they can still be saved over on purpose), and the
// puzzles of those reserved rooms (a name beginning with the room's base + "_Puzzle_").
bool IsReservedFileName(FileKind kind, const std::string& name, const std::vector<std::string>& roomsMadeByUs,
                        bool madeByUs);
} // namespace QUORB
