// Test support: runs a program as a separate process, as a user's shell would, and
// collects what it wrote and how it ended.
//
// Standard input is fed from a string, standard output and standard error are
// collected (standard error optionally through a pseudo-terminal, so the program sees a
// terminal there). The environment is the test's own, less every SORVANEL_ variable,
// plus the ones given. A program that runs past the time limit is killed.
// Thread safety: each call is independent; safe on any thread.
#ifndef SORVANEL_TESTS_CLI_RUN_PROGRAM_H_
#define SORVANEL_TESTS_CLI_RUN_PROGRAM_H_

#include <chrono>
#include <string>
#include <vector>

namespace sorvanel::test {

struct ProgramRun {
  std::vector<std::string> arguments;    // without the program's name
  std::string input;                     // standard input; closed after it
  std::vector<std::string> environment;  // "NAME=value" added to the test's own
  bool terminalError = false;            // standard error on a pseudo-terminal
  std::chrono::milliseconds limit{60000};
  std::string workingDirectory;  // empty: the test's own
};

struct ProgramResult {
  int exitStatus = -1;  // the exit status; -1 when it was killed or did not start
  std::string out;
  std::string err;
};

ProgramResult RunProgram(const std::string& program, const ProgramRun& run);

}  // namespace sorvanel::test

#endif  // SORVANEL_TESTS_CLI_RUN_PROGRAM_H_
