#include "encoding/text_between.h"

#include <gtest/gtest.h>

namespace sorvanel {
namespace {

TEST(TextBetweenTest, Table) {
  struct Case {
    const char* name;
    std::string text, left, right, expected;
  };
  const std::string quote = kQuotePlaceholder;
  const Case cases[] = {
      {"between the markers, untrimmed", "k: value \r\n", "k:", "\r\n", " value "},
      {"right only before left", "]x[", "[", "]", ""},
      {"first left occurrence counts", "[a][b]", "[", "]", "a"},
      {"right missing after the first left", "[a [b]", "[", "}", ""},
      {"placeholder is a double quote", "\"k\":\"v\"", quote + "k" + quote + ":" + quote, quote,
       "v"},
      {"a real double quote works too", "\"k\":\"v\"", "\"k\":\"", "\"", "v"},
      {"empty left starts at the beginning", "abc/def", "", "/", "abc"},
      {"empty right gives nothing", "abc", "a", "", ""},
      {"case differs", "Host: x\r\n", "host:", "\r\n", ""},
      {"markers touch", "ab", "a", "b", ""},
      {"empty text", "", "", "x", ""},
      {"ascii marker not inside a character", "\xB0[x][y]", "[", "]", "y"},
      {"right marker inside a character skipped", "[a\xB0]b]", "[", "]", "a\xB0]b"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextBetween(c.text, c.left, c.right), Text(c.expected)) << c.name;
  }
}

TEST(TextBetweenTest, MarkersAreNotChanged) {
  const Text left = Text("#") + Text("\xD2\xFD\xBA\xC5");
  const Text copy = left;
  TextBetween("\"x\"", left, left);
  EXPECT_EQ(left, copy);
}

}  // namespace
}  // namespace sorvanel
