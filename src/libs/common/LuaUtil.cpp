#include "common/LuaUtil.h"

#include "platform/files.h"
#include "platform/win32.h"

#include <lua.hpp>

#include <cstdio>

namespace
{
LuaUtil* s_instance = nullptr;

void DefaultReport(const std::string& title, const std::string& text)
{
    plat::OutputDebugStringA((title + ": " + text + "\n").c_str());
}

LuaUtil::ReportHandler s_report = &DefaultReport;

void Report(const std::string& title, const std::string& text)
{
    s_report(title, text);
}

// The message a failed load or call left on the top of the stack; Lua may leave a non-string.
std::string TopMessage(lua_State* L)
{
    size_t length = 0;
    const char* message = lua_isstring(L, -1) ? lua_tolstring(L, -1, &length) : nullptr;
    return message ? std::string(message, length) : std::string("(no message)");
}

// Restores the stack depth when a wrapper operation ends, whichever way it ends.
class StackGuard
{
public:
    explicit StackGuard(lua_State* L) : m_state(L), m_top(lua_gettop(L)) {}
    ~StackGuard() { lua_settop(m_state, m_top); }
    StackGuard(const StackGuard&) = delete;
    StackGuard& operator=(const StackGuard&) = delete;

private:
    lua_State* m_state;
    int m_top;
};
} // namespace

LuaUtil& LuaUtil::Instance()
{
    if (!s_instance)
        s_instance = new LuaUtil(); // lives until the process ends, as the interpreter does
    return *s_instance;
}

LuaUtil::ReportHandler LuaUtil::SetReportHandler(ReportHandler handler)
{
    ReportHandler previous = s_report;
    s_report = handler ? handler : &DefaultReport;
    return previous;
}

LuaUtil::LuaUtil() : m_state(luaL_newstate())
{
    // Lua 5.1's openers must run as Lua calls (io sets up its own environment), so each goes
    // through the stack. Base, io, string, math and table, in that order; no os or debug.
    const struct
    {
        lua_CFunction open;
        const char* name;
    } libraries[] = {{luaopen_base, ""},
                     {luaopen_io, LUA_IOLIBNAME},
                     {luaopen_string, LUA_STRLIBNAME},
                     {luaopen_math, LUA_MATHLIBNAME},
                     {luaopen_table, LUA_TABLIBNAME}};
    for (const auto& library : libraries)
    {
        lua_pushcfunction(m_state, library.open);
        lua_pushstring(m_state, library.name);
        lua_call(m_state, 1, 0);
    }
}

double LuaUtil::GetDouble(const char* name)
{
    if (!name)
    {
        Report("GetDouble", "Called Double Config on a lua variable that ISN'T a double!");
        return 0.0;
    }
    StackGuard guard(m_state);
    // A raw read: a script may give the globals an __index that raises errors for undeclared
    // names, and an error outside a protected call would end the program.
    lua_pushstring(m_state, name);
    lua_rawget(m_state, LUA_GLOBALSINDEX);
    if (!lua_isnumber(m_state, -1))
    {
        Report("GetDouble", "Called Double Config on a lua variable that ISN'T a double!");
        return 0.0;
    }
    return static_cast<double>(lua_tonumber(m_state, -1));
}

std::string LuaUtil::GetString(const char* name)
{
    if (!name)
    {
        Report("GetString", "Called String Config on a lua variable that ISN'T a string!");
        return std::string();
    }
    StackGuard guard(m_state);
    // A raw read: a script may give the globals an __index that raises errors for undeclared
    // names, and an error outside a protected call would end the program.
    lua_pushstring(m_state, name);
    lua_rawget(m_state, LUA_GLOBALSINDEX);
    if (!lua_isstring(m_state, -1))
    {
        Report("GetString", "Called String Config on a lua variable that ISN'T a string!");
        return std::string();
    }
    size_t length = 0;
    const char* text = lua_tolstring(m_state, -1, &length); // converts a number copy, not the global
    return std::string(text, length);
}

std::string LuaUtil::FindScript(const char* name)
{
    if (!name)
        return std::string();
    const std::string whole = name;
    const size_t slash = whole.find_last_of("/\\");
    const std::string directory = slash == std::string::npos ? std::string() : whole.substr(0, slash + 1);
    const std::string fileName = whole.substr(directory.size());
    const size_t dot = fileName.rfind('.');
    const std::string stem = dot == std::string::npos ? fileName : fileName.substr(0, dot);

    // The whole name, extension included, is what the first three candidates extend: the game
    // asks for "Startup.lua" and its compiled form would be "Startup.lua.LUB".
    const std::string candidates[] = {directory + "Scripts/" + whole + ".LUB",
                                      directory + "Scripts/" + whole + ".LUA", directory + whole + ".LUB",
                                      directory + stem + ".LUA"};
    for (const std::string& candidate : candidates)
    {
        if (!plat::FileExists(candidate))
            continue;
        if (std::FILE* file = plat::OpenFile(candidate, "r"))
        {
            std::fclose(file);
            return plat::ResolvePath(candidate);
        }
    }
    return plat::ResolvePath(whole);
}

bool LuaUtil::RunScript(const char* name)
{
    const std::string path = FindScript(name);
    // Failed loads and runs leave their message on the stack; the guard drops it after the
    // report, and a chunk's results too, so repeated runs never grow the stack.
    StackGuard guard(m_state);
    const int status = luaL_loadfile(m_state, path.c_str());
    if (status != 0)
    {
        Report("Run script failed", "Error Running Script: " + path + "\n Message: " + TopMessage(m_state));
        switch (status)
        {
        case LUA_ERRFILE:
            std::fputs("\nFile not found", stdout);
            break;
        case LUA_ERRSYNTAX:
            std::fputs("\nA syntax error was found while compiling the script\n", stdout);
            break;
        case LUA_ERRMEM:
            std::fputs("\nThe required memory could not be allocated\n", stdout);
            break;
        default:
            std::fputs("\nSome error occured!\n", stdout);
            break;
        }
        std::fflush(stdout);
        return false;
    }
    if (lua_pcall(m_state, 0, LUA_MULTRET, 0) != 0)
    {
        Report("Call Script Failed", "Lua Error - Script Run\nScript Name:" + path +
                                         "\nError Message:" + TopMessage(m_state) + "\n");
    }
    return true;
}

int LuaUtil::RegisterFunction(const std::string& name, lua_CFunction function)
{
    for (const RegisteredFunction& entry : m_functions)
    {
        if (entry.name == name)
            return entry.function == function ? AlreadyRegistered : NameTaken;
        if (entry.function == function)
            return FunctionRegistered;
    }
    lua_pushcclosure(m_state, function, 0);
    lua_setfield(m_state, LUA_GLOBALSINDEX, name.c_str());
    m_functions.push_back({name, function});
    return Registered;
}

int LuaUtil::ArgCount(lua_State* L)
{
    return L ? lua_gettop(L) : 0;
}

std::string LuaUtil::ArgString(lua_State* L, int index)
{
    if (!L || index < 1 || index > lua_gettop(L) || !lua_isstring(L, index))
        return std::string();
    // A number argument is turned into a string in its own slot, which the caller never reads back.
    size_t length = 0;
    const char* text = lua_tolstring(L, index, &length);
    return std::string(text, length);
}

double LuaUtil::ArgNumber(lua_State* L, int index)
{
    if (!L || index < 1 || index > lua_gettop(L) || !lua_isnumber(L, index))
        return 0.0;
    return static_cast<double>(lua_tonumber(L, index));
}

int LuaUtil::GetStackTop() const
{
    return lua_gettop(m_state);
}
