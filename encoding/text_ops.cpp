#include "encoding/text_ops.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace sorvanel {

namespace {

unsigned char FoldAscii(unsigned char b) { return (b >= 'A' && b <= 'Z') ? b + 32 : b; }

// Requires: `pos` is a character boundary of `text`, and `what` fits after it.
bool MatchesAt(std::string_view text, std::size_t pos, std::string_view what, Case match) {
  if (match == Case::kSensitive) return text.compare(pos, what.size(), what) == 0;
  for (std::size_t i = 0; i < what.size(); ++i) {
    const unsigned char b = what[i];
    if (b >= 0x80) {
      // A double-byte character is compared as it stands: its second byte may look
      // like an ASCII letter (B0 41) but is never folded.
      if (text.compare(pos + i, std::min<std::size_t>(2, what.size() - i), what.substr(i, 2)) !=
          0) {
        return false;
      }
      ++i;
    } else if (FoldAscii(text[pos + i]) != FoldAscii(b)) {
      return false;
    }
  }
  return true;
}

// A candidate from a plain byte search, or kNotFound. For the case-insensitive search
// the first byte is looked for in both cases.
std::size_t NextCandidate(std::string_view text, std::string_view what, std::size_t from,
                          Case match) {
  if (match == Case::kSensitive) return text.find(what, from);
  const unsigned char first = FoldAscii(what[0]);
  const bool letter = first >= 'a' && first <= 'z';
  const std::size_t last = text.size() - what.size();
  for (std::size_t pos = from; pos <= last; ++pos) {
    const unsigned char b = text[pos];
    if ((b == first || (letter && b == first - 32)) && MatchesAt(text, pos, what, match)) {
      return pos;
    }
  }
  return kNotFound;
}

Text ChangeAsciiCase(std::string_view text, char low, char high, int delta) {
  std::string out(text);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const unsigned char b = out[i];
    if (b >= 0x80) {
      ++i;  // the second byte of a double-byte character is not a letter
    } else if (b >= static_cast<unsigned char>(low) && b <= static_cast<unsigned char>(high)) {
      out[i] = static_cast<char>(b + delta);
    }
  }
  return Text::Adopt(std::move(out));
}

}  // namespace

std::size_t FindText(std::string_view text, std::string_view what, std::size_t from, Case match) {
  if (from > text.size()) return kNotFound;
  if (what.empty()) return from;
  if (what.size() > text.size() - from) return kNotFound;
  // `boundary` walks character by character behind the byte search, so that a
  // candidate on the second byte of a character is recognised and skipped.
  std::size_t boundary = from;
  std::size_t candidate = NextCandidate(text, what, from, match);
  while (candidate != kNotFound) {
    while (boundary < candidate) boundary += CharLength(text[boundary]);
    if (boundary == candidate) return candidate;
    if (boundary + what.size() > text.size()) return kNotFound;
    candidate = NextCandidate(text, what, boundary, match);
  }
  return kNotFound;
}

Text ReplaceAll(std::string_view text, std::string_view what, std::string_view with, Case match) {
  if (what.empty()) return Text(text);
  std::string out;
  std::size_t start = 0;
  for (std::size_t pos = FindText(text, what, 0, match); pos != kNotFound;
       pos = FindText(text, what, start, match)) {
    out.append(text.substr(start, pos - start)).append(with);
    start = pos + what.size();
  }
  if (start == 0) return Text(text);
  out.append(text.substr(start));
  return Text(std::move(out));
}

Text AsciiLower(std::string_view text) { return ChangeAsciiCase(text, 'A', 'Z', 32); }

Text AsciiUpper(std::string_view text) { return ChangeAsciiCase(text, 'a', 'z', -32); }

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && MatchesAt(a, 0, b, Case::kIgnore);
}

bool StartsWith(std::string_view text, std::string_view prefix, Case match) {
  return text.size() >= prefix.size() && MatchesAt(text, 0, prefix, match);
}

Text Trim(std::string_view text) {
  // Walk the characters once: the first non-blank starts the result, and the end of
  // the last non-blank ends it. Walking (rather than looking at the last two bytes)
  // keeps a character whose second byte is A1 from being taken for a blank.
  std::size_t begin = kNotFound;
  std::size_t end = 0;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = std::min(CharLength(text[i]), text.size() - i);
    const bool blank =
        text[i] == ' ' || (length == 2 && static_cast<unsigned char>(text[i]) == 0xA1 &&
                           static_cast<unsigned char>(text[i + 1]) == 0xA1);
    if (!blank) {
      if (begin == kNotFound) begin = i;
      end = i + length;
    }
    i += length;
  }
  if (begin == kNotFound) return Text();
  return Text(text.substr(begin, end - begin));
}

std::vector<Text> Split(std::string_view text, std::string_view separator) {
  std::vector<Text> pieces;
  if (text.empty()) return pieces;
  if (separator.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  std::size_t start = 0;
  for (std::size_t pos = FindText(text, separator); pos != kNotFound;
       pos = FindText(text, separator, start)) {
    pieces.emplace_back(text.substr(start, pos - start));
    start = pos + separator.size();
  }
  if (start < text.size()) pieces.emplace_back(text.substr(start));
  return pieces;
}

Text Join(const std::vector<Text>& pieces, std::string_view separator) {
  std::string out;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) out.append(separator);
    out.append(pieces[i].str());
  }
  return Text::Adopt(std::move(out));
}

Text NumberToText(double value) {
  char buffer[512];
  const int length = std::snprintf(buffer, sizeof buffer, "%.6f", value);
  if (length <= 0) return Text();
  std::string_view text(buffer, static_cast<std::size_t>(length));
  if (text.find('.') != std::string_view::npos) {
    text.remove_suffix(text.size() - (text.find_last_not_of('0') + 1));
    if (text.back() == '.') text.remove_suffix(1);
  }
  // A negative number that rounds to zero keeps its sign ("-0"), as printf writes it.
  return Text(text);
}

}  // namespace sorvanel
