#include "DynaArray.h"
#include <gtest/gtest.h>
TEST(Smoke, Builds) { quirindo::TDynaArray<int> a; EXPECT_NE(a.Append(), nullptr); }
