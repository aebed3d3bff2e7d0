// The piece of a text between a left and a right marker: the one cutting operation
// behind host names, header values, cookie values and reply fields.
// Pure function, safe on any thread.
#ifndef SORVANEL_ENCODING_TEXT_BETWEEN_H_
#define SORVANEL_ENCODING_TEXT_BETWEEN_H_

#include "encoding/text.h"

namespace sorvanel {

// The placeholder that a marker may hold for a double quote: "#引号" in code page 936.
inline constexpr char kQuotePlaceholder[] = "#\xD2\xFD\xBA\xC5";

// The bytes between the first occurrence of `left` and the next occurrence of `right`
// after it. Each "#引号" in a marker stands for a double quote. Searches are
// case-sensitive and step over double-byte characters. An empty left marker counts as
// found at the start; an empty right marker, a missing marker, markers that touch and
// an empty text give the empty text. Nothing is trimmed.
Text TextBetween(const Text& text, const Text& left, const Text& right);

}  // namespace sorvanel

#endif  // SORVANEL_ENCODING_TEXT_BETWEEN_H_
