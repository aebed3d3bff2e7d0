// WebRequest on several threads at once, plain and TLS, with the cookie engine of each
// call in use and the process-wide settings changed while requests run. Run under
// ThreadSanitizer with the tests labelled "threads".
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/test_certificates.h"
#include "tests/support/test_server.h"
#include "tests/support/web_settings_scope.h"
#include "web/web_request.h"
#include "web/web_settings.h"

namespace sorvanel {
namespace {

using namespace std::chrono_literals;
using test::TestServer;

constexpr int kThreads = 4;
constexpr int kRoundsPerThread = 4;

WebSettings Limits(std::chrono::milliseconds stall) {
  WebSettings settings;
  settings.connectTimeout = 30s;
  settings.stallTimeout = stall;
  settings.extraCaFile = test::TestCertificates::Shared().caFile();
  return settings;
}

TEST(ParallelRequestsTest, CallsOnSeveralThreads) {
  ASSERT_TRUE(test::TestCertificates::Shared().ok());
  test::WebSettingsScope scope(Limits(30s));
  // The target comes back as the body, with a cookie that the next hop must carry.
  const auto handler = [](const test::RecordedRequest& r) {
    if (r.target.ends_with("/start")) {
      std::string next = r.target;
      next.replace(next.size() - 6, 6, "/end");
      std::string cookie = "Set-Cookie: hop=";
      cookie.append(r.target, 1, 2);
      test::Reply reply = test::Reply::Redirect(302, next);
      reply.headerLines.push_back(cookie);
      return reply;
    }
    const std::optional<std::string> cookie = r.Header("Cookie");
    return test::Reply::Text(r.target + " " + cookie.value_or("-"));
  };
  TestServer tls(handler, {.certificates = &test::TestCertificates::Shared()});
  TestServer plain(handler);
  ASSERT_TRUE(tls.ok() && plain.ok());

  std::vector<std::string> failures(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < kRoundsPerThread; ++round) {
        const TestServer& server = (t + round) % 2 == 0 ? tls : plain;
        // Built by appending: GCC 12 warns falsely on "literal" + std::string here.
        const std::string id = std::string("t").append(std::to_string(t));
        const std::string got =
            WebRequest(server.Url(std::string("/").append(id).append("/start"))).bytes();
        const std::string want = std::string("/").append(id).append("/end hop=").append(id);
        if (got != want) failures[t] += "'" + got + "' for '" + want + "'; ";
      }
    });
  }
  // The settings change under the running requests; each keeps what it started with.
  for (int i = 0; i < 20; ++i) {
    SetWebSettings(Limits(i % 2 == 0 ? 29s : 30s));
    std::this_thread::sleep_for(2ms);
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(failures[t], "") << "thread " << t;
}

}  // namespace
}  // namespace sorvanel
