// What the first request of a program does: a kind without an endpoint of its own posts
// to the token alone, and web settings that the program set itself stay. Its own
// program, so that no earlier request has run (ctest runs each case in a process of its
// own; run by hand, the cases keep this order).
#include <gtest/gtest.h>

#include <string>

#include "client/ocr_state.h"
#include "client/service_config.h"
#include "client/text_recognition.h"
#include "tests/client/service_fixture.h"
#include "web/web_settings.h"

namespace sorvanel {
namespace {

// Web settings that the program set, and no service configuration: the first request
// leaves them as they are. A service configuration set afterwards replaces them, and a
// later SetWebSettings wins over that in turn.
TEST(FirstRequestWebSettingsTest, TheProgramsOwnSettingsStay) {
  using std::chrono::milliseconds;
  const WebSettings own{milliseconds(1234), milliseconds(4321), "/nonexistent/own-ca.pem"};
  SetWebSettings(own);
  // A token that is an address on a refused port: one quick request.
  EXPECT_EQ(RecognizeText(3, "https://127.0.0.1:1/x?t=", "").str(), "");
  const auto expectSettings = [](const WebSettings& expected, const char* when) {
    const WebSettings now = GetWebSettings();
    EXPECT_EQ(now.connectTimeout, expected.connectTimeout) << when;
    EXPECT_EQ(now.stallTimeout, expected.stallTimeout) << when;
    EXPECT_EQ(now.extraCaFile, expected.extraCaFile) << when;
  };
  expectSettings(own, "after the first request");

  ServiceConfig config = DefaultServiceConfig();
  config.connectTimeout = milliseconds(7000);
  config.stallTimeout = milliseconds(8000);
  config.caFile = "/nonexistent/service-ca.pem";
  SetServiceConfig(config);
  expectSettings({config.connectTimeout, config.stallTimeout, config.caFile},
                 "after SetServiceConfig");
  SetWebSettings(own);
  EXPECT_EQ(RecognizeText(3, "https://127.0.0.1:1/x?t=", "").str(), "");
  expectSettings(own, "after a later SetWebSettings");
  SetServiceConfig(DefaultServiceConfig());
  EXPECT_TRUE(OcrEndpoint().empty());
}

class FirstRequestTest : public client_test::ServiceFixture {};

TEST_F(FirstRequestTest, AKindWithoutEndpointPostsToTheTokenAlone) {
  ASSERT_TRUE(OcrEndpoint().empty());
  Answer("/direct", R"({"log_id":1})");
  const Text token = Text("https://") + ServiceHost() + "/direct?t=1";
  EXPECT_EQ(RecognizeText(3, token, "").str(), R"({"log_id":1})");
  ASSERT_EQ(Requests().size(), 1u);
  EXPECT_EQ(Requests()[0].requestLine, "POST /direct?t=1 HTTP/1.1");
  EXPECT_EQ(Requests()[0].body, "image=&probability=false");
  EXPECT_TRUE(OcrEndpoint().empty());
  // A token that is no address makes no request at all.
  EXPECT_EQ(RecognizeText(7, "plain-token", "").str(), "");
  EXPECT_EQ(OcrLastReply().str(), "");
}

}  // namespace
}  // namespace sorvanel
