// The configuration the start-up scripts give as Lua globals ("Startup.lua": the folders the game
// reads and writes, the nodes' break rules), read back through here. The scripts are data a
// player may have damaged: a global that is missing, of another type or unusable takes its
// shipped value (that of data/scripts/Startup.lua), said in one line the first time it is met
// with that value, so the game still starts playable. A script that sets a global again
// ("rls") is honoured from the next read on.
#pragma once

#include <cstddef>
#include <string>

namespace QUORB
{
class StartupGlobals
{
public:
    // Longest folder a global or the engine configuration may name, in bytes.
    static constexpr std::size_t kMaxFolderLength = 260;
    // The repository's data folder as the run folder (four levels below the repository) sees it:
    // besides the run folder the one other place the shipped configuration reads from.
    static const char* const kDataFolder; // "../../../../data/"

    // A folder global: "XML_PATH", "ROOM_PATH", "PUZZLE_PATH", "PROFILE_PATH", "SOUND_PATH" (each
    // a usable folder, see FolderFault; an XML_PATH that does not exist gives way to the shipped
    // one where that exists, while the player's folders are made when missing) and
    // "ENVFILE_PATH" (a folder below ROOM_PATH that never leaves it). The result ends in a
    // separator: one is added to a folder given without.
    static std::string Folder(const char* name);
    // A number global: "NODE_BREAK_FORCE", "NODE_BREAK_DISTANCE" (finite and above 0; a numeric
    // string counts, as LuaUtil::GetDouble reads it).
    static double Number(const char* name);

    // The shipped values ("" and 0 for other names).
    static std::string ShippedFolder(const char* name);
    static double ShippedNumber(const char* name);

    // Why a folder named by data may not be used, "" when it may: empty, longer than
    // kMaxFolderLength, holding a control character, or outside both the run folder and
    // kDataFolder (an absolute path inside them is fine). Whether it exists is not looked at.
    static std::string FolderFault(const std::string& folder);
    // FolderFault, and for a usable folder that does not exist while `fallback` does, "is no
    // folder": a damaged name gives way to the shipped one, but where neither exists (a test's
    // own layout) the name given is kept.
    static std::string MissingFolderFault(const std::string& folder, const std::string& fallback);

    // Forgets which faults were said, so the next start-up says them again.
    static void ForgetReports();
};
} // namespace QUORB
