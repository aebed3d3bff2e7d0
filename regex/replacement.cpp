#include "regex/replacement.h"

namespace sorvanel {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void AppendSpan(std::string_view subject, GroupSpan span, std::string& out) {
  if (span.IsSet()) out.append(subject.substr(span.start, span.end - span.start));
}

}  // namespace

void AppendReplacement(std::string_view replacement, std::string_view subject,
                       std::span<const GroupSpan> groups, std::string& out) {
  const GroupSpan match = groups[0];
  const int groupCount = static_cast<int>(groups.size()) - 1;
  for (std::size_t i = 0; i < replacement.size(); ++i) {
    const char c = replacement[i];
    if (c != '$' || i + 1 == replacement.size()) {
      out += c;
      continue;
    }
    const char next = replacement[i + 1];
    switch (next) {
      case '$':
        out += '$';
        ++i;
        continue;
      case '&':
        AppendSpan(subject, match, out);
        ++i;
        continue;
      case '`':
        out.append(subject.substr(0, match.start));
        ++i;
        continue;
      case '\'':
        out.append(subject.substr(match.end));
        ++i;
        continue;
      default:
        break;
    }
    if (IsDigit(next)) {
      if (i + 2 < replacement.size() && IsDigit(replacement[i + 2])) {
        const int twoDigits = (next - '0') * 10 + (replacement[i + 2] - '0');
        if (twoDigits >= 1 && twoDigits <= groupCount) {
          AppendSpan(subject, groups[twoDigits], out);
          i += 2;
          continue;
        }
      }
      const int oneDigit = next - '0';
      if (oneDigit >= 1 && oneDigit <= groupCount) {
        AppendSpan(subject, groups[oneDigit], out);
        ++i;
        continue;
      }
    }
    out += '$';
  }
}

}  // namespace sorvanel
