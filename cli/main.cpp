// sorvanel-ocr: the command-line front end. Reads the options, checks the local
// pictures, obtains one access token, recognises the pictures (several at once with
// --jobs) and writes their text in the order given; exits with the worst status.
#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/credentials.h"
#include "cli/exit_status.h"
#include "cli/options.h"
#include "cli/ordered_jobs.h"
#include "cli/picture_input.h"
#include "cli/progress_line.h"
#include "cli/recognition_job.h"
#include "client/access_token.h"
#include "client/service_config.h"
#include "encoding/charset.h"
#include "web/web_failure.h"

namespace sorvanel::cli {
namespace {

std::chrono::milliseconds Milliseconds(double seconds) {
  return std::max(std::chrono::milliseconds(1),
                  std::chrono::milliseconds(static_cast<long long>(seconds * 1000)));
}

void ApplyServiceOptions(const Options& options) {
  ServiceConfig config = GetServiceConfig();
  if (!options.host.empty()) config.host = Utf8ToGbk(Text(options.host));
  if (!options.caFile.empty()) config.caFile = options.caFile;
  if (options.connectTimeout) config.connectTimeout = Milliseconds(*options.connectTimeout);
  if (options.stallTimeout) config.stallTimeout = Milliseconds(*options.stallTimeout);
  SetServiceConfig(config);
}

// Writes a picture's output at once, so that a reader of a pipe sees each picture as
// soon as it and those before it are done.
void WriteOutput(const std::string& output) {
  if (output.empty()) return;
  std::fwrite(output.data(), 1, output.size(), stdout);
  std::fflush(stdout);
}

// Each picture passes through several buffers of about its size (its bytes, the Base64
// and form-encoded texts, the request body). Above glibc's default threshold (128 kB)
// each of them would be mapped and unmapped again for every picture and its pages
// faulted in anew, which costs more than encoding them; on the heap the next picture
// reuses the memory. The limits stay far above any picture the service accepts.
void KeepPictureBuffersOnTheHeap() {
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 128 << 20);
}

int Run(int argc, char** argv) {
  KeepPictureBuffersOnTheHeap();
  ParseResult parsed = ParseOptions(argc, argv);
  if (!parsed.options) return static_cast<int>(parsed.status);
  const Options& options = *parsed.options;
  ApplyServiceOptions(options);
  const std::string host = AnsiToUtf8(ServiceHost()).bytes();
  const std::vector<std::string>& pictures = options.pictures;

  ProgressLine progress(pictures.size(), ::isatty(STDERR_FILENO) == 1);
  auto tell = [&](const std::string& subject, const std::string& reason) {
    progress.Message("sorvanel-ocr: " + subject + ": " + reason);
  };

  // Pictures that cannot be read are told before any request is made.
  std::vector<std::optional<std::string>> unreadable(pictures.size());
  StandardInput standardInput;
  bool anyReadable = false;
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    if (IsStandardInput(pictures[i])) {
      standardInput = ReadStandardInput();
      unreadable[i] = standardInput.error;
    } else if (!IsWebAddress(pictures[i])) {
      unreadable[i] = CheckPictureFile(pictures[i]);
    }
    if (unreadable[i]) {
      tell(pictures[i], *unreadable[i]);
    } else {
      anyReadable = true;
    }
  }

  RunContext context{&options, Text(), standardInput.bytes, host};
  std::optional<std::string> tokenError;
  if (anyReadable) {
    const Credentials keys = CredentialsFromEnvironment();
    context.accessToken = FetchAccessToken(keys.apiKey, keys.secretKey);
    if (context.accessToken.empty()) {
      const WebFailure failure = LastWebFailure();
      tokenError =
          std::string("cannot get an access token: ") +
          (failure != WebFailure::kNone ? WebFailureText(failure) : "the service refused the keys");
      tell(host, *tokenError);
    }
  }

  ExitStatus worst = ExitStatus::kText;
  RunInOrder(
      pictures.size(), options.jobs,
      [&](std::size_t i) {
        if (unreadable[i]) {
          return UnservedPicture(options, pictures[i], ExitStatus::kUnreadable, *unreadable[i]);
        }
        if (tokenError)
          return UnservedPicture(options, pictures[i], ExitStatus::kService, *tokenError);
        return RecognisePicture(context, pictures[i]);
      },
      [&](std::size_t i, PictureResult& result) {
        WriteOutput(result.output);
        if (!result.message.empty()) tell(pictures[i], result.message);
        worst = Worse(worst, result.status);
      },
      [&](std::size_t finished) { progress.Update(finished); });
  return static_cast<int>(worst);
}

}  // namespace
}  // namespace sorvanel::cli

int main(int argc, char** argv) { return sorvanel::cli::Run(argc, argv); }
