// INTERNAL to regex/: not part of the library's interface. Only the sources of regex/
// and its own tests and benchmarks include it; it changes with them.
//
// A compiled pattern and the scan that runs it over a subject: the one place where the
// regular-expression engine (PCRE2) is touched.
//
// Patterns and subjects are UTF-8. The pattern is in the engine's own syntax (see
// js_pattern.h for the rewriting of the JavaScript style into it). A compiled pattern
// is immutable: one value may be shared and scanned from several threads at once.
#ifndef SORVANEL_REGEX_COMPILED_PATTERN_H_
#define SORVANEL_REGEX_COMPILED_PATTERN_H_

#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <string_view>

namespace sorvanel {

// The bytes [start, end) of the subject that a match or a group covered. A group that
// took no part in the match has start == end == kUnset.
struct GroupSpan {
  static constexpr std::size_t kUnset = static_cast<std::size_t>(-1);
  std::size_t start = kUnset;
  std::size_t end = kUnset;
  bool IsSet() const { return start != kUnset; }
};

// Bounds of one engine call (one search for the next match), so that a pattern that
// backtracks catastrophically ends in a failed run instead of freezing its caller: at
// most this many backtracking steps, this nesting depth of backtracking points, and
// this much memory (KiB) for them in the interpreter. The compiled code (JIT) has its
// own stack of a fixed size instead of the depth; a search that outgrows it is run
// again by the interpreter under the depth bound. The steps bound ends a
// catastrophic search within some milliseconds; the depth allows repeated groups over
// texts of some hundred thousand characters with the JIT, and about a hundred thousand
// without it.
inline constexpr unsigned kMatchLimit = 5'000'000;
inline constexpr unsigned kDepthLimit = 200'000;
inline constexpr unsigned kHeapLimitKib = 64 * 1024;

class CompiledPattern {
 public:
  // Compiles `pattern`; nullptr when the engine rejects it. Uses the JIT where the
  // engine has one for this machine, except for a pattern with a back-reference.
  static std::shared_ptr<const CompiledPattern> Compile(std::string_view pattern, bool ignoreCase);

  ~CompiledPattern();
  CompiledPattern(const CompiledPattern&) = delete;
  CompiledPattern& operator=(const CompiledPattern&) = delete;

  // The number of capture groups of the pattern.
  int GroupCount() const { return groupCount_; }

  // Searches `subject` from its start and calls `onMatch` with the spans of each match
  // found: element 0 is the whole match, element k group k. With `global` it collects
  // every match, else the first only. After an empty match the next search starts one
  // character (not one byte) further on. Requires: `subject` is valid UTF-8.
  // Returns false when a search failed, for instance on hitting a limit; the matches
  // reported before that are then not a complete result.
  bool Scan(std::string_view subject, bool global,
            const std::function<void(std::span<const GroupSpan>)>& onMatch) const;

 private:
  struct Engine;
  explicit CompiledPattern(std::unique_ptr<Engine> engine, int groupCount);

  std::unique_ptr<Engine> engine_;
  int groupCount_ = 0;
};

}  // namespace sorvanel

#endif  // SORVANEL_REGEX_COMPILED_PATTERN_H_
