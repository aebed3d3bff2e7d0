// URL encoding of form values.
//
// The text is converted from the ANSI code page to UTF-8, and every UTF-8 byte outside
// 0x21..0x7E, as well as "#", "%", "&" and "+", becomes "%" and two upper-case hex
// digits. All other printable ASCII passes unchanged ("=", "/", "?" among it); the
// space becomes %20. Pure function, safe on any thread. A text outside ASCII is
// converted in bounded pieces: the memory used is the input, the output and a few
// hundred KiB.
#ifndef SORVANEL_ENCODING_URL_ENCODE_H_
#define SORVANEL_ENCODING_URL_ENCODE_H_

#include "encoding/text.h"

namespace sorvanel {

// The encoded text; the empty text gives the empty text.
Text UrlEncode(const Text& text);

}  // namespace sorvanel

#endif  // SORVANEL_ENCODING_URL_ENCODE_H_
