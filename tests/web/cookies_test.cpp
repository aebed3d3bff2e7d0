#include "web/cookies.h"

#include <gtest/gtest.h>

namespace sorvanel {
namespace {

TEST(CookieNameTest, Table) {
  const std::pair<const char*, const char*> cases[] = {
      {"sid=abc", "sid"},  {" sid =a=b", "sid"}, {"flag", "flag"},
      {"  flag ", "flag"}, {"=v", ""},           {"", ""},
  };
  for (const auto& [item, name] : cases) EXPECT_EQ(CookieName(item), Text(name)) << item;
}

TEST(ExtractReplyCookiesTest, Table) {
  struct Case {
    const char* name;
    const char* block;
    const char* cookies;
  };
  const Case cases[] = {
      {"attributes dropped",
       "HTTP/1.1 200 OK\r\nSet-Cookie: sid=abc; path=/; HttpOnly\r\nSet-Cookie: lang=en\r\n\r\n",
       "sid=abc; lang=en"},
      {"no Set-Cookie lines", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", ""},
      {"line without a semicolon", "HTTP/1.1 200 OK\r\nSet-Cookie: k=v\r\n\r\n", "k=v"},
      {"a lower-case line is not read", "HTTP/1.1 200 OK\r\nset-cookie: k=v\r\n\r\n", ""},
      {"empty block", "", ""},
      {"value keeps its own equals signs", "Set-Cookie: t=a=b==; Secure\r\n", "t=a=b=="},
  };
  for (const Case& c : cases) EXPECT_EQ(ExtractReplyCookies(c.block), Text(c.cookies)) << c.name;
}

TEST(MergeCookiesTest, Table) {
  struct Case {
    const char* sent;
    const char* reply;
    const char* merged;
  };
  const Case cases[] = {
      {"a=1; b=2", "b=3; c=4", "b=3; c=4; a=1"},
      {"a=1; b=2", "b=deleted", "a=1"},
      {"a=1", "", "a=1"},
      {"", "x=1; x=1", "x=1"},
      {"", "", ""},
      {"  a=1 ;b=2  ", " c=3 ", "c=3; a=1; b=2"},
      {"a=1", "a=deleted; a=2", "a=2"},
      {"flag; a=1", "flag", "flag; a=1"},
      {"A=1", "a=2", "a=2; A=1"},  // names compare case-sensitively
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MergeCookies(c.sent, c.reply), Text(c.merged)) << c.sent << " + " << c.reply;
  }
}

}  // namespace
}  // namespace sorvanel
