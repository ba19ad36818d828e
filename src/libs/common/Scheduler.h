// Runs functions by name after a delay: a caller names a function registered with the scheduler,
// hands over its arguments on a heap ParamStack and a delay in seconds; Update, called once a
// frame with the frame time, calls every entry whose time has run out and frees it. The scheduler
// owns its registered functors and its entries with their argument stacks.
#pragma once

#include "common/FunctionRegistry.h"

#include <list>
#include <memory>
#include <string>

class ParamStack;
namespace Loki
{
class BaseFunctor;
}

namespace common
{
class Scheduler
{
public:
    // The one scheduler of the process, created on first use and destroyed at exit.
    static Scheduler& Instance();

    Scheduler();
    ~Scheduler();
    Scheduler(const Scheduler&) = delete;
    Scheduler& operator=(const Scheduler&) = delete;

    // Makes a function schedulable by name (the console registers "WriteToConsole" here). Takes
    // ownership; a name already present keeps its first functor and the new one is deleted.
    bool RegisterFunction(const std::string& name, Loki::BaseFunctor* functor);

    // Schedules a registered function with `arguments` (a heap stack) after `delay` seconds.
    // When the name is registered the entry takes ownership of the arguments and true is
    // returned; otherwise nothing is scheduled and the arguments stay the caller's.
    bool ScheduleByName(const std::string& name, ParamStack* arguments, float delay);
    // RegisterFunction(name, functor), then ScheduleByName(name, arguments, delay).
    bool ScheduleFunction(const std::string& name, float delay, Loki::BaseFunctor* functor,
                          ParamStack* arguments);

    // Once a frame with the frame time in seconds (usually 1/30). Due entries (time 0 or less)
    // run first, in time order, then every remaining entry's time drops by `elapsed`: an entry
    // with delay 0 runs at the next update, one with delay d at the first update after the
    // elapsed times have added up to at least d. A function run here may schedule new entries;
    // those already due run in the same update.
    void Update(float elapsed);

    // Registers the console command "TestScheduler" with the console.
    void RegisterConsoleCommands();
    // The "TestScheduler" command: "WriteToConsole" of "Test 1" .. "Test 5" after 1 .. 5 seconds.
    void TestScheduler();

    std::size_t GetEntryCount() const { return m_Entries.size(); }
    FunctionRegistry& GetRegistry() { return m_Registry; }

private:
    struct Entry
    {
        std::string m_Name;
        std::unique_ptr<ParamStack> m_pArguments;
        float m_Time = -1.0f; // seconds left
    };

    FunctionRegistry m_Registry;
    std::list<std::unique_ptr<Entry>> m_Entries; // ascending time; equal times in scheduling order
};
} // namespace common
