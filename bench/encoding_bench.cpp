// Base64 and URL encoding of picture-sized inputs, each beside its anchor:
// OpenSSL's EVP_EncodeBlock and libcurl's curl_easy_escape on the same bytes.
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <openssl/evp.h>

#include <random>
#include <string>

#include "encoding/base64.h"
#include "encoding/url_encode.h"

namespace {

using sorvanel::ByteSet;
using sorvanel::Text;

std::string RandomBytes(std::size_t size) {
  std::mt19937_64 random(2024);
  std::string bytes(size, '\0');
  for (char& b : bytes) b = static_cast<char>(random());
  return bytes;
}

// The Base64 text of random bytes, as a recognition request would URL-encode it.
const Text& Base64Text(std::size_t size) {
  static const Text text = sorvanel::Base64Encode(ByteSet(RandomBytes(size / 4 * 3)));
  return text;
}

void BM_Base64Encode(benchmark::State& state) {
  const ByteSet input(RandomBytes(static_cast<std::size_t>(state.range(0))));
  for (auto _ : state) {
    Text encoded = sorvanel::Base64Encode(input);
    benchmark::DoNotOptimize(encoded);
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_OpenSSLEncodeBlock(benchmark::State& state) {
  const std::string input = RandomBytes(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    // Like Base64Encode, every call gets its own output buffer.
    std::string out((input.size() + 2) / 3 * 4 + 1, '\0');
    EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                    reinterpret_cast<const unsigned char*>(input.data()),
                    static_cast<int>(input.size()));
    benchmark::DoNotOptimize(out);
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_UrlEncode(benchmark::State& state) {
  const Text& input = Base64Text(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    Text encoded = sorvanel::UrlEncode(input);
    benchmark::DoNotOptimize(encoded);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(input.size()));
}

void BM_CurlEscape(benchmark::State& state) {
  const Text& input = Base64Text(static_cast<std::size_t>(state.range(0)));
  CURL* curl = curl_easy_init();
  for (auto _ : state) {
    char* escaped = curl_easy_escape(curl, input.c_str(), static_cast<int>(input.size()));
    benchmark::DoNotOptimize(escaped);
    curl_free(escaped);
  }
  curl_easy_cleanup(curl);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(input.size()));
}

constexpr int64_t kPicture = 4 << 20;       // 4 MiB of picture bytes
constexpr int64_t kBase64Text = 5'300'000;  // the Base64 text of a 4 MiB picture
BENCHMARK(BM_Base64Encode)->Arg(kPicture)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenSSLEncodeBlock)->Arg(kPicture)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UrlEncode)->Arg(kBase64Text)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CurlEscape)->Arg(kBase64Text)->Unit(benchmark::kMicrosecond);

}  // namespace
