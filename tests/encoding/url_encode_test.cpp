#include "encoding/url_encode.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace sorvanel {
namespace {

// The plain byte-by-byte rule, written independently of the encoder.
std::string ReferenceEncode(const std::string& utf8) {
  std::string out;
  for (unsigned char b : utf8) {
    if (b > 0x20 && b < 0x7F && b != '#' && b != '%' && b != '&' && b != '+') {
      out.push_back(static_cast<char>(b));
    } else {
      char escape[4];
      std::snprintf(escape, sizeof escape, "%%%02X", b);
      out += escape;
    }
  }
  return out;
}

TEST(UrlEncodeTest, EveryAsciiByteFollowsTheEscapeTable) {
  for (int b = 1; b < 0x80; ++b) {
    const std::string one(1, static_cast<char>(b));
    const bool passes = b > 0x20 && b < 0x7F && b != '#' && b != '%' && b != '&' && b != '+';
    EXPECT_EQ(UrlEncode(one).str(), passes ? one : ReferenceEncode(one)) << b;
  }
}

TEST(UrlEncodeTest, HighBytesAreEscapedAsUtf8) {
  // Every byte of 0x80 and above stands for a non-ASCII character, so the UTF-8 form
  // escapes each of its bytes: nothing of 0x80..0xFF is ever copied.
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    const std::string character{static_cast<char>(lead), '\xA1'};
    const std::string encoded = UrlEncode(character).str();
    ASSERT_FALSE(encoded.empty()) << lead;
    for (unsigned char c : encoded) ASSERT_LT(c, 0x80) << lead;
    ASSERT_EQ(encoded[0], '%') << lead;
  }
}

TEST(UrlEncodeTest, Table) {
  struct Case {
    const char* name;
    std::string text, expected;
  };
  const Case cases[] = {
      {"empty", "", ""},
      {"space and the four", " +#%&", "%20%2B%23%25%26"},
      {"safe punctuation", "=/?:*(),;!~@'\"", "=/?:*(),;!~@'\""},
      {"controls and DEL", "\t\r\n\x7F", "%09%0D%0A%7F"},
      {"chinese via UTF-8", "\xD6\xD0", "%E4%B8%AD"},
      {"euro sign of code page 936", "\x80", "%E2%82%AC"},
      {"base64 without plus", "QUJD/w==", "QUJD/w=="},
      {"base64 with plus", "ab+/cd+=", "ab%2B/cd%2B="},
  };
  for (const Case& c : cases) EXPECT_EQ(UrlEncode(c.text), Text(c.expected)) << c.name;
}

TEST(UrlEncodeTest, LongTextsMatchTheByteRule) {
  // Long enough for the block path, with escapes at every offset within a block.
  const std::string pattern = "Ab+/9= &#%\x7F\x01xyz";
  std::string text;
  for (std::size_t i = 0; i < 2000; ++i) text.push_back(pattern[i % pattern.size()]);
  EXPECT_TRUE(UrlEncode(text).str() == ReferenceEncode(text));
  const Text input(text);
  UrlEncode(input);
  EXPECT_EQ(input.str(), text);  // the input is not changed

  // Long 936 texts: more than 255 rounds of the block counter, and several conversion
  // pieces whose ends fall after one-byte and two-byte characters alike. Each row is a
  // unit of 936 text and its UTF-8 form, repeated.
  const struct {
    const char* name;
    std::string gbk, utf8;
    std::size_t repeat;
  } rows[] = {
      {"1400 x zhong", "\xD6\xD0", "\xE4\xB8\xAD", 1400},
      {"mixed with the one-byte euro sign", "a\x80\xD6\xD0+\xCE\xC4 ",
       "a\xE2\x82\xAC\xE4\xB8\xAD+\xE6\x96\x87 ", 30000},
      {"odd ASCII runs between characters", "xyz\xD6\xD0", "xyz\xE4\xB8\xAD", 40000},
      // A lead byte without its second byte becomes U+FFFD and the byte after it stays:
      // more than the output's first allocation foresaw.
      {"malformed 936", "\x81 ", "\xEF\xBF\xBD ", 40000},
  };
  for (const auto& row : rows) {
    std::string gbk, utf8;
    for (std::size_t i = 0; i < row.repeat; ++i) {
      gbk += row.gbk;
      utf8 += row.utf8;
    }
    EXPECT_TRUE(UrlEncode(gbk).str() == ReferenceEncode(utf8)) << row.name;
  }
}

}  // namespace
}  // namespace sorvanel
