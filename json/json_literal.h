// INTERNAL to json/: not part of the library's interface. Only the sources of json/
// and its own tests and benchmarks include it; it changes with them.
//
// Decoding of a caller's text as the content of a JavaScript quoted text literal, the
// form in which the text-valued changes of JsonObject store their value.
// Pure function, safe on any thread.
#ifndef SORVANEL_JSON_JSON_LITERAL_H_
#define SORVANEL_JSON_JSON_LITERAL_H_

#include <string>
#include <string_view>

namespace sorvanel::json {

// The UTF-8 text that `content` (UTF-8) stands for between quotes. The backslash
// escapes are decoded: \b \t \n \v \f \r, \xHH, \uHHHH (surrogate pairs joined, a lone
// surrogate giving U+FFFD), octal \0 to \377, a backslash before a line break joining
// the lines, and a backslash before any other character giving that character. What
// would end or break a literal is kept as it is rather than refused: a quote, a raw
// line break, a final backslash, a \x or \u without its hexadecimal digits.
std::string DecodeTextLiteral(std::string_view content);

// Appends code point `c` to `out` as UTF-8.
void AppendUtf8(char32_t c, std::string& out);

}  // namespace sorvanel::json

#endif  // SORVANEL_JSON_JSON_LITERAL_H_
