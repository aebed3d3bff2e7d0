#include "client/collapse_line_breaks.h"

#include <gtest/gtest.h>

namespace sorvanel {
namespace {

TEST(CollapseLineBreaksTest, KeepsTheFirstLineBreakOfEveryRun) {
  struct Case {
    const char* name;
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"empty", "", ""},
      {"no breaks", "abc", "abc"},
      {"run inside", "a\r\n\r\n\r\nb\r\n", "a\r\nb\r\n"},
      {"single breaks stay", "a\r\nb\r\nc", "a\r\nb\r\nc"},
      {"leading run keeps one", "\r\n\r\n\r\nx", "\r\nx"},
      {"only breaks", "\r\n\r\n\r\n", "\r\n"},
      {"final run keeps one", "x\r\n\r\n", "x\r\n"},
      {"CR with another byte", "a\rX", "a\rX"},
      {"after CR X later breaks drop", "a\rX\r\n\r\nb", "a\rXb"},
      {"lone final CR", "a\r", "a\r"},
      {"lone CR after a break is dropped", "a\r\n\r", "a\r\n"},
      {"LF alone is an ordinary byte", "a\n\nb", "a\n\nb"},
      {"CR CR counts as one break", "a\r\r\r\nb", "a\r\rb"},
      {"double-byte text", "\xC4\xE3\r\n\r\n\xBA\xC3", "\xC4\xE3\r\n\xBA\xC3"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CollapseLineBreaks(c.in).str(), std::string(c.out)) << c.name;
  }
}

}  // namespace
}  // namespace sorvanel
