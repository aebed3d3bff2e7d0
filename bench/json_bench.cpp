// Reading a recognition reply: our JsonObject against a plain nlohmann::json DOM.
//
// The reply holds N lines, each an object with a "words" text. BM_JsonReadReply does
// what the text extraction does: Parse, MemberCount of "words_result", then the JSON
// text of "words_result[i].words" for every i. BM_NlohmannReadReply is what a C++ user
// would write instead: a DOM parse of the same (UTF-8) text and dump() of every words
// value. Both report the time per line (items).
#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>

#include <string>

#include "encoding/charset.h"
#include "json/json_object.h"

namespace {

std::string ReplyUtf8(int lines) {
  std::string reply = R"({"log_id":1734567890123456789,"words_result_num":)" +
                      std::to_string(lines) + R"(,"words_result":[)";
  for (int i = 0; i < lines; ++i) {
    if (i > 0) reply += ',';
    reply +=
        R"({"words":"第)" + std::to_string(i) + R"(行：识别结果 Sample text, 数量 42.5 \"引号\""})";
  }
  reply += "]}";
  return reply;
}

void BM_JsonReadReply(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(0));
  const sorvanel::Text reply = sorvanel::Utf8ToGbk(sorvanel::Text(ReplyUtf8(lines)));
  for (auto _ : state) {
    sorvanel::JsonObject object;
    object.Parse(reply);
    const int count = object.MemberCount("words_result");
    for (int i = 0; i < count; ++i) {
      sorvanel::Text words = object.GetGeneralProperty(
          sorvanel::Text("words_result[" + std::to_string(i) + "].words"), true);
      benchmark::DoNotOptimize(words);
    }
  }
  state.SetItemsProcessed(state.iterations() * lines);
}

void BM_NlohmannReadReply(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(0));
  const std::string reply = ReplyUtf8(lines);
  for (auto _ : state) {
    const nlohmann::json document = nlohmann::json::parse(reply);
    const nlohmann::json& list = document["words_result"];
    for (std::size_t i = 0; i < list.size(); ++i) {
      std::string words = list[i]["words"].dump();
      benchmark::DoNotOptimize(words);
    }
  }
  state.SetItemsProcessed(state.iterations() * lines);
}

BENCHMARK(BM_JsonReadReply)->Arg(100)->Arg(2000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NlohmannReadReply)->Arg(100)->Arg(2000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
