#include "common/ParamStack.h"

#include "common/FunctionFlags.h"
#include "common/math/Quaternion.h"
#include "common/math/Vector3.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace
{
const char* const kUnderflow = "ParamStack::Pop - Stack pointer has gone beyond the start of the page!";
const char* const kTooManyValues = "ParamStack::Push - A stack holds at most 8 values.";
const char* const kTooManyBytes = "ParamStack::Push - A stack holds at most 512 bytes of values.";
} // namespace

TEST(ParamStack, NewStackIsEmpty)
{
    ParamStack stack;
    EXPECT_TRUE(stack.IsEmpty());
    EXPECT_EQ(stack.GetSignature(), 0u);
    EXPECT_EQ(stack.GetUsedBytes(), 0u);
    EXPECT_FALSE(stack.IsOverflowed());
}

TEST(ParamStack, UnsignedConstructorPushesOneValue)
{
    ParamStack stack(42u);
    EXPECT_EQ(stack.GetSignature(), 0xCFu);
    unsigned value = 0;
    stack.Pop(value);
    EXPECT_EQ(value, 42u);
    EXPECT_TRUE(stack.IsEmpty());
}

TEST(ParamStack, StringAndBoolLayoutAndRoundTrip)
{
    ParamStack stack;
    stack.PushString("abc");
    stack.Push(true);
    EXPECT_EQ(stack.GetUsedBytes(), 3u + 1u + 4u + 1u);
    EXPECT_EQ(stack.GetSignature(), 0xD3D4u);
    // Characters, NUL, count (little-endian), then the bool byte.
    const std::uint8_t expected[] = {'a', 'b', 'c', 0, 3, 0, 0, 0, 1};
    EXPECT_EQ(std::vector<std::uint8_t>(stack.GetPage()->m_Data, stack.GetPage()->m_Data + 9),
              std::vector<std::uint8_t>(expected, expected + 9));

    bool flag = false;
    std::string text;
    stack.Pop(flag);
    stack.PopString(text);
    EXPECT_TRUE(flag);
    EXPECT_EQ(text, "abc");
    EXPECT_TRUE(stack.IsEmpty());
    EXPECT_EQ(stack.GetUsedBytes(), 0u);
    for (unsigned i = 0; i < ParamStack::kMaxValues; ++i)
        EXPECT_EQ(stack.GetPage()->m_Tags[i], 0u) << i;
}

TEST(ParamStack, EveryKindKeepsItsTagSizeAndValue)
{
    int anchor = 0;
    Gob* gob = reinterpret_cast<Gob*>(&anchor);
    const float* floats = reinterpret_cast<const float*>(&anchor);

    struct Case
    {
        const char* kind;
        std::uint8_t tag;
        unsigned bytes;
        std::function<void(ParamStack&)> push;
        std::function<void(ParamStack&)> popAndCheck;
    };
    const std::vector<Case> cases = {
        {"int", 203, 4, [](ParamStack& s) { s.Push(-123456); },
         [](ParamStack& s)
         {
             int v = 0;
             s.Pop(v);
             EXPECT_EQ(v, -123456);
         }},
        {"unsigned", 207, 4, [](ParamStack& s) { s.Push(4000000000u); },
         [](ParamStack& s)
         {
             unsigned v = 0;
             s.Pop(v);
             EXPECT_EQ(v, 4000000000u);
         }},
        {"float", 209, 4, [](ParamStack& s) { s.Push(-2.5f); },
         [](ParamStack& s)
         {
             float v = 0;
             s.Pop(v);
             EXPECT_EQ(v, -2.5f);
         }},
        {"bool", 211, 1, [](ParamStack& s) { s.Push(false); },
         [](ParamStack& s)
         {
             bool v = true;
             s.Pop(v);
             EXPECT_FALSE(v);
         }},
        {"std::string", 212, 10, [](ParamStack& s) { s.Push(std::string("hello")); },
         [](ParamStack& s)
         {
             std::string v;
             s.Pop(v);
             EXPECT_EQ(v, "hello");
         }},
        {"C text", 212, 7, [](ParamStack& s) { s.Push("hi"); },
         [](ParamStack& s)
         {
             std::string v;
             s.PopString(v);
             EXPECT_EQ(v, "hi");
         }},
        {"empty string", 212, 5, [](ParamStack& s) { s.PushString(""); },
         [](ParamStack& s)
         {
             std::string v = "x";
             s.PopString(v);
             EXPECT_EQ(v, "");
         }},
        // Pointers keep all 8 bytes; their tags stay 217 and 4.
        {"Gob*", 217, sizeof(void*), [gob](ParamStack& s) { s.Push(gob); },
         [gob](ParamStack& s)
         {
             Gob* v = nullptr;
             s.Pop(v);
             EXPECT_EQ(v, gob);
         }},
        {"const float*", 4, sizeof(void*), [floats](ParamStack& s) { s.Push(floats); },
         [floats](ParamStack& s)
         {
             const float* v = nullptr;
             s.Pop(v);
             EXPECT_EQ(v, floats);
         }},
        {"Function_Flags", 4, 4, [](ParamStack& s) { s.Push(common::FF_Execute); },
         [](ParamStack& s)
         {
             common::Function_Flags v = common::FF_Display;
             s.Pop(v);
             EXPECT_EQ(v, common::FF_Execute);
         }},
        {"Vector3", 24, 12, [](ParamStack& s) { s.Push(math::Vector3(1.0f, -2.0f, 3.5f)); },
         [](ParamStack& s)
         {
             math::Vector3 v;
             s.PopVector3(v);
             EXPECT_EQ(v.x, 1.0f);
             EXPECT_EQ(v.y, -2.0f);
             EXPECT_EQ(v.z, 3.5f);
         }},
        {"Quaternion", 32, 32, [](ParamStack& s) { s.Push(math::Quaternion(0.5f, 1.0f, 2.0f, 3.0f)); },
         [](ParamStack& s)
         {
             math::Quaternion q;
             s.Pop(q);
             EXPECT_EQ(q.w, 0.5f);
             EXPECT_EQ(q.x, 1.0f);
             EXPECT_EQ(q.y, 2.0f);
             EXPECT_EQ(q.z, 3.0f);
         }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.kind);
        ParamStack stack;
        stack.Push(7); // something underneath, which must survive untouched
        c.push(stack);
        EXPECT_EQ(stack.GetCount(), 2u);
        EXPECT_EQ(stack.GetTag(1), c.tag);
        EXPECT_EQ(stack.GetSignature(), (std::uint64_t(c.tag) << 8) | 203u);
        EXPECT_EQ(stack.GetUsedBytes(), 4u + c.bytes);
        c.popAndCheck(stack);
        EXPECT_EQ(stack.GetSignature(), 203u);
        int below = 0;
        stack.Pop(below);
        EXPECT_EQ(below, 7);
        EXPECT_TRUE(stack.IsEmpty());
    }
}

TEST(ParamStack, NinthValueIsRefusedAndMarksOverflow)
{
    testsupport::AssertCapture capture;
    ParamStack stack;
    for (int i = 0; i < 8; ++i)
        stack.Push(i);
    EXPECT_TRUE(capture.Texts().empty());
    const std::uint64_t signature = stack.GetSignature();

    stack.Push(8);
    stack.PushString("ninth");
    EXPECT_EQ(capture.Texts(), (std::vector<std::string>{kTooManyValues, kTooManyValues}));
    EXPECT_TRUE(stack.IsOverflowed());
    EXPECT_EQ(stack.GetSignature(), signature);
    EXPECT_EQ(stack.GetUsedBytes(), 32u);
    // What was on the stack is intact.
    for (int i = 7; i >= 0; --i)
    {
        int v = -1;
        stack.Pop(v);
        EXPECT_EQ(v, i);
    }
    EXPECT_TRUE(stack.IsEmpty());
}

TEST(ParamStack, ValuesPastFiveHundredTwelveBytesAreRefused)
{
    testsupport::AssertCapture capture;
    ParamStack stack;
    stack.PushString(std::string(507, 'x')); // 507 + NUL + count = exactly 512 bytes
    EXPECT_EQ(stack.GetUsedBytes(), 512u);
    EXPECT_FALSE(stack.IsOverflowed());
    stack.Push(true);
    EXPECT_EQ(capture.Texts(), std::vector<std::string>{kTooManyBytes});
    EXPECT_TRUE(stack.IsOverflowed());
    EXPECT_EQ(stack.GetCount(), 1u);

    ParamStack huge;
    huge.PushString(std::string(100000, 'y'));
    EXPECT_TRUE(huge.IsOverflowed());
    EXPECT_TRUE(huge.IsEmpty());
    std::string back;
    stack.PopString(back);
    EXPECT_EQ(back, std::string(507, 'x'));
}

TEST(ParamStack, PoppingBelowTheStartAssertsAndReadsNothing)
{
    testsupport::AssertCapture capture;
    ParamStack stack;
    int i = 5;
    std::string s = "keep";
    math::Vector3 v(1.0f, 1.0f, 1.0f);
    stack.Pop(i);
    stack.PopString(s);
    stack.PopVector3(v);
    EXPECT_EQ(i, 0);
    EXPECT_EQ(s, "");
    EXPECT_EQ(v.x + v.y + v.z, 0.0f);
    EXPECT_EQ(capture.Texts(), (std::vector<std::string>{kUnderflow, kUnderflow, kUnderflow}));
    EXPECT_TRUE(stack.IsEmpty());
    EXPECT_EQ(stack.GetUsedBytes(), 0u);

    // A value too small for what is popped: a string whose "count" would reach below the page.
    capture.Clear();
    stack.Push(1000u);
    stack.PopString(s);
    EXPECT_EQ(capture.Texts(), std::vector<std::string>{kUnderflow});
    EXPECT_EQ(stack.GetCount(), 1u);
    EXPECT_EQ(stack.GetUsedBytes(), 4u);
    math::Quaternion q;
    stack.Pop(q);
    EXPECT_EQ(stack.GetUsedBytes(), 4u);
}

TEST(ParamStack, PoolHandsPagesOutLastInFirstOut)
{
    ParamStack::InitPool();
    EXPECT_TRUE(ParamStack::IsPoolBuilt());
    EXPECT_EQ(ParamStack::FreePageCount(), 512u);
    const ParamStack::Page* released = nullptr;
    {
        ParamStack other;
        auto stack = std::make_unique<ParamStack>();
        stack->Push(3);
        stack->Push(true);
        released = stack->GetPage();
        EXPECT_NE(released, other.GetPage());
        EXPECT_EQ(ParamStack::FreePageCount(), 510u);
        stack.reset();
        ParamStack next;
        EXPECT_EQ(next.GetPage(), released);
        // A reused page starts empty.
        EXPECT_TRUE(next.IsEmpty());
        EXPECT_EQ(next.GetSignature(), 0u);
    }
    EXPECT_EQ(ParamStack::FreePageCount(), 512u);
}

TEST(ParamStack, ExhaustedPoolAssertsAndKeepsWorking)
{
    const std::uint32_t saved = g_ParamStackPoolSize;
    g_ParamStackPoolSize = 2;
    ParamStack::InitPool();
    EXPECT_EQ(ParamStack::FreePageCount(), 2u);
    {
        testsupport::AssertCapture capture;
        ParamStack a;
        ParamStack b;
        EXPECT_TRUE(capture.Texts().empty());
        ParamStack c;
        EXPECT_EQ(capture.Texts(),
                  std::vector<std::string>{"ParamStack::AllocatePage - The page pool is exhausted."});
        c.Push(5);
        int v = 0;
        c.Pop(v);
        EXPECT_EQ(v, 5);
    }
    // The extra page joined the pool when its stack died.
    EXPECT_EQ(ParamStack::FreePageCount(), 3u);

    ParamStack::FreePool();
    EXPECT_FALSE(ParamStack::IsPoolBuilt());
    EXPECT_EQ(ParamStack::FreePageCount(), 0u);
    g_ParamStackPoolSize = saved;
    {
        ParamStack lazy; // the first stack builds the pool
        EXPECT_TRUE(ParamStack::IsPoolBuilt());
        EXPECT_EQ(ParamStack::FreePageCount(), 511u);
    }
}
