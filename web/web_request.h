// The system's one way onto the network: a single HTTP/1.1 request over plain TCP or TLS,
// which waits for the whole reply and returns its body. Callers pass an address, a verb
// index and a body; the other parameters carry cookies, header lines, a byte body, a
// proxy and redirect control in and out.
//
// The header block and the cookie texts are built by web/request_headers.h and
// web/cookies.h. The limits and the certificate trust come from web/web_settings.h.
#ifndef SORVANEL_WEB_WEB_REQUEST_H_
#define SORVANEL_WEB_WEB_REQUEST_H_

#include "encoding/text.h"

namespace sorvanel {

// Performs one request and returns the body of the final reply exactly as received (no
// character-set conversion, no content decoding), whatever its status code. The caller
// owns the result. Neutral result: the empty byte set when no request could be made or
// nothing came back (unresolvable host, refused connection, failed certificate check,
// connect time-out). A reply cut off part-way, or one that stalls for longer than the
// stall limit, gives the bytes received so far. LastWebFailure() (web/web_failure.h)
// tells afterwards, on the same thread, why a request failed.
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

// The host of an address in lower case ("HTTPS://Server:8443/a" gives "server"), with
// its colon and port when keepPort is on and the address has them ("server:8443").
// An address without a scheme is taken as http. A bracketed IPv6 host keeps its colons
// ("[::1]"). The empty text when the address has no host.
Text UrlHost(const Text& url, bool keepPort);

// The port of an address: the decimal number after the host's colon (leading blanks and
// a sign allowed, reading stops at the first non-digit, no digits give 0), else 443 for
// an "https://" address and 80 for any other.
int UrlPort(const Text& url);

// The object name to request: the address from the first "/" after the host to its end,
// in the address's own letter case (path, query and anything after them), or "/" when
// the address has no path. "http://Server:8080/A/b.php?x=1#top" gives "/A/b.php?x=1#top".
Text UrlObject(const Text& url);

}  // namespace sorvanel

#endif  // SORVANEL_WEB_WEB_REQUEST_H_
