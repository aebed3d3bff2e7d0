#include "encoding/text.h"

#include <gtest/gtest.h>

namespace sorvanel {
namespace {

TEST(TextTest, AbsentAndEmptyAreTheSame) {
  EXPECT_EQ(Text(static_cast<const char*>(nullptr)), Text(""));
  EXPECT_EQ(Text(), Text(std::string()));
  EXPECT_TRUE(Text(nullptr).empty());
}

TEST(TextTest, EndsAtTheFirstZeroByte) {
  const std::string withZero("ab\0cd", 5);
  EXPECT_EQ(Text(withZero), Text("ab"));
  EXPECT_EQ(Text(std::string_view(withZero)).size(), 2u);
  EXPECT_EQ(ByteSet(withZero).AsText(), Text("ab"));
}

TEST(ByteSetTest, KeepsZeroBytesAndCountsThem) {
  const ByteSet bytes(std::string("\0\0x", 3));
  EXPECT_EQ(bytes.size(), 3u);
  EXPECT_EQ(bytes.data()[2], 'x');
  EXPECT_TRUE(ByteSet().empty());
  EXPECT_EQ(ByteSet::FromText("abc").size(), 3u);
}

}  // namespace
}  // namespace sorvanel
