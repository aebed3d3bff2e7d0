#include "client/text_extraction.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/client/gbk.h"

namespace sorvanel {
namespace {

using client_test::Gbk;

// Replies as the recognition commands hand them over: converted to code page 936.
TEST(ExtractRecognizedTextTest, GivesEachLineAsRecognised) {
  struct Case {
    const char* name;
    const char* reply;  // UTF-8
    const char* text;   // UTF-8
  };
  const Case cases[] = {
      {"two lines",
       R"({"log_id":1,"words_result_num":2,"words_result":[{"words":"你好"},{"words":"World"}]})",
       "你好\r\nWorld\r\n"},
      {"quotes", R"({"words_result":[{"words":"say \"hi\""}]})", "say \"hi\"\r\n"},
      {"backslashes", R"({"words_result":[{"words":"C:\\dir\\"}]})", "C:\\dir\\\r\n"},
      {"tab and control byte", R"({"words_result":[{"words":"a\tb\u0001c"}]})",
       "a\tb\x01"
       "c\r\n"},
      {"escaped slash and unicode", R"({"words_result":[{"words":"1\/2 \u4e2d"}]})", "1/2 中\r\n"},
      {"percent", R"({"words_result":[{"words":"50% off %41"}]})", "50% off %41\r\n"},
      {"a CR inside a line is no line break",
       R"({"words_result":[{"words":"a\rb"},{"words":"c\r\n"},{"words":"d"}]})",
       "a\rb\r\nc\r\n\r\nd\r\n"},
      {"empty words give an empty line",
       R"({"words_result":[{"words":"a"},{"words":""},{"words":"b"}]})", "a\r\n\r\nb\r\n"},
      {"empty words first", R"({"words_result":[{"words":""},{"words":"b"}]})", "\r\nb\r\n"},
      {"missing words give no line",
       R"({"words_result":[{"words":"a"},{"location":{}},{"words":"b"}]})", "a\r\nb\r\n"},
      {"missing words first leave one break", R"({"words_result":[{"x":1},{"x":2},{"words":"b"}]})",
       "\r\nb\r\n"},
      {"three without words", R"({"words_result":[{},{},{}]})", "\r\n"},
      {"missing words last", R"({"words_result":[{"words":"a"},{}]})", "a\r\n"},
      {"a number", R"({"words_result":[{"words":42}]})", "42\r\n"},
      // Only texts are recognised lines; other values keep their JSON text, quotes too.
      {"an array", R"({"words_result":[{"words":["a", "中"]}]})", "[\"a\",\"中\"]\r\n"},
      {"an object", R"({"words_result":[{"words":{"k" : "v"}}]})", "{\"k\":\"v\"}\r\n"},
      {"no entries", R"({"words_result_num":0,"words_result":[]})", ""},
      {"error reply", R"({"error_code":110,"error_msg":"Access token invalid"})", ""},
      {"not JSON", "<html>502 Bad Gateway</html>", ""},
      {"empty reply", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExtractRecognizedText(Gbk(c.reply)), Gbk(c.text)) << c.name;
  }
}

TEST(ExtractRecognizedTextTest, WalksManyEntriesInOrder) {
  std::string reply = R"({"words_result":[)";
  std::string expected;
  for (int i = 0; i < 25; ++i) {
    if (i > 0) reply += ",";
    reply += R"({"words":"line )" + std::to_string(i) + R"("})";
    expected += "line " + std::to_string(i) + "\r\n";
  }
  reply += "]}";
  EXPECT_EQ(ExtractRecognizedText(Text(reply)).str(), expected);
}

}  // namespace
}  // namespace sorvanel
