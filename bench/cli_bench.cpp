// sorvanel-ocr run as a process against the loopback test service: 200 small pictures
// with --jobs 1 and --jobs 4, against a service that answers at once and one that takes
// 50 ms per reply; and the cost of a 200 kB picture, in a batch and as a run of its own,
// beside the bare exchange of the same request body.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "client/picture_source.h"
#include "client/service_config.h"
#include "encoding/base64.h"
#include "encoding/url_encode.h"
#include "tests/cli/ocr_test_service.h"
#include "tests/cli/run_program.h"
#include "web/web_request.h"

namespace {

using sorvanel::test::OcrTestService;
using sorvanel::test::ProgramResult;
using sorvanel::test::ProgramRun;
using sorvanel::test::RunProgram;

constexpr int kBatch = 200;
constexpr std::size_t kLargePicture = 200 * 1024;

OcrTestService& Service(int delayMs) {
  static OcrTestService immediate;
  static OcrTestService slow({.replyDelay = std::chrono::milliseconds(50)});
  return delayMs == 0 ? immediate : slow;
}

const std::string& Folder() {
  static const std::string folder = [] {
    std::string pattern = std::filesystem::temp_directory_path() / "sorvanel-bench-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) return std::string();
    return pattern;
  }();
  return folder;
}

// The pictures of a batch: small ones hold two lines of text; large ones are
// "PICTURE" and random bytes, which the service answers with one line.
std::vector<std::string> Pictures(bool large) {
  std::vector<std::string> paths;
  std::mt19937 random(7);
  for (int i = 0; i < kBatch; ++i) {
    const std::string path =
        Folder() + (large ? "/large-" : "/small-") + std::to_string(i) + ".png";
    std::string content = "line one of picture " + std::to_string(i) + "\nline two\n";
    if (large) {
      content = "PICTURE\n";
      while (content.size() < kLargePicture) content += static_cast<char>(random());
    }
    std::ofstream(path, std::ios::binary) << content;
    paths.push_back(path);
  }
  return paths;
}

const std::vector<std::string>& SmallPictures() {
  static const std::vector<std::string> pictures = Pictures(false);
  return pictures;
}
const std::vector<std::string>& LargePictures() {
  static const std::vector<std::string> pictures = Pictures(true);
  return pictures;
}

// The processor time (user and system) of the finished child processes so far.
double ChildCpuMs() {
  rusage usage{};
  ::getrusage(RUSAGE_CHILDREN, &usage);
  const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

void RunBatch(benchmark::State& state, const OcrTestService& service,
              const std::vector<std::string>& pictures, int count) {
  ProgramRun run;
  run.arguments = {"--host",         service.host(), "--ca-file",
                   service.caFile(), "--jobs",       std::to_string(state.range(0))};
  run.arguments.insert(run.arguments.end(), pictures.begin(), pictures.begin() + count);
  run.limit = std::chrono::minutes(5);
  double wallMs = 0, cpuMs = 0;
  for (auto _ : state) {
    const double cpuBefore = ChildCpuMs();
    const auto started = std::chrono::steady_clock::now();
    const ProgramResult result = RunProgram(SORVANEL_OCR_PROGRAM, run);
    wallMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
                  .count();
    cpuMs += ChildCpuMs() - cpuBefore;
    if (result.exitStatus != 0) state.SkipWithError(result.err.c_str());
  }
  // Per picture: the wall time, and the processor time of the program itself (which a
  // busy machine does not inflate).
  const double runs = static_cast<double>(state.iterations()) * count;
  state.counters["wall_ms_per_picture"] = wallMs / runs;
  state.counters["cpu_ms_per_picture"] = cpuMs / runs;
}

void BM_SmallPictures(benchmark::State& state) {
  RunBatch(state, Service(0), SmallPictures(), kBatch);
}
BENCHMARK(BM_SmallPictures)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SmallPicturesSlowService(benchmark::State& state) {
  RunBatch(state, Service(50), SmallPictures(), kBatch);
}
BENCHMARK(BM_SmallPicturesSlowService)
    ->Arg(1)
    ->Arg(4)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// 200 pictures of 200 kB in one run: the time per picture outside the service.
void BM_LargePictures(benchmark::State& state) {
  RunBatch(state, Service(0), LargePictures(), kBatch);
}
BENCHMARK(BM_LargePictures)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// One 200 kB picture in a run of its own: start-up, token and recognition.
void BM_OneLargePicture(benchmark::State& state) {
  RunBatch(state, Service(0), LargePictures(), 1);
}
BENCHMARK(BM_OneLargePicture)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The anchor: the recognition exchange of a 200 kB picture made in-process (the body
// built as the commands build it), without start-up, token or output.
void BM_BareExchangeLargePicture(benchmark::State& state) {
  const OcrTestService& service = Service(0);
  sorvanel::ServiceConfig config;
  config.host = sorvanel::Text(service.host());
  config.caFile = service.caFile();
  sorvanel::SetServiceConfig(config);
  const sorvanel::Text url(service.Url("/rest/2.0/ocr/v1/accurate_basic?access_token=tok-7"));
  const sorvanel::Text picture(LargePictures().front());
  for (auto _ : state) {
    const sorvanel::Text body =
        sorvanel::Text("image=") +
        sorvanel::UrlEncode(sorvanel::Base64Encode(sorvanel::ReadWholeFile(picture))) +
        "&probability=false";
    if (sorvanel::WebRequest(url, 1, body).empty()) state.SkipWithError("no reply");
  }
}
BENCHMARK(BM_BareExchangeLargePicture)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
