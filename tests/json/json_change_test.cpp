// The methods of JsonObject that change the document.
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

// A change applied to a document, and the document afterwards.
struct ChangeCase {
  const char* name;
  const char* before;
  std::function<void(JsonObject&)> change;
  const char* after;
};

void RunChanges(const std::vector<ChangeCase>& cases) {
  for (const ChangeCase& c : cases) {
    JsonObject object = Parsed(c.before);
    c.change(object);
    EXPECT_EQ(object.GetDataText(), Gbk(c.after)) << c.name;
  }
}

TEST(JsonSetProperty, Table) {
  RunChanges({
      {"text into empty member object", R"({"a":{}})",
       [](JsonObject& o) { o.SetProperty("a.b", "x"); }, R"({"a":{"b":"x"}})"},
      {"existing member keeps its place", R"({"a":1,"b":2})",
       [](JsonObject& o) { o.SetProperty("a", "x"); }, R"({"a":"x","b":2})"},
      {"new member goes last", R"({"b":1})", [](JsonObject& o) { o.SetProperty("a", "x"); },
       R"({"b":1,"a":"x"})"},
      {"backslash n is a line feed", "{}", [](JsonObject& o) { o.SetProperty("a", "1\\n2"); },
       R"({"a":"1\n2"})"},
      {"escapes decoded", "{}",
       [](JsonObject& o) { o.SetProperty("a", R"(\\ \' \" \x41 \u4e2d \t \101 \q)"); },
       R"({"a":"\\ ' \" A 中 \t A q"})"},
      {"missing parent", "{}", [](JsonObject& o) { o.SetProperty("x.y", "1"); }, "{}"},
      {"null parent", R"({"x":null})", [](JsonObject& o) { o.SetProperty("x.y", "1"); },
       R"({"x":null})"},
      {"member of a text", R"({"s":"t"})", [](JsonObject& o) { o.SetProperty("s.y", "1"); },
       R"({"s":"t"})"},
      {"leading bracket", "[1]", [](JsonObject& o) { o.SetProperty("[0]", "1"); }, "[1]"},
      {"empty path", "{}", [](JsonObject& o) { o.SetProperty("", "1"); }, "{}"},
      {"index into array lengthens it", R"({"a":[1]})",
       [](JsonObject& o) { o.SetProperty("a[2]", "z"); }, R"({"a":[1,null,"z"]})"},
      {"expression number", "{}", [](JsonObject& o) { o.SetProperty("a", "1", true); },
       R"({"a":1})"},
      {"expression JSON", "{}",
       [](JsonObject& o) { o.SetProperty("a", R"({"k":[1,{"m":null}]})", true); },
       R"({"a":{"k":[1,{"m":null}]}})"},
      {"expression empty is empty object", R"({"a":1})",
       [](JsonObject& o) { o.SetProperty("a", "", true); }, R"({"a":{}})"},
      {"expression not JSON", R"({"a":1})", [](JsonObject& o) { o.SetProperty("a", "1+2", true); },
       R"({"a":1})"},
      {"quoted key with space", R"({"o":{}})",
       [](JsonObject& o) { o.SetProperty("o['x y']", "1"); }, R"({"o":{"x y":"1"}})"},
      {"no leading bracket for a quoted key", "{}",
       [](JsonObject& o) { o.SetProperty("['x y']", "1"); }, "{}"},
      {"bracket number on object", "{}", [](JsonObject& o) { o.SetProperty("[7]", "1"); }, "{}"},
      {"index key on object", R"({"o":{}})", [](JsonObject& o) { o.SetProperty("o[7]", "1"); },
       R"({"o":{"7":"1"}})"},
  });
}

TEST(JsonSetPropertyObject, EmptyValueStoresMissing) {
  JsonObject object = Parsed(R"({"a":1,"b":2})");
  object.SetPropertyObject("a", "");
  EXPECT_EQ(object.GetDataText(), Text(R"({"b":2})"));
  EXPECT_FALSE(object.PropertyExists("a"));
  EXPECT_EQ(object.GetType("a"), 0);
  EXPECT_EQ(object.GetGeneralProperty("a", true), Text());
  std::vector<Text> names;
  EXPECT_EQ(object.GetAllPropertyNames(names), 2);
  EXPECT_EQ(names, (std::vector<Text>{"a", "b"}));
  EXPECT_EQ(object.MemberCount(), 2);

  object.SetPropertyObject("c", R"([1,"x"])");
  EXPECT_EQ(object.GetDataText(), Text(R"({"b":2,"c":[1,"x"]})"));
  object.SetPropertyObject("c", "not json");
  object.SetPropertyObject("c", R"("text root")");
  EXPECT_EQ(object.GetDataText(), Text(R"({"b":2,"c":[1,"x"]})"));
}

TEST(JsonSetPropertyNumber, RoundedToSixDecimals) {
  struct Case {
    double value;
    const char* json;
  } cases[] = {
      {0.1234567, "0.123457"}, {1e-7, "0"},     {-1e-7, "0"}, {42, "42"},
      {-2.5, "-2.5"},          {1e21, "1e+21"},
  };
  for (const Case& c : cases) {
    JsonObject object;
    object.SetPropertyNumber("n", c.value);
    EXPECT_EQ(object.GetGeneralProperty("n", true), Text(c.json)) << c.value;
  }
  JsonObject object;
  object.SetPropertyNumber("n", 1.0 / 0.0);
  object.SetPropertyNumber("x.y", 1);
  EXPECT_EQ(object.GetDataText(), Text("{}"));
}

TEST(JsonAddMember, Table) {
  RunChanges({
      {"text replaces object root", R"({"a":1})", [](JsonObject& o) { o.AddMember("1"); },
       R"(["1"])"},
      {"number with asObject", "[]", [](JsonObject& o) { o.AddMember("1", "", true); }, "[1]"},
      {"two appends create list", "{}",
       [](JsonObject& o) {
         o.AddMember("1", "list", true);
         o.AddMember(R"({"a":"b"})", "list", true);
       },
       R"({"list":[1,{"a":"b"}]})"},
      {"text root JSON stored as text", "[]",
       [](JsonObject& o) { o.AddMember(R"("x")", "", true); }, R"(["x"])"},
      {"empty expression replaces only", R"({"a":5})",
       [](JsonObject& o) { o.AddMember("", "a", true); }, R"({"a":[]})"},
      {"not JSON changes nothing", R"({"a":5})",
       [](JsonObject& o) { o.AddMember("x+", "a", true); }, R"({"a":5})"},
      {"parent missing", "{}", [](JsonObject& o) { o.AddMember("1", "x.y"); }, "{}"},
      {"parent is a text", R"({"s":"t"})", [](JsonObject& o) { o.AddMember("1", "s.y"); },
       R"({"s":"t"})"},
      {"appends after holes", "[1]",
       [](JsonObject& o) {
         o.SetMember(2, "3", true);
         o.AddMember("4", "", true);
       },
       "[1,null,3,4]"},
  });
}

TEST(JsonSetMember, Table) {
  RunChanges({
      {"lengthens with holes", R"(["a"])", [](JsonObject& o) { o.SetMember(3, "d"); },
       R"(["a",null,null,"d"])"},
      {"expression", "[0,0]", [](JsonObject& o) { o.SetMember(1, "[true]", true); }, "[0,[true]]"},
      {"text root JSON stored as text", "[0]",
       [](JsonObject& o) { o.SetMember(0, R"("x")", true); }, R"(["x"])"},
      {"empty expression", "[0]", [](JsonObject& o) { o.SetMember(0, "", true); }, "[0]"},
      {"root object gets decimal key", R"({"a":1})", [](JsonObject& o) { o.SetMember(2, "x"); },
       R"({"a":1,"2":"x"})"},
      {"negative index on array", "[0]", [](JsonObject& o) { o.SetMember(-1, "x"); }, "[0]"},
      {"root text", "[0]",
       [](JsonObject& o) {
         o.Assign("t");
         o.SetMember(0, "x");
       },
       R"("t")"},
      {"far index refused", "[]", [](JsonObject& o) { o.SetMember(2000000000, "x"); }, "[]"},
      {"into a run of holes", "[0]",
       [](JsonObject& o) {
         o.SetMember(5, "x");
         o.SetMember(3, "y");
         o.SetMember(1, "z");
       },
       R"([0,"z",null,"y",null,"x"])"},
  });
  {
    // One change may add 2^20 holes, no more; holes take no memory of their own, so
    // far-out elements can be set again and again.
    JsonObject sparse = Parsed(R"({"k":[]})");
    const std::size_t step = std::size_t{1} << 20;
    for (std::size_t i = 1; i <= 64; ++i) {
      sparse.SetProperty(Text("k[" + std::to_string(i * step) + "]"), "v");
    }
    EXPECT_EQ(sparse.MemberCount("k"), 64);
    EXPECT_EQ(sparse.GetGeneralProperty(Text("k[" + std::to_string(64 * step) + "]")), Text("v"));
    sparse.SetProperty(Text("k[" + std::to_string(65 * step + 2) + "]"), "w");  // 2^20 + 1
    EXPECT_EQ(sparse.MemberCount("k"), 64);
    sparse.SetProperty(Text("k[" + std::to_string(65 * step + 1) + "]"), "w");  // 2^20
    EXPECT_EQ(sparse.MemberCount("k"), 65);
  }
  {
    // At 2^20 elements an append, a set just past the end and an in-range set all work.
    std::string items = "0";
    for (std::size_t i = 1; i < (std::size_t{1} << 20); ++i) items += ",0";
    JsonObject big = Parsed(R"({"l":[)" + items + "]}");
    ASSERT_EQ(big.MemberCount("l"), 1 << 20);
    big.AddMember("x", "l");
    big.SetProperty("l[1048577]", "y");
    big.SetProperty("l[7]", "z");
    EXPECT_EQ(big.MemberCount("l"), (1 << 20) + 2);
    EXPECT_EQ(big.GetGeneralProperty("l[1048576]"), Text("x"));
    EXPECT_EQ(big.GetGeneralProperty("l[1048577]"), Text("y"));
    EXPECT_EQ(big.GetGeneralProperty("l[7]"), Text("z"));
  }
  JsonObject object = Parsed(R"(["a"])");
  object.SetMember(3, "d");
  EXPECT_EQ(object.MemberCount(), 2);  // holes are not members
  EXPECT_EQ(object.GetType("[1]"), -1);
  EXPECT_EQ(object.GetMemberText(1, "", true), Text());
}

TEST(JsonDeleteMember, Table) {
  RunChanges({
      {"first", "[1,2,3]", [](JsonObject& o) { o.DeleteMember(0); }, "[2,3]"},
      {"last by -1", "[1,2,3]", [](JsonObject& o) { o.DeleteMember(-1); }, "[1,2]"},
      {"far negative is first", "[1,2,3]", [](JsonObject& o) { o.DeleteMember(-9); }, "[2,3]"},
      {"beyond the end", "[1,2,3]", [](JsonObject& o) { o.DeleteMember(5); }, "[1,2,3]"},
      {"root object", R"({"0":1})", [](JsonObject& o) { o.DeleteMember(0); }, R"({"0":1})"},
      {"a hole and the element after it", "[0]",
       [](JsonObject& o) {
         o.SetMember(4, "x");
         o.SetMember(6, "y");
         o.DeleteMember(2);
         o.DeleteMember(3);
       },
       R"([0,null,null,null,"y"])"},
      {"the element after holes by -1", "[0]",
       [](JsonObject& o) {
         o.SetMember(3, "x");
         o.DeleteMember(-1);
       },
       "[0,null,null]"},
  });
}

TEST(JsonDeleteProperty, Table) {
  RunChanges({
      {"middle element", R"({"list":[1,2,3]})", [](JsonObject& o) { o.DeleteProperty("list[1]"); },
       R"({"list":[1,3]})"},
      {"no bracket", R"({"list":[1,2,3]})", [](JsonObject& o) { o.DeleteProperty("list"); },
       R"({"list":[1,2,3]})"},
      {"leading bracket", "[1,2]", [](JsonObject& o) { o.DeleteProperty("[0]"); }, "[1,2]"},
      {"only first bracket counts", R"({"a":{"b":[[1,2],[3,4]]}})",
       [](JsonObject& o) { o.DeleteProperty("a.b[1][0]"); }, R"({"a":{"b":[[1,2]]}})"},
      {"index not a number is 0", R"({"l":[1,2]})", [](JsonObject& o) { o.DeleteProperty("l[x]"); },
       R"({"l":[2]})"},
      {"blanks before the index skipped", R"({"list":[1,2,3]})",
       [](JsonObject& o) { o.DeleteProperty("list[ \t1 ]"); }, R"({"list":[1,3]})"},
      {"negative index after a blank", R"({"list":[1,2,3]})",
       [](JsonObject& o) { o.DeleteProperty("list[ -1]"); }, R"({"list":[1,2]})"},
      {"object parent rewritten as it was", R"({"o":{"0":1}})",
       [](JsonObject& o) { o.DeleteProperty("o[0]"); }, R"({"o":{"0":1}})"},
      {"missing parent", R"({"a":1})", [](JsonObject& o) { o.DeleteProperty("x[0]"); },
       R"({"a":1})"},
  });
  JsonObject object = Parsed(R"({"a":1})");
  object.DeleteProperty("x[0]");
  std::vector<Text> names;
  EXPECT_EQ(object.GetAllPropertyNames(names), 1);  // no member x appears
}

TEST(JsonWholeDocument, SetTypeAssignClear) {
  RunChanges({
      {"type 5", R"({"a":1})", [](JsonObject& o) { o.SetType(5); }, "[]"},
      {"type 0", "[1]", [](JsonObject& o) { o.SetType(0); }, "{}"},
      {"type 4", "[1]", [](JsonObject& o) { o.SetType(4); }, "{}"},
      {"type 1", "[1]", [](JsonObject& o) { o.SetType(1); }, "[1]"},
      {"type 6", "[1]", [](JsonObject& o) { o.SetType(6); }, "[1]"},
      {"assign text", "{}", [](JsonObject& o) { o.Assign("abc"); }, R"("abc")"},
      {"assign array", "{}", [](JsonObject& o) { o.Assign("[1,\"b\"]", true); }, R"([1,"b"])"},
      {"assign text root", "{}", [](JsonObject& o) { o.Assign(R"("t")", true); }, R"("t")"},
      {"assign empty expression", "[1]", [](JsonObject& o) { o.Assign("", true); }, "[1]"},
      {"assign not JSON", "[1]", [](JsonObject& o) { o.Assign("[1,", true); }, "[1]"},
      {"clear", R"({"a":[1,2]})", [](JsonObject& o) { o.Clear(); }, "{}"},
      {"clear after failed parse", "{", [](JsonObject& o) { o.Clear(); }, "{}"},
  });
}

TEST(JsonChanges, SeenThroughCopiesNotThroughGetProperty) {
  JsonObject object = Parsed(R"({"a":{"b":1}})");
  JsonObject copy = object;
  JsonObject separate = object.GetProperty("a");
  object.SetProperty("a.b", "2", true);
  EXPECT_EQ(copy.GetGeneralProperty("a.b"), Text("2"));
  EXPECT_EQ(separate.GetGeneralProperty("b"), Text("1"));
}

TEST(JsonChanges, DepthCapHoldsForChanges) {
  const std::string deep = std::string(999, '[') + std::string(999, ']');
  JsonObject object;
  object.SetPropertyObject("a", Text(deep));  // 1 + 999 levels: allowed
  EXPECT_EQ(object.GetType("a"), 5);
  object.SetPropertyObject("b", Text("[" + deep + "]"));  // one level too deep
  EXPECT_FALSE(object.PropertyExists("b"));
  object.AddMember(Text(deep), "c", true);  // the new list adds a level
  EXPECT_FALSE(object.PropertyExists("c"));
}

}  // namespace
}  // namespace sorvanel
