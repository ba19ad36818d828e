#include "common/HashName.h"

#include <gtest/gtest.h>

TEST(HashName, KnownValues)
{
    struct Case
    {
        const char* text;
        std::uint32_t hash;
    };
    // Expected values worked out by hand from h = 5381, h = h * 33 ^ lowered byte.
    const Case cases[] = {
        {"", 5381u},
        {"a", 177604u},
        {"abc", 193409669u},
        {"ABC", 193409669u},
        {"POVComp", 2604179517u},
        {"povcomp", 2604179517u},
        {"Z[", 5861860u},         // only 'A'..'Z' are lowered, '[' stays
        {"caf\xC9", 2207203336u}, // bytes above 127 enter as negative values
        {"caf\xE9", 2207203368u}, // and are never case-folded
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(HashName(c.text), c.hash);
    }
}

TEST(HashName, NullTextHashesLikeEmptyText)
{
    EXPECT_EQ(HashName(nullptr), 5381u);
}

TEST(HashName, NameHashHoldsTheHashAndComparesByIt)
{
    NameHash a(std::string("GridComp"));
    NameHash b(std::string("GRIDCOMP"));
    NameHash c(std::string("GridComps"));
    EXPECT_EQ(a.GetValue(), HashName("gridcomp"));
    EXPECT_TRUE(a == b);
    EXPECT_TRUE(a != c);
}
