// The rulings on what JsonObject accepts: no text is run as script, a caller's text is
// never lost, and the JSON forms change nothing unless the value is JSON.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "json/json_object.h"
#include "tests/json/json_test_util.h"

namespace sorvanel {
namespace {

using testing::Gbk;
using testing::Parsed;

TEST(JsonRulings, ParseAcceptsJsonTextsOnly) {
  const char* scripts[] = {
      "1+2", "{a:1}",    "['a']",        "/*c*/{}",    "{} // c",    "new Array()", "undefined",
      "NaN", "Infinity", "function(){}", "[1,]",       "{\"a\":1,}", "0x10",        "'x'",
      "(1)", "\"1+2\"",  "[1]\n[2]",     "{\"a\":01}", ".5",         "this",
  };
  for (const char* script : scripts) {
    JsonObject object;
    EXPECT_FALSE(object.Parse(script)) << script;
    EXPECT_EQ(object.GetDataText(), Text("null")) << script;
  }
}

TEST(JsonRulings, PathsAreNotExpressions) {
  JsonObject object = Parsed(R"({"a":[1,2],"s":"abc","f":"x"})");
  const char* paths[] = {"a.length", "s.length", "a.toString()",  "a[0+1]", "f(1)",
                         "a[0]=5",   "a;b",      "s.constructor", "a[ 0 ]"};
  for (const char* path : paths) {
    EXPECT_EQ(object.GetGeneralProperty(path), Text()) << path;
    EXPECT_EQ(object.GetGeneralProperty(path, true), Text()) << path;
  }
  object.SetProperty("a[0]=5;x", "1");
  EXPECT_EQ(object.GetDataText(), Text(R"({"a":[1,2],"s":"abc","f":"x"})"));
}

// The text forms keep what would break a quoted literal, as the character itself.
TEST(JsonRulings, TextFormsNeverLoseTheText) {
  struct Case {
    const char* name;
    std::string value;
    std::string stored;  // the stored text, as JSON
  } cases[] = {
      {"lone quote", "it's", R"("it's")"},
      {"quote plus quote", "a'+'b", R"("a'+'b")"},
      {"raw line feed", "a\nb", R"("a\nb")"},
      {"raw CR LF", "a\r\nb", R"("a\r\nb")"},
      {"escaped quote", "it\\'s", R"("it's")"},
      {"final backslash", "a\\", R"("a\\")"},
      {"short hex escape", "\\x4", R"("\\x4")"},
      {"short unicode escape", "\\u12g4", R"("\\u12g4")"},
      {"line continuation", "a\\\nb", R"("ab")"},
      {"lone surrogate", "\\ud800", R"("\ufffd")"},
      {"surrogate pair", "\\ud83d\\ude00x", "\"?x\""},
      {"Chinese", "中\\u6587", "\"中文\""},
  };
  for (const Case& c : cases) {
    JsonObject set;
    set.SetProperty("v", Gbk(c.value));
    EXPECT_EQ(set.GetPropertyObject("v"), Gbk(c.stored)) << "SetProperty " << c.name;

    JsonObject added;
    added.AddMember(Gbk(c.value), "list");
    EXPECT_EQ(added.GetMemberText(0, "list", true), Gbk(c.stored)) << "AddMember " << c.name;

    JsonObject member = Parsed("[0]");
    member.SetMember(0, Gbk(c.value));
    EXPECT_EQ(member.GetMemberText(0, "", true), Gbk(c.stored)) << "SetMember " << c.name;

    JsonObject assigned;
    assigned.Assign(Gbk(c.value));
    EXPECT_EQ(assigned.GetDataText(), Gbk(c.stored)) << "Assign " << c.name;
  }
}

// The JSON forms: each method's rule for the empty value, and no change for a value
// that is not JSON.
TEST(JsonRulings, JsonFormsTakeJsonOnly) {
  const char* before = R"({"a":[1],"b":2})";
  struct Case {
    const char* name;
    std::function<void(JsonObject&, const Text&)> change;
    const char* afterEmpty;
  } cases[] = {
      {"SetProperty", [](JsonObject& o, const Text& v) { o.SetProperty("b", v, true); },
       R"({"a":[1],"b":{}})"},
      {"SetPropertyObject", [](JsonObject& o, const Text& v) { o.SetPropertyObject("b", v); },
       R"({"a":[1]})"},
      {"AddMember", [](JsonObject& o, const Text& v) { o.AddMember(v, "a", true); },
       R"({"a":[1],"b":2})"},
      {"AddMember to non-array", [](JsonObject& o, const Text& v) { o.AddMember(v, "b", true); },
       R"({"a":[1],"b":[]})"},
      {"SetMember", [](JsonObject& o, const Text& v) { o.SetMember(0, v, true); },
       R"({"a":[1],"b":2})"},
      {"Assign", [](JsonObject& o, const Text& v) { o.Assign(v, true); }, R"({"a":[1],"b":2})"},
  };
  const char* notJson[] = {"1+2", "{b:1}", "'x'", "[1,", "alert(1)", "undefined", "  "};
  for (const auto& c : cases) {
    JsonObject empty = Parsed(before);
    c.change(empty, Text());
    EXPECT_EQ(empty.GetDataText(), Text(c.afterEmpty)) << c.name << " empty";
    for (const char* value : notJson) {
      JsonObject object = Parsed(before);
      c.change(object, value);
      EXPECT_EQ(object.GetDataText(), Text(before)) << c.name << " " << value;
    }
  }
}

// Rewriting a member through its JSON text must not turn a text into null.
TEST(JsonRulings, DeletePropertyLeavesTextsAlone) {
  JsonObject object = Parsed(R"({"s":"abc","z":null,"n":5})");
  object.DeleteProperty("s[0]");
  object.DeleteProperty("z[0]");
  object.DeleteProperty("n[0]");
  EXPECT_EQ(object.GetDataText(), Text(R"({"s":"abc","z":null,"n":5})"));
}

}  // namespace
}  // namespace sorvanel
