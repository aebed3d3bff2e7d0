// INTERNAL to json/: not part of the library's interface. Only the sources of json/
// and its own tests and benchmarks include it; it changes with them.
//
// Writing values as text: the compact JSON form, JavaScript's number-to-text and the
// engine's default text of a value. Pure functions, safe on
// any thread.
#ifndef SORVANEL_JSON_JSON_SERIALIZE_H_
#define SORVANEL_JSON_JSON_SERIALIZE_H_

#include <string>

#include "json/json_value.h"

namespace sorvanel::json {

// Appends the compact JSON text of `value` (UTF-8) to `out` and returns true; a value
// without a JSON form (missing, a hole) appends nothing and returns false. Array
// elements without one are written null, object members without one are left out, a
// number that is not finite is written null.
bool AppendJson(const Value& value, std::string& out);

// Appends `number` as JavaScript writes it: the shortest digits that read back as the
// same double, in exponent form from 1e21 up and below 1e-6; -0 is written 0, and the
// non-finite values NaN, Infinity and -Infinity.
void AppendJsNumber(double number, std::string& out);

// Appends the engine's default text of `value`: a text itself, a number by
// AppendJsNumber, true or false, nothing for null and missing, [object Object] for an
// object, and an array's elements' texts joined by ",".
void AppendDefaultText(const Value& value, std::string& out);

}  // namespace sorvanel::json

#endif  // SORVANEL_JSON_JSON_SERIALIZE_H_
