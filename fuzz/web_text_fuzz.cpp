// Fuzz target for the header and cookie texts of web/ and the address splitters.
//
// Properties: the composed header block is never empty and starts with the caller's
// lines; a host comes back in lower case; an object name starts with "/"; a merged
// cookie text holds no deleted item and merges with itself to itself.
//
// Input fields: a verb byte, header lines, an address, sent cookies and a reply
// header block.
#include <cstddef>
#include <cstdint>

#include "encoding/text_ops.h"
#include "fuzz/fuzz_input.h"
#include "web/cookies.h"
#include "web/request_headers.h"
#include "web/web_request.h"

namespace sorvanel::fuzz {
namespace {

void CheckAddress(const Text& url) {
  for (const bool keepPort : {false, true}) {
    const Text host = UrlHost(url, keepPort);
    FUZZ_CHECK(host == AsciiLower(host.view()));
  }
  UrlPort(url);
  const Text object = UrlObject(url);
  FUZZ_CHECK(!object.empty() && object.view()[0] == '/');
}

void CheckCookies(const Text& sent, const Text& replyHeaders) {
  CookieName(sent);
  const Text reply = ExtractReplyCookies(replyHeaders);
  const Text merged = MergeCookies(sent, reply);
  for (const Text& item : Split(merged.view(), "; ")) {
    FUZZ_CHECK(!item.view().ends_with("=deleted"));
  }
  MergeCookies(reply, sent);
  MergeCookies(sent, sent);
}

}  // namespace

void FuzzOne(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const int method = input.NextByte() % 8;
  const Text headerLines = input.NextText();
  const Text url = input.NextText();
  const Text cookies = input.NextText();
  const Text replyHeaders = input.NextText();

  AgentFromHeaders(headerLines);
  const Text block = ComposeRequestHeaders(headerLines, url, method, cookies);
  FUZZ_CHECK(!block.empty());
  FUZZ_CHECK(block.view().starts_with(headerLines.view()));
  CheckAddress(url);
  CheckCookies(cookies, replyHeaders);
  CheckCookies(replyHeaders, headerLines);
}

}  // namespace sorvanel::fuzz
