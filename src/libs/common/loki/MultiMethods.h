// Pieces of double dispatch over two class hierarchies: a cast policy and the stateless helper
// that a dispatch table cell wraps in a Functor. The helper casts both base references to the
// concrete classes it was made for and calls the pair function with them, in the order given, or
// swapped for the mirrored cell, so one pair function serves both (A, B) and (B, A).
#pragma once

#include <type_traits>

namespace Loki
{
template <class To, class From> struct StaticCaster
{
    static To& Cast(From& obj) { return static_cast<To&>(obj); }
};

namespace Private
{
// Fun is called as Fun(SomeLhs&, SomeRhs&). With SwapArgs the cell receives (rhs, lhs) from the
// dispatcher and turns it round; the result comes back unchanged, so it names its operands in
// Fun's order.
template <class BaseLhs, class BaseRhs, class SomeLhs, class SomeRhs, class ResultType, class CastLhs,
          class CastRhs, class Fun, bool SwapArgs>
class FunctorDispatcherHelper
{
public:
    FunctorDispatcherHelper(const Fun& fun) : m_Fun(fun) {}

    ResultType operator()(BaseLhs& lhs, BaseRhs& rhs)
    {
        if constexpr (SwapArgs)
            return m_Fun(CastLhs::Cast(rhs), CastRhs::Cast(lhs));
        else
            return m_Fun(CastLhs::Cast(lhs), CastRhs::Cast(rhs));
    }

private:
    Fun m_Fun;
};
} // namespace Private
} // namespace Loki
