#include "common/LuaUtil.h"

#include "platform/files.h"
#include "platform/log.h"

#include <lua.hpp>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

namespace
{
LuaUtil* s_instance = nullptr;

void DefaultReport(const std::string& title, const std::string& text)
{
    DORVO_LOG("LuaUtil: %s: %s", title.c_str(), text.c_str());
}

LuaUtil::ReportHandler s_report = &DefaultReport;

// An installed handler hears the title and the text; by default the log gets `line`, which
// also says where the failure was met and what happens instead.
void Report(const std::string& title, const std::string& text, const std::string& line)
{
    if (s_report == &DefaultReport)
        plat::WriteLogLine(line);
    else
        s_report(title, text);
}

// A global's name for the log, never long.
std::string GlobalName(const char* name)
{
    const std::string text = name ? name : "";
    return "global \"" + (text.size() <= 64 ? text : text.substr(0, 64) + "...") + "\"";
}

// The message a failed load or call left on the top of the stack; Lua may leave a non-string.
std::string TopMessage(lua_State* L)
{
    size_t length = 0;
    const char* message = lua_isstring(L, -1) ? lua_tolstring(L, -1, &length) : nullptr;
    return message ? std::string(message, length) : std::string("(no message)");
}

// Memory all Lua values may take together; a script asking for more gets Lua's memory error.
constexpr std::size_t kMemoryLimit = 256u * 1024u * 1024u;
// Instructions between two looks at the budget while a script runs.
constexpr int kHookInterval = 1000;

const char* const kPrecompiledRefused = "precompiled chunks are not loaded";

// The budget of the script that is running: instructions used, the limit, and whether it is
// spent. Once spent every further instruction fails, so no pcall inside the script can catch
// the error and carry on.
struct Budget
{
    long long used = 0;
    long long limit = 100000000;
    bool spent = false;
    int runs = 0; // RunScript calls under way, nested ones included
} s_budget;

void BudgetHook(lua_State* L, lua_Debug*)
{
    if (!s_budget.spent)
    {
        s_budget.used += kHookInterval;
        if (s_budget.used < s_budget.limit)
            return;
        s_budget.spent = true;
        lua_sethook(L, &BudgetHook, LUA_MASKCOUNT, 1);
    }
    luaL_error(L, "did not finish");
}

void* LimitedAlloc(void* user, void* block, size_t oldSize, size_t newSize)
{
    std::size_t& used = *static_cast<std::size_t*>(user);
    if (newSize == 0)
    {
        std::free(block);
        used -= oldSize;
        return nullptr;
    }
    // Only scripts are refused memory: Lua turns the refusal into its memory error inside the
    // script's protected call. Outside a run (reading a global) a refusal would be an error with
    // no protected call around it, which ends the program. Shrinking never fails.
    if (s_budget.runs > 0 && newSize > oldSize && used - oldSize + newSize > kMemoryLimit)
        return nullptr;
    void* grown = std::realloc(block, newSize);
    if (grown)
        used = used - oldSize + newSize;
    return grown;
}

int Panic(lua_State* L)
{
    const std::string message = TopMessage(L);
    Report("Lua panic", message, "LuaUtil: Lua panic: " + message + "; the program ends");
    return 0;
}

// Whether a script's text is a precompiled chunk, the way luaL_loadfile decides (a first line
// that starts with '#' is skipped). Lua 5.1's check of loaded bytecode is incomplete, so such
// chunks could read and write memory at will; scripts are loaded from source only.
bool IsPrecompiled(const std::string& text)
{
    std::size_t at = 0;
    if (!text.empty() && text[0] == '#')
    {
        at = text.find('\n');
        at = at == std::string::npos ? text.size() : at + 1;
    }
    return at < text.size() && text[at] == LUA_SIGNATURE[0];
}

// A script file read whole through the data-file reader, which opens regular files only and
// never waits: a FIFO or a device named as a script cannot stall the game, nor an endless one
// fill its memory. False with the reason (one line naming the file) otherwise.
bool ReadScriptFile(const char* name, std::string& text, std::string& why)
{
    if (!name)
    {
        why = "scripts cannot be read from standard input";
        return false;
    }
    return plat::ReadDataFile(name, plat::DataKind::Text, text, why);
}

// Loads a script's text as luaL_loadfile loads a file: a first line beginning with '#' is
// blanked (its line break kept, so the line numbers stay), and the chunk is named "@" + name
// so messages name the file. Returns Lua's load status, the function or the message on top.
int LoadScriptText(lua_State* L, const std::string& text, const char* name)
{
    const std::size_t start = !text.empty() && text[0] == '#' ? std::min(text.find('\n'), text.size()) : 0;
    const std::string chunkName = std::string("@") + name;
    return luaL_loadbuffer(L, text.data() + start, text.size() - start, chunkName.c_str());
}

// luaL_loadfile through the reader above; a precompiled chunk is refused (false in `allowed`).
int LoadScriptFile(lua_State* L, const char* name, bool& allowed)
{
    allowed = true;
    std::string text, why;
    if (!ReadScriptFile(name, text, why))
    {
        lua_pushstring(L, why.c_str());
        return LUA_ERRFILE;
    }
    if (IsPrecompiled(text))
    {
        allowed = false;
        lua_pushfstring(L, "%s: %s", name, kPrecompiledRefused);
        return LUA_ERRSYNTAX;
    }
    return LoadScriptText(L, text, name);
}

// Load results as the base library gives them: the function, or nil and the message.
int LoadResult(lua_State* L, int status)
{
    if (status == 0)
        return 1;
    lua_pushnil(L);
    lua_insert(L, -2);
    return 2;
}

int Refused(lua_State* L)
{
    lua_pushnil(L);
    lua_pushstring(L, kPrecompiledRefused);
    return 2;
}

// Stand-ins for the base library's loaders that refuse precompiled chunks.
int SafeLoadString(lua_State* L)
{
    size_t length = 0;
    const char* text = luaL_checklstring(L, 1, &length);
    const char* chunkName = luaL_optstring(L, 2, text);
    if (length > 0 && text[0] == LUA_SIGNATURE[0])
        return Refused(L);
    return LoadResult(L, luaL_loadbuffer(L, text, length, chunkName));
}

int SafeLoad(lua_State* L)
{
    const char* chunkName = luaL_optstring(L, 2, "=(load)");
    luaL_checktype(L, 1, LUA_TFUNCTION);
    lua_settop(L, 2);
    lua_newtable(L); // 3: the pieces
    for (int n = 1;; ++n)
    {
        lua_pushvalue(L, 1);
        lua_call(L, 0, 1);
        if (lua_isnil(L, -1) || (lua_isstring(L, -1) && lua_objlen(L, -1) == 0))
        {
            lua_pop(L, 1);
            break;
        }
        if (!lua_isstring(L, -1))
            return luaL_error(L, "reader function must return a string");
        lua_rawseti(L, 3, n);
    }
    luaL_Buffer buffer;
    luaL_buffinit(L, &buffer);
    for (int n = 1;; ++n)
    {
        lua_rawgeti(L, 3, n);
        if (lua_isnil(L, -1))
        {
            lua_pop(L, 1);
            break;
        }
        luaL_addvalue(&buffer);
    }
    luaL_pushresult(&buffer);
    size_t length = 0;
    const char* text = lua_tolstring(L, -1, &length);
    if (length > 0 && text[0] == LUA_SIGNATURE[0])
        return Refused(L);
    return LoadResult(L, luaL_loadbuffer(L, text, length, chunkName));
}

// xpcall that runs its handler after the failed call has unwound, as an ordinary call. Lua runs
// a real error handler with hooks off, where no budget could end an endless handler; scripts
// have no debug library, so a handler could not look at the failed call's stack anyway.
int SafeXpcall(lua_State* L)
{
    luaL_checkany(L, 2);
    lua_settop(L, 2);
    lua_pushvalue(L, 1);
    if (lua_pcall(L, 0, LUA_MULTRET, 0) == 0)
    {
        lua_pushboolean(L, 1);
        lua_replace(L, 1); // true, the handler's slot now unused, the results
        lua_remove(L, 2);
        return lua_gettop(L);
    }
    // 3: the error; call the handler with it.
    lua_pushvalue(L, 2);
    lua_insert(L, 3);
    if (lua_pcall(L, 1, 1, 0) != 0)
    {
        lua_pop(L, 1);
        lua_pushstring(L, "error in error handling");
    }
    lua_pushboolean(L, 0);
    lua_insert(L, -2);
    return 2;
}

int SafeLoadFile(lua_State* L)
{
    const char* name = luaL_optstring(L, 1, nullptr);
    if (!name)
    {
        lua_pushnil(L);
        lua_pushstring(L, "scripts cannot be read from standard input");
        return 2;
    }
    bool allowed = true;
    const int status = LoadScriptFile(L, name, allowed);
    if (!allowed)
    {
        lua_pop(L, 1);
        return Refused(L);
    }
    return LoadResult(L, status);
}

int SafeDoFile(lua_State* L)
{
    const char* name = luaL_checkstring(L, 1);
    const int top = lua_gettop(L);
    bool allowed = true;
    if (LoadScriptFile(L, name, allowed) != 0)
        return lua_error(L);
    lua_call(L, 0, LUA_MULTRET);
    return lua_gettop(L) - top;
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

void LuaUtil::ResetInstance()
{
    delete s_instance;
    s_instance = nullptr;
}

LuaUtil::~LuaUtil()
{
    lua_close(m_state);
}

long long LuaUtil::SetInstructionBudget(long long instructions)
{
    const long long previous = s_budget.limit;
    s_budget.limit = instructions > 0 ? instructions : 1;
    return previous;
}

LuaUtil::ReportHandler LuaUtil::SetReportHandler(ReportHandler handler)
{
    ReportHandler previous = s_report;
    s_report = handler ? handler : &DefaultReport;
    return previous;
}

LuaUtil::LuaUtil() : m_state(nullptr)
{
    m_state = lua_newstate(&LimitedAlloc, &m_memoryUsed);
    lua_atpanic(m_state, &Panic);
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
    // Loaders that refuse precompiled chunks replace the base library's, and an xpcall whose
    // handler runs under the budget. "newproxy" goes: the collector runs its finalisers with hooks
    // off, where no budget could end an endless loop.
    const struct
    {
        const char* name;
        lua_CFunction function;
    } loaders[] = {{"loadstring", SafeLoadString}, {"load", SafeLoad},     {"loadfile", SafeLoadFile},
                   {"dofile", SafeDoFile},         {"xpcall", SafeXpcall}, {"newproxy", nullptr}};
    for (const auto& loader : loaders)
    {
        if (loader.function)
            lua_pushcfunction(m_state, loader.function);
        else
            lua_pushnil(m_state);
        lua_setfield(m_state, LUA_GLOBALSINDEX, loader.name);
    }
}

double LuaUtil::GetDouble(const char* name)
{
    const char* const notDouble = "Called Double Config on a lua variable that ISN'T a double!";
    const auto line = [name, notDouble]
    { return "LuaUtil::GetDouble: " + GlobalName(name) + ": " + notDouble + "; 0 is used"; };
    if (!name)
    {
        Report("GetDouble", notDouble, line());
        return 0.0;
    }
    StackGuard guard(m_state);
    // A raw read: a script may give the globals an __index that raises errors for undeclared
    // names, and an error outside a protected call would end the program.
    lua_pushstring(m_state, name);
    lua_rawget(m_state, LUA_GLOBALSINDEX);
    if (!lua_isnumber(m_state, -1))
    {
        Report("GetDouble", notDouble, line());
        return 0.0;
    }
    return static_cast<double>(lua_tonumber(m_state, -1));
}

std::string LuaUtil::GetString(const char* name)
{
    const char* const notString = "Called String Config on a lua variable that ISN'T a string!";
    const auto line = [name, notString]
    { return "LuaUtil::GetString: " + GlobalName(name) + ": " + notString + "; \"\" is used"; };
    if (!name)
    {
        Report("GetString", notString, line());
        return std::string();
    }
    StackGuard guard(m_state);
    // A raw read: a script may give the globals an __index that raises errors for undeclared
    // names, and an error outside a protected call would end the program.
    lua_pushstring(m_state, name);
    lua_rawget(m_state, LUA_GLOBALSINDEX);
    if (!lua_isstring(m_state, -1))
    {
        Report("GetString", notString, line());
        return std::string();
    }
    size_t length = 0;
    const char* text = lua_tolstring(m_state, -1, &length); // converts a number copy, not the global
    return std::string(text, length);
}

std::string LuaUtil::GetTypeName(const char* name)
{
    if (!name)
        return "nil";
    StackGuard guard(m_state);
    lua_pushstring(m_state, name);
    lua_rawget(m_state, LUA_GLOBALSINDEX);
    return lua_typename(m_state, lua_type(m_state, -1));
}

bool LuaUtil::TryGetDouble(const char* name, double& value)
{
    if (!name)
        return false;
    StackGuard guard(m_state);
    lua_pushstring(m_state, name);
    lua_rawget(m_state, LUA_GLOBALSINDEX);
    if (!lua_isnumber(m_state, -1))
        return false;
    value = static_cast<double>(lua_tonumber(m_state, -1));
    return true;
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
    bool allowed = true;
    const int status = LoadScriptFile(m_state, path.c_str(), allowed);
    if (!allowed)
    {
        const std::string text = "Error Running Script: " + path + "\n Message: " + kPrecompiledRefused;
        Report("Run script failed", text,
               "LuaUtil::RunScript: " + path + ": " + text + "; the script is not run");
        std::fputs("\nSome error occured!\n", stdout);
        std::fflush(stdout);
        return false;
    }
    if (status != 0)
    {
        const std::string text = "Error Running Script: " + path + "\n Message: " + TopMessage(m_state);
        Report("Run script failed", text,
               "LuaUtil::RunScript: " + path + ": " + text + "; the script is not run");
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
    // Under the instruction budget: a script that never ends is stopped and reported like any
    // other run-time error. A script run from inside another (a C function a script calls may
    // run one) shares the outer run's budget.
    const bool outermost = s_budget.runs == 0;
    if (outermost)
    {
        s_budget.used = 0;
        s_budget.spent = false;
        lua_sethook(m_state, &BudgetHook, LUA_MASKCOUNT, kHookInterval);
    }
    ++s_budget.runs;
    const int result = lua_pcall(m_state, 0, LUA_MULTRET, 0);
    --s_budget.runs;
    if (outermost)
        lua_sethook(m_state, nullptr, 0, 0);
    if (result != 0)
    {
        const std::string message =
            s_budget.spent ? "did not finish: more than " + std::to_string(s_budget.limit) + " instructions"
                           : TopMessage(m_state);
        const std::string text = "Lua Error - Script Run\nScript Name:" + path + "\nError Message:" + message;
        Report("Call Script Failed", text + "\n",
               "LuaUtil::RunScript: " + path + ": " + text + "; the script stops there");
    }
    if (outermost)
        s_budget.spent = false;
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
