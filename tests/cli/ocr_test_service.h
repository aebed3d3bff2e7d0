// Test support: a loopback HTTPS recognition service that answers the way the real one
// does, for tests and benchmarks that run sorvanel-ocr as a process.
//
// It grants the token "tok-7" for the expected key pair (the build's unless told
// otherwise) and refuses any other. Its "recognition" reads the picture's bytes as
// UTF-8 text and gives back each of its lines as one recognised line, so a test makes a
// picture by writing the lines it wants recognised. A picture whose first line is a
// command behaves differently:
//   ERROR      a service error reply (error_code 216201, error_msg "image format error")
//   NOTEXT     a reply with no recognised lines
//   NOTJSON    a reply that is not JSON
//   STALL      no reply at all (the connection stays open until the service stops)
//   SLEEP n    the remaining lines, answered after n milliseconds
//   PICTURE    one line "picture of N bytes" (for pictures of any bytes)
// An empty picture gets error 216200, a wrong token error 110. The card, plate and
// web-picture endpoints answer {"fields": <the body without the picture>, "picture":
// <the picture's text>}. GET requests are answered with the pictures given to
// ServePicture, 404 otherwise. Every reply can be delayed by a fixed time.
//
// Thread safety: the service answers on its own threads; every method is safe on any
// thread. Stop() (or the destructor) ends stalled connections and joins its threads.
#ifndef SORVANEL_TESTS_CLI_OCR_TEST_SERVICE_H_
#define SORVANEL_TESTS_CLI_OCR_TEST_SERVICE_H_

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "tests/support/test_server.h"

namespace sorvanel::test {

class TestCertificates;

class OcrTestService {
 public:
  struct Options {
    std::chrono::milliseconds replyDelay{0};         // added before every recognition reply
    const TestCertificates* certificates = nullptr;  // null: the shared test set
  };

  OcrTestService();
  explicit OcrTestService(Options options);
  ~OcrTestService();

  bool ok() const;
  // "127.0.0.1:<port>", for --host.
  std::string host() const;
  // The CA file that the service's certificate is signed under, for --ca-file.
  std::string caFile() const;
  std::string Url(const std::string& path) const;

  // The key pair that gets a token.
  void ExpectKeys(std::string apiKey, std::string secretKey);
  // Answers GET `path` with `bytes`.
  void ServePicture(const std::string& path, std::string bytes);

  std::vector<RecordedRequest> Requests() const;
  // The decoded picture of a recognition request's body ("" when it has none).
  static std::string PictureOf(const RecordedRequest& request);
  // The form fields of a body, the picture left out, in order ("a=1&b=2").
  static std::string FieldsOf(const RecordedRequest& request);

  // Stops answering; the port then refuses connections.
  void Stop();

 private:
  Reply Handle(const RecordedRequest& request);

  Options options_;
  mutable std::mutex mutex_;
  std::string apiKey_, secretKey_;
  std::map<std::string, std::string> pictures_;
  std::unique_ptr<TestServer> server_;
};

}  // namespace sorvanel::test

#endif  // SORVANEL_TESTS_CLI_OCR_TEST_SERVICE_H_
