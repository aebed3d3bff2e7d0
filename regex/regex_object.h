// RegexObject: one pattern, run once over one text when it is created, and the
// questions that can then be asked about the matches of that run (their count, their
// texts, the texts of their sub-expressions) plus a replacement of the matches in
// another text.
//
// Patterns follow the JavaScript style of regular expressions: classes and escapes
// (\d \w \s \b, \uHHHH, \xHH, [] and [^]), groups, (?: ), lookahead, back-references
// (one to a group that has not matched matches the empty text), greedy and lazy
// quantifiers. "." matches any character but a line break. Letters are compared as
// characters, never as bytes: Chinese text cannot match a letter in the second byte of
// a character. Texts are Text values in code page 936; bytes that are not valid 936 are
// replaced (and come back as "?"), never a failure.
//
// A run is bounded: a pattern that backtracks catastrophically makes the run fail
// after a bounded amount of work instead of freezing its caller. A quantifier on "^"
// or "$" ("^*", "$+") is refused in both modes.
//
// Where the engine still differs from JavaScript:
// - A repeated group whose body can match the empty text takes one more, empty pass:
//   (b*)+c on "bbc" gives sub-match 1 = "" where JavaScript gives "bb".
// - Captures inside a repeated group are not reset on each pass: (?:(a)|b)+ on "ab"
//   gives sub-match 1 = "a" where JavaScript gives nothing.
// - \s is ASCII white space only: the ideographic space U+3000 (A1 A1) is no blank.
// - A compiled pattern has a size limit (64 KiB of engine code): some 6000 groups as
//   small as (a) fit, fewer larger ones; a pattern beyond it makes Create fail.
// - The search bounds also end searches that are merely long: (?:a|b)* over a subject
//   of 1 MiB nests too deep and the run fails.
//
// Indexes of matches and sub-expressions count from 1. No method throws or reports an
// error: a failure gives the neutral result (false, the empty text, 0).
//
// Thread safety: the const methods of one object may be called from several threads at
// once; Create and assignment need the object to themselves. Copies share what they
// copied without sharing later changes, and distinct objects are independent.
#ifndef SORVANEL_REGEX_REGEX_OBJECT_H_
#define SORVANEL_REGEX_REGEX_OBJECT_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "encoding/text.h"

namespace sorvanel {

class RegexObject {
 public:
  // Nothing compiled: every method but Create gives its neutral result.
  RegexObject();
  // The copy answers like the original. Both hold the same compiled pattern and the
  // same match collection, which neither can change; a later Create on one of them
  // leaves the other as it was.
  RegexObject(const RegexObject& other);
  RegexObject& operator=(const RegexObject& other);
  RegexObject(RegexObject&& other) noexcept;
  RegexObject& operator=(RegexObject&& other) noexcept;
  ~RegexObject();

  // Compiles `pattern` and runs it once over `searchedText`, keeping the matches.
  // Replaces the pattern, the switches, the searched text and the matches of any
  // earlier Create, also when it fails.
  // - caseSensitive: left out, letters match either case; true compares them exactly.
  // - multiline: left out or true, "^" and "$" also match after and before each line
  //   break (\n, \r, U+2028, U+2029); false, only at the start and end of the text.
  // - global: left out or true, the run collects every match and Replace replaces
  //   every match; false, the first only.
  // - replaceQuotes: when true, every "#引号" in the pattern becomes one double quote
  //   first; left out or false, the pattern is taken as it is.
  // An empty match is followed by a search one character further on, so a pattern that
  // can match the empty text (a*) ends.
  // Returns: true when the run produced a match collection, also an empty one; false
  // when the pattern cannot be compiled or the run hit its bounds. After false every
  // match query gives its neutral result; the pattern text is still kept.
  bool Create(const Text& pattern, const Text& searchedText,
              std::optional<bool> caseSensitive = std::nullopt,
              std::optional<bool> multiline = std::nullopt,
              std::optional<bool> global = std::nullopt,
              std::optional<bool> replaceQuotes = std::nullopt);

  // Does nothing: kept for the class's table of operations.
  void View() const;

  // The pattern of the last Create, after the "#引号" replacement. The empty text before
  // the first Create.
  Text GetPatternText() const;

  // `text` with the matches of the pattern of the last Create (every match or the first,
  // as its `global` switch says) replaced by `replacement`, in which $1 to $99, $&, $`,
  // $' and $$ stand for a group's text, the match, the text before and after it, and a
  // dollar sign (a group that took no part gives the empty text; a two-digit reference
  // only where the pattern has that many groups; anything else stands for itself).
  // The kept searched text and matches are neither used nor changed.
  // Returns: the replaced text; `text` unchanged when nothing matches or the run hits
  // its bounds; the empty text before the first Create or when its pattern could not be
  // compiled.
  Text Replace(const Text& text, const Text& replacement = Text()) const;

  // The number of matches of the last run; 0 before it or when it failed.
  int32_t GetMatchCount() const;

  // The text of match `matchIndex` (from 1); the empty text outside 1 to the count.
  Text GetMatchText(int32_t matchIndex) const;

  // The text that sub-expression `groupIndex` (from 1, in the order of the opening
  // parentheses) took in match `matchIndex` (from 1). The empty text when either index
  // is outside its range or the sub-expression took no part in that match.
  Text GetSubMatchText(int32_t matchIndex, int32_t groupIndex) const;

  // The number of parenthesised sub-expressions as the first match reports them; 0 when
  // the last run found no match or failed.
  int32_t GetSubMatchCount() const;

 private:
  struct PatternObject;    // the compiled pattern and its switches
  struct MatchCollection;  // the matches of the last run

  // Entry `slot` of match `matchIndex` (from 1): 0 the match, k group k; else empty.
  Text MatchEntry(int32_t matchIndex, std::size_t slot) const;

  std::shared_ptr<const PatternObject> pattern_;
  std::shared_ptr<const MatchCollection> matches_;
  Text searchedText_;  // the text of the last Create, kept as given; no query reads it
};

}  // namespace sorvanel

#endif  // SORVANEL_REGEX_REGEX_OBJECT_H_
