#include "encoding/charset.h"

#include <gtest/gtest.h>

namespace sorvanel {
namespace {

TEST(PercentDecodeTest, Table) {
  struct Case {
    const char* name;
    std::string in, expected;
  };
  const Case cases[] = {
      {"upper-case digits", "%41", "A"},
      {"lower-case digits", "%4a", "J"},
      {"not hex still takes two bytes", "%zz", "\x33"},
      {"a zero escape decodes to zero", "a%00b", std::string("a\0b", 3)},
      {"percent at the end", "50%", "50%"},
      {"percent and one byte at the end", "50%4", "50%4"},
      {"stops at a zero byte", std::string("ab\0%41", 6), "ab"},
      {"empty", "", ""},
  };
  for (const Case& c : cases) {
    ByteSet bytes(c.in);
    PercentDecode(bytes);
    EXPECT_EQ(bytes.bytes(), c.expected) << c.name;
  }
}

TEST(ConvertCharsetTest, Table) {
  struct Case {
    const char* name;
    std::string in;
    bool fromUtf8;
    std::string expected;
  };
  const Case cases[] = {
      {"empty", "", true, ""},
      {"empty without conversion", "", false, ""},
      {"ascii unchanged", "{\"a\":[1,2]}", true, "{\"a\":[1,2]}"},
      {"chinese", "\xE4\xB8\xAD", true, "\xD6\xD0"},
      {"chinese escaped", "%E4%B8%AD", true, "\xD6\xD0"},
      {"zero escape cuts", "ab%00cd", true, "ab"},
      {"escapes resolved, bytes kept", "%41\xE4\xB8\xAD", false, "A\xE4\xB8\xAD"},
      {"emoji replaced, the rest converted", "a\xF0\x9F\x98\x80\xE4\xB8\xAD", true, "a?\xD6\xD0"},
      // Characters that a substitution might skip as "default ignorable" still leave
      // their '?': the soft hyphen, zero-width and direction marks, word joiner,
      // variation selector and a leading byte-order mark.
      {"soft hyphen",
       "a\xC2\xAD"
       "b",
       true, "a?b"},
      {"zero-width space",
       "a\xE2\x80\x8B"
       "b",
       true, "a?b"},
      {"right-to-left mark",
       "a\xE2\x80\x8F"
       "b",
       true, "a?b"},
      {"left-to-right embedding",
       "a\xE2\x80\xAA"
       "b",
       true, "a?b"},
      {"word joiner",
       "a\xE2\x81\xA0"
       "b",
       true, "a?b"},
      {"variation selector",
       "a\xEF\xB8\x80"
       "b",
       true, "a?b"},
      {"byte-order mark first", "\xEF\xBB\xBF{}", true, "?{}"},
      {"malformed UTF-8 substituted",
       "a\xFF"
       "b",
       true, "a?b"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ConvertCharset(c.in, c.fromUtf8), Text(c.expected)) << c.name;
  }
}

TEST(CodePageTest, Windows936TableAndUtf16Round) {
  EXPECT_EQ(AnsiToUtf8("\x80").bytes(), "\xE2\x82\xAC");  // Windows' euro sign
  EXPECT_EQ(Utf8ToGbk("\xE2\x82\xAC"), Text("\x80"));
  EXPECT_EQ(AnsiToUtf8("a\xD6\xD0").bytes(), "a\xE4\xB8\xAD");
  EXPECT_TRUE(AnsiToUtf8("").empty());

  const ByteSet units = ToUtf16(
      "\xE4\xB8\xAD"
      "a");
  EXPECT_EQ(units.bytes(), std::string("\x2D\x4E\x61\x00\x00\x00", 6));
  EXPECT_EQ(FromUtf16(units), Text("\xD6\xD0"
                                   "a"));
  EXPECT_EQ(FromUtf16(units, kUtf8CodePage), Text("\xE4\xB8\xAD"
                                                  "a"));
  EXPECT_EQ(ToUtf16("\xD6\xD0", kAnsiCodePage), ToUtf16("\xE4\xB8\xAD"));
  EXPECT_EQ(ToUtf16("").bytes(), std::string(2, '\0'));
  // A lone surrogate cannot be written in any code page.
  EXPECT_EQ(FromUtf16(ByteSet(std::string("\x00\xD8\x41\x00", 4)), kGbkCodePage), Text("?A"));
  // A zero-width space and a byte-order mark are characters too.
  EXPECT_EQ(FromUtf16(ByteSet(std::string("\xFF\xFE\x41\x00\x0B\x20\x42\x00", 8))), Text("?A?B"));
  EXPECT_EQ(Utf8ToGbk("\xEF\xBB\xBF\xE2\x80\x8B\xE4\xB8\xAD"), Text("??\xD6\xD0"));
}

TEST(CodePageTest, Malformed936IsSubstituted) {
  // A lead byte without a valid second byte, and a lone lead byte at the end.
  EXPECT_EQ(Utf8ToGbk(Text(AnsiToUtf8("a\x81\x20"
                                      "b\x81")
                               .view())),
            Text("a? b?"));
}

}  // namespace
}  // namespace sorvanel
