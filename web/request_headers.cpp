#include "web/request_headers.h"

#include "encoding/text_between.h"
#include "encoding/text_ops.h"

namespace sorvanel {

Text AgentFromHeaders(const Text& headerLines) {
  if (!Contains(headerLines.view(), "User-Agent:", Case::kIgnore)) return Text(kDefaultAgent);
  // The line may be the last one, which has no CR LF of its own.
  Text agent = Trim(TextBetween(headerLines + "\r\n", "User-Agent:", "\r\n").view());
  if (!agent.empty()) return agent;
  // The marker was found in another letter case: take the value after the first colon.
  const std::size_t colon = FindText(headerLines.view(), ":");
  return Trim(headerLines.view().substr(colon + 1));
}

Text ComposeRequestHeaders(const Text& headerLines, const Text& url, int method,
                           const Text& cookies) {
  Text block;
  if (headerLines.empty()) {
    block = "Accept: */*";
  } else {
    block = headerLines;
    if (!Contains(block.view(), "Accept:")) block += "\r\nAccept: */*";
  }
  if (!Contains(block.view(), "Referer:")) block += Text("\r\nReferer: ") + url;
  if (!Contains(block.view(), "Accept-Language:")) block += "\r\nAccept-Language: zh-cn";
  if (method == 1 && !Contains(block.view(), "Content-Type:")) {
    block += "\r\nContent-Type: application/x-www-form-urlencoded";
  }
  if (!cookies.empty()) {
    block += Contains(cookies.view(), "Cookie:") ? Text("\r\n") : Text("\r\nCookie: ");
    block += cookies;
  }
  return block;
}

}  // namespace sorvanel
