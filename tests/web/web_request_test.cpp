// WebRequest against real servers on loopback: plain and TLS test servers started by the
// tests, and a real forward proxy.
#include "web/web_request.h"

#include <gtest/gtest.h>

#include <chrono>

#include "encoding/text_ops.h"
#include "tests/support/test_certificates.h"
#include "tests/support/test_server.h"
#include "tests/support/tiny_proxy.h"
#include "tests/support/web_settings_scope.h"
#include "web/request_headers.h"

namespace sorvanel {
namespace {

using namespace std::chrono_literals;
using test::RecordedRequest;
using test::Reply;
using test::TestCertificates;
using test::TestServer;

WebSettings ShortLimits() {
  WebSettings settings;
  settings.connectTimeout = 2s;
  settings.stallTimeout = 1s;
  settings.extraCaFile = TestCertificates::Shared().caFile();
  return settings;
}

class WebRequestTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TestCertificates::Shared().ok()); }

  static TestServer::Options Tls() { return {.certificates = &TestCertificates::Shared()}; }

  test::WebSettingsScope settings_{ShortLimits()};
};

std::vector<std::string> HeaderNames(const RecordedRequest& request) {
  std::vector<std::string> names;
  for (const std::string& line : request.headerLines) {
    names.push_back(AsciiLower(line.substr(0, line.find(':'))).str());
  }
  return names;
}

std::string Bytes(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7919 + i / 251) & 0xFF);
  return bytes;
}

TEST_F(WebRequestTest, PostSendsTheComposedBlockAndNothingElse) {
  TestServer server([](const RecordedRequest&) { return Reply::Text("{\"ok\":1}"); }, Tls());
  ASSERT_TRUE(server.ok());
  const Text url = server.Url("/oauth/token?x=1");
  Text headers;
  ByteSet sent;
  const ByteSet body =
      WebRequest(url, 1, "grant_type=a&b=c", nullptr, nullptr, &headers, nullptr, false, &sent);

  EXPECT_EQ(body.view(), "{\"ok\":1}");
  ASSERT_EQ(server.RequestCount(), 1u);
  const RecordedRequest request = server.Requests()[0];
  EXPECT_EQ(request.requestLine, "POST /oauth/token?x=1 HTTP/1.1");
  EXPECT_EQ(request.body, "grant_type=a&b=c");
  EXPECT_EQ(request.Header("User-Agent"), kDefaultAgent);
  EXPECT_EQ(request.Header("Host"), "127.0.0.1:" + std::to_string(server.port()));
  EXPECT_EQ(request.Header("Content-Length"), "16");
  std::vector<std::string> names = HeaderNames(request);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"accept", "accept-language", "content-length",
                                             "content-type", "host", "referer", "user-agent"}));
  // The block goes out line by line, in its order.
  const Text expectedBlock = "Accept: */*\r\nReferer: " + url.str() +
                             "\r\nAccept-Language: zh-cn\r\n"
                             "Content-Type: application/x-www-form-urlencoded";
  EXPECT_EQ(headers, expectedBlock);
  std::string received;
  for (const std::string& line : request.headerLines) {
    if (Contains(expectedBlock.view(), line)) received += (received.empty() ? "" : "\r\n") + line;
  }
  EXPECT_EQ(received, expectedBlock.str());
  EXPECT_EQ(sent.view(), "grant_type=a&b=c");
}

TEST_F(WebRequestTest, VerbTable) {
  TestServer server([](const RecordedRequest&) { return Reply::Text("reply body"); });
  ASSERT_TRUE(server.ok());
  struct Case {
    int method;
    const char* verb;
    bool bodySent;
    bool contentType;
    const char* reply;
  };
  const Case cases[] = {
      {-1, "GET", false, false, "reply body"},   {0, "GET", false, false, "reply body"},
      {1, "POST", true, true, "reply body"},     {2, "HEAD", true, false, ""},
      {3, "PUT", true, false, "reply body"},     {4, "OPTIONS", true, false, "reply body"},
      {5, "DELETE", true, false, "reply body"},  {6, "TRACE", true, false, "reply body"},
      {7, "CONNECT", true, false, "reply body"}, {8, "GET", false, false, "reply body"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.method);
    const std::size_t before = server.RequestCount();
    const auto started = std::chrono::steady_clock::now();
    const ByteSet reply = WebRequest(server.Url("/v"), c.method, "payload");
    EXPECT_LT(std::chrono::steady_clock::now() - started, 900ms);  // HEAD does not wait
    EXPECT_EQ(reply.view(), c.reply);
    ASSERT_EQ(server.RequestCount(), before + 1);
    const std::optional<RecordedRequest> last = server.LastRequest();
    ASSERT_TRUE(last);
    const RecordedRequest& request = *last;
    EXPECT_EQ(request.method, c.verb);
    EXPECT_EQ(request.body, c.bodySent ? "payload" : "");
    EXPECT_EQ(request.Header("Content-Length").has_value(), c.bodySent);
    EXPECT_EQ(request.HeaderCount("Content-Type"), c.contentType ? 1 : 0);
  }
}

TEST_F(WebRequestTest, BodiesAndTheirPrecedence) {
  TestServer server([](const RecordedRequest&) { return Reply::Text("r"); });
  ASSERT_TRUE(server.ok());

  // GET sends no body and leaves bodyBytes alone.
  ByteSet untouched(std::string("keep"));
  WebRequest(server.Url("/g"), 0, "text", nullptr, nullptr, nullptr, nullptr, false, &untouched);
  ASSERT_TRUE(server.LastRequest());
  EXPECT_EQ(server.LastRequest()->bodySize, 0u);
  EXPECT_EQ(untouched.view(), "keep");

  // Bytes, zeros included, go before the text.
  const std::string binary("a\0b\xFF", 4);
  ByteSet bytes(binary);
  WebRequest(server.Url("/b"), 1, "text", nullptr, nullptr, nullptr, nullptr, false, &bytes);
  ASSERT_TRUE(server.LastRequest());
  EXPECT_EQ(server.LastRequest()->body, binary);
  EXPECT_EQ(bytes.bytes(), binary);

  // Both empty: a body of length 0.
  ByteSet empty;
  WebRequest(server.Url("/e"), 1, "", nullptr, nullptr, nullptr, nullptr, false, &empty);
  ASSERT_TRUE(server.LastRequest());
  EXPECT_EQ(server.LastRequest()->Header("Content-Length"), "0");
  EXPECT_TRUE(empty.empty());
}

TEST_F(WebRequestTest, LargeUploadHasNoExpectAndArrivesWhole) {
  TestServer server(
      [](const RecordedRequest& r) { return Reply::Text(std::to_string(r.bodySize)); }, Tls());
  ASSERT_TRUE(server.ok());
  const std::string payload = Bytes(3 << 20);
  ByteSet bytes(payload);
  const ByteSet reply =
      WebRequest(server.Url("/up"), 3, "", nullptr, nullptr, nullptr, nullptr, false, &bytes);
  EXPECT_EQ(reply.view(), std::to_string(payload.size()));
  const std::optional<RecordedRequest> last = server.LastRequest();
  ASSERT_TRUE(last);
  const RecordedRequest& request = *last;
  EXPECT_EQ(request.body == payload, true);
  EXPECT_FALSE(request.Header("Expect").has_value());
  EXPECT_FALSE(request.Header("Transfer-Encoding").has_value());
}

TEST_F(WebRequestTest, RepliesComeBackAsReceived) {
  const std::string large = Bytes(10 << 20);
  TestServer server(
      [&](const RecordedRequest& r) {
        if (r.target == "/missing") return Reply::Text("no such page", 404);
        if (r.target == "/empty") return Reply{.status = 204};
        if (r.target == "/gzip") {
          Reply reply = Reply::Text(std::string("\x1f\x8b\x08\x00", 4));
          reply.headerLines.push_back("Content-Encoding: gzip");
          return reply;
        }
        if (r.target == "/chunked") {
          return Reply{.headerLines = {"Transfer-Encoding: chunked"},
                       .body = "5\r\nhello\r\n0\r\nX-Trailer: t\r\n\r\n",
                       .addContentLength = false};
        }
        return Reply{.body = large};
      },
      Tls());
  ASSERT_TRUE(server.ok());

  Text replyHeaders;
  ByteSet body =
      WebRequest(server.Url("/missing"), 0, "", nullptr, nullptr, nullptr, &replyHeaders);
  EXPECT_EQ(body.view(), "no such page");
  EXPECT_TRUE(StartsWith(replyHeaders.view(), "HTTP/1.1 404 Not Found\r\n"));
  EXPECT_TRUE(replyHeaders.view().ends_with("Content-Length: 12\r\n\r\n"));

  EXPECT_TRUE(WebRequest(server.Url("/empty")).empty());
  EXPECT_EQ(WebRequest(server.Url("/gzip")).bytes(), std::string("\x1f\x8b\x08\x00", 4));
  body = WebRequest(server.Url("/chunked"), 0, "", nullptr, nullptr, nullptr, &replyHeaders);
  EXPECT_EQ(body.view(), "hello");
  EXPECT_FALSE(Contains(replyHeaders.view(), "X-Trailer"));

  body = WebRequest(server.Url("/large"));
  EXPECT_EQ(body.size(), large.size());
  EXPECT_TRUE(body.bytes() == large);
}

TEST_F(WebRequestTest, ReplyHeadersAndCookies) {
  TestServer server([](const RecordedRequest&) {
    Reply reply = Reply::Text("c");
    reply.headerLines = {"set-cookie: a=1; path=/; HttpOnly", "SET-COOKIE: b=2",
                         "X-Long: " + std::string(6000, 'x')};
    return reply;
  });
  ASSERT_TRUE(server.ok());
  const Text url = server.Url("/c");

  // Left out: no Cookie line, cookies of the reply only.
  Text replyCookies, replyHeaders;
  WebRequest(url, 0, "", nullptr, &replyCookies, nullptr, &replyHeaders);
  ASSERT_TRUE(server.LastRequest());
  EXPECT_EQ(server.LastRequest()->HeaderCount("Cookie"), 0);
  EXPECT_EQ(replyCookies, Text("a=1; b=2"));
  EXPECT_TRUE(Contains(replyHeaders.view(), "\r\nSet-Cookie: a=1; path=/; HttpOnly\r\n"));
  EXPECT_TRUE(Contains(replyHeaders.view(), "\r\nSet-Cookie: b=2\r\n"));
  // The whole block comes back, however long.
  EXPECT_TRUE(Contains(replyHeaders.view(), std::string(6000, 'x')));
  EXPECT_TRUE(replyHeaders.view().ends_with("\r\n\r\n"));

  // Passed: sent as a Cookie line, merged into both.
  Text sendCookies = "b=0; c=3";
  replyCookies = "";
  WebRequest(url, 0, "", &sendCookies, &replyCookies);
  ASSERT_TRUE(server.LastRequest());
  EXPECT_EQ(server.LastRequest()->Header("Cookie"), "b=0; c=3");
  EXPECT_EQ(sendCookies, Text("a=1; b=2; c=3"));
  EXPECT_EQ(replyCookies, Text("a=1; b=2; c=3"));

  // Passed empty: no Cookie line, and the reply's cookies are merged into it.
  Text emptyCookies;
  WebRequest(url, 0, "", &emptyCookies);
  ASSERT_TRUE(server.LastRequest());
  EXPECT_EQ(server.LastRequest()->HeaderCount("Cookie"), 0);
  EXPECT_EQ(emptyCookies, Text("a=1; b=2"));

  // No merge: the sent text stays, the reply's cookies come back alone.
  sendCookies = "Cookie: z=9";
  WebRequest(url, 0, "", &sendCookies, &replyCookies, nullptr, nullptr, false, nullptr, "", false);
  ASSERT_TRUE(server.LastRequest());
  EXPECT_EQ(server.LastRequest()->Header("Cookie"), "z=9");
  EXPECT_EQ(sendCookies, Text("Cookie: z=9"));
  EXPECT_EQ(replyCookies, Text("a=1; b=2"));
}

// Past the bounds on a reply's header block (300 KiB) and on one header line (100 KiB)
// the body does not come back, and the header block only as far as it arrived; just
// below them the reply is whole.
TEST_F(WebRequestTest, ReplyHeaderBounds) {
  TestServer server([](const RecordedRequest& request) {
    Reply reply = Reply::Text("body");
    const auto lines = [&](int count, std::size_t size) {
      for (int i = 0; i < count; ++i) {
        reply.headerLines.push_back("X-Fill-" + std::to_string(i) + ": " + std::string(size, 'h'));
      }
    };
    if (request.target == "/block-400k") lines(8, 50 * 1024);
    if (request.target == "/block-250k") lines(5, 50 * 1024);
    if (request.target == "/line-150k") lines(1, 150 * 1024);
    if (request.target == "/line-90k") lines(1, 90 * 1024);
    return reply;
  });
  ASSERT_TRUE(server.ok());
  const struct {
    const char* path;
    bool whole;
    std::size_t headerSize;  // at least, for a whole reply
  } rows[] = {
      {"/block-400k", false, 0},
      {"/block-250k", true, 250 * 1024},
      {"/line-150k", false, 0},
      {"/line-90k", true, 90 * 1024},
  };
  for (const auto& row : rows) {
    Text replyHeaders;
    const ByteSet body =
        WebRequest(server.Url(row.path), 0, "", nullptr, nullptr, nullptr, &replyHeaders);
    EXPECT_EQ(body.bytes(), row.whole ? "body" : "") << row.path;
    EXPECT_EQ(replyHeaders.view().ends_with("\r\n\r\n"), row.whole) << row.path;
    EXPECT_GE(replyHeaders.size(), row.headerSize) << row.path;
    EXPECT_LE(replyHeaders.size(), kMaxReplyHeaderBlock + 8 * 1024) << row.path;
  }
}

TEST_F(WebRequestTest, CallersHeaderLinesAndTarget) {
  TestServer server([](const RecordedRequest&) { return Reply::Text("ok"); });
  ASSERT_TRUE(server.ok());
  Text headers = "User-Agent: Tool/2.0\r\nX-Extra: 1\r\nReferer: mine";
  WebRequest(server.Url("/a/../b c/%7e?x=1#frag"), 0, "", nullptr, nullptr, &headers);
  const std::optional<RecordedRequest> last = server.LastRequest();
  ASSERT_TRUE(last);
  const RecordedRequest& request = *last;
  // The object name goes out as it stands: no normalisation, no encoding.
  EXPECT_EQ(request.target, "/a/../b c/%7e?x=1#frag");
  EXPECT_EQ(request.HeaderCount("User-Agent"), 1);
  EXPECT_EQ(request.Header("User-Agent"), "Tool/2.0");
  EXPECT_EQ(request.Header("X-Extra"), "1");
  EXPECT_EQ(request.Header("Referer"), "mine");
  EXPECT_EQ(headers, Text("User-Agent: Tool/2.0\r\nX-Extra: 1\r\nReferer: mine\r\nAccept: */*\r\n"
                          "Accept-Language: zh-cn"));
}

TEST_F(WebRequestTest, Redirects) {
  TestServer secure(
      [](const RecordedRequest& r) {
        if (r.target == "/down") return Reply::Redirect(302, "http://127.0.0.1:1/never");
        return Reply::Text("secure " + r.method);
      },
      Tls());
  ASSERT_TRUE(secure.ok());
  TestServer plain([&](const RecordedRequest& r) {
    if (r.target == "/found") return Reply::Redirect(302, "/final?from=302");
    if (r.target == "/temporary") return Reply::Redirect(307, "final");
    if (r.target == "/see-other") return Reply::Redirect(303, "/final");
    if (r.target == "/up") return Reply::Redirect(301, secure.Url("/top"));
    if (r.target == "/loop") return Reply::Redirect(302, "/loop");
    if (r.target == "/cookie") {
      Reply reply = Reply::Redirect(302, "/final");
      reply.headerLines.push_back("Set-Cookie: hop=1; path=/");
      return reply;
    }
    return Reply::Text(r.method + " " + r.body + " " + r.Header("Cookie").value_or("-"));
  });
  ASSERT_TRUE(plain.ok());

  struct Case {
    const char* path;
    int method;
    bool noRedirect;
    const char* body;
    const char* statusLine;
  };
  const Case cases[] = {
      {"/found", 0, false, "GET  -", "HTTP/1.1 200 OK"},
      {"/found", 0, true, "moved", "HTTP/1.1 302 Found"},
      {"/found", 1, false, "GET  -", "HTTP/1.1 200 OK"},
      {"/temporary", 1, false, "POST data -", "HTTP/1.1 200 OK"},
      {"/see-other", 3, false, "GET  -", "HTTP/1.1 200 OK"},
      {"/up", 0, false, "secure GET", "HTTP/1.1 200 OK"},
      {"/loop", 0, false, "moved", "HTTP/1.1 302 Found"},
      {"/cookie", 0, false, "GET  hop=1", "HTTP/1.1 200 OK"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    Text replyHeaders;
    const ByteSet body = WebRequest(plain.Url(c.path), c.method, "data", nullptr, nullptr, nullptr,
                                    &replyHeaders, c.noRedirect);
    EXPECT_EQ(body.view(), c.body);
    EXPECT_TRUE(StartsWith(replyHeaders.view(), std::string(c.statusLine) + "\r\n"));
  }

  // With cookies passed the client keeps none of its own between the hops.
  Text cookies;
  EXPECT_EQ(WebRequest(plain.Url("/cookie"), 0, "", &cookies).view(), "GET  -");

  // A secure exchange is not led onto plain text: the redirect itself comes back.
  Text replyHeaders;
  EXPECT_EQ(WebRequest(secure.Url("/down"), 0, "", nullptr, nullptr, nullptr, &replyHeaders).view(),
            "moved");
  EXPECT_TRUE(StartsWith(replyHeaders.view(), "HTTP/1.1 302 Found\r\n"));
}

TEST_F(WebRequestTest, BrokenRepliesGiveWhatArrived) {
  const std::string body = Bytes(100000);
  TestServer server(
      [&](const RecordedRequest& r) {
        Reply reply{.body = body, .faultAfter = 30000};
        if (r.target == "/cut") reply.fault = Reply::Fault::kCloseMidBody;
        if (r.target == "/stall-mid") reply.fault = Reply::Fault::kStallMidBody;
        if (r.target == "/stall") reply.fault = Reply::Fault::kStallBeforeReply;
        return reply;
      },
      Tls());
  ASSERT_TRUE(server.ok());
  struct Case {
    const char* path;
    std::size_t received;
  };
  const Case cases[] = {{"/cut", 30000}, {"/stall-mid", 30000}, {"/stall", 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const auto started = std::chrono::steady_clock::now();
    const ByteSet reply = WebRequest(server.Url(c.path));
    const auto elapsed = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(reply.view(), std::string_view(body).substr(0, c.received));
    EXPECT_LT(elapsed, 4s);
  }
}

TEST_F(WebRequestTest, StallLimitDoesNotCutAMovingTransfer) {
  // Four pieces 400 ms apart: longer than the 1 s stall limit in all, but never stalled.
  TestServer server([](const RecordedRequest&) {
    return Reply{.body = "0123456789abcdef", .pieceSize = 4, .pieceDelay = 400ms};
  });
  ASSERT_TRUE(server.ok());
  EXPECT_EQ(WebRequest(server.Url("/slow")).view(), "0123456789abcdef");
}

TEST_F(WebRequestTest, UnreachablePeersFailQuickly) {
  TestServer untrusted([](const RecordedRequest&) { return Reply::Text("secret"); }, Tls());
  ASSERT_TRUE(untrusted.ok());
  const std::string refused =
      "http://127.0.0.1:" + std::to_string(test::UnusedLoopbackPort()) + "/";
  for (const std::string& url : {refused, std::string("http://no-such-host.invalid/x"),
                                 std::string("https://no-such-host.invalid/x")}) {
    SCOPED_TRACE(url);
    Text replyCookies = "old", sendCookies = "s=1";
    const auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(WebRequest(url, 1, "b", &sendCookies, &replyCookies).empty());
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);
    EXPECT_EQ(replyCookies, Text("s=1"));  // the merge of the sent cookies alone
  }
  // Without the test CA the certificate check fails: nothing comes back.
  WebSettings noExtraCa = ShortLimits();
  noExtraCa.extraCaFile.clear();
  test::WebSettingsScope scope(noExtraCa);
  EXPECT_TRUE(WebRequest(untrusted.Url("/")).empty());
  EXPECT_EQ(untrusted.RequestCount(), 0u);
}

TEST_F(WebRequestTest, AddressWithoutHostChangesNothing) {
  Text headers = "X: 1", cookies = "a=1", replyCookies = "r", replyHeaders = "h";
  ByteSet bytes;
  EXPECT_TRUE(WebRequest("http:///x", 1, "body", &cookies, &replyCookies, &headers, &replyHeaders,
                         false, &bytes)
                  .empty());
  EXPECT_EQ(headers, Text("X: 1"));
  EXPECT_EQ(cookies, Text("a=1"));
  EXPECT_EQ(replyCookies, Text("r"));
  EXPECT_EQ(replyHeaders, Text("h"));
  EXPECT_TRUE(bytes.empty());
}

TEST_F(WebRequestTest, ThroughARealProxy) {
  test::TinyProxy proxy;
  ASSERT_TRUE(proxy.ok());
  TestServer plain([](const RecordedRequest&) { return Reply::Text("plain"); });
  TestServer secure([](const RecordedRequest&) { return Reply::Text("secure"); }, Tls());
  ASSERT_TRUE(plain.ok() && secure.ok());

  EXPECT_EQ(WebRequest(plain.Url("/p?q=1"), 0, "", nullptr, nullptr, nullptr, nullptr, false,
                       nullptr, proxy.Address())
                .view(),
            "plain");
  ASSERT_EQ(plain.RequestCount(), 1u);
  EXPECT_EQ(plain.Requests()[0].target, "/p?q=1");
  EXPECT_TRUE(plain.Requests()[0].Header("Via").has_value());  // it came through the proxy
  EXPECT_NE(proxy.Log().find("GET " + plain.Url("/p?q=1") + " HTTP/1.1"), std::string::npos);

  EXPECT_EQ(WebRequest(secure.Url("/s"), 1, "x", nullptr, nullptr, nullptr, nullptr, false, nullptr,
                       proxy.Address())
                .view(),
            "secure");
  EXPECT_NE(proxy.Log().find("CONNECT 127.0.0.1:" + std::to_string(secure.port())),
            std::string::npos);
}

TEST_F(WebRequestTest, PlainRequestToAProxyNamesTheWholeAddress) {
  // A recording server in the proxy's place shows what a proxy receives.
  TestServer recorder([](const RecordedRequest&) { return Reply::Text("via"); });
  ASSERT_TRUE(recorder.ok());
  const std::string proxy = "127.0.0.1:" + std::to_string(recorder.port());
  struct Case {
    const char* url;
    const char* target;
    const char* host;
  };
  const Case cases[] = {
      {"http://Origin.invalid:8080/a/../B?x#f", "http://origin.invalid:8080/a/../B?x#f",
       "origin.invalid:8080"},
      {"origin.invalid/p", "http://origin.invalid/p", "origin.invalid"},
      {"http://origin.invalid:80", "http://origin.invalid/", "origin.invalid"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    EXPECT_EQ(
        WebRequest(c.url, 0, "", nullptr, nullptr, nullptr, nullptr, false, nullptr, proxy).view(),
        "via");
    const std::optional<RecordedRequest> last = recorder.LastRequest();
    ASSERT_TRUE(last);
    const RecordedRequest& request = *last;
    EXPECT_EQ(request.requestLine, std::string("GET ") + c.target + " HTTP/1.1");
    EXPECT_EQ(request.Header("Host"), c.host);
    for (const char* own :
         {"Accept-Encoding", "Expect", "Content-Type", "Cookie", "Proxy-Connection"}) {
      EXPECT_FALSE(request.Header(own).has_value()) << own;
    }
  }
}

}  // namespace
}  // namespace sorvanel
