#include "common/FunctionRegistry.h"

#include "common/ConsoleInterface.h"
#include "common/ParamStack.h"
#include "common/loki/BaseFunctor.h"

#include <optional>

std::string ToLowerCopy(const std::string& text)
{
    std::string lowered(text);
    for (char& c : lowered)
    {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lowered;
}

FunctionRegistry::FunctionRegistry() = default;

FunctionRegistry::~FunctionRegistry() = default;

bool FunctionRegistry::RegisterFunction(const std::string& name, Loki::BaseFunctor* functor)
{
    const std::string key = ToLowerCopy(name);
    auto found = m_Functions.find(key);
    if (found != m_Functions.end())
    {
        // The first registration stays. The refused functor was handed over, so it dies here,
        // unless it is the very one already held.
        if (found->second.get() != functor)
            delete functor;
        return false;
    }
    if (functor == nullptr)
        return false;
    m_Functions.emplace(key, std::unique_ptr<Loki::BaseFunctor>(functor));
    return true;
}

bool FunctionRegistry::RegisterFunction(const std::string& name, std::unique_ptr<Loki::BaseFunctor> functor)
{
    return RegisterFunction(name, functor.release());
}

bool FunctionRegistry::UnregisterFunction(const std::string& name)
{
    return m_Functions.erase(ToLowerCopy(name)) != 0;
}

Loki::BaseFunctor* FunctionRegistry::FindFunction(const std::string& name) const
{
    auto found = m_Functions.find(ToLowerCopy(name));
    return found == m_Functions.end() ? nullptr : found->second.get();
}

bool FunctionRegistry::Call(const std::string& name, ParamStack* params, bool report)
{
    return Dispatch(name, nullptr, false, params, report);
}

bool FunctionRegistry::CallOnObject(const std::string& name, void* object, ParamStack* params, bool report)
{
    return Dispatch(name, object, true, params, report);
}

bool FunctionRegistry::Dispatch(const std::string& name, void* object, bool onObject, ParamStack* params,
                                bool report)
{
    Loki::BaseFunctor* functor = FindFunction(name);
    if (functor == nullptr)
    {
        if (report)
            common::ConsoleInterface::ShowLine("Function: " + name + " does not exist.");
        return false;
    }

    // A page for the missing stack only when there is none: callers usually pass their own.
    std::optional<ParamStack> noArguments;
    if (params == nullptr)
        noArguments.emplace();
    ParamStack& stack = params != nullptr ? *params : *noArguments;
    // A stack that refused a push lacks arguments the caller meant to pass: never call with it.
    if (stack.IsOverflowed() || functor->GetSignature() != stack.GetSignature())
    {
        if (report)
            common::ConsoleInterface::ShowLine("Function: " + name +
                                               " parameter list does not match function prototype.");
        return false;
    }

    const std::size_t refusals = common::ConsoleInterface::GetRefusalCount();
    if (onObject)
        functor->CallOnObject(object, stack);
    else
        functor->CallWithParams(stack);
    // A function that said "ERROR: ..." refused: its own line is the report.
    if (report && common::ConsoleInterface::GetRefusalCount() == refusals)
        common::ConsoleInterface::ShowLine("Function: " + name + " called successfully.");
    return true;
}
