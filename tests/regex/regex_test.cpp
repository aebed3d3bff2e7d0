#include "regex/regex_object.h"

#include <gtest/gtest.h>

namespace sorvanel {
namespace {
TEST(RegexObjectTest, Smoke) {
  RegexObject r;
  EXPECT_TRUE(r.Create("a(b)?", "ab a"));
  EXPECT_EQ(r.GetMatchCount(), 2);
}
}  // namespace
}  // namespace sorvanel
