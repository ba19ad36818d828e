#include "common/ConsoleInterface.h"

#include "common/InputEvent.h"
#include "common/ParamStack.h"
#include "common/Scheduler.h"
#include "common/Utf8Text.h"
#include "common/loki/Functor.h"
#include "common/math/Vector3.h"

#include "TestSupport.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using common::ConsoleInterface;
using common::FF_Display;
using common::FF_Execute;
using dorvo::input::InputEvent;

namespace
{
// The commands the tests type. Each records what reached it.
struct Target
{
    int plays = 0;
    unsigned steps = 0;
    float scale = 0.0f;
    std::string text;
    int number = 0;
    float vector[3] = {0, 0, 0};
    bool flag = false;
    int calls = 0;
    int others = 0;

    void Play() { ++plays; }
    void Other() { ++others; }
    void Steps(unsigned value)
    {
        steps = value;
        ++calls;
    }
    void Scale(float value)
    {
        scale = value;
        ++calls;
    }
    void Take(std::string value, int n)
    {
        text = value;
        number = n;
        ++calls;
    }
    void Move(math::Vector3 v)
    {
        vector[0] = v.x;
        vector[1] = v.y;
        vector[2] = v.z;
        ++calls;
    }
    void Toggle(bool on)
    {
        flag = on;
        ++calls;
    }
    void Shot(std::string name)
    {
        text = name;
        ++calls;
    }
};

Target& TheTarget()
{
    static Target target;
    return target;
}

std::vector<std::string> Lines()
{
    const auto& lines = ConsoleInterface::Instance().GetOutputLines();
    return std::vector<std::string>(lines.begin(), lines.end());
}

std::vector<std::string> History()
{
    const auto& lines = ConsoleInterface::Instance().GetHistory();
    return std::vector<std::string>(lines.begin(), lines.end());
}

// What the object hook received.
struct ObjectCall
{
    std::string object;
    std::string function;
    std::uint64_t signature = 0;
    int firstInt = 0;
    int calls = 0;
};
ObjectCall s_objectCall;

bool FakeObjectHook(const std::string& object, const std::string& function, ParamStack& params, bool report)
{
    (void)report;
    if (object != "12" && object != "Quorb")
        return false; // no such object
    s_objectCall.object = object;
    s_objectCall.function = function;
    s_objectCall.signature = params.GetSignature();
    if (params.GetCount() == 1 && params.GetTag(0) == ParamStack::TAG_Int)
        params.Pop(s_objectCall.firstInt);
    ++s_objectCall.calls;
    return true;
}

// The console is the process's one instance: its log goes into a temporary folder, the commands
// are registered once, and every test starts with an empty output list and history.
class ConsoleInterfaceTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        // Made before the console and removed after it at exit, so "Log.xml" lands there.
        static testsupport::TempWorkDir logDir;
        static bool registered = false;
        if (registered)
            return;
        registered = true;
        ConsoleInterface& console = ConsoleInterface::Instance();
        console.RegisterConsoleCommands();
        common::Scheduler::Instance().RegisterConsoleCommands();
        Target* t = &TheTarget();
        console.RegisterCommand("play", Loki::NewFunctor(t, &Target::Play).release(), "Starts the puzzle");
        console.RegisterCommand("collisionSteps", Loki::NewFunctor(t, &Target::Steps).release(), "Steps");
        console.RegisterCommand("scale", Loki::NewFunctor(t, &Target::Scale).release(), "Scale");
        console.RegisterCommand("take", Loki::NewFunctor(t, &Target::Take).release(), "Take");
        console.RegisterCommand("move", Loki::NewFunctor(t, &Target::Move).release(), "Move");
        console.RegisterCommand("toggle", Loki::NewFunctor(t, &Target::Toggle).release(), "Toggle");
        console.RegisterCommand("shot", Loki::NewFunctor(t, &Target::Shot).release(), "Shot", true);
    }

    void SetUp() override
    {
        ConsoleInterface::Instance().ClearOutput();
        ConsoleInterface::Instance().ClearHistory();
        TheTarget() = Target();
    }
    void TearDown() override { ConsoleInterface::SetObjectCallHook(nullptr); }

    static void Run(const std::string& line)
    {
        ConsoleInterface::Instance().WriteToConsole(line, FF_Execute, true);
    }

    static bool Key(std::uint32_t code, std::int32_t value)
    {
        return ConsoleInterface::Instance().HandleInput(InputEvent{code, value, 0, 0});
    }
    static void Press(std::uint32_t code)
    {
        Key(code, 1);
        Key(code, 0);
    }
    // Types text as a US keyboard does: each character's key goes down (upper case and the
    // shifted signs through a held Shift), the text it types follows, the key comes up. Characters
    // without a key on it (the underscore among them, which this table does not shift) come as
    // text alone, as another layout's keys would bring them.
    static void Type(const std::string& text)
    {
        for (std::size_t at = 0; at < text.size(); at = common::NextCharacter(text, at))
        {
            const std::string character = text.substr(at, common::NextCharacter(text, at) - at);
            std::uint32_t key = 0;
            unsigned char shifted = 0;
            for (std::uint32_t code = 2; code <= 57 && key == 0 && character.size() == 1; ++code)
                for (unsigned char shift = 0; shift < 2 && key == 0; ++shift)
                    if (dorvo::input::ScanCodeToChar(InputEvent{code, 1, 0, 0}, shift) == character[0])
                    {
                        key = code;
                        shifted = shift;
                    }
            if (shifted)
                Key(dorvo::input::KEY_LSHIFT, 1);
            if (key)
                Key(key, 1);
            const std::wstring wide = plat::ToWide(character);
            Key(dorvo::input::TEXT_INPUT, static_cast<std::int32_t>(wide.empty() ? 0 : wide[0]));
            if (key)
                Key(key, 0);
            if (shifted)
                Key(dorvo::input::KEY_LSHIFT, 0);
        }
    }
    static void Enter() { Press(dorvo::input::KEY_RETURN); }

    testsupport::AssertCapture m_asserts;
};

const char* const kGeneral = "help - type help <command> for more information on the command, type help "
                             "commands to see a listing of all commands";
} // namespace

TEST_F(ConsoleInterfaceTest, HelpLines)
{
    Run("help");
    Run("help commands");
    Run("help play");
    Run("help TestScheduler");
    EXPECT_EQ((std::vector<std::string>{
                  std::string(">") + kGeneral,
                  ">help",
                  ">A Global Command Listing",
                  ">help commands",
                  ">Starts the puzzle",
                  ">help play",
                  ">Tests the Scheduler Functions by creating a list of functions to execute",
                  ">help TestScheduler",
              }),
              Lines());
}

TEST_F(ConsoleInterfaceTest, HelpForAnUnknownNameShowsAnEmptyLineAndIsNotListed)
{
    Run("help nosuch");
    EXPECT_EQ((std::vector<std::string>{">", ">help nosuch"}), Lines());
    EXPECT_EQ(0u, ConsoleInterface::Instance().GetHelpTexts().count("nosuch"));
}

TEST_F(ConsoleInterfaceTest, CommandsListsEveryHelpTextByName)
{
    Run("commands");
    EXPECT_EQ((std::vector<std::string>{
                  ">TestScheduler - Tests the Scheduler Functions by creating a list of functions to execute",
                  ">collisionSteps - Steps",
                  ">commands - A Global Command Listing",
                  ">move - Move",
                  ">play - Starts the puzzle",
                  ">scale - Scale",
                  ">shot - Shot",
                  ">take - Take",
                  ">toggle - Toggle",
                  ">Function: commands called successfully.",
                  ">commands",
              }),
              Lines());
}

// One name, in any case, is one command. Another command under a taken name is reported and
// neither runs nor is listed; the same registration once more (a part started again) is quiet.
TEST_F(ConsoleInterfaceTest, ASecondCommandUnderATakenNameIsReportedNeverRunsAndIsNotListed)
{
    ConsoleInterface& console = ConsoleInterface::Instance();
    Target* t = &TheTarget();
    struct Case
    {
        const char* name;
        const char* help;
        bool reported;
    };
    for (const Case& c :
         {Case{"PLAY", "Starts the puzzle", true}, Case{"play", "Plays another thing", true},
          Case{"Play", "Plays another thing", true}, Case{"play", "Starts the puzzle", false}})
    {
        SCOPED_TRACE(std::string(c.name) + " - " + c.help);
        m_asserts.Clear();
        EXPECT_FALSE(console.RegisterCommand(c.name, Loki::NewFunctor(t, &Target::Other).release(), c.help));
        ASSERT_EQ(m_asserts.Reports().size(), c.reported ? 1u : 0u);
        if (c.reported)
        {
            EXPECT_NE(m_asserts.Texts()[0].find('"' + std::string(c.name) + '"'), std::string::npos)
                << m_asserts.Texts()[0];
        }
    }
    Run("pLaY");
    EXPECT_EQ(1, t->plays);
    EXPECT_EQ(0, t->others);
    Run("commands");
    std::vector<std::string> listed;
    for (const std::string& line : Lines())
        if (line.find(" - ") != std::string::npos && ToLowerCopy(line).compare(0, 5, ">play") == 0)
            listed.push_back(line);
    EXPECT_EQ((std::vector<std::string>{">play - Starts the puzzle"}), listed);
}

// A part that puts its own command in the place of another unregisters that one first, by its
// name in any case; the help text goes with it.
TEST_F(ConsoleInterfaceTest, ACommandUnregisteredInAnyCaseMakesRoomForAnother)
{
    ConsoleInterface& console = ConsoleInterface::Instance();
    Target* t = &TheTarget();
    ASSERT_TRUE(console.RegisterCommand("Spawn", Loki::NewFunctor(t, &Target::Play).release(), "The first"));
    EXPECT_TRUE(console.UnregisterCommand("SPAWN"));
    EXPECT_TRUE(
        console.RegisterCommand("spawn", Loki::NewFunctor(t, &Target::Other).release(), "The second"));
    EXPECT_TRUE(m_asserts.Reports().empty());
    Run("Spawn");
    EXPECT_EQ(0, t->plays);
    EXPECT_EQ(1, t->others);
    EXPECT_EQ(0u, console.GetHelpTexts().count("Spawn"));
    EXPECT_EQ("The second", console.GetHelpTexts().at("spawn"));
    EXPECT_TRUE(console.UnregisterCommand("spawn"));
    EXPECT_FALSE(console.UnregisterCommand("spawn"));
}

TEST_F(ConsoleInterfaceTest, CallOutcomeLines)
{
    Run("play");
    Run("PLAY");
    Run("nosuch 1");
    Run("play 1");
    EXPECT_EQ((std::vector<std::string>{
                  ">Function: play called successfully.",
                  ">play",
                  ">Function: PLAY called successfully.",
                  ">PLAY",
                  ">Function: nosuch does not exist.",
                  ">nosuch 1",
                  ">Function: play parameter list does not match function prototype.",
                  ">play 1",
              }),
              Lines());
    EXPECT_EQ(2, TheTarget().plays);
}

TEST_F(ConsoleInterfaceTest, WithoutReportOnlyShownLinesAppear)
{
    ConsoleInterface& console = ConsoleInterface::Instance();
    console.ClearOutputChanged();
    console.WriteToConsole("play", FF_Execute, false);
    console.WriteToConsole("nosuch", FF_Execute, false);
    EXPECT_EQ(1, TheTarget().plays);
    EXPECT_TRUE(Lines().empty());
    EXPECT_FALSE(console.IsOutputChanged());

    console.WriteToConsole("hello", FF_Display, false);
    console.WriteToConsole("", FF_Execute, true); // an empty line runs nothing but is echoed
    EXPECT_EQ((std::vector<std::string>{">hello", ">"}), Lines());
    EXPECT_TRUE(console.IsOutputChanged());
}

TEST_F(ConsoleInterfaceTest, ArgumentsArriveTyped)
{
    Run("take abc 7");
    EXPECT_EQ("abc", TheTarget().text);
    EXPECT_EQ(7, TheTarget().number);
    Run("take  1"); // two spaces: an empty string, then the int
    EXPECT_EQ("", TheTarget().text);
    EXPECT_EQ(1, TheTarget().number);
    Run("move (1.0,2,3.5)");
    EXPECT_FLOAT_EQ(1.0f, TheTarget().vector[0]);
    EXPECT_FLOAT_EQ(2.0f, TheTarget().vector[1]);
    EXPECT_FLOAT_EQ(3.5f, TheTarget().vector[2]);
    Run("toggle on");
    EXPECT_TRUE(TheTarget().flag);
    Run("scale 2.5");
    EXPECT_FLOAT_EQ(2.5f, TheTarget().scale);
    EXPECT_EQ(5, TheTarget().calls);
    Run("move (0,0,0)"); // a string, not a vector
    EXPECT_EQ(">Function: move parameter list does not match function prototype.",
              Lines()[Lines().size() - 2]);
}

TEST_F(ConsoleInterfaceTest, WholeNumbersReachUnsignedAndFloatParameters)
{
    Run("collisionSteps 5");
    EXPECT_EQ(5u, TheTarget().steps);
    Run("scale 2");
    EXPECT_FLOAT_EQ(2.0f, TheTarget().scale);
    EXPECT_EQ(2, TheTarget().calls);

    Run("collisionSteps -5"); // negative: no unsigned form
    Run("take 1 2");          // an int where a string is wanted is not converted
    EXPECT_EQ(2, TheTarget().calls);
    EXPECT_EQ((std::vector<std::string>{
                  ">Function: collisionSteps called successfully.",
                  ">collisionSteps 5",
                  ">Function: scale called successfully.",
                  ">scale 2",
                  ">Function: collisionSteps parameter list does not match function prototype.",
                  ">collisionSteps -5",
                  ">Function: take parameter list does not match function prototype.",
                  ">take 1 2",
              }),
              Lines());
}

TEST_F(ConsoleInterfaceTest, LinesBeyondTheArgumentStackAreRefusedWhole)
{
    const std::string mismatch = ">Function: take parameter list does not match function prototype.";
    Run("take 1 2 3 4 5 6 7 8 9"); // nine values
    Run("take " + std::string(600, 'x') + " 1");
    Run("take " + std::string(250, 'x') + " " + std::string(250, 'y') + " 1"); // 510 + 4 bytes
    Run("take " + std::string(500, 'x') + " 1");                               // 505 + 4 bytes: fits
    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(8u, lines.size());
    EXPECT_EQ(mismatch, lines[0]);
    EXPECT_EQ(mismatch, lines[2]);
    EXPECT_EQ(mismatch, lines[4]);
    EXPECT_EQ(">Function: take called successfully.", lines[6]);
    EXPECT_EQ(1, TheTarget().calls);
    EXPECT_EQ(std::string(500, 'x'), TheTarget().text);
    EXPECT_TRUE(m_asserts.Reports().empty());

    Run("nosuch 1 2 3 4 5 6 7 8 9"); // a missing command is still reported as missing
    EXPECT_EQ(">Function: nosuch does not exist.", Lines()[8]);
}

TEST_F(ConsoleInterfaceTest, OutputListIsTrimmedBeforeEachAppend)
{
    ConsoleInterface& console = ConsoleInterface::Instance();
    for (int i = 0; i < 300; ++i)
        console.WriteToConsole("line " + std::to_string(i), FF_Display, false);
    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(257u, lines.size());
    EXPECT_EQ(">line 43", lines.front());
    EXPECT_EQ(">line 299", lines.back());
}

// A 100 KB line costs the window no more than a short one: a long output line keeps its start and
// its end around a mark the window shows, whatever wrote it.
TEST_F(ConsoleInterfaceTest, LongOutputLinesAreCutVisibly)
{
    const std::size_t limit = ConsoleInterface::kMaxLineChars;
    const std::string name = "W" + std::string(100000, 'w') + "Z";
    struct Case
    {
        const char* what;
        std::string shown;
        std::string kept;
    };
    const Case cases[] = {
        {"at the limit", std::string(limit - 1, 'a'), ">" + std::string(limit - 1, 'a')},
        {"one past it", std::string(limit, 'b'),
         ">" + std::string(39, 'b') + " [... 81 characters cut] " + std::string(40, 'b')},
        {"a 100 KB line", name,
         ">W" + std::string(38, 'w') + " [... 99923 characters cut] " + std::string(39, 'w') + "Z"},
    };
    ConsoleInterface& console = ConsoleInterface::Instance();
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        console.ClearOutput();
        console.WriteToConsole(c.shown, FF_Display, false);
        EXPECT_EQ(Lines(), std::vector<std::string>{c.kept});
    }
    // The echo of a line that runs, and what the command said about it.
    console.ClearOutput();
    Run(name);
    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(0, 15), ">Function: Wwww");
    EXPECT_NE(lines[0].find(" characters cut] "), std::string::npos);
    EXPECT_EQ(lines[0].substr(lines[0].size() - 17), "Z does not exist.");
    for (const std::string& line : lines)
        EXPECT_LE(line.size(), ConsoleInterface::kLineHeadChars + ConsoleInterface::kLineTailChars + 40);
}

// The line being typed and the history are bounded too: the first character past the limit says
// so once, and the oldest entered lines go.
TEST_F(ConsoleInterfaceTest, TheInputLineAndTheHistoryAreBounded)
{
    ConsoleInterface& console = ConsoleInterface::Instance();
    Type(std::string(ConsoleInterface::kMaxInputChars + 20, 'x'));
    EXPECT_EQ(console.GetInputLine(), std::string(ConsoleInterface::kMaxInputChars, 'x'));
    EXPECT_EQ(Lines(),
              std::vector<std::string>{">ERROR: a console line holds at most 512 characters; the rest is "
                                       "not typed"});
    Enter();
    console.ClearOutput();
    Type("x"); // a new line may say it again
    EXPECT_TRUE(Lines().empty());

    console.ClearHistory();
    for (std::size_t i = 0; i < ConsoleInterface::kMaxHistoryLines + 10; ++i)
    {
        Type(i % 2 == 0 ? "play" : "Play");
        Enter();
    }
    EXPECT_EQ(console.GetHistory().size(), ConsoleInterface::kMaxHistoryLines);
    EXPECT_EQ(static_cast<std::size_t>(TheTarget().plays), ConsoleInterface::kMaxHistoryLines + 10);
}

TEST_F(ConsoleInterfaceTest, TypingALineAndEnterRunsItWithReport)
{
    Type("Play");
    EXPECT_EQ("Play", ConsoleInterface::Instance().GetInputLine());
    EXPECT_EQ(4u, ConsoleInterface::Instance().GetCursor());
    Enter();
    EXPECT_EQ(1, TheTarget().plays);
    EXPECT_EQ((std::vector<std::string>{">Function: Play called successfully.", ">Play"}), Lines());
    EXPECT_EQ((std::vector<std::string>{"Play"}), History());
    EXPECT_EQ("", ConsoleInterface::Instance().GetInputLine());
    EXPECT_EQ(0u, ConsoleInterface::Instance().GetCursor());

    Type("help");
    Enter();
    EXPECT_EQ(std::string(">") + kGeneral, Lines()[2]);
    EXPECT_EQ(">help", Lines()[3]);

    Type("take {x} 3");
    Enter();
    EXPECT_EQ("{x}", TheTarget().text);
    EXPECT_EQ(3, TheTarget().number);
}

TEST_F(ConsoleInterfaceTest, WhichKeysAreTaken)
{
    using namespace dorvo::input;
    struct Case
    {
        std::uint32_t code;
        std::int32_t value;
        bool taken;
    };
    const Case cases[] = {
        {KEY_GRAVE, 1, false}, {KEY_GRAVE, 0, false},  {KEY_A, 1, true},        {KEY_A, 0, false},
        {KEY_F1, 1, true},     {KEY_BACK, 0, true},    {KEY_RETURN, 0, true},   {KEY_UP, 0, true},
        {KEY_DOWN, 0, true},   {KEY_LSHIFT, 0, false}, {KEY_RSHIFT, 1, true},   {KEY_RSHIFT, 0, false},
        {MOUSE_X, 5, false},   {KEY_A, 2, false},      {TEXT_INPUT, 'b', true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(c.taken, Key(c.code, c.value));
    }
    EXPECT_EQ("b", ConsoleInterface::Instance().GetInputLine()) << "keys name positions; text types";
    EXPECT_TRUE(Lines().empty()); // Enter up without its down runs nothing
}

TEST_F(ConsoleInterfaceTest, CursorEditing)
{
    using namespace dorvo::input;
    ConsoleInterface& console = ConsoleInterface::Instance();
    Type("abc");
    Press(KEY_RIGHT); // from the end to 0
    EXPECT_EQ(0u, console.GetCursor());
    Press(KEY_LEFT); // from 0 to the end
    EXPECT_EQ(3u, console.GetCursor());
    Press(KEY_LEFT);
    Type("X");
    EXPECT_EQ("abXc", console.GetInputLine());
    EXPECT_EQ(3u, console.GetCursor());
    Press(KEY_BACK); // removes the character before the cursor
    EXPECT_EQ("abc", console.GetInputLine());
    EXPECT_EQ(2u, console.GetCursor());
    Press(KEY_RIGHT);
    Press(KEY_RIGHT); // to 0
    Press(KEY_BACK);  // at 0: removes the character under the cursor
    EXPECT_EQ("bc", console.GetInputLine());
    EXPECT_EQ(0u, console.GetCursor());
    Type("`");
    Press(KEY_TAB);
    EXPECT_EQ("bc", console.GetInputLine());
}

// The line holds what the player's layout typed, the underscore and letters beyond ASCII too,
// and the cursor and Backspace step over whole characters.
TEST_F(ConsoleInterfaceTest, TheLineIsTheTypedText)
{
    using namespace dorvo::input;
    ConsoleInterface& console = ConsoleInterface::Instance();
    Type("saveroom Zo\u00EB_\u00C9t\u00E9");
    EXPECT_EQ("saveroom Zo\u00EB_\u00C9t\u00E9", console.GetInputLine());
    Press(KEY_LEFT);
    Press(KEY_LEFT);
    Press(KEY_LEFT);
    Press(KEY_BACK);
    EXPECT_EQ("saveroom Zo\u00EB\u00C9t\u00E9", console.GetInputLine());
    Press(KEY_BACK);
    EXPECT_EQ("saveroom Zo\u00C9t\u00E9", console.GetInputLine());
    Key(TEXT_INPUT, 0x1F600); // beyond the first plane
    EXPECT_EQ("saveroom Zo\U0001F600\u00C9t\u00E9", console.GetInputLine());
    EXPECT_EQ(15u, console.GetCursor());
}

// The console window says how wide its input strip is (56 characters in the game); before one
// does, every line can be edited.
TEST_F(ConsoleInterfaceTest, BackspaceOnlyOnLinesThatFitTheWindow)
{
    ConsoleInterface& console = ConsoleInterface::Instance();
    struct Case
    {
        std::size_t width;
        std::size_t typed;
        std::size_t left;
    };
    for (const Case& c : {Case{56, 57, 57}, Case{56, 56, 55}, Case{56, 0, 0}, Case{10, 11, 11},
                          Case{10, 10, 9}, Case{SIZE_MAX, 80, 79}})
    {
        SCOPED_TRACE(std::to_string(c.width) + " wide, " + std::to_string(c.typed) + " typed");
        console.SetInputLineWidth(c.width);
        console.ClearHistory();
        Type(std::string(c.typed, 'a'));
        Press(dorvo::input::KEY_BACK);
        EXPECT_EQ(c.left, console.GetInputLine().size());
    }
    console.SetInputLineWidth(SIZE_MAX);
    console.ClearHistory();
}

TEST_F(ConsoleInterfaceTest, HistoryRotatesBothWays)
{
    using namespace dorvo::input;
    ConsoleInterface& console = ConsoleInterface::Instance();
    Press(KEY_UP); // empty history: nothing
    EXPECT_EQ("", console.GetInputLine());
    for (const char* line : {"aa", "bb", "cc"})
    {
        Type(line);
        Enter();
    }
    Press(KEY_UP);
    EXPECT_EQ("aa", console.GetInputLine());
    EXPECT_EQ(2u, console.GetCursor());
    EXPECT_EQ((std::vector<std::string>{"bb", "cc", "aa"}), History());
    Press(KEY_UP);
    EXPECT_EQ("bb", console.GetInputLine());
    EXPECT_EQ((std::vector<std::string>{"cc", "aa", "bb"}), History());
    Press(KEY_DOWN); // the line equals the last entry: it goes to the front first
    EXPECT_EQ("aa", console.GetInputLine());
    EXPECT_EQ((std::vector<std::string>{"aa", "bb", "cc"}), History());
    Press(KEY_DOWN);
    EXPECT_EQ("cc", console.GetInputLine());
    EXPECT_EQ((std::vector<std::string>{"cc", "aa", "bb"}), History());
}

TEST_F(ConsoleInterfaceTest, ObjLinesGoThroughTheObjectHook)
{
    Run("obj 12.Jump 1"); // no hook yet: nothing happens, not even for an overlong line
    Run("obj 12.Jump 1 2 3 4 5 6 7 8 9");
    EXPECT_EQ((std::vector<std::string>{">obj 12.Jump 1", ">obj 12.Jump 1 2 3 4 5 6 7 8 9"}), Lines());

    s_objectCall = ObjectCall();
    ConsoleInterface::SetObjectCallHook(&FakeObjectHook);
    Run("obj 12.Jump 3");
    EXPECT_EQ(1, s_objectCall.calls);
    EXPECT_EQ("12", s_objectCall.object);
    EXPECT_EQ("Jump", s_objectCall.function);
    EXPECT_EQ(3, s_objectCall.firstInt);
    Run("obj Quorb.SetPos (1.0,2,3) on");
    EXPECT_EQ(2, s_objectCall.calls);
    EXPECT_EQ("Quorb", s_objectCall.object);
    EXPECT_EQ(0xD318u, s_objectCall.signature);

    for (const char* line :
         {"obj", "obj Quorb", "obj a.b.c 1", "obj Nobody.Jump", "obj Quorb.X 1 2 3 4 5 6 7 8 9"})
        Run(line);
    EXPECT_EQ(2, s_objectCall.calls);
    EXPECT_EQ(">Function: X parameter list does not match function prototype.", Lines()[Lines().size() - 2]);
}

TEST(ConsoleMatchWholeNumbersTest, ConvertsIntsOnlyWhenTheWholeStackThenMatches)
{
    const std::uint64_t uintString = 0xD4CF;  // (unsigned, std::string)
    const std::uint64_t floatVector = 0x18D1; // (float, math::Vector3)
    {
        ParamStack params;
        params.Push(5);
        params.PushString("a");
        EXPECT_TRUE(ConsoleInterface::MatchWholeNumbers(params, uintString));
        EXPECT_EQ(uintString, params.GetSignature());
        std::string text;
        unsigned value = 0;
        params.PopString(text);
        params.Pop(value);
        EXPECT_EQ("a", text);
        EXPECT_EQ(5u, value);
    }
    {
        ParamStack params;
        params.Push(-5);
        params.PushString("a");
        EXPECT_FALSE(ConsoleInterface::MatchWholeNumbers(params, uintString));
        EXPECT_EQ(0xD4CBu, params.GetSignature()); // left as it was
        std::string text;
        int value = 0;
        params.PopString(text);
        params.Pop(value);
        EXPECT_EQ("a", text);
        EXPECT_EQ(-5, value);
    }
    {
        ParamStack params;
        params.Push(-2);
        params.PushVector3(math::Vector3(1, 2, 3));
        EXPECT_TRUE(ConsoleInterface::MatchWholeNumbers(params, floatVector));
        math::Vector3 v;
        float value = 0;
        params.PopVector3(v);
        params.Pop(value);
        EXPECT_FLOAT_EQ(3.0f, v.z);
        EXPECT_FLOAT_EQ(-2.0f, value);
    }
    {
        ParamStack params;
        params.Push(1);
        EXPECT_FALSE(ConsoleInterface::MatchWholeNumbers(params, 0xD4)); // an int is never made a string
        EXPECT_EQ(0xCBu, params.GetSignature());
    }
}

TEST_F(ConsoleInterfaceTest, ScheduledLinesReachTheConsole)
{
    Run("TestScheduler");
    ConsoleInterface::Instance().ClearOutput();
    common::Scheduler& scheduler = common::Scheduler::Instance();
    std::vector<std::size_t> sizes;
    for (int frame = 0; frame < 6 * 30; ++frame)
    {
        scheduler.Update(1.0f / 30.0f);
        sizes.push_back(Lines().size());
    }
    EXPECT_EQ((std::vector<std::string>{">Test 1", ">Test 2", ">Test 3", ">Test 4", ">Test 5"}), Lines());
    EXPECT_EQ(0u, sizes[28]); // nothing before the first second
    EXPECT_EQ(5u, sizes.back());
}

namespace
{
class FreshConsole : public ConsoleInterface
{
};

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
} // namespace

TEST_F(ConsoleInterfaceTest, ANewConsoleWritesTheLog)
{
    testsupport::TempWorkDir dir;
    {
        FreshConsole console;
        EXPECT_EQ("", console.GetInputLine());
        EXPECT_TRUE(console.GetOutputLines().empty());
    }
    EXPECT_EQ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<?xml-stylesheet type=\"text/xsl\" href=\"LogXSLT.xsl\"?>\n"
              "<RunTimeLog>\n"
              "</RunTimeLog>\n",
              ReadAll("Log.xml"));
    // The one console still receives the registry's reports.
    Run("nosuch");
    EXPECT_EQ(">Function: nosuch does not exist.", Lines().front());
}

// Only a command registered with an optional last string may leave it out; it then gets an
// empty string. Every other shape of line is still refused.
TEST_F(ConsoleInterfaceTest, AnOptionalLastStringMayBeLeftOut)
{
    struct Case
    {
        const char* line;
        bool called;
        const char* text;
    };
    const Case cases[] = {
        {"shot", true, ""},      {"SHOT", true, ""},    {"shot name.png", true, "name.png"},
        {"shot a b", false, ""}, {"shot 5", false, ""}, // an int is no string
        {"take", false, ""},                            // "take" needs both of its arguments
        {"take 3", false, ""},                          // the string is not the last argument
        {"take abc", false, ""},                        // nor may the int be left out
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.line);
        TheTarget() = Target();
        TheTarget().text = "unchanged";
        Run(c.line);
        EXPECT_EQ(TheTarget().calls, c.called ? 1 : 0);
        EXPECT_EQ(TheTarget().text, c.called ? c.text : "unchanged");
    }
}
