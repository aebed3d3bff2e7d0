// The service commands against a local HTTPS service started by the test: the exact
// requests they send and what they make of the replies.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "client/access_token.h"
#include "client/ocr_state.h"
#include "client/other_recognitions.h"
#include "client/service_config.h"
#include "client/text_extraction.h"
#include "client/text_recognition.h"
#include "encoding/base64.h"
#include "encoding/url_encode.h"
#include "tests/client/gbk.h"
#include "tests/client/service_fixture.h"
#include "web/web_settings.h"

namespace sorvanel {
namespace {

using client_test::Gbk;
using client_test::Recorded;

// Bytes whose Base64 text holds "+", "/" and "=": the form encoding must turn each "+"
// into %2B and leave the others.
const std::string kPicture = std::string("\xFB\xEF\xBE\xFF\xFF\x00\x01", 7);

std::string FormPicture(const std::string& bytes) {
  return UrlEncode(Base64Encode(ByteSet(bytes))).str();
}

class ClientServiceTest : public client_test::ServiceFixture {
 protected:
  void SetUp() override {
    client_test::ServiceFixture::SetUp();
    picturePath_ = std::filesystem::temp_directory_path() /
                   ("sorvanel_client_" + std::to_string(::getpid()) + ".jpg");
    std::ofstream(picturePath_, std::ios::binary) << kPicture;
  }
  void TearDown() override {
    std::filesystem::remove(picturePath_);
    client_test::ServiceFixture::TearDown();
  }

  Text PicturePath() const { return Text(picturePath_.string()); }

  std::filesystem::path picturePath_;
};

TEST_F(ClientServiceTest, PicturePathSanity) {
  ASSERT_TRUE(std::filesystem::exists(picturePath_));
  EXPECT_NE(FormPicture(kPicture).find("%2B"), std::string::npos);
  EXPECT_NE(FormPicture(kPicture).find('/'), std::string::npos);
  EXPECT_NE(FormPicture(kPicture).find('='), std::string::npos);
}

TEST_F(ClientServiceTest, TokenRequestPostsTheCredentialsForm) {
  Answer("/oauth/2.0/token", R"({"access_token":"24.a\/b\u0063","expires_in":2592000})");
  EXPECT_EQ(FetchAccessToken("KeyAbc123", "Secret456").str(), "24.a/bc");
  const std::vector<Recorded> requests = Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].requestLine, "POST /oauth/2.0/token? HTTP/1.1");
  EXPECT_EQ(requests[0].body,
            "grant_type=client_credentials&client_id=KeyAbc123&client_secret=Secret456");
  EXPECT_TRUE(HasHeader(requests[0], "Content-Type: application/x-www-form-urlencoded"));
}

TEST_F(ClientServiceTest, TokenRequestFailuresGiveTheEmptyText) {
  struct Case {
    const char* name;
    const char* reply;
  };
  const Case cases[] = {
      {"keys refused", R"({"error":"invalid_client","error_description":"unknown client id"})"},
      {"not JSON", "<html><body>502 Bad Gateway</body></html>"},
      {"empty reply", ""},
  };
  for (const Case& c : cases) {
    Answer("/oauth/2.0/token", c.reply);
    EXPECT_EQ(FetchAccessToken("", "").str(), "") << c.name;
  }
  // Empty keys leave the two fields empty, nothing else.
  ASSERT_TRUE(LastRequest());
  EXPECT_EQ(LastRequest()->body, "grant_type=client_credentials&client_id=&client_secret=");
}

TEST_F(ClientServiceTest, EveryTokenCallMakesItsOwnRequest) {
  Answer("/oauth/2.0/token", R"({"access_token":"first"})");
  EXPECT_EQ(FetchAccessToken("k", "s").str(), "first");
  Answer("/oauth/2.0/token", R"({"access_token":"second"})");
  EXPECT_EQ(FetchAccessToken("k", "s").str(), "second");
  EXPECT_EQ(Requests().size(), 2u);
}

TEST_F(ClientServiceTest, NoServiceGivesTheEmptyText) {
  StopService();
  EXPECT_EQ(FetchAccessToken("k", "s").str(), "");
  EXPECT_EQ(RecognizeText(1, "tok", PicturePath()).str(), "");
  EXPECT_EQ(OcrLastReply().str(), "");
}

TEST_F(ClientServiceTest, RecognitionBodiesAndAddresses) {
  const std::string picture = FormPicture(kPicture);
  struct Case {
    const char* name;
    std::function<Text()> call;
    const char* path;
    std::string body;
    std::string token = "24.tok+en/=";
  };
  const Text token = "24.tok+en/=";  // appended as it is, not encoded
  const Text file = PicturePath();
  const std::vector<Case> cases = {
      {"text, switch left out", [&] { return RecognizeText(1, token, file); },
       "/rest/2.0/ocr/v1/accurate_basic", "image=" + picture + "&probability=false"},
      {"text, switch on", [&] { return RecognizeText(0, token, file, true); },
       "/rest/2.0/ocr/v1/general_basic", "image=" + picture + "&probability=true"},
      {"text, kind left out", [&] { return RecognizeText(); }, "/rest/2.0/ocr/v1/general_basic",
       "image=&probability=false", ""},
      {"rare characters", [&] { return RecognizeText(2, token, file); },
       "/rest/2.0/ocr/v1/general_enhanced", "image=" + picture + "&probability=false"},
      {"identity card, switches left out",
       [&] { return RecognizeIdCard(token, false, false, false, file); }, "/rest/2.0/ocr/v1/idcard",
       "detect_direction=false&id_card_side=back&detect_risk=false&image=" + picture},
      {"identity card, switches on", [&] { return RecognizeIdCard(token, true, true, true, file); },
       "/rest/2.0/ocr/v1/idcard",
       "detect_direction=true&id_card_side=front&detect_risk=true&image=" + picture},
      {"identity card, only the side",
       [&] { return RecognizeIdCard(token, false, true, false, file); }, "/rest/2.0/ocr/v1/idcard",
       "detect_direction=false&id_card_side=front&detect_risk=false&image=" + picture},
      // The two detection switches set differently, each way round.
      {"identity card, direction only",
       [&] { return RecognizeIdCard(token, true, false, false, file); }, "/rest/2.0/ocr/v1/idcard",
       "detect_direction=true&id_card_side=back&detect_risk=false&image=" + picture},
      {"identity card, risk only", [&] { return RecognizeIdCard(token, false, false, true, file); },
       "/rest/2.0/ocr/v1/idcard",
       "detect_direction=false&id_card_side=back&detect_risk=true&image=" + picture},
      {"web image", [&] { return RecognizeWebImage(token, file); }, "/rest/2.0/ocr/v1/webimage",
       "image=" + picture},
      {"bank card", [&] { return RecognizeBankCard(token, file); }, "/rest/2.0/ocr/v1/bankcard",
       "image=" + picture},
      {"number plate, one", [&] { return RecognizeLicensePlate(token, false, file); },
       "/rest/2.0/ocr/v1/license_plate", "multi_detect=false&image=" + picture},
      {"number plate, many", [&] { return RecognizeLicensePlate(token, true, file); },
       "/rest/2.0/ocr/v1/license_plate", "multi_detect=true&image=" + picture},
  };
  Answer("/rest/", R"({"log_id":7})");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ClearRequests();
    EXPECT_EQ(c.call().str(), R"({"log_id":7})");
    const std::vector<Recorded> requests = Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].requestLine,
              "POST " + std::string(c.path) + "?access_token=" + c.token + " HTTP/1.1");
    EXPECT_EQ(requests[0].body, c.body);
    EXPECT_TRUE(HasHeader(requests[0], "Content-Type: application/x-www-form-urlencoded"));
    EXPECT_EQ(OcrEndpoint().str(), "https://" + ServiceHost().str() + c.path + "?access_token=");
    EXPECT_EQ(OcrLastReply().str(), R"({"log_id":7})");
  }
}

TEST_F(ClientServiceTest, CallersValuesStayAsTheyWere) {
  Answer("/rest/", "{}");
  const Text token = "tok";
  Text picture = PicturePath();
  const Text before = picture;
  RecognizeText(1, token, picture);
  EXPECT_EQ(picture, before);
  EXPECT_EQ(token.str(), "tok");
}

TEST_F(ClientServiceTest, AnUnreadablePictureIsSentEmpty) {
  Answer("/rest/", R"({"error_code":216200,"error_msg":"empty image"})");
  const Text missing = PicturePath() + ".missing";
  EXPECT_EQ(RecognizeText(1, "t", missing).str(),
            R"({"error_code":216200,"error_msg":"empty image"})");
  ASSERT_TRUE(LastRequest());
  EXPECT_EQ(LastRequest()->body, "image=&probability=false");
  ClearRequests();
  RecognizeIdCard("t", false, false, false, missing);
  ASSERT_TRUE(LastRequest());
  EXPECT_EQ(LastRequest()->body,
            "detect_direction=false&id_card_side=back&detect_risk=false&image=");
}

TEST_F(ClientServiceTest, AWebPictureIsDownloadedFirst) {
  const std::string bytes("GIF89a\x01\x00\x01\x00", 10);
  Answer("/pictures/a.gif", bytes);
  Answer("/rest/", "{}");
  for (const std::string scheme : {"https://", "HTTPS://"}) {
    SCOPED_TRACE(scheme);
    ClearRequests();
    const Text address(scheme + ServiceHost().str() + "/pictures/a.gif");
    RecognizeText(1, "t", address);
    const std::vector<Recorded> requests = Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].requestLine, "GET /pictures/a.gif HTTP/1.1");
    EXPECT_EQ(requests[1].body, "image=" + FormPicture(bytes) + "&probability=false");
  }
}

TEST_F(ClientServiceTest, APlainHttpPictureIsDownloadedToo) {
  const std::string bytes("\x89PNG\r\n\x1a\n\x00\x00", 10);
  test::TestServer pictures([&](const Recorded&) { return test::Reply::Text(bytes); });
  ASSERT_TRUE(pictures.ok());
  Answer("/rest/", "{}");
  for (const std::string scheme : {"http://", "Http://"}) {
    SCOPED_TRACE(scheme);
    ClearRequests();
    const std::size_t before = pictures.RequestCount();
    RecognizeWebImage("t",
                      Text(scheme + "127.0.0.1:" + std::to_string(pictures.port()) + "/b.png"));
    ASSERT_EQ(pictures.RequestCount(), before + 1);
    EXPECT_EQ(pictures.Requests().back().requestLine, "GET /b.png HTTP/1.1");
    ASSERT_EQ(Requests().size(), 1u);
    EXPECT_EQ(Requests()[0].body, "image=" + FormPicture(bytes));
  }
}

TEST_F(ClientServiceTest, AFailedDownloadSendsAnEmptyPicture) {
  Answer("/rest/", "{}");
  const Text address("https://127.0.0.1:" + std::to_string(test::UnusedLoopbackPort()) + "/a.jpg");
  RecognizeLicensePlate("t", true, address);
  ASSERT_EQ(Requests().size(), 1u);
  EXPECT_EQ(Requests()[0].body, "multi_detect=true&image=");
}

TEST_F(ClientServiceTest, RepliesComeBackIn936WithPercentSignsIntact) {
  const std::string reply =
      R"({"words_result":[{"words":"你好"},{"words":"50% off %41"}],"words_result_num":2})";
  Answer("/rest/", reply);
  const Text converted = RecognizeText(1, "t", PicturePath());
  EXPECT_EQ(converted, Gbk(reply));
  EXPECT_EQ(OcrLastReply(), converted);
  EXPECT_EQ(ExtractRecognizedText(converted), Gbk("你好\r\n50% off %41\r\n"));
}

TEST_F(ClientServiceTest, OtherKindsPostToTheLatestEndpoint) {
  Answer("/rest/", "{}");
  RecognizeText(0, "t", PicturePath());
  RecognizeText(2, "t", PicturePath());
  EXPECT_EQ(OcrEndpoint().str(),
            "https://" + ServiceHost().str() + "/rest/2.0/ocr/v1/general_enhanced?access_token=");
  RecognizeBankCard("t", PicturePath());
  ClearRequests();
  for (const int kind : {3, -1, 99}) RecognizeText(kind, "k", PicturePath());
  for (const Recorded& request : Requests()) {
    EXPECT_EQ(request.requestLine, "POST /rest/2.0/ocr/v1/bankcard?access_token=k HTTP/1.1");
  }
  EXPECT_EQ(Requests().size(), 3u);
}

TEST_F(ClientServiceTest, ConfigurationReachesTheWebSettings) {
  ServiceConfig config = GetServiceConfig();
  config.connectTimeout = std::chrono::milliseconds(1234);
  config.stallTimeout = std::chrono::milliseconds(5678);
  SetServiceConfig(config);
  EXPECT_EQ(GetWebSettings().connectTimeout.count(), 1234);
  EXPECT_EQ(GetWebSettings().stallTimeout.count(), 5678);
  EXPECT_EQ(GetWebSettings().extraCaFile, config.caFile);
  config.host = Text();
  SetServiceConfig(config);
  EXPECT_EQ(ServiceHost(), DefaultServiceConfig().host);
}

}  // namespace
}  // namespace sorvanel
