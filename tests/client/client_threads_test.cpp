// The client commands called from several threads at once against a local HTTPS
// service: each thread's exchange and extraction must give its own reply, while the
// shared ocrEndpoint and ocrLastReply always hold one whole value of some request.
// Run under ThreadSanitizer with the tests labelled "threads".
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "client/access_token.h"
#include "client/ocr_state.h"
#include "client/service_config.h"
#include "client/text_extraction.h"
#include "client/text_recognition.h"
#include "tests/client/service_fixture.h"

namespace sorvanel {
namespace {

constexpr int kThreads = 4;
constexpr int kRoundsPerThread = 3;

const std::array<std::string, 3> kPaths = {
    "/rest/2.0/ocr/v1/general_basic",
    "/rest/2.0/ocr/v1/accurate_basic",
    "/rest/2.0/ocr/v1/general_enhanced",
};

std::string ReplyFor(std::size_t kind) {
  return R"({"words_result":[{"words":"kind )" + std::to_string(kind) + R"("}]})";
}

class ClientThreadsTest : public client_test::ServiceFixture {};

TEST_F(ClientThreadsTest, CommandsOnSeveralThreads) {
  Answer("/oauth/2.0/token", R"({"access_token":"24.tok"})");
  for (std::size_t kind = 0; kind < kPaths.size(); ++kind) Answer(kPaths[kind], ReplyFor(kind));

  std::atomic<bool> done{false};
  std::atomic<int> torn{0};
  // Reads the shared values while the requests write them.
  std::thread reader([&] {
    while (!done.load()) {
      const std::string endpoint = OcrEndpoint().str();
      const std::string reply = OcrLastReply().str();
      if (!endpoint.empty() && endpoint.find("?access_token=") == std::string::npos) ++torn;
      if (!reply.empty() && reply.back() != '}') ++torn;
      GetServiceConfig();
    }
  });

  std::vector<std::string> failures(kThreads);
  std::vector<std::thread> workers;
  for (int t = 0; t < kThreads; ++t) {
    workers.emplace_back([&, t] {
      for (int round = 0; round < kRoundsPerThread; ++round) {
        const Text token = FetchAccessToken("KeyAbc123", "Secret456");
        if (token.str() != "24.tok") failures[t] += "token '" + token.str() + "'; ";
        const std::size_t kind = static_cast<std::size_t>(t + round) % kPaths.size();
        const Text reply = RecognizeText(static_cast<std::int32_t>(kind), token, Text());
        if (reply.str() != ReplyFor(kind)) failures[t] += "reply '" + reply.str() + "'; ";
        const std::string lines = ExtractRecognizedText(reply).str();
        if (lines != "kind " + std::to_string(kind) + "\r\n") failures[t] += "lines; ";
      }
    });
  }
  for (std::thread& worker : workers) worker.join();
  done = true;
  reader.join();

  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(failures[t], "") << "thread " << t;
  EXPECT_EQ(torn.load(), 0);
  EXPECT_EQ(Requests().size(), static_cast<std::size_t>(2 * kThreads * kRoundsPerThread));
}

}  // namespace
}  // namespace sorvanel
