#include "common/Scheduler.h"

#include "common/ConsoleInterface.h"
#include "common/FunctionFlags.h"
#include "common/ParamStack.h"
#include "common/loki/Functor.h"

namespace common
{
Scheduler& Scheduler::Instance()
{
    static Scheduler instance;
    return instance;
}

Scheduler::Scheduler() = default;

Scheduler::~Scheduler() = default;

bool Scheduler::RegisterFunction(const std::string& name, Loki::BaseFunctor* functor)
{
    return m_Registry.RegisterFunction(name, functor);
}

bool Scheduler::ScheduleByName(const std::string& name, ParamStack* arguments, float delay)
{
    bool scheduled = false;
    if (m_Registry.FindFunction(name) != nullptr)
    {
        auto entry = std::make_unique<Entry>();
        entry->m_Name = name;
        entry->m_pArguments.reset(arguments);
        entry->m_Time = delay;
        m_Entries.push_back(std::move(entry));
        scheduled = true;
    }
    // std::list::sort is stable: equal times keep their scheduling order.
    m_Entries.sort([](const std::unique_ptr<Entry>& a, const std::unique_ptr<Entry>& b)
                   { return a->m_Time < b->m_Time; });
    return scheduled;
}

bool Scheduler::ScheduleFunction(const std::string& name, float delay, Loki::BaseFunctor* functor,
                                 ParamStack* arguments)
{
    m_Registry.RegisterFunction(name, functor);
    return ScheduleByName(name, arguments, delay);
}

void Scheduler::Update(float elapsed)
{
    // The due check comes before the subtraction.
    while (!m_Entries.empty() && m_Entries.front()->m_Time <= 0.0f)
    {
        std::unique_ptr<Entry> entry = std::move(m_Entries.front());
        m_Entries.pop_front();
        // A stack that does not fit its function is dropped without a word.
        m_Registry.Call(entry->m_Name, entry->m_pArguments.get(), false);
    }
    for (auto& entry : m_Entries)
        entry->m_Time -= elapsed;
}

void Scheduler::RegisterConsoleCommands()
{
    // Creates the console when it does not exist yet, so the order of the two registrations at
    // start-up does not matter.
    ConsoleInterface::Instance().RegisterCommand(
        "TestScheduler", Loki::NewFunctor(this, &Scheduler::TestScheduler).release(),
        "Tests the Scheduler Functions by creating a list of functions to execute");
}

void Scheduler::TestScheduler()
{
    for (int i = 1; i <= 5; ++i)
    {
        auto arguments = std::make_unique<ParamStack>();
        arguments->PushString("Test " + std::to_string(i));
        arguments->Push(FF_Display);
        arguments->Push(false);
        if (ScheduleByName("WriteToConsole", arguments.get(), static_cast<float>(i)))
            arguments.release();
    }
}
} // namespace common
