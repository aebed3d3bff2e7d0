// The pieces a fuzz target takes from one input, and the check that turns a broken
// property into a fault the fuzzer reports.
//
// An input is read as fields separated by zero bytes: a Text can never hold a zero
// byte, so every field is a whole text and a seed file stays readable. Small numbers
// and switches come from the first byte of a field. Reading past the last field gives
// empty fields, so every input, the empty one included, is a complete case.
//
// Thread safety: one FuzzInput belongs to one thread. FuzzFail is safe on any thread.
// Neutral result: an exhausted input gives empty texts, 0 and false.
#ifndef SORVANEL_FUZZ_FUZZ_INPUT_H_
#define SORVANEL_FUZZ_FUZZ_INPUT_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "encoding/text.h"

namespace sorvanel::fuzz {

class FuzzInput {
 public:
  // Requires: the bytes outlive this object.
  FuzzInput(const std::uint8_t* data, std::size_t size)
      : rest_(reinterpret_cast<const char*>(data), size) {}

  // The bytes up to the next zero byte (or the end); the zero byte is consumed.
  std::string_view NextField();
  Text NextText() { return Text(NextField()); }
  // The first byte of the next field (0 for an empty one); the field is consumed.
  std::uint8_t NextByte();
  bool NextBool() { return (NextByte() & 1) != 0; }
  // Whether anything is left to read.
  bool empty() const { return rest_.empty(); }

 private:
  std::string_view rest_;
};

// One case of the fuzz target: defined by each target, called by libFuzzer and by the
// replay driver through LLVMFuzzerTestOneInput (fuzz_input.cpp). Requires: `size`
// bytes readable at `data`.
void FuzzOne(const std::uint8_t* data, std::size_t size);

// Reports a broken property: prints it with the case's bytes so far and aborts, which
// the fuzzer and the replay driver both count as a fault. Never returns.
[[noreturn]] void FuzzFail(const char* file, int line, const char* what);

}  // namespace sorvanel::fuzz

// Aborts with the condition's text when `condition` does not hold.
#define FUZZ_CHECK(condition)                                                     \
  do {                                                                            \
    if (!(condition)) ::sorvanel::fuzz::FuzzFail(__FILE__, __LINE__, #condition); \
  } while (false)

#endif  // SORVANEL_FUZZ_FUZZ_INPUT_H_
