// What a reply of the recognition service means: a document to read, or the reason
// the service could not be used.
//
// Thread safety: pure functions of their arguments, safe on any thread.
// Neutral result: an error text for an empty, broken or refused reply.
#ifndef SORVANEL_CLI_SERVICE_REPLY_H_
#define SORVANEL_CLI_SERVICE_REPLY_H_

#include <optional>
#include <string>

#include "encoding/text.h"
#include "json/json_object.h"
#include "web/web_failure.h"

namespace sorvanel::cli {

struct ServiceReply {
  // Why the service could not be used: the transfer's failure (with `host`), a reply
  // that is not JSON, or the service's own "error_code" and "error_msg".
  std::optional<std::string> error;
  bool parsed = false;  // whether the reply was read as JSON into `document`
  JsonObject document;
  Text text;  // the reply as the command returned it
};

// Reads `reply` (936, as a command returned it) given the failure of the exchange that
// brought it (LastWebFailure right after the command). A reply cut short by a failure
// counts as the failure, whatever arrived.
ServiceReply ReadServiceReply(const Text& reply, WebFailure failure, const std::string& host);

// The reply as one line of compact JSON in UTF-8 (the characters as the command
// returned them), or nullopt when it was not read as JSON.
std::optional<std::string> CompactReply(const ServiceReply& reply);

}  // namespace sorvanel::cli

#endif  // SORVANEL_CLI_SERVICE_REPLY_H_
