// LuaUtil::RunScript on any script, in a fresh interpreter each time and under a small
// instruction budget: it returns, reports one failure at most, and leaves the stack as it was.
// The fuzzed scripts get no "io" (they must not write files outside the run's folder or read
// standard input) and a silent "print"; everything else is the game's interpreter.
// Bounded run: 4500 inputs
#include "FuzzSupport.h"

#include "common/LuaUtil.h"

#include <lua.hpp>

#include <string>

namespace
{
int s_reports = 0;

void CountReport(const std::string&, const std::string&)
{
    ++s_reports;
}

int Silent(lua_State*)
{
    return 0;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::Init();
    LuaUtil::SetReportHandler(&CountReport);
    LuaUtil::SetInstructionBudget(200000);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzsupport::InWorkFolder here;
    LuaUtil::ResetInstance();
    LuaUtil& lua = LuaUtil::Instance();
    lua_State* L = lua.GetState();
    lua_pushnil(L);
    lua_setglobal(L, "io");
    lua_pushcfunction(L, &Silent);
    lua_setglobal(L, "print");

    fuzzsupport::WriteFile("Script.lua", std::string(reinterpret_cast<const char*>(data), size));
    const int top = lua.GetStackTop();
    s_reports = 0;
    lua.RunScript("Script.lua");
    FUZZ_CHECK(s_reports <= 1, "a run reported " + std::to_string(s_reports) + " failures");
    FUZZ_CHECK(lua.GetStackTop() == top, "the stack changed");
    lua.GetDouble("XML_PATH");
    lua.GetString("XML_PATH");
    FUZZ_CHECK(lua.GetStackTop() == top, "reading globals changed the stack");
    return 0;
}
