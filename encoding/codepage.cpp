#include "encoding/codepage.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ustring.h>

#include <map>
#include <memory>
#include <string>

namespace sorvanel {

namespace {

struct ConverterCloser {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// Writes '?' for every character the code page cannot hold. ICU's own substitution
// callback skips the "default ignorable" characters instead (U+00AD, U+200B..U+200F,
// U+FEFF and others), so a zero-width space or a byte-order mark would vanish without
// a trace; here every such character leaves its '?' as well.
void SubstituteEveryCharacter(const void* /*context*/, UConverterFromUnicodeArgs* args,
                              const UChar* /*units*/, int32_t /*length*/, UChar32 /*codePoint*/,
                              UConverterCallbackReason reason, UErrorCode* status) {
  if (reason > UCNV_IRREGULAR) return;  // reset, close and clone carry no character
  *status = U_ZERO_ERROR;
  ucnv_cbFromUWriteBytes(args, "?", 1, 0, status);
}

int EffectiveCodePage(int codePage) { return codePage == kAnsiCodePage ? kGbkCodePage : codePage; }

UConverter* OpenConverter(int codePage) {
  const std::string names[] = {"windows-" + std::to_string(codePage),
                               "cp" + std::to_string(codePage)};
  for (const std::string& name : names) {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(name.c_str(), &status);
    if (U_SUCCESS(status) && converter) {
      // Windows replaces what a code page cannot hold with '?'; ICU's own choice for
      // GBK would be 0x1A. No best-fit fallbacks either: an unmapped character is '?'.
      status = U_ZERO_ERROR;
      ucnv_setSubstChars(converter, "?", 1, &status);
      ucnv_setFallback(converter, false);
      status = U_ZERO_ERROR;
      ucnv_setFromUCallBack(converter, SubstituteEveryCharacter, nullptr, nullptr, nullptr,
                            &status);
      return converter;
    }
    if (converter) ucnv_close(converter);
  }
  return nullptr;
}

// Opening an ICU converter costs microseconds; each thread keeps one per code page.
UConverter* ConverterFor(int codePage) {
  thread_local std::map<int, ConverterPtr> converters;
  auto found = converters.find(codePage);
  if (found == converters.end()) {
    found = converters.emplace(codePage, ConverterPtr(OpenConverter(codePage))).first;
  }
  if (found->second) ucnv_reset(found->second.get());
  return found->second.get();
}

bool IsAscii(std::string_view bytes) {
  for (unsigned char b : bytes) {
    if (b >= 0x80) return false;
  }
  return true;
}

}  // namespace

std::u16string CodePageToUtf16(std::string_view bytes, int codePage) {
  codePage = EffectiveCodePage(codePage);
  if (bytes.empty()) return {};
  std::u16string units(bytes.size(), u'\0');  // never more units than bytes
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = 0;
  if (codePage == kUtf8CodePage) {
    u_strFromUTF8WithSub(units.data(), static_cast<int32_t>(units.size()), &length, bytes.data(),
                         static_cast<int32_t>(bytes.size()), 0xFFFD, nullptr, &status);
  } else {
    UConverter* converter = ConverterFor(codePage);
    if (!converter) return {};
    length = ucnv_toUChars(converter, units.data(), static_cast<int32_t>(units.size()),
                           bytes.data(), static_cast<int32_t>(bytes.size()), &status);
  }
  if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING) return {};
  units.resize(static_cast<std::size_t>(length));
  return units;
}

std::string Utf16ToCodePage(std::u16string_view units, int codePage) {
  codePage = EffectiveCodePage(codePage);
  if (units.empty()) return {};
  std::string bytes(units.size() * 4, '\0');  // UTF-8 and GBK need at most 4 per unit
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = 0;
  if (codePage == kUtf8CodePage) {
    u_strToUTF8WithSub(bytes.data(), static_cast<int32_t>(bytes.size()), &length, units.data(),
                       static_cast<int32_t>(units.size()), 0xFFFD, nullptr, &status);
  } else {
    UConverter* converter = ConverterFor(codePage);
    if (!converter) return {};
    length = ucnv_fromUChars(converter, bytes.data(), static_cast<int32_t>(bytes.size()),
                             units.data(), static_cast<int32_t>(units.size()), &status);
  }
  if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING) return {};
  bytes.resize(static_cast<std::size_t>(length));
  return bytes;
}

std::string ConvertCodePage(std::string_view bytes, int fromCodePage, int toCodePage) {
  fromCodePage = EffectiveCodePage(fromCodePage);
  toCodePage = EffectiveCodePage(toCodePage);
  const bool asciiCompatible = [](int a, int b) {
    return (a == kGbkCodePage || a == kUtf8CodePage) && (b == kGbkCodePage || b == kUtf8CodePage);
  }(fromCodePage, toCodePage);
  if (asciiCompatible && IsAscii(bytes)) return std::string(bytes);
  return Utf16ToCodePage(CodePageToUtf16(bytes, fromCodePage), toCodePage);
}

}  // namespace sorvanel
