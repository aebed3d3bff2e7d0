// INTERNAL to web/: not part of the library's interface. Only the sources of web/
// and its own tests and benchmarks include it; it changes with them.
//
// The one layer that talks to libcurl. It performs an exchange that WebRequest has
// fully prepared (verb, body, header block, agent) and follows redirects;
// no libcurl type appears here.
#ifndef SORVANEL_WEB_CURL_SESSION_H_
#define SORVANEL_WEB_CURL_SESSION_H_

#include <optional>
#include <string>
#include <string_view>

#include "encoding/text.h"
#include "web/web_failure.h"
#include "web/web_settings.h"

namespace sorvanel {

struct HttpExchange {
  Text url;                  // host, port and object name come from UrlHost/UrlPort/UrlObject
  std::string verb;          // "GET", "POST", ...
  bool sendBody = false;     // false for GET only
  std::string_view body;     // must outlive the call
  std::string headerBlock;   // lines separated by CR LF, sent as they stand
  std::string agent;         // User-Agent, unless the block has a User-Agent line
  std::string proxy;         // "host:port" of an HTTP proxy; empty = direct
  bool cookieStore = false;  // keep reply cookies for the later hops of this exchange
  bool followRedirects = true;
};

struct HttpReply {
  std::string body;                        // the final reply's body, as far as it arrived
  std::string headerBlock;                 // its status line and header lines, each ended by CR LF
  WebFailure failure = WebFailure::kNone;  // why the final hop did not complete
};

// Performs the exchange with the limits and trust of `settings`. Every transport failure
// (resolution, refusal, TLS, time-out, a cut-off or stalled reply) gives what arrived,
// possibly nothing. Nullopt only when no request could be set up at all (no session, or
// an address without a usable host or port). Safe on any thread.
std::optional<HttpReply> PerformExchange(const HttpExchange& exchange, const WebSettings& settings);

}  // namespace sorvanel

#endif  // SORVANEL_WEB_CURL_SESSION_H_
