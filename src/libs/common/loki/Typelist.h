// Parameter lists of the functor library. A list is written as Loki::Seq<P1, ..., Pn> (up to 20
// types) or spelled out as nested Loki::Typelist<Head, Tail> ending in Loki::NullType; both name
// the same parameters. Loki::Private::ToPack turns either form into a flat pack for the templates.
#pragma once

namespace Loki
{
class NullType
{
};

template <class H, class T> struct Typelist
{
    typedef H Head;
    typedef T Tail;
};

template <class... Ts> struct Seq;
template <> struct Seq<>
{
    typedef NullType Type;
};
template <class T, class... Ts> struct Seq<T, Ts...>
{
    static_assert(sizeof...(Ts) < 20, "Loki::Seq takes at most 20 types");
    typedef Typelist<T, typename Seq<Ts...>::Type> Type;
};

// The threading policy of every instantiation: the program runs its calls on one thread.
template <class Host> struct SingleThreaded
{
};

namespace Private
{
template <class... Ts> struct Pack
{
};

template <class TList> struct ToPack;
template <> struct ToPack<NullType>
{
    typedef Pack<> Type;
};
template <class... Ts> struct ToPack<Pack<Ts...>>
{
    typedef Pack<Ts...> Type;
};
template <class... Ts> struct ToPack<Seq<Ts...>>
{
    typedef Pack<Ts...> Type;
};
template <class H, class T> struct ToPack<Typelist<H, T>>
{
private:
    template <class Rest> struct Prepend;
    template <class... Ts> struct Prepend<Pack<Ts...>>
    {
        typedef Pack<H, Ts...> Type;
    };

public:
    typedef typename Prepend<typename ToPack<T>::Type>::Type Type;
};
} // namespace Private
} // namespace Loki
