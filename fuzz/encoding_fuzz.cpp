// Fuzz target for the encodings and the shared text operations.
//
// Base64, URL encoding, percent decoding and the searches are held to plain
// byte-by-byte references written here, so that a fast path (the AVX2 and SSE2 block
// loops, the byte-counting census, the search behind the character walk) that parts
// from the simple rule is a fault. The code-page conversions must not fail and must be
// stable once converted.
//
// Input: the whole input as bytes (Base64, percent decoding), then fields: a control
// byte (switches, code page, repetition), and three texts.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "encoding/base64.h"
#include "encoding/base64_internal.h"
#include "encoding/charset.h"
#include "encoding/text_between.h"
#include "encoding/text_ops.h"
#include "encoding/url_encode.h"
#include "fuzz/fuzz_input.h"

namespace sorvanel::fuzz {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string ReferenceBase64(std::string_view in) {
  std::string out;
  for (std::size_t i = 0; i < in.size(); i += 3) {
    const std::size_t left = in.size() - i;
    const unsigned b0 = static_cast<unsigned char>(in[i]);
    const unsigned b1 = left > 1 ? static_cast<unsigned char>(in[i + 1]) : 0;
    const unsigned b2 = left > 2 ? static_cast<unsigned char>(in[i + 2]) : 0;
    out += kAlphabet[b0 >> 2];
    out += kAlphabet[((b0 & 3) << 4) | (b1 >> 4)];
    out += left > 1 ? kAlphabet[((b1 & 15) << 2) | (b2 >> 6)] : '=';
    out += left > 2 ? kAlphabet[b2 & 63] : '=';
  }
  return out;
}

void CheckBase64(std::string_view bytes) {
  const std::string expected = ReferenceBase64(bytes);
  FUZZ_CHECK(Base64Encode(ByteSet(std::string(bytes))).str() == expected);
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  std::string out(base64_internal::EncodedLength(bytes.size()), '\0');
  base64_internal::EncodePortable(in, bytes.size(), out.data());
  FUZZ_CHECK(out == expected);
  if (base64_internal::HasAvx2()) {
    std::string avx(out.size(), '\0');
    base64_internal::EncodeAvx2(in, bytes.size(), avx.data());
    FUZZ_CHECK(avx == expected);
  }
}

std::string ReferenceUrlEncode(const Text& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const ByteSet utf8 = AnsiToUtf8(text);
  std::string out;
  for (const char c : utf8.view()) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (b <= 0x20 || b >= 0x7F || b == '#' || b == '%' || b == '&' || b == '+') {
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 15];
    } else {
      out += c;
    }
  }
  return out;
}

unsigned char ReferenceHexValue(unsigned char b) {
  return b <= '9' ? static_cast<unsigned char>(b - '0')
                  : static_cast<unsigned char>((b & ~0x20u) - 0x37);
}

std::string ReferencePercentDecode(std::string_view in) {
  std::string out;
  for (std::size_t i = 0; i < in.size() && in[i] != '\0'; ++i) {
    if (in[i] == '%' && in.size() - i > 2) {
      out += static_cast<char>((ReferenceHexValue(in[i + 1]) << 4) | ReferenceHexValue(in[i + 2]));
      i += 2;
    } else {
      out += in[i];
    }
  }
  return out;
}

// The characters of a 936 text: a byte of 0x80 or above and the byte after it, a lone
// lead byte at the end on its own.
std::vector<std::string_view> Characters(std::string_view text) {
  std::vector<std::string_view> chars;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = static_cast<unsigned char>(text[i]) >= 0x80 ? 2 : 1;
    chars.push_back(text.substr(i, length));
    i += length;
  }
  return chars;
}

char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// Whether `what` stands at `pos`: ASCII letters folded when asked, the bytes of a
// double-byte character (the second one included) always compared exactly.
bool ReferenceMatchesAt(std::string_view text, std::size_t pos, std::string_view what, Case match) {
  if (what.size() > text.size() - pos) return false;
  for (std::size_t i = 0; i < what.size(); ++i) {
    const bool single = static_cast<unsigned char>(what[i]) < 0x80;
    if (match == Case::kIgnore && single ? Fold(text[pos + i]) != Fold(what[i])
                                         : text[pos + i] != what[i]) {
      return false;
    }
    if (!single) {
      if (++i == what.size()) break;
      if (text[pos + i] != what[i]) return false;
    }
  }
  return true;
}

// Tries every character boundary from `from` on, in order.
std::size_t ReferenceFind(std::string_view text, std::string_view what, std::size_t from,
                          Case match) {
  for (std::size_t pos = from; pos <= text.size();
       pos += static_cast<unsigned char>(text[pos]) >= 0x80 ? 2 : 1) {
    if (ReferenceMatchesAt(text, pos, what, match)) return pos;
    if (pos == text.size()) break;
  }
  return kNotFound;
}

std::string ReferenceReplaceAll(std::string_view text, std::string_view what, std::string_view with,
                                Case match) {
  if (what.empty()) return std::string(text);
  std::string out;
  std::size_t start = 0;
  for (std::size_t pos; (pos = ReferenceFind(text, what, start, match)) != kNotFound;) {
    out.append(text.substr(start, pos - start)).append(with);
    start = pos + what.size();
  }
  return out.append(text.substr(start));
}

std::vector<std::string> ReferenceSplit(std::string_view text, std::string_view separator) {
  std::vector<std::string> pieces;
  if (text.empty()) return pieces;
  if (separator.empty()) return {std::string(text)};
  std::size_t start = 0;
  for (std::size_t pos;
       (pos = ReferenceFind(text, separator, start, Case::kSensitive)) != kNotFound;) {
    pieces.emplace_back(text.substr(start, pos - start));
    start = pos + separator.size();
  }
  if (start < text.size()) pieces.emplace_back(text.substr(start));
  return pieces;
}

std::string ReferenceTrim(std::string_view text) {
  const std::vector<std::string_view> chars = Characters(text);
  std::size_t first = 0;
  std::size_t last = chars.size();
  const auto blank = [&](std::size_t i) { return chars[i] == " " || chars[i] == "\xA1\xA1"; };
  while (first < last && blank(first)) ++first;
  while (last > first && blank(last - 1)) --last;
  std::string out;
  for (std::size_t i = first; i < last; ++i) out.append(chars[i]);
  return out;
}

std::string ReferenceTextBetween(std::string_view text, std::string_view left,
                                 std::string_view right) {
  const std::string l = ReferenceReplaceAll(left, kQuotePlaceholder, "\"", Case::kSensitive);
  const std::string r = ReferenceReplaceAll(right, kQuotePlaceholder, "\"", Case::kSensitive);
  if (text.empty() || r.empty()) return "";
  const std::size_t leftAt = ReferenceFind(text, l, 0, Case::kSensitive);
  if (leftAt == kNotFound) return "";
  const std::size_t start = leftAt + l.size();
  const std::size_t rightAt = ReferenceFind(text, r, start, Case::kSensitive);
  if (rightAt == kNotFound || rightAt == start) return "";
  return std::string(text.substr(start, rightAt - start));
}

void CheckTextOperations(const Text& a, const Text& b, const Text& c) {
  for (const Case match : {Case::kSensitive, Case::kIgnore}) {
    // From every character boundary, so that later starts are covered too.
    for (std::size_t from = 0; from <= a.size();
         from += from < a.size() && static_cast<unsigned char>(a.view()[from]) >= 0x80 ? 2 : 1) {
      FUZZ_CHECK(FindText(a.view(), b.view(), from, match) ==
                 ReferenceFind(a.view(), b.view(), from, match));
    }
    FUZZ_CHECK(ReplaceAll(a.view(), b.view(), c.view(), match).str() ==
               ReferenceReplaceAll(a.view(), b.view(), c.view(), match));
  }
  std::vector<std::string> pieces;
  for (const Text& piece : Split(a.view(), b.view())) pieces.push_back(piece.str());
  FUZZ_CHECK(pieces == ReferenceSplit(a.view(), b.view()));
  FUZZ_CHECK(Trim(a.view()).str() == ReferenceTrim(a.view()));
  FUZZ_CHECK(TextBetween(a, b, c).str() == ReferenceTextBetween(a.view(), b.view(), c.view()));
}

void CheckConversions(const Text& text, std::uint8_t control) {
  static constexpr int kCodePages[] = {kAnsiCodePage, kGbkCodePage, kUtf8CodePage, 1252};
  const int codePage = kCodePages[(control >> 1) & 3];
  const bool fromUtf8 = (control & 1) != 0;

  ByteSet decoded = ByteSet::FromText(text);
  PercentDecode(decoded);
  FUZZ_CHECK(decoded.bytes() == ReferencePercentDecode(text.view()));
  const Text converted = ConvertCharset(text, fromUtf8);
  FUZZ_CHECK(converted == (fromUtf8 ? Utf8ToGbk(decoded.AsText()) : decoded.AsText()));

  // Once converted to 936, a text goes to UTF-8 and back unchanged.
  const Text gbk = Utf8ToGbk(text);
  FUZZ_CHECK(Utf8ToGbk(AnsiToUtf8(gbk).AsText()) == gbk);
  const Text ansi = Utf8ToGbk(AnsiToUtf8(text).AsText());
  FUZZ_CHECK(Utf8ToGbk(AnsiToUtf8(ansi).AsText()) == ansi);

  const ByteSet units = ToUtf16(text, codePage);
  FUZZ_CHECK(units.size() >= 2 && units.size() % 2 == 0);
  FUZZ_CHECK(units.view().substr(units.size() - 2) == std::string_view("\0\0", 2));
  const Text back = FromUtf16(units, codePage);
  FUZZ_CHECK(FromUtf16(ToUtf16(back, codePage), codePage) == back);
  FromUtf16(ByteSet(text.str()), codePage);
}

void CheckUrlEncode(const Text& text, std::uint8_t control) {
  FUZZ_CHECK(UrlEncode(text).str() == ReferenceUrlEncode(text));
  // Repeated past 255 blocks of 16 bytes, the text reaches the census's counter
  // roll-over and long runs of the block loop.
  if (text.empty()) return;
  const std::size_t target = 255 * 16 + 16 * (control >> 3);
  Text repeated = text;
  while (repeated.size() < target) repeated += text;
  FUZZ_CHECK(UrlEncode(repeated).str() == ReferenceUrlEncode(repeated));
}

}  // namespace

void FuzzOne(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // Every start offset of the first few gives the vector loads another alignment.
  for (std::size_t offset = 0; offset < 4 && offset <= size; ++offset) {
    CheckBase64(bytes.substr(offset));
  }
  ByteSet raw{std::string(bytes)};
  PercentDecode(raw);
  FUZZ_CHECK(raw.bytes() == ReferencePercentDecode(bytes));

  FuzzInput input(data, size);
  const std::uint8_t control = input.NextByte();
  const Text a = input.NextText();
  const Text b = input.NextText();
  const Text c = input.NextText();
  CheckConversions(a, control);
  CheckUrlEncode(a, control);
  CheckTextOperations(a, b, c);
}

}  // namespace sorvanel::fuzz
