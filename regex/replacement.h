// INTERNAL to regex/: not part of the library's interface. Only the sources of regex/
// and its own tests and benchmarks include it; it changes with them.
//
// Expansion of the replacement text of RegexObject::Replace for one match.
//
// The replacement syntax of the JavaScript style: $1 to $99 stand for the text of that
// group (the empty text when it took no part in the match), a two-digit reference only
// where the pattern has that many groups ($12 with one group is group 1, then "2");
// $& for the match, $` for the subject before it, $' for the subject after it, $$ for
// one dollar sign. Anything else, $0 and references to groups that do not exist
// included, stands for itself. Pure function, safe on any thread.
#ifndef SORVANEL_REGEX_REPLACEMENT_H_
#define SORVANEL_REGEX_REPLACEMENT_H_

#include <span>
#include <string>
#include <string_view>

#include "regex/compiled_pattern.h"

namespace sorvanel {

// Appends `replacement` to `out` with its references resolved against the match whose
// spans are `groups` (element 0 the whole match) in `subject`.
void AppendReplacement(std::string_view replacement, std::string_view subject,
                       std::span<const GroupSpan> groups, std::string& out);

}  // namespace sorvanel

#endif  // SORVANEL_REGEX_REPLACEMENT_H_
