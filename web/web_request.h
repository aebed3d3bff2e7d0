// The system's one way onto the network: a single HTTP/1.1 request over plain TCP or TLS,
// which waits for the whole reply and returns its body. Callers pass an address, a verb
// index and a body; the other parameters carry cookies, header lines, a byte body, a
// proxy and redirect control in and out.
//
// The header block and the cookie texts are built by web/request_headers.h and
// web/cookies.h. The limits and the certificate trust come from web/web_settings.h.
#ifndef SORVANEL_WEB_WEB_REQUEST_H_
#define SORVANEL_WEB_WEB_REQUEST_H_

#include <cstddef>

#include "encoding/text.h"
#include "web/url_parts.h"  // UrlHost, UrlPort and UrlObject split the address

namespace sorvanel {

// The engine's bounds on a reply's header block and on one of its header lines.
inline constexpr std::size_t kMaxReplyHeaderBlock = 300 * 1024;
inline constexpr std::size_t kMaxReplyHeaderLine = 100 * 1024;

// Performs one request and returns the body of the final reply exactly as received (no
// character-set conversion, no content decoding), whatever its status code. The caller
// owns the result. Neutral result: the empty byte set when no request could be made or
// nothing came back (unresolvable host, refused connection, failed certificate check,
// connect time-out). A reply cut off part-way, or one that stalls for longer than the
// stall limit, gives the bytes received so far. LastWebFailure() (web/web_failure.h)
// tells afterwards, on the same thread, why a request failed.
//
// Bound: a reply whose header block exceeds kMaxReplyHeaderBlock, or with one header
// line longer than kMaxReplyHeaderLine, is refused by the HTTP engine: the body is then
// empty and replyHeaders holds the block only as far as it had arrived. No real server
// comes near these sizes; they keep a hostile one from growing memory without end.
//
// The parameters, in order; a null pointer means the argument was left out, and an
// in/out or out parameter left out works on a scratch value that is dropped:
// - url: "http://" or "https://" address (scheme letters in any case); without a scheme
//   it is plain http. Host, port and object name come from UrlHost, UrlPort and
//   UrlObject; the object name is sent as it stands.
// - method: verb index 0 GET, 1 POST, 2 HEAD, 3 PUT, 4 OPTIONS, 5 DELETE, 6 TRACE,
//   7 CONNECT; any other value counts as 0.
// - bodyText: the body for every verb but GET, used when bodyBytes is empty.
// - sendCookies (in/out): a cookie text, or a whole line containing "Cookie:", sent in
//   the header block. When it is passed, even empty, the client keeps no cookies of its
//   own; when it is left out, cookies that replies set during this call (across
//   redirects) are sent on, and none outlive the call. With mergeCookies it holds the
//   merged cookie text on return.
// - replyCookies (out): the cookie text of the final reply's Set-Cookie lines, or the
//   merged text.
// - extraHeaders (in/out): the caller's header lines; on return, the whole header block
//   that was sent.
// - replyHeaders (out): the raw header block of the final reply: status line and header
//   lines each ended by CR LF, then the empty line, with every "Set-Cookie" spelled so.
// - noRedirect: true returns a redirecting reply itself; otherwise redirects are
//   followed (plain to secure too; secure to plain is not followed, and the redirecting
//   reply is returned).
// - bodyBytes (in/out): the body as bytes, before bodyText. For every verb but GET it
//   holds the body that was sent on return.
// - proxy: "host:port" of an HTTP proxy; a secure request tunnels through it (CONNECT).
//   Empty: a direct connection (proxy settings of the environment are ignored).
// - mergeCookies: when sendCookies is passed, store the merge of the sent and the
//   reply's cookies into both cookie parameters.
// When the address has no usable host or port, nothing of the caller's is changed.
// Safe on any thread; calls share no state but the settings of web/web_settings.h.
ByteSet WebRequest(const Text& url, int method = 0, const Text& bodyText = Text(),
                   Text* sendCookies = nullptr, Text* replyCookies = nullptr,
                   Text* extraHeaders = nullptr, Text* replyHeaders = nullptr,
                   bool noRedirect = false, ByteSet* bodyBytes = nullptr,
                   const Text& proxy = Text(), bool mergeCookies = true);

}  // namespace sorvanel

#endif  // SORVANEL_WEB_WEB_REQUEST_H_
