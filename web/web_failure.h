// Why the latest web request on the calling thread failed.
//
// WebRequest tells failure only by an empty (or short) body. Callers that must tell a
// user more, such as the command-line front end, read the reason here after the call;
// WebRequest's result and parameters are the same whether anyone looks or not.
//
// Thread safety: the value is kept per thread, so a request on one thread never
// changes what another thread reads. Every routine is safe on any thread.
// Neutral result: WebFailure::kNone before the thread's first request and after one
// that completed.
#ifndef SORVANEL_WEB_WEB_FAILURE_H_
#define SORVANEL_WEB_WEB_FAILURE_H_

namespace sorvanel {

enum class WebFailure {
  kNone,                  // the reply arrived whole (whatever its HTTP status)
  kBadAddress,            // no request could be made: no usable host or port
  kHostNotFound,          // the host (or proxy) name does not resolve
  kRefused,               // nothing accepts connections there
  kConnectTimedOut,       // the connection, TLS handshake included, took too long
  kStalled,               // the peer sent nothing for longer than the stall limit
  kCertificateUntrusted,  // the certificate is not signed by a trusted authority
  kCertificateExpired,    // the certificate is outside its validity period
  kHostNameMismatch,      // the certificate is trusted but names another host
  kTlsFailed,             // the TLS handshake failed for another reason
  kConnectionLost,        // the peer closed or reset the connection before the end
  kOther,                 // any other transport failure
};

// The outcome of the latest WebRequest made on the calling thread.
[[nodiscard]] WebFailure LastWebFailure();

// A short lower-case English phrase for a failure, e.g. "connection refused"; "no
// failure" for kNone. The text is static.
const char* WebFailureText(WebFailure failure);

// For the web layer: records the outcome of a request made on the calling thread.
void RecordWebFailure(WebFailure failure);

}  // namespace sorvanel

#endif  // SORVANEL_WEB_WEB_FAILURE_H_
