// Conversion between code pages and UTF-16: the one place where the code-page
// platform (ICU) is touched.
//
// Code pages are numbered as Windows numbers them: 0 is the ANSI code page, which is
// 936 in this build; 936 is GBK with Windows' own table (0x80 is the euro sign); 65001
// is UTF-8. Other numbers are looked up as "windows-N", then "cpN"; an unknown code page
// converts to nothing.
//
// Conversion never fails on content: malformed input becomes U+FFFD, and a character
// that the target code page cannot hold becomes '?'. Safe on any thread (each thread
// keeps its own converters).
#ifndef SORVANEL_ENCODING_CODEPAGE_H_
#define SORVANEL_ENCODING_CODEPAGE_H_

#include <string>
#include <string_view>

namespace sorvanel {

inline constexpr int kAnsiCodePage = 0;
inline constexpr int kGbkCodePage = 936;
inline constexpr int kUtf8CodePage = 65001;

// The bytes in `codePage` as UTF-16 code units. Zero bytes are ordinary input.
std::u16string CodePageToUtf16(std::string_view bytes, int codePage);

// UTF-16 code units as bytes in `codePage`. A lone surrogate counts as malformed.
std::string Utf16ToCodePage(std::u16string_view units, int codePage);

// Direct conversion from one code page to another through UTF-16. Pure ASCII passes
// unchanged between 936 and UTF-8 without a round trip.
std::string ConvertCodePage(std::string_view bytes, int fromCodePage, int toCodePage);

}  // namespace sorvanel

#endif  // SORVANEL_ENCODING_CODEPAGE_H_
