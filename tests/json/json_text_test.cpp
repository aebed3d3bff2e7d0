// What the document looks like as text: the serialiser's escapes and numbers, the code
// page 936 boundary, and round trips through GetDataText.
#include <gtest/gtest.h>

#include <cmath>

#include <string>
#include <string_view>

#include "json/json_object.h"
#include "tests/json/json_test_util.h"

namespace sorvanel {
namespace {

using testing::Gbk;
using testing::Parsed;

TEST(JsonSerialiser, EscapeSet) {
  struct Case {
    const char* name;
    std::string input;  // a JSON text value
    std::string json;   // how the serialiser writes it back
  } cases[] = {
      {"named escapes", R"("\b\t\n\f\r\"\\")", R"("\b\t\n\f\r\"\\")"},
      {"control", R"("\u0001\u001f")", R"("\u0001\u001f")"},
      {"zero", R"("a\u0000b")", R"("a\u0000b")"},
      {"DEL and C1", R"("\u007f\u0080\u009f")", R"("\u007f\u0080\u009f")"},
      {"just outside C1", R"("\u00a0\u00ac\u00ae")", "\"\u00a0\u00ac\u00ae\""},
      {"soft hyphen", R"("\u00AD")", R"("\u00ad")"},
      {"Arabic marks", R"("\u0600\u0604\u0605\u070f")", "\"\\u0600\\u0604\u0605\\u070f\""},
      {"Khmer", R"("\u17b4\u17b5\u17b6")", "\"\\u17b4\\u17b5\u17b6\""},
      {"joiners", R"("\u200b\u200c\u200f\u2010")", "\"\u200b\\u200c\\u200f\u2010\""},
      {"line separators", R"("\u2028\u202f\u2030")", "\"\\u2028\\u202f\u2030\""},
      {"invisible operators", R"("\u2060\u206f")", R"("\u2060\u206f")"},
      {"BOM and specials", R"("\ufeff\ufff0\uffff\ufffd")", R"("\ufeff\ufff0\uffff\ufffd")"},
      {"slash and Chinese unchanged", R"("a/b\/中")", "\"a/b/中\""},
      {"astral unchanged", R"("\ud83d\ude00")", "\"\U0001F600\""},
  };
  for (const Case& c : cases) {
    JsonObject object;
    ASSERT_TRUE(object.Parse(Gbk("[" + c.input + "]"))) << c.name;
    // Escapes are ASCII and pass the 936 boundary as they are; a character written
    // unescaped comes out as 936 holds it, '?' where it cannot.
    EXPECT_EQ(object.GetDataText(), Gbk("[" + c.json + "]")) << c.name;
    // Keys take the same escapes as values.
    ASSERT_TRUE(object.Parse(Gbk("{" + c.input + ":1}"))) << c.name;
    EXPECT_EQ(object.GetDataText(), Gbk("{" + c.json + ":1}")) << c.name << " as a key";
  }
}

// "[" + items + "]", built without the temporary strings that make GCC 12 warn.
std::string InArray(std::string_view items) {
  std::string array;
  array.reserve(items.size() + 2);
  array.push_back('[');
  array.append(items);
  array.push_back(']');
  return array;
}

TEST(JsonSerialiser, Numbers) {
  const std::string zeros(400, '0');
  struct Case {
    std::string input;
    const char* json;
  } cases[] = {
      {"0", "0"},
      {"-0", "0"},
      {"-0.0", "0"},
      {"1", "1"},
      {"-42", "-42"},
      {"0.1", "0.1"},
      {"0.1234567", "0.1234567"},
      {"1.5e3", "1500"},
      {"123456789012345680000", "123456789012345680000"},
      {"1e21", "1e+21"},
      {"1.5e21", "1.5e+21"},
      {"1e20", "100000000000000000000"},
      {"0.000001", "0.000001"},
      {"0.0000001", "1e-7"},
      {"1.25e-7", "1.25e-7"},
      {"5e-324", "5e-324"},
      {"1.7976931348623157e308", "1.7976931348623157e+308"},
      {"1e400", "null"},
      {"-1e400", "null"},
      {"1E+400", "null"},
      {"-123.5e999", "null"},
      {"1e-400", "0"},
      {"1" + zeros, "null"},
      // Far out of range either way: the place of the first digit decides.
      {"0." + zeros + "1e10", "0"},
      {"0." + zeros + "1e800", "null"},
      {"-0." + zeros + "1e+99999999999999999999", "null"},
      {"9007199254740993", "9007199254740992"},
      {"18446744073709551615", "18446744073709552000"},
      {"0.30000000000000004", "0.30000000000000004"},
  };
  for (const Case& c : cases) {
    JsonObject object;
    ASSERT_TRUE(object.Parse(Text(InArray(c.input)))) << c.input;
    EXPECT_EQ(object.GetDataText(), Text(InArray(c.json))) << c.input;
  }

  // Any number of numbers beyond the range, among texts that look like them.
  const auto repeated = [](const std::string& item, int count) {
    std::string items;
    for (int i = 0; i < count; ++i) items += item;
    return items;
  };
  const struct {
    const char* name;
    std::string input;
    std::string json;
  } documents[] = {
      {"65 of them", InArray(repeated("1e400,", 65) + "0"), InArray(repeated("null,", 65) + "0")},
      {"100000 of them", InArray(repeated("-1e400,", 100000) + "1"),
       InArray(repeated("null,", 100000) + "1")},
      {"texts and keys untouched", R"({"1e400":["1e400",1e400,"\"1e400",-2E+999,3]})",
       R"({"1e400":["1e400",null,"\"1e400",null,3]})"},
  };
  for (const auto& d : documents) {
    JsonObject object;
    ASSERT_TRUE(object.Parse(Text(d.input))) << d.name;
    EXPECT_TRUE(object.GetDataText().str() == d.json) << d.name;
  }
  JsonObject object;
  ASSERT_TRUE(object.Parse(R"({"a":[1e400,-1e400,7]})"));
  EXPECT_EQ(object.GetPropertyNumber("a[0]"), HUGE_VAL);
  EXPECT_EQ(object.GetPropertyNumber("a[1]"), -HUGE_VAL);
  EXPECT_EQ(object.GetPropertyNumber("a[2]"), 7);
  EXPECT_FALSE(object.Parse("[1e400,01]"));  // still refused for what else is wrong
}

TEST(JsonSerialiser, HolesAndMissing) {
  JsonObject object;
  object.SetProperty("a", "1");
  object.SetPropertyObject("m", "");
  object.SetPropertyObject("list", "[]");
  object.SetProperty("list[2]", "x");
  object.SetPropertyObject("list[0]", "");
  EXPECT_EQ(object.GetDataText(), Text(R"({"a":"1","list":[null,null,"x"]})"));
  EXPECT_EQ(object.MemberCount("list"), 2);  // the stored missing counts, the hole does not
  object.Parse("");
  EXPECT_EQ(object.GetDataText(), Text());
}

TEST(JsonBoundary, CodePage936InAndOut) {
  JsonObject object = Parsed(R"({"中文":"\u4e2d","k":"甲乙","emoji":"a😀b"})");
  EXPECT_EQ(object.GetGeneralProperty(Gbk("中文")), Gbk("中"));
  EXPECT_EQ(object.GetGeneralProperty("k", true), Gbk("\"甲乙\""));
  EXPECT_EQ(object.GetGeneralProperty("emoji"), Text("a?b"));  // 936 cannot hold it
  object.SetProperty(Gbk("名字"), Gbk("值\\u4e00"));
  EXPECT_EQ(object.GetGeneralProperty(Gbk("['名字']")), Gbk("值一"));
  EXPECT_EQ(object.GetGeneralProperty(Gbk("名字")), Gbk("值一"));
  std::vector<Text> names;
  object.GetAllPropertyNames(names);
  EXPECT_EQ(names.back(), Gbk("名字"));
  // A text with a zero character ends there on the way out, as every Text does.
  EXPECT_EQ(Parsed(R"({"z":"a\u0000b"})").GetGeneralProperty("z"), Text("a"));
}

TEST(JsonBoundary, CopiesKeepWhat936CannotHold) {
  // Two keys that 936 would both write as "?": a copy made through 936 text would merge
  // them into one member.
  JsonObject object = Parsed(R"({"a":{"\ud83d\ude00":1,"\ud83d\ude01":2}})");
  ASSERT_EQ(object.MemberCount("a"), 2);
  JsonObject copy = object.GetProperty("a");
  EXPECT_EQ(copy.MemberCount(), 2);
  EXPECT_EQ(copy.GetType("['?']"), -1);
  EXPECT_EQ(copy.MemberCount("['?']"), -2);
  JsonObject list = Parsed(R"([{"\ud83d\ude00":1,"\ud83d\ude01":2}])");
  EXPECT_EQ(list.GetMember(0).MemberCount(), 2);
}

TEST(JsonRoundTrip, ParseWriteParseIsStable) {
  const char* corpus[] = {
      "{}",
      "[]",
      "0",
      "false",
      R"({"a":{"b":{"c":[1,[2,[3,[4,{"d":null}]]]]}}})",
      R"([[],[[]],{},{"":{}}])",
      R"({"esc":"\"\\\/\b\f\n\r\t\u0001\u001f\u007f\u2028\u00ad\ufeff"})",
      R"({"nums":[0,-0,1,-1,0.5,1e21,1e-7,123.456,-1.5e-300,1e308,4294967296,1e400]})",
      R"({"中文":"汉字与标点，。！","mixed":"a中b\u4e2dc","keys":{"甲":1,"乙":[true,false]}})",
      R"({"words_result":[{"words":"第一行"},{"words":"say \"hi\""}],"log_id":12345678901234567})",
      R"({"dup":1,"x":2,"dup":[3]})",
      R"(  [ 1 , { "a" : "b" } , null ]  )",
  };
  for (const char* text : corpus) {
    JsonObject first;
    ASSERT_TRUE(first.Parse(Gbk(text))) << text;
    const Text once = first.GetDataText();
    JsonObject second;
    second.Parse(once);
    EXPECT_EQ(second.GetDataText(), once) << text;
  }
}

}  // namespace
}  // namespace sorvanel
