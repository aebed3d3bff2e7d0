// The client's two heavy steps: turning a picture file into its form-encoded Base64
// text, and taking the lines out of a long recognition reply.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "client/recognition_request.h"
#include "client/text_extraction.h"

namespace sorvanel {
namespace {

void BM_EncodedPicture(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("sorvanel_bench_" + std::to_string(::getpid()) + ".jpg");
  std::string bytes(size, '\0');
  std::mt19937 random(7);
  for (char& b : bytes) b = static_cast<char>(random());
  std::ofstream(path, std::ios::binary) << bytes;
  const Text address(path.string());
  for (auto _ : state) benchmark::DoNotOptimize(EncodedPicture(address));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
  std::filesystem::remove(path);
}
BENCHMARK(BM_EncodedPicture)->Arg(64 << 10)->Arg(3 << 20);

void BM_ExtractRecognizedText(benchmark::State& state) {
  std::string reply = R"({"log_id":1,"words_result":[)";
  for (int i = 0; i < state.range(0); ++i) {
    if (i > 0) reply += ",";
    reply += R"({"words":"line )" + std::to_string(i) + R"( of the recognised text"})";
  }
  reply += "]}";
  const Text text(reply);
  for (auto _ : state) benchmark::DoNotOptimize(ExtractRecognizedText(text));
}
BENCHMARK(BM_ExtractRecognizedText)->Arg(50)->Arg(500);

}  // namespace
}  // namespace sorvanel
