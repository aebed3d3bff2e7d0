// A loopback HTTP/1.1 server for tests, plain or over TLS, on a port chosen at run time.
//
// The server records every request that arrives (request line, header lines in order,
// body bytes) and answers each one with the reply that the test's handler returns. A
// reply can also misbehave on purpose: close the connection part-way through the body,
// stall part-way, or stall before sending anything. Connections are kept alive between
// requests unless a reply carries "Connection: close" or misbehaves.
//
// Usage:
//   TestServer server([](const RecordedRequest& r) { return Reply::Text("hi"); });
//   ASSERT_TRUE(server.ok());
//   ... request server.Url("/path") ...
//   const std::optional<RecordedRequest> request = server.LastRequest();
//   ASSERT_TRUE(request);
//   EXPECT_EQ(request->method, "GET");
// For TLS pass TestServer::Options{.certificates = &TestCertificates::Shared()} and trust
// its CA file in the client (tests/support/test_certificates.h).
//
// The constructor starts the server on its own thread (one more thread per connection);
// the destructor stops it, ending stalled connections, and joins every thread. The
// handler runs on the connection threads: it must be safe to call from several threads
// when the client opens concurrent connections. Requests()/RequestCount() are safe on any
// thread. A reply with Fault::kNone and no pieces is sent with one write. Only the body
// framings that our clients send are understood: Content-Length
// and chunked bodies.
#ifndef SORVANEL_TESTS_SUPPORT_TEST_SERVER_H_
#define SORVANEL_TESTS_SUPPORT_TEST_SERVER_H_

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorvanel::test {

class TestCertificates;

struct RecordedRequest {
  std::string requestLine;               // "POST /a?b HTTP/1.1"
  std::string method;                    // "POST"
  std::string target;                    // "/a?b", as sent
  std::vector<std::string> headerLines;  // in order, without CR LF
  std::string body;                      // empty when the server does not record bodies
  std::size_t bodySize = 0;              // recorded or not

  // The value of the first header of this name (letter case ignored), without the
  // blanks around it; nullopt when there is none.
  std::optional<std::string> Header(std::string_view name) const;
  // How many header lines have this name (letter case ignored).
  int HeaderCount(std::string_view name) const;
};

struct Reply {
  enum class Fault {
    kNone,
    kCloseMidBody,      // send faultAfter body bytes, then close the connection
    kStallMidBody,      // send faultAfter body bytes, then send nothing more
    kStallBeforeReply,  // read the request, then send nothing at all
  };

  int status = 200;
  std::vector<std::string> headerLines{};  // "Name: value", sent in this order
  std::string body{};
  // Adds "Content-Length" for the whole body unless headerLines already name one.
  bool addContentLength = true;
  Fault fault = Fault::kNone;
  std::size_t faultAfter = 0;
  // With a piece size, the body goes out in pieces of that many bytes with pieceDelay
  // between them (a slow but moving transfer).
  std::size_t pieceSize = 0;
  std::chrono::milliseconds pieceDelay{0};

  static Reply Text(std::string body, int status = 200);
  // A redirect to `location` with a short body.
  static Reply Redirect(int status, std::string location);
};

using RequestHandler = std::function<Reply(const RecordedRequest&)>;

class TestServer {
 public:
  struct Options {
    // Serve TLS with this server certificate; null = plain HTTP.
    const TestCertificates* certificates = nullptr;
    // Keep the request bodies in the record (turn off for large repeated uploads).
    bool recordBodies = true;
  };

  explicit TestServer(RequestHandler handler);
  TestServer(RequestHandler handler, Options options);
  ~TestServer();
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  // Whether the server is listening (false when no socket or TLS set-up could be made).
  bool ok() const;
  int port() const;
  bool secure() const;
  // "http://127.0.0.1:<port>" + path, or "https://..." for a TLS server.
  std::string Url(std::string_view path = "/") const;
  // Every request so far, in order of arrival.
  std::vector<RecordedRequest> Requests() const;
  // The latest request; nullopt when none has arrived, for a test to assert on before
  // it reads the request.
  std::optional<RecordedRequest> LastRequest() const;
  std::size_t RequestCount() const;
  // How many connections were accepted (each TLS handshake attempt counts).
  std::size_t ConnectionCount() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// A port on 127.0.0.1 that nothing listens on (bound once, then closed), for tests of a
// refused connection and for helpers that start servers of their own.
int UnusedLoopbackPort();

}  // namespace sorvanel::test

#endif  // SORVANEL_TESTS_SUPPORT_TEST_SERVER_H_
