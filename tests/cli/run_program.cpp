#include "tests/cli/run_program.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace sorvanel::test {
namespace {

void CloseIfOpen(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

}  // namespace

ProgramResult RunProgram(const std::string& program, const ProgramRun& run) {
  ProgramResult result;
  int in[2], out[2], err[2] = {-1, -1};
  if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) return result;
  if (run.terminalError) {
    if (::openpty(&err[0], &err[1], nullptr, nullptr, nullptr) != 0) return result;
    ::fcntl(err[0], F_SETFD, FD_CLOEXEC);
    ::fcntl(err[1], F_SETFD, FD_CLOEXEC);
  } else if (::pipe2(err, O_CLOEXEC) != 0) {
    return result;
  }

  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (std::strncmp(*entry, "SORVANEL_", 9) != 0) environment.emplace_back(*entry);
  }
  environment.insert(environment.end(), run.environment.begin(), run.environment.end());
  std::vector<char*> envp, argv;
  for (std::string& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::vector<std::string> arguments{program};
  arguments.insert(arguments.end(), run.arguments.begin(), run.arguments.end());
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  const pid_t child = ::fork();
  if (child < 0) return result;
  if (child == 0) {
    ::dup2(in[0], 0);
    ::dup2(out[1], 1);
    ::dup2(err[1], 2);
    if (!run.workingDirectory.empty() && ::chdir(run.workingDirectory.c_str()) != 0) _exit(127);
    ::execve(program.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  CloseIfOpen(in[0]);
  CloseIfOpen(out[1]);
  CloseIfOpen(err[1]);

  // Feed standard input and drain both outputs until the outputs end.
  ::signal(SIGPIPE, SIG_IGN);
  std::size_t fed = 0;
  if (run.input.empty()) CloseIfOpen(in[1]);
  const auto deadline = std::chrono::steady_clock::now() + run.limit;
  bool killed = false;
  while (out[0] >= 0 || err[0] >= 0) {
    pollfd fds[3] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}, {in[1], POLLOUT, 0}};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      ::kill(child, SIGKILL);
      killed = true;
      break;
    }
    if (::poll(fds, 3, static_cast<int>(left.count())) < 0 && errno != EINTR) break;
    char buffer[65536];
    std::string* sinks[2] = {&result.out, &result.err};
    int* sources[2] = {&out[0], &err[0]};
    for (int i = 0; i < 2; ++i) {
      if (*sources[i] < 0 || fds[i].revents == 0) continue;
      const ssize_t got = ::read(*sources[i], buffer, sizeof buffer);
      // A pseudo-terminal reports EIO once the last writer has gone.
      if (got <= 0) {
        if (got < 0 && errno == EINTR) continue;
        CloseIfOpen(*sources[i]);
      } else {
        sinks[i]->append(buffer, static_cast<std::size_t>(got));
      }
    }
    if (in[1] >= 0 && fds[2].revents != 0) {
      const ssize_t written = ::write(in[1], run.input.data() + fed, run.input.size() - fed);
      if (written > 0) fed += static_cast<std::size_t>(written);
      if (written < 0 || fed == run.input.size()) CloseIfOpen(in[1]);
    }
  }
  CloseIfOpen(in[1]);
  CloseIfOpen(out[0]);
  CloseIfOpen(err[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!killed && WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
  return result;
}

}  // namespace sorvanel::test
