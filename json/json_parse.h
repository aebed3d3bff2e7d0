// INTERNAL to json/: not part of the library's interface. Only the sources of json/
// and its own tests and benchmarks include it; it changes with them.
//
// Reading JSON texts into the document model. Pure function, safe on
// any thread.
#ifndef SORVANEL_JSON_JSON_PARSE_H_
#define SORVANEL_JSON_JSON_PARSE_H_

#include <optional>
#include <string_view>

#include "json/json_value.h"

namespace sorvanel::json {

struct ParsedValue {
  Value value;
  int depth = 0;  // nesting of arrays and objects: 0 for a scalar, 1 for [1], 2 for [[]]
};

// The value of the JSON text `utf8` (RFC 8259, nothing else: no comments, no single
// quotes, no trailing commas), or nothing when it is not such a text or nests arrays and
// objects more than kMaxDepth deep. A duplicate key keeps its first place and takes the
// last value. Every number becomes a double (1e400 becomes infinity).
std::optional<ParsedValue> ParseJson(std::string_view utf8);

}  // namespace sorvanel::json

#endif  // SORVANEL_JSON_JSON_PARSE_H_
