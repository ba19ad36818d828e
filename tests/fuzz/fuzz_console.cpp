// Console lines and key events: commands of every argument type, "help", "commands", "obj A.B
// args" on live objects and the game-object commands, typed through WriteToConsole or key by key
// through HandleInput. Whole numbers a command receives must be what strtol reads. A command may
// leave its last string out; the graphics commands are there too.
// Bounded run: 120000 inputs
#include "FuzzSupport.h"

#include "common/ConsoleInterface.h"
#include "common/InputEvent.h"
#include "common/Scheduler.h"
#include "common/ValueText.h"
#include "common/loki/Functor.h"
#include "common/math/Vector3.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
struct Received
{
    bool called = false;
    long long number = 0;
} s_int, s_uint;

void TakeInt(int value)
{
    s_int.called = true;
    s_int.number = value;
}
void TakeUint(unsigned value)
{
    s_uint.called = true;
    s_uint.number = value;
}
void TakeFloat(float) {}
void TakeBool(bool) {}
void TakeString(std::string) {}
void TakeVector(math::Vector3) {}
void TakeOptional(int, std::string) {}
void TakeNothing() {}
int TakeMany(int a, float, std::string, math::Vector3, bool)
{
    return a;
}

const char* const kTemplate = "<File><Template><string>Thing</string><string>Thing</string>"
                              "<list size=\"3\"><string>POVComp</string><string>GridComp</string>"
                              "<string>StateMachineComponent</string></list><list size=\"0\"></list>"
                              "</Template></File>";

// Runs a line and checks what whole numbers reached the two number commands.
void RunLine(const std::string& line)
{
    s_int = Received();
    s_uint = Received();
    common::ConsoleInterface::Instance().WriteToConsole(line, common::FF_Execute, true);
    const std::vector<std::string> tokens = common::Tokenize(line, " ");
    if (tokens.size() != 2 || !common::IsIntegerText(tokens[1]))
        return;
    errno = 0;
    const long expected = std::strtol(tokens[1].c_str(), nullptr, 10);
    if (tokens[0] == "TakeInt")
    {
        FUZZ_CHECK(s_int.called, "TakeInt was not called with " + tokens[1]);
        FUZZ_CHECK(s_int.number == expected, tokens[1] + " arrived as " + std::to_string(s_int.number));
    }
    else if (tokens[0] == "TakeUint" && expected >= 0)
    {
        FUZZ_CHECK(s_uint.called, "TakeUint was not called with " + tokens[1]);
        FUZZ_CHECK(s_uint.number == expected, tokens[1] + " arrived as " + std::to_string(s_uint.number));
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::Init();
    fuzzsupport::InWorkFolder here;
    fuzzsupport::InitGameObjects();
    common::ConsoleInterface& console = common::ConsoleInterface::Instance();
    console.RegisterCommand("TakeInt", Loki::NewFunctor(&TakeInt).release(), "an int");
    console.RegisterCommand("TakeUint", Loki::NewFunctor(&TakeUint).release(), "an unsigned");
    console.RegisterCommand("TakeFloat", Loki::NewFunctor(&TakeFloat).release(), "a float");
    console.RegisterCommand("TakeBool", Loki::NewFunctor(&TakeBool).release(), "a bool");
    console.RegisterCommand("TakeString", Loki::NewFunctor(&TakeString).release(), "a string");
    console.RegisterCommand("TakeVector", Loki::NewFunctor(&TakeVector).release(), "a vector");
    console.RegisterCommand("TakeNothing", Loki::NewFunctor(&TakeNothing).release(), "nothing");
    console.RegisterCommand("TakeMany", Loki::NewFunctor(&TakeMany).release(), "five kinds");
    console.RegisterCommand("TakeOptional", Loki::NewFunctor(&TakeOptional).release(),
                            "an int and maybe a string", true);
    fuzzsupport::WriteFile("Thing.xml", kTemplate);
    GobManager::Instance().LoadTemplate("Thing.xml");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzsupport::InWorkFolder here;
    // The same world for every input: nothing scheduled, no key held, two named objects, an empty
    // console.
    common::Scheduler::Instance().Update(1e9f); // makes everything due
    common::Scheduler::Instance().Update(0.0f); // runs it
    for (std::uint32_t key : {28u, 200u, 208u, 42u, 54u})
    {
        dorvo::input::InputEvent up;
        up.code = key;
        up.value = 0;
        common::ConsoleInterface::Instance().HandleInput(up);
    }
    GobManager& manager = GobManager::Instance();
    manager.DestroyAllGobs();
    manager.CreateGob("Thing")->SetName("Alpha");
    manager.CreateGob("Thing")->SetName("Beta");
    common::ConsoleInterface& console = common::ConsoleInterface::Instance();
    console.ClearOutput();
    console.ClearHistory();

    FuzzedDataProvider input(data, size);
    while (input.remaining_bytes() > 0)
    {
        switch (input.ConsumeIntegralInRange(0, 3))
        {
        case 0:
            RunLine(input.ConsumeRandomLengthString(256));
            break;
        case 1:
            console.WriteToConsole(input.ConsumeRandomLengthString(256), common::FF_Display, false);
            break;
        default:
        {
            dorvo::input::InputEvent event;
            event.code = input.ConsumeBool() ? input.ConsumeIntegralInRange<std::uint32_t>(0, 300)
                                             : input.ConsumeIntegral<std::uint32_t>();
            event.value = input.ConsumeIntegralInRange(-1, 2);
            console.HandleInput(event);
            FUZZ_CHECK(console.GetCursor() <= console.GetInputLine().size(), "the cursor left the line");
            break;
        }
        }
        FUZZ_CHECK(console.GetOutputLines().size() <= 260, "the output list grows without limit");
    }
    return 0;
}
