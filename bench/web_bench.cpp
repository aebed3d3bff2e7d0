// A POST of a 5.3 MiB form body to a local HTTPS server: WebRequest against libcurl
// driven directly with the same transport options, in the same run.
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <openssl/err.h>
#include <openssl/ssl.h>

#include <memory>
#include <string>

#include "tests/support/test_certificates.h"
#include "tests/support/test_server.h"
#include "web/request_headers.h"
#include "web/web_request.h"
#include "web/web_settings.h"

namespace {

using sorvanel::test::RecordedRequest;
using sorvanel::test::Reply;
using sorvanel::test::TestCertificates;
using sorvanel::test::TestServer;

constexpr std::size_t kBodySize = 5557452;  // 5.3 MiB

const std::string& Body() {
  static const std::string body = [] {
    std::string text(kBodySize, 'a');
    for (std::size_t i = 0; i < text.size(); ++i) text[i] = "abcdefghij%2B%3D"[i % 16];
    return text;
  }();
  return body;
}

TestServer& Server() {
  static TestServer server(
      [](const RecordedRequest& r) { return Reply::Text(std::to_string(r.bodySize)); },
      TestServer::Options{.certificates = &TestCertificates::Shared(), .recordBodies = false});
  return server;
}

void TrustTestCa() {
  sorvanel::WebSettings settings;
  settings.extraCaFile = TestCertificates::Shared().caFile();
  sorvanel::SetWebSettings(settings);
}

void BM_WebRequestPost(benchmark::State& state) {
  TrustTestCa();
  const sorvanel::Text url = Server().Url("/rest/ocr?access_token=t");
  const sorvanel::Text body(Body());
  for (auto _ : state) {
    const sorvanel::ByteSet reply = sorvanel::WebRequest(url, 1, body);
    if (reply.view() != std::to_string(kBodySize)) state.SkipWithError("wrong reply");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBodySize));
}
BENCHMARK(BM_WebRequestPost)->Unit(benchmark::kMillisecond)->UseRealTime();

size_t Collect(char* data, size_t size, size_t count, void* user) {
  static_cast<std::string*>(user)->append(data, size * count);
  return size * count;
}

size_t Ignore(char*, size_t size, size_t count, void*) { return size * count; }

CURLcode AddCa(CURL*, void* context, void* user) {
  X509_STORE_load_file(SSL_CTX_get_cert_store(static_cast<SSL_CTX*>(context)),
                       static_cast<const std::string*>(user)->c_str());
  ERR_clear_error();
  return CURLE_OK;
}

void BM_CurlDirectPost(benchmark::State& state) {
  curl_global_init(CURL_GLOBAL_DEFAULT);
  const std::string url = Server().Url("/rest/ocr?access_token=t");
  const std::string caFile = TestCertificates::Shared().caFile();
  const std::string& body = Body();
  for (auto _ : state) {
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> handle(curl_easy_init(), curl_easy_cleanup);
    curl_slist* headers = nullptr;
    for (const char* line : {"Accept: */*", "Accept-Language: zh-cn",
                             "Content-Type: application/x-www-form-urlencoded", "Expect:"}) {
      headers = curl_slist_append(headers, line);
    }
    const std::string referer = "Referer: " + url;
    headers = curl_slist_append(headers, referer.c_str());
    std::string reply;
    CURL* h = handle.get();
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(h, CURLOPT_USERAGENT, sorvanel::kDefaultAgent);
    curl_easy_setopt(h, CURLOPT_PROXY, "");
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, 60000L);
    curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(h, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(h, CURLOPT_SSL_CTX_FUNCTION, AddCa);
    curl_easy_setopt(h, CURLOPT_SSL_CTX_DATA, &caFile);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &reply);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, Ignore);
    curl_easy_perform(h);
    curl_slist_free_all(headers);
    if (reply != std::to_string(kBodySize)) state.SkipWithError("wrong reply");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBodySize));
}
BENCHMARK(BM_CurlDirectPost)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
