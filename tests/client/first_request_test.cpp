// Before any request has selected an endpoint, a kind without an endpoint of its own
// posts to the token alone. Its own program, so that no earlier request has run.
#include <gtest/gtest.h>

#include <string>

#include "client/ocr_state.h"
#include "client/service_config.h"
#include "client/text_recognition.h"
#include "tests/client/service_fixture.h"

namespace sorvanel {
namespace {

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
