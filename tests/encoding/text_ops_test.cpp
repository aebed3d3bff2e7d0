#include "encoding/text_ops.h"

#include <gtest/gtest.h>

namespace sorvanel {
namespace {

// 中 is D6 D0; 得 is B5 C3; the character B0 41 has an ASCII 'A' as its second byte.
constexpr char kZhong[] = "\xD6\xD0";
constexpr char kTrailA[] = "\xB0\x41";

TEST(FindTextTest, Table) {
  struct Row {
    const char* name;
    std::string text, what;
    std::size_t from;
    sorvanel::Case match;
    std::size_t expected;
  };
  const Row cases[] = {
      {"plain", "hello world", "world", 0, Case::kSensitive, 6},
      {"from position", "abab", "ab", 1, Case::kSensitive, 2},
      {"case differs", "Hello", "hello", 0, Case::kSensitive, kNotFound},
      {"ignore case", "xxHeLLo", "hello", 0, Case::kIgnore, 2},
      {"not on a second byte", std::string(kTrailA) + "A", "A", 0, Case::kSensitive, 2},
      {"not on a second byte, folded", std::string(kTrailA) + "a", "A", 0, Case::kIgnore, 2},
      {"only inside a character", kTrailA, "A", 0, Case::kSensitive, kNotFound},
      {"second byte never folded", kTrailA, "\xB0\x61", 0, Case::kIgnore, kNotFound},
      {"letter after a double-byte character folded", std::string(kTrailA) + "a",
       std::string(kTrailA) + "A", 0, Case::kIgnore, 0},
      {"double-byte needle", std::string("a") + kZhong + "b", kZhong, 0, Case::kSensitive, 1},
      {"empty needle", "abc", "", 1, Case::kSensitive, 1},
      {"empty text", "", "a", 0, Case::kSensitive, kNotFound},
      {"from past the end", "abc", "", 4, Case::kSensitive, kNotFound},
      {"needle longer", "ab", "abc", 0, Case::kSensitive, kNotFound},
  };
  for (const Row& c : cases) {
    EXPECT_EQ(FindText(c.text, c.what, c.from, c.match), c.expected) << c.name;
  }
}

TEST(ReplaceAllTest, Table) {
  struct Row {
    const char* name;
    std::string text, what, with;
    sorvanel::Case match;
    std::string expected;
  };
  const Row cases[] = {
      {"every occurrence", "a-b-c", "-", "+", Case::kSensitive, "a+b+c"},
      {"no overlap", "aaa", "aa", "b", Case::kSensitive, "ba"},
      {"empty needle", "abc", "", "x", Case::kSensitive, "abc"},
      {"ignore case", "set-cookie: a\r\nSET-COOKIE: b", "Set-Cookie", "Set-Cookie", Case::kIgnore,
       "Set-Cookie: a\r\nSet-Cookie: b"},
      {"skips second bytes", std::string(kTrailA) + "A", "A", "z", Case::kSensitive,
       std::string(kTrailA) + "z"},
  };
  for (const Row& c : cases) {
    EXPECT_EQ(ReplaceAll(c.text, c.what, c.with, c.match), Text(c.expected)) << c.name;
  }
}

TEST(CaseFoldingTest, TouchesAsciiLettersOnly) {
  EXPECT_EQ(AsciiLower("HTTPS://Server:8443/ÄB"), Text("https://server:8443/Äb"));
  EXPECT_EQ(AsciiLower(std::string(kTrailA) + "A"), Text(std::string(kTrailA) + "a"));
  EXPECT_EQ(AsciiUpper(std::string("ab") + kTrailA), Text(std::string("AB") + kTrailA));
  EXPECT_TRUE(EqualsIgnoreCase("Set-Cookie", "SET-cookie"));
  EXPECT_FALSE(EqualsIgnoreCase("Set-Cookie", "Set-Cookie:"));
  EXPECT_FALSE(EqualsIgnoreCase(kTrailA, "\xB0\x61"));
  EXPECT_TRUE(EqualsIgnoreCase(std::string(kTrailA) + "x", std::string(kTrailA) + "X"));
}

TEST(TrimTest, Table) {
  struct Row {
    const char* name;
    std::string text, expected;
  };
  const Row cases[] = {
      {"spaces", "  a b  ", "a b"},
      {"ideographic spaces", "\xA1\xA1 a\xA1\xA1", "a"},
      {"tabs and line breaks stay", "\t a\r\n", "\t a\r\n"},
      {"all blank", " \xA1\xA1 ", ""},
      {"empty", "", ""},
      // B0 A1 is a character; the A1 A1 that a byte scan would see across it is not.
      {"second byte A1", "\xB0\xA1\xA1\xA1", "\xB0\xA1"},
      // 、 (A1 A2) and 。 (A1 A3) share the ideographic space's first byte only.
      {"other A1 characters stay", "\xA1\xA2 a \xA1\xA3", "\xA1\xA2 a \xA1\xA3"},
  };
  for (const Row& c : cases) EXPECT_EQ(Trim(c.text), Text(c.expected)) << c.name;
}

TEST(SplitTest, Table) {
  struct Row {
    const char* name;
    std::string text, separator;
    std::vector<std::string> expected;
  };
  const Row cases[] = {
      {"pieces in order", "a;b;c", ";", {"a", "b", "c"}},
      {"empty piece between adjacent separators", "a;;b", ";", {"a", "", "b"}},
      {"leading separator", ";a", ";", {"", "a"}},
      {"no piece after a final separator", "a;b;", ";", {"a", "b"}},
      {"empty text", "", ";", {}},
      {"two-byte separator", "a\r\nb\r\n", "\r\n", {"a", "b"}},
      {"separator inside a character is not one", std::string(kTrailA) + "A", "A", {kTrailA}},
  };
  for (const Row& c : cases) {
    std::vector<Text> expected(c.expected.begin(), c.expected.end());
    EXPECT_EQ(Split(c.text, c.separator), expected) << c.name;
  }
  EXPECT_EQ(Join({"a", "", "b"}, "; "), Text("a; ; b"));
}

TEST(NumberToTextTest, Table) {
  const std::pair<double, const char*> cases[] = {
      {42, "42"},
      {2.5, "2.5"},
      {1.0 / 3, "0.333333"},
      {-1.25, "-1.25"},
      {0, "0"},
      {1e-7, "0"},
      {123456789012.0, "123456789012"},
      {0.1, "0.1"},
      // A negative number that rounds to zero keeps its sign.
      {-0.0, "-0"},
      {-0.0000001, "-0"},
      {-0.0000004, "-0"}};
  for (const auto& [value, expected] : cases) {
    EXPECT_EQ(NumberToText(value), Text(expected)) << value;
  }
}

}  // namespace
}  // namespace sorvanel
