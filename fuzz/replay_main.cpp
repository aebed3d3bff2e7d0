// Runs a fuzz target over its seed corpus without libFuzzer, so that the normal build
// (any compiler, any sanitizer) replays every seed as a test. Each argument is a file
// or a folder of files; a folder's files run in name order. A broken property aborts
// inside the target; a file that cannot be read fails the run.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool RunFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return false;
  }
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // A copy of exactly the input's size, so that AddressSanitizer sees a read past it.
  std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
  LLVMFuzzerTestOneInput(data.data(), data.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t runs = 0;
  bool ok = true;
  for (int i = 1; i < argc; ++i) {
    std::error_code error;
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_directory(argv[i], error)) {
      for (const auto& entry : std::filesystem::directory_iterator(argv[i], error)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
      }
      std::sort(files.begin(), files.end());
      if (files.empty()) {
        std::fprintf(stderr, "no seeds in %s\n", argv[i]);
        ok = false;
      }
    } else {
      files.push_back(argv[i]);
    }
    for (const auto& file : files) {
      ok = RunFile(file) && ok;
      ++runs;
    }
  }
  std::printf("%zu inputs replayed\n", runs);
  return ok && runs > 0 ? 0 : 1;
}
