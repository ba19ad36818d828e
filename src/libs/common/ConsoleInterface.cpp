#include "common/ConsoleInterface.h"

#include "common/Assert.h"
#include "common/InputEvent.h"
#include "common/ParamStack.h"
#include "common/Scheduler.h"
#include "common/Utf8Text.h"
#include "common/ValueText.h"
#include "common/loki/Functor.h"
#include "common/math/Vector3.h"
#include "platform/log.h"

#include <iterator>
#include <memory>

namespace common
{
const char* const ConsoleInterface::kGeneralHelp =
    "help - type help <command> for more information on the command, type help commands to see a listing of "
    "all commands";

namespace
{
ConsoleInterface::ObjectCallHook s_objectCallHook = nullptr;
ConsoleInterface::LineHook s_lineHook = nullptr;
ConsoleInterface* s_instance = nullptr; // the singleton once created
bool s_instanceDestroyed = false;       // set when the singleton dies at exit
std::size_t s_refusals = 0;             // lines beginning "ERROR:" shown so far

// One typed argument of a console line, held until it is pushed. Kept apart from the stack so
// that the line can be checked against the stack's limits and retyped before anything is pushed.
struct Argument
{
    std::uint8_t tag = ParamStack::TAG_String;
    int intValue = 0;
    unsigned uintValue = 0;
    float floatValue = 0.0f;
    bool boolValue = false;
    float vector[3] = {0.0f, 0.0f, 0.0f};
    std::string text;

    // Bytes the value takes on a ParamStack: strings carry a NUL and a 4-byte count.
    unsigned StackBytes() const
    {
        switch (tag)
        {
        case ParamStack::TAG_Bool:
            return 1;
        case ParamStack::TAG_Vector3:
            return 12;
        case ParamStack::TAG_String:
            return static_cast<unsigned>(text.size()) + 5;
        default:
            return 4;
        }
    }
};

// The typing rules of console tokens: vector, int, float, bool, else string, first that holds.
Argument TypeToken(const std::string& token)
{
    Argument argument;
    if (IsVectorText(token))
    {
        argument.tag = ParamStack::TAG_Vector3;
        const math::Vector3 v = TextToVector3(token);
        argument.vector[0] = v.x;
        argument.vector[1] = v.y;
        argument.vector[2] = v.z;
    }
    else if (IsIntegerText(token))
    {
        argument.tag = ParamStack::TAG_Int;
        argument.intValue = TextToInt(token);
    }
    else if (IsFloatText(token))
    {
        argument.tag = ParamStack::TAG_Float;
        argument.floatValue = static_cast<float>(TextToDouble(token)); // within float range
    }
    else if (IsBoolText(token))
    {
        argument.tag = ParamStack::TAG_Bool;
        argument.boolValue = TextToBool(token);
    }
    else
    {
        argument.tag = ParamStack::TAG_String;
        argument.text = token;
    }
    return argument;
}

std::vector<Argument> TypeTokens(const std::vector<std::string>& tokens, size_t first)
{
    std::vector<Argument> arguments;
    for (size_t i = first; i < tokens.size(); ++i)
        arguments.push_back(TypeToken(tokens[i]));
    return arguments;
}

// A line with more values or bytes than a stack holds is refused whole: nothing half-pushed.
bool FitsOnStack(const std::vector<Argument>& arguments)
{
    if (arguments.size() > ParamStack::kMaxValues)
        return false;
    unsigned bytes = 0;
    for (const Argument& argument : arguments)
        bytes += argument.StackBytes();
    return bytes <= ParamStack::kDataBytes;
}

std::uint64_t SignatureOf(const std::vector<Argument>& arguments)
{
    std::uint64_t signature = 0;
    for (size_t i = 0; i < arguments.size(); ++i)
        signature |= static_cast<std::uint64_t>(arguments[i].tag) << (8 * i);
    return signature;
}

// Typed text has no unsigned or float form for whole numbers, so "collisionSteps 5" would never
// match a command taking an unsigned. When the callee expects one of those where the line has an
// int, convert it (unsigned only when not negative). Used only when the result then matches.
std::vector<Argument> RetypeFor(std::vector<Argument> arguments, std::uint64_t expected)
{
    for (size_t i = 0; i < arguments.size(); ++i)
    {
        Argument& argument = arguments[i];
        const std::uint8_t wanted = static_cast<std::uint8_t>(expected >> (8 * i));
        if (argument.tag != ParamStack::TAG_Int)
            continue;
        if (wanted == ParamStack::TAG_UInt && argument.intValue >= 0)
        {
            argument.tag = ParamStack::TAG_UInt;
            argument.uintValue = static_cast<unsigned>(argument.intValue);
        }
        else if (wanted == ParamStack::TAG_Float)
        {
            argument.tag = ParamStack::TAG_Float;
            argument.floatValue = static_cast<float>(argument.intValue);
        }
    }
    return arguments;
}

void PushArguments(const std::vector<Argument>& arguments, ParamStack& params)
{
    for (const Argument& argument : arguments)
    {
        switch (argument.tag)
        {
        case ParamStack::TAG_Vector3:
            params.PushVector3(math::Vector3(argument.vector[0], argument.vector[1], argument.vector[2]));
            break;
        case ParamStack::TAG_Int:
            params.Push(argument.intValue);
            break;
        case ParamStack::TAG_UInt:
            params.Push(argument.uintValue);
            break;
        case ParamStack::TAG_Float:
            params.Push(argument.floatValue);
            break;
        case ParamStack::TAG_Bool:
            params.Push(argument.boolValue);
            break;
        default:
            params.PushString(argument.text);
            break;
        }
    }
}

std::string MismatchLine(const std::string& name)
{
    return "Function: " + name + " parameter list does not match function prototype.";
}
} // namespace

bool ConsoleInterface::MatchWholeNumbers(ParamStack& params, std::uint64_t expected)
{
    if (params.IsOverflowed())
        return false;
    if (params.GetSignature() == expected)
        return true;
    const unsigned count = params.GetCount();
    std::vector<Argument> arguments(count);
    for (unsigned i = 0; i < count; ++i)
    {
        arguments[i].tag = params.GetTag(i);
        switch (arguments[i].tag)
        {
        case ParamStack::TAG_Vector3:
        case ParamStack::TAG_Int:
        case ParamStack::TAG_UInt:
        case ParamStack::TAG_Float:
        case ParamStack::TAG_Bool:
        case ParamStack::TAG_String:
            break;
        default:
            return false; // not a stack a console line builds
        }
    }
    // Values come off last to first.
    for (unsigned i = count; i-- > 0;)
    {
        Argument& argument = arguments[i];
        switch (argument.tag)
        {
        case ParamStack::TAG_Vector3:
        {
            math::Vector3 v;
            params.PopVector3(v);
            argument.vector[0] = v.x;
            argument.vector[1] = v.y;
            argument.vector[2] = v.z;
            break;
        }
        case ParamStack::TAG_Int:
            params.Pop(argument.intValue);
            break;
        case ParamStack::TAG_UInt:
            params.Pop(argument.uintValue);
            break;
        case ParamStack::TAG_Float:
            params.Pop(argument.floatValue);
            break;
        case ParamStack::TAG_Bool:
            params.Pop(argument.boolValue);
            break;
        default:
            params.PopString(argument.text);
            break;
        }
    }
    const std::vector<Argument> retyped = RetypeFor(arguments, expected);
    const bool matches = SignatureOf(retyped) == expected;
    PushArguments(matches ? retyped : arguments, params);
    return matches;
}

ConsoleInterface& ConsoleInterface::Instance()
{
    static ConsoleInterface console;
    s_instance = &console;
    return console;
}

ConsoleInterface::ConsoleInterface() = default;

ConsoleInterface::~ConsoleInterface()
{
    if (this != s_instance)
        return;
    // Reports made while the program's statics are torn down go to the log instead.
    s_instance = nullptr;
    s_instanceDestroyed = true;
}

void ConsoleInterface::ShowLine(const std::string& line)
{
    if (s_instanceDestroyed)
    {
        DORVO_LOG("ConsoleInterface::ShowLine: %s; the console is gone, so the line is said here",
                  line.c_str());
        return;
    }
    Instance().WriteToConsole(line, FF_Display, false);
}

ConsoleInterface::ObjectCallHook ConsoleInterface::SetObjectCallHook(ObjectCallHook hook)
{
    ObjectCallHook previous = s_objectCallHook;
    s_objectCallHook = hook;
    return previous;
}

void ConsoleInterface::RegisterConsoleCommands()
{
    Scheduler::Instance().RegisterFunction(
        "WriteToConsole", Loki::NewFunctor(this, &ConsoleInterface::WriteToConsole).release());
    RegisterCommand("commands", Loki::NewFunctor(this, &ConsoleInterface::ListCommands).release(),
                    "A Global Command Listing");
}

bool ConsoleInterface::RegisterCommand(const std::string& name, Loki::BaseFunctor* functor,
                                       const std::string& help, bool lastStringOptional)
{
    if (m_commands.FindFunction(name) != nullptr)
    {
        // A part that starts again (a second Init) registers its commands again, word for word:
        // that is no conflict. Another command under a taken name would never run, while its help
        // text told the player it does.
        const auto held = FindHelpText(name);
        const bool again = held != m_helpTexts.end() && held->first == name && held->second == help;
        const std::string what = "ConsoleInterface::RegisterCommand: \"" + name +
                                 "\" is taken by another command (names ignore case); the first one stays";
        DORVO_ASSERT(again, what.c_str());
        m_commands.RegisterFunction(name, functor); // refused, and so deleted
        return false;
    }
    if (!m_commands.RegisterFunction(name, functor))
        return false;
    m_helpTexts[name] = help;
    if (lastStringOptional)
        m_optionalLastString.insert(ToLowerCopy(name));
    return true;
}

bool ConsoleInterface::UnregisterCommand(const std::string& name)
{
    if (!m_commands.UnregisterFunction(name))
        return false;
    const auto held = FindHelpText(name);
    if (held != m_helpTexts.end())
        m_helpTexts.erase(held);
    m_optionalLastString.erase(ToLowerCopy(name));
    return true;
}

std::map<std::string, std::string>::const_iterator
ConsoleInterface::FindHelpText(const std::string& name) const
{
    const std::string key = ToLowerCopy(name);
    for (auto entry = m_helpTexts.begin(); entry != m_helpTexts.end(); ++entry)
        if (ToLowerCopy(entry->first) == key)
            return entry;
    return m_helpTexts.end();
}

ConsoleInterface::LineHook ConsoleInterface::SetLineHook(LineHook hook)
{
    const LineHook previous = s_lineHook;
    s_lineHook = hook;
    return previous;
}

void ConsoleInterface::WriteToConsole(std::string line, Function_Flags flags, bool report)
{
    if (s_lineHook)
        s_lineHook(line, flags);
    if (m_outputLines.size() > m_maxOutputLines)
        m_outputLines.pop_front();
    if (flags == FF_Execute && !line.empty())
        Execute(line, report);
    if (flags == FF_Display && line.compare(0, 6, "ERROR:") == 0)
        ++s_refusals;
    if (report || flags == FF_Display)
        AddOutputLine(">" + line);
}

std::size_t ConsoleInterface::GetRefusalCount()
{
    return s_refusals;
}

void ConsoleInterface::AddOutputLine(const std::string& line)
{
    if (line.size() <= kMaxLineChars)
        m_outputLines.push_back(line);
    else
        m_outputLines.push_back(line.substr(0, kLineHeadChars) + " [... " +
                                std::to_string(line.size() - kLineHeadChars - kLineTailChars) +
                                " characters cut] " + line.substr(line.size() - kLineTailChars));
    m_outputChanged = true;
}

void ConsoleInterface::ClearOutput()
{
    m_outputLines.clear();
    m_outputChanged = true;
}

void ConsoleInterface::ClearHistory()
{
    m_history.clear();
    m_inputLine.clear();
    m_cursor = 0;
    m_inputFullShown = false;
}

void ConsoleInterface::Execute(const std::string& line, bool report)
{
    const std::vector<std::string> tokens = Tokenize(line, " ");
    if (tokens.empty())
        return;
    if (tokens[0] == "help")
        ShowHelp(tokens);
    else if (tokens[0] == "obj")
        CallObject(tokens, report);
    else
        CallCommand(tokens, report);
}

void ConsoleInterface::ShowHelp(const std::vector<std::string>& tokens)
{
    if (tokens.size() < 2)
    {
        WriteToConsole(kGeneralHelp, FF_Display, false);
        return;
    }
    // An unknown name shows an empty line; it is not entered, so "commands" lists only real help.
    const auto found = m_helpTexts.find(tokens[1]);
    WriteToConsole(found != m_helpTexts.end() ? found->second : std::string(), FF_Display, false);
}

void ConsoleInterface::CallObject(const std::vector<std::string>& tokens, bool report)
{
    if (tokens.size() < 2)
        return;
    const std::vector<std::string> target = Tokenize(tokens[1], ".");
    if (target.size() != 2)
        return;
    if (!s_objectCallHook)
        return;
    const std::vector<Argument> arguments = TypeTokens(tokens, 2);
    if (!FitsOnStack(arguments))
    {
        if (report)
            WriteToConsole(MismatchLine(target[1]), FF_Display, false);
        return;
    }
    ParamStack params;
    PushArguments(arguments, params);
    s_objectCallHook(target[0], target[1], params, report);
}

void ConsoleInterface::CallCommand(const std::vector<std::string>& tokens, bool report)
{
    const std::string& name = tokens[0];
    Loki::BaseFunctor* functor = m_commands.FindFunction(name);
    std::vector<Argument> arguments = TypeTokens(tokens, 1);
    ParamStack params;
    if (!functor)
    {
        m_commands.Call(name, &params, report); // reports that it does not exist
        return;
    }
    if (!FitsOnStack(arguments))
    {
        if (report)
            WriteToConsole(MismatchLine(name), FF_Display, false);
        return;
    }
    const std::uint64_t expected = functor->GetSignature();
    // A left-out optional last string: the line has every argument but that one.
    const std::size_t missing = arguments.size();
    if (SignatureOf(arguments) != expected && missing < ParamStack::kMaxValues &&
        m_optionalLastString.count(ToLowerCopy(name)) != 0 &&
        (expected >> (8 * missing)) == ParamStack::TAG_String)
    {
        arguments.push_back(Argument());
        if (!FitsOnStack(arguments))
            arguments.pop_back();
    }
    if (SignatureOf(arguments) != expected)
    {
        std::vector<Argument> retyped = RetypeFor(arguments, expected);
        if (SignatureOf(retyped) == expected)
            arguments.swap(retyped);
    }
    PushArguments(arguments, params);
    m_commands.Call(name, &params, report);
}

void ConsoleInterface::ListCommands()
{
    for (const auto& entry : m_helpTexts)
        WriteToConsole(entry.first + " - " + entry.second, FF_Display, false);
}

bool ConsoleInterface::HandleInput(const dorvo::input::InputEvent& event)
{
    using namespace dorvo::input;
    if (event.code == KEY_GRAVE)
        return false;

    if (event.code == TEXT_INPUT)
    {
        // The console's own key types its character on some layouts: it opens and closes the
        // console and is never part of a line.
        const std::string typed =
            event.value != '`' ? EncodeUtf8(static_cast<std::uint32_t>(event.value)) : std::string();
        if (typed.empty())
            return true;
        if (m_inputLine.size() + typed.size() <= kMaxInputChars)
        {
            m_inputLine.insert(m_cursor, typed);
            m_cursor += static_cast<std::uint32_t>(typed.size());
        }
        else if (!m_inputFullShown)
        {
            m_inputFullShown = true;
            WriteToConsole("ERROR: a console line holds at most " + std::to_string(kMaxInputChars) +
                               " characters; the rest is not typed",
                           FF_Display, false);
        }
        return true;
    }

    if (event.value == 1)
    {
        switch (event.code)
        {
        case KEY_RETURN:
            m_enterPressed = true;
            break;
        case KEY_LSHIFT:
        case KEY_RSHIFT:
            m_shiftHeld = true;
            break;
        case KEY_UP:
            m_upPressed = true;
            break;
        case KEY_DOWN:
            m_downPressed = true;
            break;
        case KEY_LEFT: // wraps from the start to the end of the line
            m_cursor = m_cursor == 0 ? static_cast<std::uint32_t>(m_inputLine.size())
                                     : static_cast<std::uint32_t>(PreviousCharacter(m_inputLine, m_cursor));
            break;
        case KEY_RIGHT:
            m_cursor = m_cursor >= m_inputLine.size()
                           ? 0
                           : static_cast<std::uint32_t>(NextCharacter(m_inputLine, m_cursor));
            break;
        default:
            break;
        }

        // Characters come as typed text; of the keys only Backspace edits.
        if (ScanCodeToChar(event, 0) == 8)
        {
            // Backspace works only on lines that fit the console window's input strip.
            if (!m_inputLine.empty() && Utf8Length(m_inputLine) <= m_inputLineWidth)
            {
                const std::size_t at = m_cursor > 0 ? m_cursor : NextCharacter(m_inputLine, 0);
                const std::size_t from = PreviousCharacter(m_inputLine, at);
                m_inputLine.erase(from, at - from);
                m_cursor = static_cast<std::uint32_t>(m_cursor > 0 ? from : 0);
            }
        }
        return true;
    }

    if (event.value != 0)
        return false;

    switch (event.code)
    {
    case KEY_RETURN:
        if (m_enterPressed)
        {
            const std::string line = m_inputLine;
            m_history.push_back(line);
            if (m_history.size() > kMaxHistoryLines)
                m_history.pop_front();
            m_inputLine.clear();
            m_inputFullShown = false;
            m_cursor = 0;
            m_enterPressed = false;
            WriteToConsole(line, FF_Execute, true);
        }
        return true;
    case KEY_UP:
        if (m_upPressed)
        {
            HistoryBack();
            m_upPressed = false;
        }
        return true;
    case KEY_DOWN:
        if (m_downPressed)
        {
            HistoryForward();
            m_downPressed = false;
        }
        return true;
    case KEY_LSHIFT:
    case KEY_RSHIFT:
        m_shiftHeld = false;
        return false;
    case KEY_BACK:
        return true;
    default:
        return false;
    }
}

void ConsoleInterface::HistoryBack()
{
    if (m_history.empty())
        return;
    if (m_inputLine == m_history.front())
        m_history.splice(m_history.end(), m_history, m_history.begin());
    m_inputLine = m_history.front();
    m_inputFullShown = false;
    m_history.splice(m_history.end(), m_history, m_history.begin());
    m_cursor = static_cast<std::uint32_t>(m_inputLine.size());
}

void ConsoleInterface::HistoryForward()
{
    if (m_history.empty())
        return;
    if (m_inputLine == m_history.back())
        m_history.splice(m_history.begin(), m_history, std::prev(m_history.end()));
    m_inputLine = m_history.back();
    m_inputFullShown = false;
    m_history.splice(m_history.begin(), m_history, std::prev(m_history.end()));
    m_cursor = static_cast<std::uint32_t>(m_inputLine.size());
}
} // namespace common
