#include "json/json_serialize.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>
#include <system_error>

namespace sorvanel::json {

namespace {

constexpr char kHex[] = "0123456789abcdef";

// The ASCII bytes that must be escaped: the controls, DEL, the quote and the
// backslash. Bytes from 0x80 on start a multi-byte character, decoded only when its
// lead byte can begin an escaped one.
constexpr std::array<bool, 256> kEscapedAscii = [] {
  std::array<bool, 256> table{};
  for (int b = 0; b < 0x20; ++b) table[b] = true;
  table['"'] = table['\\'] = table[0x7f] = true;
  // Lead bytes of U+0080..U+00BF, U+0600..U+063F, U+0700..U+073F, U+1000..U+1FFF,
  // U+2000..U+2FFF and U+F000..U+FFFF, where the escaped characters above 0x7F lie.
  table[0xc2] = table[0xd8] = table[0xdc] = table[0xe1] = table[0xe2] = table[0xef] = true;
  return table;
}();

bool EscapedCodePoint(char32_t c) {
  return (c >= 0x7f && c <= 0x9f) || c == 0xad || (c >= 0x600 && c <= 0x604) || c == 0x70f ||
         c == 0x17b4 || c == 0x17b5 || (c >= 0x200c && c <= 0x200f) ||
         (c >= 0x2028 && c <= 0x202f) || (c >= 0x2060 && c <= 0x206f) || c == 0xfeff || c >= 0xfff0;
}

void AppendUnicodeEscape(char32_t c, std::string& out) {
  const char escape[] = {
      '\\', 'u', kHex[(c >> 12) & 15], kHex[(c >> 8) & 15], kHex[(c >> 4) & 15], kHex[c & 15]};
  out.append(escape, sizeof escape);
}

void AppendQuoted(std::string_view text, std::string& out) {
  out.push_back('"');
  std::size_t plainFrom = 0;
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (!kEscapedAscii[b]) {
      ++i;
      continue;
    }
    if (b >= 0x80) {
      // A two- or three-byte sequence; text from our own conversions is valid UTF-8.
      const std::size_t length = b < 0xe0 ? 2 : 3;
      if (i + length > text.size()) break;
      const char32_t c =
          length == 2 ? ((b & 0x1f) << 6) | (text[i + 1] & 0x3f)
                      : ((b & 0x0f) << 12) | ((text[i + 1] & 0x3f) << 6) | (text[i + 2] & 0x3f);
      if (!EscapedCodePoint(c)) {
        i += length;
        continue;
      }
      out.append(text.substr(plainFrom, i - plainFrom));
      AppendUnicodeEscape(c, out);
      i += length;
      plainFrom = i;
      continue;
    }
    out.append(text.substr(plainFrom, i - plainFrom));
    switch (b) {
      case '\b':
        out.append("\\b");
        break;
      case '\t':
        out.append("\\t");
        break;
      case '\n':
        out.append("\\n");
        break;
      case '\f':
        out.append("\\f");
        break;
      case '\r':
        out.append("\\r");
        break;
      case '"':
        out.append("\\\"");
        break;
      case '\\':
        out.append("\\\\");
        break;
      default:
        AppendUnicodeEscape(b, out);
    }
    ++i;
    plainFrom = i;
  }
  out.append(text.substr(plainFrom));
  out.push_back('"');
}

}  // namespace

void AppendJsNumber(double number, std::string& out) {
  if (std::isnan(number)) {
    out.append("NaN");
    return;
  }
  if (std::isinf(number)) {
    out.append(number < 0 ? "-Infinity" : "Infinity");
    return;
  }
  if (number == 0) {  // also -0
    out.push_back('0');
    return;
  }
  // The shortest round-trip digits, as d.ddde±x.
  char buffer[64];
  const auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::scientific);
  if (error != std::errc()) return;
  std::string_view sci(buffer, static_cast<std::size_t>(end - buffer));
  if (sci.front() == '-') {
    out.push_back('-');
    sci.remove_prefix(1);
  }
  const std::size_t ePos = sci.find('e');
  std::string digits;
  for (char c : sci.substr(0, ePos)) {
    if (c != '.') digits.push_back(c);
  }
  const int k = static_cast<int>(digits.size());
  // The value is 0.digits times 10 to the n.
  std::string_view exponent = sci.substr(ePos + 1);
  if (!exponent.empty() && exponent.front() == '+') exponent.remove_prefix(1);
  int n = 0;
  std::from_chars(exponent.data(), exponent.data() + exponent.size(), n);
  ++n;
  if (k <= n && n <= 21) {
    out.append(digits);
    out.append(static_cast<std::size_t>(n - k), '0');
  } else if (0 < n && n <= 21) {
    out.append(digits, 0, static_cast<std::size_t>(n));
    out.push_back('.');
    out.append(digits, static_cast<std::size_t>(n));
  } else if (-6 < n && n <= 0) {
    out.append("0.");
    out.append(static_cast<std::size_t>(-n), '0');
    out.append(digits);
  } else {
    out.push_back(digits[0]);
    if (k > 1) {
      out.push_back('.');
      out.append(digits, 1);
    }
    out.push_back('e');
    out.push_back(n - 1 < 0 ? '-' : '+');
    out.append(std::to_string(std::abs(n - 1)));
  }
}

bool AppendJson(const Value& value, std::string& out) {
  switch (value.kind()) {
    case Kind::kMissing:
    case Kind::kHole:
      return false;
    case Kind::kNull:
      out.append("null");
      return true;
    case Kind::kBoolean:
      out.append(value.boolean() ? "true" : "false");
      return true;
    case Kind::kNumber:
      if (std::isfinite(value.number())) {
        AppendJsNumber(value.number(), out);
      } else {
        out.append("null");
      }
      return true;
    case Kind::kText:
      AppendQuoted(value.text(), out);
      return true;
    case Kind::kArray: {
      out.push_back('[');
      bool first = true;
      value.array().ForEach([&](std::size_t, const Value& element) {
        if (!first) out.push_back(',');
        first = false;
        if (!AppendJson(element, out)) out.append("null");
      });
      out.push_back(']');
      return true;
    }
    case Kind::kObject: {
      out.push_back('{');
      bool first = true;
      for (const Object::Member& member : value.object().members()) {
        if (member.value.IsMissing()) continue;
        if (!first) out.push_back(',');
        first = false;
        AppendQuoted(member.key, out);
        out.push_back(':');
        AppendJson(member.value, out);
      }
      out.push_back('}');
      return true;
    }
  }
  return false;
}

void AppendDefaultText(const Value& value, std::string& out) {
  switch (value.kind()) {
    case Kind::kMissing:
    case Kind::kHole:
    case Kind::kNull:
      return;
    case Kind::kBoolean:
      out.append(value.boolean() ? "true" : "false");
      return;
    case Kind::kNumber:
      AppendJsNumber(value.number(), out);
      return;
    case Kind::kText:
      out.append(value.text());
      return;
    case Kind::kArray: {
      bool first = true;
      value.array().ForEach([&](std::size_t, const Value& element) {
        if (!first) out.push_back(',');
        first = false;
        AppendDefaultText(element, out);
      });
      return;
    }
    case Kind::kObject:
      out.append("[object Object]");
      return;
  }
}

}  // namespace sorvanel::json
