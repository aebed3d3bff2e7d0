// Test fixture: a local HTTPS recognition service for the client commands.
//
// Starts a TLS test server on a run-time port with the test CA, points the service
// configuration at it (and puts the previous configuration back afterwards), answers
// each request with the reply scripted for the longest matching path prefix (404
// otherwise), and records what arrives.
#ifndef SORVANEL_TESTS_CLIENT_SERVICE_FIXTURE_H_
#define SORVANEL_TESTS_CLIENT_SERVICE_FIXTURE_H_

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "client/service_config.h"
#include "tests/support/test_certificates.h"
#include "tests/support/test_server.h"

namespace sorvanel::client_test {

using Recorded = test::RecordedRequest;

class ServiceFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    const test::TestCertificates& certificates = test::TestCertificates::Shared();
    ASSERT_TRUE(certificates.ok());
    server_ = std::make_unique<test::TestServer>(
        [this](const Recorded& request) { return Handle(request); },
        test::TestServer::Options{.certificates = &certificates});
    ASSERT_TRUE(server_->ok());
    previous_ = GetServiceConfig();
    ServiceConfig config;
    config.host = Text("127.0.0.1:" + std::to_string(server_->port()));
    config.caFile = certificates.caFile();
    config.connectTimeout = std::chrono::seconds(10);
    config.stallTimeout = std::chrono::seconds(10);
    SetServiceConfig(config);
  }

  void TearDown() override {
    server_.reset();
    SetServiceConfig(previous_);
  }

  // Answers requests whose target starts with `pathPrefix` with status 200 and `body`.
  void Answer(const std::string& pathPrefix, const std::string& body) {
    std::lock_guard lock(mutex_);
    replies_[pathPrefix] = body;
  }

  // The requests since the start or the last ClearRequests, in order of arrival.
  std::vector<Recorded> Requests() const {
    std::vector<Recorded> all = server_->Requests();
    all.erase(all.begin(),
              all.begin() + static_cast<std::ptrdiff_t>(std::min(cleared_, all.size())));
    return all;
  }
  void ClearRequests() { cleared_ = server_->RequestCount(); }
  // The latest of them; nullopt when none has arrived, for a test to assert on first.
  std::optional<Recorded> LastRequest() const {
    std::vector<Recorded> all = Requests();
    if (all.empty()) return std::nullopt;
    return std::move(all.back());
  }

  static bool HasHeader(const Recorded& request, const std::string& line) {
    return std::find(request.headerLines.begin(), request.headerLines.end(), line) !=
           request.headerLines.end();
  }

  // Stops the service; the configuration keeps pointing at its port, which then refuses.
  void StopService() { server_.reset(); }

 private:
  test::Reply Handle(const Recorded& request) {
    std::lock_guard lock(mutex_);
    // The map is ordered, so the last prefix that matches is the longest.
    const std::string* body = nullptr;
    for (const auto& [prefix, reply] : replies_) {
      if (request.target.compare(0, prefix.size(), prefix) == 0) body = &reply;
    }
    return body ? test::Reply::Text(*body) : test::Reply::Text("", 404);
  }

  std::unique_ptr<test::TestServer> server_;
  ServiceConfig previous_;
  std::mutex mutex_;
  std::map<std::string, std::string> replies_;
  std::size_t cleared_ = 0;
};

}  // namespace sorvanel::client_test

#endif  // SORVANEL_TESTS_CLIENT_SERVICE_FIXTURE_H_
