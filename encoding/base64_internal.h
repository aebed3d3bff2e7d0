// INTERNAL to encoding/: not part of the library's interface. Only the sources of encoding/
// and its own tests and benchmarks include it; it changes with them.
//
// The two Base64 encoders behind Base64Encode, exposed so that tests can hold them to
// identical output. Each writes exactly 4 * ceil(size / 3) characters to `out`.
#ifndef SORVANEL_ENCODING_BASE64_INTERNAL_H_
#define SORVANEL_ENCODING_BASE64_INTERNAL_H_

#include <cstddef>

namespace sorvanel::base64_internal {

inline constexpr char kAlphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

inline constexpr std::size_t EncodedLength(std::size_t size) { return (size + 2) / 3 * 4; }

// Portable: two characters per 12-bit table lookup.
void EncodePortable(const unsigned char* in, std::size_t size, char* out);

// AVX2: 24 bytes per step, the rest by the portable encoder.
// Requires: HasAvx2() is true.
void EncodeAvx2(const unsigned char* in, std::size_t size, char* out);

bool HasAvx2();

}  // namespace sorvanel::base64_internal

#endif  // SORVANEL_ENCODING_BASE64_INTERNAL_H_
