// Base64 encoding of picture bytes (RFC 4648 alphabet, "=" padding, no line breaks).
//
// Only the encoding direction exists. Pure function, safe on any thread.
#ifndef SORVANEL_ENCODING_BASE64_H_
#define SORVANEL_ENCODING_BASE64_H_

#include "encoding/text.h"

namespace sorvanel {

// The Base64 text of the bytes: 4 * ceil(n / 3) characters for n bytes. The empty set
// gives the empty text. Uses the CPU's AVX2 unit where it has one.
Text Base64Encode(const ByteSet& bytes);

}  // namespace sorvanel

#endif  // SORVANEL_ENCODING_BASE64_H_
