// sorvanel-ocr as a user runs it: a process with options and pictures, against a
// loopback HTTPS recognition service, its output, messages and exit status checked.
#include <nlohmann/json.hpp>

#include "tests/cli/cli_fixture.h"
#include "tests/support/test_certificates.h"
#include "tests/support/test_server.h"

namespace sorvanel::test {
namespace {

// The recognition requests among what the service received, in order.
std::vector<RecordedRequest> Recognitions(const OcrTestService& service) {
  std::vector<RecordedRequest> found;
  for (const RecordedRequest& request : service.Requests()) {
    if (request.target.rfind("/rest/", 0) == 0) found.push_back(request);
  }
  return found;
}

TEST_F(CliTest, PicturesComeOutInTheOrderGiven) {
  const std::string a = Picture("a.png", "first line\nsecond line");
  const std::string b = Picture("b.png", "third line");
  const ProgramResult result = Run({a, b, a});
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(result.out, "first line\nsecond line\nthird line\nfirst line\nsecond line\n");
  EXPECT_EQ(result.err, "");
  // One token for the whole run, then one request per picture.
  const std::vector<RecordedRequest> requests = service_->Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[0].target, "/oauth/2.0/token?");
  EXPECT_EQ(OcrTestService::PictureOf(requests[2]), "third line");
}

TEST_F(CliTest, KindSelectsTheEndpoint) {
  const std::string picture = Picture("a.png", "x");
  struct Case {
    std::vector<std::string> options;
    const char* path;
  } const cases[] = {
      {{}, "/rest/2.0/ocr/v1/accurate_basic?access_token=tok-7"},
      {{"--kind", "standard"}, "/rest/2.0/ocr/v1/general_basic?access_token=tok-7"},
      {{"-k", "rare"}, "/rest/2.0/ocr/v1/general_enhanced?access_token=tok-7"},
      {{"--kind=Accurate"}, "/rest/2.0/ocr/v1/accurate_basic?access_token=tok-7"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::vector<std::string> arguments = c.options;
    arguments.push_back(picture);
    const std::size_t before = Recognitions(*service_).size();
    const ProgramResult result = Run(arguments);
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    const std::vector<RecordedRequest> requests = Recognitions(*service_);
    ASSERT_EQ(requests.size(), before + 1);
    EXPECT_EQ(requests.back().target, c.path);
    EXPECT_EQ(OcrTestService::FieldsOf(requests.back()), "probability=false");
  }
}

TEST_F(CliTest, PictureSources) {
  service_->ServePicture("/shots/web.png", "from the web");
  const std::string file = Picture("a.png", "from a file");
  ProgramRun run;
  run.input = std::string("from standard input\n\x01\x02", 22);
  const ProgramResult result = Run({file, "-", service_->Url("/shots/web.png")}, run);
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(result.out, std::string("from a file\nfrom standard input\n\x01\x02\nfrom the web\n"));
  // The bytes of standard input reach the service unchanged.
  EXPECT_EQ(OcrTestService::PictureOf(Recognitions(*service_).at(1)), run.input);
}

TEST_F(CliTest, FileNamesInTheTerminalsEncoding) {
  // A name that 936 holds goes the window's way; one it cannot hold must work too.
  const std::string chinese = Picture("发票.png", "金额 100元");
  const std::string emoji = Picture("shot 😀 Größe.png", "ümlaut ok");
  const ProgramResult result = Run({chinese, emoji});
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(result.out, "金额 100元\nümlaut ok\n");
}

TEST_F(CliTest, JsonLinesParseBack) {
  const std::string good = Picture("好.png", "你好\nWorld \"quoted\" \\ tab\t");
  const std::string bad = Picture("bad.png", "ERROR");
  const ProgramResult result = Run({"--json", good, bad, "missing.png"});
  EXPECT_EQ(result.exitStatus, 4) << result.err;
  std::vector<nlohmann::json> lines;
  std::istringstream stream(result.out);
  for (std::string line; std::getline(stream, line);) lines.push_back(nlohmann::json::parse(line));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0]["picture"], good);
  EXPECT_EQ(lines[0]["lines"],
            nlohmann::json::parse(R"([{"text":"你好"},{"text":"World \"quoted\" \\ tab\t"}])"));
  EXPECT_EQ(lines[0]["reply"]["words_result_num"], 2);
  EXPECT_FALSE(lines[0].contains("error"));
  EXPECT_EQ(lines[1]["lines"], nlohmann::json::array());
  EXPECT_EQ(lines[1]["reply"]["error_code"], 216201);
  EXPECT_EQ(lines[1]["error"], "service error 216201: image format error");
  EXPECT_EQ(lines[2]["picture"], "missing.png");
  EXPECT_EQ(lines[2]["reply"], nullptr);
  EXPECT_EQ(lines[2]["error"], "No such file or directory");
}

TEST_F(CliTest, ProbabilityAppearsPerLine) {
  const std::string picture = Picture("a.png", "one\ntwo");
  const ProgramResult json = Run({"--json", "--probability", picture});
  ASSERT_EQ(json.exitStatus, 0) << json.err;
  const nlohmann::json line = nlohmann::json::parse(json.out);
  ASSERT_EQ(line["lines"].size(), 2u);
  EXPECT_EQ(line["lines"][1]["text"], "two");
  EXPECT_EQ(line["lines"][1]["probability"]["average"], 0.9);
  EXPECT_EQ(OcrTestService::FieldsOf(Recognitions(*service_).back()), "probability=true");
  // Plain output shows the lines only.
  EXPECT_EQ(Run({"-p", picture}).out, "one\ntwo\n");
}

TEST_F(CliTest, EachFailureHasItsStatusAndMessage) {
  const std::string text = Picture("text.png", "some text");
  const std::string noText = Picture("blank.png", "NOTEXT");
  const std::string error = Picture("error.png", "ERROR");
  const std::string notJson = Picture("html.png", "NOTJSON");
  const std::string empty = Picture("empty.png", "");
  const std::string refusedHost = "127.0.0.1:" + std::to_string(UnusedLoopbackPort());
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    int status;
    std::string message;  // a line of standard error
  } const cases[] = {
      {"no text", {noText}, 1, "sorvanel-ocr: " + noText + ": no text found"},
      {"text and no text", {text, noText}, 1, "sorvanel-ocr: " + noText + ": no text found"},
      {"error reply",
       {error},
       3,
       "sorvanel-ocr: " + error + ": service error 216201: image format error"},
      {"reply not JSON",
       {notJson},
       3,
       "sorvanel-ocr: " + notJson + ": the service's reply is not JSON"},
      {"missing file", {"missing.png"}, 4, "sorvanel-ocr: missing.png: No such file or directory"},
      {"empty file", {empty}, 4, "sorvanel-ocr: " + empty + ": empty file"},
      {"folder", {folder_}, 4, "sorvanel-ocr: " + folder_ + ": is a directory"},
      {"worst wins",
       {error, "missing.png", noText},
       4,
       "sorvanel-ocr: missing.png: No such file or directory"},
      {"empty standard input", {"-"}, 4, "sorvanel-ocr: -: no picture on standard input"},
      {"download refused",
       {"http://" + refusedHost + "/a.png"},
       4,
       "sorvanel-ocr: http://" + refusedHost + "/a.png: cannot download: connection refused"},
      {"download not found",
       {service_->Url("/none.png")},
       4,
       "sorvanel-ocr: " + service_->Url("/none.png") + ": cannot download: HTTP status 404"},
      {"refused port",
       {"--host", refusedHost, text},
       3,
       "sorvanel-ocr: " + refusedHost + ": cannot get an access token: connection refused"},
      {"usage: no picture", {}, 2, "sorvanel-ocr: no picture given"},
      {"usage: unknown option",
       {"--colour", text},
       2,
       "sorvanel-ocr: The following argument was not expected: --colour"},
      {"usage: jobs out of range",
       {"--jobs", "0", text},
       2,
       "sorvanel-ocr: --jobs: Value 0 not in range 1 to 64"},
      {"usage: text options on a sub-command",
       {"--json", "plate", text},
       2,
       "sorvanel-ocr: --kind, --json and --probability apply to text recognition only"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ProgramResult result = Run(c.arguments);
    EXPECT_EQ(result.exitStatus, c.status);
    EXPECT_NE(("\n" + result.err).find("\n" + c.message + "\n"), std::string::npos) << result.err;
  }
}

TEST_F(CliTest, UnreadablePicturesAreToldBeforeAnyRequest) {
  const ProgramResult result = Run({"missing.png", "-"});
  EXPECT_EQ(result.exitStatus, 4);
  EXPECT_EQ(result.err,
            "sorvanel-ocr: missing.png: No such file or directory\n"
            "sorvanel-ocr: -: no picture on standard input\n");
  EXPECT_TRUE(service_->Requests().empty());
}

TEST_F(CliTest, TransferFailuresSayWhy) {
  const std::string picture = Picture("a.png", "text");
  const std::string stall = Picture("stall.png", "STALL");
  // Without the test CA the service's certificate is not trusted.
  ProgramRun untrusted;
  untrusted.arguments = {"--host", service_->host(), picture};
  ProgramResult result = RunProgram(SORVANEL_OCR_PROGRAM, untrusted);
  EXPECT_EQ(result.exitStatus, 3);
  EXPECT_EQ(result.err, "sorvanel-ocr: " + service_->host() +
                            ": cannot get an access token: certificate not trusted\n");

  // A trusted certificate that names another host.
  const TestCertificates otherName("DNS:other.invalid");
  OcrTestService misnamed({.certificates = &otherName});
  ASSERT_TRUE(misnamed.ok());
  ProgramRun mismatch;
  mismatch.arguments = ServiceArguments(misnamed);
  mismatch.arguments.push_back(picture);
  result = RunProgram(SORVANEL_OCR_PROGRAM, mismatch);
  EXPECT_EQ(result.exitStatus, 3);
  EXPECT_NE(result.err.find("cannot get an access token: certificate host name mismatch"),
            std::string::npos)
      << result.err;

  // A service that stops answering is given up after the stall limit.
  result = Run({"--stall-timeout", "0.5", stall, picture});
  EXPECT_EQ(result.exitStatus, 3);
  EXPECT_EQ(result.out, "text\n");
  EXPECT_EQ(result.err, "sorvanel-ocr: " + stall + ": cannot reach the service at " +
                            service_->host() + ": timed out waiting for the reply\n");
}

TEST_F(CliTest, KeysComeFromTheEnvironment) {
  const std::string picture = Picture("a.png", "text");
  service_->ExpectKeys("EnvApiKey000000000000001", "EnvSecretKey00000000000000000001");
  // The build's keys are refused now.
  ProgramResult result = Run({picture});
  EXPECT_EQ(result.exitStatus, 3);
  EXPECT_EQ(result.err, "sorvanel-ocr: " + service_->host() +
                            ": cannot get an access token: the service refused the keys\n");
  ProgramRun run;
  run.environment = {"SORVANEL_API_KEY=EnvApiKey000000000000001",
                     "SORVANEL_SECRET_KEY=EnvSecretKey00000000000000000001"};
  result = Run({picture}, run);
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(result.out, "text\n");
  EXPECT_EQ(service_->Requests().back().target,
            "/rest/2.0/ocr/v1/accurate_basic?access_token=tok-7");
}

TEST_F(CliTest, SubCommandsPrintTheReply) {
  const std::string picture = Picture("card.png", "6222 0000");
  struct Case {
    std::vector<std::string> arguments;
    const char* endpoint;
    const char* fields;
  } const cases[] = {
      {{"id-card"}, "idcard", "detect_direction=false&id_card_side=front&detect_risk=false"},
      {{"id-card", "--back", "--detect-direction", "--detect-risk"},
       "idcard",
       "detect_direction=true&id_card_side=back&detect_risk=true"},
      {{"bank-card"}, "bankcard", ""},
      {{"plate"}, "license_plate", "multi_detect=false"},
      {{"plate", "--multi"}, "license_plate", "multi_detect=true"},
      {{"web-image"}, "webimage", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fields);
    std::vector<std::string> arguments = c.arguments;
    arguments.push_back(picture);
    const ProgramResult result = Run(arguments);
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    const RecordedRequest request = Recognitions(*service_).back();
    EXPECT_EQ(request.target,
              std::string("/rest/2.0/ocr/v1/") + c.endpoint + "?access_token=tok-7");
    EXPECT_EQ(OcrTestService::FieldsOf(request), c.fields);
    EXPECT_EQ(nlohmann::json::parse(result.out),
              nlohmann::json({{"fields", c.fields}, {"picture", "6222 0000"}}));
  }
  // The service options may follow the sub-command.
  ProgramRun run;
  run.arguments = {"plate", "--host", service_->host(), "--ca-file", service_->caFile(), picture};
  EXPECT_EQ(RunProgram(SORVANEL_OCR_PROGRAM, run).exitStatus, 0);
}

TEST_F(CliTest, HelpVersionAndManual) {
  EXPECT_EQ(Run({"--version"}).out, "sorvanel-ocr " SORVANEL_VERSION_TEXT "\n");
  const ProgramResult help = Run({"--help"});
  EXPECT_EQ(help.exitStatus, 0);
  for (const char* option :
       {"--kind", "--json", "--probability", "--host", "--ca-file", "--connect-timeout",
        "--stall-timeout", "--jobs", "id-card", "bank-card", "plate", "web-image"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
  // The manual renders without a warning.
  ProgramRun groff;
  groff.arguments = {"-man", "-Tutf8", "-ww", "-z", SORVANEL_OCR_MANUAL};
  const ProgramResult manual = RunProgram("/usr/bin/groff", groff);
  EXPECT_EQ(manual.exitStatus, 0);
  EXPECT_EQ(manual.err, "");
}

}  // namespace
}  // namespace sorvanel::test
