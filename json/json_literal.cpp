#include "json/json_literal.h"

#include <optional>

namespace sorvanel::json {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The value of the `count` hexadecimal digits at `at`, if they are all there.
std::optional<char32_t> HexValue(std::string_view s, std::size_t at, std::size_t count) {
  if (at + count > s.size()) return std::nullopt;
  char32_t value = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const int digit = HexDigit(s[at + i]);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<char32_t>(digit);
  }
  return value;
}

bool IsHighSurrogate(char32_t c) { return c >= 0xd800 && c <= 0xdbff; }
bool IsLowSurrogate(char32_t c) { return c >= 0xdc00 && c <= 0xdfff; }

// The length of the line terminator at `at` (LF, CR, CR LF, U+2028, U+2029), or 0.
std::size_t LineBreakLength(std::string_view s, std::size_t at) {
  if (s[at] == '\n') return 1;
  if (s[at] == '\r') return at + 1 < s.size() && s[at + 1] == '\n' ? 2 : 1;
  if (s.substr(at, 3) == "\xe2\x80\xa8" || s.substr(at, 3) == "\xe2\x80\xa9") return 3;
  return 0;
}

}  // namespace

void AppendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xc0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3f)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xe0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3f)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3f)));
  } else {
    out.push_back(static_cast<char>(0xf0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3f)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3f)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3f)));
  }
}

std::string DecodeTextLiteral(std::string_view content) {
  std::string out;
  out.reserve(content.size());
  std::size_t i = 0;
  while (i < content.size()) {
    const std::size_t slash = content.find('\\', i);
    if (slash == std::string_view::npos) {
      out.append(content.substr(i));
      break;
    }
    out.append(content.substr(i, slash - i));
    i = slash + 1;
    if (i == content.size()) {  // a final backslash stays
      out.push_back('\\');
      break;
    }
    const char c = content[i];
    if (const std::size_t lineBreak = LineBreakLength(content, i)) {
      i += lineBreak;
      continue;
    }
    switch (c) {
      case 'b':
        out.push_back('\b');
        ++i;
        continue;
      case 't':
        out.push_back('\t');
        ++i;
        continue;
      case 'n':
        out.push_back('\n');
        ++i;
        continue;
      case 'v':
        out.push_back('\v');
        ++i;
        continue;
      case 'f':
        out.push_back('\f');
        ++i;
        continue;
      case 'r':
        out.push_back('\r');
        ++i;
        continue;
      default:
        break;
    }
    if (c >= '0' && c <= '7') {
      const std::size_t maxDigits = c <= '3' ? 3 : 2;
      char32_t value = 0;
      std::size_t digits = 0;
      while (digits < maxDigits && i < content.size() && content[i] >= '0' && content[i] <= '7') {
        value = value * 8 + static_cast<char32_t>(content[i] - '0');
        ++i;
        ++digits;
      }
      AppendUtf8(value, out);
      continue;
    }
    if (c == 'x' || c == 'u') {
      const std::size_t count = c == 'x' ? 2 : 4;
      const std::optional<char32_t> unit = HexValue(content, i + 1, count);
      if (!unit) {  // not an escape after all: keep the backslash and what follows
        out.push_back('\\');
        continue;
      }
      i += 1 + count;
      char32_t codePoint = *unit;
      if (IsHighSurrogate(codePoint)) {
        const std::optional<char32_t> low =
            i + 1 < content.size() && content[i] == '\\' && content[i + 1] == 'u'
                ? HexValue(content, i + 2, 4)
                : std::nullopt;
        if (low && IsLowSurrogate(*low)) {
          codePoint = 0x10000 + ((codePoint - 0xd800) << 10) + (*low - 0xdc00);
          i += 6;
        } else {
          codePoint = 0xfffd;
        }
      } else if (IsLowSurrogate(codePoint)) {
        codePoint = 0xfffd;
      }
      AppendUtf8(codePoint, out);
      continue;
    }
    // Any other character stands for itself; copy it whole when it is multi-byte.
    std::size_t length = 1;
    while (i + length < content.size() && (content[i + length] & 0xc0) == 0x80) ++length;
    out.append(content.substr(i, length));
    i += length;
  }
  return out;
}

}  // namespace sorvanel::json
