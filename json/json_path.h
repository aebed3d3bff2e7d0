// INTERNAL to json/: not part of the library's interface. Only the sources of json/
// and its own tests and benchmarks include it; it changes with them.
//
// The path evaluator: selects a value of a document by a path such as ".a.b[0]",
// "[0].a" or ".a['x y']".
//
// A path is a sequence of selectors: "." and a name (letters, digits, "_" and "$", or
// any non-ASCII character, not starting with a digit); "[" and a decimal number
// (optionally negative) and "]"; "[" and a key in single or double quotes with the
// escapes of a text literal, and "]". The empty path selects the root. Selection
// follows JavaScript: a member that does not exist is missing; selecting anything from
// missing or null cannot be followed; selecting from a text, number or boolean gives
// missing. On an array a number (or a key that is one written plainly) selects an
// element; on an object a number selects the member whose key is its decimal text.
//
// Paths are evaluated afresh on every call; nothing is cached. Not safe to use on a
// value that another thread changes.
#ifndef SORVANEL_JSON_JSON_PATH_H_
#define SORVANEL_JSON_JSON_PATH_H_

#include <string_view>

#include "json/json_value.h"

namespace sorvanel::json {

// How a caller's path joins the document: as it is ("[0].a", "" for the root), or
// after an implied "." ("a.b" read as ".a.b"; then "" and "[0]" are not paths).
enum class Joiner { kAsIs, kDot };

// The value that `path` (UTF-8) selects from `root`; a missing value when the last
// member does not exist. Null when `path` is not a path or cannot be followed.
const Value* Follow(const Value& root, std::string_view path, Joiner joiner);

// The place that an assignment to `path` writes, made ready for the caller to store a
// value of nesting `valueDepth` there: an object member is created (missing) when new,
// an array is lengthened with holes. Null when the assignment cannot be made: `path` is
// not a path or selects the root, its parent cannot be followed or is not an array or object
// (an assignment there has no effect), a key that is not an index names a member of
// an array, the change would add more than kMaxNewHoles holes, or the document would nest
// deeper than kMaxDepth. Nothing changes when the result is null.
Value* AssignmentSlot(Value& root, std::string_view path, Joiner joiner, int valueDepth);

}  // namespace sorvanel::json

#endif  // SORVANEL_JSON_JSON_PATH_H_
