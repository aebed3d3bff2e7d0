// RegexObject over a text the size of a long recognition reply, mixed Chinese and
// ASCII in code page 936, beside its anchor: PCRE2 alone (JIT) collecting the same
// matches from the same text already in UTF-8, without our conversions and copies.
#define PCRE2_CODE_UNIT_WIDTH 8
#include <benchmark/benchmark.h>
#include <pcre2.h>

#include <string>

#include "encoding/codepage.h"
#include "regex/regex_object.h"

namespace {

using sorvanel::RegexObject;
using sorvanel::Text;

// About 16 KiB: lines of "中文 word 123," in code page 936.
const Text& ReplyText() {
  static const Text text = [] {
    std::string s;
    for (int i = 0; s.size() < 16 * 1024; ++i) {
      s += "\xD6\xD0\xCE\xC4 word" + std::to_string(i) + " " + std::to_string(i * 7) + ",\r\n";
    }
    return Text(s);
  }();
  return text;
}

constexpr char kPattern[] = "(\\w+?)(\\d+)";

void BM_CreateAndReadMatches(benchmark::State& state) {
  for (auto _ : state) {
    RegexObject regex;
    regex.Create(kPattern, ReplyText());
    benchmark::DoNotOptimize(regex.GetSubMatchText(regex.GetMatchCount(), 2));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(ReplyText().size()));
}
BENCHMARK(BM_CreateAndReadMatches);

void BM_ReplaceGlobal(benchmark::State& state) {
  RegexObject regex;
  regex.Create(kPattern, "");
  for (auto _ : state) {
    benchmark::DoNotOptimize(regex.Replace(ReplyText(), "$2$1"));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(ReplyText().size()));
}
BENCHMARK(BM_ReplaceGlobal);

void BM_Pcre2AloneFindAll(benchmark::State& state) {
  const std::string subject = sorvanel::ConvertCodePage(ReplyText().view(), sorvanel::kGbkCodePage,
                                                        sorvanel::kUtf8CodePage);
  int error = 0;
  PCRE2_SIZE offset = 0;
  pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(kPattern), PCRE2_ZERO_TERMINATED,
                                   PCRE2_UTF | PCRE2_CASELESS, &error, &offset, nullptr);
  pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
  pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
  for (auto _ : state) {
    std::size_t start = 0;
    int count = 0;
    while (pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), start,
                       PCRE2_NO_UTF_CHECK, data, nullptr) > 0) {
      start = pcre2_get_ovector_pointer(data)[1];
      ++count;
    }
    benchmark::DoNotOptimize(count);
  }
  pcre2_match_data_free(data);
  pcre2_code_free(code);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(ReplyText().size()));
}
BENCHMARK(BM_Pcre2AloneFindAll);

}  // namespace
