// Generalised functors: free functions, function objects and member functions bound into objects
// that code calls with typed arguments, or the by-name machinery calls with the arguments on a
// ParamStack. A Functor owns its implementation (one of the handlers below) and clones it when
// copied. Every Functor is a Loki::BaseFunctor, so functors of any signature share one table.
//
//   Loki::Functor<void, Loki::Seq<std::string, bool>> f(&console, &ConsoleInterface::Show);
//   Loki::Functor<unsigned> getter(&GridComp::GetSpanX); // object supplied at each CallOnObject
//   registry.RegisterFunction("show", Loki::NewFunctor(&console, &ConsoleInterface::Show));
#pragma once

#include "common/Assert.h"
#include "common/ParamStack.h"
#include "common/loki/BaseFunctor.h"
#include "common/loki/Typelist.h"

#include <cstddef>
#include <memory>
#include <new>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

namespace Loki
{
namespace Private
{
// ---- Signatures and the trip through a ParamStack ----

template <class Pack> struct SignatureOf;
template <class... Ps> struct SignatureOf<Pack<Ps...>>
{
    static constexpr std::uint64_t Compute()
    {
        const std::uint8_t tags[] = {ParamTypeTag<std::decay_t<Ps>>::value..., 0};
        std::uint64_t signature = 0;
        for (std::size_t i = 0; i < sizeof...(Ps) && i < ParamStack::kMaxValues; ++i)
            signature |= static_cast<std::uint64_t>(tags[i]) << (8 * i);
        return signature;
    }
    static constexpr std::uint64_t value = Compute();
};

// How one parameter waits between its pop and the call: C text is held in a std::string.
template <class P> struct StackArg
{
    typedef std::decay_t<P> Decayed;
    typedef std::conditional_t<std::is_same_v<Decayed, const char*>, std::string, Decayed> Local;
};

template <class P, class L> decltype(auto) PassArg(L& local)
{
    if constexpr (std::is_same_v<std::decay_t<P>, const char*>)
        return local.c_str();
    else
        return static_cast<P&&>(local); // forwards: moves into by-value parameters
}

template <class R> constexpr bool ResultOnStack()
{
    if constexpr (std::is_void_v<R>)
        return true;
    else
        return ParamTypeTag<std::decay_t<R>>::onStack;
}

template <class R, class... Ps> constexpr bool StackCallable()
{
    return sizeof...(Ps) <= ParamStack::kMaxValues && (ParamTypeTag<std::decay_t<Ps>>::onStack && ...) &&
           ResultOnStack<R>();
}

template <class R, class... Ps, class Call, std::size_t... I>
void CallThroughStackImpl(ParamStack& params, Call& call, std::index_sequence<I...>)
{
    constexpr std::size_t count = sizeof...(Ps);
    std::tuple<typename StackArg<Ps>::Local...> locals;
    // Last parameter first: the fold runs left to right over I = 0, 1, ...
    (params.Pop(std::get<count - 1 - I>(locals)), ...);
    (void)locals;
    if constexpr (std::is_void_v<R>)
        call(PassArg<Ps>(std::get<I>(locals))...);
    else
    {
        const std::decay_t<R> result = call(PassArg<Ps>(std::get<I>(locals))...);
        params.Push(result);
    }
}

// Pops the parameters, calls `call` with them and pushes its result. The caller has checked the
// signature; parameter kinds that cannot travel on a stack and overflowed stacks are refused.
template <class R, class... Ps, class Call> void CallThroughStack(ParamStack& params, Call&& call)
{
    if constexpr (!StackCallable<R, Ps...>())
    {
        (void)params;
        (void)call;
        DORVO_ASSERT(false,
                     "Loki::Functor::CallWithParams - These parameters cannot be taken from a ParamStack.");
    }
    else
    {
        if (!DORVO_ASSERT(!params.IsOverflowed(),
                          "Loki::Functor::CallWithParams - The ParamStack overflowed; the call is refused."))
            return;
        CallThroughStackImpl<R, Ps...>(params, call, std::index_sequence_for<Ps...>{});
    }
}

// ---- Deducing a functor type from a function or member pointer ----

template <class F> struct FunTraits;
template <class R, class... Ps> struct FunTraits<R (*)(Ps...)>
{
    typedef R Result;
    typedef Seq<Ps...> Params;
};
template <class R, class... Ps> struct FunTraits<R (*)(Ps...) noexcept> : FunTraits<R (*)(Ps...)>
{
};

template <class F> struct MemFnTraits;
template <class C, class R, class... Ps> struct MemFnTraits<R (C::*)(Ps...)>
{
    typedef C Class;
    typedef R Result;
    typedef Seq<Ps...> Params;
};
template <class C, class R, class... Ps>
struct MemFnTraits<R (C::*)(Ps...) const> : MemFnTraits<R (C::*)(Ps...)>
{
};
template <class C, class R, class... Ps>
struct MemFnTraits<R (C::*)(Ps...) noexcept> : MemFnTraits<R (C::*)(Ps...)>
{
};
template <class C, class R, class... Ps>
struct MemFnTraits<R (C::*)(Ps...) const noexcept> : MemFnTraits<R (C::*)(Ps...)>
{
};

template <class R> class FunctorImplBase
{
public:
    typedef R ResultType;
    virtual ~FunctorImplBase() = default;
    virtual FunctorImplBase* Clone() const = 0;
};

template <class R> R DefaultResult()
{
    if constexpr (!std::is_void_v<R>)
        return R(); // 0, null, "", the zero vector
}
} // namespace Private

// The implementation behind a Functor of result R and parameter pack Ps.
template <class R, class PackT> class FunctorImpl;
template <class R, class... Ps>
class FunctorImpl<R, Private::Pack<Ps...>> : public Private::FunctorImplBase<R>
{
public:
    FunctorImpl* Clone() const override = 0;
    virtual R operator()(Ps... args) = 0;
    virtual void CallOnObject(void* object, ParamStack& params) = 0;
};

// A free function or function object.
template <class ParentFunctor, class Fun, class PackT = typename ParentFunctor::ParmPack>
class FunctorHandler;
template <class ParentFunctor, class Fun, class... Ps>
class FunctorHandler<ParentFunctor, Fun, Private::Pack<Ps...>> : public ParentFunctor::Impl
{
public:
    typedef typename ParentFunctor::ResultType ResultType;

    explicit FunctorHandler(const Fun& fun) : m_Fun(fun) {}
    FunctorHandler* Clone() const override { return new (std::nothrow) FunctorHandler(*this); }
    ResultType operator()(Ps... args) override
    {
        if constexpr (std::is_void_v<ResultType>)
            m_Fun(std::forward<Ps>(args)...);
        else
            return m_Fun(std::forward<Ps>(args)...);
    }
    void CallOnObject(void*, ParamStack&) override {}

private:
    Fun m_Fun;
};

// A member function together with the object (raw or smart pointer) it is called on.
template <class ParentFunctor, class PointerToObj, class PointerToMemFn,
          class PackT = typename ParentFunctor::ParmPack>
class MemFunHandler;
template <class ParentFunctor, class PointerToObj, class PointerToMemFn, class... Ps>
class MemFunHandler<ParentFunctor, PointerToObj, PointerToMemFn, Private::Pack<Ps...>>
    : public ParentFunctor::Impl
{
public:
    typedef typename ParentFunctor::ResultType ResultType;

    MemFunHandler(const PointerToObj& pObj, PointerToMemFn pMemFn) : m_pObj(pObj), m_pMemFn(pMemFn) {}
    MemFunHandler* Clone() const override { return new (std::nothrow) MemFunHandler(*this); }
    ResultType operator()(Ps... args) override
    {
        if constexpr (std::is_void_v<ResultType>)
            ((*m_pObj).*m_pMemFn)(std::forward<Ps>(args)...);
        else
            return ((*m_pObj).*m_pMemFn)(std::forward<Ps>(args)...);
    }
    void CallOnObject(void*, ParamStack&) override {}

private:
    PointerToObj m_pObj;
    PointerToMemFn m_pMemFn;
};

// A member function bound without an object: the object comes with each CallOnObject (by-name
// properties of components). The plain call has no object, so it does nothing and returns the
// result type's zero.
template <class Obj, class MemFn, class R, class TList, class PackT = typename Private::ToPack<TList>::Type>
class ObjMemFunHandler;
template <class Obj, class MemFn, class R, class TList, class... Ps>
class ObjMemFunHandler<Obj, MemFn, R, TList, Private::Pack<Ps...>>
    : public FunctorImpl<R, Private::Pack<Ps...>>
{
public:
    explicit ObjMemFunHandler(MemFn pMemFn) : m_pMemFn(pMemFn) {}
    ObjMemFunHandler* Clone() const override { return new (std::nothrow) ObjMemFunHandler(*this); }
    R operator()(Ps...) override { return Private::DefaultResult<R>(); }
    void CallOnObject(void* object, ParamStack& params) override
    {
        if (!DORVO_ASSERT(object != nullptr,
                          "Loki::ObjMemFunHandler::CallOnObject - No object to call the member on."))
            return;
        Obj* pObj = static_cast<Obj*>(object);
        MemFn pMemFn = m_pMemFn;
        Private::CallThroughStack<R, Ps...>(params,
                                            [pObj, pMemFn](auto&&... args) -> decltype(auto) {
                                                return (pObj->*pMemFn)(std::forward<decltype(args)>(args)...);
                                            });
    }

private:
    MemFn m_pMemFn;
};

namespace Private
{
// Gives Functor a call operator with the exact parameter types of its list.
template <class Derived, class R, class PackT> class FunctorCall;
template <class Derived, class R, class... Ps> class FunctorCall<Derived, R, Pack<Ps...>>
{
public:
    R operator()(Ps... args) const
    {
        auto* pImpl = static_cast<const Derived&>(*this).GetImpl();
        if (!DORVO_ASSERT(pImpl != nullptr, "Loki::Functor::operator() - The functor has no implementation."))
            return DefaultResult<R>();
        return (*pImpl)(std::forward<Ps>(args)...);
    }
};

template <class R, class PackT> struct StackCall;
template <class R, class... Ps> struct StackCall<R, Pack<Ps...>>
{
    template <class Impl> static void Through(ParamStack& params, Impl& impl)
    {
        CallThroughStack<R, Ps...>(params,
                                   [&impl](auto&&... args) -> decltype(auto)
                                   { return impl(std::forward<decltype(args)>(args)...); });
    }
};
} // namespace Private

template <class R = void, class TList = NullType, template <class> class ThreadingModel = SingleThreaded>
class Functor
    : public BaseFunctor,
      public Private::FunctorCall<Functor<R, TList, ThreadingModel>, R, typename Private::ToPack<TList>::Type>
{
public:
    typedef R ResultType;
    typedef TList ParmList;
    typedef typename Private::ToPack<TList>::Type ParmPack;
    typedef FunctorImpl<R, ParmPack> Impl;

    Functor() = default;
    Functor(const Functor& rhs) : m_pImpl(rhs.m_pImpl ? rhs.m_pImpl->Clone() : nullptr) {}
    Functor& operator=(const Functor& rhs)
    {
        if (this != &rhs)
        {
            Impl* pCopy = rhs.m_pImpl ? rhs.m_pImpl->Clone() : nullptr;
            delete m_pImpl;
            m_pImpl = pCopy;
        }
        return *this;
    }
    ~Functor() override { delete m_pImpl; }

    // Takes ownership of a ready implementation.
    explicit Functor(std::unique_ptr<Impl> pImpl) : m_pImpl(pImpl.release()) {}

    // A free function or function object (FunctorHandler), or a member-function pointer alone
    // (ObjMemFunHandler, the object supplied at each CallOnObject).
    template <class Fun, class = std::enable_if_t<!std::is_same_v<std::decay_t<Fun>, Functor>>>
    Functor(Fun fun)
    {
        if constexpr (std::is_member_function_pointer_v<Fun>)
        {
            typedef typename Private::MemFnTraits<Fun>::Class Obj;
            m_pImpl = new (std::nothrow) ObjMemFunHandler<Obj, Fun, R, ParmPack>(fun);
        }
        else
            m_pImpl = new (std::nothrow) FunctorHandler<Functor, Fun>(fun);
    }

    // A member function on an object (raw or smart pointer): MemFunHandler.
    template <class PointerToObj, class PointerToMemFn>
    Functor(const PointerToObj& pObj, PointerToMemFn pMemFn)
        : m_pImpl(new (std::nothrow) MemFunHandler<Functor, PointerToObj, PointerToMemFn>(pObj, pMemFn))
    {
    }

    explicit operator bool() const { return m_pImpl != nullptr; }
    Impl* GetImpl() const { return m_pImpl; }

    void CallOnObject(void* object, ParamStack& params) override
    {
        if (DORVO_ASSERT(m_pImpl != nullptr,
                         "Loki::Functor::CallOnObject - The functor has no implementation."))
            m_pImpl->CallOnObject(object, params);
    }
    void CallWithParams(ParamStack& params) override
    {
        if (DORVO_ASSERT(m_pImpl != nullptr,
                         "Loki::Functor::CallWithParams - The functor has no implementation."))
            Private::StackCall<R, ParmPack>::Through(params, *m_pImpl);
    }
    std::uint64_t GetSignature() const override { return Private::SignatureOf<ParmPack>::value; }

private:
    Impl* m_pImpl = nullptr; // owned; null only when its allocation failed
};

// Heap functors typed from the bound function, for registration code that hands them to a
// registry: RegisterFunction("name", Loki::NewFunctor(this, &Class::Member)).
template <class PointerToObj, class PointerToMemFn>
auto NewFunctor(const PointerToObj& pObj, PointerToMemFn pMemFn)
{
    typedef Private::MemFnTraits<PointerToMemFn> Traits;
    typedef Functor<typename Traits::Result, typename Traits::Params> F;
    return std::unique_ptr<F>(new F(pObj, pMemFn));
}
template <class PointerToMemFn> auto NewObjFunctor(PointerToMemFn pMemFn)
{
    typedef Private::MemFnTraits<PointerToMemFn> Traits;
    typedef Functor<typename Traits::Result, typename Traits::Params> F;
    return std::unique_ptr<F>(new F(pMemFn));
}
template <class R, class... Ps> auto NewFunctor(R (*pFun)(Ps...))
{
    typedef Functor<R, Seq<Ps...>> F;
    return std::unique_ptr<F>(new F(pFun));
}
} // namespace Loki
