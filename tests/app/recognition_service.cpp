#include "tests/app/recognition_service.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "encoding/base64.h"
#include "encoding/url_encode.h"
#include "tests/support/test_certificates.h"

namespace sorvanel::test {
namespace {

constexpr char kTokenPath[] = "/oauth/2.0/token?";
constexpr char kRecognitionPath[] = "/rest/2.0/ocr/v1/accurate_basic?access_token=";

std::string EncodedPicture(const std::string& content) {
  return UrlEncode(Base64Encode(ByteSet(content))).str();
}

bool StartsWith(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

RecognitionService::RecognitionService() {
  const TestCertificates& certificates = TestCertificates::Shared();
  if (!certificates.ok()) return;
  server_ = std::make_unique<TestServer>(
      [this](const RecordedRequest& request) { return Handle(request); },
      TestServer::Options{.certificates = &certificates});
}

RecognitionService::~RecognitionService() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  stopping_.notify_all();
  server_.reset();
}

std::string RecognitionService::host() const {
  return "127.0.0.1:" + std::to_string(server_->port());
}

std::string RecognitionService::caFile() const { return TestCertificates::Shared().caFile(); }

void RecognitionService::AddPicture(const std::string& content, std::vector<std::string> lines,
                                    std::chrono::milliseconds delay) {
  std::lock_guard lock(mutex_);
  pictures_[EncodedPicture(content)] = Picture{std::move(lines), delay};
}

void RecognitionService::RefuseTokens(int count) {
  std::lock_guard lock(mutex_);
  refuseTokens_ = count;
}

void RecognitionService::ExpireTokens() {
  std::lock_guard lock(mutex_);
  validTokens_.clear();
}

int RecognitionService::TokenRequests() const {
  std::lock_guard lock(mutex_);
  return tokenRequests_;
}

std::vector<std::string> RecognitionService::Recognitions() const {
  std::lock_guard lock(mutex_);
  return recognitions_;
}

std::string RecognitionService::WriteFile(const std::string& name, const std::string& content) {
  // One folder per process, removed with everything in it when the process ends.
  struct Folder {
    std::filesystem::path path = std::filesystem::temp_directory_path();
    bool made = false;
    Folder() {
      std::string pattern =
          (std::filesystem::temp_directory_path() / "sorvanel-app-XXXXXX").string();
      made = mkdtemp(pattern.data()) != nullptr;
      if (made) path = pattern;
    }
    ~Folder() {
      std::error_code ignored;
      if (made) std::filesystem::remove_all(path, ignored);
    }
  };
  static const Folder folder;
  const std::filesystem::path path = folder.path / name;
  std::ofstream(path, std::ios::binary) << content;
  return path.string();
}

Reply RecognitionService::Handle(const RecordedRequest& request) {
  std::unique_lock lock(mutex_);
  if (request.target == kTokenPath) {
    ++tokenRequests_;
    if (refuseTokens_ > 0) {
      --refuseTokens_;
      return Reply::Text(R"({"error":"invalid_client","error_description":"unknown client"})", 401);
    }
    const std::string token = "token-" + std::to_string(++tokensIssued_);
    validTokens_.insert(token);
    return Reply::Text(R"({"access_token":")" + token + R"(","expires_in":2592000})");
  }
  if (!StartsWith(request.target, kRecognitionPath)) return Reply::Text("", 404);
  const std::string token = request.target.substr(sizeof(kRecognitionPath) - 1);
  // The body is "image=" + picture + "&probability=false".
  std::string picture = request.body;
  if (StartsWith(picture, "image=")) picture.erase(0, 6);
  picture = picture.substr(0, picture.find('&'));
  const auto known = pictures_.find(picture);
  recognitions_.push_back(token + " " +
                          (known != pictures_.end() && !known->second.lines.empty()
                               ? known->second.lines.front()
                               : std::string("?")));
  if (!validTokens_.count(token))
    return Reply::Text(
        R"({"error_code":110,"error_msg":"Access token invalid or no longer valid"})");
  if (known == pictures_.end())
    return Reply::Text(R"({"error_code":216200,"error_msg":"empty image"})");
  const Picture found = known->second;
  stopping_.wait_for(lock, found.delay, [this] { return stop_; });
  std::string words;
  for (const std::string& line : found.lines) {
    if (!words.empty()) words.append(",");
    words.append(R"({"words":")").append(line).append("\"}");
  }
  std::string body = R"({"log_id":1,"words_result_num":)";
  body.append(std::to_string(found.lines.size())).append(R"(,"words_result":[)");
  body.append(words).append("]}");
  return Reply::Text(body);
}

}  // namespace sorvanel::test
