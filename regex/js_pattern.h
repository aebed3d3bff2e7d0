// INTERNAL to regex/: not part of the library's interface. Only the sources of regex/
// and its own tests and benchmarks include it; it changes with them.
//
// Rewriting of a JavaScript-style pattern into the syntax of the engine behind
// RegexObject, with the same meaning.
//
// The engine's own options cover \uHHHH, \xHH, unset back-references and empty classes
// (see compiled_pattern.cpp). This rewriting covers the rest, where the engine would
// read the same text differently:
// - "." matches any character but the four line breaks \n, \r, U+2028 and U+2029; in
//   multi-line mode "^" and "$" match at the start and end of the text and next to each
//   of those line breaks, one by one (so also between the \r and \n of a CR LF).
// - \v is the vertical tab alone; a backslash before any other letter without a meaning
//   of its own (\h, \K, \Q, \p, \z ...) stands for that letter.
// - \N is a back-reference only when the pattern has at least N groups; otherwise the
//   digits are an octal character code (up to 0377), and \8 or \9 is the digit itself.
// - "[" inside a class is an ordinary character, never the start of a POSIX class, and a
//   "-" next to a class escape inside a class (as in [\d-x]) is an ordinary character.
// - The engine's own extensions that a JavaScript pattern cannot hold, "(*...)" and
//   "(?" with anything but ":", "=", "!", "<=", "<!" or "<name>", are errors.
// - A quantifier on "^" or "$" ("^*", "$+", "^{2}") is an error in both modes.
// Pure function, safe on any thread.
#ifndef SORVANEL_REGEX_JS_PATTERN_H_
#define SORVANEL_REGEX_JS_PATTERN_H_

#include <optional>
#include <string>
#include <string_view>

namespace sorvanel {

// The pattern in the engine's syntax, or nullopt when it uses one of the extensions
// above. Takes and gives UTF-8. Other syntax errors are left for the engine to find.
std::optional<std::string> TranslateJsPattern(std::string_view pattern, bool multiline);

}  // namespace sorvanel

#endif  // SORVANEL_REGEX_JS_PATTERN_H_
