#include "tests/cli/ocr_test_service.h"

#include <openssl/evp.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "client/service_keys.h"
#include "tests/support/test_certificates.h"

namespace sorvanel::test {
namespace {

std::string PercentDecoded(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string Base64Decoded(const std::string& text) {
  if (text.empty()) return {};
  std::string out(text.size() / 4 * 3 + 3, '\0');
  const int length = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                     reinterpret_cast<const unsigned char*>(text.data()),
                                     static_cast<int>(text.size()));
  if (length < 0) return {};
  std::size_t padding = 0;
  for (std::size_t i = text.size(); i > 0 && text[i - 1] == '='; --i) ++padding;
  out.resize(static_cast<std::size_t>(length) - padding);
  return out;
}

std::vector<std::string> Pieces(const std::string& text, char separator) {
  std::vector<std::string> pieces;
  std::string piece;
  std::istringstream stream(text);
  while (std::getline(stream, piece, separator)) pieces.push_back(piece);
  return pieces;
}

std::string Field(const std::string& body, const std::string& name) {
  for (const std::string& field : Pieces(body, '&')) {
    if (field.rfind(name + "=", 0) == 0) return field.substr(name.size() + 1);
  }
  return {};
}

Reply Json(const nlohmann::json& value, int status = 200) {
  // Pictures that are not UTF-8 come back with replacement characters, never a throw.
  Reply reply =
      Reply::Text(value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace), status);
  reply.headerLines.push_back("Content-Type: application/json");
  return reply;
}

Reply ServiceError(int code, const char* message) {
  return Json({{"error_code", code}, {"error_msg", message}});
}

Reply TextRecognition(const std::string& picture, bool probability) {
  std::vector<std::string> lines = Pieces(picture, '\n');
  const std::string command = lines.empty() ? "" : lines.front();
  if (command == "ERROR") return ServiceError(216201, "image format error");
  if (command == "NOTJSON") return Reply::Text("<html>502 Bad Gateway</html>", 502);
  if (command == "STALL") return Reply{.fault = Reply::Fault::kStallBeforeReply};
  if (command == "NOTEXT") lines.clear();
  if (command == "PICTURE") lines = {"picture of " + std::to_string(picture.size()) + " bytes"};
  if (command.rfind("SLEEP ", 0) == 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(command.substr(6))));
    lines.erase(lines.begin());
  }
  nlohmann::json words = nlohmann::json::array();
  for (const std::string& line : lines) {
    nlohmann::json entry = {{"words", line}};
    if (probability) entry["probability"] = {{"average", 0.9}, {"min", 0.8}, {"variance", 0.01}};
    words.push_back(entry);
  }
  return Json({{"log_id", 7}, {"words_result_num", words.size()}, {"words_result", words}});
}

}  // namespace

OcrTestService::OcrTestService() : OcrTestService(Options{}) {}

OcrTestService::OcrTestService(Options options)
    : options_(options), apiKey_(ApiKey), secretKey_(SecretKey) {
  if (options_.certificates == nullptr) options_.certificates = &TestCertificates::Shared();
  server_ = std::make_unique<TestServer>(
      [this](const RecordedRequest& request) { return Handle(request); },
      TestServer::Options{.certificates = options_.certificates});
}

OcrTestService::~OcrTestService() = default;

bool OcrTestService::ok() const { return options_.certificates->ok() && server_ && server_->ok(); }

std::string OcrTestService::host() const { return "127.0.0.1:" + std::to_string(server_->port()); }

std::string OcrTestService::caFile() const { return options_.certificates->caFile(); }

std::string OcrTestService::Url(const std::string& path) const { return server_->Url(path); }

void OcrTestService::ExpectKeys(std::string apiKey, std::string secretKey) {
  std::lock_guard lock(mutex_);
  apiKey_ = std::move(apiKey);
  secretKey_ = std::move(secretKey);
}

void OcrTestService::ServePicture(const std::string& path, std::string bytes) {
  std::lock_guard lock(mutex_);
  pictures_[path] = std::move(bytes);
}

std::vector<RecordedRequest> OcrTestService::Requests() const { return server_->Requests(); }

std::string OcrTestService::PictureOf(const RecordedRequest& request) {
  return Base64Decoded(PercentDecoded(Field(request.body, "image")));
}

std::string OcrTestService::FieldsOf(const RecordedRequest& request) {
  std::string fields;
  for (const std::string& field : Pieces(request.body, '&')) {
    if (field.rfind("image=", 0) == 0) continue;
    fields += (fields.empty() ? "" : "&") + field;
  }
  return fields;
}

void OcrTestService::Stop() { server_.reset(); }

Reply OcrTestService::Handle(const RecordedRequest& request) {
  if (request.method == "GET") {
    std::lock_guard lock(mutex_);
    const auto found = pictures_.find(request.target);
    return found != pictures_.end() ? Reply::Text(found->second) : Reply::Text("not found", 404);
  }
  if (request.target == "/oauth/2.0/token?") {
    std::lock_guard lock(mutex_);
    if (request.body ==
        "grant_type=client_credentials&client_id=" + apiKey_ + "&client_secret=" + secretKey_) {
      return Json({{"access_token", "tok-7"}, {"expires_in", 2592000}});
    }
    return Json({{"error", "invalid_client"}, {"error_description", "unknown client id"}}, 401);
  }
  std::this_thread::sleep_for(options_.replyDelay);
  const std::string prefix = "/rest/2.0/ocr/v1/";
  const std::size_t query = request.target.find("?access_token=");
  if (request.target.rfind(prefix, 0) != 0 || query == std::string::npos) {
    return Reply::Text("not found", 404);
  }
  if (request.target.substr(query + 14) != "tok-7") {
    return ServiceError(110, "Access token invalid or no longer valid");
  }
  const std::string endpoint = request.target.substr(prefix.size(), query - prefix.size());
  const std::string picture = PictureOf(request);
  if (picture.empty()) return ServiceError(216200, "empty image");
  if (endpoint == "general_basic" || endpoint == "accurate_basic" ||
      endpoint == "general_enhanced") {
    return TextRecognition(picture, Field(request.body, "probability") == "true");
  }
  return Json({{"fields", FieldsOf(request)}, {"picture", picture}});
}

}  // namespace sorvanel::test
