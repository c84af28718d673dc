#include "framework/Handle.h"

#include <gtest/gtest.h>

TEST(Handle, NullIsDistinctFromEmpty) {
    Handle null;
    Handle empty(size_t(0));
    EXPECT_TRUE(null.IsNull());
    EXPECT_FALSE(empty.IsNull());
    EXPECT_FALSE(null == empty);
    null.Append("ab", 2);
    EXPECT_FALSE(null.IsNull());
    EXPECT_EQ(null.Size(), 2u);
    null.Dispose();
    EXPECT_TRUE(null.IsNull());
}
