#include "web/web_request.h"

#include "encoding/text_ops.h"
#include "web/cookies.h"
#include "web/curl_session.h"
#include "web/request_headers.h"
#include "web/web_failure.h"
#include "web/web_settings.h"

namespace sorvanel {

namespace {

constexpr const char* kVerbs[] = {"GET",     "POST",   "HEAD",  "PUT",
                                  "OPTIONS", "DELETE", "TRACE", "CONNECT"};
constexpr int kVerbCount = 8;

}  // namespace

ByteSet WebRequest(const Text& url, int method, const Text& bodyText, Text* sendCookies,
                   Text* replyCookies, Text* extraHeaders, Text* replyHeaders, bool noRedirect,
                   ByteSet* bodyBytes, const Text& proxy, bool mergeCookies) {
  if (method < 0 || method >= kVerbCount) method = 0;
  const bool cookiesPassed = sendCookies != nullptr;
  const Text noText;
  const ByteSet noBytes;
  const Text& callerLines = extraHeaders != nullptr ? *extraHeaders : noText;
  const Text& cookiesToSend = cookiesPassed ? *sendCookies : noText;

  // Everything is prepared in locals and stored into the caller's variables only once
  // a request has been made, so a request that cannot start changes nothing.
  const Text headerBlock = ComposeRequestHeaders(callerLines, url, method, cookiesToSend);
  ByteSet body = bodyBytes != nullptr ? *bodyBytes : noBytes;
  if (method != 0 && body.empty()) body = ByteSet::FromText(bodyText);

  HttpExchange exchange;
  exchange.url = url;
  exchange.verb = kVerbs[method];
  exchange.sendBody = method != 0;
  exchange.body = exchange.sendBody ? body.view() : std::string_view();
  exchange.headerBlock = headerBlock.str();
  exchange.agent = AgentFromHeaders(callerLines).str();
  exchange.proxy = proxy.str();
  exchange.cookieStore = !cookiesPassed;
  exchange.followRedirects = !noRedirect;
  std::optional<HttpReply> reply = PerformExchange(exchange, GetWebSettings());
  RecordWebFailure(reply ? reply->failure : WebFailure::kBadAddress);
  if (!reply) return ByteSet();

  if (extraHeaders != nullptr) *extraHeaders = headerBlock;
  if (method != 0 && bodyBytes != nullptr) *bodyBytes = std::move(body);
  const Text headers = ReplaceAll(reply->headerBlock, "Set-Cookie", "Set-Cookie", Case::kIgnore);
  Text cookies = ExtractReplyCookies(headers);
  if (mergeCookies && cookiesPassed) {
    cookies = MergeCookies(*sendCookies, cookies);
    *sendCookies = cookies;
  }
  if (replyCookies != nullptr) *replyCookies = std::move(cookies);
  if (replyHeaders != nullptr) *replyHeaders = headers;
  return ByteSet(std::move(reply->body));
}

}  // namespace sorvanel
