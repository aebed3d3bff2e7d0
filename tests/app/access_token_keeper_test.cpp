// The token keeper: what counts as an error reply, and a released keeper keeping
// nothing, also from a fetch that ends after the release.
#include "app/access_token_keeper.h"

#include <gtest/gtest.h>

#include <utility>

#include "client/service_config.h"
#include "tests/app/recognition_service.h"

namespace sorvanel {
namespace {

TEST(AccessTokenKeeperTest, ErrorReplies) {
  // Each reply with whether it is an error reply; the reply names its case.
  const std::pair<const char*, bool> cases[] = {
      {R"({"error_code":110,"error_msg":"invalid"})", true},
      {R"({"error_code":1,"words_result":[]})", false},
      {R"({"words_result":[{"words":"a"}],"words_result_num":1})", false},
      {R"({"words_result":[],"words_result_num":0})", false},
      {"", false},  // no network
      {"<html>502</html>", false},
      {R"({"error":"invalid_client"})", false},  // a token refusal has no error_code
      {R"([{"error_code":1}])", false},
  };
  for (const auto& [reply, error] : cases)
    EXPECT_EQ(AccessTokenKeeper::IsErrorReply(reply), error) << reply;
}

TEST(AccessTokenKeeperTest, FetchReplacesAndReleaseKeepsNothing) {
  test::RecognitionService service;
  ASSERT_TRUE(service.ok());
  const ServiceConfig previous = GetServiceConfig();
  ServiceConfig config;
  config.host = service.host();
  config.caFile = service.caFile();
  SetServiceConfig(config);

  AccessTokenKeeper keeper("SorvanelLocalApiKey00001", "SorvanelLocalSecretKey0000000001");
  EXPECT_EQ(keeper.Current(), Text());
  keeper.Fetch();
  EXPECT_EQ(keeper.Current(), Text("token-1"));
  service.RefuseTokens(1);
  keeper.Fetch();  // a refused fetch leaves no stale token behind
  EXPECT_EQ(keeper.Current(), Text());
  keeper.Fetch();
  EXPECT_EQ(keeper.Current(), Text("token-2"));
  keeper.Release();
  EXPECT_EQ(keeper.Current(), Text());
  keeper.Fetch();  // as a request still under way at the end would
  EXPECT_EQ(keeper.Current(), Text());
  SetServiceConfig(previous);
}

}  // namespace
}  // namespace sorvanel
