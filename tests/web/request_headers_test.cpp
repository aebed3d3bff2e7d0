#include "web/request_headers.h"

#include <gtest/gtest.h>

namespace sorvanel {
namespace {

TEST(AgentFromHeadersTest, Table) {
  struct Case {
    const char* name;
    const char* lines;
    const char* agent;
  };
  const Case cases[] = {
      {"no lines", "", kDefaultAgent},
      {"no agent line", "Accept: text/html", kDefaultAgent},
      {"agent line", "User-Agent: Tool/2.0", "Tool/2.0"},
      {"agent line among others", "Accept: */*\r\nUser-Agent:  Tool/2.0 \r\nX: y", "Tool/2.0"},
      {"agent line last of several", "Accept: */*\r\nX: y\r\nUser-Agent: Tool/2.0", "Tool/2.0"},
      {"lower-case line, value after the first colon", "user-agent: Tool/2.0", "Tool/2.0"},
      {"lower-case line after another: everything after the first colon", "X: a\r\nuser-agent: T",
       "a\r\nuser-agent: T"},
      {"ideographic spaces trimmed", "User-Agent:\xA1\xA1T\xA1\xA1", "T"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AgentFromHeaders(c.lines), Text(c.agent)) << c.name;
  }
}

TEST(ComposeRequestHeadersTest, Table) {
  struct Case {
    const char* name;
    const char* lines;
    int method;
    const char* cookies;
    const char* block;
  };
  const char* u = "http://h/p?q";
  const Case cases[] = {
      {"defaults for GET", "", 0, "",
       "Accept: */*\r\nReferer: http://h/p?q\r\nAccept-Language: zh-cn"},
      {"defaults for POST", "", 1, "",
       "Accept: */*\r\nReferer: http://h/p?q\r\nAccept-Language: zh-cn"
       "\r\nContent-Type: application/x-www-form-urlencoded"},
      {"PUT gets no content type", "", 3, "",
       "Accept: */*\r\nReferer: http://h/p?q\r\nAccept-Language: zh-cn"},
      {"caller's Accept kept", "Accept: text/html", 0, "",
       "Accept: text/html\r\nReferer: http://h/p?q\r\nAccept-Language: zh-cn"},
      {"the test is case-sensitive", "accept: text/html", 0, "",
       "accept: text/html\r\nAccept: */*\r\nReferer: http://h/p?q\r\nAccept-Language: zh-cn"},
      {"caller's Referer and Content-Type kept", "Referer: r\r\nContent-Type: text/plain", 1, "",
       "Referer: r\r\nContent-Type: text/plain\r\nAccept: */*\r\nAccept-Language: zh-cn"},
      {"caller's Accept-Language kept", "Accept-Language: en", 0, "",
       "Accept-Language: en\r\nAccept: */*\r\nReferer: http://h/p?q"},
      {"cookie items get a Cookie line", "", 0, "a=1; b=2",
       "Accept: */*\r\nReferer: http://h/p?q\r\nAccept-Language: zh-cn\r\nCookie: a=1; b=2"},
      {"a whole Cookie line is added unchanged", "", 0, "Cookie: a=1",
       "Accept: */*\r\nReferer: http://h/p?q\r\nAccept-Language: zh-cn\r\nCookie: a=1"},
      {"a lower-case cookie line is no Cookie line", "", 0, "cookie: a=1",
       "Accept: */*\r\nReferer: http://h/p?q\r\nAccept-Language: zh-cn\r\nCookie: cookie: a=1"},
      {"agent line stays", "User-Agent: Tool/2.0", 0, "",
       "User-Agent: Tool/2.0\r\nAccept: */*\r\nReferer: http://h/p?q\r\nAccept-Language: zh-cn"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ComposeRequestHeaders(c.lines, u, c.method, c.cookies), Text(c.block)) << c.name;
  }
}

}  // namespace
}  // namespace sorvanel
