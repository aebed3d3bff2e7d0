// The text operations that every layer shares, on texts in code page 936.
//
// Searches step over the double-byte characters of code page 936 as units: a byte of
// 0x80 or above starts a two-byte character, and a match never starts on its second
// byte. A search starts at a character boundary (position 0, or one a search returned).
// Searches compare bytes; the case-insensitive ones fold only the ASCII letters A to Z
// where they stand as characters, never the second byte of a double-byte character.
// Positions count bytes from 0.
//
// Every routine is a pure function of its arguments, safe on any thread.
#ifndef SORVANEL_ENCODING_TEXT_OPS_H_
#define SORVANEL_ENCODING_TEXT_OPS_H_

#include <cstddef>
#include <string_view>
#include <vector>

#include "encoding/text.h"

namespace sorvanel {

enum class Case { kSensitive, kIgnore };

inline constexpr std::size_t kNotFound = std::string_view::npos;

// Length in bytes of the character that starts with byte b: 2 for 0x80 and above.
inline std::size_t CharLength(unsigned char b) { return b >= 0x80 ? 2 : 1; }

// The first position at or after `from` where `what` stands, or kNotFound. An empty
// `what` is found at `from` when `from` lies within the text or at its end.
std::size_t FindText(std::string_view text, std::string_view what, std::size_t from = 0,
                     Case match = Case::kSensitive);

inline bool Contains(std::string_view text, std::string_view what, Case match = Case::kSensitive) {
  return FindText(text, what, 0, match) != kNotFound;
}

// `text` with every occurrence of `what`, found left to right without overlap, replaced
// by `with`. An empty `what` replaces nothing.
Text ReplaceAll(std::string_view text, std::string_view what, std::string_view with,
                Case match = Case::kSensitive);

// The text with A-Z (or a-z) changed; second bytes of double-byte characters stay.
Text AsciiLower(std::string_view text);
Text AsciiUpper(std::string_view text);

// Whether the two texts are equal once A-Z are folded.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// Whether the text starts with `prefix`, optionally folding A-Z.
bool StartsWith(std::string_view text, std::string_view prefix, Case match = Case::kSensitive);

// The text without the blanks at both ends: the space (0x20) and the ideographic space
// (bytes A1 A1). Tabs and line breaks are not blanks.
Text Trim(std::string_view text);

// The pieces between the separators, in order. An empty piece between two adjacent
// separators counts; a final separator yields no piece after it; the empty text yields
// no piece. An empty separator yields the whole text as one piece.
std::vector<Text> Split(std::string_view text, std::string_view separator);

// Joins the pieces with the separator between each two.
Text Join(const std::vector<Text>& pieces, std::string_view separator);

// A number in fixed notation with six decimals, trailing zeros and then a bare decimal
// point removed: 42, 2.5, 0.333333. A negative number that rounds to zero keeps its
// sign: -0.0000001 and -0.0 give "-0".
Text NumberToText(double value);

}  // namespace sorvanel

#endif  // SORVANEL_ENCODING_TEXT_OPS_H_
