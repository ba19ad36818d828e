#include "common/COptional.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

TEST(COptional, HoldsAValueOrNothing)
{
    common::COptional<int*> nothing;
    EXPECT_FALSE(nothing.IsSet());
    EXPECT_FALSE(nothing);
    int value = 7;
    common::COptional<int*> something(&value);
    EXPECT_TRUE(something.IsSet());
    EXPECT_EQ(*something, &value);
    // A null pointer is a value too: present, and null.
    common::COptional<int*> null(nullptr);
    EXPECT_TRUE(null.IsSet());
    EXPECT_EQ(null.Get(), nullptr);
    null.Clear();
    EXPECT_FALSE(null.IsSet());
}

TEST(COptional, AskingAnEmptyOneReportsAndAnswersADefault)
{
    testsupport::AssertCapture capture;
    const common::COptional<std::string> nothing;
    EXPECT_EQ(nothing.Get(), "");
    EXPECT_EQ(nothing.GetOr("fallback"), "fallback");
    ASSERT_EQ(capture.Reports().size(), 1u);
    EXPECT_EQ(capture.Reports()[0].text, "common::COptional::Get - The optional is empty.");
}
