#include "web/url_parts.h"

#include <climits>

#include "encoding/text_between.h"
#include "encoding/text_ops.h"

namespace sorvanel {

namespace {

constexpr std::string_view kSecureScheme = "https://";
constexpr std::string_view kPlainScheme = "http://";

// Where the port's colon stands in a host text, or kNotFound. A bracketed IPv6 host has
// colons of its own: only one after the closing bracket counts.
std::size_t PortColon(std::string_view host, bool last) {
  std::size_t from = 0;
  if (host.starts_with('[')) {
    from = FindText(host, "]");
    if (from == kNotFound) return kNotFound;
  }
  const std::size_t first = FindText(host, ":", from);
  if (!last || first == kNotFound) return first;
  return host.rfind(':');
}

// Reads a decimal integer the way the C library's atoi does, but saturating instead of
// overflowing: leading white space, an optional sign, then digits up to the first
// non-digit; no digits give 0.
int ReadDecimal(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  long long value = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    value = value * 10 + (s[i] - '0');
    if (value > INT_MAX) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace

Text UrlHost(const Text& url, bool keepPort) {
  Text address = AsciiLower(url.view());
  if (!address.view().ends_with('/')) address += "/";
  Text host;
  if (StartsWith(address.view(), kSecureScheme)) {
    host = TextBetween(address, Text(kSecureScheme), "/");
  } else {
    if (!Contains(address.view(), kPlainScheme)) address = Text(kPlainScheme) + address;
    host = TextBetween(address, Text(kPlainScheme), "/");
  }
  if (keepPort) return host;
  const std::size_t colon = PortColon(host.view(), false);
  return colon == kNotFound ? host : Text(host.view().substr(0, colon));
}

int UrlPort(const Text& url) {
  const Text host = UrlHost(url, true);
  const std::size_t colon = PortColon(host.view(), true);
  if (colon != kNotFound) return ReadDecimal(host.view().substr(colon + 1));
  // The default port follows the scheme the request uses, so that a schemeless address
  // whose host merely starts with "https" is not sent in plain text to port 443.
  return StartsWith(url.view(), kSecureScheme, Case::kIgnore) ? 443 : 80;
}

Text UrlObject(const Text& url) {
  const Text host = UrlHost(url, false);
  // The host is looked for after the scheme, so that a host such as "s" or "p" is not
  // found inside "https://" itself.
  std::size_t from = 0;
  if (StartsWith(url.view(), kSecureScheme, Case::kIgnore)) {
    from = kSecureScheme.size();
  } else if (StartsWith(url.view(), kPlainScheme, Case::kIgnore)) {
    from = kPlainScheme.size();
  }
  std::size_t at = FindText(url.view(), host.view(), from, Case::kIgnore);
  if (at == kNotFound) at = from;
  const std::size_t slash = FindText(url.view(), "/", at);
  if (slash == kNotFound) return Text("/");
  return Text(url.view().substr(slash));
}

}  // namespace sorvanel
