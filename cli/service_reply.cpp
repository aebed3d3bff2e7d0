#include "cli/service_reply.h"

#include "encoding/charset.h"

namespace sorvanel::cli {

ServiceReply ReadServiceReply(const Text& reply, WebFailure failure, const std::string& host) {
  ServiceReply result;
  result.text = reply;
  if (failure != WebFailure::kNone) {
    result.error = "cannot reach the service at " + host + ": " + WebFailureText(failure);
  } else if (reply.empty()) {
    result.error = "the service at " + host + " sent an empty reply";
  } else if (!(result.parsed = result.document.Parse(reply))) {
    result.error = "the service's reply is not JSON";
  } else if (result.document.PropertyExists("error_code")) {
    const Text code = result.document.GetGeneralProperty("error_code");
    const Text message = result.document.GetGeneralProperty("error_msg");
    result.error = "service error " + AnsiToUtf8(code).bytes() + ": " + AnsiToUtf8(message).bytes();
  }
  return result;
}

std::optional<std::string> CompactReply(const ServiceReply& reply) {
  if (!reply.parsed) return std::nullopt;
  return AnsiToUtf8(reply.document.GetDataText()).bytes();
}

}  // namespace sorvanel::cli
