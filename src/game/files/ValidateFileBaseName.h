// The rule for the names players give their files (profiles, rooms) before the game adds ".xml":
// short, plain names a player can read back and every file system keeps as typed. It is stricter
// than IsSafeFileName, which guards every file name the game writes, typed at the console too.
// Callers add their own reserved names and the names already taken.
#pragma once

#include <cstddef>
#include <string>

namespace QUORB
{
// Characters, as many as the name boxes of the menus take.
constexpr std::size_t kMaxFileBaseNameLength = 16;

// Why a typed name cannot be a file's name.
enum class FileBaseNameFault
{
    None,         // the name may be used
    Empty,        // nothing typed
    TooLong,      // more than kMaxFileBaseNameLength characters
    BadCharacter, // a character other than a letter, a digit, ' ', '_' or '-', or a space at either end
};

// Accepts 1 to kMaxFileBaseNameLength ASCII letters, digits, spaces, '_' and '-', neither
// beginning nor ending with a space. Such a name holds no path character, no dot and nothing
// that could leave a folder, so name + ".xml" is always a safe file name.
FileBaseNameFault ValidateFileBaseName(const std::string& text);
} // namespace QUORB
