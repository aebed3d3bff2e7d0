// One picture's way through sorvanel-ocr: prepared, sent to the service with the
// command the options name, and its reply turned into output, an exit status and, when
// it failed, a reason.
//
// Thread safety: RecognisePicture may run on several threads at once, each call with
// its own picture; the context is only read.
// Neutral result: a PictureResult with the failure's status and reason; nothing throws.
#ifndef SORVANEL_CLI_RECOGNITION_JOB_H_
#define SORVANEL_CLI_RECOGNITION_JOB_H_

#include <string>
#include <string_view>

#include "cli/exit_status.h"
#include "cli/options.h"
#include "encoding/text.h"

namespace sorvanel::cli {

struct PictureResult {
  ExitStatus status = ExitStatus::kText;
  std::string output;   // for standard output, UTF-8
  std::string message;  // the reason for standard error; empty when there is none to tell
};

// What every picture of a run shares.
struct RunContext {
  const Options* options = nullptr;
  Text accessToken;
  std::string_view standardInput;  // the bytes of "-", read before the run
  std::string host;                // the service host, for messages
};

// Recognises one picture (as given on the command line).
PictureResult RecognisePicture(const RunContext& context, const std::string& picture);

// The result of a picture that never reached the service: `status` and, with --json,
// its JSON line carrying `error`. The reason has been told already, so the result
// carries no message.
PictureResult UnservedPicture(const Options& options, const std::string& picture, ExitStatus status,
                              const std::string& error);

}  // namespace sorvanel::cli

#endif  // SORVANEL_CLI_RECOGNITION_JOB_H_
