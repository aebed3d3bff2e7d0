// Fuzz target for RegexObject: a pattern and a subject from the input, every query of
// the run, a replacement, and a copy that must answer like the original.
//
// The match and depth bounds of a run keep each case short, whatever the pattern.
//
// Input fields: a switch byte (bits: given/value of caseSensitive, multiline, global,
// replaceQuotes), the pattern, the searched text, a replacement and a text to replace
// in.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "fuzz/fuzz_input.h"
#include "regex/regex_object.h"

namespace sorvanel::fuzz {
namespace {

// Queries past this many matches or groups only repeat the same work.
constexpr std::int32_t kMaxQueried = 40;

std::optional<bool> Switch(std::uint8_t bits, int which) {
  if ((bits & (1 << (2 * which))) == 0) return std::nullopt;
  return (bits & (2 << (2 * which))) != 0;
}

void Query(const RegexObject& regex, const RegexObject& copy) {
  const std::int32_t count = regex.GetMatchCount();
  const std::int32_t groups = regex.GetSubMatchCount();
  FUZZ_CHECK(count >= 0 && groups >= 0);
  FUZZ_CHECK(count > 0 || groups == 0);
  FUZZ_CHECK(copy.GetMatchCount() == count && copy.GetSubMatchCount() == groups);
  FUZZ_CHECK(regex.GetMatchText(0).empty() && regex.GetMatchText(count + 1).empty());
  for (std::int32_t m = 1; m <= std::min(count, kMaxQueried); ++m) {
    FUZZ_CHECK(copy.GetMatchText(m) == regex.GetMatchText(m));
    FUZZ_CHECK(regex.GetSubMatchText(m, 0).empty());
    FUZZ_CHECK(regex.GetSubMatchText(m, groups + 1).empty());
    for (std::int32_t g = 1; g <= std::min(groups, kMaxQueried); ++g) {
      FUZZ_CHECK(copy.GetSubMatchText(m, g) == regex.GetSubMatchText(m, g));
    }
  }
}

}  // namespace

void FuzzOne(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const std::uint8_t bits = input.NextByte();
  const Text pattern = input.NextText();
  const Text searched = input.NextText();
  const Text replacement = input.NextText();
  const Text other = input.NextText();

  RegexObject regex;
  FUZZ_CHECK(regex.Replace(searched, replacement).empty());
  const bool ok = regex.Create(pattern, searched, Switch(bits, 0), Switch(bits, 1), Switch(bits, 2),
                               Switch(bits, 3));
  if (!ok) FUZZ_CHECK(regex.GetMatchCount() == 0 && regex.GetSubMatchCount() == 0);
  const RegexObject copy = regex;
  Query(regex, copy);
  regex.GetPatternText();
  regex.View();
  const Text replaced = regex.Replace(searched, replacement);
  FUZZ_CHECK(copy.Replace(searched, replacement) == replaced);
  regex.Replace(other, replacement);
  regex.Replace(replacement, other);

  // A second Create on the original leaves the copy as it was.
  const std::int32_t count = copy.GetMatchCount();
  regex.Create(other, replacement);
  FUZZ_CHECK(copy.GetMatchCount() == count);
  Query(regex, RegexObject(regex));
}

}  // namespace sorvanel::fuzz
