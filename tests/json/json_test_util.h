// Helpers shared by the JSON tests.
#ifndef SORVANEL_TESTS_JSON_JSON_TEST_UTIL_H_
#define SORVANEL_TESTS_JSON_JSON_TEST_UTIL_H_

#include <string>

#include "encoding/charset.h"
#include "encoding/text.h"
#include "json/json_object.h"

namespace sorvanel::testing {

// The test sources are UTF-8; the library's texts are in code page 936.
inline Text Gbk(const std::string& utf8) { return Utf8ToGbk(Text(utf8)); }

// An object holding the document `json`; the parse must succeed.
inline JsonObject Parsed(const std::string& json) {
  JsonObject object;
  object.Parse(Gbk(json));
  return object;
}

}  // namespace sorvanel::testing

#endif  // SORVANEL_TESTS_JSON_JSON_TEST_UTIL_H_
