#include "web/web_failure.h"

namespace sorvanel {
namespace {

thread_local WebFailure lastFailure = WebFailure::kNone;

}  // namespace

WebFailure LastWebFailure() { return lastFailure; }

void RecordWebFailure(WebFailure failure) { lastFailure = failure; }

const char* WebFailureText(WebFailure failure) {
  switch (failure) {
    case WebFailure::kNone:
      return "no failure";
    case WebFailure::kBadAddress:
      return "the address names no usable host or port";
    case WebFailure::kHostNotFound:
      return "host name not found";
    case WebFailure::kRefused:
      return "connection refused";
    case WebFailure::kConnectTimedOut:
      return "connection timed out";
    case WebFailure::kStalled:
      return "timed out waiting for the reply";
    case WebFailure::kCertificateUntrusted:
      return "certificate not trusted";
    case WebFailure::kCertificateExpired:
      return "certificate expired or not yet valid";
    case WebFailure::kHostNameMismatch:
      return "certificate host name mismatch";
    case WebFailure::kTlsFailed:
      return "TLS handshake failed";
    case WebFailure::kConnectionLost:
      return "connection closed before the reply was complete";
    case WebFailure::kOther:
      break;
  }
  return "transfer failed";
}

}  // namespace sorvanel
