#include "game/app/StartupGlobals.h"

#include "common/LuaUtil.h"
#include "platform/files.h"
#include "platform/log.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace QUORB
{
const char* const StartupGlobals::kDataFolder = "../../../../data/";

namespace
{
// The values of data/scripts/Startup.lua.
struct ShippedFolderGlobal
{
    const char* name;
    const char* value;
    bool mustExist;
    bool belowRoomFolder;
};
const ShippedFolderGlobal kFolders[] = {
    {"XML_PATH", "files/xmlfiles/", true, false},
    {"ROOM_PATH", "files/rooms/", false, false},
    {"ENVFILE_PATH", "env/", false, true},
    {"PUZZLE_PATH", "files/puzzles/", false, false},
    {"PROFILE_PATH", "files/profiles/", false, false},
    {"SOUND_PATH", "../../../../data/sounds/", false, false},
};

struct ShippedNumberGlobal
{
    const char* name;
    double value;
};
const ShippedNumberGlobal kNumbers[] = {{"NODE_BREAK_FORCE", 400.0}, {"NODE_BREAK_DISTANCE", 1.5}};

// What was said already: the global's name and the value met, so a bad global costs one line
// however often it is read.
std::set<std::string>& Said()
{
    static std::set<std::string> said;
    return said;
}

void SayOnce(const char* where, const std::string& name, const std::string& value, const std::string& line)
{
    if (Said().insert(name + '\n' + value).second)
        DORVO_LOG("%s: Startup.lua: %s", where, line.c_str());
}

const ShippedFolderGlobal* FindFolder(const char* name)
{
    for (const ShippedFolderGlobal& entry : kFolders)
        if (name && std::strcmp(entry.name, name) == 0)
            return &entry;
    return nullptr;
}

const ShippedNumberGlobal* FindNumber(const char* name)
{
    for (const ShippedNumberGlobal& entry : kNumbers)
        if (name && std::strcmp(entry.name, name) == 0)
            return &entry;
    return nullptr;
}

// A value quoted for a line, cut short when long.
std::string Quoted(const std::string& text)
{
    constexpr std::size_t kShown = 64;
    return "\"" + (text.size() <= kShown ? text : text.substr(0, kShown) + "...") + "\"";
}

std::string WithSeparator(std::string folder)
{
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\')
        folder += '/';
    return folder;
}

// Whether `path` lies in `root` or below it, comparing the elements of the normal forms.
bool IsInside(const fs::path& path, const fs::path& root)
{
    const fs::path relative = path.lexically_relative(root);
    return !relative.empty() && *relative.begin() != "..";
}
} // namespace

std::string StartupGlobals::FolderFault(const std::string& folder)
{
    if (folder.empty())
        return "is empty";
    if (folder.size() > kMaxFolderLength)
        return "is " + std::to_string(folder.size()) + " characters long (at most " +
               std::to_string(kMaxFolderLength) + ")";
    for (const char c : folder)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return "holds a control character";
    std::error_code error;
    const fs::path runFolder = fs::current_path(error);
    if (error)
        return "cannot be checked: the run folder is unknown";
    std::string slashed = folder;
    for (char& c : slashed)
        if (c == '\\')
            c = '/';
    const fs::path given(slashed);
    const fs::path path = (given.is_absolute() ? given : runFolder / given).lexically_normal();
    const fs::path dataFolder = (runFolder / kDataFolder).lexically_normal();
    if (!IsInside(path, runFolder) && !IsInside(path, dataFolder))
        return "leaves the run folder and the data folder";
    return std::string();
}

std::string StartupGlobals::MissingFolderFault(const std::string& folder, const std::string& fallback)
{
    const std::string fault = FolderFault(folder);
    if (!fault.empty() || plat::DirectoryExists(folder) || !plat::DirectoryExists(fallback))
        return fault;
    return "is no folder";
}

std::string StartupGlobals::ShippedFolder(const char* name)
{
    const ShippedFolderGlobal* entry = FindFolder(name);
    return entry ? entry->value : "";
}

double StartupGlobals::ShippedNumber(const char* name)
{
    const ShippedNumberGlobal* entry = FindNumber(name);
    return entry ? entry->value : 0.0;
}

std::string StartupGlobals::Folder(const char* name)
{
    const ShippedFolderGlobal* entry = FindFolder(name);
    LuaUtil& lua = LuaUtil::Instance();
    if (!entry)
        return lua.GetString(name);
    const std::string type = lua.GetTypeName(name);
    std::string fault, value;
    if (type == "nil")
        fault = "is not set";
    else if (type != "string")
        fault = "is a " + type + ", not a folder";
    else
    {
        value = lua.GetString(name);
        if (entry->belowRoomFolder)
            fault = value.empty() || plat::IsConfinedName(value) ? std::string() : "leaves ROOM_PATH";
        else
            fault = entry->mustExist ? MissingFolderFault(value, entry->value) : FolderFault(value);
    }
    // The game reads its data from these folders: no picture or log is written into them.
    const std::string folder = fault.empty() ? WithSeparator(value) : entry->value;
    if (!entry->belowRoomFolder)
        plat::ProtectDataFolder(folder);
    if (fault.empty())
        return folder;
    SayOnce("StartupGlobals::Folder", name, type + ':' + value,
            std::string(name) + (value.empty() ? "" : " " + Quoted(value)) + " " + fault + "; the shipped " +
                Quoted(entry->value) + " is used");
    return entry->value;
}

double StartupGlobals::Number(const char* name)
{
    const ShippedNumberGlobal* entry = FindNumber(name);
    LuaUtil& lua = LuaUtil::Instance();
    if (!entry)
        return lua.GetDouble(name);
    double value = 0.0;
    std::string fault;
    const std::string type = lua.GetTypeName(name);
    if (type == "nil")
        fault = "is not set";
    else if (!lua.TryGetDouble(name, value))
        fault = "is a " + type + ", not a number";
    else if (!std::isfinite(value) || value <= 0.0)
        fault = "is " + std::to_string(value) + ", not a number above 0";
    if (fault.empty())
        return value;
    char shipped[32];
    std::snprintf(shipped, sizeof shipped, "%g", entry->value);
    SayOnce("StartupGlobals::Number", name, type + ':' + std::to_string(value),
            std::string(name) + " " + fault + "; the shipped " + shipped + " is used");
    return entry->value;
}

void StartupGlobals::ForgetReports()
{
    Said().clear();
}
} // namespace QUORB
