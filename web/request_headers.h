// The request side of the header texts: which agent a request announces, and the
// header block that goes out with it. Header lines are "Name: value" texts separated by
// CR LF, without a trailing CR LF.
//
// Pure functions of their arguments, safe on any thread. Each returns a new Text that
// the caller owns; the inputs are not changed.
#ifndef SORVANEL_WEB_REQUEST_HEADERS_H_
#define SORVANEL_WEB_REQUEST_HEADERS_H_

#include "encoding/text.h"

namespace sorvanel {

// The agent used when the caller's header lines name none.
inline constexpr char kDefaultAgent[] = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

// The agent text for the caller's header lines: the value of their "User-Agent:" line,
// trimmed. The line is looked for without regard to letter case; when the exact spelling
// "User-Agent:" does not frame a value, everything after the first ":" of the lines is
// taken, trimmed. Without such a line: kDefaultAgent. Never empty unless the lines name
// an agent with an empty value.
Text AgentFromHeaders(const Text& headerLines);

// The header block for a request to `url` with verb index `method` (0 GET, 1 POST, ...;
// already within 0 to 7) and the cookie text `cookies`. Starts from the caller's lines
// ("Accept: */*" when there are none) and appends, each only when the block built so far
// lacks it (case-sensitive test): an "Accept: */*" line, a "Referer:" line with `url`
// as given, "Accept-Language: zh-cn", and for POST only
// "Content-Type: application/x-www-form-urlencoded". A non-empty cookie text is appended
// as it stands when it already contains "Cookie:", else after "Cookie: ". Never empty.
Text ComposeRequestHeaders(const Text& headerLines, const Text& url, int method,
                           const Text& cookies);

}  // namespace sorvanel

#endif  // SORVANEL_WEB_REQUEST_HEADERS_H_
