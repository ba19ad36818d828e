// The in-game command console: the registered commands with their help texts, the line being
// typed with its cursor, the history of entered lines and the list of output lines that the
// console window shows. Engine parts and the game register bound member functions as commands;
// menus, scripts and the game run command lines through WriteToConsole. The console owns the
// run-time log, so "Log.xml" is written when the console is first used.
#pragma once

#include "common/FunctionFlags.h"
#include "common/FunctionRegistry.h"
#include "common/LogFile.h"

#include <cstdint>
#include <list>
#include <map>
#include <set>
#include <string>
#include <vector>

class ParamStack;
namespace dorvo
{
namespace input
{
struct InputEvent;
}
} // namespace dorvo
namespace Loki
{
class BaseFunctor;
}

namespace common
{
class ConsoleInterface
{
public:
    // Calls a by-name function of a game object for the line "obj A.B args": `object` is A
    // (an id when it passes IsIntegerText, read with TextToInt, else a game-object name),
    // `function` is B and `params` holds the typed arguments. Returns whether an object took the
    // call; an unknown object does nothing. Once it has found the function's signature it may
    // call MatchWholeNumbers, so that "obj 3.SetSteps 5" reaches an unsigned parameter. The
    // game-object layer installs it; until then "obj" lines do nothing.
    using ObjectCallHook = bool (*)(const std::string& object, const std::string& function,
                                    ParamStack& params, bool report);

    static ConsoleInterface& Instance();

    virtual ~ConsoleInterface();

    // Registers "WriteToConsole" with the scheduler and the console's own "commands". Called once
    // at start-up with the other parts' command registration.
    virtual void RegisterConsoleCommands();

    // Keyboard editing while the console window is open: typed characters (TEXT_INPUT events,
    // as the player's layout makes them; the grave accent excepted), cursor, Backspace, history
    // on Up and Down, and Enter, which runs the line with report set. Returns whether the key
    // was taken. The grave key (41) is never taken: it opens and closes the window.
    virtual bool HandleInput(const dorvo::input::InputEvent& event);

    // Takes ownership of the functor; the help text is kept under the name as given. One name
    // (ignoring case) is one command: a name already taken keeps its first functor and help
    // text, and the later functor is deleted. When the later registration differs in spelling
    // or help text it is another command, reported through the assertion handler; the same
    // registration once more (a part started again) is not. A part that means to replace a
    // command unregisters it first. With lastStringOptional, a line that leaves out the
    // command's last argument, a string, is called with an empty string in its place
    // ("takescrshot" alone numbers its file); every other command needs its whole argument list.
    // Returns whether the functor was kept.
    bool RegisterCommand(const std::string& name, Loki::BaseFunctor* functor, const std::string& help,
                         bool lastStringOptional = false);
    // Removes a command, its functor and its help text, by its name in any case: for an owner
    // that goes before the console (the game's commands are bound to the game object), or one
    // that puts its own command in the place of another. False when the name is not registered.
    bool UnregisterCommand(const std::string& name);

    // FF_Execute runs the line as a command; FF_Display only shows it. `report` passes on to
    // the call ("Function: ..." lines) and also shows the line itself after whatever it wrote.
    void WriteToConsole(std::string line, Function_Flags flags, bool report);

    // The console's command "commands": one line per help text, "name - help", by name.
    void ListCommands();

    static ObjectCallHook SetObjectCallHook(ObjectCallHook hook);

    // Hears every line handed to WriteToConsole (before it runs or shows), with its flags; for
    // test recorders. None by default. Returns the previous one.
    using LineHook = void (*)(const std::string& line, Function_Flags flags);
    static LineHook SetLineHook(LineHook hook);

    // Shows a line on the one console, as WriteToConsole(line, FF_Display, false) does, creating
    // the console when nothing has used it yet. The function registry's reports come this way.
    // Once the console has been destroyed at exit, the line goes to the log instead.
    static void ShowLine(const std::string& line);

    // How many lines beginning "ERROR:" were shown so far. A command that refuses what it was
    // asked shows such a line; the function registry compares the count around a call so it never
    // follows a refusal with "called successfully.".
    static std::size_t GetRefusalCount();

    // For the object hook, which learns the callee's signature only after finding the object:
    // typed lines have no unsigned or float form for whole numbers, so when `params` (built from
    // a console line) does not match `expected`, its ints are converted where `expected` wants an
    // unsigned (only when not negative) or a float. Changes the stack only when the converted one
    // matches; returns whether the stack matches `expected` afterwards.
    static bool MatchWholeNumbers(ParamStack& params, std::uint64_t expected);

    // What the console window shows.
    const std::list<std::string>& GetOutputLines() const { return m_outputLines; }
    const std::string& GetInputLine() const { return m_inputLine; }
    std::uint32_t GetCursor() const { return m_cursor; }
    const std::list<std::string>& GetHistory() const { return m_history; }
    bool IsOutputChanged() const { return m_outputChanged; }
    void ClearOutputChanged() { m_outputChanged = false; }
    // Empties the output list (a fresh window, or a test's clean start).
    void ClearOutput();
    // Forgets the entered lines and the line being typed.
    void ClearHistory();

    // How many characters the console window's input strip shows. Backspace works only while
    // the line fits; until a window says its width, on any line.
    void SetInputLineWidth(std::size_t characters) { m_inputLineWidth = characters; }

    FunctionRegistry& GetCommands() { return m_commands; }
    CLogFile& GetLog() { return m_log; }
    const std::map<std::string, std::string>& GetHelpTexts() const { return m_helpTexts; }

    // The general help line shown by "help" alone.
    static const char* const kGeneralHelp;

    // What the console keeps is bounded, so a long line (typed, or quoting a name from data)
    // costs the window no more than a short one. An output line longer than kMaxLineChars keeps
    // its first kLineHeadChars and last kLineTailChars characters around a visible
    // " [... N characters cut] " (the start is short enough for the mark to show in the window
    // even in the widest letters); the input line takes at most kMaxInputChars characters (more
    // than any command's arguments can hold; the first refused character shows an "ERROR:" line);
    // the history keeps the last kMaxHistoryLines entered lines.
    static constexpr std::size_t kMaxLineChars = 160;
    static constexpr std::size_t kLineHeadChars = 40;
    static constexpr std::size_t kLineTailChars = 40;
    static constexpr std::size_t kMaxInputChars = 512;
    static constexpr std::size_t kMaxHistoryLines = 64;

protected:
    ConsoleInterface();

private:
    ConsoleInterface(const ConsoleInterface&) = delete;
    ConsoleInterface& operator=(const ConsoleInterface&) = delete;

    void Execute(const std::string& line, bool report);
    void ShowHelp(const std::vector<std::string>& tokens);
    void CallObject(const std::vector<std::string>& tokens, bool report);
    void CallCommand(const std::vector<std::string>& tokens, bool report);
    void AddOutputLine(const std::string& line);
    // The help text of a command, found by its name in any case.
    std::map<std::string, std::string>::const_iterator FindHelpText(const std::string& name) const;
    void HistoryBack();
    void HistoryForward();

    CLogFile m_log;
    bool m_upPressed = false;
    bool m_downPressed = false;
    bool m_enterPressed = false;
    bool m_shiftHeld = false;
    bool m_outputChanged = false;
    std::uint32_t m_maxOutputLines = 256; // the list is trimmed back to about this many lines
    std::uint32_t m_cursor = 0;           // insertion point in the input line (bytes), 0 to its length
    std::size_t m_inputLineWidth = SIZE_MAX;
    std::string m_inputLine;
    std::list<std::string> m_outputLines; // oldest first, each beginning with ">"
    std::list<std::string> m_history;     // entered lines; rotated by Up and Down, the oldest dropped
    bool m_inputFullShown = false;        // the refusal of the line being typed was shown
    FunctionRegistry m_commands;
    std::map<std::string, std::string> m_helpTexts; // name as registered, case kept
    std::set<std::string> m_optionalLastString;     // lower-cased names, as the registry keys them
};
} // namespace common
