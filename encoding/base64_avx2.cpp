// The AVX2 Base64 encoder. This file is the only one built with AVX2 enabled, and its
// code runs only after HasAvx2() has said yes.
//
// Each step loads 32 bytes of which the middle 24 are encoded: the load starts 4 bytes
// before them, so that each 128-bit lane holds its 12 input bytes where one in-lane
// shuffle can spread every 3 bytes over 4 output slots. Multiplies then move the four
// 6-bit fields of each slot into place, and a 16-entry table of offsets turns each
// 6-bit value into its alphabet character.
#include <immintrin.h>

#include <cstring>

#include "encoding/base64_internal.h"

namespace sorvanel::base64_internal {

namespace {

#if defined(__AVX2__)

inline __m256i SpreadGroups(__m256i in) {
  in = _mm256_shuffle_epi8(
      in, _mm256_set_epi8(10, 11, 9, 10, 7, 8, 6, 7, 4, 5, 3, 4, 1, 2, 0, 1,  // upper lane
                          14, 15, 13, 14, 11, 12, 10, 11, 8, 9, 7, 8, 5, 6, 4, 5));
  const __m256i highFields = _mm256_mulhi_epu16(_mm256_and_si256(in, _mm256_set1_epi32(0x0fc0fc00)),
                                                _mm256_set1_epi32(0x04000040));
  const __m256i lowFields = _mm256_mullo_epi16(_mm256_and_si256(in, _mm256_set1_epi32(0x003f03f0)),
                                               _mm256_set1_epi32(0x01000010));
  return _mm256_or_si256(highFields, lowFields);
}

inline __m256i ToAlphabet(__m256i values) {
  // Offset index: 0 for A-Z, 1 for a-z, 2..11 for digits, 12 for '+', 13 for '/'.
  const __m256i offsets =
      _mm256_setr_epi8(65, 71, -4, -4, -4, -4, -4, -4, -4, -4, -4, -4, -19, -16, 0, 0, 65, 71, -4,
                       -4, -4, -4, -4, -4, -4, -4, -4, -4, -19, -16, 0, 0);
  __m256i index = _mm256_subs_epu8(values, _mm256_set1_epi8(51));
  index = _mm256_sub_epi8(index, _mm256_cmpgt_epi8(values, _mm256_set1_epi8(25)));
  return _mm256_add_epi8(values, _mm256_shuffle_epi8(offsets, index));
}

#endif

}  // namespace

void EncodeAvx2(const unsigned char* in, std::size_t size, char* out) {
  std::size_t done = 0;
#if defined(__AVX2__)
  if (size >= 32) {
    // First step: load at the start (not 4 bytes before it) and move the words up.
    __m256i block = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in));
    block = _mm256_permutevar8x32_epi32(block, _mm256_setr_epi32(0, 0, 1, 2, 3, 4, 5, 6));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), ToAlphabet(SpreadGroups(block)));
    done = 24;
    out += 32;
    // Each later step reads bytes done-4 .. done+27, all inside the input.
    while (size - done >= 28) {
      block = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + done - 4));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), ToAlphabet(SpreadGroups(block)));
      done += 24;
      out += 32;
    }
  }
#endif
  EncodePortable(in + done, size - done, out);
}

}  // namespace sorvanel::base64_internal
