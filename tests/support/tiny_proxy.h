// A real forward HTTP proxy for tests: tinyproxy (Debian package), started on a free
// loopback port with a configuration of its own in a temporary directory. It forwards
// plain requests and tunnels CONNECT to any port, for clients on 127.0.0.1 only.
//
// The constructor starts it and waits until it accepts connections; the destructor stops
// it and removes the directory. Not copyable; use from one thread.
#ifndef SORVANEL_TESTS_SUPPORT_TINY_PROXY_H_
#define SORVANEL_TESTS_SUPPORT_TINY_PROXY_H_

#include <sys/types.h>
#include <string>

namespace sorvanel::test {

class TinyProxy {
 public:
  TinyProxy();
  ~TinyProxy();
  TinyProxy(const TinyProxy&) = delete;
  TinyProxy& operator=(const TinyProxy&) = delete;

  // Whether the proxy runs and accepts connections.
  bool ok() const { return pid_ > 0; }
  int port() const { return port_; }
  // "127.0.0.1:<port>", the form a client's proxy setting takes.
  std::string Address() const;
  // What the proxy has logged so far; with its log level every request line appears,
  // e.g. "Request (file descriptor 5): CONNECT 127.0.0.1:4433 HTTP/1.1".
  std::string Log() const;

 private:
  void Stop();

  pid_t pid_ = -1;
  int port_ = 0;
  std::string directory_;
  std::string logFile_;
};

}  // namespace sorvanel::test

#endif  // SORVANEL_TESTS_SUPPORT_TINY_PROXY_H_
