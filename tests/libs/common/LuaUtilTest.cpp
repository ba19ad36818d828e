#include "common/LuaUtil.h"

#include "TestSupport.h"

#include <gtest/gtest.h>
#include <lua.hpp>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace
{
struct LuaReport
{
    std::string title;
    std::string text;
};

std::vector<LuaReport>& Reports()
{
    static std::vector<LuaReport> reports;
    return reports;
}

void CaptureReport(const std::string& title, const std::string& text)
{
    Reports().push_back({title, text});
}

void WriteFile(const std::string& path, const std::string& content)
{
    std::filesystem::path p(path);
    if (p.has_parent_path())
        std::filesystem::create_directories(p.parent_path());
    std::ofstream(path) << content;
}

// Every test runs in a fresh folder with reports captured. The interpreter is the process's
// one instance, so globals set by earlier tests remain; each test uses its own names.
class LuaUtilTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Reports().clear();
        m_previous = LuaUtil::SetReportHandler(&CaptureReport);
    }
    void TearDown() override { LuaUtil::SetReportHandler(m_previous); }

    // Runs a script and returns what it wrote to standard output.
    static std::string RunCapturingStdout(const char* name, bool* result)
    {
        ::testing::internal::CaptureStdout();
        *result = LuaUtil::Instance().RunScript(name);
        return ::testing::internal::GetCapturedStdout();
    }

    testsupport::TempWorkDir m_dir;
    LuaUtil::ReportHandler m_previous = nullptr;
};

int AddOne(lua_State* L)
{
    (void)L;
    return 0;
}
int AddTwo(lua_State* L)
{
    (void)L;
    return 0;
}

std::string s_lastConsoleArg;
double s_lastConsoleNumber = 0.0;
int ConsoleStub(lua_State* L)
{
    s_lastConsoleArg = LuaUtil::ArgString(L, 1);
    s_lastConsoleNumber = LuaUtil::ArgNumber(L, 2);
    return 0;
}
} // namespace

TEST_F(LuaUtilTest, ScriptGlobalsOfEachTypeAreReadBack)
{
    WriteFile("Config.lua", "XML_PATH = \"data/xml/\"\n"
                            "NODE_BREAK_FORCE = 3.5\n"
                            "COUNT_TEXT = \"12\"\n"
                            "FLAG = true\n"
                            "LIST = { 1, 2 }\n"
                            "WORD = \"abc\"\n");
    LuaUtil& lua = LuaUtil::Instance();
    const int top = lua.GetStackTop();
    ASSERT_TRUE(lua.RunScript("Config.lua"));
    EXPECT_TRUE(Reports().empty());

    EXPECT_EQ("data/xml/", lua.GetString("XML_PATH"));
    EXPECT_DOUBLE_EQ(3.5, lua.GetDouble("NODE_BREAK_FORCE"));
    EXPECT_DOUBLE_EQ(12.0, lua.GetDouble("COUNT_TEXT"));      // numeric text converts
    EXPECT_EQ("3.5", lua.GetString("NODE_BREAK_FORCE"));      // Lua's own text for the number
    EXPECT_DOUBLE_EQ(3.5, lua.GetDouble("NODE_BREAK_FORCE")); // reading it as text left it a number
    EXPECT_TRUE(Reports().empty());

    const std::string notDouble = "Called Double Config on a lua variable that ISN'T a double!";
    const std::string notString = "Called String Config on a lua variable that ISN'T a string!";
    struct Case
    {
        const char* name;
        bool asDouble;
    };
    const Case wrong[] = {{"FLAG", true},
                          {"LIST", true},
                          {"WORD", true},
                          {"UNDEFINED_GLOBAL", true},
                          {"FLAG", false},
                          {"LIST", false},
                          {"UNDEFINED_GLOBAL", false}};
    for (const Case& c : wrong)
    {
        SCOPED_TRACE(c.name);
        Reports().clear();
        if (c.asDouble)
            EXPECT_EQ(0.0, lua.GetDouble(c.name));
        else
            EXPECT_EQ("", lua.GetString(c.name));
        ASSERT_EQ(1u, Reports().size());
        EXPECT_EQ(c.asDouble ? notDouble : notString, Reports()[0].text);
    }
    EXPECT_EQ(top, lua.GetStackTop());
}

TEST_F(LuaUtilTest, AStrictGlobalTableCannotEndTheProgram)
{
    // A "strict mode" script: reading an undeclared global raises an error.
    WriteFile("Strict.lua",
              "STRICT_DECLARED = 2\n"
              "setmetatable(_G, { __index = function(t, k) error(\"undeclared \" .. k) end })\n");
    WriteFile("Lenient.lua", "setmetatable(_G, nil)\n");
    LuaUtil& lua = LuaUtil::Instance();
    const int top = lua.GetStackTop();
    ASSERT_TRUE(lua.RunScript("Strict.lua"));
    EXPECT_DOUBLE_EQ(2.0, lua.GetDouble("STRICT_DECLARED"));
    EXPECT_EQ(0.0, lua.GetDouble("STRICT_UNDECLARED"));
    EXPECT_EQ("", lua.GetString("STRICT_UNDECLARED"));
    EXPECT_EQ(2u, Reports().size());
    EXPECT_EQ(top, lua.GetStackTop());
    ASSERT_TRUE(lua.RunScript("Lenient.lua"));
}

TEST_F(LuaUtilTest, RerunningAScriptReplacesItsGlobals)
{
    WriteFile("Again.lua", "AGAIN_VALUE = 1\n");
    ASSERT_TRUE(LuaUtil::Instance().RunScript("Again.lua"));
    WriteFile("Again.lua", "AGAIN_VALUE = 2\n");
    ASSERT_TRUE(LuaUtil::Instance().RunScript("Again.lua"));
    EXPECT_DOUBLE_EQ(2.0, LuaUtil::Instance().GetDouble("AGAIN_VALUE"));
}

TEST_F(LuaUtilTest, OnlyTheFiveLibrariesAreOpen)
{
    WriteFile("Libs.lua", "HAS_IO = io ~= nil and io.open ~= nil\n"
                          "HAS_STRING = string.upper('a')\n"
                          "HAS_MATH = math.floor(2.5)\n"
                          "HAS_TABLE = table.concat({'x','y'})\n"
                          "HAS_OS = os ~= nil\n"
                          "HAS_DEBUG = debug ~= nil\n");
    LuaUtil& lua = LuaUtil::Instance();
    ASSERT_TRUE(lua.RunScript("Libs.lua"));
    EXPECT_TRUE(Reports().empty());
    EXPECT_EQ("A", lua.GetString("HAS_STRING"));
    EXPECT_DOUBLE_EQ(2.0, lua.GetDouble("HAS_MATH"));
    EXPECT_EQ("xy", lua.GetString("HAS_TABLE"));
    WriteFile("Flags.lua",
              "N_IO = HAS_IO and 1 or 0\nN_OS = HAS_OS and 1 or 0\nN_DEBUG = HAS_DEBUG and 1 or 0\n");
    ASSERT_TRUE(lua.RunScript("Flags.lua"));
    EXPECT_DOUBLE_EQ(1.0, lua.GetDouble("N_IO"));
    EXPECT_DOUBLE_EQ(0.0, lua.GetDouble("N_OS"));
    EXPECT_DOUBLE_EQ(0.0, lua.GetDouble("N_DEBUG"));
}

TEST_F(LuaUtilTest, FindScriptCandidateOrder)
{
    LuaUtil& lua = LuaUtil::Instance();
    // Nothing exists: the name itself.
    EXPECT_EQ("Startup.lua", lua.FindScript("Startup.lua"));

    // Each step adds a better candidate; the best existing one wins.
    WriteFile("Startup.lua", "");
    EXPECT_EQ("Startup.lua", lua.FindScript("Startup.lua")); // 4th: stem + ".LUA", found ignoring case
    WriteFile("Startup.lua.LUB", "");
    EXPECT_EQ("Startup.lua.LUB", lua.FindScript("Startup.lua"));
    WriteFile("scripts/startup.lua.lua", "");
    EXPECT_EQ("scripts/startup.lua.lua", lua.FindScript("Startup.lua"));
    WriteFile("scripts/Startup.lua.LUB", "");
    EXPECT_EQ("scripts/Startup.lua.LUB", lua.FindScript("Startup.lua"));

    // A name with a folder: its stem beside it, with either separator.
    WriteFile("sub/Init.LUA", "");
    EXPECT_EQ("sub/Init.LUA", lua.FindScript("sub\\Init"));
    WriteFile("other/Tool.LUA", "");
    EXPECT_EQ("other/Tool.LUA", lua.FindScript("other/Tool.txt"));
}

TEST_F(LuaUtilTest, ScriptFoundIgnoringCaseRuns)
{
    WriteFile("scripts/initgame.lua.lua", "CASE_FOUND = 'yes'\n");
    ASSERT_TRUE(LuaUtil::Instance().RunScript("InitGame.lua"));
    EXPECT_EQ("yes", LuaUtil::Instance().GetString("CASE_FOUND"));
}

TEST_F(LuaUtilTest, MissingScriptFailsWithFileNotFound)
{
    bool result = true;
    const std::string out = RunCapturingStdout("Nowhere.lua", &result);
    EXPECT_FALSE(result);
    EXPECT_EQ("\nFile not found", out);
    ASSERT_EQ(1u, Reports().size());
    EXPECT_EQ("Run script failed", Reports()[0].title);
    EXPECT_EQ(0u, Reports()[0].text.find("Error Running Script: Nowhere.lua\n Message: "));
}

// A script name that leads to a FIFO or a device is refused at once, by the game's loader and
// by the ones scripts call; the alarm ends the program should one of them wait or read for ever.
TEST_F(LuaUtilTest, ScriptsThatAreNoRegularFilesAreRefusedWithoutWaiting)
{
    ASSERT_EQ(::mkfifo("Pipe.lua", 0600), 0);
    std::filesystem::create_symlink("/dev/zero", "Zero.lua");
    ::alarm(20);
    for (const char* name : {"Pipe.lua", "Zero.lua"})
    {
        SCOPED_TRACE(name);
        Reports().clear();
        bool result = true;
        const std::string out = RunCapturingStdout(name, &result);
        EXPECT_FALSE(result);
        EXPECT_EQ("\nFile not found", out);
        ASSERT_EQ(1u, Reports().size());
        EXPECT_NE(Reports()[0].text.find(std::string(name) + ": it is a "), std::string::npos)
            << Reports()[0].text;
    }
    WriteFile("Loaders.lua", "local f, e = loadfile('Pipe.lua')\n"
                             "local ok, d = pcall(dofile, 'Zero.lua')\n"
                             "LOADERS_REFUSED = (f == nil and not ok) and e .. '|' .. d\n");
    ASSERT_TRUE(LuaUtil::Instance().RunScript("Loaders.lua"));
    ::alarm(0);
    EXPECT_EQ("Pipe.lua: it is a FIFO, not a regular file|Zero.lua: it is a device, not a regular file",
              LuaUtil::Instance().GetString("LOADERS_REFUSED"));
}

TEST_F(LuaUtilTest, SyntaxErrorFailsTheLoad)
{
    WriteFile("Broken.lua", "x = = 1\n");
    bool result = true;
    const std::string out = RunCapturingStdout("Broken.lua", &result);
    EXPECT_FALSE(result);
    EXPECT_EQ("\nA syntax error was found while compiling the script\n", out);
    ASSERT_EQ(1u, Reports().size());
    EXPECT_EQ("Run script failed", Reports()[0].title);
    EXPECT_EQ(0u, Reports()[0].text.find("Error Running Script: Broken.lua\n Message: "));
    EXPECT_NE(std::string::npos, Reports()[0].text.find("Broken.lua:1:"));
}

TEST_F(LuaUtilTest, RuntimeErrorIsReportedAndStillCountsAsRun)
{
    WriteFile("Raise.lua", "BEFORE_ERROR = 7\nerror('boom')\nAFTER_ERROR = 8\n");
    bool result = false;
    const std::string out = RunCapturingStdout("Raise.lua", &result);
    EXPECT_TRUE(result);
    EXPECT_EQ("", out);
    ASSERT_EQ(1u, Reports().size());
    EXPECT_EQ("Call Script Failed", Reports()[0].title);
    EXPECT_EQ("Lua Error - Script Run\nScript Name:Raise.lua\nError Message:Raise.lua:2: boom\n",
              Reports()[0].text);
    EXPECT_DOUBLE_EQ(7.0, LuaUtil::Instance().GetDouble("BEFORE_ERROR"));
    Reports().clear();
    EXPECT_EQ(0.0, LuaUtil::Instance().GetDouble("AFTER_ERROR"));
}

TEST_F(LuaUtilTest, AHundredFailuresLeaveTheStackAsItWas)
{
    WriteFile("Bad.lua", "x = = 1\n");
    WriteFile("Raise.lua", "error('again')\n");
    WriteFile("Returns.lua", "return 1, 2, 3\n");
    LuaUtil& lua = LuaUtil::Instance();
    const int top = lua.GetStackTop();
    ::testing::internal::CaptureStdout();
    for (int i = 0; i < 100; ++i)
    {
        lua.RunScript("Missing.lua");
        lua.RunScript("Bad.lua");
        lua.RunScript("Raise.lua");
        lua.RunScript("Returns.lua");
        lua.GetDouble("NoSuchGlobal");
        lua.GetString("NoSuchGlobal");
    }
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(top, lua.GetStackTop());
    EXPECT_EQ(500u, Reports().size()); // every failure reported, the returning script silent
}

TEST_F(LuaUtilTest, RegistrationResults)
{
    LuaUtil& lua = LuaUtil::Instance();
    const int top = lua.GetStackTop();
    EXPECT_EQ(LuaUtil::Registered, lua.RegisterFunction("RegOne", &AddOne));
    EXPECT_EQ(LuaUtil::AlreadyRegistered, lua.RegisterFunction("RegOne", &AddOne));
    EXPECT_EQ(LuaUtil::NameTaken, lua.RegisterFunction("RegOne", &AddTwo));
    EXPECT_EQ(LuaUtil::FunctionRegistered, lua.RegisterFunction("RegOther", &AddOne));
    EXPECT_EQ(top, lua.GetStackTop());

    // Only the first registration changed a global.
    WriteFile("Types.lua", "T_ONE = type(RegOne)\nT_OTHER = type(RegOther)\n");
    ASSERT_TRUE(lua.RunScript("Types.lua"));
    EXPECT_EQ("function", lua.GetString("T_ONE"));
    EXPECT_EQ("nil", lua.GetString("T_OTHER"));
}

TEST_F(LuaUtilTest, RegisteredFunctionReceivesItsArguments)
{
    LuaUtil& lua = LuaUtil::Instance();
    EXPECT_EQ(LuaUtil::Registered, lua.RegisterFunction("ConsoleStub", &ConsoleStub));
    WriteFile("Call.lua", "ConsoleStub('play', '2.5')\n");
    ASSERT_TRUE(lua.RunScript("Call.lua"));
    EXPECT_TRUE(Reports().empty());
    EXPECT_EQ("play", s_lastConsoleArg);
    EXPECT_DOUBLE_EQ(2.5, s_lastConsoleNumber);

    WriteFile("Call2.lua", "ConsoleStub({})\n");
    ASSERT_TRUE(lua.RunScript("Call2.lua"));
    EXPECT_EQ("", s_lastConsoleArg);
    EXPECT_EQ(0.0, s_lastConsoleNumber);
}

// Scripts that never end are stopped by the instruction budget and reported as run-time errors;
// a pcall inside the script, even one reached from an __index on the globals, cannot catch the
// stop and carry on.
namespace
{
int RunInner(lua_State*)
{
    LuaUtil::Instance().RunScript("Inner.lua");
    return 0;
}
} // namespace

TEST_F(LuaUtilTest, EndlessScriptsAreStoppedByTheBudget)
{
    const long long previous = LuaUtil::SetInstructionBudget(2000000);
    const struct
    {
        const char* name;
        const char* script;
    } cases[] = {
        {"Loop.lua", "BUDGET_BEFORE = 1\nwhile true do end\nBUDGET_AFTER = 1\n"},
        {"Pcall.lua", "while true do pcall(function() while true do end end) end\n"},
        {"Index.lua", "setmetatable(_G, {__index = function(t, k)\n"
                      "  for i = 1, 100 do pcall(function() while true do end end) end\n"
                      "  return 0 end})\n"
                      "while true do local x = NOT_THERE end\n"},
        {"Xpcall.lua",
         "while true do xpcall(function() while true do end end, function() while true do end end) "
         "end\n"},
        {"Coroutine.lua", "local c = coroutine.wrap(function() while true do end end)\n"
                          "while true do pcall(c) end\n"},
        // A script run from inside a script leaves the outer one under the budget.
        {"Nested.lua", "RunInner()\nwhile true do end\n"},
    };
    WriteFile("Inner.lua", "INNER_RAN = 1\n");
    LuaUtil::Instance().RegisterFunction("RunInner", &RunInner);
    LuaUtil& lua = LuaUtil::Instance();
    const int top = lua.GetStackTop();
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        WriteFile(c.name, c.script);
        Reports().clear();
        bool result = false;
        const std::string out = RunCapturingStdout(c.name, &result);
        EXPECT_TRUE(result);
        EXPECT_EQ("", out);
        ASSERT_EQ(1u, Reports().size());
        EXPECT_EQ("Call Script Failed", Reports()[0].title);
        EXPECT_EQ(std::string("Lua Error - Script Run\nScript Name:") + c.name +
                      "\nError Message:did not finish: more than 2000000 instructions\n",
                  Reports()[0].text);
        EXPECT_EQ(top, lua.GetStackTop());
    }
    lua_State* L = lua.GetState();
    lua_getglobal(L, "setmetatable");
    lua_pushvalue(L, LUA_GLOBALSINDEX);
    lua_pushnil(L);
    lua_call(L, 2, 0);
    EXPECT_DOUBLE_EQ(1.0, lua.GetDouble("BUDGET_BEFORE"));
    EXPECT_DOUBLE_EQ(1.0, lua.GetDouble("INNER_RAN"));

    // The budget is per run: the next script starts with all of it.
    WriteFile("Short.lua", "local n = 0 for i = 1, 100000 do n = n + i end BUDGET_SUM = n\n");
    Reports().clear();
    EXPECT_TRUE(lua.RunScript("Short.lua"));
    EXPECT_TRUE(Reports().empty());
    EXPECT_DOUBLE_EQ(5000050000.0, lua.GetDouble("BUDGET_SUM"));
    LuaUtil::SetInstructionBudget(previous);
}

TEST_F(LuaUtilTest, PrecompiledChunksAreRefused)
{
    LuaUtil& lua = LuaUtil::Instance();
    const int top = lua.GetStackTop();
    WriteFile("Compiled.lua", std::string("\x1bLua\x51") + std::string(20, '\0'));
    WriteFile("Hashed.lua", std::string("#!/usr/bin/lua\n\x1bLuaQ"));
    for (const char* name : {"Compiled.lua", "Hashed.lua"})
    {
        SCOPED_TRACE(name);
        Reports().clear();
        bool result = true;
        const std::string out = RunCapturingStdout(name, &result);
        EXPECT_FALSE(result);
        EXPECT_EQ("\nSome error occured!\n", out);
        ASSERT_EQ(1u, Reports().size());
        EXPECT_EQ("Run script failed", Reports()[0].title);
        EXPECT_EQ(std::string("Error Running Script: ") + name +
                      "\n Message: precompiled chunks are not loaded",
                  Reports()[0].text);
        EXPECT_EQ(top, lua.GetStackTop());
    }

    // Scripts cannot reach the bytecode loader either.
    WriteFile("Dumps.lua",
              "local f = function() return 1 end\n"
              "local a, ea = loadstring(string.dump(f))\n"
              "local i = 0\n"
              "local b, eb = load(function() i = i + 1 if i == 1 then return string.dump(f) end end)\n"
              "local c, ec = loadfile('Compiled.lua')\n"
              "local ok, ed = pcall(dofile, 'Compiled.lua')\n"
              "local s = loadstring('return 40 + 2')\n"
              "DUMP_REFUSED = (a == nil and b == nil and c == nil and not ok) and ea .. '|' .. eb .. "
              "'|' .. ec .. '|' .. ed\n"
              "DUMP_SOURCE = s()\n"
              "DUMP_NEWPROXY = newproxy == nil and 1 or 0\n");
    Reports().clear();
    ASSERT_TRUE(lua.RunScript("Dumps.lua"));
    EXPECT_TRUE(Reports().empty()) << (Reports().empty() ? "" : Reports()[0].text);
    EXPECT_EQ(
        "precompiled chunks are not loaded|precompiled chunks are not loaded|precompiled chunks are not "
        "loaded|Compiled.lua: precompiled chunks are not loaded",
        lua.GetString("DUMP_REFUSED"));
    EXPECT_DOUBLE_EQ(42.0, lua.GetDouble("DUMP_SOURCE"));
    EXPECT_DOUBLE_EQ(1.0, lua.GetDouble("DUMP_NEWPROXY"));
}

TEST_F(LuaUtilTest, MemoryIsLimitedAndTheInterpreterCanBeReset)
{
    WriteFile(
        "Greedy.lua",
        "RESET_MARK = 1\nlocal t = {} for i = 1, 8 do t[i] = string.rep('x', 64 * 1024 * 1024 + i) end\n");
    Reports().clear();
    EXPECT_TRUE(LuaUtil::Instance().RunScript("Greedy.lua"));
    ASSERT_EQ(1u, Reports().size());
    EXPECT_NE(std::string::npos, Reports()[0].text.find("not enough memory"));
    EXPECT_DOUBLE_EQ(1.0, LuaUtil::Instance().GetDouble("RESET_MARK"));

    LuaUtil::ResetInstance();
    Reports().clear();
    EXPECT_DOUBLE_EQ(0.0, LuaUtil::Instance().GetDouble("RESET_MARK"));
    EXPECT_EQ(1u, Reports().size());
}
