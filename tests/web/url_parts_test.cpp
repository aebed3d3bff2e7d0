#include <gtest/gtest.h>

#include "web/url_parts.h"

namespace sorvanel {
namespace {

TEST(UrlPartsTest, Table) {
  struct Case {
    const char* url;
    const char* host;
    const char* hostWithPort;
    int port;
    const char* object;
  };
  const Case cases[] = {
      {"https://Server:8443/a/B?x=1", "server", "server:8443", 8443, "/a/B?x=1"},
      {"server/path", "server", "server", 80, "/path"},
      {"http://server", "server", "server", 80, "/"},
      {"http://server:8080", "server", "server:8080", 8080, "/"},
      {"HTTPS://SERVER/X", "server", "server", 443, "/X"},
      {"http://Server:8080/A/b.php?x=1#top", "server", "server:8080", 8080, "/A/b.php?x=1#top"},
      {"HTTPS://Server:8443/a?b", "server", "server:8443", 8443, "/a?b"},
      // The port is read like a C integer: stops at the first non-digit, none gives 0.
      {"http://h:12ab/x", "h", "h:12ab", 12, "/x"},
      {"http://h:/x", "h", "h:", 0, "/x"},
      {"http://h:99999999999/x", "h", "h:99999999999", 2147483647, "/x"},
      // Hosts that also occur inside the scheme are found after it.
      {"https://s/x", "s", "s", 443, "/x"},
      {"http://p:81/y/", "p", "p:81", 81, "/y/"},
      // A schemeless host that starts with "https" is still a plain address.
      {"httpserver.example/z", "httpserver.example", "httpserver.example", 80, "/z"},
      {"http://[::1]:8080/v6", "[::1]", "[::1]:8080", 8080, "/v6"},
      {"http://[::1]/v6", "[::1]", "[::1]", 80, "/v6"},
      {"", "", "", 80, "/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    EXPECT_EQ(UrlHost(c.url, false), Text(c.host));
    EXPECT_EQ(UrlHost(c.url, true), Text(c.hostWithPort));
    EXPECT_EQ(UrlPort(c.url), c.port);
    EXPECT_EQ(UrlObject(c.url), Text(c.object));
  }
}

TEST(UrlPartsTest, DoubleByteCharactersKeepTheirBytes) {
  // "\xC3\x41" is one character of code page 936 whose second byte is 'A'; lower-casing
  // must not touch it, and the object keeps the address's own bytes.
  const Text url = "http://Host/\xC3\x41?Q=1";
  EXPECT_EQ(UrlHost(url, false), Text("host"));
  EXPECT_EQ(UrlObject(url), Text("/\xC3\x41?Q=1"));
  EXPECT_EQ(UrlHost("http://\xC3\x41.cn/", false), Text("\xC3\x41.cn"));
}

}  // namespace
}  // namespace sorvanel
