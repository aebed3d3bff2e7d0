#include "regex/compiled_pattern.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <vector>

namespace sorvanel {

namespace {

struct CodeDeleter {
  void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct CompileContextDeleter {
  void operator()(pcre2_compile_context* context) const { pcre2_compile_context_free(context); }
};
struct MatchContextDeleter {
  void operator()(pcre2_match_context* context) const { pcre2_match_context_free(context); }
};
struct MatchDataDeleter {
  void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
struct JitStackDeleter {
  void operator()(pcre2_jit_stack* stack) const { pcre2_jit_stack_free(stack); }
};

using CodePtr = std::unique_ptr<pcre2_code, CodeDeleter>;
using MatchContextPtr = std::unique_ptr<pcre2_match_context, MatchContextDeleter>;
using MatchDataPtr = std::unique_ptr<pcre2_match_data, MatchDataDeleter>;
using JitStackPtr = std::unique_ptr<pcre2_jit_stack, JitStackDeleter>;

// The JIT's own stack for one scan. Its default (32 KiB on the machine stack) is soon
// used up by long subjects; past this size a search falls back to the interpreter.
constexpr std::size_t kJitStackStart = 32 * 1024;
constexpr std::size_t kJitStackMax = 16 * 1024 * 1024;

// The options behind the JavaScript style of patterns: \uHHHH and \xHH (and a lone \u or
// \x for the letter itself), a back-reference to a group that has not matched matches
// the empty text, [] matches nothing and [^] any character, and $ outside multi-line
// mode matches only at the very end. Line breaks for ^, $ and . are written out by the
// pattern rewriting, so the engine's own multi-line mode is not used.
constexpr uint32_t kCompileOptions = PCRE2_UTF | PCRE2_ALT_BSUX | PCRE2_MATCH_UNSET_BACKREF |
                                     PCRE2_ALLOW_EMPTY_CLASS | PCRE2_DOLLAR_ENDONLY |
                                     PCRE2_NEVER_BACKSLASH_C;

std::size_t Utf8Length(unsigned char lead) {
  if (lead < 0xC0) return 1;
  if (lead < 0xE0) return 2;
  if (lead < 0xF0) return 3;
  return 4;
}

}  // namespace

struct CompiledPattern::Engine {
  CodePtr code;
  bool jit = false;
};

CompiledPattern::CompiledPattern(std::unique_ptr<Engine> engine, int groupCount)
    : engine_(std::move(engine)), groupCount_(groupCount) {}

CompiledPattern::~CompiledPattern() = default;

std::shared_ptr<const CompiledPattern> CompiledPattern::Compile(std::string_view pattern,
                                                                bool ignoreCase) {
  std::unique_ptr<pcre2_compile_context, CompileContextDeleter> context(
      pcre2_compile_context_create(nullptr));
  if (!context) return nullptr;
  pcre2_set_newline(context.get(), PCRE2_NEWLINE_LF);

  int errorCode = 0;
  PCRE2_SIZE errorOffset = 0;
  const uint32_t options = kCompileOptions | (ignoreCase ? PCRE2_CASELESS : 0u);
  CodePtr code(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), options,
                             &errorCode, &errorOffset, context.get()));
  if (!code) return nullptr;

  uint32_t captures = 0;
  if (pcre2_pattern_info(code.get(), PCRE2_INFO_CAPTURECOUNT, &captures) != 0) return nullptr;

  uint32_t highestBackReference = 0;
  if (pcre2_pattern_info(code.get(), PCRE2_INFO_BACKREFMAX, &highestBackReference) != 0) {
    return nullptr;
  }

  auto engine = std::make_unique<Engine>();
  // Without a JIT for this machine the interpreter does the same work, only slower.
  // Patterns with a back-reference always run in the interpreter: the JIT of PCRE2
  // 10.42 never matches a quantified reference to a group that took no part
  // ((x)?y\1+ on "y"), while the interpreter (and JavaScript) match it empty. Using
  // the JIT only for the others also keeps an answer from depending on whether a long
  // subject made the search fall back to the interpreter.
  engine->jit = highestBackReference == 0 && pcre2_jit_compile(code.get(), PCRE2_JIT_COMPLETE) == 0;
  engine->code = std::move(code);
  return std::shared_ptr<const CompiledPattern>(
      new CompiledPattern(std::move(engine), static_cast<int>(captures)));
}

bool CompiledPattern::Scan(std::string_view subject, bool global,
                           const std::function<void(std::span<const GroupSpan>)>& onMatch) const {
  const pcre2_code* code = engine_->code.get();
  MatchDataPtr data(pcre2_match_data_create_from_pattern(code, nullptr));
  MatchContextPtr context(pcre2_match_context_create(nullptr));
  if (!data || !context) return false;
  pcre2_set_match_limit(context.get(), kMatchLimit);
  pcre2_set_depth_limit(context.get(), kDepthLimit);
  pcre2_set_heap_limit(context.get(), kHeapLimitKib);
  JitStackPtr jitStack;
  if (engine_->jit) {
    jitStack.reset(pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr));
    if (jitStack) pcre2_jit_stack_assign(context.get(), nullptr, jitStack.get());
  }

  const auto* bytes = reinterpret_cast<PCRE2_SPTR>(subject.data());
  std::vector<GroupSpan> spans(static_cast<std::size_t>(groupCount_) + 1);
  std::size_t offset = 0;
  while (offset <= subject.size()) {
    // The subject comes from our own conversion and is valid UTF-8; checking it again
    // at every search would make a global scan quadratic.
    int rc = pcre2_match(code, bytes, subject.size(), offset, PCRE2_NO_UTF_CHECK, data.get(),
                         context.get());
    if (rc == PCRE2_ERROR_JIT_STACKLIMIT) {
      rc = pcre2_match(code, bytes, subject.size(), offset, PCRE2_NO_UTF_CHECK | PCRE2_NO_JIT,
                       data.get(), context.get());
    }
    if (rc == PCRE2_ERROR_NOMATCH) return true;
    if (rc <= 0) return false;  // a limit, or an error of the engine

    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data.get());
    for (std::size_t group = 0; group < spans.size(); ++group) {
      const PCRE2_SIZE start = ovector[2 * group];
      const PCRE2_SIZE end = ovector[2 * group + 1];
      spans[group] = (group < static_cast<std::size_t>(rc) && start != PCRE2_UNSET)
                         ? GroupSpan{start, end}
                         : GroupSpan{};
    }
    const GroupSpan whole = spans[0];
    if (whole.end < whole.start || whole.start < offset) return false;
    onMatch(spans);
    if (!global) return true;
    if (whole.end > whole.start) {
      offset = whole.end;
    } else if (whole.end < subject.size()) {
      offset = whole.end + Utf8Length(static_cast<unsigned char>(subject[whole.end]));
    } else {
      return true;
    }
  }
  return true;
}

}  // namespace sorvanel
