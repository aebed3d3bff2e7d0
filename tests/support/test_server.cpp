#include "tests/support/test_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <mutex>
#include <thread>
#include <utility>

#include "tests/support/test_certificates.h"

namespace sorvanel::test {

namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The name and value of a header line; the name is empty for a line without a colon.
std::pair<std::string_view, std::string_view> SplitHeader(std::string_view line) {
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) return {};
  return {TrimBlanks(line.substr(0, colon)), TrimBlanks(line.substr(colon + 1))};
}

const char* ReasonPhrase(int status) {
  switch (status) {
    case 100:
      return "Continue";
    case 200:
      return "OK";
    case 204:
      return "No Content";
    case 301:
      return "Moved Permanently";
    case 302:
      return "Found";
    case 303:
      return "See Other";
    case 307:
      return "Temporary Redirect";
    case 308:
      return "Permanent Redirect";
    case 400:
      return "Bad Request";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    default:
      return "Status";
  }
}

std::optional<std::size_t> ParseSize(std::string_view text, int base) {
  text = TrimBlanks(text);
  std::size_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

class Fd {
 public:
  Fd() = default;
  explicit Fd(int fd) : fd_(fd) {}
  Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Fd& operator=(Fd&& other) noexcept {
    if (this != &other) {
      Reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  ~Fd() { Reset(); }
  int get() const { return fd_; }
  void Reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

struct SslDeleter {
  void operator()(SSL* ssl) const { SSL_free(ssl); }
};
struct SslContextDeleter {
  void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
};

// One accepted connection, plain or TLS, on a non-blocking socket. Every wait also
// watches the server's stop pipe, so a stop ends a stalled connection at once.
class Connection {
 public:
  Connection(Fd fd, SSL_CTX* tls, int stopFd) : fd_(std::move(fd)), stopFd_(stopFd) {
    if (tls != nullptr) {
      ssl_.reset(SSL_new(tls));
      if (ssl_) SSL_set_fd(ssl_.get(), fd_.get());
    }
  }

  bool Handshake() {
    if (!ssl_) return true;
    for (;;) {
      const int result = SSL_accept(ssl_.get());
      if (result == 1) return true;
      if (!WaitFor(SSL_get_error(ssl_.get(), result))) return false;
    }
  }

  // Up to `size` bytes; 0 when the peer closed, on an error or when the server stops.
  std::size_t Read(char* data, std::size_t size) {
    for (;;) {
      if (ssl_) {
        const int result = SSL_read(ssl_.get(), data, static_cast<int>(size));
        if (result > 0) return static_cast<std::size_t>(result);
        if (!WaitFor(SSL_get_error(ssl_.get(), result))) return 0;
      } else {
        const ssize_t result = ::recv(fd_.get(), data, size, 0);
        if (result > 0) return static_cast<std::size_t>(result);
        if (result == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) return 0;
        if (!Wait(POLLIN)) return 0;
      }
    }
  }

  bool WriteAll(std::string_view data) {
    while (!data.empty()) {
      const std::size_t chunk = std::min<std::size_t>(data.size(), 1 << 16);
      if (ssl_) {
        const int result = SSL_write(ssl_.get(), data.data(), static_cast<int>(chunk));
        if (result > 0) {
          data.remove_prefix(static_cast<std::size_t>(result));
        } else if (!WaitFor(SSL_get_error(ssl_.get(), result))) {
          return false;
        }
      } else {
        const ssize_t result = ::send(fd_.get(), data.data(), chunk, MSG_NOSIGNAL);
        if (result > 0) {
          data.remove_prefix(static_cast<std::size_t>(result));
        } else if (result < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
          if (!Wait(POLLOUT)) return false;
        } else {
          return false;
        }
      }
    }
    return true;
  }

  // Holds the connection open, sending nothing, until the peer closes or the server
  // stops.
  void Stall() {
    char sink[4096];
    while (Read(sink, sizeof sink) > 0) {
    }
  }

  // Waits `delay`; false when the server stops meanwhile.
  bool Pause(std::chrono::milliseconds delay) {
    pollfd stop = {stopFd_, POLLIN, 0};
    return ::poll(&stop, 1, static_cast<int>(delay.count())) == 0;
  }

  void Close() {
    if (ssl_) SSL_shutdown(ssl_.get());
    fd_.Reset();
  }

 private:
  bool WaitFor(int sslError) {
    if (sslError == SSL_ERROR_WANT_READ) return Wait(POLLIN);
    if (sslError == SSL_ERROR_WANT_WRITE) return Wait(POLLOUT);
    ERR_clear_error();
    return false;
  }

  bool Wait(short events) {
    pollfd fds[2] = {{fd_.get(), events, 0}, {stopFd_, POLLIN, 0}};
    for (;;) {
      const int ready = ::poll(fds, 2, -1);
      if (ready < 0 && errno == EINTR) continue;
      if (ready < 0 || (fds[1].revents & POLLIN) != 0) return false;
      // An error or hang-up is reported by the read or write that follows.
      return true;
    }
  }

  Fd fd_;
  std::unique_ptr<SSL, SslDeleter> ssl_;
  int stopFd_;
};

// Reads requests off a connection, keeping what arrived beyond the current one.
class RequestReader {
 public:
  explicit RequestReader(Connection& connection) : connection_(connection) {}

  // The next whole request; nullopt when the connection ends first or the request is
  // malformed. A client waiting for "100 Continue" before its body gets it.
  std::optional<RecordedRequest> Next(bool recordBody) {
    std::size_t headEnd;
    while ((headEnd = pending_.find("\r\n\r\n")) == std::string::npos) {
      if (!Fill()) return std::nullopt;
    }
    RecordedRequest request;
    std::string_view head(pending_.data(), headEnd);
    std::size_t lineEnd = head.find("\r\n");
    request.requestLine = std::string(head.substr(0, lineEnd));
    while (lineEnd != std::string_view::npos) {
      const std::size_t start = lineEnd + 2;
      lineEnd = head.find("\r\n", start);
      request.headerLines.emplace_back(head.substr(start, lineEnd - start));
    }
    const std::size_t space = request.requestLine.find(' ');
    request.method = request.requestLine.substr(0, space);
    if (space != std::string::npos) {
      const std::size_t secondSpace = request.requestLine.rfind(' ');
      request.target = request.requestLine.substr(
          space + 1, secondSpace > space ? secondSpace - space - 1 : std::string::npos);
    }
    pending_.erase(0, headEnd + 4);

    if (EqualsNoCase(request.Header("Expect").value_or(""), "100-continue") &&
        !connection_.WriteAll("HTTP/1.1 100 Continue\r\n\r\n")) {
      return std::nullopt;
    }
    std::string body;
    if (EqualsNoCase(request.Header("Transfer-Encoding").value_or(""), "chunked")) {
      if (!ReadChunked(body)) return std::nullopt;
    } else {
      std::optional<std::size_t> length =
          ParseSize(request.Header("Content-Length").value_or("0"), 10);
      if (!length || !Take(*length, &body)) return std::nullopt;
    }
    request.bodySize = body.size();
    if (recordBody) request.body = std::move(body);
    return request;
  }

 private:
  bool Fill() {
    char buffer[1 << 16];
    const std::size_t got = connection_.Read(buffer, sizeof buffer);
    if (got == 0) return false;
    pending_.append(buffer, got);
    return true;
  }

  bool Take(std::size_t length, std::string* out) {
    while (pending_.size() < length) {
      if (!Fill()) return false;
    }
    out->append(pending_, 0, length);
    pending_.erase(0, length);
    return true;
  }

  bool TakeLine(std::string* line) {
    std::size_t end;
    while ((end = pending_.find("\r\n")) == std::string::npos) {
      if (!Fill()) return false;
    }
    *line = pending_.substr(0, end);
    pending_.erase(0, end + 2);
    return true;
  }

  bool ReadChunked(std::string& body) {
    for (;;) {
      std::string sizeLine;
      if (!TakeLine(&sizeLine)) return false;
      const std::optional<std::size_t> size = ParseSize(sizeLine.substr(0, sizeLine.find(';')), 16);
      if (!size) return false;
      if (*size == 0) {
        std::string trailer;
        do {
          if (!TakeLine(&trailer)) return false;
        } while (!trailer.empty());
        return true;
      }
      std::string crlf;
      if (!Take(*size, &body) || !TakeLine(&crlf)) return false;
    }
  }

  Connection& connection_;
  std::string pending_;
};

bool NamesHeader(const std::vector<std::string>& lines, std::string_view name) {
  return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
    return EqualsNoCase(SplitHeader(line).first, name);
  });
}

}  // namespace

std::optional<std::string> RecordedRequest::Header(std::string_view name) const {
  for (const std::string& line : headerLines) {
    auto [lineName, value] = SplitHeader(line);
    if (EqualsNoCase(lineName, name)) return std::string(value);
  }
  return std::nullopt;
}

int RecordedRequest::HeaderCount(std::string_view name) const {
  return static_cast<int>(std::count_if(
      headerLines.begin(), headerLines.end(),
      [&](const std::string& line) { return EqualsNoCase(SplitHeader(line).first, name); }));
}

Reply Reply::Text(std::string body, int status) {
  Reply reply;
  reply.status = status;
  reply.headerLines = {"Content-Type: text/plain"};
  reply.body = std::move(body);
  return reply;
}

Reply Reply::Redirect(int status, std::string location) {
  Reply reply;
  reply.status = status;
  reply.headerLines = {"Location: " + std::move(location)};
  reply.body = "moved";
  return reply;
}

struct TestServer::Impl {
  RequestHandler handler;
  Options options;
  std::unique_ptr<SSL_CTX, SslContextDeleter> tls;
  Fd listener;
  Fd stopRead, stopWrite;
  int port = 0;
  bool ok = false;
  std::atomic<std::size_t> connections{0};

  mutable std::mutex mutex;  // guards requests and workers
  std::vector<RecordedRequest> requests;
  std::vector<std::thread> workers;
  std::thread acceptor;

  bool Start() {
    // A client that goes away mid-reply must not end the test process.
    ::signal(SIGPIPE, SIG_IGN);
    if (options.certificates != nullptr) {
      if (!options.certificates->ok()) return false;
      tls.reset(SSL_CTX_new(TLS_server_method()));
      if (!tls ||
          SSL_CTX_use_certificate_chain_file(tls.get(), options.certificates->certFile().c_str()) !=
              1 ||
          SSL_CTX_use_PrivateKey_file(tls.get(), options.certificates->keyFile().c_str(),
                                      SSL_FILETYPE_PEM) != 1) {
        return false;
      }
      SSL_CTX_set_mode(tls.get(), SSL_MODE_ENABLE_PARTIAL_WRITE);
    }
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return false;
    stopRead = Fd(pipeFds[0]);
    stopWrite = Fd(pipeFds[1]);

    listener = Fd(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (listener.get() < 0) return false;
    const int on = 1;
    ::setsockopt(listener.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener.get(), 64) != 0 ||
        ::getsockname(listener.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      return false;
    }
    port = ntohs(address.sin_port);
    acceptor = std::thread([this] { AcceptLoop(); });
    return true;
  }

  void Stop() {
    if (stopWrite.get() >= 0) {
      const char byte = 0;
      // The byte is never read: the pipe stays readable and wakes every waiter.
      (void)!::write(stopWrite.get(), &byte, 1);
    }
    if (acceptor.joinable()) acceptor.join();
    std::vector<std::thread> toJoin;
    {
      std::lock_guard lock(mutex);
      toJoin.swap(workers);
    }
    for (std::thread& worker : toJoin) worker.join();
  }

  void AcceptLoop() {
    pollfd fds[2] = {{listener.get(), POLLIN, 0}, {stopRead.get(), POLLIN, 0}};
    for (;;) {
      if (::poll(fds, 2, -1) < 0) {
        if (errno == EINTR) continue;
        return;
      }
      if ((fds[1].revents & POLLIN) != 0) return;
      Fd client(::accept4(listener.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
      if (client.get() < 0) continue;
      // Replies go out at once, as a real service sends them: without this, Nagle's
      // rule holds a reply behind the unacknowledged TLS session tickets until the
      // client's delayed acknowledgement, some 40 ms.
      const int noDelay = 1;
      ::setsockopt(client.get(), IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
      ++connections;
      std::lock_guard lock(mutex);
      workers.emplace_back([this, fd = std::move(client)]() mutable { Serve(std::move(fd)); });
    }
  }

  void Serve(Fd fd) {
    Connection connection(std::move(fd), tls.get(), stopRead.get());
    if (!connection.Handshake()) return;
    RequestReader reader(connection);
    for (;;) {
      std::optional<RecordedRequest> request = reader.Next(options.recordBodies);
      if (!request) return;
      {
        std::lock_guard lock(mutex);
        requests.push_back(*request);
      }
      const Reply reply = handler(*request);
      if (!Answer(connection, *request, reply)) return;
    }
  }

  // Sends the reply; false when the connection is to end after it.
  static bool Answer(Connection& connection, const RecordedRequest& request, const Reply& reply) {
    if (reply.fault == Reply::Fault::kStallBeforeReply) {
      connection.Stall();
      return false;
    }
    std::string head =
        "HTTP/1.1 " + std::to_string(reply.status) + " " + ReasonPhrase(reply.status) + "\r\n";
    for (const std::string& line : reply.headerLines) head += line + "\r\n";
    if (reply.addContentLength && !NamesHeader(reply.headerLines, "Content-Length")) {
      head += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
    }
    head += "\r\n";
    const bool headRequest = request.method == "HEAD";
    std::string_view body = headRequest ? std::string_view() : std::string_view(reply.body);
    if (reply.fault != Reply::Fault::kNone) body = body.substr(0, reply.faultAfter);
    if (reply.pieceSize > 0) {
      if (!connection.WriteAll(head)) return false;
      for (std::size_t at = 0; at < body.size(); at += reply.pieceSize) {
        if ((at > 0 && !connection.Pause(reply.pieceDelay)) ||
            !connection.WriteAll(body.substr(at, reply.pieceSize))) {
          return false;
        }
      }
    } else if (!connection.WriteAll(head + std::string(body))) {
      // Head and body in one write, as servers commonly do.
      return false;
    }
    switch (reply.fault) {
      case Reply::Fault::kCloseMidBody:
        return false;
      case Reply::Fault::kStallMidBody:
        connection.Stall();
        return false;
      default:
        break;
    }
    const bool close =
        std::any_of(reply.headerLines.begin(), reply.headerLines.end(), [](const std::string& l) {
          auto [name, value] = SplitHeader(l);
          return EqualsNoCase(name, "Connection") && EqualsNoCase(value, "close");
        });
    if (close) connection.Close();
    return !close;
  }
};

TestServer::TestServer(RequestHandler handler) : TestServer(std::move(handler), Options{}) {}

TestServer::TestServer(RequestHandler handler, Options options) : impl_(std::make_unique<Impl>()) {
  impl_->handler = std::move(handler);
  impl_->options = options;
  impl_->ok = impl_->Start();
}

TestServer::~TestServer() { impl_->Stop(); }

bool TestServer::ok() const { return impl_->ok; }
int TestServer::port() const { return impl_->port; }
bool TestServer::secure() const { return impl_->tls != nullptr; }

std::string TestServer::Url(std::string_view path) const {
  return std::string(secure() ? "https" : "http") + "://127.0.0.1:" + std::to_string(port()) +
         std::string(path);
}

std::vector<RecordedRequest> TestServer::Requests() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->requests;
}

std::optional<RecordedRequest> TestServer::LastRequest() const {
  std::lock_guard lock(impl_->mutex);
  if (impl_->requests.empty()) return std::nullopt;
  return impl_->requests.back();
}

std::size_t TestServer::RequestCount() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->requests.size();
}

std::size_t TestServer::ConnectionCount() const { return impl_->connections; }

int UnusedLoopbackPort() {
  Fd probe(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (probe.get() < 0) return 0;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (::bind(probe.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::getsockname(probe.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    return 0;
  }
  return ntohs(address.sin_port);
}

}  // namespace sorvanel::test
