// The exit statuses of sorvanel-ocr and the rule that combines them.
//
// Each picture ends with one status; the program exits with the worst of them, so a
// script can tell "some picture had no text" from "the service could not be used"
// from "a picture could not be read".
// Thread safety: constants and a pure function, safe on any thread.
// Neutral result: kText, the status of a run in which nothing went wrong.
#ifndef SORVANEL_CLI_EXIT_STATUS_H_
#define SORVANEL_CLI_EXIT_STATUS_H_

#include <algorithm>

namespace sorvanel::cli {

// Ordered from best to worst; the value is the process's exit status.
enum class ExitStatus : int {
  kText = 0,        // every picture gave text
  kNoText = 1,      // recognised, but at least one picture had no text
  kUsage = 2,       // the command line is wrong; nothing was done
  kService = 3,     // the service could not be used (token, transfer, error reply)
  kUnreadable = 4,  // a picture could not be read (file, standard input, download)
};

// The worse of two statuses.
inline ExitStatus Worse(ExitStatus a, ExitStatus b) { return std::max(a, b); }

}  // namespace sorvanel::cli

#endif  // SORVANEL_CLI_EXIT_STATUS_H_
