#include "encoding/url_encode.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string>
#include <string_view>

#include "encoding/codepage.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sorvanel {

namespace {

constexpr bool IsEscaped(unsigned char b) {
  return b <= 0x20 || b >= 0x7F || b == '#' || b == '%' || b == '&' || b == '+';
}

constexpr std::array<bool, 256> MakeEscapeTable() {
  std::array<bool, 256> table{};
  for (int b = 0; b < 256; ++b) table[b] = IsEscaped(static_cast<unsigned char>(b));
  return table;
}
constexpr auto kEscaped = MakeEscapeTable();

constexpr char kHexDigits[] = "0123456789ABCDEF";

#if defined(__SSE2__)
constexpr std::size_t kBlock = 16;

// 0xFF in each of the 16 bytes at p that must be escaped, 0 elsewhere.
inline __m128i EscapeHits(__m128i v) {
  // Signed compare: 0x80..0xFF are negative, so they fall below 0x21 with the controls.
  __m128i hits = _mm_cmplt_epi8(v, _mm_set1_epi8(0x21));
  hits = _mm_or_si128(hits, _mm_cmpeq_epi8(v, _mm_set1_epi8(0x7F)));
  hits = _mm_or_si128(hits, _mm_cmpeq_epi8(v, _mm_set1_epi8('#')));
  hits = _mm_or_si128(hits, _mm_cmpeq_epi8(v, _mm_set1_epi8('%')));
  hits = _mm_or_si128(hits, _mm_cmpeq_epi8(v, _mm_set1_epi8('&')));
  return _mm_or_si128(hits, _mm_cmpeq_epi8(v, _mm_set1_epi8('+')));
}
inline __m128i Load(const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
// One bit for each of the 16 bytes at p that must be escaped.
inline unsigned EscapeMask(const char* p) {
  return static_cast<unsigned>(_mm_movemask_epi8(EscapeHits(Load(p))));
}
#endif

struct Census {
  std::size_t escapes = 0;
  bool highBytes = false;  // a byte of 0x80 or above: the text is not pure ASCII
};

Census Count(std::string_view in) {
  Census census;
  std::size_t i = 0;
#if defined(__SSE2__)
  // Each hit subtracts -1 from its byte's counter; the counters are summed into
  // `total` before any of them can pass 255.
  __m128i high = _mm_setzero_si128();
  __m128i total = _mm_setzero_si128();
  while (i + kBlock <= in.size()) {
    __m128i counters = _mm_setzero_si128();
    for (int round = 0; round < 255 && i + kBlock <= in.size(); ++round, i += kBlock) {
      const __m128i v = Load(in.data() + i);
      high = _mm_or_si128(high, v);
      counters = _mm_sub_epi8(counters, EscapeHits(v));
    }
    total = _mm_add_epi64(total, _mm_sad_epu8(counters, _mm_setzero_si128()));
  }
  census.escapes = static_cast<std::size_t>(_mm_cvtsi128_si64(total)) +
                   static_cast<std::size_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(total, total)));
  census.highBytes = _mm_movemask_epi8(high) != 0;
#endif
  for (; i < in.size(); ++i) {
    const unsigned char b = in[i];
    census.escapes += kEscaped[b];
    census.highBytes = census.highBytes || b >= 0x80;
  }
  return census;
}

inline char* WriteByte(unsigned char b, char* out) {
  if (!kEscaped[b]) {
    *out = static_cast<char>(b);
    return out + 1;
  }
  out[0] = '%';
  out[1] = kHexDigits[b >> 4];
  out[2] = kHexDigits[b & 15];
  return out + 3;
}

void Write(std::string_view in, char* out) {
  std::size_t i = 0;
#if defined(__SSE2__)
  // Most blocks of a Base64 text need no escape at all and are stored whole. In the
  // others each run before an escape is stored as a whole block too, and the next
  // store overwrites what lies past the run. This needs 16 spare bytes after every
  // store, in the input and in the output: with 32 input bytes left there are, since
  // the output never has fewer bytes left than the input.
  for (; i + 2 * kBlock <= in.size(); i += kBlock) {
    const char* block = in.data() + i;
    unsigned mask = EscapeMask(block);
    std::size_t done = 0;
    while (mask != 0) {
      const std::size_t escape = static_cast<std::size_t>(std::countr_zero(mask));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out), Load(block + done));
      out = WriteByte(block[escape], out + (escape - done));
      done = escape + 1;
      mask &= mask - 1;
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), Load(block + done));
    out += kBlock - done;
  }
#endif
  for (; i < in.size(); ++i) out = WriteByte(in[i], out);
}

// A text with characters outside ASCII is converted to UTF-8 in pieces of about this
// many bytes, so that the conversion's buffers stay small whatever the size of the text:
// the peak is the input, the output and a few hundred KiB.
constexpr std::size_t kPieceBytes = 64 * 1024;

// Whether b starts a double-byte character in code page 936 as the converter reads it:
// 0x81 to 0xFE (0x80 is the euro sign, one byte). Pieces end between characters, so a
// piece never ends on a lead byte whose second byte is in the next piece.
bool IsLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

std::size_t PieceEnd(std::string_view text, std::size_t begin) {
  if (text.size() - begin <= kPieceBytes) return text.size();
  std::size_t end = begin;
  while (end < begin + kPieceBytes) end += IsLeadByte(text[end]) ? 2 : 1;
  return std::min(end, text.size());
}

// The size of the encoded text, for the output's one allocation: exact for ASCII, and
// for each other character the most its UTF-8 form can take (three bytes, each
// escaped). Only a character of U+0080..U+07FF takes less (two bytes); malformed input
// may take more, which the writing handles by growing the output.
std::size_t EncodedSizeBound(std::string_view text) {
  constexpr std::size_t kMostPerCharacter = 9;
  std::size_t size = 0;
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char b = text[i];
    if (b < 0x80) {
      size += kEscaped[b] ? 3 : 1;
      ++i;
    } else {
      size += kMostPerCharacter;
      i += IsLeadByte(b) ? 2 : 1;
    }
  }
  return size;
}

// Converts `text` to UTF-8 piece by piece and appends the encoded form of each to `out`.
void AppendEncodedPieces(std::string_view text, std::string& out) {
  for (std::size_t begin = 0; begin < text.size();) {
    const std::size_t end = PieceEnd(text, begin);
    const std::string utf8 =
        ConvertCodePage(text.substr(begin, end - begin), kAnsiCodePage, kUtf8CodePage);
    const std::size_t at = out.size();
    out.resize(at + utf8.size() + 2 * Count(utf8).escapes);
    Write(utf8, out.data() + at);
    begin = end;
  }
}
}  // namespace

Text UrlEncode(const Text& text) {
  if (text.empty()) return Text();
  const std::string_view bytes = text.view();
  const Census census = Count(bytes);
  // The output is allocated once and written in place: at its exact size for pure
  // ASCII, which reads the same in code page 936 and in UTF-8 and needs no conversion;
  // at its bound for other texts.
  if (!census.highBytes) {
    std::string out(bytes.size() + 2 * census.escapes, '\0');
    Write(bytes, out.data());
    return Text::Adopt(std::move(out));
  }
  std::string out;
  out.reserve(EncodedSizeBound(bytes));
  AppendEncodedPieces(bytes, out);
  return Text::Adopt(std::move(out));
}

}  // namespace sorvanel
