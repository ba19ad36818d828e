#include "common/Array2D.h"

#include <gtest/gtest.h>

TEST(Array2D, RowMajorStorageAndResizeDropsOldContents)
{
    Array2D<int> array;
    EXPECT_TRUE(array.IsEmpty());
    EXPECT_EQ(array.GetData(), nullptr);
    array.Resize(3, 2);
    EXPECT_EQ(array.GetColumns(), 3u);
    EXPECT_EQ(array.GetRows(), 2u);
    EXPECT_EQ(array.GetElementCount(), 6u);
    array(2, 1) = 7;
    EXPECT_EQ(array[3 * 1 + 2], 7);
    EXPECT_TRUE(array.IsInside(2, 1));
    EXPECT_FALSE(array.IsInside(3, 0));
    EXPECT_FALSE(array.IsInside(0, 2));
    array.Resize(3, 2);
    EXPECT_EQ(array(2, 1), 0);
    array.Resize(0, 5);
    EXPECT_TRUE(array.IsEmpty());
}
