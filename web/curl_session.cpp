// The HTTP client behind WebRequest, over libcurl: one easy handle per exchange.
//
// The object name goes out as the request target exactly as the caller wrote it (no
// path normalisation, a fragment included), so redirects are followed here rather than
// by libcurl, which would send the first target again. The hops share the one handle,
// and with it the connection and, when asked for, the cookie store of this exchange.
#include "web/curl_session.h"

#include <curl/curl.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <chrono>
#include <memory>
#include <mutex>

#include "encoding/text_ops.h"
#include "web/url_parts.h"

namespace sorvanel {

namespace {

using Clock = std::chrono::steady_clock;

// Beyond this many redirects the last redirecting reply is returned.
constexpr int kMaxRedirects = 20;

struct EasyDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct UrlDeleter {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct CurlStringDeleter {
  void operator()(char* text) const { curl_free(text); }
};
using EasyPtr = std::unique_ptr<CURL, EasyDeleter>;
using ListPtr = std::unique_ptr<curl_slist, ListDeleter>;
using UrlPtr = std::unique_ptr<CURLU, UrlDeleter>;
using CurlString = std::unique_ptr<char, CurlStringDeleter>;

// libcurl's global set-up, once per process; thread-safe through the static's guard.
bool GlobalInit() {
  static const bool ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  return ok;
}

// What arrives during one hop.
struct Transfer {
  std::string body;
  std::string headerBlock;
  int status = 0;
  bool headersComplete = false;   // the final block has ended with its empty line
  bool stopAfterHeaders = false;  // HEAD: a reply to it has no body to wait for
  bool connected = false;
  curl_off_t moved = 0;
  Clock::time_point lastByte;
  std::chrono::milliseconds stallLimit{};
};

int StatusOf(std::string_view statusLine) {
  const std::size_t space = statusLine.find(' ');
  if (space == std::string_view::npos) return 0;
  int status = 0;
  for (std::size_t i = space + 1; i < statusLine.size() && i < space + 4; ++i) {
    if (statusLine[i] < '0' || statusLine[i] > '9') return 0;
    status = status * 10 + (statusLine[i] - '0');
  }
  return status;
}

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
  auto& transfer = *static_cast<Transfer*>(user);
  const size_t length = size * count;
  transfer.lastByte = Clock::now();
  std::string_view line(data, length);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  if (line.starts_with("HTTP/")) {
    // A new block: after an interim 1xx reply, or the first one.
    transfer.headerBlock.clear();
    transfer.headersComplete = false;
    transfer.status = StatusOf(line);
  } else if (transfer.headersComplete) {
    return length;  // trailer lines after a chunked body are not part of the block
  }
  transfer.headerBlock.append(line).append("\r\n");
  if (line.empty() && transfer.status >= 200) {
    transfer.headersComplete = true;
    // Ending the transfer here is how a HEAD request that carried a body stops waiting
    // for a reply body that never comes.
    if (transfer.stopAfterHeaders) return 0;
  }
  return length;
}

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto& transfer = *static_cast<Transfer*>(user);
  transfer.lastByte = Clock::now();
  transfer.body.append(data, size * count);
  return size * count;
}

int OnConnected(void* user, char*, char*, int, int) {
  auto& transfer = *static_cast<Transfer*>(user);
  transfer.connected = true;
  transfer.lastByte = Clock::now();
  return CURL_PREREQFUNC_OK;
}

// The stall limit: libcurl's own low-speed check averages over several seconds, so a
// stall right after a fast burst would be seen late; this measures the time since the
// last byte in either direction. Until the connection stands the connect limit rules.
int OnProgress(void* user, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded) {
  auto& transfer = *static_cast<Transfer*>(user);
  const Clock::time_point now = Clock::now();
  if (!transfer.connected || downloaded + uploaded != transfer.moved) {
    transfer.moved = downloaded + uploaded;
    transfer.lastByte = now;
    return 0;
  }
  return now - transfer.lastByte > transfer.stallLimit ? 1 : 0;
}

struct StoreDeleter {
  void operator()(X509_STORE* store) const { X509_STORE_free(store); }
};
using StorePtr = std::unique_ptr<X509_STORE, StoreDeleter>;

// The trusted certificates: the system's, where libcurl would have loaded them from,
// and the one extra CA file. libcurl reads and parses the whole system bundle for every
// new handle, which costs more than the rest of a loopback exchange, so the store is
// built once and shared by every exchange with the same extra CA file (OpenSSL guards
// a store for use on several threads). A store is kept for the latest file only.
StorePtr SharedTrustStore(const std::string& extraCaFile) {
  static std::mutex mutex;
  static std::string cachedFile;
  static StorePtr cached;
  std::lock_guard lock(mutex);
  if (!cached || cachedFile != extraCaFile) {
    StorePtr store(X509_STORE_new());
    if (!store) return nullptr;
    const EasyPtr probe(curl_easy_init());
    char* systemFile = nullptr;
    char* systemPath = nullptr;
    if (probe) {
      curl_easy_getinfo(probe.get(), CURLINFO_CAINFO, &systemFile);
      curl_easy_getinfo(probe.get(), CURLINFO_CAPATH, &systemPath);
    }
    if (systemFile != nullptr) X509_STORE_load_file(store.get(), systemFile);
    if (systemPath != nullptr) X509_STORE_load_path(store.get(), systemPath);
    // A file that does not load leaves only the system's; the check then fails.
    if (!extraCaFile.empty()) X509_STORE_load_file(store.get(), extraCaFile.c_str());
    ERR_clear_error();
    // The flags libcurl sets on a store of its own.
    X509_STORE_set_flags(store.get(), X509_V_FLAG_PARTIAL_CHAIN | X509_V_FLAG_TRUSTED_FIRST);
    cached = std::move(store);
    cachedFile = extraCaFile;
  }
  if (X509_STORE_up_ref(cached.get()) != 1) return nullptr;
  return StorePtr(cached.get());
}

// Puts the shared trust store in place of the empty one libcurl has made.
CURLcode OnSslContext(CURL*, void* sslContext, void* user) {
  const StorePtr store = SharedTrustStore(*static_cast<const std::string*>(user));
  if (!store) return CURLE_OUT_OF_MEMORY;
  SSL_CTX_set1_cert_store(static_cast<SSL_CTX*>(sslContext), store.get());
  return CURLE_OK;
}

// Whether a header line of the block names `name`, the way libcurl looks for a header
// of the caller's before it adds its own.
bool NamesHeader(const std::vector<Text>& lines, std::string_view name) {
  for (const Text& line : lines) {
    const std::string_view text = line.view();
    if (text.size() > name.size() && EqualsIgnoreCase(text.substr(0, name.size()), name) &&
        (text[name.size()] == ':' || text[name.size()] == ';')) {
      return true;
    }
  }
  return false;
}

bool Append(ListPtr& list, const std::string& line) {
  curl_slist* head = curl_slist_append(list.get(), line.c_str());
  if (head == nullptr) return false;
  (void)list.release();
  list.reset(head);
  return true;
}

// The header block as libcurl's list, plus an empty "Name:" entry for each header that
// libcurl would otherwise add of its own accord (Proxy-Connection on a plain request
// through a proxy among them): nothing goes out beyond the block but Host,
// Content-Length and the agent.
std::optional<ListPtr> HeaderList(const std::vector<Text>& lines) {
  ListPtr list;
  for (const Text& line : lines) {
    // An empty piece would end the header block early.
    if (!line.empty() && !Append(list, line.str())) return std::nullopt;
  }
  for (const char* own : {"Accept", "Content-Type", "Expect", "Proxy-Connection"}) {
    if (!NamesHeader(lines, own) && !Append(list, std::string(own) + ":")) return std::nullopt;
  }
  return list;
}

bool IsSecure(const Text& url) { return StartsWith(url.view(), "https://", Case::kIgnore); }

// Where one hop goes.
struct Hop {
  Text url;
  std::string verb;
  bool sendBody = false;
};

// Points the handle at the hop's address. False when the address has no usable host or
// port; the handle is then unchanged.
bool AimHop(CURL* handle, const Hop& hop, const HttpExchange& exchange, UrlPtr& urlHandle,
            std::string& target) {
  const bool secure = IsSecure(hop.url);
  const Text host = UrlHost(hop.url, false);
  int port = UrlPort(hop.url);
  if (port == 0) port = secure ? 443 : 80;
  if (host.empty() || port < 0 || port > 65535) return false;
  const std::string scheme = secure ? "https://" : "http://";
  const std::string origin = scheme + host.str() + ":" + std::to_string(port);
  const Text object = UrlObject(hop.url);

  // libcurl's own parse of the address only serves the connection and the cookie
  // paths; an object name it does not accept falls back to "/" there and still goes out
  // unchanged as the target.
  UrlPtr parsed(curl_url());
  if (!parsed) return false;
  const unsigned flags = CURLU_PATH_AS_IS | CURLU_ALLOW_SPACE;
  if (curl_url_set(parsed.get(), CURLUPART_URL, (origin + object.str()).c_str(), flags) !=
          CURLUE_OK &&
      curl_url_set(parsed.get(), CURLUPART_URL, (origin + "/").c_str(), flags) != CURLUE_OK) {
    return false;
  }
  // Through a proxy a plain request names the whole address; a secure one tunnels.
  if (!secure && !exchange.proxy.empty()) {
    target = scheme + host.str();
    if (port != 80) target.append(":").append(std::to_string(port));
    target += object.str();
  } else {
    target = object.str();
  }
  urlHandle = std::move(parsed);
  curl_easy_setopt(handle, CURLOPT_CURLU, urlHandle.get());
  curl_easy_setopt(handle, CURLOPT_REQUEST_TARGET, target.c_str());
  curl_easy_setopt(handle, CURLOPT_HTTPPROXYTUNNEL, secure && !exchange.proxy.empty() ? 1L : 0L);

  if (!hop.sendBody) {
    curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(handle, CURLOPT_CUSTOMREQUEST, nullptr);
  } else {
    // A POST in libcurl's terms, with the verb's own name on the request line.
    curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE,
                     static_cast<curl_off_t>(exchange.body.size()));
    curl_easy_setopt(handle, CURLOPT_POSTFIELDS, exchange.body.empty() ? "" : exchange.body.data());
    curl_easy_setopt(handle, CURLOPT_CUSTOMREQUEST,
                     hop.verb == "POST" ? nullptr : hop.verb.c_str());
  }
  return true;
}

// The address a redirecting reply sends the next hop to, resolved against the current
// one; nullopt when the reply does not redirect or the new address is not usable.
std::optional<Text> RedirectTarget(const Transfer& transfer, CURLU* current) {
  switch (transfer.status) {
    case 301:
    case 302:
    case 303:
    case 307:
    case 308:
      break;
    default:
      return std::nullopt;
  }
  std::string location;
  for (const Text& line : Split(transfer.headerBlock, "\r\n")) {
    if (StartsWith(line.view(), "location:", Case::kIgnore)) {
      location = Trim(line.view().substr(9)).str();
      break;
    }
  }
  if (location.empty()) return std::nullopt;
  UrlPtr next(curl_url_dup(current));
  if (!next || curl_url_set(next.get(), CURLUPART_URL, location.c_str(),
                            CURLU_URLENCODE | CURLU_ALLOW_SPACE) != CURLUE_OK) {
    return std::nullopt;
  }
  curl_url_set(next.get(), CURLUPART_FRAGMENT, nullptr, 0);
  char* raw = nullptr;
  if (curl_url_get(next.get(), CURLUPART_URL, &raw, 0) != CURLUE_OK) return std::nullopt;
  const CurlString address(raw);
  const Text result(std::string_view(address.get()));
  if (!StartsWith(result.view(), "http://", Case::kIgnore) && !IsSecure(result)) {
    return std::nullopt;
  }
  return result;
}

// What a finished transfer's code means to a caller. The certificate check fails with
// one code for every reason; the verification result tells them apart. libcurl checks
// the host name itself once the chain has verified, and fails before it stores the
// chain's result, which then still holds its initial value (1, that is !X509_V_OK).
WebFailure FailureOf(CURLcode code, CURL* handle, const Transfer& transfer) {
  switch (code) {
    case CURLE_OK:
      return WebFailure::kNone;
    case CURLE_WRITE_ERROR:
      // How a HEAD reply ends on purpose once its header block is complete.
      return transfer.stopAfterHeaders && transfer.headersComplete ? WebFailure::kNone
                                                                   : WebFailure::kOther;
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL:
      return WebFailure::kBadAddress;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return WebFailure::kHostNotFound;
    case CURLE_COULDNT_CONNECT:
      return WebFailure::kRefused;
    case CURLE_OPERATION_TIMEDOUT:
      return WebFailure::kConnectTimedOut;
    case CURLE_ABORTED_BY_CALLBACK:
      return WebFailure::kStalled;  // the only callback that aborts is the stall check
    case CURLE_PEER_FAILED_VERIFICATION: {
      long result = X509_V_OK;
      curl_easy_getinfo(handle, CURLINFO_SSL_VERIFYRESULT, &result);
      switch (result) {
        case X509_V_OK:
        case !X509_V_OK:
        case X509_V_ERR_HOSTNAME_MISMATCH:
        case X509_V_ERR_IP_ADDRESS_MISMATCH:
          return WebFailure::kHostNameMismatch;
        case X509_V_ERR_CERT_HAS_EXPIRED:
        case X509_V_ERR_CERT_NOT_YET_VALID:
          return WebFailure::kCertificateExpired;
        default:
          return WebFailure::kCertificateUntrusted;
      }
    }
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
      return WebFailure::kTlsFailed;
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
      return WebFailure::kConnectionLost;
    default:
      return WebFailure::kOther;
  }
}

std::chrono::milliseconds OrDefault(std::chrono::milliseconds value,
                                    std::chrono::milliseconds fallback) {
  return value.count() > 0 ? value : fallback;
}

}  // namespace

std::optional<HttpReply> PerformExchange(const HttpExchange& exchange,
                                         const WebSettings& settings) {
  if (!GlobalInit()) return std::nullopt;
  EasyPtr easy(curl_easy_init());
  if (!easy) return std::nullopt;
  CURL* handle = easy.get();

  const std::vector<Text> lines = Split(exchange.headerBlock, "\r\n");
  std::optional<ListPtr> headers = HeaderList(lines);
  if (!headers) return std::nullopt;

  Hop hop{exchange.url, exchange.verb, exchange.sendBody};
  UrlPtr url;
  std::string target;
  if (!AimHop(handle, hop, exchange, url, target)) return std::nullopt;

  const WebSettings defaults;
  Transfer transfer;
  transfer.stallLimit = OrDefault(settings.stallTimeout, defaults.stallTimeout);
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers->get());
  curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(handle, CURLOPT_HTTP_CONTENT_DECODING, 0L);
  curl_easy_setopt(handle, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  curl_easy_setopt(
      handle, CURLOPT_CONNECTTIMEOUT_MS,
      static_cast<long>(OrDefault(settings.connectTimeout, defaults.connectTimeout).count()));
  if (!NamesHeader(lines, "User-Agent")) {
    // The agent is one header value; a line break in it would start a header of its own.
    const std::string agent = exchange.agent.substr(0, exchange.agent.find_first_of("\r\n"));
    curl_easy_setopt(handle, CURLOPT_USERAGENT, agent.c_str());
  }
  // An empty proxy text also keeps libcurl from taking one from the environment.
  const std::string proxy =
      exchange.proxy.empty() || exchange.proxy.find("://") != std::string::npos
          ? exchange.proxy
          : "http://" + exchange.proxy;
  curl_easy_setopt(handle, CURLOPT_PROXY, proxy.c_str());
  if (exchange.cookieStore) curl_easy_setopt(handle, CURLOPT_COOKIEFILE, "");
  curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
  // libcurl loads no certificates itself: the shared store takes their place.
  curl_easy_setopt(handle, CURLOPT_CAINFO, nullptr);
  curl_easy_setopt(handle, CURLOPT_CAPATH, nullptr);
  curl_easy_setopt(handle, CURLOPT_SSL_CTX_FUNCTION, OnSslContext);
  curl_easy_setopt(handle, CURLOPT_SSL_CTX_DATA, &settings.extraCaFile);
  curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(handle, CURLOPT_HEADERDATA, &transfer);
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(handle, CURLOPT_PREREQFUNCTION, OnConnected);
  curl_easy_setopt(handle, CURLOPT_PREREQDATA, &transfer);
  curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, OnProgress);
  curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &transfer);

  WebFailure failure = WebFailure::kNone;
  for (int redirects = 0;; ++redirects) {
    transfer.body.clear();
    transfer.headerBlock.clear();
    transfer.status = 0;
    transfer.headersComplete = false;
    transfer.stopAfterHeaders = hop.verb == "HEAD";
    transfer.connected = false;
    transfer.moved = 0;
    transfer.lastByte = Clock::now();
    // What arrived, if anything, is the reply; the failure only says why it is short.
    failure = FailureOf(curl_easy_perform(handle), handle, transfer);

    if (!exchange.followRedirects || redirects == kMaxRedirects) break;
    std::optional<Text> next = RedirectTarget(transfer, url.get());
    // A secure exchange is not led onto plain text.
    if (!next || (IsSecure(hop.url) && !IsSecure(*next))) break;
    Hop nextHop{*next, hop.verb, hop.sendBody};
    // The verbs a redirect changes, as browsers do: 303 asks for a GET, and a POST
    // redirected by 301 or 302 becomes one; 307 and 308 keep the verb and the body.
    if ((transfer.status == 303 && hop.verb != "HEAD") ||
        ((transfer.status == 301 || transfer.status == 302) && hop.verb == "POST")) {
      nextHop.verb = "GET";
      nextHop.sendBody = false;
    }
    UrlPtr nextUrl;
    std::string nextTarget;
    if (!AimHop(handle, nextHop, exchange, nextUrl, nextTarget)) break;
    hop = std::move(nextHop);
    url = std::move(nextUrl);
    target = std::move(nextTarget);
  }
  return HttpReply{std::move(transfer.body), std::move(transfer.headerBlock), failure};
}

}  // namespace sorvanel
