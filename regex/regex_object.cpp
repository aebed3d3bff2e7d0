#include "regex/regex_object.h"

#include <string>
#include <utility>
#include <vector>

#include "encoding/codepage.h"
#include "encoding/text_between.h"
#include "encoding/text_ops.h"
#include "regex/compiled_pattern.h"
#include "regex/js_pattern.h"
#include "regex/replacement.h"

namespace sorvanel {

// The pattern as given (after the quote marker) and the switches of one Create. The
// compiled form is absent when the pattern could not be compiled.
struct RegexObject::PatternObject {
  Text patternText;
  bool global = true;
  std::shared_ptr<const CompiledPattern> compiled;
};

// For each match of one run: the match text, then the text of each group.
struct RegexObject::MatchCollection {
  std::vector<std::vector<Text>> matches;
  int32_t groupCount = 0;
};

namespace {

std::string ToUtf8(const Text& text) {
  return ConvertCodePage(text.view(), kGbkCodePage, kUtf8CodePage);
}

Text FromUtf8(std::string_view utf8) {
  return Text(ConvertCodePage(utf8, kUtf8CodePage, kGbkCodePage));
}

}  // namespace

RegexObject::RegexObject() = default;
RegexObject::RegexObject(const RegexObject& other) = default;
RegexObject& RegexObject::operator=(const RegexObject& other) = default;
RegexObject::RegexObject(RegexObject&& other) noexcept = default;
RegexObject& RegexObject::operator=(RegexObject&& other) noexcept = default;
RegexObject::~RegexObject() = default;

bool RegexObject::Create(const Text& pattern, const Text& searchedText,
                         std::optional<bool> caseSensitive, std::optional<bool> multiline,
                         std::optional<bool> global, std::optional<bool> replaceQuotes) {
  pattern_.reset();
  matches_.reset();

  auto patternObject = std::make_shared<PatternObject>();
  patternObject->patternText =
      replaceQuotes.value_or(false) ? ReplaceAll(pattern.view(), kQuotePlaceholder, "\"") : pattern;
  patternObject->global = global.value_or(true);
  const std::optional<std::string> enginePattern =
      TranslateJsPattern(ToUtf8(patternObject->patternText), multiline.value_or(true));
  if (enginePattern) {
    patternObject->compiled =
        CompiledPattern::Compile(*enginePattern, !caseSensitive.value_or(false));
  }
  pattern_ = patternObject;
  searchedText_ = searchedText;
  if (!patternObject->compiled) return false;

  const CompiledPattern& compiled = *patternObject->compiled;
  const std::string subject = ToUtf8(searchedText);
  auto collection = std::make_shared<MatchCollection>();
  collection->groupCount = compiled.GroupCount();
  const bool complete =
      compiled.Scan(subject, patternObject->global, [&](std::span<const GroupSpan> groups) {
        std::vector<Text>& texts = collection->matches.emplace_back();
        texts.reserve(groups.size());
        for (const GroupSpan& span : groups) {
          texts.push_back(span.IsSet() ? FromUtf8(std::string_view(subject).substr(
                                             span.start, span.end - span.start))
                                       : Text());
        }
      });
  if (!complete) return false;
  matches_ = std::move(collection);
  return true;
}

void RegexObject::View() const {}

Text RegexObject::GetPatternText() const { return pattern_ ? pattern_->patternText : Text(); }

Text RegexObject::Replace(const Text& text, const Text& replacement) const {
  if (!pattern_ || !pattern_->compiled) return Text();
  const std::string subject = ToUtf8(text);
  const std::string replacementUtf8 = ToUtf8(replacement);
  std::string result;
  std::size_t copied = 0;  // the subject up to here is already in `result`
  bool matched = false;
  const bool complete =
      pattern_->compiled->Scan(subject, pattern_->global, [&](std::span<const GroupSpan> groups) {
        matched = true;
        result.append(subject, copied, groups[0].start - copied);
        AppendReplacement(replacementUtf8, subject, groups, result);
        copied = groups[0].end;
      });
  // Nothing to replace, or an incomplete run: the text comes back byte for byte.
  if (!complete || !matched) return text;
  result.append(subject, copied);
  return FromUtf8(result);
}

int32_t RegexObject::GetMatchCount() const {
  return matches_ ? static_cast<int32_t>(matches_->matches.size()) : 0;
}

Text RegexObject::GetMatchText(int32_t matchIndex) const { return MatchEntry(matchIndex, 0); }

Text RegexObject::GetSubMatchText(int32_t matchIndex, int32_t groupIndex) const {
  return groupIndex < 1 ? Text() : MatchEntry(matchIndex, static_cast<std::size_t>(groupIndex));
}

Text RegexObject::MatchEntry(int32_t matchIndex, std::size_t slot) const {
  if (matchIndex < 1 || matchIndex > GetMatchCount()) return Text();
  const std::vector<Text>& texts = matches_->matches[static_cast<std::size_t>(matchIndex - 1)];
  return slot < texts.size() ? texts[slot] : Text();
}

int32_t RegexObject::GetSubMatchCount() const {
  return GetMatchCount() > 0 ? matches_->groupCount : 0;
}

}  // namespace sorvanel
