#include "common/loki/Functor.h"

#include "common/FunctionFlags.h"
#include "common/ParamStack.h"
#include "common/math/Quaternion.h"
#include "common/math/Vector3.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace
{
// What the last bound function received, written out as text.
std::string g_Received;

std::string Text(const math::Vector3& v)
{
    std::ostringstream out;
    out << "(" << v.x << "," << v.y << "," << v.z << ")";
    return out.str();
}

void NoArguments()
{
    g_Received = "none";
}

int Subtract(int a, int b)
{
    g_Received = std::to_string(a) + "-" + std::to_string(b);
    return a - b;
}

unsigned Twice(unsigned value)
{
    g_Received = std::to_string(value);
    return value * 2u;
}

// A console-like object with members of the kinds the console and the managers bind.
class Target
{
public:
    float Scale(float value, bool negate)
    {
        g_Received = std::to_string(value) + (negate ? " neg" : " pos");
        return negate ? -value * 2.0f : value * 2.0f;
    }
    std::string Join(const std::string& a, std::string b, const char* c)
    {
        g_Received = a + "|" + b + "|" + c;
        return a + b + c;
    }
    void Show(std::string line, common::Function_Flags flags, bool report)
    {
        g_Received = line + " " + std::to_string(flags) + (report ? " report" : " quiet");
    }
    math::Vector3 Offset(const math::Vector3& v, float by, const float* extra) const
    {
        g_Received = Text(v) + " " + std::to_string(by) + " " + std::to_string(*extra);
        return math::Vector3(v.x + by, v.y + by, v.z + *extra);
    }
    Gob* Choose(Gob* gob, unsigned index)
    {
        g_Received = std::to_string(index);
        return index == 0 ? gob : nullptr;
    }
    math::Quaternion Conjugate(const math::Quaternion& q)
    {
        g_Received = std::to_string(q.w);
        return math::Quaternion(q.w, -q.x, -q.y, -q.z);
    }
    int* Advance(int* p)
    {
        g_Received = std::to_string(*p);
        return p + 1;
    }
};

// A component-like object whose properties are called by name with the object supplied.
class Prop
{
public:
    void SetPosition(const math::Vector3& p, bool keepTree)
    {
        m_Position = p;
        m_KeepTree = keepTree;
    }
    math::Vector3 GetPosition() const { return m_Position; }
    unsigned GetSpan() const { return 17u; }
    void SetSpan(int span) { m_Span = span; }

    math::Vector3 m_Position;
    bool m_KeepTree = false;
    int m_Span = 0;
};

struct Hull
{
    virtual ~Hull() = default;
    virtual int Index() const = 0;
};

struct TaggedHull
{
};
} // namespace

// A class that never travels on a stack may still choose the tag its signatures show.
template <> struct ParamTypeTag<TaggedHull>
{
    static constexpr std::uint8_t value = 0x44;
    static constexpr bool onStack = false;
};

TEST(Functor, SignatureAndRoundTripThroughTheStackForEveryFamily)
{
    Target target;
    int numbers[2] = {41, 42};
    const float extra = 0.25f;
    Gob* gob = reinterpret_cast<Gob*>(&numbers[0]);

    struct Case
    {
        const char* family;
        std::unique_ptr<Loki::BaseFunctor> functor;
        std::uint64_t signature;
        std::function<void(ParamStack&)> push;
        std::string received;
        std::uint8_t resultTag; // 0: no result
        std::function<void(ParamStack&)> popResult;
    };
    std::vector<Case> cases;
    cases.push_back({"free, no parameters", Loki::NewFunctor(&NoArguments), 0u, [](ParamStack&) {}, "none", 0,
                     [](ParamStack&) {}});
    cases.push_back({"free, int int -> int", Loki::NewFunctor(&Subtract), 0xCBCBu,
                     [](ParamStack& s)
                     {
                         s.Push(-7);
                         s.Push(3);
                     },
                     "-7-3", 203,
                     [](ParamStack& s)
                     {
                         int r = 0;
                         s.Pop(r);
                         EXPECT_EQ(r, -10);
                     }});
    cases.push_back({"free through a Seq, unsigned -> unsigned",
                     std::make_unique<Loki::Functor<unsigned, Loki::Seq<unsigned>>>(&Twice), 0xCFu,
                     [](ParamStack& s) { s.Push(21u); }, "21", 207,
                     [](ParamStack& s)
                     {
                         unsigned r = 0;
                         s.Pop(r);
                         EXPECT_EQ(r, 42u);
                     }});
    cases.push_back(
        {"function object over a Typelist, int float -> bool",
         std::make_unique<Loki::Functor<bool, Loki::Typelist<int, Loki::Typelist<float, Loki::NullType>>>>(
             [](int a, float b)
             {
                 g_Received = std::to_string(a) + " " + std::to_string(b);
                 return a > b;
             }),
         0xD1CBu,
         [](ParamStack& s)
         {
             s.Push(2);
             s.Push(1.5f);
         },
         "2 1.500000", 211,
         [](ParamStack& s)
         {
             bool r = false;
             s.Pop(r);
             EXPECT_TRUE(r);
         }});
    cases.push_back({"member, float bool -> float", Loki::NewFunctor(&target, &Target::Scale), 0xD3D1u,
                     [](ParamStack& s)
                     {
                         s.Push(1.5f);
                         s.Push(true);
                     },
                     "1.500000 neg", 209,
                     [](ParamStack& s)
                     {
                         float r = 0;
                         s.Pop(r);
                         EXPECT_EQ(r, -3.0f);
                     }});
    cases.push_back({"member, strings of three kinds -> string", Loki::NewFunctor(&target, &Target::Join),
                     0xD4D4D4u,
                     [](ParamStack& s)
                     {
                         s.PushString("ab");
                         s.PushString("");
                         s.PushCString("cd");
                     },
                     "ab||cd", 212,
                     [](ParamStack& s)
                     {
                         std::string r;
                         s.Pop(r);
                         EXPECT_EQ(r, "abcd");
                     }});
    cases.push_back({"member, string flags bool -> void", Loki::NewFunctor(&target, &Target::Show), 0xD304D4u,
                     [](ParamStack& s)
                     {
                         s.PushString("Test 1");
                         s.Push(common::FF_Execute);
                         s.Push(false);
                     },
                     "Test 1 1 quiet", 0, [](ParamStack&) {}});
    cases.push_back({"const member, const Vector3& float const float* -> Vector3",
                     Loki::NewFunctor(&target, &Target::Offset), 0x04D118u,
                     [&extra](ParamStack& s)
                     {
                         s.Push(math::Vector3(1.0f, 2.0f, 3.0f));
                         s.Push(0.5f);
                         s.Push(&extra);
                     },
                     "(1,2,3) 0.500000 0.250000", 24,
                     [](ParamStack& s)
                     {
                         math::Vector3 r;
                         s.PopVector3(r);
                         EXPECT_EQ(Text(r), "(1.5,2.5,3.25)");
                     }});
    cases.push_back({"member, Gob* unsigned -> Gob*", Loki::NewFunctor(&target, &Target::Choose), 0xCFD9u,
                     [gob](ParamStack& s)
                     {
                         s.Push(gob);
                         s.Push(0u);
                     },
                     "0", 217,
                     [gob](ParamStack& s)
                     {
                         Gob* r = nullptr;
                         s.Pop(r);
                         EXPECT_EQ(r, gob);
                     }});
    cases.push_back({"member, const Quaternion& -> Quaternion", Loki::NewFunctor(&target, &Target::Conjugate),
                     0x20u, [](ParamStack& s) { s.Push(math::Quaternion(1.0f, 2.0f, 3.0f, 4.0f)); },
                     "1.000000", 32,
                     [](ParamStack& s)
                     {
                         math::Quaternion r;
                         s.Pop(r);
                         EXPECT_EQ(r.w, 1.0f);
                         EXPECT_EQ(r.x, -2.0f);
                         EXPECT_EQ(r.z, -4.0f);
                     }});
    cases.push_back({"member, pointer -> pointer", Loki::NewFunctor(&target, &Target::Advance), 0x04u,
                     [&numbers](ParamStack& s) { s.Push(&numbers[0]); }, "41", 4,
                     [&numbers](ParamStack& s)
                     {
                         int* r = nullptr;
                         s.Pop(r);
                         EXPECT_EQ(r, &numbers[1]);
                     }});

    for (Case& c : cases)
    {
        SCOPED_TRACE(c.family);
        EXPECT_EQ(c.functor->GetSignature(), c.signature);
        ParamStack stack;
        c.push(stack);
        ASSERT_EQ(stack.GetSignature(), c.signature);
        g_Received.clear();
        c.functor->CallWithParams(stack);
        EXPECT_EQ(g_Received, c.received);
        // Only the result is left.
        EXPECT_EQ(stack.GetCount(), c.resultTag == 0 ? 0u : 1u);
        EXPECT_EQ(stack.GetSignature(), c.resultTag);
        c.popResult(stack);
        EXPECT_TRUE(stack.IsEmpty());
        EXPECT_EQ(stack.GetUsedBytes(), 0u);
    }
}

TEST(Functor, ObjectMemberHandlersCallTheObjectGivenAtEachCall)
{
    Prop a;
    Prop b;
    auto setter = Loki::NewObjFunctor(&Prop::SetPosition);
    auto getter = Loki::NewObjFunctor(&Prop::GetPosition);
    auto span = Loki::NewObjFunctor(&Prop::GetSpan);
    auto setSpan = Loki::NewObjFunctor(&Prop::SetSpan);
    EXPECT_EQ(setter->GetSignature(), 0xD318u);
    EXPECT_EQ(getter->GetSignature(), 0u);
    EXPECT_EQ(setSpan->GetSignature(), 0xCBu);

    ParamStack stack;
    stack.Push(math::Vector3(4.0f, 5.0f, 6.0f));
    stack.Push(true);
    setter->CallOnObject(&b, stack);
    EXPECT_TRUE(stack.IsEmpty());
    EXPECT_EQ(Text(b.m_Position), "(4,5,6)");
    EXPECT_TRUE(b.m_KeepTree);
    EXPECT_EQ(Text(a.m_Position), "(0,0,0)");

    // A getter leaves exactly its result: 12 bytes with tag 24.
    getter->CallOnObject(&b, stack);
    EXPECT_EQ(stack.GetSignature(), 24u);
    EXPECT_EQ(stack.GetUsedBytes(), 12u);
    math::Vector3 position;
    stack.PopVector3(position);
    EXPECT_EQ(Text(position), "(4,5,6)");

    span->CallOnObject(&a, stack);
    unsigned spanValue = 0;
    stack.Pop(spanValue);
    EXPECT_EQ(spanValue, 17u);

    stack.Push(-3);
    setSpan->CallOnObject(&a, stack);
    EXPECT_EQ(a.m_Span, -3);

    // The plain call has no object: it does nothing and returns the zero value.
    (*setter)(math::Vector3(9.0f, 9.0f, 9.0f), false);
    EXPECT_EQ(Text((*getter)()), "(0,0,0)");
    EXPECT_EQ((*span)(), 0u);
    EXPECT_EQ(Text(b.m_Position), "(4,5,6)");
    // So does CallWithParams, which has no object either.
    getter->CallWithParams(stack);
    math::Vector3 zero(1.0f, 1.0f, 1.0f);
    stack.PopVector3(zero);
    EXPECT_EQ(Text(zero), "(0,0,0)");
}

TEST(Functor, CallOnObjectOfBoundHandlersLeavesTheStackAlone)
{
    Target target;
    Loki::Functor<int, Loki::Seq<int, int>> free(&Subtract);
    Loki::Functor<float, Loki::Seq<float, bool>> member(&target, &Target::Scale);
    ParamStack stack;
    stack.Push(1);
    stack.Push(2);
    g_Received.clear();
    free.CallOnObject(&target, stack);
    member.CallOnObject(&target, stack);
    EXPECT_EQ(g_Received, "");
    EXPECT_EQ(stack.GetSignature(), 0xCBCBu);
    EXPECT_EQ(stack.GetUsedBytes(), 8u);
}

TEST(Functor, DirectCallsAndCopiesCloneTheImplementation)
{
    Target target;
    auto original =
        std::make_unique<Loki::Functor<std::string, Loki::Seq<const std::string&, std::string, const char*>>>(
            &target, &Target::Join);
    EXPECT_EQ((*original)("a", "b", "c"), "abc");
    Loki::Functor<std::string, Loki::Seq<const std::string&, std::string, const char*>> copy(*original);
    Loki::Functor<std::string, Loki::Seq<const std::string&, std::string, const char*>> assigned;
    EXPECT_FALSE(static_cast<bool>(assigned));
    assigned = copy;
    original.reset();
    EXPECT_EQ(copy("x", "y", "z"), "xyz");
    EXPECT_EQ(assigned("1", "2", "3"), "123");
    EXPECT_NE(copy.GetImpl(), assigned.GetImpl());

    Loki::Functor<bool, Loki::Seq<int>> lambda([](int v) { return v > 0; });
    EXPECT_TRUE(lambda(3));
    EXPECT_FALSE(lambda(-3));
}

TEST(Functor, RefusesStacksItCannotUse)
{
    testsupport::AssertCapture capture;

    // Two hull references, as in the collision pair table: tags 4 4, never taken from a stack.
    Loki::Functor<int, Loki::Typelist<Hull&, Loki::Typelist<Hull&, Loki::NullType>>> pair(
        [](Hull& a, Hull& b) { return a.Index() * 10 + b.Index(); });
    EXPECT_EQ(pair.GetSignature(), 0x0404u);
    Loki::Functor<int, Loki::Seq<TaggedHull&, TaggedHull&>> tagged([](TaggedHull&, TaggedHull&)
                                                                   { return 0; });
    EXPECT_EQ(tagged.GetSignature(), 0x4444u);
    int x = 0;
    ParamStack pointers;
    pointers.Push(&x);
    pointers.Push(&x);
    pair.CallWithParams(pointers);
    EXPECT_EQ(capture.Texts(),
              std::vector<std::string>{
                  "Loki::Functor::CallWithParams - These parameters cannot be taken from a ParamStack."});
    EXPECT_EQ(pointers.GetCount(), 2u);

    // An overflowed stack lacks an argument the caller meant to pass.
    capture.Clear();
    Loki::Functor<int, Loki::Seq<int, int>> subtract(&Subtract);
    ParamStack overflowed;
    for (int i = 0; i < 9; ++i)
        overflowed.Push(i);
    g_Received.clear();
    subtract.CallWithParams(overflowed);
    EXPECT_EQ(g_Received, "");
    ASSERT_EQ(capture.Texts().size(), 2u);
    EXPECT_EQ(capture.Texts()[1],
              "Loki::Functor::CallWithParams - The ParamStack overflowed; the call is refused.");
    EXPECT_EQ(overflowed.GetCount(), 8u);

    // An empty functor reports instead of crashing.
    capture.Clear();
    Loki::Functor<int, Loki::Seq<int>> empty;
    EXPECT_EQ(empty(5), 0);
    ParamStack one(1u);
    empty.CallWithParams(one);
    EXPECT_EQ(capture.Texts(), (std::vector<std::string>{
                                   "Loki::Functor::operator() - The functor has no implementation.",
                                   "Loki::Functor::CallWithParams - The functor has no implementation."}));
}
