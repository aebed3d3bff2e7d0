#include "encoding/base64.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <random>
#include <string>

#include "encoding/base64_internal.h"

namespace sorvanel {
namespace {

std::string OpenSslBase64(const std::string& bytes) {
  std::string out(base64_internal::EncodedLength(bytes.size()) + 1, '\0');
  const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                     reinterpret_cast<const unsigned char*>(bytes.data()),
                                     static_cast<int>(bytes.size()));
  out.resize(static_cast<std::size_t>(length));
  return out;
}

std::string RandomBytes(std::size_t size, std::mt19937& random) {
  std::string bytes(size, '\0');
  for (char& b : bytes) b = static_cast<char>(random());
  return bytes;
}

TEST(Base64EncodeTest, Table) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string expected;
  };
  const Case cases[] = {
      {"empty", "", ""},
      {"one byte", "M", "TQ=="},
      {"two bytes", "Ma", "TWE="},
      {"three bytes", "Man", "TWFu"},
      {"a zero byte", std::string(1, '\0'), "AA=="},
      {"zeros inside", std::string("a\0b", 3), "YQBi"},
      {"high bytes", "\xFF\xFE\x80", "//6A"},
      {"RFC 4648", "foobar", "Zm9vYmFy"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Base64Encode(ByteSet(c.bytes)), Text(c.expected)) << c.name;
  }
}

TEST(Base64EncodeTest, OneUnbrokenLineOfTheRightLength) {
  std::mt19937 random(7);
  for (std::size_t size : {57u, 58u, 100000u}) {
    const Text encoded = Base64Encode(ByteSet(RandomBytes(size, random)));
    EXPECT_EQ(encoded.size(), (size + 2) / 3 * 4);
    EXPECT_EQ(encoded.str().find_first_of("\r\n"), std::string::npos);
    if (size % 3 == 0) {
      EXPECT_EQ(encoded.str().find('='), std::string::npos);
    }
  }
}

TEST(Base64EncodeTest, MatchesOpenSslOnRandomInput) {
  std::mt19937 random(42);
  for (int round = 0; round < 200; ++round) {
    const std::string bytes = RandomBytes(random() % 5000, random);
    ASSERT_EQ(Base64Encode(ByteSet(bytes)).str(), OpenSslBase64(bytes)) << bytes.size();
  }
}

TEST(Base64EncodeTest, PortableAndAvx2PathsAgree) {
  if (!base64_internal::HasAvx2()) GTEST_SKIP() << "no AVX2 on this CPU";
  std::mt19937 random(1);
  auto encode = [](auto encoder, const std::string& bytes) {
    std::string out(base64_internal::EncodedLength(bytes.size()), '\0');
    encoder(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), out.data());
    return out;
  };
  for (std::size_t size = 0; size <= 300; ++size) {
    const std::string bytes = RandomBytes(size, random);
    ASSERT_EQ(encode(base64_internal::EncodeAvx2, bytes),
              encode(base64_internal::EncodePortable, bytes))
        << size;
  }
  for (int round = 0; round < 50; ++round) {
    const std::string bytes = RandomBytes(random() % 100000, random);
    ASSERT_EQ(encode(base64_internal::EncodeAvx2, bytes), OpenSslBase64(bytes));
  }
}

}  // namespace
}  // namespace sorvanel
