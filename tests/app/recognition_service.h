// Test support for the window: a recognition service on a loopback HTTPS port.
//
// It hands out tokens "token-1", "token-2", ... at "/oauth/2.0/token?" (or refuses the
// next few requests, as a service without the keys would) and answers the high-accuracy
// recognition path: a picture whose file content was added with AddPicture gives its
// lines as "words_result"; a request with a token that is not valid, or a picture it
// does not know, gives an error reply ("error_code", no "words_result"). A picture may
// be answered after a delay (a slow reply); the destructor cuts every delay short.
//
// Thread safety: every method is safe on any thread (the server answers on threads of
// its own).
#ifndef SORVANEL_TESTS_APP_RECOGNITION_SERVICE_H_
#define SORVANEL_TESTS_APP_RECOGNITION_SERVICE_H_

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "tests/support/test_server.h"

namespace sorvanel::test {

class RecognitionService {
 public:
  RecognitionService();
  ~RecognitionService();

  bool ok() const { return server_ && server_->ok(); }
  // "127.0.0.1:<port>"
  std::string host() const;
  // The CA file that the client must trust.
  std::string caFile() const;

  // Recognises a picture file with this content as these lines (UTF-8), answering
  // after `delay`.
  void AddPicture(const std::string& content, std::vector<std::string> lines,
                  std::chrono::milliseconds delay = std::chrono::milliseconds(0));
  // The next `count` token requests are refused.
  void RefuseTokens(int count);
  // Every token handed out so far stops being valid.
  void ExpireTokens();

  int TokenRequests() const;
  // The recognition requests so far, each as "<token> <first line or ?>", in order.
  std::vector<std::string> Recognitions() const;

  // Writes a picture file with `content` into the test's temporary folder and returns
  // its path (UTF-8); `name` may hold any characters.
  static std::string WriteFile(const std::string& name, const std::string& content);

 private:
  struct Picture {
    std::vector<std::string> lines;
    std::chrono::milliseconds delay;
  };
  Reply Handle(const RecordedRequest& request);

  mutable std::mutex mutex_;
  std::condition_variable stopping_;
  bool stop_ = false;
  std::map<std::string, Picture> pictures_;  // by the picture's form-encoded Base64 text
  std::set<std::string> validTokens_;
  int tokensIssued_ = 0;
  int tokenRequests_ = 0;
  int refuseTokens_ = 0;
  std::vector<std::string> recognitions_;
  std::unique_ptr<TestServer> server_;
};

}  // namespace sorvanel::test

#endif  // SORVANEL_TESTS_APP_RECOGNITION_SERVICE_H_
