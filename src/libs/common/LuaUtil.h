// The program's one Lua interpreter. Start-up scripts set configuration globals (paths, node
// break limits) that the game reads back here; the game registers the C functions scripts may
// call. The interpreter lives until the process ends. Nothing here throws: a wrong global type
// gives 0 or "", a script that cannot be loaded gives false, a script that fails while running
// is reported and still counts as run.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct lua_State;
typedef int (*lua_CFunction)(lua_State* L);

class LuaUtil
{
public:
    // Results of RegisterFunction; only Registered changes anything.
    enum RegisterResult
    {
        Registered = 0,
        AlreadyRegistered = 1, // this name with this same function
        NameTaken = 2,         // this name with another function
        FunctionRegistered = 3 // this function under another name
    };

    // Where failure reports go: a title ("Run script failed", "Call Script Failed", ...) and the
    // text. The default writes one line to the log; nullptr restores it.
    using ReportHandler = void (*)(const std::string& title, const std::string& text);

    static LuaUtil& Instance();
    static LuaUtil& GetInstance() { return Instance(); }
    // Closes the interpreter; the next Instance() opens a fresh one. Only tests use it, so that
    // one script cannot change what the next one sees.
    static void ResetInstance();

    // Lua instructions a script run by RunScript may take before it is stopped as one that does
    // not finish (100 million unless set). Returns the previous budget.
    static long long SetInstructionBudget(long long instructions);

    static ReportHandler SetReportHandler(ReportHandler handler);

    // The global of that name as a number (a numeric string counts); 0.0 and a report otherwise.
    double GetDouble(const char* name);
    // The global of that name as text (a number is converted by Lua); "" and a report otherwise.
    std::string GetString(const char* name);
    // Quiet forms for readers that choose their own fallback: the global's Lua type name ("nil"
    // when it is not set, "number", "string", "table", ...), and the global as a number when it
    // is one or a numeric string (false, `value` unchanged, otherwise). Neither reports.
    std::string GetTypeName(const char* name);
    bool TryGetDouble(const char* name, double& value);

    // The script file to run for a name: "Scripts/" + name + ".LUB" or ".LUA" beside the name's
    // folder, then name + ".LUB", then the name with ".LUA" in place of its extension; each
    // matched ignoring case. When none exists the name itself.
    std::string FindScript(const char* name);
    // Loads and runs a script; false only when it cannot be loaded (missing, syntax error,
    // precompiled). The run is under the instruction budget and a memory limit.
    bool RunScript(const char* name);

    int RegisterFunction(const std::string& name, lua_CFunction function);

    // For C functions registered here, so their owners need no Lua header: the number of
    // arguments, and argument `index` (from 1) as text ("" when it is not a string or number)
    // or as a number (0 when it is not one).
    static int ArgCount(lua_State* L);
    static std::string ArgString(lua_State* L, int index);
    static double ArgNumber(lua_State* L, int index);

    lua_State* GetState() const { return m_state; }
    // Depth of the interpreter's value stack; every operation here leaves it as it found it.
    int GetStackTop() const;

private:
    struct RegisteredFunction
    {
        std::string name;
        lua_CFunction function;
    };

    LuaUtil();
    ~LuaUtil();
    LuaUtil(const LuaUtil&) = delete;
    LuaUtil& operator=(const LuaUtil&) = delete;

    std::size_t m_memoryUsed = 0; // bytes the interpreter holds; declared before the state
    lua_State* m_state;
    std::vector<RegisteredFunction> m_functions; // in registration order
};
