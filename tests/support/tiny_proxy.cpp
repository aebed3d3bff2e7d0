#include "tests/support/tiny_proxy.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/support/test_server.h"

namespace sorvanel::test {

namespace {

using namespace std::chrono_literals;

bool Accepts(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return connected;
}

bool Exited(pid_t pid) {
  int status = 0;
  return ::waitpid(pid, &status, WNOHANG) == pid;
}

// Starts tinyproxy in the foreground with its output going to `logFile`; -1 on failure.
pid_t Spawn(const std::string& config, const std::string& logFile) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logFile.c_str(),
                                   O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  std::string program = "tinyproxy", foreground = "-d", configFlag = "-c", configPath = config;
  char* argv[] = {program.data(), foreground.data(), configFlag.data(), configPath.data(), nullptr};
  pid_t pid = -1;
  const int result = posix_spawnp(&pid, "tinyproxy", &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  return result == 0 ? pid : -1;
}

}  // namespace

TinyProxy::TinyProxy() {
  std::error_code error;
  std::string pattern = std::filesystem::temp_directory_path(error) / "sorvanel-proxy-XXXXXX";
  if (error || ::mkdtemp(pattern.data()) == nullptr) return;
  directory_ = pattern;
  logFile_ = directory_ + "/tinyproxy.log";
  const std::string config = directory_ + "/tinyproxy.conf";

  // The free port is found by binding and releasing it, so another process may take it
  // before tinyproxy does: then try another.
  for (int attempt = 0; attempt < 5 && pid_ < 0; ++attempt) {
    const int port = UnusedLoopbackPort();
    if (port == 0) continue;
    {
      // No ConnectPort line: CONNECT is allowed to every port.
      std::ofstream out(config, std::ios::trunc);
      out << "Port " << port << "\n"
          << "Listen 127.0.0.1\n"
          << "Timeout 30\n"
          << "MaxClients 50\n"
          << "LogLevel Connect\n"
          << "Allow 127.0.0.1\n";
      if (!out) return;
    }
    const pid_t pid = Spawn(config, logFile_);
    if (pid < 0) return;
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    bool exited = false;
    while (std::chrono::steady_clock::now() < deadline) {
      if (Exited(pid)) {
        exited = true;
        break;
      }
      if (Accepts(port)) {
        pid_ = pid;
        port_ = port;
        break;
      }
      std::this_thread::sleep_for(20ms);
    }
    if (pid_ < 0 && !exited) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
    }
  }
}

TinyProxy::~TinyProxy() {
  Stop();
  if (directory_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(directory_, ignored);
}

void TinyProxy::Stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  const auto deadline = std::chrono::steady_clock::now() + 3s;
  while (!Exited(pid_)) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
      break;
    }
    std::this_thread::sleep_for(10ms);
  }
  pid_ = -1;
}

std::string TinyProxy::Address() const { return "127.0.0.1:" + std::to_string(port_); }

std::string TinyProxy::Log() const {
  std::ifstream in(logFile_);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace sorvanel::test
