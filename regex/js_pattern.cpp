#include "regex/js_pattern.h"

#include <algorithm>
#include <cstdio>

namespace sorvanel {

namespace {

// The four line breaks of the JavaScript style, in the engine's \uHHHH notation.
constexpr std::string_view kNotLineBreak = "[^\\n\\r\\u2028\\u2029]";
constexpr std::string_view kLineStart = "(?<![^\\n\\r\\u2028\\u2029])";
constexpr std::string_view kLineEnd = "(?![^\\n\\r\\u2028\\u2029])";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsClassEscape(char c) {
  return c != 0 && std::string_view("dDsSwW").find(c) != std::string_view::npos;
}

// Letters that mean something after a backslash in a JavaScript pattern. \k is a named
// back-reference only in a pattern that has named groups; \B has no meaning in a class.
bool HasEscapeMeaning(char c, bool inClass, bool namedGroups) {
  if (c == 'k') return namedGroups && !inClass;
  if (c == 'B') return !inClass;
  return std::string_view("bcdDfnrsStuvwWx").find(c) != std::string_view::npos;
}

// How "[" at `at` opens a class: the index of the first byte inside it, and whether the
// class is already over ("[]" matches nothing and "[^]" any character).
struct ClassOpening {
  std::size_t inside;
  bool closed;
};
ClassOpening OpenClass(std::string_view p, std::size_t at) {
  std::size_t j = at + 1;
  if (j < p.size() && p[j] == '^') ++j;
  if (j < p.size() && p[j] == ']') return {j + 1, true};
  return {j, false};
}

// Whether "(" is followed by a group opening that the JavaScript style knows.
bool IsJsGroupOpening(std::string_view rest) {
  if (rest.empty()) return true;  // the engine reports the unclosed group
  if (rest[0] == '*') return false;
  if (rest[0] != '?') return true;
  if (rest.size() < 2) return false;
  if (rest[1] == ':' || rest[1] == '=' || rest[1] == '!') return true;
  if (rest[1] != '<' || rest.size() < 3) return false;
  return rest[2] == '=' || rest[2] == '!' || IsLetter(rest[2]) || rest[2] == '_';
}

// Whether `rest` starts with a quantifier: *, +, ?, or a brace that forms {n}, {n,} or
// {n,m} (any other brace is an ordinary character).
bool StartsWithQuantifier(std::string_view rest) {
  if (rest.empty()) return false;
  if (rest[0] == '*' || rest[0] == '+' || rest[0] == '?') return true;
  if (rest[0] != '{') return false;
  std::size_t i = 1;
  const auto digits = [&] {
    const std::size_t from = i;
    while (i < rest.size() && IsDigit(rest[i])) ++i;
    return i > from;
  };
  if (!digits()) return false;
  if (i < rest.size() && rest[i] == ',') {
    ++i;
    digits();
  }
  return i < rest.size() && rest[i] == '}';
}

bool IsNamedGroupOpening(std::string_view rest) {
  return rest.size() >= 3 && rest[0] == '?' && rest[1] == '<' && rest[2] != '=' && rest[2] != '!';
}

struct GroupCounts {
  int groups = 0;
  bool named = false;
};

// Back-references count every group of the pattern, also those after the reference.
GroupCounts CountGroups(std::string_view p) {
  GroupCounts counts;
  bool inClass = false;
  for (std::size_t i = 0; i < p.size(); ++i) {
    const char c = p[i];
    if (c == '\\') {
      ++i;
    } else if (inClass) {
      inClass = c != ']';
    } else if (c == '[') {
      const ClassOpening opening = OpenClass(p, i);
      inClass = !opening.closed;
      i = opening.inside - 1;
    } else if (c == '(') {
      const std::string_view rest = p.substr(i + 1);
      const bool named = IsNamedGroupOpening(rest);
      counts.named = counts.named || named;
      if (named || rest.empty() || rest[0] != '?') ++counts.groups;
    }
  }
  return counts;
}

// Appends the escape whose digits start at `at`; returns the index after what it used.
std::size_t AppendNumberEscape(std::string_view p, std::size_t at, int groups, std::string& out) {
  std::size_t end = at;
  long value = 0;
  while (end < p.size() && IsDigit(p[end])) {
    value = std::min(value * 10 + (p[end] - '0'), 1'000'000L);
    ++end;
  }
  if (value >= 1 && value <= groups) {
    out += "\\g{" + std::to_string(value) + "}";
    return end;
  }
  if (p[at] >= '8') {
    out += p[at];
    return at + 1;
  }
  unsigned code = 0;
  std::size_t k = at;
  while (k < end && k < at + 3 && p[k] <= '7' && code * 8 + (p[k] - '0') <= 0377) {
    code = code * 8 + static_cast<unsigned>(p[k] - '0');
    ++k;
  }
  char hex[8];
  std::snprintf(hex, sizeof hex, "\\x%02x", code);
  out += hex;
  return k;
}

}  // namespace

std::optional<std::string> TranslateJsPattern(std::string_view p, bool multiline) {
  const GroupCounts counts = CountGroups(p);
  std::string out;
  out.reserve(p.size() + p.size() / 2);
  bool inClass = false;
  bool afterClassEscape = false;  // inside a class, the last item was \d, \s, \w or a negation
  for (std::size_t i = 0; i < p.size(); ++i) {
    const char c = p[i];
    const bool wasClassEscape = afterClassEscape;
    afterClassEscape = false;
    if (c == '\\') {
      if (i + 1 == p.size()) {
        out += c;  // the engine reports the dangling backslash
        break;
      }
      const char next = p[i + 1];
      if (IsDigit(next)) {
        i = AppendNumberEscape(p, i + 1, inClass ? 0 : counts.groups, out) - 1;
        continue;
      }
      ++i;
      if (next == 'v') {
        out += "\\x0b";
      } else if (next == 'c' && !(i + 1 < p.size() && IsLetter(p[i + 1]))) {
        out += "\\\\c";  // \c without a control letter is a backslash and a c
      } else if (IsLetter(next) && !HasEscapeMeaning(next, inClass, counts.named)) {
        out += next;
      } else {
        out += '\\';
        out += next;
        afterClassEscape = inClass && IsClassEscape(next);
      }
      continue;
    }
    if (inClass) {
      const bool nextIsClassEscape =
          i + 2 < p.size() && p[i + 1] == '\\' && IsClassEscape(p[i + 2]);
      if (c == ']') {
        inClass = false;
        out += c;
      } else if (c == '[') {
        out += "\\[";
      } else if (c == '-' && (wasClassEscape || nextIsClassEscape)) {
        out += "\\-";
      } else {
        out += c;
      }
      continue;
    }
    switch (c) {
      case '[': {
        const ClassOpening opening = OpenClass(p, i);
        out.append(p.substr(i, opening.inside - i));
        inClass = !opening.closed;
        i = opening.inside - 1;
        break;
      }
      case '.':
        out += kNotLineBreak;
        break;
      case '^':
      case '$':
        // An anchor has nothing to repeat; the multi-line rewriting into a lookaround
        // would otherwise let the engine accept "^*".
        if (StartsWithQuantifier(p.substr(i + 1))) return std::nullopt;
        if (c == '^') {
          out += multiline ? kLineStart : "^";
        } else {
          out += multiline ? kLineEnd : "$";
        }
        break;
      case '(':
        if (!IsJsGroupOpening(p.substr(i + 1))) return std::nullopt;
        out += c;
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace sorvanel
