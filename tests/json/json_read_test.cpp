// The reading methods of JsonObject: parsing, paths, member counts, types and texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "json/json_object.h"
#include "tests/json/json_test_util.h"

namespace sorvanel {
namespace {

using testing::Gbk;
using testing::Parsed;

// One document with every kind of value, read by every method below.
constexpr const char* kDocument =
    R"({"s":"abc","n":3,"f":0.1234567,"tiny":1e-7,"neg":-0.0000001,"t":true,"no":false,)"
    R"("z":null,"o":{"b":1,"a":"x"},"e":{},"ea":[],"arr":[1,2],"five":"5",)"
    R"("nested":[[1,"a"],{"k":null},true,null],"x y":"space","20":"twenty",)"
    R"("words_result":[{"words":"甲"},{"words":"he said \"hi\""}]})";

TEST(JsonParse, ResultByRoot) {
  struct Case {
    const char* name;
    std::string text;
    bool result;
    const char* dataText;  // GetDataText afterwards
  } cases[] = {
      {"object", R"({"access_token":"abc"})", true, R"({"access_token":"abc"})"},
      {"zero", "0", true, "0"},
      {"false", "false", true, "false"},
      {"empty array", "[]", true, "[]"},
      {"spaces kept out", " { \"a\" : [ 1 , 2 ] } ", true, R"({"a":[1,2]})"},
      {"null", "null", false, "null"},
      {"empty text leaves missing", "", false, ""},
      {"blank text leaves missing", "  \t\r\n", false, ""},
      {"broken", R"({"a":)", false, "null"},
      {"trailing garbage", "[1] x", false, "null"},
      {"text root", R"("abc")", false, "null"},
  };
  for (const Case& c : cases) {
    JsonObject object;
    EXPECT_EQ(object.Parse(Text(c.text)), c.result) << c.name;
    EXPECT_EQ(object.GetDataText(), Text(c.dataText)) << c.name;
  }
}

TEST(JsonParse, BrokenTextAfterGoodOneLeavesNull) {
  JsonObject object;
  ASSERT_TRUE(object.Parse(R"({"a":1,"b":[1]})"));
  EXPECT_FALSE(object.Parse(R"({"a":1,)"));
  EXPECT_EQ(object.GetGeneralProperty("a"), Text());
  EXPECT_EQ(object.MemberCount("b"), 0);
  EXPECT_EQ(object.GetType("a"), -1);
  // The root itself reads as null.
  EXPECT_EQ(object.GetType(), 0);
  EXPECT_EQ(object.MemberCount(), -2);
  EXPECT_EQ(object.GetDataText(), Text("null"));
}

TEST(JsonParse, NewObjectIsEmptyObject) {
  JsonObject object;
  EXPECT_EQ(object.GetDataText(), Text("{}"));
  EXPECT_EQ(object.MemberCount(), 0);
  EXPECT_EQ(object.GetType(), 4);
}

TEST(JsonParse, DuplicateKeyKeepsFirstPlaceAndLastValue) {
  JsonObject object = Parsed(R"({"a":1,"b":2,"a":{"c":3}})");
  EXPECT_EQ(object.GetDataText(), Text(R"({"a":{"c":3},"b":2})"));
}

TEST(JsonParse, NestingIsCapped) {
  const auto nested = [](int depth) {
    return std::string(static_cast<std::size_t>(depth), '[') +
           std::string(static_cast<std::size_t>(depth), ']');
  };
  JsonObject object;
  EXPECT_TRUE(object.Parse(Text(nested(1000))));
  EXPECT_FALSE(object.Parse(Text(nested(1001))));
  EXPECT_EQ(object.GetDataText(), Text("null"));
  EXPECT_FALSE(object.Parse(Text(nested(100000))));
}

TEST(JsonGeneralProperty, PlainAndJsonText) {
  struct Case {
    const char* path;
    std::string plain;  // asObject false
    std::string json;   // asObject true
  } cases[] = {
      {"s", "abc", "\"abc\""},
      {"n", "3", "3"},
      {"f", "0.123457", "0.1234567"},
      {"tiny", "0", "1e-7"},
      {"neg", "-0", "-1e-7"},  // the six-decimal form keeps the sign
      {"t", "-1", "true"},
      {"no", "0", "false"},
      {"z", "", "null"},
      {"o", "[object Object]", R"({"b":1,"a":"x"})"},
      {"arr", "1,2", "[1,2]"},
      {"nested", "1,a,[object Object],true,", R"([[1,"a"],{"k":null},true,null])"},
      {"missing", "", ""},
      {"missing.deeper", "", ""},
      {"z.deeper", "", ""},
      {"s.length", "", ""},
      {"['x y']", "space", "\"space\""},
      {"o['b']", "1", "1"},
      {"o[\"a\"]", "x", "\"x\""},
      {"[\"x y\"]", "space", "\"space\""},
      {"[20]", "twenty", "\"twenty\""},
      {"words_result[0].words", "甲", "\"甲\""},
      {"words_result[1].words", "he said \"hi\"", R"("he said \"hi\"")"},
      {"words_result[2].words", "", ""},
      {"", "", ""},  // the empty path reads nothing, in both modes
      {"a..b", "", ""},
      {"o[", "", ""},
      {"o.1", "", ""},
  };
  JsonObject object = Parsed(kDocument);
  for (const Case& c : cases) {
    EXPECT_EQ(object.GetGeneralProperty(c.path), Gbk(c.plain)) << c.path;
    EXPECT_EQ(object.GetGeneralProperty(c.path, true), Gbk(c.json)) << c.path;
  }
}

TEST(JsonGeneralProperty, LeadingBracketSelectsFromRootArray) {
  JsonObject object = Parsed(R"([{"a":1},{"a":2.5},"x"])");
  EXPECT_EQ(object.GetGeneralProperty("[0].a"), Text("1"));
  EXPECT_EQ(object.GetGeneralProperty("[1].a"), Text("2.5"));
  EXPECT_EQ(object.GetGeneralProperty("[1]", true), Text(R"({"a":2.5})"));
  EXPECT_EQ(object.MemberCount("[0]"), 1);
  EXPECT_EQ(object.GetType("[0]"), -1);  // GetType always reads after a "."
  EXPECT_EQ(object.GetPropertyNumber("[0].a"), 0);
  EXPECT_EQ(object.GetPropertyObject("[0]"), Text());
  EXPECT_FALSE(object.PropertyExists("[0]"));
}

TEST(JsonMemberCount, ByValue) {
  struct Case {
    const char* path;
    int count;
  } cases[] = {
      {"", 17},   {"words_result", 2}, {"o", 2},        {"e", 0},
      {"ea", 0},  {"arr", 2},          {"s", 1},        {"n", 1},
      {"t", 1},   {"z", -2},           {"missing", -2}, {"missing.y", 0},
      {"z.y", 0}, {"[20]", 1},         {"o[", 0},
  };
  JsonObject object = Parsed(kDocument);
  for (const Case& c : cases) EXPECT_EQ(object.MemberCount(c.path), c.count) << c.path;
}

TEST(JsonGetType, ByValue) {
  struct Case {
    const char* path;
    int type;
  } cases[] = {
      {"", 4},   {"five", 6}, {"s", 6},       {"n", 2},          {"t", 1},
      {"no", 1}, {"z", 0},    {"missing", 0}, {"missing.x", -1}, {"ea", 5},
      {"e", 4},  {"o", 4},    {"arr[5]", 0},  {"[20]", -1},      {"o.", -1},
  };
  JsonObject object = Parsed(kDocument);
  for (const Case& c : cases) EXPECT_EQ(object.GetType(c.path), c.type) << c.path;
  EXPECT_EQ(Parsed("[1,2]").GetType(), 4);  // a root array reports as an object
}

TEST(JsonPropertyNumber, Conversions) {
  struct Case {
    const char* path;
    double number;
  } cases[] = {
      {"n", 3}, {"f", 0.1234567}, {"t", -1}, {"no", 0},  {"five", 0},
      {"z", 0}, {"missing", 0},   {"o", 0},  {"x.y", 0},
  };
  JsonObject object = Parsed(kDocument);
  for (const Case& c : cases) EXPECT_EQ(object.GetPropertyNumber(c.path), c.number) << c.path;
}

TEST(JsonPropertyExists, NullAndMissingAreAbsent) {
  JsonObject object = Parsed(kDocument);
  EXPECT_TRUE(object.PropertyExists("s"));
  EXPECT_TRUE(object.PropertyExists("no"));
  EXPECT_TRUE(object.PropertyExists("e"));
  EXPECT_FALSE(object.PropertyExists("z"));
  EXPECT_FALSE(object.PropertyExists("missing"));
  EXPECT_FALSE(object.PropertyExists("missing.x"));
  EXPECT_FALSE(object.PropertyExists(""));
}

TEST(JsonAllPropertyNames, ByValue) {
  struct Case {
    const char* json;
    const char* path;
    std::vector<Text> names;
  } cases[] = {
      {R"({"b":1,"a":2})", "", {"b", "a"}},
      {R"([7,8])", "", {"0", "1"}},
      {R"({})", "", {}},
      {R"({"a":1})", "missing", {}},
      {R"({"a":1})", "missing.x", {}},
      {R"({"a":null})", "a", {}},
      {R"({"a":"t"})", "a", {"toJSON"}},
      {R"({"a":[{"x":1,"y":2}]})", "a[0]", {"x", "y"}},
      {R"([{"x":1,"y":2}])", "[0]", {"x", "y"}},
      // Names pass through one ","-separated text, helpers removed from it.
      {R"({"a,b":1,"":2})", "", {"a", "b", ""}},
      {R"({"xtoJSONString":1,"parseJSON":2,"c":3})", "", {"xc"}},
  };
  for (const Case& c : cases) {
    JsonObject object = Parsed(c.json);
    std::vector<Text> names = {"stale"};
    EXPECT_EQ(object.GetAllPropertyNames(names, c.path), static_cast<int>(c.names.size()))
        << c.json << " " << c.path;
    EXPECT_EQ(names, c.names) << c.json << " " << c.path;
  }
}

TEST(JsonMembers, GetMemberTextAndGetMember) {
  JsonObject object = Parsed(R"({"list":[1.5,"a\"b",true,{"k":[1]}]})");
  EXPECT_EQ(object.GetMemberText(0, "list"), Text("1.5"));
  EXPECT_EQ(object.GetMemberText(1, "list"), Text("a\"b"));
  EXPECT_EQ(object.GetMemberText(1, "list", true), Text(R"("a\"b")"));
  EXPECT_EQ(object.GetMemberText(2, "list"), Text("-1"));
  EXPECT_EQ(object.GetMemberText(3, "list", true), Text(R"({"k":[1]})"));
  EXPECT_EQ(object.GetMemberText(9, "list", true), Text());
  EXPECT_EQ(object.GetMemberText(-1, "list", true), Text());
  EXPECT_EQ(object.GetMemberText(0, "nothing", true), Text());
  EXPECT_EQ(object.GetMemberText(0, "[0]", true), Text());  // no leading bracket here

  JsonObject member = object.GetMember(3, "list");
  EXPECT_EQ(member.GetDataText(), Text(R"({"k":[1]})"));
  JsonObject root = Parsed(R"([[1,2],"x"])");
  EXPECT_EQ(root.GetMember(0).GetDataText(), Text("[1,2]"));
  EXPECT_EQ(root.GetMember(1).GetDataText(), Text("null"));  // a text root is unreadable
  EXPECT_EQ(root.GetMember(5).GetDataText(), Text());        // missing
  EXPECT_EQ(root.GetMemberText(0), Text("1,2"));
}

TEST(JsonProperty, GetPropertyReturnsSeparateCopy) {
  JsonObject object = Parsed(R"({"a":{"b":[1,2]},"s":"x"})");
  JsonObject part = object.GetProperty("a");
  EXPECT_EQ(part.GetDataText(), Text(R"({"b":[1,2]})"));
  part.SetProperty("c", "new");
  object.SetPropertyNumber("a.d", 4);
  EXPECT_EQ(part.GetDataText(), Text(R"({"b":[1,2],"c":"new"})"));
  EXPECT_EQ(object.GetDataText(), Text(R"({"a":{"b":[1,2],"d":4},"s":"x"})"));

  EXPECT_EQ(object.GetProperty("missing").GetDataText(), Text());
  EXPECT_EQ(object.GetProperty("missing.x").GetDataText(), Text());
  EXPECT_EQ(object.GetProperty("s").GetDataText(), Text("null"));
  EXPECT_EQ(Parsed("[[3]]").GetProperty("[0]").GetDataText(), Text("[3]"));
}

TEST(JsonProperty, CopySharesTheDocument) {
  JsonObject object = Parsed(R"({"a":1})");
  JsonObject copy(object);
  JsonObject assigned;
  assigned = object;
  object.SetProperty("b", "2");
  EXPECT_EQ(copy.GetDataText(), Text(R"({"a":1,"b":"2"})"));
  EXPECT_EQ(assigned.GetDataText(), Text(R"({"a":1,"b":"2"})"));
  {
    JsonObject shortLived(copy);
    shortLived.Clear();
  }
  EXPECT_EQ(object.GetDataText(), Text("{}"));
}

}  // namespace
}  // namespace sorvanel
