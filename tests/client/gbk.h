// Test helper: texts written in UTF-8 in the test source, as the library holds them.
#ifndef SORVANEL_TESTS_CLIENT_GBK_H_
#define SORVANEL_TESTS_CLIENT_GBK_H_

#include <string_view>

#include "encoding/codepage.h"
#include "encoding/text.h"

namespace sorvanel::client_test {

inline Text Gbk(std::string_view utf8) {
  return Text(ConvertCodePage(utf8, kUtf8CodePage, kGbkCodePage));
}

inline std::string Utf8(const Text& gbk) {
  return ConvertCodePage(gbk.view(), kGbkCodePage, kUtf8CodePage);
}

}  // namespace sorvanel::client_test

#endif  // SORVANEL_TESTS_CLIENT_GBK_H_
