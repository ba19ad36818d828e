// Functions by name: bound functors under lower-cased names, called with their arguments on a
// ParamStack after the stack's signature has been checked against the functor's. The console
// keeps one for its commands, the scheduler one, every game-object controller one. The registry
// owns every functor it holds.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>

class ParamStack;
namespace Loki
{
class BaseFunctor;
}

// A copy with 'A'..'Z' lower-cased and every other character kept (the "C" locale's tolower).
std::string ToLowerCopy(const std::string& text);

class FunctionRegistry
{
public:
    FunctionRegistry();
    ~FunctionRegistry();
    FunctionRegistry(const FunctionRegistry&) = delete;
    FunctionRegistry& operator=(const FunctionRegistry&) = delete;

    // Takes ownership. A name already present (ignoring case) keeps its first functor; the refused
    // one is deleted, so handing a functor over never leaks it. Returns whether it was kept.
    bool RegisterFunction(const std::string& name, Loki::BaseFunctor* functor);
    bool RegisterFunction(const std::string& name, std::unique_ptr<Loki::BaseFunctor> functor);

    // Deletes the functor under the name (ignoring case); false when there is none. For owners
    // that go before the registry: a functor bound to an object must not outlive it.
    bool UnregisterFunction(const std::string& name);

    // The functor under the name, ignoring case, or null. The registry keeps ownership.
    Loki::BaseFunctor* FindFunction(const std::string& name) const;

    // Calls the function with the arguments on `params` when its signature matches the stack's;
    // the functor pops them and pushes its result onto `params`. With `report` set one line goes
    // to the console: "Function: <name> does not exist.", "Function: <name> parameter list does
    // not match function prototype." or "Function: <name> called successfully.", with the name as
    // the caller wrote it; a function that refused (it showed a line beginning "ERROR:") gets no
    // line after its own. A null `params` stands for an empty stack; an overflowed stack never
    // matches. Returns true when the function was called.
    bool Call(const std::string& name, ParamStack* params, bool report);
    // The same through Loki::BaseFunctor::CallOnObject: `object` is the member's own class.
    bool CallOnObject(const std::string& name, void* object, ParamStack* params, bool report);

    std::size_t GetCount() const { return m_Functions.size(); }

private:
    bool Dispatch(const std::string& name, void* object, bool onObject, ParamStack* params, bool report);

    std::unordered_map<std::string, std::unique_ptr<Loki::BaseFunctor>> m_Functions; // lower-cased keys
};
