// LastWebFailure: the reason a request failed, against real loopback peers.
#include "web/web_failure.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/support/test_certificates.h"
#include "tests/support/test_server.h"
#include "tests/support/web_settings_scope.h"
#include "web/web_request.h"

namespace sorvanel::test {
namespace {

using namespace std::chrono_literals;

Reply Answer(const RecordedRequest& request) {
  Reply reply{.body = std::string(5000, 'x'), .faultAfter = 1000};
  if (request.target == "/cut") reply.fault = Reply::Fault::kCloseMidBody;
  if (request.target == "/stall") reply.fault = Reply::Fault::kStallMidBody;
  if (request.target == "/missing") reply.status = 404;
  return reply;
}

TEST(WebFailureTest, EachFailureIsToldApart) {
  const TestCertificates& trusted = TestCertificates::Shared();
  const TestCertificates otherName("DNS:other.invalid");
  ASSERT_TRUE(trusted.ok() && otherName.ok());
  TestServer plain(Answer);
  TestServer secure(Answer, {.certificates = &trusted});
  TestServer misnamed(Answer, {.certificates = &otherName});
  ASSERT_TRUE(plain.ok() && secure.ok() && misnamed.ok());

  WebSettings settings;
  settings.connectTimeout = 2s;
  settings.stallTimeout = 1s;
  settings.extraCaFile = trusted.caFile();
  WebSettingsScope scope(settings);

  struct Case {
    const char* name;
    std::string url;
    WebFailure failure;
    const TestCertificates* trust = nullptr;  // the extra CA when not the shared one
  } const cases[] = {
      {"whole reply", secure.Url("/"), WebFailure::kNone},
      {"an HTTP error status is a reply", plain.Url("/missing"), WebFailure::kNone},
      {"no host", "http:///x", WebFailure::kBadAddress},
      {"unknown host", "https://no-such-host.invalid/", WebFailure::kHostNotFound},
      {"refused", "http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/",
       WebFailure::kRefused},
      {"cut mid-body", plain.Url("/cut"), WebFailure::kConnectionLost},
      {"stalled mid-body", plain.Url("/stall"), WebFailure::kStalled},
      {"trusted CA, other host name", misnamed.Url("/"), WebFailure::kHostNameMismatch, &otherName},
      {"CA of another server", misnamed.Url("/"), WebFailure::kCertificateUntrusted},
      {"plain text to a TLS port", "http://127.0.0.1:" + std::to_string(secure.port()) + "/",
       WebFailure::kConnectionLost},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WebSettings caseSettings = settings;
    if (c.trust != nullptr) caseSettings.extraCaFile = c.trust->caFile();
    WebSettingsScope caseScope(caseSettings);
    RecordWebFailure(WebFailure::kOther);  // a stale value must be replaced
    (void)WebRequest(c.url);
    EXPECT_EQ(LastWebFailure(), c.failure) << WebFailureText(LastWebFailure());
  }
}

TEST(WebFailureTest, EachThreadSeesItsOwnRequests) {
  const std::string refused = "http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/";
  (void)WebRequest(refused);
  ASSERT_EQ(LastWebFailure(), WebFailure::kRefused);
  TestServer server([](const RecordedRequest&) { return Reply::Text("ok"); });
  ASSERT_TRUE(server.ok());
  WebFailure other = WebFailure::kOther;
  std::thread([&] {
    other = LastWebFailure();  // nothing has run on this thread yet
    (void)WebRequest(server.Url("/"));
  }).join();
  EXPECT_EQ(other, WebFailure::kNone);
  EXPECT_EQ(LastWebFailure(), WebFailure::kRefused);
}

}  // namespace
}  // namespace sorvanel::test
