// Character-set conversion of service replies and of texts handed to UTF-8 engines.
//
// The library holds every text in code page 936; the service and the engines behind
// JSON and regular expressions speak UTF-8. These routines convert at that boundary.
// None of them fails on content (see codepage.h): malformed input is substituted and
// characters that the target cannot hold become '?'. Each is a pure function of its
// arguments (PercentDecode changes only the set it is given), safe on any thread.
#ifndef SORVANEL_ENCODING_CHARSET_H_
#define SORVANEL_ENCODING_CHARSET_H_

#include "encoding/codepage.h"
#include "encoding/text.h"

namespace sorvanel {

// Resolves the percent escapes of `text`, then, when `fromUtf8` is set, converts the
// result from UTF-8 to code page 936. A decoded zero byte (%00) ends the text. The
// empty text gives the empty text.
Text ConvertCharset(const Text& text, bool fromUtf8);

// Decodes `bytes` in place, left to right: "%" and the two bytes after it become one
// byte, whatever those two bytes are (each gives its value minus '0' when not above
// '9', else its value with bit 5 cleared minus 0x37, in 8-bit arithmetic), so "%41"
// and "%4a" give A and J and "%zz" gives 0x33. A "%" with fewer than two bytes after
// it is copied unchanged with what follows. Decoding stops at a zero byte; the set is
// shortened to the bytes written.
void PercentDecode(ByteSet& bytes);

// A UTF-8 text in code page 936.
Text Utf8ToGbk(const Text& utf8);

// A text in the ANSI code page as UTF-8 bytes; the empty text gives no bytes.
ByteSet AnsiToUtf8(const Text& text);

// The text's characters in `codePage` as UTF-16 code units, low byte first, followed
// by a zero unit. The empty text gives the terminator alone.
ByteSet ToUtf16(const Text& text, int codePage = kUtf8CodePage);

// UTF-16 code units (low byte first), up to the first zero unit or the end, as a text
// in `codePage`. An odd last byte is ignored.
Text FromUtf16(const ByteSet& units, int codePage = kAnsiCodePage);

}  // namespace sorvanel

#endif  // SORVANEL_ENCODING_CHARSET_H_
