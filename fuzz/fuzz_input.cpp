#include "fuzz/fuzz_input.h"

#include <cstdio>
#include <cstdlib>

namespace sorvanel::fuzz {

std::string_view FuzzInput::NextField() {
  const std::size_t end = rest_.find('\0');
  const std::string_view field = rest_.substr(0, end);
  rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
  return field;
}

std::uint8_t FuzzInput::NextByte() {
  const std::string_view field = NextField();
  return field.empty() ? 0 : static_cast<std::uint8_t>(field[0]);
}

void FuzzFail(const char* file, int line, const char* what) {
  std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, what);
  std::fflush(stderr);
  std::abort();
}

}  // namespace sorvanel::fuzz

// The entry point that libFuzzer and the replay driver call.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  sorvanel::fuzz::FuzzOne(data, size);
  return 0;
}
