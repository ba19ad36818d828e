// The start-up scripts' globals as the game reads them: any script sets them (or not), then every
// folder and number global is read through StartupGlobals. Whatever the script did, a folder is
// a usable one ending in a separator (the shipped one when the script's was not), a number is
// finite and above 0, and a global that needed its shipped value is said in one line, once.
// Bounded run: 4000 inputs
#include "FuzzSupport.h"

#include "common/LuaUtil.h"
#include "game/app/StartupGlobals.h"
#include "platform/files.h"

#include <lua.hpp>

#include <cmath>
#include <filesystem>
#include <string>

using QUORB::StartupGlobals;

namespace
{
int Silent(lua_State*)
{
    return 0;
}

void Quiet(const std::string&, const std::string&) {}

const char* const kFolders[] = {"XML_PATH", "ROOM_PATH", "PUZZLE_PATH", "PROFILE_PATH", "SOUND_PATH"};
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::Init();
    LuaUtil::SetReportHandler(&Quiet);
    LuaUtil::SetInstructionBudget(200000);
    fuzzsupport::InWorkFolder here;
    std::filesystem::create_directories("files/xmlfiles");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzsupport::InWorkFolder here;
    LuaUtil::ResetInstance();
    StartupGlobals::ForgetReports();
    LuaUtil& lua = LuaUtil::Instance();
    lua_State* L = lua.GetState();
    lua_pushnil(L);
    lua_setglobal(L, "io");
    lua_pushcfunction(L, &Silent);
    lua_setglobal(L, "print");
    fuzzsupport::WriteFile("Startup.lua", std::string(reinterpret_cast<const char*>(data), size));
    lua.RunScript("Startup.lua");

    for (const char* name : kFolders)
    {
        const std::string folder = StartupGlobals::Folder(name);
        FUZZ_CHECK(!folder.empty() && (folder.back() == '/' || folder.back() == '\\'),
                   std::string(name) + " gave \"" + folder + "\"");
        FUZZ_CHECK(StartupGlobals::FolderFault(folder).empty(),
                   std::string(name) + " gave the unusable \"" + folder + "\"");
        FUZZ_CHECK(StartupGlobals::Folder(name) == folder, std::string(name) + " changed between two reads");
    }
    const std::string env = StartupGlobals::Folder("ENVFILE_PATH");
    FUZZ_CHECK(env == "/" || env.empty() || plat::IsConfinedName(env), "ENVFILE_PATH gave \"" + env + "\"");
    for (const char* name : {"NODE_BREAK_FORCE", "NODE_BREAK_DISTANCE"})
    {
        const double value = StartupGlobals::Number(name);
        FUZZ_CHECK(std::isfinite(value) && value > 0.0, std::string(name) + " gave " + std::to_string(value));
    }
    return 0;
}
