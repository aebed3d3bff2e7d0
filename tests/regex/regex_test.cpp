#include "regex/regex_object.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace sorvanel {
namespace {

// Texts in code page 936.
constexpr char kZhong[] = "\xD6\xD0";            // 中
constexpr char kWen[] = "\xCE\xC4";              // 文
constexpr char kZi[] = "\xD7\xD6";               // 字
constexpr char kTrailA[] = "\xB0\x41";           // a character whose second byte is 'A'
constexpr char kFullWidthUpperA[] = "\xA3\xC1";  // Ａ
constexpr char kFullWidthLowerA[] = "\xA3\xE1";  // ａ
constexpr char kIdeographicSpace[] = "\xA1\xA1";
constexpr char kQuoteMarker[] = "#\xD2\xFD\xBA\xC5";  // #引号

std::string Cat(std::initializer_list<std::string_view> parts) {
  std::string s;
  for (std::string_view p : parts) s += p;
  return s;
}

std::vector<std::string> MatchTexts(const RegexObject& regex) {
  std::vector<std::string> texts;
  for (int32_t i = 1; i <= regex.GetMatchCount(); ++i) texts.push_back(regex.GetMatchText(i).str());
  return texts;
}

// Every query about the matches gives its neutral result.
void ExpectNoMatches(const RegexObject& regex, const char* name) {
  EXPECT_EQ(regex.GetMatchCount(), 0) << name;
  EXPECT_EQ(regex.GetSubMatchCount(), 0) << name;
  EXPECT_EQ(regex.GetMatchText(1), Text()) << name;
  EXPECT_EQ(regex.GetSubMatchText(1, 1), Text()) << name;
}

// The switches of one Create; nullopt is a left-out argument.
struct Switches {
  std::optional<bool> caseSensitive = std::nullopt;
  std::optional<bool> multiline = std::nullopt;
  std::optional<bool> global = std::nullopt;
  std::optional<bool> replaceQuotes = std::nullopt;
};

bool CreateWith(RegexObject& regex, const std::string& pattern, const std::string& text,
                const Switches& s) {
  return regex.Create(pattern, text, s.caseSensitive, s.multiline, s.global, s.replaceQuotes);
}

// One Create and the match texts it should find.
struct MatchRow {
  const char* name;
  std::string pattern, text;
  std::vector<std::string> expected;
  Switches switches = {};
};

void ExpectMatches(std::span<const MatchRow> rows) {
  for (const MatchRow& row : rows) {
    RegexObject regex;
    ASSERT_TRUE(CreateWith(regex, row.pattern, row.text, row.switches)) << row.name;
    EXPECT_EQ(MatchTexts(regex), row.expected) << row.name;
  }
}

TEST(RegexObjectTest, MatchesAndSubMatchesOfOneRun) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("a(b)?", "ab a"));
  EXPECT_EQ(regex.GetMatchCount(), 2);
  EXPECT_EQ(regex.GetMatchText(1), Text("ab"));
  EXPECT_EQ(regex.GetMatchText(2), Text("a"));
  EXPECT_EQ(regex.GetSubMatchText(1, 1), Text("b"));
  EXPECT_EQ(regex.GetSubMatchText(2, 1), Text());  // the group took no part
  EXPECT_EQ(regex.GetSubMatchCount(), 1);
}

TEST(RegexObjectTest, IndexesOutOfRangeGiveNeutralResults) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("(a)(b)", "ab ab"));
  const struct {
    const char* name;
    int32_t match, group;
  } cases[] = {
      {"match 0", 0, 1}, {"match above the count", 3, 1}, {"negative match", -1, 1},
      {"group 0", 1, 0}, {"group above the count", 1, 3}, {"negative group", 1, -5},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(regex.GetSubMatchText(c.match, c.group), Text()) << c.name;
  }
  EXPECT_EQ(regex.GetMatchText(0), Text());
  EXPECT_EQ(regex.GetMatchText(3), Text());
  EXPECT_EQ(regex.GetSubMatchText(2, 2), Text("b"));
}

// The switches as given or left out, and what the one run then finds.
TEST(RegexObjectTest, SwitchesLeftOutOrGiven) {
  const MatchRow rows[] = {
      {"case left out ignores case", "A", "a", {"a"}},
      {"case-sensitive true", "A", "a", {}, {.caseSensitive = true}},
      {"case-sensitive false", "A", "a", {"a"}, {.caseSensitive = false}},
      {"global left out collects all", "a", "aaa", {"a", "a", "a"}},
      {"global true", "a", "aaa", {"a", "a", "a"}, {.global = true}},
      {"global false takes the first", "a", "aaa", {"a"}, {.global = false}},
      {"multi-line left out", "^\\w", "a\nb", {"a", "b"}},
      {"multi-line false", "^\\w", "a\nb", {"a"}, {.multiline = false}},
      {"multi-line false, $ at the end only", "\\w$", "a\nb", {"b"}, {.multiline = false}},
      {"quote marker replaced",
       Cat({kQuoteMarker, "(\\w+)", kQuoteMarker}),
       "say \"hi\" now",
       {"\"hi\""},
       {.replaceQuotes = true}},
      {"quote marker kept when left out", kQuoteMarker, Cat({"\"", kQuoteMarker}), {kQuoteMarker}},
      {"quote marker kept when false", kQuoteMarker, "\"", {}, {.replaceQuotes = false}},
  };
  ExpectMatches(rows);
}

TEST(RegexObjectTest, PatternTextShowsReplacedQuotes) {
  RegexObject regex;
  EXPECT_EQ(regex.GetPatternText(), Text());
  ASSERT_TRUE(regex.Create(Cat({kQuoteMarker, "x", kQuoteMarker}), "\"x\"", std::nullopt,
                           std::nullopt, std::nullopt, true));
  EXPECT_EQ(regex.GetPatternText(), Text("\"x\""));
  EXPECT_EQ(regex.GetMatchCount(), 1);
}

TEST(RegexObjectTest, FreshObjectGivesNeutralResults) {
  RegexObject regex;
  regex.View();
  ExpectNoMatches(regex, "fresh");
  EXPECT_EQ(regex.GetPatternText(), Text());
  EXPECT_EQ(regex.Replace("abc", "x"), Text());
}

TEST(RegexObjectTest, PatternsThatCannotBeCompiled) {
  // The last rows are the engine's own extensions, which the JavaScript style rejects.
  // A quantifier on ^ or $ has nothing to repeat, in either mode.
  const char* patterns[] = {"(a",    "a)", "[a",  "*a", "a{2,1}", "\\",  "(?i)a", "(*CR)a",
                            "(?>a)", "^*", "^+a", "$+", "^{2}a",  "a$?", "^{1,}a"};
  for (const char* pattern : patterns) {
    for (const bool multiline : {true, false}) {
      RegexObject regex;
      EXPECT_FALSE(regex.Create(pattern, "a", std::nullopt, multiline)) << pattern << multiline;
    }
  }
  for (const char* pattern : patterns) {
    RegexObject regex;
    ASSERT_TRUE(regex.Create("b", "b"));  // a failed Create drops the earlier matches
    EXPECT_FALSE(regex.Create(pattern, "a(a)")) << pattern;
    ExpectNoMatches(regex, pattern);
    EXPECT_EQ(regex.GetPatternText(), Text(pattern)) << pattern;
    EXPECT_EQ(regex.Replace("a", "x"), Text()) << pattern;
  }
}

TEST(RegexObjectTest, RunWithoutMatchesIsStillARun) {
  RegexObject regex;
  EXPECT_TRUE(regex.Create("z", "abc"));
  ExpectNoMatches(regex, "no match");
  EXPECT_TRUE(regex.Create("z", ""));
  EXPECT_EQ(regex.GetMatchCount(), 0);
}

TEST(RegexObjectTest, ViewChangesNothing) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("(a)", "aa"));
  regex.View();
  EXPECT_EQ(regex.GetMatchCount(), 2);
  EXPECT_EQ(regex.GetSubMatchText(2, 1), Text("a"));
  EXPECT_EQ(regex.GetPatternText(), Text("(a)"));
}

TEST(RegexObjectTest, CopiesKeepTheirOwnRun) {
  RegexObject original;
  ASSERT_TRUE(original.Create("(\\d)", "1 2", std::nullopt, std::nullopt, false));
  RegexObject copy(original);
  EXPECT_EQ(copy.GetMatchCount(), 1);
  EXPECT_EQ(copy.GetSubMatchText(1, 1), Text("1"));
  EXPECT_EQ(copy.Replace("7 8", "x"), Text("x 8"));  // the switches came along

  ASSERT_TRUE(copy.Create("\\w", "abc"));
  EXPECT_EQ(copy.GetMatchCount(), 3);
  EXPECT_EQ(original.GetMatchCount(), 1);
  EXPECT_EQ(original.GetPatternText(), Text("(\\d)"));

  RegexObject assigned;
  assigned = original;
  EXPECT_EQ(assigned.GetMatchText(1), Text("1"));
  RegexObject moved(std::move(assigned));
  EXPECT_EQ(moved.GetMatchText(1), Text("1"));
}

TEST(RegexObjectTest, ReplaceUsesTheLastCreateOnly) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("o", "foo"));
  EXPECT_EQ(regex.Replace("boo", "0"), Text("b00"));
  EXPECT_EQ(regex.Replace("boo"), Text("b"));  // replacement left out: the empty text
  EXPECT_EQ(regex.GetMatchCount(), 2);         // the run of Create is untouched
  ASSERT_TRUE(regex.Create("b", "foo", std::nullopt, std::nullopt, false));
  EXPECT_EQ(regex.Replace("bob", "x"), Text("xob"));
}

// The behaviours that JavaScript-style patterns rely on, with every switch left out
// unless the row says otherwise.
TEST(RegexObjectTest, JavaScriptStylePatterns) {
  const MatchRow rows[] = {
      // classes
      {"range", "[a-c]+", "abcd cab", {"abc", "cab"}},
      {"negated class", "[^a-c ]+", "abxd cy", {"xd", "y"}},
      {"digits and words", "\\d+|\\w+", "ab 12_x", {"ab", "12", "_x"}},
      {"\\s is ASCII white space", "\\s", Cat({" \t", kIdeographicSpace}), {" ", "\t"}},
      {"[] matches nothing", "a[]", "a", {}},
      {"[^] matches any character", "[^]", "\n", {"\n"}},
      {"] first in a class ends the empty class", "[]]", "]", {}},
      {"class escape beside a dash", "[\\d-x]", "-", {"-"}},
      {"no POSIX classes", "[[:digit:]]", "d]", {"d]"}},
      {". takes the letters of its own line-break escapes",
       ".",
       "u2028",
       {"u", "2", "0", "2", "8"}},
      {". stops at line breaks", "a.b", "a\nb a\rb axb", {"axb"}},
      // escapes
      {"\\uHHHH", "\\u4e2d", kZhong, {kZhong}},
      {"\\xHH", "\\x41", "A", {"A"}},
      {"\\u without four digits is u", "\\u12", "u12", {"u12"}},
      {"\\v is the vertical tab alone", "\\v", "\n\x0b", {"\x0b"}},
      {"octal escape", "\\101", "A", {"A"}},
      {"control letter", "\\cJ", "\n", {"\n"}},
      {"\\c without a letter is literal", "\\c1", "\\c1", {"\\c1"}},
      {"\\B in a class is B", "[\\B]", "B", {"B"}},
      {"dash after a range start and a class escape", "[a-\\d]", "-", {"-"}},
      {"\\k without named groups is k", "\\k", "k", {"k"}},
      {"named back-reference", "(?<y>\\d)\\k<y>", "11 12", {"11"}},
      {"unknown letter escape is the letter", "\\h\\K\\Q", "hKQ", {"hKQ"}},
      // \b
      {"word boundary", "\\bcat\\b", "cat concat cat.", {"cat", "cat"}},
      {"Chinese is not a word character", "\\bab\\b", Cat({kZhong, "ab", kWen}), {"ab"}},
      // lookahead
      {"lookahead", "a(?=b)", "ab ac", {"a"}},
      {"negative lookahead", "a(?!b)", "ab ac", {"a"}},
      // back-references
      {"back-reference", "(\\w)\\1", "abbcdd", {"bb", "dd"}},
      {"unset back-reference matches empty", "(a)?b\\1", "b", {"b"}},
      {"forward reference matches empty", "\\1(a)", "a", {"a"}},
      {"reference beyond the groups is octal", "(a)\\2", "a\x02", {"a\x02"}},
      {"two digits beyond the groups are octal", "(a)\\10", "a\b", {"a\b"}},
      {"\\8 without eight groups is 8", "\\8", "8", {"8"}},
      // quantifiers
      {"greedy", "<.+>", "<a><b>", {"<a><b>"}},
      {"lazy", "<.+?>", "<a><b>", {"<a>", "<b>"}},
      {"lazy bounded", "a{2,3}?", "aaaaa", {"aa", "aa"}},
      {"brace that is no quantifier is literal", "a{", "a{", {"a{"}},
      // case next to Chinese text
      {"ignore case beside Chinese",
       Cat({"abc", kZhong}),
       Cat({"ABC", kZhong}),
       {Cat({"ABC", kZhong})}},
      {"letter in a second byte is no letter", "a", kTrailA, {}},
      {"double-byte character matches itself", kTrailA, Cat({"A", kTrailA}), {kTrailA}},
      {"full-width letters fold", kFullWidthLowerA, kFullWidthUpperA, {kFullWidthUpperA}},
      {"full-width letters, case-sensitive",
       kFullWidthLowerA,
       kFullWidthUpperA,
       {},
       {.caseSensitive = true}},
      // line breaks in multi-line mode
      {"^ after CR and LF", "^", "a\r\nb", {"", "", ""}},
      {"$ before CR and LF", "$", "a\r\nb", {"", "", ""}},
      {"^$ between CR and LF", "^$", "a\r\n", {"", ""}},
      {"$ outside multi-line mode is the very end", "a$", "a\n", {}, {.multiline = false}},
      // empty matches under Global
      {"a* ends", "a*", "baaac", {"", "aaa", "", ""}},
      {"empty alternative first", "|a", "a", {"", ""}},
      {"empty pattern steps by characters", "", Cat({kZhong, kWen}), {"", "", ""}},
      {"Chinese match text",
       Cat({kZhong, "."}),
       Cat({"x", kZhong, kWen, kZhong}),
       {Cat({kZhong, kWen})}},
  };
  ExpectMatches(rows);
}

// Quantified back-references to a group that took no part match the empty text, as in
// JavaScript, on short subjects and on subjects long enough to leave the fast path of
// the engine.
TEST(RegexObjectTest, QuantifiedUnsetBackReferences) {
  const std::string padding(100'000, 'z');
  const struct {
    const char* pattern;
    std::string text;
    const char* expected;
  } rows[] = {
      {"(x)?y\\1+", "y", "y"},  {"(x)?y\\1{2}", "y", "y"},     {"(x)?y\\1{1,3}", "y", "y"},
      {"(x)?y\\1+?", "y", "y"}, {"(x)?y\\1+", "xyxx", "xyxx"}, {"(x)?y\\1{2}", "xyx", "y"},
  };
  for (const auto& row : rows) {
    for (const std::string& text : {row.text, padding + row.text}) {
      RegexObject regex;
      ASSERT_TRUE(regex.Create(row.pattern, text)) << row.pattern;
      const std::vector<std::string> expected =
          *row.expected ? std::vector<std::string>{row.expected} : std::vector<std::string>{};
      EXPECT_EQ(MatchTexts(regex), expected) << row.pattern << " on " << text.size() << " bytes";
    }
  }
}

TEST(RegexObjectTest, SubMatchesOfChineseText) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create(Cat({"(", kZhong, ")(\\d+)?(", kWen, ")"}),
                           Cat({kZhong, "12", kWen, " ", kZhong, kWen})));
  EXPECT_EQ(regex.GetSubMatchCount(), 3);
  EXPECT_EQ(regex.GetSubMatchText(1, 2), Text("12"));
  EXPECT_EQ(regex.GetSubMatchText(2, 1), Text(kZhong));
  EXPECT_EQ(regex.GetSubMatchText(2, 2), Text());
  EXPECT_EQ(regex.GetSubMatchText(2, 3), Text(kWen));
}

TEST(RegexObjectTest, ReplacementSyntax) {
  struct Row {
    const char* name;
    std::string pattern, text, replacement;
    std::string expected;
    std::optional<bool> global = std::nullopt;
  };
  const std::string twelveGroups = "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)";
  const Row rows[] = {
      {"groups swapped", "(\\w+) (\\w+)", "hello world", "$2 $1", "world hello"},
      {"the match", "o", "foo", "[$&]", "f[o][o]"},
      {"before and after", "b", "abc", "[$`|$']", "a[a|c]c"},
      {"dollar sign", "b", "abc", "$$", "a$c"},
      {"two digits without that group", "(b)", "abc", "$12", "ab2c"},
      {"two digits with that group", twelveGroups, "abcdefghijkl", "$12$11", "lk"},
      {"leading zero", "(b)", "abc", "$01", "abc"},
      {"$0 is literal", "(b)", "abc", "$0", "a$0c"},
      {"missing group is literal", "(b)", "abc", "$5", "a$5c"},
      {"anything else literal", "b", "abc", "$x$", "a$x$c"},
      {"unset group is empty", "(a)?b", "b", "[$1]", "[]"},
      {"first only", "o", "foo", "0", "f0o", false},
      {"empty matches", "a*", "baaac", "-", "-b--c-"},
      {"empty pattern between characters", "", Cat({kZhong, kWen}), "-",
       Cat({"-", kZhong, "-", kWen, "-"})},
      {"Chinese replaced", kWen, Cat({kZhong, kWen}), kZi, Cat({kZhong, kZi})},
      {"Chinese groups", Cat({"(", kZhong, ")(", kWen, ")"}), Cat({kZhong, kWen}), "$2$1",
       Cat({kWen, kZhong})},
      {"no match keeps invalid bytes", "z", "ab\x81", "x", "ab\x81"},
      {"invalid bytes substituted when rebuilt", "b", "\x81 b", "x", "? x"},
      {"empty text", "a", "", "x", ""},
  };
  for (const Row& row : rows) {
    RegexObject regex;
    ASSERT_TRUE(regex.Create(row.pattern, "", std::nullopt, std::nullopt, row.global)) << row.name;
    EXPECT_EQ(regex.Replace(row.text, row.replacement).str(), row.expected) << row.name;
  }
}

TEST(RegexObjectTest, InvalidSubjectBytesAreSubstituted) {
  // 0x81 starts a double-byte character, and a space cannot end one.
  RegexObject regex;
  ASSERT_TRUE(regex.Create("a. b", "a\x81 b"));
  EXPECT_EQ(MatchTexts(regex), std::vector<std::string>{"a? b"});
}

// A pattern that backtracks catastrophically ends in a failed run, quickly.
TEST(RegexObjectTest, CatastrophicBacktrackingFailsTheRun) {
  const std::string subject = std::string(40, 'a') + "!";
  RegexObject regex;
  ASSERT_TRUE(regex.Create("a", "a"));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(regex.Create("(a+)+$", subject));
  EXPECT_EQ(regex.Replace(subject, "x"), Text(subject));  // its input unchanged
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_LT(elapsed, std::chrono::seconds(2));
  ExpectNoMatches(regex, "catastrophic");
  EXPECT_EQ(regex.GetPatternText(), Text("(a+)+$"));
  // On a text where it has no work to do, the same pattern runs.
  EXPECT_EQ(regex.Replace("aa", "x"), Text("x"));
}

// Matches found before a search hits the bounds do not make a partial result.
TEST(RegexObjectTest, BoundsHitAfterSomeMatchesFailTheWholeRun) {
  const std::string subject = "b b " + std::string(40, 'a') + "!";
  RegexObject regex;
  EXPECT_FALSE(regex.Create("b|(a+)+$", subject));
  ExpectNoMatches(regex, "partial");
  EXPECT_EQ(regex.Replace(subject, "x"), Text(subject));
}

// A run whose backtracking nests too deep fails too, instead of exhausting the stack.
TEST(RegexObjectTest, TooDeepBacktrackingFailsTheRun) {
  const std::string subject(2'000'000, 'a');
  RegexObject regex;
  EXPECT_FALSE(regex.Create("(?:a|b)*", subject));
  ExpectNoMatches(regex, "too deep");
  EXPECT_EQ(regex.Replace(subject, "x"), Text(subject));
}

// The bounds hold one search each: a long text with many matches runs to its end, and
// a repeated group runs over some ten thousand characters.
TEST(RegexObjectTest, LongTextsAreNotCutOff) {
  std::string subject;
  for (int i = 0; i < 50000; ++i) subject += "ab12 ";
  RegexObject regex;
  ASSERT_TRUE(regex.Create("(\\w+?)(\\d+)", subject));
  EXPECT_EQ(regex.GetMatchCount(), 50000);
  EXPECT_EQ(regex.GetSubMatchText(50000, 2), Text("12"));
  const std::string shorter = subject.substr(0, 50000);
  ASSERT_TRUE(regex.Create("(?:a|b|1|2| )*$", shorter));
  EXPECT_EQ(regex.GetMatchText(1), Text(shorter));
}

}  // namespace
}  // namespace sorvanel
