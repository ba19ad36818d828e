// The common root of every bound functor, so functors of any signature can sit in one table
// (FunctionRegistry), be checked against a ParamStack by their 64-bit signature and be called
// through the stack. Whoever holds a BaseFunctor* owns it unless said otherwise.
#pragma once

#include <cstdint>

class ParamStack;

namespace Loki
{
class BaseFunctor
{
public:
    virtual ~BaseFunctor() = default;

    // Calls a member bound without an object (Loki::ObjMemFunHandler) on `object`, which must
    // point to an object of the handler's own class (pass that class's pointer, converted to
    // void*). Pops the arguments from `params` and pushes the result. Other handlers do nothing.
    virtual void CallOnObject(void* object, ParamStack& params) = 0;

    // Pops Pn first and P1 last, calls, then pushes the result unless it is void. The caller
    // has checked GetSignature against the stack's; an overflowed stack is refused.
    virtual void CallWithParams(ParamStack& params) = 0;

    // The tags of P1 ... Pn (ParamStack::TypeTag) with P1 in the lowest byte; 0 for no
    // parameters. Independent of the result type.
    virtual std::uint64_t GetSignature() const = 0;
};
} // namespace Loki
