#include "encoding/base64.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

#include "encoding/base64_internal.h"

namespace sorvanel {

namespace base64_internal {

namespace {

// Every 12-bit value mapped to its two output characters, built once at compile time.
constexpr std::array<std::array<char, 2>, 4096> MakePairTable() {
  std::array<std::array<char, 2>, 4096> table{};
  for (std::size_t v = 0; v < 4096; ++v) {
    table[v][0] = kAlphabet[v >> 6];
    table[v][1] = kAlphabet[v & 63];
  }
  return table;
}
constexpr auto kPairs = MakePairTable();

}  // namespace

void EncodePortable(const unsigned char* in, std::size_t size, char* out) {
  std::size_t i = 0;
  for (; i + 3 <= size; i += 3) {
    const std::uint32_t group =
        (std::uint32_t{in[i]} << 16) | (std::uint32_t{in[i + 1]} << 8) | std::uint32_t{in[i + 2]};
    std::memcpy(out, kPairs[group >> 12].data(), 2);
    std::memcpy(out + 2, kPairs[group & 0xFFF].data(), 2);
    out += 4;
  }
  const std::size_t rest = size - i;
  if (rest == 0) return;
  // The missing bytes count as zeros; the characters made only from them become "=".
  const std::uint32_t group =
      (std::uint32_t{in[i]} << 16) | (rest == 2 ? std::uint32_t{in[i + 1]} << 8 : 0);
  out[0] = kAlphabet[group >> 18];
  out[1] = kAlphabet[(group >> 12) & 63];
  out[2] = rest == 2 ? kAlphabet[(group >> 6) & 63] : '=';
  out[3] = '=';
}

bool HasAvx2() {
#if defined(__x86_64__) || defined(__i386__)
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
#else
  return false;
#endif
}

}  // namespace base64_internal

Text Base64Encode(const ByteSet& bytes) {
  using namespace base64_internal;
  if (bytes.empty()) return Text();
  // Allocated once at its final size; every character is then written in place.
  std::string out(EncodedLength(bytes.size()), '\0');
  if (HasAvx2()) {
    EncodeAvx2(bytes.data(), bytes.size(), out.data());
  } else {
    EncodePortable(bytes.data(), bytes.size(), out.data());
  }
  return Text::Adopt(std::move(out));
}

}  // namespace sorvanel
